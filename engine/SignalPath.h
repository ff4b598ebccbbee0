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
// the mix is one multiply-add per tap and output.
struct TapSettings {
    double baseDelay;   // samples
    double delayDepth;  // samples per unit of oscillator value
    double ampDepth;    // gain change per unit of oscillator value (0 for the drum)
    double gainLeft;
    double gainRight;
};

// Linear interpolation between the two samples around `delay` samples back
// from the write position (which is already past the sample just written, so
// a delay of 1 reads that sample). The delay is held inside the buffer, even
// when it is not a number, and the indices are masked, so no read can leave it.
inline double readDelay(const float* buffer, int32_t writeIndex, double delay) {
    constexpr double kMaxDelay = BandDelay::kSize - 1;
    constexpr int32_t kMask = BandDelay::kSize - 1;
    delay = delay > 0.0 ? delay : 0.0;
    delay = delay < kMaxDelay ? delay : kMaxDelay;
    const double pos = (writeIndex - delay) + BandDelay::kSize;  // always positive
    const int32_t whole = static_cast<int32_t>(pos);
    const double frac = pos - whole;
    const int32_t i0 = whole & kMask;
    const int32_t i1 = (whole + 1) & kMask;
    return buffer[i0] + frac * (buffer[i1] - buffer[i0]);
}

// The signal path for a run of samples, in three steps over a chunk: the
// crossover (recursive, sample by sample), the two shapers (independent per
// sample, so the compiler runs them on vector lanes), then writing the delay
// lines, turning the rotors and mixing the microphone taps.
struct SignalPath {
    static constexpr int kChunk = 64;

    // Coefficients, constant over a segment.
    double filterA1, filterA2, filterGain;
    Shaper hornShaper, drumShaper;
    TapSettings hornTaps[3], drumTaps[2];

    // State, stored back after the segment.
    float filterY1, filterY2;
    RotorState horn, drum;
    float* hornBuffer;
    float* drumBuffer;
    int32_t writeIndex;

    // Two-pole crossover: the drum band is a low-pass with unity gain at 0 Hz,
    // the horn band the same poles with a double zero at 0 Hz.
    void splitBands(float x, double& high, double& low) {
        const double input = kFullScale * x;
        const double y = (input + filterA1 * filterY1) - filterA2 * filterY2;
        low = filterGain * y;
        high = filterY2 + (y - 2.0 * filterY1);
        filterY2 = filterY1;
        filterY1 = static_cast<float>(y);
    }

    void shapeBands(const double* high, const double* low, float* hornIn, float* drumIn, int n) const {
        for (int i = 0; i < n; ++i) {
            hornIn[i] = static_cast<float>(hornShaper.shape(high[i]));
            drumIn[i] = static_cast<float>(drumShaper.shape(low[i]));
        }
    }

    void rotateAndMix(float hornIn, float drumIn, float& left, float& right) {
        hornBuffer[writeIndex] = hornIn;
        drumBuffer[writeIndex] = drumIn;
        writeIndex = (writeIndex + 1) & (BandDelay::kSize - 1);

        double sumLeft = 0.0, sumRight = 0.0;
        horn.advance();
        for (int i = 0; i < 3; ++i) {
            const TapSettings& tap = hornTaps[i];
            const double v = horn.osc[i];
            const double value = readDelay(hornBuffer, writeIndex, tap.baseDelay + tap.delayDepth * v) *
                                 (1.0 + tap.ampDepth * v);
            sumLeft += tap.gainLeft * value;
            sumRight += tap.gainRight * value;
        }
        drum.advance();
        for (int i = 0; i < 2; ++i) {
            const TapSettings& tap = drumTaps[i];
            const double value =
                readDelay(drumBuffer, writeIndex, tap.baseDelay + tap.delayDepth * drum.osc[i]);
            sumLeft += tap.gainLeft * value;
            sumRight += tap.gainRight * value;
        }
        left = static_cast<float>(sumLeft);
        right = static_cast<float>(sumRight);
    }
};
