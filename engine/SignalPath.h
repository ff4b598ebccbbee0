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

// One microphone tap on a delay line (the drum's taps have no level swing).
struct TapSettings {
    double baseDelay;   // samples
    double delayDepth;  // samples per unit of oscillator value
    double weightLeft;
    double weightRight;
    double ampDepth;  // gain change per unit of oscillator value
};

// Linear interpolation between the two samples around `delay` samples back
// from the write position (which is already past the sample just written, so
// a delay of 1 reads that sample). The delay is held inside the buffer, also
// when it is not a number, so no read can leave it.
inline double readDelay(const float* buffer, int32_t writeIndex, double delay) {
    constexpr double kMaxDelay = BandDelay::kSize - 1;
    if (!(delay >= 0.0)) delay = 0.0;
    if (delay > kMaxDelay) delay = kMaxDelay;
    double pos = writeIndex - delay;
    if (pos < 0.0) pos += BandDelay::kSize;
    const int32_t i0 = static_cast<int32_t>(pos);
    const int32_t i1 = i0 + 1 == BandDelay::kSize ? 0 : i0 + 1;
    const double frac = pos - i0;  // pos >= 0, so truncation is floor
    return buffer[i0] + frac * (buffer[i1] - buffer[i0]);
}

struct SignalPath {
    // Coefficients, constant over a segment.
    double filterA1, filterA2, filterGain;
    Shaper hornShaper, drumShaper;
    TapSettings hornTaps[3], drumTaps[2];
    double hornLevel, drumLevel, crossfeed;

    // State, stored back after the segment.
    float filterY1, filterY2;
    RotorState horn, drum;
    float* hornBuffer;
    float* drumBuffer;
    int32_t writeIndex;

    // Crossover and shapers for one input sample: the values written into the
    // horn and drum delay lines.
    void splitAndShape(double x, double& hornIn, double& drumIn) {
        const double input = kFullScale * x;                                    // 1
        const double y = (input + filterA1 * filterY1) - filterA2 * filterY2;  // 2
        const double low = filterGain * y;                                      // 3
        const double high = filterY2 + (y - 2.0 * filterY1);                    // 4
        filterY2 = filterY1;                                                    // 5
        filterY1 = static_cast<float>(y);
        hornIn = hornShaper.shape(high);  // 6
        drumIn = drumShaper.shape(low);
    }

    // Writes one pair of shaped band samples, turns the rotors, reads the
    // taps and mixes the two microphones.
    void rotateAndMix(double hornIn, double drumIn, float& left, float& right) {
        hornBuffer[writeIndex] = static_cast<float>(hornIn);  // 7
        drumBuffer[writeIndex] = static_cast<float>(drumIn);
        writeIndex = writeIndex + 1 == BandDelay::kSize ? 0 : writeIndex + 1;

        horn.advance();  // 8
        double micLeft = 0.0, micRight = 0.0;
        double hornLeft = 0.0, hornRight = 0.0;
        for (int i = 0; i < 3; ++i) {  // 9
            const TapSettings& tap = hornTaps[i];
            const double v = horn.osc[i];
            const double value =
                readDelay(hornBuffer, writeIndex, tap.baseDelay + tap.delayDepth * v) *
                (1.0 + tap.ampDepth * v);
            hornLeft += tap.weightLeft * value;
            hornRight += tap.weightRight * value;
        }
        drum.advance();  // 10
        double drumLeft = 0.0, drumRight = 0.0;
        for (int i = 0; i < 2; ++i) {  // 11
            const TapSettings& tap = drumTaps[i];
            const double value =
                readDelay(drumBuffer, writeIndex, tap.baseDelay + tap.delayDepth * drum.osc[i]);
            drumLeft += tap.weightLeft * value;
            drumRight += tap.weightRight * value;
        }
        micLeft = (hornLevel * hornLeft + drumLevel * drumLeft) * kInverseFullScale;  // 12, 13
        micRight = (hornLevel * hornRight + drumLevel * drumRight) * kInverseFullScale;
        left = static_cast<float>((micLeft + crossfeed * micRight) / (1.0 + crossfeed));  // 14
        right = static_cast<float>((micRight + crossfeed * micLeft) / (1.0 + crossfeed));
    }

    void processSample(double x, float& left, float& right) {
        double hornIn, drumIn;
        splitAndShape(x, hornIn, drumIn);
        rotateAndMix(hornIn, drumIn, left, right);
    }
};
