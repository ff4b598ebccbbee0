// The speaker engine with helpers for tests to run blocks, and a list of
// MIDI control changes to hand over.
#pragma once

#include <vector>

#include "SpeakerEngine.h"

class EngineProbe : public SpeakerEngine {
public:
    using SpeakerEngine::SpeakerEngine;

    // Runs `frames` samples of the given input (mono on both channels),
    // replacing, and returns left and right.
    void run(const std::vector<float>& input, std::vector<float>& left, std::vector<float>& right,
             bool replacing = true) {
        std::vector<float> in(input);
        left.resize(input.size());
        right.resize(input.size());
        float* inputs[2] = {in.data(), in.data()};
        float* outputs[2] = {left.data(), right.data()};
        if (replacing)
            processReplacing(inputs, outputs, static_cast<VstInt32>(input.size()));
        else
            process(inputs, outputs, static_cast<VstInt32>(input.size()));
    }

    void runSilence(int frames) {
        std::vector<float> in(static_cast<size_t>(frames), 0.0f), l, r;
        run(in, l, r);
    }
};

// A list of MIDI control changes for processEvents; the records live as long
// as the list.
class MidiList {
public:
    void controlChange(VstInt32 deltaFrames, int controller, int value, int channel = 0) {
        VstMidiEvent event{};
        event.type = kVstMidiType;
        event.byteSize = sizeof(VstMidiEvent);
        event.deltaFrames = deltaFrames;
        event.midiData[0] = static_cast<char>(0xB0 | channel);
        event.midiData[1] = static_cast<char>(controller);
        event.midiData[2] = static_cast<char>(value);
        events.push_back(event);
    }
    void note(VstInt32 deltaFrames, int key) {
        VstMidiEvent event{};
        event.type = kVstMidiType;
        event.byteSize = sizeof(VstMidiEvent);
        event.deltaFrames = deltaFrames;
        event.midiData[0] = static_cast<char>(0x90);
        event.midiData[1] = static_cast<char>(key);
        event.midiData[2] = 100;
        events.push_back(event);
    }

    VstEvents* get() {
        storage.assign(sizeof(VstEvents) + events.size() * sizeof(VstEvent*), 0);
        auto* list = reinterpret_cast<VstEvents*>(storage.data());
        list->numEvents = static_cast<VstInt32>(events.size());
        VstEvent** entries = list->events;  // the array runs past the two entries the record declares
        for (size_t i = 0; i < events.size(); ++i) entries[i] = reinterpret_cast<VstEvent*>(&events[i]);
        return list;
    }

private:
    std::vector<VstMidiEvent> events;
    std::vector<char> storage;
};
