// What each format's adapter costs over the plug-in instance alone (and
// the instance over the sound core): ns per stereo frame at 44.1 kHz in
// blocks of 512, the plug-ins built and loaded as hosts load them; plain
// blocks, and blocks with 16 parameter changes: as timed events the instance
// cuts the block at (the CLAP plug-in, and the instance given the same
// events), or as 16 calls of 32 frames with the value set before each (the
// VST 2 and LV2 hosts, the core's caller, and the instance driven alike).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <dlfcn.h>
#include <lv2/core/lv2.h>

#include <cmath>
#include <vector>

#include "BenchBlock.h"
#include "ClapTestHost.h"
#include "Lv2Ports.h"
#include "PluginInstance.h"
#include "SpeakerCore.h"
#include "SpeakerDescriptor.h"

namespace {

constexpr int kChanges = 16;

// The distortion each change of a block sets, in display units.
double changeValue(int change) { return 20.0 + 3.0 * change; }

VstIntPtr vstHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

void runCore(benchmark::State& state, bool changes) {
    SpeakerCore core;
    core.setSampleRate(44100.0f);
    Buffers b(0.5f);
    const int piece = changes ? kBlock / kChanges : kBlock;
    for (auto _ : state)
        for (int c = 0; c < kBlock / piece; ++c) {
            if (changes) core.setParameter(kDistortion, static_cast<float>(changeValue(c)));
            core.beginBlock();
            core.processStretch(b.inputs[0] + c * piece, b.inputs[1] + c * piece, b.outputs[0] + c * piece,
                                b.outputs[1] + c * piece, piece);
        }
    state.SetItemsProcessed(state.iterations() * kBlock);
}

// The block's changes as the instance's timed events.
class Changes final : public EventSource {
public:
    bool next(TimedEvent& event) override {
        if (given == kChanges) return false;
        event = TimedEvent{};
        event.frame = static_cast<uint32_t>(given * kBlock / kChanges);
        event.kind = EventKind::Value;
        event.index = kDistortion;
        event.normalized = kCabinetParameters[kDistortion].toNormalized(static_cast<float>(changeValue(given)));
        ++given;
        return true;
    }
    int given = 0;
};

enum class Driven { Plain, TimedEvents, CutByTheHost };

void runInstance(benchmark::State& state, Driven driven) {
    PluginInstance instance{ChangeStyle::Smooth};
    instance.setSampleRate(44100.0);
    instance.activate();
    Buffers b(0.5f);
    const ParameterInfo& row = kCabinetParameters[kDistortion];
    for (auto _ : state) {
        if (driven == Driven::CutByTheHost) {
            constexpr int kPiece = kBlock / kChanges;
            for (int c = 0; c < kChanges; ++c) {
                instance.setNormalized(kDistortion, row.toNormalized(static_cast<float>(changeValue(c))));
                instance.process({{b.inputs[0] + c * kPiece, b.inputs[1] + c * kPiece},
                                  {b.outputs[0] + c * kPiece, b.outputs[1] + c * kPiece},
                                  kPiece},
                                 nullptr, nullptr);
            }
            continue;
        }
        Changes changes;
        instance.process({{b.inputs[0], b.inputs[1]}, {b.outputs[0], b.outputs[1]}, kBlock},
                         driven == Driven::TimedEvents ? &changes : nullptr, nullptr);
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}

// The LV2 plug-in loaded as a host loads it, its eight controls at their
// defaults and connected, activated; unloaded with this object.
struct Lv2Plugin {
    Lv2Plugin() {
        library = dlopen(HALVERN_LV2_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
        auto entry = library ? reinterpret_cast<LV2_Descriptor_Function>(dlsym(library, "lv2_descriptor")) : nullptr;
        descriptor = entry ? entry(0) : nullptr;
        instance = descriptor ? descriptor->instantiate(descriptor, 44100.0, "", nullptr) : nullptr;
        if (!instance) return;
        for (int i = 0; i < kNumSpeakerParameters; ++i) {
            controls[i] = kCabinetParameters[i].defaultValue;
            descriptor->connect_port(instance, kPortFirstControl + i, &controls[i]);
        }
        descriptor->activate(instance);
    }
    ~Lv2Plugin() {
        if (instance) descriptor->cleanup(instance);
        if (library) dlclose(library);
    }
    void run(const float* inLeft, const float* inRight, float* outLeft, float* outRight, uint32_t frames) {
        descriptor->connect_port(instance, kPortInLeft, const_cast<float*>(inLeft));
        descriptor->connect_port(instance, kPortInRight, const_cast<float*>(inRight));
        descriptor->connect_port(instance, kPortOutLeft, outLeft);
        descriptor->connect_port(instance, kPortOutRight, outRight);
        descriptor->run(instance, frames);
    }
    void* library = nullptr;
    const LV2_Descriptor* descriptor = nullptr;
    LV2_Handle instance = nullptr;
    float controls[kNumSpeakerParameters];
};

void runLv2(benchmark::State& state, bool changes) {
    Lv2Plugin plugin;
    if (!plugin.instance) return state.SkipWithError("the LV2 plug-in not loaded");
    Buffers b(0.5f);
    const int piece = changes ? kBlock / kChanges : kBlock;
    for (auto _ : state)
        for (int c = 0; c < kBlock / piece; ++c) {
            if (changes) plugin.controls[kDistortion] = static_cast<float>(changeValue(c));
            plugin.run(b.inputs[0] + c * piece, b.inputs[1] + c * piece, b.outputs[0] + c * piece,
                       b.outputs[1] + c * piece, static_cast<uint32_t>(piece));
        }
    state.SetItemsProcessed(state.iterations() * kBlock);
}

// A host timing only run() over a 60 s stereo file in blocks of 256, the
// rotors fast: the figure to set beside other plug-ins measured the same way.
void BM_Lv2SixtySecondsFast(benchmark::State& state) {
    Lv2Plugin plugin;
    if (!plugin.instance) return state.SkipWithError("the LV2 plug-in not loaded");
    constexpr uint32_t kFileFrames = 60 * 44100, kPiece = 256;
    std::vector<float> inL(kFileFrames), inR(kFileFrames), outL(kFileFrames), outR(kFileFrames);
    for (uint32_t i = 0; i < kFileFrames; ++i) {
        inL[i] = static_cast<float>(0.5 * std::sin(2 * kPi * 220 * i / kRate) + 0.2 * std::sin(2 * kPi * 3300 * i / kRate));
        inR[i] = static_cast<float>(0.5 * std::sin(2 * kPi * 330 * i / kRate));
    }
    plugin.controls[kSpeedToggle] = 1.0f;
    for (auto _ : state)
        for (uint32_t at = 0; at < kFileFrames; at += kPiece)
            plugin.run(&inL[at], &inR[at], &outL[at], &outR[at], std::min(kPiece, kFileFrames - at));
    state.SetItemsProcessed(state.iterations() * kFileFrames);
}

void runVst2(benchmark::State& state, bool changes) {
    PluginLibrary library(HALVERN_PLUGIN_PATH);
    AEffect* effect = library.loaded() ? library.entry("VSTPluginMain")(vstHost) : nullptr;
    if (!effect) return state.SkipWithError("Halvern VST 2 library not loaded");
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    Buffers b(0.5f);
    const ParameterInfo& row = kCabinetParameters[kDistortion];
    const int piece = kBlock / kChanges;
    for (auto _ : state) {
        if (!changes) {
            effect->processReplacing(effect, b.inputs, b.outputs, kBlock);
            continue;
        }
        for (int c = 0; c < kChanges; ++c) {
            effect->setParameter(effect, kDistortion, row.toNormalized(static_cast<float>(changeValue(c))));
            float* in[2] = {b.inputs[0] + c * piece, b.inputs[1] + c * piece};
            float* out[2] = {b.outputs[0] + c * piece, b.outputs[1] + c * piece};
            effect->processReplacing(effect, in, out, piece);
        }
    }
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    state.SetItemsProcessed(state.iterations() * kBlock);
}

void runClap(benchmark::State& state, bool changes) {
    ClapLibrary library(HALVERN_CLAP_PATH);
    ClapTestHost host;
    const clap_plugin_t* plugin = host.create(library);
    if (!plugin) return state.SkipWithError("Halvern.clap not loaded");
    plugin->activate(plugin, 44100.0, 1, kBlock);
    plugin->start_processing(plugin);
    Buffers b(0.5f);
    clap_audio_buffer_t in{b.inputs, nullptr, 2, 0, 0}, out{b.outputs, nullptr, 2, 0, 0};
    EventList events, sent;
    if (changes)
        for (int c = 0; c < kChanges; ++c) events.value(static_cast<uint32_t>(c * kBlock / kChanges), kDistortion, changeValue(c));
    const clap_process_t process = processCall(kBlock, &in, &out, events.input(), sent.output());
    for (auto _ : state) plugin->process(plugin, &process);
    plugin->stop_processing(plugin);
    plugin->deactivate(plugin);
    plugin->destroy(plugin);
    state.SetItemsProcessed(state.iterations() * kBlock);
}

void BM_CorePlain(benchmark::State& state) { runCore(state, false); }
void BM_Vst2Plain(benchmark::State& state) { runVst2(state, false); }
void BM_ClapPlain(benchmark::State& state) { runClap(state, false); }
void BM_InstancePlain(benchmark::State& state) { runInstance(state, Driven::Plain); }
void BM_InstanceSixteenEvents(benchmark::State& state) { runInstance(state, Driven::TimedEvents); }
void BM_InstanceSixteenCalls(benchmark::State& state) { runInstance(state, Driven::CutByTheHost); }
void BM_Lv2Plain(benchmark::State& state) { runLv2(state, false); }
void BM_CoreSixteenChanges(benchmark::State& state) { runCore(state, true); }
void BM_Vst2SixteenChanges(benchmark::State& state) { runVst2(state, true); }
void BM_ClapSixteenChanges(benchmark::State& state) { runClap(state, true); }
void BM_Lv2SixteenChanges(benchmark::State& state) { runLv2(state, true); }

}  // namespace

BENCHMARK(BM_CorePlain);
BENCHMARK(BM_InstancePlain);
BENCHMARK(BM_InstanceSixteenEvents);
BENCHMARK(BM_InstanceSixteenCalls);
BENCHMARK(BM_Vst2Plain);
BENCHMARK(BM_ClapPlain);
BENCHMARK(BM_Lv2Plain);
BENCHMARK(BM_CoreSixteenChanges);
BENCHMARK(BM_Vst2SixteenChanges);
BENCHMARK(BM_ClapSixteenChanges);
BENCHMARK(BM_Lv2SixteenChanges);
BENCHMARK(BM_Lv2SixtySecondsFast)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
