// The extended cabinet's sound in the core: the band-limited drive removes
// the aliases of the plain one, keeps its curve and level (lagging by the
// filters' delay, both bands alike), and the mode changes without a pop; the
// depths change without a step.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "AliasFloor.h"
#include "CleanDrive.h"
#include "SpeakerCore.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<float> render(SpeakerCore& core, const std::vector<float>& in) {
    std::vector<float> left(in.size()), right(in.size());
    for (size_t at = 0; at < in.size(); at += 256) {
        const int frames = static_cast<int>(std::min<size_t>(256, in.size() - at));
        core.beginBlock();
        core.processStretch(&in[at], &in[at], &left[at], &right[at], frames);
    }
    return left;
}

// Two tones, one in each band of the crossover.
std::vector<float> twoTones(size_t frames, double level) {
    std::vector<float> in(frames);
    for (size_t i = 0; i < frames; ++i)
        in[i] = static_cast<float>(
            level * (std::sin(2 * kPi * 110 * i / 44100.0) + std::sin(2 * kPi * 1300 * i / 44100.0)));
    return in;
}

// The rotors moving nothing, so two renders differ only by their drive.
void stillCabinet(SpeakerCore& core, DriveMode mode) {
    core.setSampleRate(44100.0f);
    core.setParameter(kDistortion, 60.0f);
    core.setParameter(kHornDepth, 0.0f);
    core.setParameter(kDrumDepth, 0.0f);
    core.setParameter(kTremolo, 0.0f);
    core.setParameter(kDrive, mode);
}

double rms(const std::vector<float>& v, size_t from) {
    double sum = 0.0;
    for (size_t i = from; i < v.size(); ++i) sum += static_cast<double>(v[i]) * v[i];
    return std::sqrt(sum / (v.size() - from));
}

}  // namespace

TEST(CleanDrive, KeepsEveryAliasOfAFiveKilohertzTone70DecibelsDown) {
    for (float rate : {44100.0f, 48000.0f}) {
        SpeakerCore exact, clean;
        exact.setSampleRate(rate);
        clean.setSampleRate(rate);
        clean.setParameter(kDrive, kDriveClean);
        EXPECT_GT(aliasfloor::measure(exact, rate), -40.0) << rate;  // the plain curve aliases
        EXPECT_LT(aliasfloor::measure(clean, rate), -70.0) << rate;
    }
}

// Each band's shaped sound lags by the same delay, so the bands still add
// up as the plain drive's do: the clean output is the exact one, delayed.
TEST(CleanDrive, KeepsTheCurveAndLevelOfBothBandsInTime) {
    SpeakerCore exact, clean;
    stillCabinet(exact, kDriveExact);
    stillCabinet(clean, kDriveClean);
    const std::vector<float> in = twoTones(44100, 0.4);
    const std::vector<float> a = render(exact, in), b = render(clean, in);
    const size_t from = 4410;
    EXPECT_NEAR(20 * std::log10(rms(b, from) / rms(a, from)), 0.0, 0.05);

    const int expectedLag = static_cast<int>(std::lround(cleandrive::kLatency));
    int bestLag = -1;
    double best = -1.0;
    for (int lag = 0; lag <= 40; ++lag) {
        double ab = 0, aa = 0, bb = 0;
        for (size_t i = from; i < b.size(); ++i) {
            ab += static_cast<double>(a[i - lag]) * b[i];
            aa += static_cast<double>(a[i - lag]) * a[i - lag];
            bb += static_cast<double>(b[i]) * b[i];
        }
        const double correlation = ab / std::sqrt(aa * bb);
        if (correlation > best) best = correlation, bestLag = lag;
    }
    EXPECT_EQ(bestLag, expectedLag);
    EXPECT_GT(best, 0.999);
}

namespace {

float largestStep(const std::vector<float>& v, size_t begin, size_t end) {
    float step = 0.0f;
    for (size_t i = begin + 1; i < end; ++i) step = std::max(step, std::fabs(v[i] - v[i - 1]));
    return step;
}

// The largest step of `after`, counting the one from the last of `before`.
float largestStepAfter(const std::vector<float>& before, const std::vector<float>& after, size_t frames) {
    return std::max(std::fabs(after[0] - before.back()), largestStep(after, 0, frames));
}

}  // namespace

// A mode change fades from one drive to the other: no sample steps further
// from the one before than the steady sound's own steps do.
TEST(CleanDrive, ChangesModeWithoutAPop) {
    for (DriveMode from : {kDriveExact, kDriveClean}) {
        SpeakerCore core;
        stillCabinet(core, from);
        const std::vector<float> in = twoTones(8820, 0.4);
        std::vector<float> before = render(core, in);
        core.setParameter(kDrive, from == kDriveExact ? kDriveClean : kDriveExact);
        std::vector<float> after = render(core, in);
        const float steady = largestStep(before, 4410, before.size());
        EXPECT_LE(largestStepAfter(before, after, 882), steady * 1.1f) << from;
    }
}

// The Doppler swing and the tremolo glide to a new depth: the delay taps
// do not jump, so the sound does not step.
TEST(CabinetDepths, GlideToNewValues) {
    for (int parameter : {kHornDepth, kDrumDepth, kTremolo}) {
        SpeakerCore core;
        core.setSampleRate(44100.0f);
        core.setParameter(kSpeedToggle, 1.0f);
        const std::vector<float> in = twoTones(44100, 0.4);
        const std::vector<float> before = render(core, in);
        core.setParameter(parameter, 200.0f);
        const std::vector<float> after = render(core, std::vector<float>(in.begin(), in.begin() + 2205));
        EXPECT_LE(largestStepAfter(before, after, after.size()),
                  largestStep(before, 22050, before.size()) * 1.1f)
            << parameter;
    }
}

// The cabinet's picture shows the brake: each rotor's display position
// comes to its rest angle and stays there while the brake holds; released,
// the rotors turn on from where they stood.
TEST(CabinetBrake, TheDisplayedRotorsStandAtTheirRestAngles) {
    SpeakerCore core;
    core.setSampleRate(44100.0f);
    const std::vector<float> silence(44100);
    render(core, silence);
    core.setParameter(kHornRest, 90.0f);
    core.setParameter(kDrumRest, 200.0f);
    core.setParameter(kBrake, kBrakeOn);
    for (int second = 0; second < 10; ++second) render(core, silence);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(core.hornPosition(), 90.0 / 360.0, 1.0 / 720.0);
        EXPECT_NEAR(core.drumPosition(), 200.0 / 360.0, 1.0 / 720.0);
        render(core, std::vector<float>(4410));
    }
    core.setParameter(kBrake, kBrakeOff);
    render(core, std::vector<float>(22050));
    EXPECT_GT(std::fabs(core.hornPosition() - 0.25), 0.01);
    EXPECT_GT(std::fabs(core.drumPosition() - 200.0 / 360.0), 0.01);
}
