// The LV2 plug-in through its descriptor, as a host with bad data drives
// it: control ports of any value (NaN and infinities included), MIDI atom
// sequences whose events have any times (past the block, negative, out of
// order), types and sizes (claiming more than the sequence holds), in
// blocks of any length. The sequence is allocated at exactly the size its
// header claims, so a read past it is caught; the output must stay finite.
#include <fuzzer/FuzzedDataProvider.h>
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Lv2Ports.h"
#include "PluginLibrary.h"

namespace {

constexpr uint32_t kMaxFrames = 512;
constexpr LV2_URID kMidiEvent = 1, kOtherType = 2;

LV2_URID mapUri(LV2_URID_Map_Handle, const char* uri) {
    return std::strcmp(uri, LV2_MIDI__MidiEvent) == 0 ? kMidiEvent : kOtherType;
}

// A sequence of hostile events, laid out as a host lays out a sequence.
std::vector<uint8_t> hostileSequence(FuzzedDataProvider& input) {
    std::vector<uint8_t> bytes(sizeof(LV2_Atom_Sequence));
    const size_t count = input.ConsumeIntegralInRange<size_t>(0, 16);
    for (size_t i = 0; i < count && input.remaining_bytes() > 0; ++i) {
        LV2_Atom_Event event{};
        event.time.frames = input.ConsumeBool() ? input.ConsumeIntegralInRange<int64_t>(-2, kMaxFrames + 2)
                                                : input.ConsumeIntegral<int64_t>();
        event.body.type = input.ConsumeBool() ? kMidiEvent : input.ConsumeIntegralInRange<LV2_URID>(0, 3);
        const std::vector<uint8_t> body = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 8));
        // The size claimed: usually the body's, sometimes anything.
        event.body.size = input.ConsumeBool() ? static_cast<uint32_t>(body.size()) : input.ConsumeIntegral<uint32_t>();
        const auto* header = reinterpret_cast<const uint8_t*>(&event);
        bytes.insert(bytes.end(), header, header + sizeof event);
        bytes.insert(bytes.end(), body.begin(), body.end());
        while (bytes.size() % 8 != 0 && input.ConsumeBool()) bytes.push_back(0);  // padding, or none
    }
    // Sometimes cut anywhere: the last event may lie partly past the end.
    if (input.ConsumeBool())
        bytes.resize(input.ConsumeIntegralInRange<size_t>(sizeof(LV2_Atom_Sequence), bytes.size()));
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(bytes.data());
    sequence->atom.size = static_cast<uint32_t>(bytes.size() - sizeof(LV2_Atom));
    sequence->atom.type = 0;
    sequence->body.unit = 0;
    sequence->body.pad = 0;
    return bytes;
}

}  // namespace

// Loaded before fuzzing starts, so that the plug-in's code counts for coverage from the first input.
static const LV2_Descriptor* descriptor = nullptr;
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static PluginLibrary library(std::string(HALVERN_LV2_BUNDLE) + "/halvern.so");
    auto* descriptorOf = reinterpret_cast<LV2_Descriptor_Function>(library.symbol("lv2_descriptor"));
    descriptor = descriptorOf ? descriptorOf(0) : nullptr;
    if (!descriptor) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);

    LV2_URID_Map map{nullptr, mapUri};
    LV2_Feature mapFeature{LV2_URID__map, &map};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    const double rate = input.ConsumeBool() ? 44100.0 : input.ConsumeFloatingPoint<double>();
    LV2_Handle plugin = descriptor->instantiate(descriptor, rate, HALVERN_LV2_BUNDLE, features);
    if (!plugin) return 0;  // a rate refused

    std::vector<float> inLeft(kMaxFrames), inRight(kMaxFrames), outLeft(kMaxFrames), outRight(kMaxFrames);
    float controls[kNumCabinetParameters] = {};
    float speedState = 0, hornPosition = 0, drumPosition = 0, readings[kNumCabinetReadings] = {};
    descriptor->connect_port(plugin, kPortInLeft, inLeft.data());
    descriptor->connect_port(plugin, kPortInRight, inRight.data());
    descriptor->connect_port(plugin, kPortOutLeft, outLeft.data());
    descriptor->connect_port(plugin, kPortOutRight, outRight.data());
    for (int i = 0; i < kNumCabinetParameters; ++i) descriptor->connect_port(plugin, lv2ports::portOf(i), &controls[i]);
    for (int i = 0; i < kNumCabinetReadings; ++i) descriptor->connect_port(plugin, kPortFirstReading + i, &readings[i]);
    descriptor->connect_port(plugin, kPortSpeedState, &speedState);
    descriptor->connect_port(plugin, kPortHornPosition, &hornPosition);
    descriptor->connect_port(plugin, kPortDrumPosition, &drumPosition);
    descriptor->activate(plugin);

    const int blocks = input.ConsumeIntegralInRange<int>(1, 4);
    for (int b = 0; b < blocks; ++b) {
        for (float& control : controls)
            control = input.ConsumeBool() ? input.ConsumeFloatingPointInRange<float>(-200.0f, 200.0f)
                                          : input.ConsumeFloatingPoint<float>();
        const uint32_t frames = input.ConsumeIntegralInRange<uint32_t>(0, kMaxFrames);
        for (uint32_t i = 0; i < frames; ++i) inLeft[i] = inRight[i] = 0.4f * std::sin(0.05f * static_cast<float>(i));
        std::vector<uint8_t> sequence = hostileSequence(input);
        descriptor->connect_port(plugin, kPortMidiIn, sequence.data());
        descriptor->run(plugin, frames);
        for (uint32_t i = 0; i < frames; ++i)
            if (!std::isfinite(outLeft[i]) || !std::isfinite(outRight[i])) std::abort();
        if (!std::isfinite(speedState) || !std::isfinite(hornPosition) || !std::isfinite(drumPosition)) std::abort();
        for (float reading : readings)
            if (!std::isfinite(reading)) std::abort();
    }
    if (descriptor->deactivate) descriptor->deactivate(plugin);
    descriptor->cleanup(plugin);
    return 0;
}
