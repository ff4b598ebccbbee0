// Coefficients and the per-sample path: crossover, shapers, levels, taps.
#include <gtest/gtest.h>

#include <cmath>

#include "EngineProbe.h"
#include "LevelTables.h"
#include "ReferenceSpeaker.h"
#include "Shaper.h"
#include "SpeakerDescriptor.h"

using signalpath::asinhOf;
using signalpath::fastAsinh;
using signalpath::fastLog;
using signalpath::shape;
using signalpath::shaperFor;

namespace {

constexpr double kPi = 3.14159265358979323846;

float normalizedDistortion(int d) { return d / 100.0f; }
float normalizedBalance(int b) { return (b + 50) / 100.0f; }

std::vector<float> impulse(int frames) {
    std::vector<float> in(static_cast<size_t>(frames), 0.0f);
    in[0] = 1.0f;
    return in;
}

int firstNonZero(const std::vector<float>& v) {
    for (size_t i = 0; i < v.size(); ++i)
        if (v[i] != 0.0f) return static_cast<int>(i);
    return -1;
}

// The first sample at which a tap with delay d (in samples) can see an
// impulse written at sample 0: reads reach d - 1 samples back, interpolated.
int arrival(float baseDelay, float depth, float osc) {
    return static_cast<int>(std::floor(baseDelay + depth * osc)) - 1;
}

}  // namespace

TEST(SignalPath, CoefficientsAtDefaults) {
    EngineProbe engine(nullptr);
    EXPECT_NEAR(engine.inspect().coefficients.path.filterA1, 1.8408, 1e-4);
    EXPECT_NEAR(engine.inspect().coefficients.path.filterA2, 0.8525, 1e-4);
    EXPECT_NEAR(engine.inspect().coefficients.path.filterGain, 0.0118, 1e-4);
    EXPECT_FLOAT_EQ(engine.inspect().coefficients.hornDrive, 15.0f);
    EXPECT_FLOAT_EQ(engine.inspect().coefficients.drumDrive, 7.5f);
    EXPECT_FLOAT_EQ(engine.inspect().coefficients.hornLevel, 0.47f);
    EXPECT_FLOAT_EQ(engine.inspect().coefficients.drumLevel, 0.42f);
    EXPECT_FLOAT_EQ(engine.inspect().coefficients.crossfeed, 0.0f);
    EXPECT_FLOAT_EQ(engine.inspect().coefficients.hornTaps[2].baseDelay, 0.0048f * 44100);
    EXPECT_FLOAT_EQ(engine.inspect().coefficients.drumTaps[1].delayDepth, 0.0004f * 44100);
}

TEST(SignalPath, SilenceStaysSilent) {
    EngineProbe engine(nullptr);
    std::vector<float> left, right;
    engine.run(std::vector<float>(20000, 0.0f), left, right);
    EXPECT_EQ(firstNonZero(left), -1);
    EXPECT_EQ(firstNonZero(right), -1);
}

TEST(SignalPath, LowDistortionIsNearlyLinearAndLevelsFollowTheTables) {
    EngineProbe engine(nullptr);
    for (int d : {0, 1}) {
        engine.setParameter(kDistortion, normalizedDistortion(d));
        EXPECT_FLOAT_EQ(engine.inspect().coefficients.hornDrive, 0.25f);
        EXPECT_FLOAT_EQ(engine.inspect().coefficients.drumDrive, 0.125f);
        EXPECT_FLOAT_EQ(engine.inspect().coefficients.hornLevel, 1.0f);
        EXPECT_FLOAT_EQ(engine.inspect().coefficients.drumLevel, 1.0f);
    }
    const Shaper horn = shaperFor(0.25f, static_cast<float>(1.0 / asinhOf(0.25)));
    EXPECT_NEAR(shape(horn, 1.0), 0.25 / asinhOf(0.25), 1e-6);
    EXPECT_NEAR(shape(horn, 32767.0), 32767.0, 1e-3);
    EXPECT_NEAR(shape(horn, -32767.0), -32767.0, 1e-3);
    for (int d : {53, 89, 100}) {
        engine.setParameter(kDistortion, normalizedDistortion(d));
        EXPECT_FLOAT_EQ(engine.inspect().coefficients.hornLevel, hornCompensation(d) / 100.0f);
    }
    EXPECT_EQ(hornCompensation(53), 47);
    EXPECT_EQ(hornCompensation(100), 49);
    EXPECT_EQ(drumCompensation(80), 40);
    EXPECT_EQ(drumCompensation(37), 49);
}

TEST(SignalPath, FastLogarithmAndShaperFollowTheLibrary) {
    for (double x = 1e-30; x < 1e30; x *= 1.0007)
        ASSERT_NEAR(fastLog(x), std::log(x), 1e-13 * std::fabs(std::log(x)) + 1e-16) << x;
    for (double z = -2000.0; z <= 2000.0; z += 0.37)
        ASSERT_NEAR(fastAsinh(z), asinhOf(z), 1e-12 * (1.0 + std::fabs(asinhOf(z))));
}

TEST(SignalPath, BalanceExtremesLeaveOneBand) {
    EngineProbe engine(nullptr);
    engine.setParameter(kBalance, normalizedBalance(-50));
    EXPECT_EQ(engine.inspect().coefficients.hornLevel, 0.0f);
    EXPECT_NEAR(engine.inspect().coefficients.drumLevel, std::sqrt(2.0) * 0.42, 1e-6);
    engine.setParameter(kBalance, normalizedBalance(50));
    EXPECT_EQ(engine.inspect().coefficients.drumLevel, 0.0f);
    EXPECT_NEAR(engine.inspect().coefficients.hornLevel, std::sqrt(2.0) * 0.47, 1e-6);
}

TEST(SignalPath, SeparationZeroIsMonoAndFullSeparationKeepsTheMicrophones) {
    EngineProbe mono(nullptr), wide(nullptr);
    mono.setParameter(kSeparation, 0.0f);
    std::vector<float> input(5000);
    for (size_t i = 0; i < input.size(); ++i) input[i] = 0.7f * std::sin(i * 0.2f);
    std::vector<float> left, right;
    mono.run(input, left, right);
    for (size_t i = 0; i < left.size(); ++i) ASSERT_NEAR(left[i], right[i], 1e-7);
    wide.run(input, left, right);
    double difference = 0.0;
    for (size_t i = 0; i < left.size(); ++i) difference += std::fabs(left[i] - right[i]);
    EXPECT_GT(difference, 10.0);
}

TEST(SignalPath, ImpulseReachesEachMicrophoneThroughItsTaps) {
    EngineProbe horn(nullptr), drum(nullptr);
    horn.setParameter(kBalance, normalizedBalance(50));   // horn alone
    drum.setParameter(kBalance, normalizedBalance(-50));  // drum alone
    std::vector<float> left, right;

    // The oscillators barely move over 200 samples at slow speed.
    const int hornFirst = arrival(horn.inspect().coefficients.hornTaps[0].baseDelay, horn.inspect().coefficients.hornTaps[0].delayDepth, horn.inspect().signal.hornOsc[0]);
    horn.run(impulse(400), left, right);
    EXPECT_NEAR(firstNonZero(left), hornFirst, 1);  // horn tap 1, about 2 ms
    EXPECT_NEAR(firstNonZero(left) * 1000.0 / 44100, 2.0, 0.25);
    // Until horn tap 2 arrives, the right microphone hears tap 1 at its weight 0.2.
    const int onset = firstNonZero(left);
    EXPECT_NEAR(right[onset] / left[onset], 0.2f, 1e-4);

    const int drumLeft = arrival(drum.inspect().coefficients.drumTaps[0].baseDelay, drum.inspect().coefficients.drumTaps[0].delayDepth, drum.inspect().signal.drumOsc[0]);
    const int drumRight = arrival(drum.inspect().coefficients.drumTaps[1].baseDelay, drum.inspect().coefficients.drumTaps[1].delayDepth, drum.inspect().signal.drumOsc[1]);
    drum.run(impulse(400), left, right);
    EXPECT_NEAR(firstNonZero(left), drumLeft, 1);   // drum tap 1 only, about 3.5 ms
    EXPECT_NEAR(firstNonZero(right), drumRight, 1);  // drum tap 2 only
    EXPECT_NEAR(firstNonZero(left) * 1000.0 / 44100, 3.5 + 0.6 * drum.inspect().signal.drumOsc[0], 0.1);
}

TEST(SignalPath, ConstantInputSettlesInTheDrumBandOnly) {
    EngineProbe engine(nullptr);
    engine.setParameter(kDistortion, 0.0f);  // almost linear shapers
    std::vector<float> left, right;
    engine.run(std::vector<float>(44100, 0.01f), left, right);
    const float* horn = engine.inspect().signal.bandDelay.hornBuffer.get();
    const float* drum = engine.inspect().signal.bandDelay.drumBuffer.get();
    const int last = (engine.inspect().signal.bandDelay.writeIndex + BandDelay::kSize - 1) % BandDelay::kSize;
    EXPECT_NEAR(horn[last], 0.0f, 1e-3);
    // 0.01 of full level through a shaper of small-signal gain 0.125 / asinh(0.125).
    EXPECT_NEAR(drum[last], 0.01 * 32767 * 0.125 / asinhOf(0.125), 0.05);
}

// The fast path against the straightforward per-sample version: a full-scale
// signal over a long run, with speed switches, stays within 1e-6.
TEST(SignalPath, FastPathMatchesTheStraightforwardPath) {
    EngineProbe fast(nullptr), referenceEngine(nullptr);
    ReferenceSpeaker reference(referenceEngine);
    const int block = 512;
    std::vector<float> in(block), fl(block), fr(block), rl(block), rr(block);
    double worst = 0.0;
    for (int b = 0; b < 2000; ++b) {  // 23 seconds at 44.1 kHz
        for (int i = 0; i < block; ++i) {
            const double t = (b * block + i) / 44100.0;
            in[i] = static_cast<float>(0.6 * std::sin(2 * kPi * 220 * t) + 0.4 * std::sin(2 * kPi * 3300 * t));
        }
        if (b % 400 == 100) {
            const float toggle = (b / 400) % 2 ? 0.0f : 1.0f;
            fast.setParameter(kSpeedToggle, toggle);
            referenceEngine.setParameter(kSpeedToggle, toggle);
        }
        float* inputs[2] = {in.data(), in.data()};
        float* outputs[2] = {fl.data(), fr.data()};
        fast.processReplacing(inputs, outputs, block);
        reference.processReference(in.data(), in.data(), rl.data(), rr.data(), block);
        for (int i = 0; i < block; ++i)
            worst = std::max({worst, std::fabs(double(fl[i]) - rl[i]), std::fabs(double(fr[i]) - rr[i])});
    }
    EXPECT_LT(worst, 1e-6);
    EXPECT_EQ(fast.inspect().signal.hornOsc[0], reference.hornOsc[0]);  // the rotors run bit for bit alike
}

namespace {

// Every coefficient, the ones the signal path reads included, as numbers.
std::vector<double> coefficients(const SpeakerEngine& e) {
    const SpeakerCoefficients c = e.inspect().coefficients;
    const RotorCoefficients& r = c.rotors;
    std::vector<double> all = {c.path.filterA1, c.path.filterA2, c.path.filterGain, c.path.hornShaper.drive,
                               c.path.hornShaper.scale, c.path.drumShaper.drive, c.path.drumShaper.scale,
                               c.hornDrive, c.drumDrive, c.hornDriveNorm, c.drumDriveNorm,
                               r.hornSlow, r.hornFast, r.drumSlow, r.drumFast, r.hornStep, r.drumStep, r.sampleRate,
                               c.hornLevel, c.drumLevel, c.crossfeed, static_cast<double>(c.speedController)};
    for (const TapSettings& t : c.path.taps)
        all.insert(all.end(), {t.baseDelay, t.delayDepth, t.ampDepth, t.gainLeft, t.gainRight});
    for (const MicrophoneTap& tap : c.hornTaps) all.insert(all.end(), {tap.baseDelay, tap.delayDepth, tap.ampDepth});
    for (const MicrophoneTap& tap : c.drumTaps) all.insert(all.end(), {tap.baseDelay, tap.delayDepth});
    return all;
}

}  // namespace

// Both builds of the signal path give the very same samples.
TEST(SignalPath, AvxBuildMatchesThePortableOneSampleForSample) {
    const SegmentRunner wide = avx2SegmentRunner();
    if (!wide) GTEST_SKIP() << "no AVX2 on this processor or in this build";
    EngineProbe portable(nullptr), vector(nullptr);
    portable.useSegmentRunner(runSegmentPortable);
    vector.useSegmentRunner(wide);
    std::vector<float> input(30000);
    for (size_t i = 0; i < input.size(); ++i)
        input[i] = static_cast<float>(0.7 * std::sin(i * 0.021) + 0.3 * std::sin(i * 0.63));
    for (EngineProbe* e : {&portable, &vector}) e->setParameter(kSpeedToggle, 1.0f);
    std::vector<float> l1, r1, l2, r2;
    portable.run(input, l1, r1);
    vector.run(input, l2, r2);
    EXPECT_EQ(l1, l2);
    EXPECT_EQ(r1, r2);
}

TEST(Coefficients, ParameterChangesGiveWhatAFullRecomputationGives) {
    EngineProbe engine(nullptr);
    engine.setSampleRate(48000.0f);
    const float values[8] = {1.0f, 0.3f, 0.9f, 0.1f, 0.37f, 0.8f, 0.45f, 0.6f};
    for (int i = 0; i < 8; ++i) {
        engine.setParameter(i, values[i]);
        const std::vector<double> afterChange = coefficients(engine);
        engine.setSampleRate(48000.0f);  // recomputes everything
        EXPECT_EQ(afterChange, coefficients(engine)) << "parameter " << i;
    }
}

TEST(Coefficients, CombinedRateCallWaitsForTheNextParameterChange) {
    EngineProbe engine(nullptr);
    const SpeakerCoefficients at44 = engine.inspect().coefficients;
    const double a1At44 = at44.path.filterA1;
    const float tapAt44 = at44.hornTaps[0].baseDelay;
    engine.setBlockSizeAndSampleRate(256, 96000.0f);
    EXPECT_EQ(engine.getSampleRate(), 96000.0f);
    EXPECT_EQ(engine.inspect().coefficients.path.filterA1, a1At44);
    EXPECT_EQ(engine.inspect().coefficients.rotors.sampleRate, 44100.0f);
    engine.setParameter(kBalance, 0.5f);  // any parameter recomputes everything for the new rate
    EXPECT_NE(engine.inspect().coefficients.path.filterA1, a1At44);
    EXPECT_FLOAT_EQ(engine.inspect().coefficients.hornTaps[0].baseDelay, tapAt44 * 96000.0f / 44100.0f);
    EXPECT_EQ(engine.inspect().coefficients.rotors.sampleRate, 96000.0f);
}
