// The signal path written the straightforward way, one sample at a time in
// double precision with libm's log and sqrt, step by step as the engine's
// documentation gives it. It runs on the state of a real engine object, so
// the fast path can be measured and checked against it.
#pragma once

#include <cmath>

#include "SpeakerEngine.h"

class ReferenceSpeaker : public SpeakerEngine {
public:
    using SpeakerEngine::SpeakerEngine;
    using SpeakerEngine::hornOsc;

    // The plain x86-64 build of the fast path, whatever the processor offers.
    void usePortablePath() { segmentRunner = runSegmentPortable; }

    // Replacing processing without MIDI, sample by sample.
    void processReference(const float* inLeft, const float* inRight, float* outLeft,
                          float* outRight, int frames) {
        advanceReferencePositions(frames);
        for (int i = 0; i < frames; ++i) {
            const float x = (inLeft[i] + inRight[i]) * 0.5f;
            processReferenceSample(x, outLeft[i], outRight[i]);
        }
    }

private:
    static double referenceAsinh(double z) { return std::log(z + std::sqrt(z * z + 1.0)); }

    double read(const float* buffer, double d) const {
        double pos = bandDelay.writeIndex - d;
        if (pos < 0) pos += bandDelay.bufferSize;
        const int i0 = static_cast<int>(pos);
        const int i1 = i0 + 1 == bandDelay.bufferSize ? 0 : i0 + 1;
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
        const double a1 = filterA1, a2 = filterA2, y1 = filterY1, y2 = filterY2;
        const double input = 32767.0 * x;                  // 1
        const double y = (input + a1 * y1) - a2 * y2;      // 2
        const double low = static_cast<double>(filterGain) * y;  // 3
        const double high = y2 + (y - 2.0 * y1);           // 4
        filterY2 = filterY1;                                                    // 5
        filterY1 = static_cast<float>(y);
        const double scale = 3.0518509e-05f;
        const double hornIn = referenceAsinh(high * hornDrive * scale) * (hornDriveNorm * 32767.0);  // 6
        const double drumIn = referenceAsinh(low * drumDrive * scale) * (drumDriveNorm * 32767.0);
        bandDelay.hornBuffer[bandDelay.writeIndex] = static_cast<float>(hornIn);  // 7
        bandDelay.drumBuffer[bandDelay.writeIndex] = static_cast<float>(drumIn);
        bandDelay.writeIndex = bandDelay.writeIndex + 1 == bandDelay.bufferSize ? 0 : bandDelay.writeIndex + 1;
        turn(hornSpeed, hornStep, hornSlow, hornFast, hornOsc);  // 8
        double hornTap[3];
        for (int i = 0; i < 3; ++i) {  // 9
            const double v = hornOsc[i];
            hornTap[i] = read(bandDelay.hornBuffer.get(), hornTaps[i].baseDelay + hornTaps[i].delayDepth * v) *
                         (1.0 + hornTaps[i].ampDepth * v);
        }
        turn(drumSpeed, drumStep, drumSlow, drumFast, drumOsc);  // 10
        double drumTap[2];
        for (int i = 0; i < 2; ++i)  // 11
            drumTap[i] = read(bandDelay.drumBuffer.get(),
                              drumTaps[i].baseDelay + drumTaps[i].delayDepth * static_cast<double>(drumOsc[i]));
        const double hornGain = hornLevel, drumGain = drumLevel, mix = crossfeed;
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
        const float sr = getSampleRate();
        float horn = hornPosition + static_cast<float>((hornSpeed * cachedSampleRate * 0.27548208 * 0.638 + 0.298) * (frames / sr));
        while (horn >= 1.0f) horn -= 1.0f;
        float drum = drumPosition + static_cast<float>((drumSpeed * cachedSampleRate * 0.27548208 * 0.583 + 0.175) * (frames / sr));
        while (drum >= 1.0f) drum -= 1.0f;
        hornPosition = horn;
        drumPosition = drum;
    }
};
