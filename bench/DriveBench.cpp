// The two drive modes: ns per stereo frame of the sound core at 44.1 kHz in
// blocks of 512 at distortion 100, and each mode's alias floor (the counter
// "alias_dB", measured once per run as the engine's tests measure it).
#include <benchmark/benchmark.h>

#include "AliasFloor.h"
#include "BenchBlock.h"
#include "SpeakerCore.h"

namespace {

void runDrive(benchmark::State& state, DriveMode mode) {
    SpeakerCore core;
    core.setSampleRate(44100.0f);
    core.setParameter(kDistortion, 100.0f);
    core.setParameter(kDrive, mode);
    Buffers b(0.5f);
    for (auto _ : state) {
        core.beginBlock();
        core.processStretch(b.inputs[0], b.inputs[1], b.outputs[0], b.outputs[1], kBlock);
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
    SpeakerCore measured;
    measured.setSampleRate(44100.0f);
    measured.setParameter(kDrive, mode);
    state.counters["alias_dB"] = aliasfloor::measure(measured, 44100.0f);
}

void BM_DriveExact(benchmark::State& state) { runDrive(state, kDriveExact); }
void BM_DriveClean(benchmark::State& state) { runDrive(state, kDriveClean); }

}  // namespace

BENCHMARK(BM_DriveExact);
BENCHMARK(BM_DriveClean);
BENCHMARK_MAIN();
