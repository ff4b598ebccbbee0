// The sound the other formats must give: the VST 2 build, loaded as a VST 2
// host loads it, rendering a test signal with settings, settings changed at
// chosen frames (the block cut there) and MIDI switches.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "PluginLibrary.h"
#include "SpeakerDescriptor.h"

namespace vst2reference {

struct MidiSwitch {
    long frame;
    int controller;
    int value;
};

// A setting in the units the parameter displays, from `frame` on.
struct Setting {
    int parameter;
    float value;
    long frame = 0;
};

inline void signal(long start, int n, float* left, float* right) {
    for (int i = 0; i < n; ++i) {
        const double t = (start + i) / 44100.0;
        left[i] = static_cast<float>(0.5 * std::sin(2 * 3.14159265358979 * 330 * t));
        right[i] = static_cast<float>(0.4 * std::sin(2 * 3.14159265358979 * 1210 * t + 1.0));
    }
}

inline VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// Interleaved stereo output of `frames` frames in blocks of `block`.
inline std::vector<float> render(const PluginLibrary& library, const std::vector<Setting>& settings,
                                 const std::vector<MidiSwitch>& midi, long frames, int block,
                                 float rate = 44100.0f) {
    AEffect* effect = library.entry("VSTPluginMain")(host);
    if (!effect) return {};
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, rate);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    std::vector<long> cuts;
    for (const Setting& s : settings) cuts.push_back(s.frame);
    std::vector<float> inL(static_cast<size_t>(block)), inR(inL), outL(inL), outR(inL), out;
    std::vector<VstMidiEvent> events;
    std::vector<char> list;
    for (long start = 0; start < frames; start += block) {
        const int n = static_cast<int>(std::min<long>(block, frames - start));
        signal(start, n, inL.data(), inR.data());
        for (int from = 0; from < n;) {
            int to = n;
            for (long cut : cuts)
                if (cut > start + from && cut < start + to) to = static_cast<int>(cut - start);
            for (const Setting& s : settings)
                if (s.frame == start + from)
                    effect->setParameter(effect, s.parameter,
                                         kCabinetParameters[s.parameter].toNormalized(s.value));
            events.clear();
            for (const MidiSwitch& m : midi) {
                if (m.frame < start + from || m.frame >= start + to) continue;
                VstMidiEvent e{};
                e.type = kVstMidiType;
                e.byteSize = sizeof e;
                e.deltaFrames = static_cast<VstInt32>(m.frame - start - from);
                e.midiData[0] = static_cast<char>(0xB0);
                e.midiData[1] = static_cast<char>(m.controller);
                e.midiData[2] = static_cast<char>(m.value);
                events.push_back(e);
            }
            if (!events.empty()) {
                list.assign(sizeof(VstEvents) + events.size() * sizeof(VstEvent*), 0);
                auto* header = reinterpret_cast<VstEvents*>(list.data());
                header->numEvents = static_cast<VstInt32>(events.size());
                VstEvent** entries = header->events;  // runs past the two declared entries
                for (size_t i = 0; i < events.size(); ++i) entries[i] = reinterpret_cast<VstEvent*>(&events[i]);
                effect->dispatcher(effect, effProcessEvents, 0, 0, header, 0.0f);
            }
            float* inputs[2] = {inL.data() + from, inR.data() + from};
            float* outputs[2] = {outL.data() + from, outR.data() + from};
            effect->processReplacing(effect, inputs, outputs, to - from);
            from = to;
        }
        for (int i = 0; i < n; ++i) out.insert(out.end(), {outL[i], outR[i]});
    }
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    return out;
}

}  // namespace vst2reference
