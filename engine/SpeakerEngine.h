// The speaker effect in the VST 2 class chain: the host's parameters,
// sample rate and event lists handed to the sound core, each block cut at
// the MIDI speed switches of the host's event list.
#pragma once

#include "SpeakerCore.h"
#include "pluginbase.h"

class SpeakerEngine : public PluginBase {
public:
    explicit SpeakerEngine(audioMasterCallback audioMaster);

    void setParameter(VstInt32 index, float value) override;
    void setSampleRate(float rate) override;
    void resume() override;
    void processBlock(float** inputs, float** outputs, VstInt32 sampleFrames,
                      bool replacing) override;

    // Rotor positions for the editor: the fraction of one animation turn, in [0, 1).
    float getHornPosition() const { return core.hornPosition(); }
    float getDrumPosition() const { return core.drumPosition(); }

    // What the engine holds now, for tests and measurements.
    SpeakerCore::Inspection inspect() const { return core.inspect(); }
    // Runs the signal path on another of its builds. Off the audio thread.
    void useSegmentRunner(SegmentRunner runner) { core.useSegmentRunner(runner); }

private:
    void findSpeedEvent(VstInt32& delta, VstInt32 controller);
    bool applySpeedEvent(VstInt32 controller);

    SpeakerCore core;
};
