// The render session on a VST 2 library: the effect made by its entry
// point, driven through its dispatcher as a host drives it.
#pragma once

#include "RenderSession.h"

class Vst2RenderSession : public RenderSession {
public:
    Vst2RenderSession(const PluginLibrary& library, float sampleRate, int blockSize);
    ~Vst2RenderSession() override;

    bool ready() const { return effect != nullptr; }

    const char* formatName() const override { return "VST 2"; }
    int parameterCount() const override { return effect->numParams; }
    std::string parameterName(int index) const override;
    std::string parameterDisplay(int index) const override;
    float parameter(int index) const override;
    void setParameter(int index, float normalized) override;

private:
    void process(float* const inputs[2], float* const outputs[2], int frames,
                 const std::vector<MidiMessage>& midi) override;
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) const;

    AEffect* effect = nullptr;
};
