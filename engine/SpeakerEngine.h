// The rotating-speaker signal processing: blocks cut at MIDI speed switches,
// two rotors ramping between slow and fast, and the per-sample path from the
// crossover through the shapers and delay lines to the two microphones.
#pragma once

#include "BandDelay.h"
#include "Relaxed.h"
#include "SegmentRunners.h"
#include "SignalPath.h"
#include "pluginbase.h"

// A microphone tap on a delay line: where it reads and how much of it each
// microphone hears. The drum's taps are just that; the horn's also swing in level.
struct MicrophoneTap {
    Relaxed<float> baseDelay;   // samples
    Relaxed<float> delayDepth;  // samples per unit of oscillator value
    Relaxed<float> weightLeft;
    Relaxed<float> weightRight;
};

using DrumTap = MicrophoneTap;

struct HornTap : MicrophoneTap {
    Relaxed<float> ampDepth;  // gain change per unit of oscillator value
};

class SpeakerEngine : public PluginBase {
public:
    explicit SpeakerEngine(audioMasterCallback audioMaster);
    ~SpeakerEngine() override;

    void setParameter(VstInt32 index, float value) override;
    void setSampleRate(float rate) override;
    void resume() override;
    void processBlock(float** inputs, float** outputs, VstInt32 sampleFrames,
                      bool replacing) override;

    // Rotor positions for the editor: the fraction of one animation turn, in [0, 1).
    float getHornPosition() const { return hornPosition; }
    float getDrumPosition() const { return drumPosition; }

protected:
    void processSegment(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                        VstInt32 frames, bool replacing);
    void findSpeedEvent(VstInt32& delta);
    void applySpeedEvent();
    void updateCoefficients();
    void updateCoefficientsFor(VstInt32 index);

    // Derived values; written in place by updateCoefficients from any thread.
    Relaxed<float> filterA1, filterA2, filterGain;
    Relaxed<float> hornDrive, hornDriveNorm, drumDrive, drumDriveNorm;
    Relaxed<float> hornSlow, hornFast, drumSlow, drumFast;  // oscillator step per sample
    Relaxed<float> hornStep, drumStep;                      // signed change of speed per sample
    Relaxed<float> cachedSampleRate;
    HornTap hornTaps[3];
    DrumTap drumTaps[2];
    Relaxed<float> hornLevel, drumLevel, crossfeed;
    Relaxed<VstInt32> speedController{-1};  // MIDI controller number, or -1 for none

    // Signal state; touched only by the audio thread.
    float filterY1 = 0.0f, filterY2 = 0.0f;
    BandDelay bandDelay;
    float hornSpeed = 0.0f, drumSpeed = 0.0f;
    float hornOsc[3];
    float drumOsc[3];

    Relaxed<float> hornPosition{0.0f}, drumPosition{0.0f};

    // The signal path built for this processor (chosen once, off the audio thread).
    SegmentRunner segmentRunner;

private:
    void updateFilter(float rate);
    void updateShapers();
    void updateRotors(float rate);
    void updateTaps(float rate);
    void updateLevels();
    void updateSpeedController();
    float realValue(int index) { return parameterInfo(index).toValue(getParameter(index)); }

    SignalPath loadSignalPath();
    void storeSignalPath(const SignalPath& path);
    void advancePositions(VstInt32 frames);
};
