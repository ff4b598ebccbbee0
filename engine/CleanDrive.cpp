#include "CleanDrive.h"

#include <cmath>

namespace {

// The zeroth-order modified Bessel function of the first kind, by its series.
double besselI0(double x) {
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 40; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

// A linear-phase low-pass: the windowed sinc with cutoff `cutoff` (a
// fraction of its own sample rate) under a Kaiser window of shape `beta`,
// scaled to unity gain at 0 Hz.
constexpr int kLongestFilter = cleandrive::kDownTaps;

void designLowPass(double* taps, int count, double cutoff, double beta) {
    constexpr double kPi = 3.14159265358979323846;
    double window[kLongestFilter], sum = 0.0;
    for (int i = 0; i < count; ++i) {
        const double m = i - (count - 1) / 2.0;
        const double sinc = m == 0.0 ? 2.0 * cutoff : std::sin(2.0 * kPi * cutoff * m) / (kPi * m);
        const double r = 2.0 * i / (count - 1) - 1.0;
        window[i] = sinc * besselI0(beta * std::sqrt(1.0 - r * r)) / besselI0(beta);
        sum += window[i];
    }
    for (int i = 0; i < count; ++i) taps[i] = window[i] / sum;
}

// A half-band low-pass (cutoff a quarter of its rate) as its branch of the
// even taps and its centre tap; the others are zero.
void designHalfBand(float* branch, float& centre, int count, double beta) {
    double taps[kLongestFilter];
    designLowPass(taps, count, 0.25, beta);
    for (int k = 0; k < (count + 1) / 2; ++k) branch[k] = static_cast<float>(taps[2 * k]);
    centre = static_cast<float>(taps[(count - 1) / 2]);
}

// Silent memory: the last value 0, where the antiderivative is -1.
template <typename Band>
void clearBand(Band& band) {
    band = Band{};
    band.lastAntiderivative = -1.0;
}

}  // namespace

// Flat to 16 kHz at 44.1 kHz (0.181 of twice the rate): the half-band
// stages stop their images and aliases from 0.32, 0.34 and 0.44 of their
// rates on by 72 to 79 dB; the last stage, centred
// between 16 and 22.05 kHz, stops everything from half the rate by 71 dB,
// so no harmonic above it folds back.
void initialiseCleanDrive(CleanDriveState& state) {
    designHalfBand(state.upBranch, state.upCentre, cleandrive::kUpTaps, 7.0);
    designHalfBand(state.innerBranch, state.innerCentre, cleandrive::kInnerTaps, 7.0);
    designHalfBand(state.topBranch, state.topCentre, cleandrive::kTopTaps, 7.0);
    double down[kLongestFilter];
    designLowPass(down, cleandrive::kDownTaps, (16000.0 + 22050.0) / 2.0 / 88200.0, 7.0);
    for (int i = 0; i < cleandrive::kDownTaps; ++i) state.downTaps[i] = static_cast<float>(down[i]);
    clearCleanDrive(state);
}

void clearCleanDrive(CleanDriveState& state) {
    clearBand(state.horn);
    clearBand(state.drum);
    state.plain = cleandrive::PlainDelay{};
}
