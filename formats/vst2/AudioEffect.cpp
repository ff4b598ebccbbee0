#include "AudioEffect.h"

#include <cmath>
#include <cstdio>
#include <cstring>

AudioEffect::AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams) {
    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = entryDispatcher;
    cEffect.process = entryProcess;
    cEffect.setParameter = entrySetParameter;
    cEffect.getParameter = entryGetParameter;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = 0x4E6F4566;
    cEffect.version = 1;
    cEffect.processReplacing = entryProcessReplacing;
}

AudioEffect::~AudioEffect() { delete editor; }

void AudioEffect::setEditor(EditorBase* newEditor) {
    editor = newEditor;
    setFlag(effFlagsHasEditor, newEditor != nullptr);
}

// --- Entry functions -------------------------------------------------------

static AudioEffect* effectOf(AEffect* e) { return static_cast<AudioEffect*>(e->object); }

VstIntPtr AudioEffect::entryDispatcher(AEffect* e, VstInt32 opCode, VstInt32 index,
                                       VstIntPtr value, void* ptr, float opt) {
    AudioEffect* effect = effectOf(e);
    VstIntPtr result = effect->dispatcher(opCode, index, value, ptr, opt);
    if (opCode == effClose) {
        delete effect;
        return 1;
    }
    return result;
}

void AudioEffect::entryProcess(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames) {
    effectOf(e)->process(inputs, outputs, sampleFrames);
}

void AudioEffect::entryProcessReplacing(AEffect* e, float** inputs, float** outputs,
                                        VstInt32 sampleFrames) {
    effectOf(e)->processReplacing(inputs, outputs, sampleFrames);
}

void AudioEffect::entrySetParameter(AEffect* e, VstInt32 index, float value) {
    effectOf(e)->setParameter(index, value);
}

float AudioEffect::entryGetParameter(AEffect* e, VstInt32 index) {
    return effectOf(e)->getParameter(index);
}

// --- Dispatcher for opcodes 0 to 24 ------------------------------------------

VstIntPtr AudioEffect::dispatcher(VstInt32 opCode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opCode) {
        case effOpen: open(); return 0;
        case effClose: close(); return 0;
        case effSetProgram:
            // Negative program numbers name no program: ignored like too large ones.
            if (value >= 0 && value < numPrograms) setProgram(static_cast<VstInt32>(value));
            return 0;
        case effGetProgram: return getProgram();
        case effSetProgramName: setProgramName(text); return 0;
        case effGetProgramName: getProgramName(text); return 0;
        case effGetParamLabel: getParameterLabel(index, text); return 0;
        case effGetParamDisplay: getParameterDisplay(index, text); return 0;
        case effGetParamName: getParameterName(index, text); return 0;
        case effGetVu: return static_cast<VstIntPtr>(getVu() * 32767.0);
        case effSetSampleRate: setSampleRate(opt); return 0;
        case effSetBlockSize: setBlockSize(static_cast<VstInt32>(value)); return 0;
        case effMainsChanged:
            if (value == 0)
                suspend();
            else
                resume();
            return 0;
        case effEditGetRect:
            return editor && ptr ? editor->getRect(static_cast<ERect**>(ptr)) : 0;
        case effEditOpen: return editor ? editor->open(ptr) : 0;
        case effEditClose:
            if (editor) editor->close();
            return 0;
        case effEditIdle:
            if (editor) editor->idle();
            return 0;
        case effIdentify: return 0x4E764566;
        case effGetChunk: return getChunk(static_cast<void**>(ptr), index != 0);
        case effSetChunk: return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
        default: return 0;  // effEditDraw, effEditMouse, effEditKey, effEditTop, effEditSleep, unknown
    }
}

// --- Base behaviour of the virtual operations --------------------------------

void AudioEffect::setParameter(VstInt32, float) {}
float AudioEffect::getParameter(VstInt32) { return 0.0f; }

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
    // The local change comes first, so the host only hears of a value in effect.
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void AudioEffect::processReplacing(float**, float**, VstInt32) {}
void AudioEffect::open() {}
void AudioEffect::close() {}
VstInt32 AudioEffect::getProgram() { return curProgram; }
void AudioEffect::setProgram(VstInt32 program) { curProgram = program; }
void AudioEffect::setProgramName(char* name) {
    if (name) *name = 0;
}
void AudioEffect::getProgramName(char* name) {
    if (name) *name = 0;
}
void AudioEffect::getParameterLabel(VstInt32, char* label) {
    if (label) *label = 0;
}
void AudioEffect::getParameterDisplay(VstInt32, char* text) {
    if (text) *text = 0;
}
void AudioEffect::getParameterName(VstInt32, char* text) {
    if (text) *text = 0;
}
float AudioEffect::getVu() { return 0.0f; }
VstInt32 AudioEffect::getChunk(void**, bool) { return 0; }
VstInt32 AudioEffect::setChunk(void*, VstInt32, bool) { return 0; }
bool AudioEffect::isUsableSampleRate(float rate) { return std::isfinite(rate) && rate > 0; }

void AudioEffect::setSampleRate(float rate) {
    if (isUsableSampleRate(rate)) sampleRate = rate;
}
void AudioEffect::setBlockSize(VstInt32 size) { blockSize = size; }
void AudioEffect::suspend() {}
void AudioEffect::resume() {}
void AudioEffect::setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
void AudioEffect::setNumInputs(VstInt32 inputs) { cEffect.numInputs = inputs; }
void AudioEffect::setNumOutputs(VstInt32 outputs) { cEffect.numOutputs = outputs; }

void AudioEffect::setFlag(VstInt32 bit, bool state) {
    if (state)
        cEffect.flags |= bit;
    else
        cEffect.flags &= ~bit;
}

void AudioEffect::hasVu(bool state) { setFlag(effFlagsHasVu, state); }
void AudioEffect::hasClip(bool state) { setFlag(effFlagsHasClip, state); }
void AudioEffect::canMono(bool state) { setFlag(effFlagsCanMono, state); }
void AudioEffect::canProcessReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
void AudioEffect::programsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
void AudioEffect::setRealtimeQualities(VstInt32 qualities) { cEffect.realQualities = qualities; }
void AudioEffect::setOfflineQualities(VstInt32 qualities) { cEffect.offQualities = qualities; }
void AudioEffect::setInitialDelay(VstInt32 delay) { cEffect.initialDelay = delay; }
float AudioEffect::getSampleRate() { return sampleRate; }
VstInt32 AudioEffect::getBlockSize() { return blockSize; }

// --- Host services -----------------------------------------------------------

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) {
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

VstInt32 AudioEffect::getMasterVersion() {
    VstIntPtr version = callHost(audioMasterVersion);
    return version ? static_cast<VstInt32>(version) : 1;
}

VstInt32 AudioEffect::getCurrentUniqueId() {
    return static_cast<VstInt32>(callHost(audioMasterCurrentId));
}

void AudioEffect::masterIdle() { callHost(audioMasterIdle); }

bool AudioEffect::isInputConnected(VstInt32 input) {
    return callHost(audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffect::isOutputConnected(VstInt32 output) {
    return callHost(audioMasterPinConnected, output, 1) == 0;
}

// --- Text utilities: fixed-width texts of at most 8 characters ----------------

static const char kHugeText[] = " Huge!  ";

void AudioEffect::dB2string(float value, char* text) {
    if (value > 0)
        float2string(static_cast<float>(20.0 * std::log10(value)), text);
    else
        std::strcpy(text, "  -oo   ");
}

void AudioEffect::Hz2string(float samples, char* text) {
    float2string(samples == 0 ? 0.0f : static_cast<float>(sampleRate / samples), text);
}

void AudioEffect::ms2string(float samples, char* text) {
    float2string(static_cast<float>(samples * 1000.0 / sampleRate), text);
}

// Digits are produced least significant first and truncated, never rounded.
// Values whose integer digits would not fit the 8 characters (sign and point
// included), and values that are not finite, give " Huge!  ".
void AudioEffect::float2string(float value, char* text) {
    const bool negative = value < 0;
    const double v = std::fabs(static_cast<double>(value));
    if (!std::isfinite(v) || std::floor(v) >= (negative ? 1e6 : 1e7)) {
        std::strcpy(text, kHugeText);
        return;
    }
    int count = negative ? 1 : 0;
    char integerDigits[8];
    int integerCount = 0;
    double i = std::floor(v);
    integerDigits[integerCount++] = static_cast<char>('0' + static_cast<int>(std::fmod(i, 10.0)));
    i *= 0.1;
    count += 2;
    while (i >= 1.0 && count < 8) {
        integerDigits[integerCount++] = static_cast<char>('0' + static_cast<int>(std::fmod(i, 10.0)));
        i *= 0.1;
        ++count;
    }
    char* out = text;
    if (negative) *out++ = '-';
    while (integerCount > 0) *out++ = integerDigits[--integerCount];
    *out++ = '.';
    if (count < 8) {
        const int fractionCount = 8 - count;
        double f = std::fmod(v, 1.0) * std::pow(10.0, fractionCount);
        for (int k = fractionCount - 1; k >= 0; --k) {
            out[k] = f > 0 ? static_cast<char>('0' + static_cast<int>(std::fmod(f, 10.0))) : '0';
            f *= 0.1;
        }
        out += fractionCount;
    }
    *out = 0;
}

// Values that would need more than 8 characters (from 100000000 up, or below
// -9999999) give " Huge!  ".
void AudioEffect::long2string(VstInt32 value, char* text) {
    if (value >= 100000000 || value < -9999999) {
        std::strcpy(text, kHugeText);
        return;
    }
    char formatted[16];
    std::snprintf(formatted, sizeof(formatted), "%7d", static_cast<int>(value));
    formatted[8] = 0;
    std::strcpy(text, formatted);
}
