// The VST 2 plug-in through its entry point, as a hostile host would drive
// it: parameters set to any value, calls of any opcode with any index,
// value and option, a pointer to a buffer of any bytes (or none), event
// lists of any count, types, sizes, times and bytes, then blocks of any
// samples. The editor is never opened (it needs a window); everything else
// is fair, and the output must stay finite.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "PluginLibrary.h"

namespace {

constexpr size_t kBufferBytes = 4096;
constexpr VstInt32 kMaxFrames = 1024;

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// A list of `count` entries, each null or a MIDI-sized record of any bytes;
// the records are as large as their type says, whatever byteSize claims.
struct HostileEventList {
    std::vector<VstMidiEvent> records;
    std::vector<uint8_t> storage;

    VstEvents* read(FuzzedDataProvider& input) {
        const VstInt32 count = input.ConsumeIntegralInRange<VstInt32>(-4, 64);
        const size_t entries = count > 0 ? static_cast<size_t>(count) : 0;
        records.assign(entries, VstMidiEvent{});
        storage.assign(sizeof(VstEvents) + entries * sizeof(VstEvent*), 0);
        auto* list = reinterpret_cast<VstEvents*>(storage.data());
        list->numEvents = count;
        VstEvent** slots = list->events;
        for (size_t i = 0; i < entries; ++i) {
            VstMidiEvent& e = records[i];
            e.type = input.ConsumeBool() ? kVstMidiType : input.ConsumeIntegral<VstInt32>();
            e.byteSize = input.ConsumeIntegral<VstInt32>();
            e.deltaFrames = input.ConsumeBool() ? input.ConsumeIntegralInRange<VstInt32>(-2, kMaxFrames + 2)
                                                : input.ConsumeIntegral<VstInt32>();
            e.flags = input.ConsumeIntegral<VstInt32>();
            for (char& byte : e.midiData) byte = static_cast<char>(input.ConsumeIntegral<uint8_t>());
            slots[i] = input.ConsumeIntegralInRange<int>(0, 9) == 0 ? nullptr : reinterpret_cast<VstEvent*>(&e);
        }
        return list;
    }
};

}  // namespace

// Loaded before fuzzing starts, so that the plug-in's code counts for coverage from the first input.
static PluginEntry entry = nullptr;
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static PluginLibrary library(HALVERN_PLUGIN_PATH);
    entry = library.entry("VSTPluginMain");
    if (!entry) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    AEffect* effect = entry(host);
    if (!effect) std::abort();

    std::vector<char> buffer(kBufferBytes);
    HostileEventList events;
    const int calls = input.ConsumeIntegralInRange<int>(0, 24);
    for (int c = 0; c < calls && input.remaining_bytes() > 0; ++c) {
        if (input.ConsumeIntegralInRange<int>(0, 3) == 0) {  // a parameter set to any value, NaN included
            const VstInt32 index = input.ConsumeIntegralInRange<VstInt32>(-1, 9);
            effect->setParameter(effect, index, input.ConsumeFloatingPoint<float>());
            effect->getParameter(effect, index);
            continue;
        }
        // Event lists often, as hosts hand one over before most blocks.
        const int kind = input.ConsumeIntegralInRange<int>(0, 3);
        const VstInt32 opcode = kind == 0   ? effProcessEvents
                                : kind == 1 ? input.ConsumeIntegral<VstInt32>()
                                            : input.ConsumeIntegralInRange<VstInt32>(0, 75);
        if (opcode == effClose || opcode == effEditOpen) continue;
        const VstInt32 index = input.ConsumeBool() ? input.ConsumeIntegralInRange<VstInt32>(-2, 10)
                                                   : input.ConsumeIntegral<VstInt32>();
        VstIntPtr value = input.ConsumeBool() ? input.ConsumeIntegralInRange<VstIntPtr>(-2, 70000)
                                              : input.ConsumeIntegral<VstIntPtr>();
        const float opt = input.ConsumeFloatingPoint<float>();
        const std::vector<char> bytes = input.ConsumeBytes<char>(input.ConsumeIntegralInRange<size_t>(0, 64));
        std::fill(buffer.begin(), buffer.end(), 0);
        std::copy(bytes.begin(), bytes.end(), buffer.begin());
        void* ptr = input.ConsumeBool() ? buffer.data() : nullptr;
        // Where the interface makes `value` a size or a pointer, a host's is true.
        if (opcode == effSetChunk) value = ptr ? static_cast<VstIntPtr>(bytes.size()) : 0;
        if (opcode == effSetSpeakerArrangement) value = reinterpret_cast<VstIntPtr>(ptr);
        if (opcode == effProcessEvents) ptr = input.ConsumeIntegralInRange<int>(0, 7) ? events.read(input) : nullptr;
        effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    const VstInt32 frames = input.ConsumeIntegralInRange<VstInt32>(-2, kMaxFrames);
    std::vector<float> inLeft(kMaxFrames), inRight(kMaxFrames), outLeft(kMaxFrames), outRight(kMaxFrames);
    for (VstInt32 i = 0; i < kMaxFrames && input.remaining_bytes() >= 2 * sizeof(float); ++i) {
        inLeft[i] = input.ConsumeFloatingPoint<float>();
        inRight[i] = input.ConsumeFloatingPoint<float>();
    }
    float* inputs[2] = {inLeft.data(), inRight.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    effect->processReplacing(effect, inputs, outputs, frames);
    effect->process(effect, inputs, outputs, frames);
    for (VstInt32 i = 0; i < frames; ++i)
        if (!std::isfinite(outLeft[i]) || !std::isfinite(outRight[i])) std::abort();
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    return 0;
}
