// The VST 3 plug-in under a hostile host: any bytes as a state stream, any
// parameter changes (unknown ids, offsets before, inside and past the block,
// values that are no numbers, more queues than it reads), blocks of any
// length with the audio buffers there or not, and any typed text. Nothing
// may crash, and the sound stays finite.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "Vst3TestHost.h"

namespace {

Vst3Module& loadedModule() {
    static Vst3Module module(HALVERN_VST3_MODULE);
    if (!module.factory) std::abort();
    return module;
}

constexpr int kMaxFrames = 512;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    loadedModule();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    vst3::IComponent* component = loadedModule().createComponent();
    if (!component) std::abort();
    component->initialize(nullptr);
    auto* processor = Vst3Module::ask<vst3::IAudioProcessor>(component, vst3::kIAudioProcessorIid);
    auto* controller = Vst3Module::ask<vst3::IEditController>(component, vst3::kIEditControllerIid);
    if (!processor || !controller) std::abort();
    vst3::ProcessSetup setup{0, vst3::kSample32, kMaxFrames,
                             input.ConsumeBool() ? 44100.0 : input.ConsumeFloatingPoint<double>()};
    processor->setupProcessing(setup);
    component->setActive(1);
    processor->setProcessing(1);

    Vst3MemoryStream state;
    state.chunk = input.ConsumeIntegralInRange<int32_t>(1, 64);
    state.bytes = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 300));
    component->setState(&state);

    std::vector<vst3::char16> typed;
    for (int i = input.ConsumeIntegralInRange<int>(0, 40); i > 0; --i)
        typed.push_back(input.ConsumeIntegral<vst3::char16>());
    typed.push_back(0);
    vst3::ParamValue parsed = 0;
    controller->getParamValueByString(input.ConsumeIntegralInRange<vst3::ParamID>(0, 40), typed.data(), parsed);

    std::vector<float> inL(kMaxFrames), inR(kMaxFrames), outL(kMaxFrames), outR(kMaxFrames);
    for (int block = input.ConsumeIntegralInRange<int>(1, 4); block > 0 && input.remaining_bytes() > 0; --block) {
        const int frames = input.ConsumeIntegralInRange<int>(-2, kMaxFrames);
        for (int i = 0; i < kMaxFrames; ++i) inL[i] = inR[i] = 0.4f * std::sin(0.05f * static_cast<float>(i));
        ParameterChanges changes;
        for (int q = input.ConsumeIntegralInRange<int>(0, 70); q > 0; --q) {
            const vst3::ParamID id = input.ConsumeBool() ? input.ConsumeIntegralInRange<vst3::ParamID>(0, 30)
                                                         : input.ConsumeIntegral<vst3::ParamID>();
            const int32_t offset = input.ConsumeIntegralInRange<int32_t>(-10, kMaxFrames + 10);
            const double value = input.ConsumeBool() ? input.ConsumeProbability<double>()
                                                     : input.ConsumeFloatingPoint<double>();
            changes.add(id, offset, value);
        }
        float* inputs[2] = {inL.data(), inR.data()};
        float* outputs[2] = {outL.data(), outR.data()};
        vst3::AudioBusBuffers in{input.ConsumeIntegralInRange<int32_t>(0, 2), 0, inputs};
        vst3::AudioBusBuffers out{input.ConsumeIntegralInRange<int32_t>(0, 2), 0, outputs};
        ParameterChanges sent;
        vst3::ProcessData call{};
        call.symbolicSampleSize = input.ConsumeBool() ? vst3::kSample32 : vst3::kSample64;
        call.numSamples = frames;
        call.numInputs = call.numOutputs = input.ConsumeBool() ? 1 : 0;
        call.inputs = &in;
        call.outputs = &out;
        call.inputParameterChanges = &changes;
        call.outputParameterChanges = input.ConsumeBool() ? &sent : nullptr;
        processor->process(call);
        if (call.symbolicSampleSize == vst3::kSample32 && call.numOutputs == 1 && out.numChannels == 2)
            for (int i = 0; i < frames; ++i)
                if (!std::isfinite(outL[i]) || !std::isfinite(outR[i])) std::abort();
    }
    processor->setProcessing(0);
    component->setActive(0);
    component->terminate();
    component->release();
    return 0;
}
