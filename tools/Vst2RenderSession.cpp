#include "Vst2RenderSession.h"

#include "OfflineHost.h"

Vst2RenderSession::Vst2RenderSession(const PluginLibrary& library, float sampleRate, int blockSize)
    : RenderSession(sampleRate, blockSize) {
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

Vst2RenderSession::~Vst2RenderSession() {
    if (!effect) return;
    dispatch(effMainsChanged, 0, 0);
    dispatch(effClose);
}

VstIntPtr Vst2RenderSession::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                      float opt) const {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string Vst2RenderSession::parameterName(int index) const {
    char text[256] = {};
    dispatch(effGetParamName, index, 0, text);
    return text;
}

std::string Vst2RenderSession::parameterDisplay(int index) const {
    char text[256] = {};
    dispatch(effGetParamDisplay, index, 0, text);
    return text;
}

float Vst2RenderSession::parameter(int index) const { return effect->getParameter(effect, index); }

void Vst2RenderSession::setParameter(int index, float normalized) {
    effect->setParameter(effect, index, normalized);
}

void Vst2RenderSession::process(float* const inputs[2], float* const outputs[2], int frames,
                                const std::vector<MidiMessage>& midi) {
    // The list and its events must outlive the processing call that reads them.
    std::vector<VstMidiEvent> events(midi.size());
    std::vector<char> listStorage(sizeof(VstEvents) + midi.size() * sizeof(VstEvent*), 0);
    if (!midi.empty()) {
        auto* list = reinterpret_cast<VstEvents*>(listStorage.data());
        list->numEvents = static_cast<VstInt32>(midi.size());
        for (size_t i = 0; i < midi.size(); ++i) {
            VstMidiEvent& event = events[i];
            event = VstMidiEvent{};
            event.type = kVstMidiType;
            event.byteSize = sizeof event;
            event.deltaFrames = midi[i].frame;
            for (int b = 0; b < 3; ++b) event.midiData[b] = static_cast<char>(midi[i].bytes[b]);
            list->events[i] = reinterpret_cast<VstEvent*>(&event);
        }
        dispatch(effProcessEvents, 0, 0, list);
    }
    effect->processReplacing(effect, const_cast<float**>(inputs), const_cast<float**>(outputs), frames);
}
