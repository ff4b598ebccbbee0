#include "pluginbase.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "SpeakerDescriptor.h"  // the name the programs start with

// Copies `source` into a host buffer of `size` bytes, cut to fit and always
// terminated. A null buffer receives nothing.
static void copyText(char* destination, const char* source, size_t size) {
    if (!destination || size == 0) return;
    std::snprintf(destination, size, "%s", source ? source : "");
}

PluginBase::PluginBase(audioMasterCallback audioMaster, const EffectDescriptor& descriptor)
    : AudioEffectX(audioMaster, descriptor.numPrograms, descriptor.numParams),
      descriptor(&descriptor) {
    setNumInputs(descriptor.numInputs);
    setNumOutputs(descriptor.numOutputs);
    setUniqueID(descriptor.uniqueId);
    if (descriptor.flags & CanMono) canMono(true);
    if (descriptor.flags & CanReplacing) canProcessReplacing(true);
    if (descriptor.flags & IsSynth) isSynth(true);

    programs.resize(static_cast<size_t>(descriptor.numPrograms));
    for (Program& program : programs) {
        program.name.reserve(32);
        program.parameters = descriptor.parameters;
        program.name = kInitialProgramName;
        program.values.resize(static_cast<size_t>(descriptor.numParams));
        for (int k = 0; k < descriptor.numParams; ++k)
            program.values[static_cast<size_t>(k)] = descriptor.parameters[k].defaultNormalized();
    }
}

PluginBase::~PluginBase() = default;

// --- Parameters ------------------------------------------------------------------

// Values are clamped into 0..1. A NaN carries no value and is ignored, as is
// an index outside the table.
void PluginBase::setParameter(VstInt32 index, float value) {
    if (!isParameterIndex(index) || std::isnan(value)) return;
    currentProgram().values[static_cast<size_t>(index)] =
        value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
}

float PluginBase::getParameter(VstInt32 index) {
    const Program& program = currentProgram();
    if (index < 0 || static_cast<size_t>(index) >= program.values.size()) return 0.0f;
    return program.values[static_cast<size_t>(index)];
}

void PluginBase::getParameterName(VstInt32 index, char* text) {
    copyText(text, isParameterIndex(index) ? parameterInfo(index).name : "", kParameterTextSize);
}

void PluginBase::getParameterLabel(VstInt32 index, char* label) {
    copyText(label, isParameterIndex(index) ? parameterInfo(index).label : "", kParameterTextSize);
}

void PluginBase::getParameterDisplay(VstInt32 index, char* text) {
    if (!text) return;
    text[0] = 0;
    if (!isParameterIndex(index)) return;
    const Program& program = currentProgram();
    program.parameters[index].formatValue(program.values[static_cast<size_t>(index)], text,
                                          kParameterTextSize);
}

// --- Programs ----------------------------------------------------------------------

// Replays the program's values in index order through the most derived
// setParameter, so the engine and the editor follow each one.
void PluginBase::setProgram(VstInt32 program) {
    if (program < 0 || program >= descriptor->numPrograms) return;
    curProgram = program;
    for (VstInt32 i = 0; i < descriptor->numParams; ++i) {
        const Program& selected = programs[static_cast<size_t>(program)];
        const float value =
            static_cast<size_t>(i) < selected.values.size() ? selected.values[static_cast<size_t>(i)].load() : 0.0f;
        setParameter(i, value);
    }
}

void PluginBase::setProgramName(char* name) {
    if (name) currentProgram().name = name;
}

// The interface gives program names a 24-byte buffer: at most 23 characters
// are copied; the stored name stays whole.
void PluginBase::getProgramName(char* name) {
    copyText(name, currentProgram().name.c_str(), kVstMaxProgNameLen);
}

bool PluginBase::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
    if (static_cast<uint32_t>(index) >= programs.size()) return false;
    copyText(text, programs[static_cast<size_t>(index)].name.c_str(), kVstMaxProgNameLen);
    return true;
}

bool PluginBase::copyProgram(VstInt32 destination) {
    if (static_cast<uint32_t>(destination) >= programs.size()) return false;
    programs[static_cast<size_t>(destination)] = currentProgram();
    return true;
}

// --- Pins, identity and capabilities ------------------------------------------------

bool PluginBase::getPinProperties(VstInt32 index, VstPinProperties* properties,
                                  const char* direction, VstInt32 pinCount) {
    if (index != 0 || !properties) return false;
    std::snprintf(properties->label, sizeof(properties->label), "%s %1d %s",
                  descriptor->effectName, index + 1, direction);
    properties->flags = kVstPinIsActive | (pinCount >= 2 ? kVstPinIsStereo : 0);
    return true;
}

bool PluginBase::getInputProperties(VstInt32 index, VstPinProperties* properties) {
    return getPinProperties(index, properties, "In", descriptor->numInputs);
}

bool PluginBase::getOutputProperties(VstInt32 index, VstPinProperties* properties) {
    return getPinProperties(index, properties, "Out", descriptor->numOutputs);
}

static_assert(static_cast<int>(kCategoryEffect) == static_cast<int>(kPlugCategEffect), "descriptor categories are the VST 2 ones");
VstInt32 PluginBase::getPlugCategory() { return descriptor->category; }

bool PluginBase::getEffectName(char* name) {
    copyText(name, descriptor->effectName, kVstMaxEffectNameLen);
    return true;
}

bool PluginBase::getVendorString(char* text) {
    copyText(text, descriptor->vendor, kVstMaxVendorStrLen);
    return true;
}

bool PluginBase::getProductString(char* text) {
    copyText(text, descriptor->product, kVstMaxProductStrLen);
    return true;
}

VstInt32 PluginBase::getVendorVersion() { return descriptor->vendorVersion; }

// Exact, case-sensitive comparison; the first matching text decides. Every
// answer is a yes (1) or a no (-1).
VstInt32 PluginBase::canDo(char* text) {
    if (!text) return -1;
    const int32_t flags = descriptor->flags;
    const int32_t ins = descriptor->numInputs;
    const int32_t outs = descriptor->numOutputs;
    const struct {
        const char* text;
        bool yes;
    } answers[] = {
        {"sendVstEvents", (flags & SendsEvents) != 0},
        {"sendVstMidiEvent", (flags & SendsEvents) != 0},
        {"receiveVstEvents", (flags & ReceivesEvents) != 0},
        {"receiveVstMidiEvent", (flags & ReceivesEvents) != 0},
        {"plugAsChannelInsert", (flags & ChannelInsert) != 0},
        {"plugAsSend", (flags & SendEffect) != 0},
        {"1in1out", ins == 1 && outs == 1},
        {"1in2out", ins == 1 && outs == 2},
        {"2in1out", ins == 2 && outs == 1},
        {"2in2out", ins == 2 && outs == 2},
    };
    for (const auto& answer : answers)
        if (std::strcmp(text, answer.text) == 0) return answer.yes ? 1 : -1;
    return -1;
}

// --- Events and audio -----------------------------------------------------------------

VstInt32 PluginBase::processEvents(VstEvents* list) {
    events.attach(list);
    return 1;
}

// The events handed over before a processing call serve that call only.
void PluginBase::process(float** inputs, float** outputs, VstInt32 sampleFrames) {
    processBlock(inputs, outputs, sampleFrames, false);
    events.attach(nullptr);
}

void PluginBase::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    processBlock(inputs, outputs, sampleFrames, true);
    events.attach(nullptr);
}

void PluginBase::resume() {
    if (descriptor->flags & WantsEvents) wantEvents(1);
}
