// The rotating-speaker signal processing: blocks cut at MIDI speed switches,
// two rotors ramping between slow and fast, and the per-sample path from the
// crossover through the shapers and delay lines to the two microphones.
#pragma once

#include "EngineState.h"
#include "RelaxedRecord.h"
#include "SegmentRunners.h"
#include "pluginbase.h"

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
    float getHornPosition() const { return signal.hornPosition; }
    float getDrumPosition() const { return signal.drumPosition; }

    // What the engine holds now, for tests and measurements.
    struct Inspection {
        SpeakerCoefficients coefficients;
        const SignalState& signal;
    };
    Inspection inspect() const { return {coefficients.load(), signal}; }

    // Runs the signal path on another of its builds (they give identical
    // samples; tests and the benchmark compare them). Off the audio thread.
    void useSegmentRunner(SegmentRunner runner) { segmentRunner = runner; }

private:
    void processSegment(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                        VstInt32 frames, bool replacing, const SpeakerCoefficients& c);
    void findSpeedEvent(VstInt32& delta, VstInt32 controller);
    bool applySpeedEvent(VstInt32 controller);
    RotorCoefficients loadRotors() const;
    void updateCoefficients();
    void updateCoefficientsFor(VstInt32 index);

    void updateFilter(SpeakerCoefficients& c, float rate);
    void updateShapers(SpeakerCoefficients& c);
    void updateRotors(RotorCoefficients& r, float rate);
    void updateTaps(SpeakerCoefficients& c, float rate);
    void updateLevels(SpeakerCoefficients& c);
    void updatePathTaps(SpeakerCoefficients& c);
    void updateSpeedController(SpeakerCoefficients& c);
    float realValue(int index) { return parameterInfo(index).toValue(getParameter(index)); }

    SignalPath loadSignalPath(const SpeakerCoefficients& c) const;
    void storeSignalPath(const SignalPath& path);
    void advancePositions(VstInt32 frames, const SpeakerCoefficients& c);

    RelaxedRecord<SpeakerCoefficients> coefficients;
    SignalState signal;
    // The signal path built for this processor (chosen once, off the audio thread).
    SegmentRunner segmentRunner;
};
