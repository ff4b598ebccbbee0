// The CLAP plug-in's processing with any event lists: headers of any size,
// space, type, time and flags, bodies of any bytes (ids, values, MIDI), in
// blocks of any length, processed in place or not, with an output list that
// may refuse events. Each event is allocated at exactly the size its header
// claims, so a read past it is caught; the output must stay finite.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "LoadedClapLibrary.h"

namespace {

constexpr uint32_t kMaxFrames = 512;

struct HostileEvents {
    std::vector<std::vector<uint8_t>> events;

    void read(FuzzedDataProvider& input) {
        const size_t count = input.ConsumeIntegralInRange<size_t>(0, 24);
        for (size_t i = 0; i < count && input.remaining_bytes() > 0; ++i) {
            clap_event_header_t header{};
            header.time = input.ConsumeBool() ? input.ConsumeIntegralInRange<uint32_t>(0, kMaxFrames + 8)
                                              : input.ConsumeIntegral<uint32_t>();
            header.flags = input.ConsumeIntegral<uint32_t>();
            if (input.ConsumeBool()) {  // a well-formed event of a type the plug-in reads, any body
                const uint16_t types[] = {CLAP_EVENT_PARAM_VALUE, CLAP_EVENT_MIDI, CLAP_EVENT_PARAM_GESTURE_BEGIN};
                const uint32_t sizes[] = {sizeof(clap_event_param_value_t), sizeof(clap_event_midi_t),
                                          sizeof(clap_event_param_gesture_t)};
                const size_t which = input.ConsumeIntegralInRange<size_t>(0, 2);
                header.type = types[which];
                header.size = sizes[which];
                header.space_id = CLAP_CORE_EVENT_SPACE_ID;
            } else {  // anything
                header.size = input.ConsumeBool() ? input.ConsumeIntegralInRange<uint32_t>(0, 64)
                                                  : input.ConsumeIntegralInRange<uint32_t>(0, 4096);
                header.space_id = input.ConsumeBool() ? CLAP_CORE_EVENT_SPACE_ID : input.ConsumeIntegral<uint16_t>();
                header.type = input.ConsumeBool() ? input.ConsumeIntegralInRange<uint16_t>(0, 12)
                                                  : input.ConsumeIntegral<uint16_t>();
            }
            // The header itself is always there; beyond it, what the size claims.
            std::vector<uint8_t> bytes(std::max<size_t>(header.size, sizeof header));
            std::memcpy(bytes.data(), &header, sizeof header);
            const std::vector<uint8_t> body = input.ConsumeBytes<uint8_t>(bytes.size() - sizeof header);
            std::copy(body.begin(), body.end(), bytes.begin() + sizeof header);
            events.push_back(std::move(bytes));
        }
    }

    const clap_input_events_t* input() {
        list = {this, [](const clap_input_events_t* l) { return static_cast<uint32_t>(self(l).events.size()); },
                [](const clap_input_events_t* l, uint32_t i) -> const clap_event_header_t* {
                    if (i >= self(l).events.size()) return nullptr;
                    return reinterpret_cast<const clap_event_header_t*>(self(l).events[i].data());
                }};
        return &list;
    }

private:
    static HostileEvents& self(const clap_input_events_t* l) { return *static_cast<HostileEvents*>(l->ctx); }
    clap_input_events_t list{};
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    loadedClapLibrary();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    ClapTestHost host;
    const clap_plugin_t* plugin = host.create(loadedClapLibrary());
    if (!plugin || !plugin->activate(plugin, 44100.0, 1, kMaxFrames) || !plugin->start_processing(plugin))
        std::abort();

    std::vector<float> inLeft(kMaxFrames), inRight(kMaxFrames), outLeft(kMaxFrames), outRight(kMaxFrames);
    const int blocks = input.ConsumeIntegralInRange<int>(1, 4);
    for (int b = 0; b < blocks; ++b) {
        const uint32_t frames = input.ConsumeIntegralInRange<uint32_t>(0, kMaxFrames);
        const bool inPlace = input.ConsumeBool();
        const bool outputRefuses = input.ConsumeBool();
        for (uint32_t i = 0; i < frames; ++i) inLeft[i] = inRight[i] = 0.4f * std::sin(0.05f * static_cast<float>(i));
        HostileEvents events;
        events.read(input);
        float* ins[2] = {inLeft.data(), inRight.data()};
        float* outs[2] = {outLeft.data(), outRight.data()};
        clap_audio_buffer_t in{ins, nullptr, 2, 0, 0}, out{inPlace ? ins : outs, nullptr, 2, 0, 0};
        EventList sent;
        clap_output_events_t refusing{nullptr, [](const clap_output_events_t*, const clap_event_header_t*) {
                                          return false;
                                      }};
        const clap_process_t process =
            processCall(frames, &in, &out, events.input(), outputRefuses ? &refusing : sent.output());
        plugin->process(plugin, &process);
        for (uint32_t i = 0; i < frames; ++i)
            if (!std::isfinite(out.data32[0][i]) || !std::isfinite(out.data32[1][i])) std::abort();
    }
    plugin->stop_processing(plugin);
    plugin->deactivate(plugin);
    plugin->destroy(plugin);
    return 0;
}
