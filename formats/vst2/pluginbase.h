// The generic, table-driven layer between the VST classes and an effect:
// parameters stored in programs, display texts from the parameter table, pin
// properties, capability answers, and the hand-over of events and audio
// blocks to the derived engine through processBlock.
#pragma once

#include <vector>

#include "AudioEffectX.h"
#include "EffectDescriptor.h"
#include "Program.h"
#include "vstevents.h"

class PluginBase : public AudioEffectX {
public:
    PluginBase(audioMasterCallback audioMaster, const EffectDescriptor& descriptor);
    ~PluginBase() override;

    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void process(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    void resume() override;
    VstInt32 processEvents(VstEvents* events) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    bool copyProgram(VstInt32 destination) override;
    bool getInputProperties(VstInt32 index, VstPinProperties* properties) override;
    bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override;
    VstInt32 getPlugCategory() override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    VstInt32 canDo(char* text) override;

    virtual void processBlock(float** inputs, float** outputs, VstInt32 sampleFrames,
                              bool replacing) = 0;

    // Texts written into the host's parameter buffers are cut to fit this
    // many bytes; the longest text of a table here is 12 characters.
    static constexpr int kParameterTextSize = 24;

protected:
    // The row of the parameter table for an index the caller has checked.
    const ParameterInfo& parameterInfo(VstInt32 index) const { return descriptor->parameters[index]; }
    bool isParameterIndex(VstInt32 index) const {
        return index >= 0 && index < descriptor->numParams;
    }

    VstEventList events;
    std::vector<Program> programs;
    const EffectDescriptor* descriptor;

private:
    Program& currentProgram() { return programs[static_cast<size_t>(getProgram())]; }
    bool getPinProperties(VstInt32 index, VstPinProperties* properties, const char* direction,
                          VstInt32 pinCount);
};
