#include "RenderSession.h"

#include <algorithm>
#include <cstring>

#include "OfflineHost.h"

RenderSession::RenderSession(const PluginLibrary& library, float sampleRate, int blockSize)
    : sampleRate(sampleRate), blockSize(blockSize > 0 ? blockSize : 512) {
    PluginEntry entry = library.entry("VSTPluginMain");
    if (!entry) entry = library.entry("main");
    if (!entry) return;
    effect = entry(offlineHostCallback);
    if (!effect || effect->magic != kEffectMagic) {
        effect = nullptr;
        return;
    }
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, this->blockSize);
    dispatch(effMainsChanged, 0, 1);
}

RenderSession::~RenderSession() {
    if (!effect) return;
    dispatch(effMainsChanged, 0, 0);
    dispatch(effClose);
}

VstIntPtr RenderSession::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt) const {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string RenderSession::parameterName(int index) const {
    char text[256] = {};
    dispatch(effGetParamName, index, 0, text);
    return text;
}

std::string RenderSession::parameterDisplay(int index) const {
    char text[256] = {};
    dispatch(effGetParamDisplay, index, 0, text);
    return text;
}

float RenderSession::parameter(int index) const { return effect->getParameter(effect, index); }

void RenderSession::setParameter(int index, float normalized) {
    effect->setParameter(effect, index, normalized);
}

void RenderSession::scheduleSpeed(double seconds, bool fast, int controller) {
    switches.push_back({static_cast<long>(seconds * sampleRate + 0.5), fast, controller});
    std::stable_sort(switches.begin(), switches.end(),
                     [](const SpeedSwitch& a, const SpeedSwitch& b) { return a.frame < b.frame; });
}

void RenderSession::render(const float* left, const float* right, float* outLeft, float* outRight,
                           long frames, const std::function<void(double)>& progress) {
    std::vector<float> inL(static_cast<size_t>(blockSize)), inR(static_cast<size_t>(blockSize));
    std::vector<VstMidiEvent> midi;
    std::vector<char> listStorage;
    size_t nextSwitch = 0;
    for (long start = 0; start < frames; start += blockSize) {
        const int n = static_cast<int>(std::min<long>(blockSize, frames - start));
        midi.clear();
        while (nextSwitch < switches.size() && switches[nextSwitch].frame < start + n) {
            const SpeedSwitch& s = switches[nextSwitch++];
            VstMidiEvent event{};
            event.type = kVstMidiType;
            event.byteSize = sizeof event;
            event.deltaFrames = static_cast<VstInt32>(std::max<long>(0, s.frame - start));
            event.midiData[0] = static_cast<char>(0xB0);
            event.midiData[1] = static_cast<char>(s.controller);
            event.midiData[2] = static_cast<char>(s.fast ? 127 : 0);
            midi.push_back(event);
        }
        if (!midi.empty()) {
            listStorage.assign(sizeof(VstEvents) + midi.size() * sizeof(VstEvent*), 0);
            auto* list = reinterpret_cast<VstEvents*>(listStorage.data());
            list->numEvents = static_cast<VstInt32>(midi.size());
            for (size_t i = 0; i < midi.size(); ++i) list->events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
            dispatch(effProcessEvents, 0, 0, list);
        }
        std::copy(left + start, left + start + n, inL.begin());
        std::copy(right + start, right + start + n, inR.begin());
        float* inputs[2] = {inL.data(), inR.data()};
        float* outputs[2] = {outLeft + start, outRight + start};
        effect->processReplacing(effect, inputs, outputs, n);
        if (progress) progress(static_cast<double>(start + n) / frames);
    }
}
