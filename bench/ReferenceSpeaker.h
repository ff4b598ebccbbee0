// The signal path written the straightforward way, one sample at a time in
// double precision with libm's log and sqrt, step by step as the engine's
// documentation gives it. It reads the coefficients of a real engine object
// (so the engine's parameters set it) and runs a signal state of its own that
// starts as the engine's, so the fast path can be measured and checked
// against it.
#pragma once

#include <cmath>
#include <vector>

#include "RotorDisplay.h"
#include "SpeakerEngine.h"

class ReferenceSpeaker {
public:
    explicit ReferenceSpeaker(SpeakerEngine& engine)
        : engine(engine), hornBuffer(BandDelay::kSize), drumBuffer(BandDelay::kSize) {
        const SignalState& start = engine.inspect().signal;
        filterY1 = start.filterY1;
        filterY2 = start.filterY2;
        hornSpeed = start.hornSpeed;
        drumSpeed = start.drumSpeed;
        for (int i = 0; i < 3; ++i) {
            hornOsc[i] = start.hornOsc[i];
            drumOsc[i] = start.drumOsc[i];
        }
    }

    // Replacing processing without MIDI, sample by sample.
    void processReference(const float* inLeft, const float* inRight, float* outLeft,
                          float* outRight, int frames) {
        c = engine.inspect().coefficients;
        advanceReferencePositions(frames);
        for (int i = 0; i < frames; ++i) {
            const float x = (inLeft[i] + inRight[i]) * 0.5f;
            processReferenceSample(x, outLeft[i], outRight[i]);
        }
    }

    float hornOsc[3], drumOsc[3];
    float hornPosition = 0.0f, drumPosition = 0.0f;

private:
    static double referenceAsinh(double z) { return std::log(z + std::sqrt(z * z + 1.0)); }

    double read(const float* buffer, double d) const {
        double pos = writeIndex - d;
        if (pos < 0) pos += BandDelay::kSize;
        const int i0 = static_cast<int>(pos);
        const int i1 = i0 + 1 == BandDelay::kSize ? 0 : i0 + 1;
        const double frac = pos - std::floor(pos);
        return buffer[i0] + frac * (buffer[i1] - buffer[i0]);
    }

    static void turn(float& speed, float step, float slow, float fast, float* osc) {
        const double candidate = static_cast<double>(speed) + step;
        speed = candidate < slow ? slow : (candidate > fast ? fast : static_cast<float>(candidate));
        const double a = osc[0], b = osc[1], c = osc[2];
        const double t = a * b + 0.75 - c * c;
        const double ht = speed * t;
        const double newA = 2.0 * (a * t + b * ht - c * ht);
        const double newB = 2.0 * (b * t + c * ht - a * ht);
        osc[0] = static_cast<float>(newA);
        osc[1] = static_cast<float>(newB);
        osc[2] = static_cast<float>(-(newA + newB));
    }

    void processReferenceSample(float x, float& left, float& right) {
        // Every stored float enters the arithmetic as a double.
        const double a1 = static_cast<float>(c.path.filterA1), a2 = static_cast<float>(c.path.filterA2), y1 = filterY1, y2 = filterY2;
        const double input = 32767.0 * x;                  // 1
        const double y = (input + a1 * y1) - a2 * y2;      // 2
        const double low = static_cast<float>(c.path.filterGain) * y;  // 3
        const double high = y2 + (y - 2.0 * y1);           // 4
        filterY2 = filterY1;                                                    // 5
        filterY1 = static_cast<float>(y);
        const double scale = 3.0518509e-05f;
        const double hornIn = referenceAsinh(high * c.hornDrive * scale) * (c.hornDriveNorm * 32767.0);  // 6
        const double drumIn = referenceAsinh(low * c.drumDrive * scale) * (c.drumDriveNorm * 32767.0);
        hornBuffer[writeIndex] = static_cast<float>(hornIn);  // 7
        drumBuffer[writeIndex] = static_cast<float>(drumIn);
        writeIndex = writeIndex + 1 == BandDelay::kSize ? 0 : writeIndex + 1;
        const RotorCoefficients& r = c.rotors;
        const MicrophoneTap* hornTaps = c.hornTaps;
        const MicrophoneTap* drumTaps = c.drumTaps;
        turn(hornSpeed, r.hornStep, r.hornSlow, r.hornFast, hornOsc);  // 8
        double hornTap[3];
        for (int i = 0; i < 3; ++i) {  // 9
            const double v = hornOsc[i];
            hornTap[i] = read(hornBuffer.data(), hornTaps[i].baseDelay + hornTaps[i].delayDepth * v) *
                         (1.0 + hornTaps[i].ampDepth * v);
        }
        turn(drumSpeed, r.drumStep, r.drumSlow, r.drumFast, drumOsc);  // 10
        double drumTap[2];
        for (int i = 0; i < 2; ++i)  // 11
            drumTap[i] = read(drumBuffer.data(),
                              drumTaps[i].baseDelay + drumTaps[i].delayDepth * static_cast<double>(drumOsc[i]));
        const double hornGain = c.hornLevel, drumGain = c.drumLevel, mix = c.crossfeed;
        double micLeft = hornGain * (hornTaps[0].weightLeft * hornTap[0] + hornTaps[1].weightLeft * hornTap[1] +
                                      hornTaps[2].weightLeft * hornTap[2]) +
                         drumGain * (drumTaps[0].weightLeft * drumTap[0] + drumTaps[1].weightLeft * drumTap[1]);  // 12
        double micRight = hornGain * (hornTaps[0].weightRight * hornTap[0] + hornTaps[1].weightRight * hornTap[1] +
                                       hornTaps[2].weightRight * hornTap[2]) +
                          drumGain * (drumTaps[0].weightRight * drumTap[0] + drumTaps[1].weightRight * drumTap[1]);
        micLeft *= scale;  // 13
        micRight *= scale;
        left = static_cast<float>((micLeft + mix * micRight) / (1.0 + mix));  // 14
        right = static_cast<float>((micRight + mix * micLeft) / (1.0 + mix));
    }

    void advanceReferencePositions(int frames) {
        const float sr = engine.getSampleRate();
        const double madeFor = c.rotors.sampleRate;
        float horn = hornPosition + static_cast<float>(hornTurnsPerSecond(hornSpeed, madeFor) * (frames / sr));
        while (horn >= 1.0f) horn -= 1.0f;
        float drum = drumPosition + static_cast<float>(drumTurnsPerSecond(drumSpeed, madeFor) * (frames / sr));
        while (drum >= 1.0f) drum -= 1.0f;
        hornPosition = horn;
        drumPosition = drum;
    }

    SpeakerEngine& engine;
    SpeakerCoefficients c{};
    std::vector<float> hornBuffer, drumBuffer;
    int writeIndex = 0;
    float filterY1, filterY2;
    float hornSpeed, drumSpeed;
};
