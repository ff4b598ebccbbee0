// The sound core as the extended formats run it, ns per stereo frame at
// 44.1 kHz in blocks of 512: the two drive modes at distortion 100, each
// with its alias floor for a 5 and a 15 kHz tone (the counters "alias_dB"
// and "alias15k_dB", measured once per run as the tests measure them); and
// the rotors turning fast against braked to a standstill.
#include <benchmark/benchmark.h>

#include "AliasFloor.h"
#include "BenchBlock.h"
#include "SpeakerCore.h"

namespace {

void runDrive(benchmark::State& state, DriveMode mode) {
    SpeakerCore core(ChangeStyle::Smooth);
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
    SpeakerCore high;
    high.setSampleRate(44100.0f);
    high.setParameter(kDrive, mode);
    state.counters["alias15k_dB"] = aliasfloor::measure(high, 44100.0f, 15000.0);
}

void runRotors(benchmark::State& state, bool braked) {
    SpeakerCore core(ChangeStyle::Smooth);
    core.setSampleRate(44100.0f);
    core.setParameter(kSpeedToggle, 1.0f);
    core.setParameter(kBrake, braked ? kBrakeOn : kBrakeOff);
    Buffers b(0.5f);
    for (int settle = 0; settle < 1000; ++settle) {
        core.beginBlock();
        core.processStretch(b.inputs[0], b.inputs[1], b.outputs[0], b.outputs[1], kBlock);
    }
    for (auto _ : state) {
        core.beginBlock();
        core.processStretch(b.inputs[0], b.inputs[1], b.outputs[0], b.outputs[1], kBlock);
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}

void BM_DriveExact(benchmark::State& state) { runDrive(state, kDriveExact); }
void BM_DriveClean(benchmark::State& state) { runDrive(state, kDriveClean); }
void BM_RotorsTurning(benchmark::State& state) { runRotors(state, false); }
void BM_RotorsBraked(benchmark::State& state) { runRotors(state, true); }

}  // namespace

BENCHMARK(BM_DriveExact);
BENCHMARK(BM_DriveClean);
BENCHMARK(BM_RotorsTurning);
BENCHMARK(BM_RotorsBraked);
BENCHMARK_MAIN();
