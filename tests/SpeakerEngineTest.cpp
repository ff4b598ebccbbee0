// The processing frame: blocks cut at MIDI speed switches, the automation
// report, replace versus accumulate, resume, and bad input from a host.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "EngineProbe.h"
#include "RecordingHost.h"
#include "SpeakerCore.h"
#include "SpeakerDescriptor.h"

namespace {

std::vector<float> testSignal(int frames, float level = 0.5f) {
    std::vector<float> signal(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i)
        signal[i] = level * std::sin(i * 0.031f) + 0.3f * level * std::sin(i * 0.47f);
    return signal;
}

// Speedkey position k as the normalised value a host sends.
float speedKey(int position) { return position / 5.0f; }

struct BlockResult {
    std::vector<float> left, right;
};

BlockResult runWithEvents(EngineProbe& engine, MidiList& midi, const std::vector<float>& input) {
    BlockResult result;
    engine.processEvents(midi.get());
    engine.run(input, result.left, result.right);
    return result;
}

}  // namespace

TEST(ProcessingFrame, SpeedEventCutsTheBlockAtItsFrame) {
    RecordingHost host;
    EngineProbe withEvent(RecordingHost::callback), switchedByHand(nullptr);
    withEvent.setParameter(kSpeedKey, speedKey(kKeyCtrl64));
    switchedByHand.setParameter(kSpeedKey, speedKey(kKeyCtrl64));
    const std::vector<float> input = testSignal(256);

    MidiList midi;
    midi.controlChange(100, 64, 127);
    const BlockResult cut = runWithEvents(withEvent, midi, input);

    // The same block processed as 100 slow samples, a switch, 156 fast ones.
    std::vector<float> first(input.begin(), input.begin() + 100), second(input.begin() + 100, input.end());
    BlockResult a, b;
    switchedByHand.run(first, a.left, a.right);
    switchedByHand.setParameter(kSpeedToggle, 1.0f);
    switchedByHand.run(second, b.left, b.right);
    a.left.insert(a.left.end(), b.left.begin(), b.left.end());
    a.right.insert(a.right.end(), b.right.begin(), b.right.end());
    EXPECT_EQ(cut.left, a.left);
    EXPECT_EQ(cut.right, a.right);
    EXPECT_EQ(withEvent.getParameter(kSpeedToggle), 1.0f);

    const auto reports = host.callsOf(audioMasterAutomate);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].index, kSpeedToggle);
    EXPECT_EQ(reports[0].opt, 1.0f);
}

TEST(ProcessingFrame, EventsOnOneFrameActInOrderAndOnlyChangesAreReported) {
    RecordingHost host;
    EngineProbe engine(RecordingHost::callback);
    engine.setParameter(kSpeedKey, speedKey(kKeyCtrl64));
    MidiList midi;
    midi.controlChange(100, 64, 0);    // agrees with slow: nothing happens
    midi.controlChange(100, 64, 127);  // switches to fast
    midi.controlChange(90, 64, 64);    // out of order, already fast: nothing
    runWithEvents(engine, midi, testSignal(256));
    EXPECT_EQ(engine.getParameter(kSpeedToggle), 1.0f);
    EXPECT_EQ(host.callsOf(audioMasterAutomate).size(), 1u);

    MidiList back;
    back.controlChange(0, 64, 63);
    runWithEvents(engine, back, testSignal(64));
    EXPECT_EQ(engine.getParameter(kSpeedToggle), 0.0f);
    EXPECT_EQ(host.callsOf(audioMasterAutomate).size(), 2u);
}

// A switch timed before the block acts at its start, and the switches after
// it in the same list are still heard.
TEST(ProcessingFrame, AnEventTimedBeforeTheBlockActsAtItsStart) {
    RecordingHost host;
    EngineProbe engine(RecordingHost::callback), reference(nullptr);
    engine.setParameter(kSpeedKey, speedKey(kKeyCtrl64));
    reference.setParameter(kSpeedKey, speedKey(kKeyCtrl64));
    MidiList midi;
    midi.controlChange(-3, 64, 127);
    midi.controlChange(100, 64, 0);
    const std::vector<float> input = testSignal(256);
    const BlockResult heard = runWithEvents(engine, midi, input);

    MidiList inBlock;
    inBlock.controlChange(0, 64, 127);
    inBlock.controlChange(100, 64, 0);
    EXPECT_EQ(heard.left, runWithEvents(reference, inBlock, input).left);
    EXPECT_EQ(engine.getParameter(kSpeedToggle), 0.0f);
    EXPECT_EQ(host.callsOf(audioMasterAutomate).size(), 2u);
}

TEST(ProcessingFrame, EventAtFrameZeroMakesTheWholeBlockRampUp) {
    EngineProbe engine(nullptr);
    engine.setParameter(kSpeedKey, speedKey(kKeyCtrl1));
    engine.runSilence(16);  // speeds at their slow limits
    const float before = engine.inspect().signal.hornSpeed;
    MidiList midi;
    midi.controlChange(0, 1, 127, 15);  // channel 16
    runWithEvents(engine, midi, testSignal(64));
    EXPECT_GT(engine.inspect().coefficients.rotors.hornStep, 0.0f);
    EXPECT_NEAR(engine.inspect().signal.hornSpeed, before + 64 * engine.inspect().coefficients.rotors.hornStep, 1e-9);
}

TEST(ProcessingFrame, EventBeyondTheBlockTakesEffectAfterIt) {
    EngineProbe engine(nullptr), reference(nullptr);
    engine.setParameter(kSpeedKey, speedKey(kKeyCtrl66));
    reference.setParameter(kSpeedKey, speedKey(kKeyCtrl66));
    MidiList midi;
    midi.controlChange(5000, 66, 100);
    const BlockResult late = runWithEvents(engine, midi, testSignal(128));
    BlockResult plain;
    reference.run(testSignal(128), plain.left, plain.right);
    EXPECT_EQ(late.left, plain.left);
    EXPECT_EQ(engine.getParameter(kSpeedToggle), 1.0f);
}

TEST(ProcessingFrame, OtherEventsNeitherCutNorSwitch) {
    EngineProbe engine(nullptr), reference(nullptr);
    for (EngineProbe* e : {&engine, &reference}) e->setParameter(kSpeedKey, speedKey(kKeyCtrl67));
    MidiList midi;
    midi.controlChange(10, 64, 127);  // another controller
    midi.note(20, 60);
    midi.controlChange(30, 67, 10);   // the right controller, but agrees with slow
    const BlockResult withEvents = runWithEvents(engine, midi, testSignal(200));
    BlockResult plain;
    reference.run(testSignal(200), plain.left, plain.right);
    EXPECT_EQ(withEvents.left, plain.left);
    EXPECT_EQ(withEvents.right, plain.right);
    EXPECT_EQ(engine.getParameter(kSpeedToggle), 0.0f);
}

TEST(ProcessingFrame, KeyboardSpeedKeysIgnoreEveryController) {
    for (int key : {kKeySpace, kKeyTab}) {
        EngineProbe engine(nullptr);
        engine.setParameter(kSpeedKey, speedKey(key));
        EXPECT_EQ(engine.inspect().coefficients.speedController, -1);
        MidiList midi;
        for (int controller : {1, 64, 66, 67, 255}) midi.controlChange(0, controller, 127);
        runWithEvents(engine, midi, testSignal(32));
        EXPECT_EQ(engine.getParameter(kSpeedToggle), 0.0f);
    }
}

// Events serve the next processing call even when it processes nothing
// (no frames, or no buffers), and are gone after it.
TEST(ProcessingFrame, EventsServeOnlyTheNextProcessingCall) {
    EngineProbe engine(nullptr);
    engine.setParameter(kSpeedKey, speedKey(kKeyCtrl64));
    MidiList midi;
    midi.controlChange(0, 64, 127);
    float* none[2] = {nullptr, nullptr};
    engine.processEvents(midi.get());
    engine.processReplacing(none, none, 0);
    engine.runSilence(32);
    engine.processEvents(midi.get());
    engine.processReplacing(none, none, 64);
    engine.runSilence(32);
    EXPECT_EQ(engine.getParameter(kSpeedToggle), 0.0f);  // neither list reached a later block
}

// Also across a long block whose speed switches fall on either side of
// where the sound is added piece by piece, one of them timed out of order.
TEST(ProcessingFrame, AccumulatingAddsToTheOutputs) {
    constexpr int kFrames = 3000;
    EngineProbe replacing(nullptr), accumulating(nullptr);
    MidiList midi;
    for (auto [frame, value] : {std::pair{700, 127}, {1023, 0}, {1024, 127}, {900, 0}, {2500, 127}, {2999, 0}})
        midi.controlChange(frame, 64, value);
    for (EngineProbe* engine : {&replacing, &accumulating}) {
        engine->setParameter(kSpeedKey, speedKey(kKeyCtrl64));
        engine->processEvents(midi.get());
    }
    const std::vector<float> input = testSignal(kFrames);
    BlockResult replaced;
    replacing.run(input, replaced.left, replaced.right);

    std::vector<float> in(input), left(kFrames, 0.25f), right(kFrames, -1.0f);
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {left.data(), right.data()};
    accumulating.process(inputs, outputs, kFrames);
    for (size_t i = 0; i < kFrames; ++i) {
        ASSERT_FLOAT_EQ(left[i], 0.25f + replaced.left[i]) << i;
        ASSERT_FLOAT_EQ(right[i], -1.0f + replaced.right[i]) << i;
    }
    EXPECT_EQ(accumulating.getParameter(kSpeedToggle), replacing.getParameter(kSpeedToggle));
}

TEST(ProcessingFrame, InputsAreSummedToMonoAtHalfLevel) {
    EngineProbe leftOnly(nullptr), both(nullptr);
    const std::vector<float> signal = testSignal(400), half = testSignal(400, 0.25f);
    std::vector<float> silence(400, 0.0f), in1(signal), l1(400), r1(400), l2(400), r2(400);
    std::vector<float> inHalf(half);
    float* inputsA[2] = {in1.data(), silence.data()};
    float* outputsA[2] = {l1.data(), r1.data()};
    leftOnly.processReplacing(inputsA, outputsA, 400);
    float* inputsB[2] = {inHalf.data(), inHalf.data()};
    float* outputsB[2] = {l2.data(), r2.data()};
    both.processReplacing(inputsB, outputsB, 400);
    EXPECT_EQ(l1, l2);
    EXPECT_EQ(r1, r2);
}

TEST(ProcessingFrame, InPlaceProcessingMatchesSeparateBuffers) {
    EngineProbe separate(nullptr), inPlace(nullptr);
    const std::vector<float> input = testSignal(1000);
    BlockResult expected;
    separate.run(input, expected.left, expected.right);
    std::vector<float> left(input), right(input);
    float* channels[2] = {left.data(), right.data()};
    inPlace.processReplacing(channels, channels, 1000);
    EXPECT_EQ(left, expected.left);
    EXPECT_EQ(right, expected.right);
}

TEST(ProcessingFrame, EmptyOrNegativeBlocksTouchNothing) {
    EngineProbe engine(nullptr);
    std::vector<float> in(8, 0.5f), left(8, 7.0f), right(8, 7.0f);
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {left.data(), right.data()};
    engine.processReplacing(inputs, outputs, 0);
    engine.processReplacing(inputs, outputs, -5);
    EXPECT_EQ(left, std::vector<float>(8, 7.0f));
    EXPECT_EQ(engine.getHornPosition(), 0.0f);
    engine.processReplacing(nullptr, outputs, 8);  // no channel arrays: nothing to do
    EXPECT_EQ(right, std::vector<float>(8, 7.0f));
}

TEST(ProcessingFrame, ResumeDropsTheDelayedSignalButKeepsTheRotors) {
    RecordingHost host;
    EngineProbe engine(RecordingHost::callback);
    engine.setParameter(kSpeedToggle, 1.0f);
    BlockResult loud;
    engine.run(testSignal(2000), loud.left, loud.right);
    const float speed = engine.inspect().signal.hornSpeed;
    engine.resume();
    EXPECT_EQ(host.callsOf(audioMasterWantMidi).size(), 1u);
    EXPECT_EQ(host.callsOf(audioMasterWantMidi)[0].value, 1);
    EXPECT_EQ(engine.inspect().signal.hornSpeed, speed);
    EXPECT_EQ(engine.inspect().signal.bandDelay.writeIndex, 0);
    BlockResult after;
    engine.run(std::vector<float>(70, 0.0f), after.left, after.right);
    // The shortest tap reaches about 78 samples back: until then only the
    // cleared delay lines are heard.
    EXPECT_EQ(after.left, std::vector<float>(70, 0.0f));
    EXPECT_EQ(after.right, std::vector<float>(70, 0.0f));
}

TEST(HostInput, NonFiniteSamplesAreReadAsSilence) {
    EngineProbe poisoned(nullptr), clean(nullptr);
    std::vector<float> input = testSignal(3000), cleaned = input;
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()};
    for (int i = 0; i < 3; ++i) {
        input[500 + 100 * i] = bad[i];
        cleaned[500 + 100 * i] = 0.0f;
    }
    BlockResult a, b;
    poisoned.run(input, a.left, a.right);
    clean.run(cleaned, b.left, b.right);
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.right, b.right);
}

TEST(HostInput, HugeSamplesCannotOverflowTheState) {
    EngineProbe engine(nullptr);
    std::vector<float> input = testSignal(500);
    input[10] = std::numeric_limits<float>::max();
    input[11] = -std::numeric_limits<float>::max();
    BlockResult out;
    engine.run(input, out.left, out.right);
    engine.run(testSignal(5000), out.left, out.right);
    for (size_t i = 0; i < out.left.size(); ++i) ASSERT_TRUE(std::isfinite(out.left[i]) && std::isfinite(out.right[i]));
    EXPECT_TRUE(std::isfinite(engine.inspect().signal.filterY1));
}

TEST(HostInput, BadSampleRatesAreIgnored) {
    EngineProbe engine(nullptr), reference(nullptr);
    engine.setSampleRate(48000.0f);
    reference.setSampleRate(48000.0f);
    for (float rate : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity()}) {
        engine.setSampleRate(rate);
        engine.setBlockSizeAndSampleRate(512, rate);
    }
    EXPECT_EQ(engine.getSampleRate(), 48000.0f);
    BlockResult a, b;
    engine.run(testSignal(1000), a.left, a.right);
    reference.run(testSignal(1000), b.left, b.right);
    EXPECT_EQ(a.left, b.left);
}

TEST(HostInput, EveryRateKeepsReadsInsideTheBuffersAndTheStateFinite) {
    for (float rate : {1.0f, 50.0f, 8000.0f, 384000.0f, 768000.0f, 2.0e6f, 1.0e9f}) {
        EngineProbe engine(nullptr);
        engine.setSampleRate(rate);
        engine.setParameter(kSpeedToggle, 1.0f);
        BlockResult out;
        engine.run(testSignal(20000, 1.0f), out.left, out.right);
        for (size_t i = 0; i < out.left.size(); ++i)
            ASSERT_TRUE(std::isfinite(out.left[i]) && std::isfinite(out.right[i])) << "rate " << rate;
        EXPECT_TRUE(engine.getHornPosition() >= 0.0f && engine.getHornPosition() < 1.0f);
    }
}

TEST(HostInput, MalformedEventListsAreSafe) {
    EngineProbe engine(nullptr);
    engine.setParameter(kSpeedKey, speedKey(kKeyCtrl64));
    VstMidiEvent fast{};
    fast.type = kVstMidiType;
    fast.midiData[0] = static_cast<char>(0xB0);
    fast.midiData[1] = 64;
    fast.midiData[2] = 127;
    VstEvent other{};
    other.type = kVstSysExType;
    struct {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[3];
    } list{3, 0, {nullptr, &other, reinterpret_cast<VstEvent*>(&fast)}};
    engine.processEvents(reinterpret_cast<VstEvents*>(&list));
    engine.runSilence(16);
    EXPECT_EQ(engine.getParameter(kSpeedToggle), 1.0f);  // null and foreign entries skipped

    list.numEvents = -7;
    engine.setParameter(kSpeedToggle, 0.0f);
    engine.processEvents(reinterpret_cast<VstEvents*>(&list));
    engine.runSilence(16);
    EXPECT_EQ(engine.getParameter(kSpeedToggle), 0.0f);  // a negative count means no events
}

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
TEST(HostInput, CallersFloatingPointModeIsRestored) {
    EngineProbe engine(nullptr);
    const unsigned before = _mm_getcsr();
    engine.runSilence(100);
    EXPECT_EQ(_mm_getcsr(), before);
}
#endif

#include "AllocationCounter.h"

TEST(AudioThread, ProcessingWithMidiAndSwitchesAllocatesNothing) {
    RecordingHost host;
    EngineProbe engine(RecordingHost::callback);
    engine.setParameter(kSpeedKey, speedKey(kKeyCtrl64));
    std::vector<float> in = testSignal(512), left(512), right(512);
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {left.data(), right.data()};
    MidiList midi;
    for (int i = 0; i < 64; ++i) midi.controlChange(i * 8, 64, i % 2 ? 0 : 127);
    VstEvents* list = midi.get();
    host.calls.reserve(10000);  // the recording host's own bookkeeping is not the engine's
    AllocationCounter counter;
    for (int block = 0; block < 20; ++block) {
        engine.processEvents(list);
        engine.processReplacing(inputs, outputs, 512);
        engine.process(inputs, outputs, 512);
    }
    EXPECT_EQ(counter.count(), 0);
    EXPECT_GT(host.callsOf(audioMasterAutomate).size(), 0u);
}

// The core's reading of a MIDI message, as the LV2 and CLAP adapters hand
// them over: a control change of the speed controller on any channel, its
// value 64..127 fast; missing bytes read as 0; nothing else switches.
TEST(SoundCore, ReadsSpeedSwitchesFromMidiMessages) {
    SpeakerCore core;
    core.setSampleRate(44100.0f);
    core.setParameter(kSpeedKey, kKeyCtrl64);
    core.beginBlock();
    const uint8_t fast[] = {0xB0, 64, 127}, slowOn16[] = {0xBF, 64, 63}, other[] = {0xB0, 1, 127},
                  note[] = {0x90, 64, 100}, cut[] = {0xB3, 64}, four[] = {0xB0, 64, 127, 0};
    EXPECT_EQ(core.speedSwitchOf(fast, 3), 1);
    EXPECT_EQ(core.speedSwitchOf(slowOn16, 3), 0);
    EXPECT_EQ(core.speedSwitchOf(other, 3), -1);
    EXPECT_EQ(core.speedSwitchOf(note, 3), -1);
    EXPECT_EQ(core.speedSwitchOf(cut, 2), 0);  // no value byte: 0, slow
    EXPECT_EQ(core.speedSwitchOf(four, 4), -1);
    EXPECT_EQ(core.speedSwitchOf(nullptr, 3), -1);
    EXPECT_TRUE(core.switchSpeed(true));
    EXPECT_FALSE(core.switchSpeed(true));  // already fast
    EXPECT_EQ(core.value(kSpeedToggle), 1.0f);

    core.setParameter(kSpeedKey, kKeyTab);  // a key of the editor's: no controller
    core.beginBlock();
    EXPECT_EQ(core.speedSwitchOf(fast, 3), -1);
}
