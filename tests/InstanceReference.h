// The sound every format with the extended cabinet must give: the plug-in
// instance as those formats make it, rendering the test signal with the
// same settings and MIDI switches in whole blocks, each setting and switch
// an event timed at its frame. Where settings move it differs from the
// VST 2 build, which changes them at once.
#pragma once

#include <algorithm>
#include <vector>

#include "PluginInstance.h"
#include "Vst2Reference.h"

namespace instancereference {

using vst2reference::MidiSwitch;
using vst2reference::Setting;

// Interleaved stereo output of `frames` frames in blocks of `block`.
inline std::vector<float> render(const std::vector<Setting>& settings, const std::vector<MidiSwitch>& midi,
                                 long frames, int block) {
    PluginInstance instance(ChangeStyle::Smooth);
    instance.setSampleRate(44100.0);
    instance.activate();
    struct Events : EventSource {
        std::vector<TimedEvent> list;
        size_t at = 0;
        bool next(TimedEvent& event) override {
            if (at == list.size()) return false;
            event = list[at++];
            return true;
        }
    } events;
    std::vector<float> inL(static_cast<size_t>(block)), inR(inL), outL(inL), outR(inL), out;
    for (long start = 0; start < frames; start += block) {
        const int n = static_cast<int>(std::min<long>(block, frames - start));
        vst2reference::signal(start, n, inL.data(), inR.data());
        events.list.clear();
        events.at = 0;
        // Settings before MIDI at one frame, as the VST 2 reference applies them.
        for (const Setting& s : settings)
            if (s.frame >= start && s.frame < start + n)
                events.list.push_back({static_cast<uint32_t>(s.frame - start), EventKind::Value, s.parameter,
                                       kCabinetParameters[s.parameter].toNormalized(s.value), {}, 0});
        for (const MidiSwitch& m : midi)
            if (m.frame >= start && m.frame < start + n)
                events.list.push_back({static_cast<uint32_t>(m.frame - start), EventKind::Midi, 0, 0.0,
                                       {0xB0, static_cast<uint8_t>(m.controller), static_cast<uint8_t>(m.value)}, 3});
        std::stable_sort(events.list.begin(), events.list.end(),
                         [](const TimedEvent& a, const TimedEvent& b) { return a.frame < b.frame; });
        instance.process({{inL.data(), inR.data()}, {outL.data(), outR.data()}, static_cast<uint32_t>(n)}, &events,
                         nullptr);
        for (int i = 0; i < n; ++i) out.insert(out.end(), {outL[i], outR[i]});
    }
    return out;
}

}  // namespace instancereference
