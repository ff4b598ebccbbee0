// The band-limited saturators. Both use first-order antiderivative
// anti-aliasing of the asinh curve (each output is the curve's mean between
// two input samples). The horn band, which carries the high frequencies, is
// shaped so at eight times the rate and brought back: up in three
// half-band stages, down through the two inner ones and a sharp last stage
// that stops everything above half the rate. At eight times the rate the
// mean's own suppression keeps the harmonics that fold there 70 dB down
// for tones up to 15 kHz. The drum band, below the
// crossover, is shaped at the rate itself, delayed to stay in time with the
// horn band. The curve and its level are the plain saturators'; the shaped
// bands lag the plain ones by kLatency samples.
//
// Like the rest of the signal path this is static inline code, compiled once
// for each build of the path; CleanDrive.cpp designs the filters and holds
// nothing the audio thread calls.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "Shaper.h"

namespace cleandrive {

constexpr int kMaxFrames = 64;  // the signal path's chunk
// Half-band filters have 4K + 3 taps: a centre tap of one half, the taps an
// even distance from it zero, and the rest (2K + 2) in one polyphase branch.
constexpr int kUpTaps = 35;     // the rate to twice it
constexpr int kInnerTaps = 19;  // twice the rate to four times, both ways
constexpr int kTopTaps = 15;    // four times the rate to eight times, both ways
constexpr int kDownTaps = 66;   // twice the rate back to it
constexpr int kUpBranch = (kUpTaps + 1) / 2, kInnerBranch = (kInnerTaps + 1) / 2, kTopBranch = (kTopTaps + 1) / 2;
// The centre tap's place in its branch.
constexpr int kUpCentre = (kUpTaps - 3) / 4, kInnerCentre = (kInnerTaps - 3) / 4, kTopCentre = (kTopTaps - 3) / 4;
constexpr int kDownPhase = kDownTaps / 2;

// The horn band's delay, in samples at the rate: each filter's half length
// and the half-sample lag of the mean, counted at the rate each one runs,
// less what the decimators' choice of the odd samples gains:
// 34/4 + 18/8 + 14/16 + 1/16 + (7 - 1)/8 + (9 - 1)/4 + (32.5 - 1)/2.
constexpr double kLatency = 30.1875;
// The drum band is delayed by the rest (its mean lags half a sample too):
// a whole part and a fraction, read between two samples.
constexpr int kDrumDelay = 29;
constexpr double kDrumFraction = kLatency - 0.5 - kDrumDelay;

// One band's filter memory: each buffer holds the history its filter reads
// before the chunk's own samples. The way down keeps each rate's samples as
// two streams, the even and the odd ones, so that the decimating filters
// read memory in order. The filters run in single precision (their
// rounding stays far below the aliases they remove, and twice as many
// samples fit a vector); the curve runs in double.
struct Band {
    float input[kUpBranch - 1 + kMaxFrames];        // the sample rate
    float twice[kInnerBranch - 1 + 2 * kMaxFrames];  // 2x, on the way up
    float fourTimes[kTopBranch - 1 + 4 * kMaxFrames];  // 4x, on the way up
    float shaped8Even[kTopBranch - 1 + 4 * kMaxFrames], shaped8Odd[kTopBranch - 1 + 4 * kMaxFrames];
    float shaped4Even[kInnerBranch - 1 + 2 * kMaxFrames], shaped4Odd[kInnerBranch - 1 + 2 * kMaxFrames];
    float shaped2Even[kDownPhase - 1 + kMaxFrames], shaped2Odd[kDownPhase - 1 + kMaxFrames];
    double lastValue;           // the last 8x sample before the curve
    double lastAntiderivative;  // the curve's antiderivative there
};

// The drum band's memory: its recent input and the last delayed sample.
struct DelayedBand {
    double input[kDrumDelay + 1 + kMaxFrames];
    double lastValue;
    double lastAntiderivative;
};

// The plain saturators' recent outputs, which a change of drive mode reads
// up to kLatency samples back so that the two kinds are in time when they
// are mixed.
struct PlainDelay {
    static constexpr int kSize = 64;  // a power of two above kLatency + 3
    float horn[kSize], drum[kSize];
    int32_t newest;  // where the latest sample is
};

}  // namespace cleandrive

// Each low-pass has unity gain at 0 Hz; a half-band one is kept as its
// branch of non-zero taps and its centre tap.
struct CleanDriveState {
    float upBranch[cleandrive::kUpBranch], upCentre;
    float innerBranch[cleandrive::kInnerBranch], innerCentre;
    float topBranch[cleandrive::kTopBranch], topCentre;
    float downTaps[cleandrive::kDownTaps];
    cleandrive::Band horn;
    cleandrive::DelayedBand drum;
    cleandrive::PlainDelay plain;
};

// Filters designed and every band's memory silent.
void initialiseCleanDrive(CleanDriveState& state);
// Every band's memory silent, the filters kept. Safe on the audio thread.
void clearCleanDrive(CleanDriveState& state);

namespace cleandrive {

// Below this step between two 4x samples the antiderivative's difference
// quotient loses its precision; the curve itself is used there instead.
constexpr double kSmallStep = 1.0e-5;

// --- Changing the drive mode -----------------------------------------------------
// The mode glides along a course m from 0 (plain) to 1 (band-limited). Up
// to alignEnd the plain saturators' delay grows to kLatency, so slowly that
// the pitch moves by 0.5 % at most; up to fadeEnd they fade into the
// band-limited ones; the rest (band-limited only) fills the plain delay
// before a way back fades. The core places the two points for the rate.
constexpr double kAlignSpeed = 0.005;  // delay gained per sample while aligning
constexpr int kAlignSamples = static_cast<int>(kLatency / kAlignSpeed + 1.0);
constexpr double kFadeSeconds = 0.010;
constexpr int kPrimeSamples = PlainDelay::kSize;

static inline double plainDelayAt(double m, double alignEnd) {
    return m < alignEnd ? kLatency * (m / alignEnd) : kLatency;
}
static inline double cleanShareAt(double m, double alignEnd, double fadeEnd) {
    const double share = (m - alignEnd) / (fadeEnd - alignEnd);
    return share < 0.0 ? 0.0 : (share > 1.0 ? 1.0 : share);
}

// Writes the newest plain sample of each band and reads both `delay`
// samples back, by four-point Lagrange interpolation (the points straddle
// the read where there is a newer one).
static inline void delayPlain(PlainDelay& line, float horn, float drum, double delay, double& hornOut,
                              double& drumOut) {
    constexpr int32_t kMask = PlainDelay::kSize - 1;
    line.newest = (line.newest + 1) & kMask;
    line.horn[line.newest] = horn;
    line.drum[line.newest] = drum;
    const int32_t whole = static_cast<int32_t>(delay);
    const int32_t first = whole > 0 ? whole - 1 : 0;  // the newest point, samples back
    const double x = delay - first;
    const double w0 = -(x - 1.0) * (x - 2.0) * (x - 3.0) / 6.0, w1 = x * (x - 2.0) * (x - 3.0) / 2.0;
    const double w2 = -x * (x - 1.0) * (x - 3.0) / 2.0, w3 = x * (x - 1.0) * (x - 2.0) / 6.0;
    auto read = [&](const float* ring) {
        const int32_t at = line.newest - first;
        return w0 * ring[at & kMask] + w1 * ring[(at - 1) & kMask] + w2 * ring[(at - 2) & kMask] +
               w3 * ring[(at - 3) & kMask];
    };
    hornOut = read(line.horn);
    drumOut = read(line.drum);
}

// Zero-stuffs `count` samples of `from` (history before index `historyLength`)
// to twice the rate and filters them with a half-band low-pass (gain 2
// restores the level): the even outputs through its branch, the odd ones
// are its centre tap times an input.
template <int kBranch, int kCentre>
static inline void upsampleHalfBand(const float* branch, float centre, const float* from, int historyLength,
                                    float* to, int count) {
    float even[4 * kMaxFrames];
    for (int i = 0; i < count; ++i) even[i] = 0.0f;
    for (int k = 0; k < kBranch; ++k) {
        const float tap = branch[k];
        const float* x = from + historyLength - k;
        for (int i = 0; i < count; ++i) even[i] += tap * x[i];
    }
    const float* middle = from + historyLength - kCentre;
    for (int i = 0; i < count; ++i) {
        to[2 * i] = 2.0f * even[i];
        to[2 * i + 1] = 2.0f * (centre * middle[i]);
    }
}

// Filters a stream at twice the rate, given as its even and odd samples
// (history before `historyLength`), and keeps every second output: `count`
// samples at the lower rate. The half-band filter's branch meets the odd
// samples and its centre the even ones; a full filter's even taps meet the
// odd samples and its odd taps the even ones.
template <int kBranch, int kCentre>
static inline void downsampleHalfBand(const float* branch, float centre, const float* even, const float* odd,
                                      int historyLength, float* to, int count) {
    float sums[4 * kMaxFrames];
    const float* middle = even + historyLength - kCentre;
    for (int i = 0; i < count; ++i) sums[i] = centre * middle[i];
    for (int k = 0; k < kBranch; ++k) {
        const float tap = branch[k];
        const float* o = odd + historyLength - k;
        for (int i = 0; i < count; ++i) sums[i] += tap * o[i];
    }
    for (int i = 0; i < count; ++i) to[i] = sums[i];
}

template <int kTaps, typename Out>
static inline void downsample(const float* taps, const float* even, const float* odd, int historyLength,
                              Out* to, int count) {
    float sums[kMaxFrames * 2];
    for (int i = 0; i < count; ++i) sums[i] = 0.0f;
    for (int k = 0; k < kTaps / 2; ++k) {
        const float evenTap = taps[2 * k], oddTap = taps[2 * k + 1];
        const float* e = even + historyLength - k;
        const float* o = odd + historyLength - k;
        for (int i = 0; i < count; ++i) sums[i] += evenTap * o[i] + oddTap * e[i];
    }
    for (int i = 0; i < count; ++i) to[i] = sums[i];
}

// A stream's even and odd samples, written after their histories.
static inline void split(const float* from, float* even, float* odd, int historyLength, int count) {
    for (int i = 0; i < count; ++i) {
        even[historyLength + i] = from[2 * i];
        odd[historyLength + i] = from[2 * i + 1];
    }
}

// The asinh curve over 8x samples, as the mean of the curve between each
// sample and the one before: the difference of its antiderivative
// v asinh v - sqrt(v^2 + 1), divided by the step. `last` and
// `lastAntiderivative` hold the sample before the first and carry the last on.
template <typename In, typename Out>
static inline void shapeAntiderivative(double& lastValue, double& lastAntiderivative, const In* values,
                                       Out* to, int count) {
    double antiderivative[8 * kMaxFrames], curve[8 * kMaxFrames];
    for (int i = 0; i < count; ++i) {
        const double v = values[i];
        const double magnitude = std::fabs(v);
        const double root = std::sqrt(v * v + 1.0);
        const double asinhMagnitude = signalpath::fastLog(magnitude + root);
        antiderivative[i] = magnitude * asinhMagnitude - root;
        curve[i] = v < 0.0 ? -asinhMagnitude : asinhMagnitude;
    }
    auto meanOver = [&](int i, double before, double antiBefore) {
        const double step = values[i] - before;
        const bool small = std::fabs(step) < kSmallStep;
        const double quotient = (antiderivative[i] - antiBefore) / (small ? 1.0 : step);
        return small ? curve[i] : quotient;
    };
    to[0] = meanOver(0, lastValue, lastAntiderivative);
    for (int i = 1; i < count; ++i) to[i] = meanOver(i, values[i - 1], antiderivative[i - 1]);
    lastValue = values[count - 1];
    lastAntiderivative = antiderivative[count - 1];
}

// Keeps the last `historyLength` samples of a buffer filled up to `used`
// samples after its history, at its front.
template <typename T>
static inline void keepHistory(T* buffer, int historyLength, int used) {
    std::memmove(buffer, buffer + used, sizeof(T) * historyLength);
}

// The horn band: `count` samples of u (the band times its drive, in full-level
// units) in, the asinh curve of them, band-limited, out.
static inline void shapeBand(const CleanDriveState& filters, Band& band, const double* u, double* out,
                             int count) {
    if (count <= 0) return;
    constexpr int kUpHistory = kUpBranch - 1, kInnerHistory = kInnerBranch - 1, kTopHistory = kTopBranch - 1;
    constexpr int kDownHistory = kDownPhase - 1;
    for (int i = 0; i < count; ++i) band.input[kUpHistory + i] = static_cast<float>(u[i]);
    upsampleHalfBand<kUpBranch, kUpCentre>(filters.upBranch, filters.upCentre, band.input, kUpHistory,
                                           band.twice + kInnerHistory, count);
    upsampleHalfBand<kInnerBranch, kInnerCentre>(filters.innerBranch, filters.innerCentre, band.twice,
                                                 kInnerHistory, band.fourTimes + kTopHistory, 2 * count);
    float eightTimes[8 * kMaxFrames], shaped[8 * kMaxFrames];
    upsampleHalfBand<kTopBranch, kTopCentre>(filters.topBranch, filters.topCentre, band.fourTimes, kTopHistory,
                                             eightTimes, 4 * count);
    shapeAntiderivative(band.lastValue, band.lastAntiderivative, eightTimes, shaped, 8 * count);
    split(shaped, band.shaped8Even, band.shaped8Odd, kTopHistory, 4 * count);
    float fourTimes[4 * kMaxFrames];
    downsampleHalfBand<kTopBranch, kTopCentre>(filters.topBranch, filters.topCentre, band.shaped8Even,
                                               band.shaped8Odd, kTopHistory, fourTimes, 4 * count);
    split(fourTimes, band.shaped4Even, band.shaped4Odd, kInnerHistory, 2 * count);
    float twice[2 * kMaxFrames];
    downsampleHalfBand<kInnerBranch, kInnerCentre>(filters.innerBranch, filters.innerCentre, band.shaped4Even,
                                                   band.shaped4Odd, kInnerHistory, twice, 2 * count);
    split(twice, band.shaped2Even, band.shaped2Odd, kDownHistory, count);
    downsample<kDownTaps>(filters.downTaps, band.shaped2Even, band.shaped2Odd, kDownHistory, out, count);
    keepHistory(band.input, kUpHistory, count);
    keepHistory(band.twice, kInnerHistory, 2 * count);
    keepHistory(band.fourTimes, kTopHistory, 4 * count);
    keepHistory(band.shaped8Even, kTopHistory, 4 * count);
    keepHistory(band.shaped8Odd, kTopHistory, 4 * count);
    keepHistory(band.shaped4Even, kInnerHistory, 2 * count);
    keepHistory(band.shaped4Odd, kInnerHistory, 2 * count);
    keepHistory(band.shaped2Even, kDownHistory, count);
    keepHistory(band.shaped2Odd, kDownHistory, count);
}

// The drum band: `count` samples of u in, delayed and shaped at the rate.
static inline void shapeDelayedBand(DelayedBand& band, const double* u, double* out, int count) {
    if (count <= 0) return;
    constexpr int kHistory = kDrumDelay + 1;
    for (int i = 0; i < count; ++i) band.input[kHistory + i] = u[i];
    double delayed[kMaxFrames];
    const double* newer = band.input + kHistory - kDrumDelay;
    const double* older = newer - 1;
    for (int i = 0; i < count; ++i) delayed[i] = newer[i] + kDrumFraction * (older[i] - newer[i]);
    shapeAntiderivative(band.lastValue, band.lastAntiderivative, delayed, out, count);
    keepHistory(band.input, kHistory, count);
}

}  // namespace cleandrive
