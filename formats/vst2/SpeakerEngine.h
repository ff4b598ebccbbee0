// The speaker effect in the VST 2 class chain: the host's parameters,
// sample rate and event lists translated to the plug-in instance, each
// block cut at the MIDI speed switches of the host's event list. The host
// hears a switch as automation of the speed toggle.
#pragma once

#include "PluginInstance.h"
#include "pluginbase.h"

class SpeakerEngine : public PluginBase, private ProcessReport {
public:
    explicit SpeakerEngine(audioMasterCallback audioMaster);

    void setParameter(VstInt32 index, float value) override;
    void setSampleRate(float rate) override;
    void resume() override;
    void suspend() override;
    void processBlock(float** inputs, float** outputs, VstInt32 sampleFrames,
                      bool replacing) override;

    // Rotor positions for the editor: the fraction of one animation turn, in [0, 1).
    float getHornPosition() const { return instance.hornPosition(); }
    float getDrumPosition() const { return instance.drumPosition(); }

    // What the engine holds now, for tests and measurements.
    SpeakerCore::Inspection inspect() const { return instance.speakerCore().inspect(); }
    // Runs the signal path on another of its builds. Off the audio thread.
    void useSegmentRunner(SegmentRunner runner) { instance.useSegmentRunner(runner); }

private:
    // An accumulating call is processed in pieces of this many frames,
    // each added to the host's outputs.
    static constexpr VstInt32 kAddedPiece = 1024;

    void speedSwitched(uint32_t frame, bool fast) override;
    // The rate the host stored, which the combined block-size-and-rate call
    // may have changed without a recomputation.
    void noteSampleRate();

    PluginInstance instance{ChangeStyle::Immediate};
    Relaxed<float> notedRate{0.0f};
    float addedLeft[kAddedPiece], addedRight[kAddedPiece];
};
