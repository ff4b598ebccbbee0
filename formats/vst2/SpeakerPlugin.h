// The effect a host instantiates: the speaker engine tied to its editor.
// The editor follows every parameter change and shows the rotor positions
// of the last processed block.
#pragma once

#include "SpeakerEngine.h"

class VstEditor;

class SpeakerPlugin : public SpeakerEngine {
public:
    // Without `withEditor` the effect has no window (builds for platforms
    // without a window backend); an editor that cannot be made is left out too.
    SpeakerPlugin(audioMasterCallback audioMaster, bool withEditor);
    ~SpeakerPlugin() override;

    void setParameter(VstInt32 index, float value) override;
    void processBlock(float** inputs, float** outputs, VstInt32 sampleFrames, bool replacing) override;

private:
    VstEditor* speakerEditor() const;
};
