// Speed of the signal path: ns per stereo frame of processReplacing at
// 44.1 kHz in blocks of 512, in the situations a host meets, against the
// straightforward per-sample version. Ends with the largest difference
// between the two over a long full-scale run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "BenchBlock.h"
#include "ReferenceSpeaker.h"
#include "SpeakerDescriptor.h"

namespace {

std::unique_ptr<SpeakerEngine> makeEngine() {
    auto engine = std::make_unique<SpeakerEngine>(nullptr);
    engine->setSampleRate(static_cast<float>(kRate));
    engine->resume();
    return engine;
}

void reportFrames(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * kBlock);
}

void BM_Defaults(benchmark::State& state) {
    auto engine = makeEngine();
    Buffers b(1.0f);
    for (auto _ : state) engine->processReplacing(b.inputs, b.outputs, kBlock);
    reportFrames(state);
}

// The same on the build of the path for plain x86-64 (SSE2) processors.
void BM_DefaultsPortable(benchmark::State& state) {
    auto engine = makeEngine();
    engine->useSegmentRunner(runSegmentPortable);
    Buffers b(1.0f);
    for (auto _ : state) engine->processReplacing(b.inputs, b.outputs, kBlock);
    reportFrames(state);
}

void BM_Fast(benchmark::State& state) {
    auto engine = makeEngine();
    Buffers b(1.0f);
    engine->setParameter(kSpeedToggle, 1.0f);
    for (int i = 0; i < 1000; ++i) engine->processReplacing(b.inputs, b.outputs, kBlock);
    for (auto _ : state) engine->processReplacing(b.inputs, b.outputs, kBlock);
    reportFrames(state);
}

// The speed switches every 100 blocks (1.2 s), so the rotors keep ramping.
void BM_Ramp(benchmark::State& state) {
    auto engine = makeEngine();
    Buffers b(1.0f);
    int block = 0;
    for (auto _ : state) {
        if (++block % 100 == 0) engine->setParameter(kSpeedToggle, (block / 100) % 2 ? 1.0f : 0.0f);
        engine->processReplacing(b.inputs, b.outputs, kBlock);
    }
    reportFrames(state);
}

// 64 control changes of the speed controller a block, alternating fast and
// slow: 65 segments and 64 automation reports each block.
void BM_Midi64(benchmark::State& state) {
    auto engine = makeEngine();
    engine->setParameter(kSpeedKey, kKeyCtrl64 / 5.0f);
    Buffers b(1.0f);
    std::vector<VstMidiEvent> events(64);
    std::vector<char> storage(sizeof(VstEvents) + 64 * sizeof(VstEvent*));
    auto* list = reinterpret_cast<VstEvents*>(storage.data());
    list->numEvents = 64;
    VstEvent** entries = list->events;  // runs past the two declared entries
    for (int i = 0; i < 64; ++i) {
        events[i] = VstMidiEvent{};
        events[i].type = kVstMidiType;
        events[i].deltaFrames = i * (kBlock / 64);
        events[i].midiData[0] = static_cast<char>(0xB0);
        events[i].midiData[1] = 64;
        events[i].midiData[2] = static_cast<char>(i % 2 ? 0 : 127);
        entries[i] = reinterpret_cast<VstEvent*>(&events[i]);
    }
    for (auto _ : state) {
        engine->processEvents(list);
        engine->processReplacing(b.inputs, b.outputs, kBlock);
    }
    reportFrames(state);
}

// Silence after loud input: the filter and delay lines decay through the
// denormal range. Loud blocks are fed untimed every 40 blocks.
void BM_SilentTail(benchmark::State& state) {
    auto engine = makeEngine();
    Buffers loud(1.0f), silent(0.0f);
    int block = 0;
    for (auto _ : state) {
        if (block++ % 40 == 0) {
            state.PauseTiming();
            for (int i = 0; i < 10; ++i) engine->processReplacing(loud.inputs, loud.outputs, kBlock);
            state.ResumeTiming();
        }
        engine->processReplacing(silent.inputs, silent.outputs, kBlock);
    }
    reportFrames(state);
}

void BM_StraightforwardBaseline(benchmark::State& state) {
    auto engine = makeEngine();
    ReferenceSpeaker reference(*engine);
    Buffers b(1.0f);
    for (auto _ : state) reference.processReference(b.in.data(), b.in.data(), b.left.data(), b.right.data(), kBlock);
    reportFrames(state);
}

BENCHMARK(BM_Defaults);
BENCHMARK(BM_DefaultsPortable);
BENCHMARK(BM_Fast);
BENCHMARK(BM_Ramp);
BENCHMARK(BM_Midi64);
BENCHMARK(BM_SilentTail);
BENCHMARK(BM_StraightforwardBaseline);

// Keeps each run's time per frame for the summary.
class FrameReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // Plain runs, or the median where repetitions are aggregated.
            if (!run.aggregate_name.empty() && run.aggregate_name != "median") continue;
            const auto items = run.counters.find("items_per_second");
            if (items != run.counters.end() && items->second.value > 0)
                nsPerFrame[run.run_name.function_name] = 1e9 / items->second.value;
        }
    }
    std::map<std::string, double> nsPerFrame;
};

// Largest output difference between the fast path and the baseline over a
// 60-second full-scale run with speed switches.
double largestDifference() {
    auto fast = makeEngine(), referenceEngine = makeEngine();
    ReferenceSpeaker reference(*referenceEngine);
    Buffers b(1.0f);
    std::vector<float> rl(kBlock), rr(kBlock);
    double worst = 0.0;
    const int blocks = static_cast<int>(60 * kRate / kBlock);
    for (int k = 0; k < blocks; ++k) {
        if (k % 300 == 150) {
            const float toggle = (k / 300) % 2 ? 0.0f : 1.0f;
            fast->setParameter(kSpeedToggle, toggle);
            referenceEngine->setParameter(kSpeedToggle, toggle);
        }
        fast->processReplacing(b.inputs, b.outputs, kBlock);
        reference.processReference(b.in.data(), b.in.data(), rl.data(), rr.data(), kBlock);
        for (int i = 0; i < kBlock; ++i)
            worst = std::max({worst, std::fabs(double(b.left[i]) - rl[i]), std::fabs(double(b.right[i]) - rr[i])});
    }
    return worst;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    FrameReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-28s %10s\n", "case", "ns/frame");
    for (const auto& [name, ns] : reporter.nsPerFrame) std::printf("%-28s %10.2f\n", name.c_str(), ns);
    const auto base = reporter.nsPerFrame.find("BM_StraightforwardBaseline");
    const auto defaults = reporter.nsPerFrame.find("BM_Defaults");
    if (base != reporter.nsPerFrame.end() && defaults != reporter.nsPerFrame.end())
        std::printf("baseline / fast path at defaults: %.2f\n", base->second / defaults->second);
    std::printf("largest difference from the baseline over 60 s at full scale: %.3g\n", largestDifference());
    benchmark::Shutdown();
    return 0;
}
