// The per-sample signal path, run on a working copy of the engine's fields:
// the engine loads coefficients and state into a SignalPath once per segment,
// runs its samples, and stores the state back. Keeping everything in locals
// lets the compiler hold it in registers; the output arrays cannot alias it.
#pragma once

#include <cmath>
#include <cstdint>

#include "BandDelay.h"
#include "Shaper.h"


// One rotor: its speed between two limits, ramping by a signed step each
// sample, and its angle as a balanced three-phase oscillator.
struct RotorState {
    float speed;
    float step;
    float slow;
    float fast;
    float osc[3];

    // Speed update, then oscillator update; the three values stay balanced
    // (the third is always minus the sum of the others) and the factor T
    // holds their amplitude at 1/sqrt(3).
    void advance() {
        const double candidate = static_cast<double>(speed) + step;
        if (candidate < slow)
            speed = slow;
        else if (candidate > fast)
            speed = fast;
        else
            speed = static_cast<float>(candidate);
        const double a = osc[0], b = osc[1], c = osc[2];
        const double t = a * b + 0.75 - c * c;
        const double ht = speed * t;
        const double newA = 2.0 * (a * t + b * ht - c * ht);
        const double newB = 2.0 * (b * t + c * ht - a * ht);
        osc[0] = static_cast<float>(newA);
        osc[1] = static_cast<float>(newB);
        osc[2] = static_cast<float>(-(newA + newB));
    }
};

// One microphone tap on a delay line. The gains fold together the tap's
// microphone weight, the band level, the output scale and the crossfeed, so
// the mix is one multiply-add per tap and output. The delay swings by at most
// delayDepth either side of baseDelay (the oscillator values stay within 1),
// and both are limited so that it stays within 0..bufferSize - 1; that
// matters only above about 750 kHz.
struct TapSettings {
    double baseDelay;   // samples
    double delayDepth;  // samples per unit of oscillator value
    double ampDepth;    // gain change per unit of oscillator value (0 for the drum)
    double gainLeft;
    double gainRight;
};

// What the recursive part of the path hands to the mixing part for one
// chunk of samples: the crossover's bands, then the shaped bands, the rotor
// oscillator values, and where each microphone tap reads.
struct SignalChunk {
    static constexpr int kSize = 64;
    static constexpr int kTaps = 5;  // three horn taps, then two drum taps
    int count = 0;
    double high[kSize], low[kSize];
    float hornIn[kSize], drumIn[kSize];
    float osc[kTaps][kSize];          // the oscillator value that moves each tap
    int32_t tapIndex[kTaps][kSize];   // the earlier of the two samples a tap reads
    double tapFraction[kTaps][kSize]; // how far toward the later one
    double hornAmp[3][kSize];         // the horn taps' level swing
};

// The signal path for a run of samples, in steps over each chunk:
//  1. prepare: the crossover and both rotors, sample by sample; these are the
//     recursive parts, and they keep their exact per-sample arithmetic;
//  2. shape and locateTaps: the saturators and the tap positions, independent
//     per sample, so the compiler runs them on vector lanes;
//  3. mix: write the delay lines, read the taps (linear interpolation), mix.
// The engine runs step 3 of one chunk in the same loop as step 1 of the next.
struct SignalPath {
    // Coefficients, constant over a segment.
    double filterA1, filterA2, filterGain;
    Shaper hornShaper, drumShaper;
    TapSettings taps[SignalChunk::kTaps];

    // State, stored back after the segment.
    float filterY1, filterY2;
    RotorState horn, drum;
    float* hornBuffer;
    float* drumBuffer;
    int32_t writeIndex;

    // Two-pole crossover (the drum band a low-pass with unity gain at 0 Hz,
    // the horn band the same poles with a double zero at 0 Hz), then one step
    // of each rotor.
    void prepare(SignalChunk& chunk, int i, float x) {
        const double input = kFullScale * x;
        const double y = (input + filterA1 * filterY1) - filterA2 * filterY2;
        chunk.low[i] = filterGain * y;
        chunk.high[i] = filterY2 + (y - 2.0 * filterY1);
        filterY2 = filterY1;
        filterY1 = static_cast<float>(y);
        horn.advance();
        drum.advance();
        for (int k = 0; k < 3; ++k) chunk.osc[k][i] = horn.osc[k];
        for (int k = 0; k < 2; ++k) chunk.osc[3 + k][i] = drum.osc[k];
    }

    void shape(SignalChunk& chunk) const {
        for (int i = 0; i < chunk.count; ++i) {
            chunk.hornIn[i] = static_cast<float>(hornShaper.shape(chunk.high[i]));
            chunk.drumIn[i] = static_cast<float>(drumShaper.shape(chunk.low[i]));
        }
    }

    // A tap with delay d reads d samples back from the write position, which
    // is already past the sample just written (a delay of 1 reads that
    // sample). The delays stay inside the buffer (see TapSettings), and the
    // indices are masked in mix, so no read can leave it.
    void locateTaps(SignalChunk& chunk, int32_t firstWriteIndex) const {
        for (int k = 0; k < SignalChunk::kTaps; ++k) {
            const TapSettings& tap = taps[k];
            for (int i = 0; i < chunk.count; ++i) {
                const double delay = tap.baseDelay + tap.delayDepth * chunk.osc[k][i];
                // Written at firstWriteIndex + i; one bufferSize keeps it positive.
                const double position = ((firstWriteIndex + i + 1) - delay) + BandDelay::kSize;
                const int32_t whole = static_cast<int32_t>(position);
                chunk.tapIndex[k][i] = whole;
                chunk.tapFraction[k][i] = position - whole;
            }
        }
        for (int k = 0; k < 3; ++k)
            for (int i = 0; i < chunk.count; ++i) chunk.hornAmp[k][i] = 1.0 + taps[k].ampDepth * chunk.osc[k][i];
    }

    void mix(const SignalChunk& chunk, int i, float& left, float& right) {
        constexpr int32_t kMask = BandDelay::kSize - 1;
        hornBuffer[writeIndex] = chunk.hornIn[i];
        drumBuffer[writeIndex] = chunk.drumIn[i];
        writeIndex = (writeIndex + 1) & kMask;
        double sumLeft = 0.0, sumRight = 0.0;
        for (int k = 0; k < SignalChunk::kTaps; ++k) {
            const float* buffer = k < 3 ? hornBuffer : drumBuffer;
            const int32_t whole = chunk.tapIndex[k][i];
            const float earlier = buffer[whole & kMask];
            const float later = buffer[(whole + 1) & kMask];
            double value = earlier + chunk.tapFraction[k][i] * (later - earlier);
            if (k < 3) value *= chunk.hornAmp[k][i];
            sumLeft += taps[k].gainLeft * value;
            sumRight += taps[k].gainRight * value;
        }
        left = static_cast<float>(sumLeft);
        right = static_cast<float>(sumRight);
    }
};
