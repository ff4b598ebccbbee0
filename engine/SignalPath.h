// The per-sample signal path, run on a working copy of the engine's
// coefficients and state (a SignalPath): the engine builds one per run of
// samples, the path runs the samples, and the engine stores the state back.
// Keeping everything in locals lets the compiler hold it in registers; the
// output arrays cannot alias it.
//
// Private to the engine. The code is static inline, so each of the two
// translation units that run it (SegmentRunners.cpp for plain x86-64 and
// SegmentRunnersAvx2.cpp) keeps its own copy.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "BandDelay.h"
#include "CleanDrive.h"
#include "Shaper.h"
#include "SignalRecords.h"

namespace signalpath {

constexpr double kSqrt3 = 1.7320508075688772;

// Within this angle of its rest a braking rotor stands: it then turns no
// more and costs nothing.
constexpr double kStandstill = 1.0e-6;
// Below this angle left the last steps may have to turn less than the
// speed would (tan(0.5) / sqrt(3) is above every speed a rotor reaches).
constexpr double kLandingAngle = 0.5;

// A braking rotor keeps its speed (or runs up to its slow speed if it was
// slower) until the angle left to turn is what it needs to stop at its
// braking rate (sqrt(3) v^2 / 2 fall), then slows along that curve, so it
// lands on the rest angle with its speed falling to 0; the last step turns
// exactly the angle left. The turn of a speed held from the sample before
// is not computed again.
static inline void brake(RotorState& rotor) {
    if (rotor.toRest <= kStandstill) {
        rotor.speed = 0.0f;
        rotor.toRest = 0.0;
        return;
    }
    double v = rotor.speed;
    if (v < rotor.slow) v = std::fmin(v + rotor.rise, static_cast<double>(rotor.slow));
    if (kSqrt3 * v * v > 2.0 * rotor.fall * rotor.toRest) v = std::sqrt(2.0 * rotor.fall * rotor.toRest / kSqrt3);
    if (rotor.toRest < kLandingAngle) v = std::fmin(v, std::tan(rotor.toRest) / kSqrt3);
    const float speed = static_cast<float>(v);
    if (speed != rotor.speed || rotor.turn < 0.0) rotor.turn = std::atan(kSqrt3 * speed);
    rotor.speed = speed;
    rotor.toRest = std::fmax(0.0, rotor.toRest - rotor.turn);
}

// Released from the brake, a rotor runs up at its rising rate to the limit
// the switch selects, and spins from there; one already as fast spins at once.
static inline bool release(RotorState& rotor) {
    const float target = rotor.step > 0.0f ? rotor.fast : rotor.slow;
    if (rotor.speed >= target) {
        rotor.motion = kSpinning;
        return false;
    }
    const double v = static_cast<double>(rotor.speed) + rotor.rise;
    if (v >= target) {
        rotor.speed = target;
        rotor.motion = kSpinning;
    } else {
        rotor.speed = static_cast<float>(v);
    }
    return true;
}

// Below this many float units of the speed a ramp's step would round to a
// whole number of them, off by up to half a unit each sample (a step under
// half a unit would never move the speed).
constexpr double kFineStepUnits = 10.0;

// The spacing of floats around a positive one: 2^(its exponent - 23); 0 for
// 0 and the tiniest floats.
static inline double floatUnit(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    bits &= 0x7F800000u;
    bits = bits > (23u << 23) ? bits - (23u << 23) : 0u;
    float unit;
    std::memcpy(&unit, &bits, sizeof unit);
    return unit;
}

// A spinning rotor ramps by its step and stays between its limits. One
// that finds itself outside them (they moved past its speed) either rides
// back to the nearer one at its rate from or to a standstill, or is put on
// it at once. Smooth, a fine step carries what the float speed rounded off.
static inline void spin(RotorState& rotor) {
    const double speed = rotor.speed;
    const bool fine = rotor.smooth && std::fabs(rotor.step) < kFineStepUnits * floatUnit(rotor.speed);
    const double candidate = speed + rotor.step + (fine ? rotor.carried : 0.0);
    rotor.carried = 0.0;
    if (candidate < rotor.slow) {
        rotor.speed = rotor.smooth && speed < rotor.slow
                          ? static_cast<float>(std::fmin(speed + rotor.rise, static_cast<double>(rotor.slow)))
                          : rotor.slow;
    } else if (candidate > rotor.fast) {
        rotor.speed = rotor.smooth && speed > rotor.fast
                          ? static_cast<float>(std::fmax(speed - rotor.fall, static_cast<double>(rotor.fast)))
                          : rotor.fast;
    } else {
        rotor.speed = static_cast<float>(candidate);
        if (fine) rotor.carried = candidate - rotor.speed;
    }
}

// Speed update, then oscillator update; the three values stay balanced (the
// third is always minus the sum of the others) and the factor T holds their
// amplitude at 1/sqrt(3).
static inline void advance(RotorState& rotor) {
    if (rotor.motion == kSpinning)
        spin(rotor);
    else if (rotor.motion == kBraking)
        brake(rotor);
    else if (!release(rotor))
        spin(rotor);
    const double a = rotor.osc[0], b = rotor.osc[1], c = rotor.osc[2];
    const double t = a * b + 0.75 - c * c;
    const double ht = rotor.speed * t;
    const double newA = 2.0 * (a * t + b * ht - c * ht);
    const double newB = 2.0 * (b * t + c * ht - a * ht);
    rotor.osc[0] = static_cast<float>(newA);
    rotor.osc[1] = static_cast<float>(newB);
    rotor.osc[2] = static_cast<float>(-(newA + newB));
}


// What the recursive part of the path hands to the mixing part for one
// chunk of samples: the crossover's bands, then the shaped bands, the rotor
// oscillator values, and where each microphone tap reads.
struct SignalChunk {
    static constexpr int kSize = 64;
    int count;  // set before use: no constructor, so no code shared between the two builds
    double high[kSize], low[kSize];
    float hornIn[kSize], drumIn[kSize];
    float osc[kTaps][kSize];          // the oscillator value that moves each tap
    int32_t tapIndex[kTaps][kSize];   // the earlier of the two samples a tap reads
    double tapFraction[kTaps][kSize]; // how far toward the later one
    double hornAmp[3][kSize];         // the horn taps' level swing
    // Each glide's value at each sample, or (when it is not moving) at the
    // first only.
    double glide[kNumGlides][kSize];
    bool moving[kNumGlides];
    double cleanHorn[kSize], cleanDrum[kSize];  // the band-limited saturators' output
};

// The signal path for a run of samples, in steps over each chunk:
//  1. prepare: the crossover and both rotors, sample by sample; these are the
//     recursive parts, and they keep their exact per-sample arithmetic;
//  2. shapeChunk and locateTaps: the saturators and the tap positions,
//     independent per sample, so the compiler runs them on vector lanes;
//  3. mix: write the delay lines, read the taps (linear interpolation), mix.
// runSegment runs step 3 of one chunk in the same loop as step 1 of the next.

// Two-pole crossover (the drum band a low-pass with unity gain at 0 Hz, the
// horn band the same poles with a double zero at 0 Hz), then one step of
// each rotor.
static inline void prepare(SignalPath& path, SignalChunk& chunk, int i, float x) {
    const double input = kFullScale * x;
    const double y = (input + path.filterA1 * path.filterY1) - path.filterA2 * path.filterY2;
    chunk.low[i] = path.filterGain * y;
    chunk.high[i] = path.filterY2 + (y - 2.0 * path.filterY1);
    path.filterY2 = path.filterY1;
    path.filterY1 = static_cast<float>(y);
    advance(path.horn);
    advance(path.drum);
    for (int k = 0; k < 3; ++k) chunk.osc[k][i] = path.horn.osc[k];
    for (int k = 0; k < 2; ++k) chunk.osc[3 + k][i] = path.drum.osc[k];
}

// Steps each moving glide through the chunk; one at rest costs one store.
static inline void stepGlides(SignalPath& path, SignalChunk& chunk) {
    for (int k = 0; k < kNumGlides; ++k) {
        Glide& glide = path.glides[k];
        chunk.moving[k] = glide.remaining > 0;
        if (!chunk.moving[k]) {
            chunk.glide[k][0] = glide.value;
            continue;
        }
        for (int i = 0; i < chunk.count; ++i) {
            if (glide.remaining > 0) {
                glide.value += glide.step;
                if (--glide.remaining == 0) glide.value = glide.target;
            }
            chunk.glide[k][i] = glide.value;
        }
    }
}

// The plain saturators, the band-limited ones, or (while the drive mode
// changes) both: the plain ones delayed on the way to the band-limited
// ones' latency, and the two mixed by the course's share.
static inline void shapeChunk(SignalPath& path, SignalChunk& chunk) {
    const double* course = chunk.glide[kGlideMode];
    const bool moving = chunk.moving[kGlideMode];
    if (!moving && course[0] == 0.0) {
        for (int i = 0; i < chunk.count; ++i) {
            chunk.hornIn[i] = static_cast<float>(shape(path.hornShaper, chunk.high[i]));
            chunk.drumIn[i] = static_cast<float>(shape(path.drumShaper, chunk.low[i]));
        }
        return;
    }
    double u[SignalChunk::kSize];
    for (int i = 0; i < chunk.count; ++i) u[i] = chunk.high[i] * path.hornShaper.drive * kInverseFullScale;
    cleandrive::shapeBand(*path.clean, path.clean->horn, u, chunk.cleanHorn, chunk.count);
    for (int i = 0; i < chunk.count; ++i) u[i] = chunk.low[i] * path.drumShaper.drive * kInverseFullScale;
    cleandrive::shapeDelayedBand(path.clean->drum, u, chunk.cleanDrum, chunk.count);
    if (!moving) {
        for (int i = 0; i < chunk.count; ++i) {
            chunk.hornIn[i] = static_cast<float>(chunk.cleanHorn[i] * path.hornShaper.scale);
            chunk.drumIn[i] = static_cast<float>(chunk.cleanDrum[i] * path.drumShaper.scale);
        }
        return;
    }
    for (int i = 0; i < chunk.count; ++i) {
        const double m = course[i];
        double plainHorn, plainDrum;
        cleandrive::delayPlain(path.clean->plain, static_cast<float>(shape(path.hornShaper, chunk.high[i])),
                               static_cast<float>(shape(path.drumShaper, chunk.low[i])),
                               cleandrive::plainDelayAt(m, path.modeAlignEnd), plainHorn, plainDrum);
        const double share = cleandrive::cleanShareAt(m, path.modeAlignEnd, path.modeFadeEnd);
        const double cleanHorn = chunk.cleanHorn[i] * path.hornShaper.scale;
        const double cleanDrum = chunk.cleanDrum[i] * path.drumShaper.scale;
        chunk.hornIn[i] = static_cast<float>(plainHorn + share * (cleanHorn - plainHorn));
        chunk.drumIn[i] = static_cast<float>(plainDrum + share * (cleanDrum - plainDrum));
    }
}

// A tap with delay d reads d samples back from the write position, which is
// already past the sample just written (a delay of 1 reads that sample). The
// delays stay inside the buffer (see TapSettings), and the indices are
// masked in mix, so no read can leave it.
static inline void locateTaps(const SignalPath& path, SignalChunk& chunk, int32_t firstWriteIndex) {
    // Each loop is written for a glide at rest and for a moving one, so that
    // the one at rest reads a constant.
    auto eachSample = [&](int glide, auto&& body) {
        const double* factor = chunk.glide[glide];
        if (chunk.moving[glide]) {
            for (int i = 0; i < chunk.count; ++i) body(i, factor[i]);
        } else {
            const double held = factor[0];
            for (int i = 0; i < chunk.count; ++i) body(i, held);
        }
    };
    for (int k = 0; k < kTaps; ++k) {
        const TapSettings& tap = path.taps[k];
        eachSample(k < kHornTaps ? kGlideHornDepth : kGlideDrumDepth, [&](int i, double factor) {
            const double delay = tap.baseDelay + (tap.delayDepth * factor) * chunk.osc[k][i];
            // Written at firstWriteIndex + i; one bufferSize keeps it positive.
            const double position = ((firstWriteIndex + i + 1) - delay) + BandDelay::kSize;
            const int32_t whole = static_cast<int32_t>(position);
            chunk.tapIndex[k][i] = whole;
            chunk.tapFraction[k][i] = position - whole;
        });
    }
    for (int k = 0; k < 3; ++k)
        eachSample(kGlideTremolo, [&](int i, double factor) {
            chunk.hornAmp[k][i] = 1.0 + (path.taps[k].ampDepth * factor) * chunk.osc[k][i];
        });
}

static inline void mix(SignalPath& path, const SignalChunk& chunk, int i, float& left, float& right) {
    constexpr int32_t kMask = BandDelay::kSize - 1;
    path.hornBuffer[path.writeIndex] = chunk.hornIn[i];
    path.drumBuffer[path.writeIndex] = chunk.drumIn[i];
    path.writeIndex = (path.writeIndex + 1) & kMask;
    double sumLeft = 0.0, sumRight = 0.0;
    for (int k = 0; k < kTaps; ++k) {
        const float* buffer = k < 3 ? path.hornBuffer : path.drumBuffer;
        const int32_t whole = chunk.tapIndex[k][i];
        const float earlier = buffer[whole & kMask];
        const float later = buffer[(whole + 1) & kMask];
        double value = earlier + chunk.tapFraction[k][i] * (later - earlier);
        if (k < 3) value *= chunk.hornAmp[k][i];
        sumLeft += path.taps[k].gainLeft * value;
        sumRight += path.taps[k].gainRight * value;
    }
    left = static_cast<float>(sumLeft);
    right = static_cast<float>(sumRight);
}

// Input samples beyond this magnitude (120 dB over full level) are clamped,
// and samples that are not finite are read as 0: one bad value from a host
// must not overflow the filter state and poison it for ever.
constexpr float kInputLimit = 1.0e6f;

static inline float safeInput(float v) {
    if (std::fabs(v) <= kInputLimit) return v;  // every ordinary sample
    if (std::isnan(v)) return 0.0f;
    if (std::isinf(v)) return 0.0f;
    return v > 0 ? kInputLimit : -kInputLimit;
}

// A run of samples without a speed switch. Chunk k is prepared in the same
// loop that mixes chunk k - 1. Every input is read before the outputs at its
// position are written, so inputs and outputs may be the same arrays.
static inline void runSegment(SignalPath& state, const float* inLeft, const float* inRight, float* outLeft,
                              float* outRight, int32_t frames) {
    // A local copy: nothing the loop writes through a pointer can alias it,
    // so its fields stay in registers.
    SignalPath path = state;
    SignalChunk chunks[2];
    SignalChunk* next = &chunks[0];
    SignalChunk* ready = &chunks[1];
    int32_t readyStart = 0;

    auto prepareAt = [&](int i, int32_t start) {
        const float x = (safeInput(inLeft[start + i]) + safeInput(inRight[start + i])) * 0.5f;
        prepare(path, *next, i, x);
    };
    auto mixAt = [&](int i) {
        float left, right;
        mix(path, *ready, i, left, right);
        outLeft[readyStart + i] = left;
        outRight[readyStart + i] = right;
    };

    ready->count = 0;
    for (int32_t start = 0; start < frames; start += SignalChunk::kSize) {
        next->count = frames - start < SignalChunk::kSize ? frames - start : SignalChunk::kSize;
        const int both = next->count < ready->count ? next->count : ready->count;
        for (int i = 0; i < both; ++i) {
            prepareAt(i, start);
            mixAt(i);
        }
        for (int i = both; i < next->count; ++i) prepareAt(i, start);
        for (int i = both; i < ready->count; ++i) mixAt(i);
        stepGlides(path, *next);
        shapeChunk(path, *next);
        locateTaps(path, *next, path.writeIndex);
        SignalChunk* done = ready;
        ready = next;
        next = done;
        readyStart = start;
    }
    for (int i = 0; i < ready->count; ++i) mixAt(i);
    state = path;
}

}  // namespace signalpath
