// Rotor speeds, ramps, the three-phase oscillators and the display positions.
#include <gtest/gtest.h>

#include <cmath>

#include "EngineProbe.h"
#include "RotorDisplay.h"
#include "SpeakerDescriptor.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Samples until the horn (or drum) speed first reaches its fast limit.
int samplesToFast(EngineProbe& engine, bool horn, int limit) {
    for (int n = 1; n <= limit; ++n) {
        engine.runSilence(1);
        const SignalState& signal = engine.inspect().signal;
        const RotorCoefficients rotors = engine.inspect().coefficients.rotors;
        if (horn ? signal.hornSpeed >= rotors.hornFast : signal.drumSpeed >= rotors.drumFast) return n;
    }
    return -1;
}

float accelerationValue(int accel) { return (accel + 100) / 200.0f; }

double amplitude(const float* osc) {
    return std::sqrt((osc[0] * osc[0] + osc[1] * osc[1] + osc[2] * osc[2]) / 1.5);
}

// Rotor angle in the two-axis view of the three-phase set.
double angle(const float* osc) { return std::atan2((osc[1] - osc[2]) / std::sqrt(3.0), osc[0]); }

}  // namespace

TEST(RotorMotion, LimitsAtDefaultSettings) {
    EngineProbe engine(nullptr);
    EXPECT_FLOAT_EQ(engine.inspect().coefficients.rotors.hornSlow, static_cast<float>(8 * 0.363 / 44100));
    EXPECT_FLOAT_EQ(engine.inspect().coefficients.rotors.hornFast, static_cast<float>(69 * 0.363 / 44100));
    EXPECT_FLOAT_EQ(engine.inspect().coefficients.rotors.drumSlow, static_cast<float>(7 * 0.363 / 44100));
    EXPECT_FLOAT_EQ(engine.inspect().coefficients.rotors.drumFast, static_cast<float>(64 * 0.363 / 44100));
    engine.setParameter(kSlowSpeed, 1.0f);  // +25 %
    engine.setParameter(kFastSpeed, 0.0f);  // -25 %
    EXPECT_FLOAT_EQ(engine.inspect().coefficients.rotors.hornSlow, static_cast<float>(8 * 1.25 * 0.363 / 44100));
    EXPECT_FLOAT_EQ(engine.inspect().coefficients.rotors.drumFast, static_cast<float>(64 * 0.75 * 0.363 / 44100));
}

TEST(RotorMotion, FirstSampleLiftsTheSpeedToTheSlowLimit) {
    EngineProbe engine(nullptr);
    engine.setParameter(kSpeedToggle, 1.0f);
    engine.runSilence(1);
    EXPECT_EQ(engine.inspect().signal.hornSpeed, engine.inspect().coefficients.rotors.hornSlow);
    EXPECT_EQ(engine.inspect().signal.drumSpeed, engine.inspect().coefficients.rotors.drumSlow);
}

TEST(RotorMotion, RampTimesFollowTheAcceleration) {
    struct Case {
        int accel;
        double factor;
    };
    for (Case c : {Case{0, 1.0}, Case{100, 0.5}, Case{-100, 2.0}}) {
        EngineProbe horn(nullptr), drum(nullptr);
        for (EngineProbe* e : {&horn, &drum}) {
            e->setParameter(kAcceleration, accelerationValue(c.accel));
            e->runSilence(1);
            e->setParameter(kSpeedToggle, 1.0f);
        }
        // The speed is stored as a 32-bit float after every step, and the
        // rounding of each tiny step adds up over the ramp.
        EXPECT_NEAR(samplesToFast(horn, true, 200000), 30870 * c.factor, 0.001 * 30870 * c.factor) << c.accel;
        EXPECT_NEAR(samplesToFast(drum, false, 1000000), 216090 * c.factor, 0.004 * 216090 * c.factor) << c.accel;
    }
}

TEST(RotorMotion, SwitchingBackMidwayTurnsAroundAtOnce) {
    EngineProbe engine(nullptr);
    engine.runSilence(1);
    engine.setParameter(kSpeedToggle, 1.0f);
    engine.runSilence(15000);
    const float reached = engine.inspect().signal.hornSpeed;
    engine.setParameter(kSpeedToggle, 0.0f);
    EXPECT_LT(engine.inspect().coefficients.rotors.hornStep, 0.0f);
    engine.runSilence(1);
    EXPECT_NEAR(engine.inspect().signal.hornSpeed, reached + engine.inspect().coefficients.rotors.hornStep, 1e-12);
    // Down ramps take 1.8 s for the horn's full range.
    EXPECT_NEAR(engine.inspect().coefficients.rotors.hornStep, (engine.inspect().coefficients.rotors.hornSlow - engine.inspect().coefficients.rotors.hornFast) / (1.8 * 44100), 1e-15);
}

TEST(RotorMotion, ChangingTheFastLimitWhileFast) {
    EngineProbe engine(nullptr);
    engine.setParameter(kSpeedToggle, 1.0f);
    engine.runSilence(40000);
    ASSERT_EQ(engine.inspect().signal.hornSpeed, engine.inspect().coefficients.rotors.hornFast);
    engine.setParameter(kFastSpeed, 1.0f);  // +25 %: ramps up with the new step
    engine.runSilence(1);
    EXPECT_GT(engine.inspect().signal.hornSpeed, static_cast<float>(69 * 0.363 / 44100));
    EXPECT_LT(engine.inspect().signal.hornSpeed, engine.inspect().coefficients.rotors.hornFast);
    engine.setParameter(kFastSpeed, 0.0f);  // -25 %: drops to the new limit at once
    engine.runSilence(1);
    EXPECT_EQ(engine.inspect().signal.hornSpeed, engine.inspect().coefficients.rotors.hornFast);
}

TEST(RotorMotion, SampleRateChangeKeepsPerSampleSpeedsAndClampsThem) {
    EngineProbe engine(nullptr);
    engine.setParameter(kSpeedToggle, 1.0f);
    engine.runSilence(40000);
    const float fastAt44 = engine.inspect().signal.hornSpeed;
    engine.setSampleRate(88200.0f);
    EXPECT_EQ(engine.inspect().signal.hornSpeed, fastAt44);  // untouched until the next sample
    engine.runSilence(1);
    EXPECT_EQ(engine.inspect().signal.hornSpeed, engine.inspect().coefficients.rotors.hornFast);
    EXPECT_NEAR(engine.inspect().coefficients.rotors.hornFast, fastAt44 / 2, 1e-9);
}

TEST(RotorMotion, OscillatorsKeepBalanceAndAmplitudeOverLongRuns) {
    for (float toggle : {0.0f, 1.0f}) {
        EngineProbe engine(nullptr);
        engine.setParameter(kSpeedToggle, toggle);
        for (int second = 0; second < 30; ++second) {
            engine.runSilence(44100);
            for (const float* osc : {engine.inspect().signal.hornOsc, engine.inspect().signal.drumOsc}) {
                EXPECT_NEAR(osc[0] + osc[1] + osc[2], 0.0, 1e-6);
                EXPECT_NEAR(amplitude(osc), 1.0 / std::sqrt(3.0), 2e-6);
            }
        }
    }
}

TEST(RotorMotion, TurnRatesAtSlowAndFast) {
    struct Case {
        float toggle;
        double turnsPerSecond;
    };
    for (Case c : {Case{0.0f, 0.8005}, Case{1.0f, 6.9045}}) {
        EngineProbe engine(nullptr);
        engine.setParameter(kSpeedToggle, c.toggle);
        engine.runSilence(44100);  // settle at the limit
        double turned = 0.0, previous = angle(engine.inspect().signal.hornOsc);
        for (int block = 0; block < 441 * 4; ++block) {  // 4 seconds in blocks of 100
            engine.runSilence(100);
            const double now = angle(engine.inspect().signal.hornOsc);
            double step = previous - now;  // the rotation runs toward decreasing angle
            if (step < -kPi) step += 2 * kPi;
            if (step > kPi) step -= 2 * kPi;
            turned += step;
            previous = now;
        }
        EXPECT_NEAR(turned / (2 * kPi) / 4.0, c.turnsPerSecond, 0.0005);
    }
}

TEST(RotorMotion, DisplayPositionsAdvanceWithTheSpeedAndStayInRange) {
    EngineProbe engine(nullptr);
    engine.runSilence(1);
    engine.runSilence(44100);  // one second at slow: 0.8 Hz * 0.638 + 0.298 turns
    EXPECT_NEAR(engine.getHornPosition(), std::fmod(0.8 * kHornTurnsPerHertz + kHornTurnsOffset, 1.0), 2e-3);
    EXPECT_NEAR(engine.getDrumPosition(), std::fmod(0.7 * kDrumTurnsPerHertz + kDrumTurnsOffset, 1.0), 2e-3);
    engine.setParameter(kSpeedToggle, 1.0f);
    for (int i = 0; i < 2000; ++i) {
        engine.runSilence(441);
        ASSERT_GE(engine.getHornPosition(), 0.0f);
        ASSERT_LT(engine.getHornPosition(), 1.0f);
        ASSERT_GE(engine.getDrumPosition(), 0.0f);
        ASSERT_LT(engine.getDrumPosition(), 1.0f);
    }
}

TEST(RotorMotion, PositionJustBelowOneNeverRoundsUpToOne) {
    // A step of 4.5e-8 turns from just below 1 lands nearer 1 than any float
    // below it; the stored position is 0 again, never 1.
    const double below = std::nextafter(1.0f, 0.0f);
    EXPECT_EQ(wrapTurns(below + 4.5e-8), 0.0f);
    EXPECT_EQ(wrapTurns(below), static_cast<float>(below));
    EXPECT_EQ(wrapTurns(2.25), 0.25f);
    EXPECT_EQ(wrapTurns(-0.25), 0.75f);
}
