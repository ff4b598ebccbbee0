// The alias floor of the sound core's saturators: a sine at -1 dBFS with
// distortion 100 and the rotors braked to a standstill (so nothing but the
// saturators makes new lines), its output's spectrum under a
// Blackman-Harris window, and the strongest line that is neither the tone
// nor one of its harmonics below half the sample rate, in dB below the tone.
// Shared by the engine's tests, the plug-ins' tests and the drive benchmark.
#pragma once

#include <cmath>
#include <complex>
#include <utility>
#include <vector>

#include "SpeakerCore.h"

namespace aliasfloor {

constexpr double kPi = 3.14159265358979323846;
constexpr int kLength = 65536;

inline void fft(std::vector<std::complex<double>>& a) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const std::complex<double> unit = std::polar(1.0, -2.0 * kPi / static_cast<double>(length));
        for (size_t i = 0; i < n; i += length) {
            std::complex<double> w(1.0);
            for (size_t j = 0; j < length / 2; ++j) {
                const std::complex<double> u = a[i + j], v = a[i + j + length / 2] * w;
                a[i + j] = u + v;
                a[i + j + length / 2] = u - v;
                w *= unit;
            }
        }
    }
}

// The tone's level, and the strongest line that is neither the tone nor
// one of its harmonics below half the rate, in dB, of kLength frames of
// output.
struct Lines {
    double tone, worstOther;
};
inline Lines linesOf(const float* out, double rate, double tone) {
    std::vector<std::complex<double>> spectrum(kLength);
    for (int i = 0; i < kLength; ++i) {
        const double t = 2.0 * kPi * i / kLength;
        const double window =
            0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) - 0.01168 * std::cos(3 * t);
        spectrum[i] = out[i] * window;
    }
    fft(spectrum);
    const double bin = rate / kLength;
    auto level = [&](int i) { return 20.0 * std::log10(std::abs(spectrum[i]) + 1e-30); };
    Lines lines{-1e9, -1e9};
    const int toneBin = static_cast<int>(std::lround(tone / bin));
    for (int i = toneBin - 8; i <= toneBin + 8; ++i) lines.tone = std::max(lines.tone, level(i));
    for (int i = 8; i < kLength / 2; ++i) {
        const double f = i * bin;
        const double harmonic = std::round(f / tone);
        const bool nearHarmonic =
            harmonic >= 1 && std::fabs(f - harmonic * tone) < 8 * bin && harmonic * tone < rate / 2;
        if (!nearHarmonic) lines.worstOther = std::max(lines.worstOther, level(i));
    }
    return lines;
}

// The settings the measurement runs with, and its input.
inline void setUp(SpeakerCore& core) {
    core.setParameter(kDistortion, 100.0f);
    core.setParameter(kBrake, kBrakeOn);
    core.setParameter(kHornDown, 0.1f);
    core.setParameter(kDrumDown, 0.1f);
}
inline float input(long i, double rate, double tone) {
    return static_cast<float>(0.891 * std::sin(2.0 * kPi * tone * i / rate));
}

// Renders the tone through `core` (set up by the caller) for two seconds to
// let the brake stop the rotors, then kLength frames that are measured.
inline double measure(SpeakerCore& core, float rate, double tone = 5000.0) {
    setUp(core);
    const int settle = static_cast<int>(rate) * 2;
    std::vector<float> in(static_cast<size_t>(settle + kLength)), left(in.size()), right(in.size());
    for (size_t i = 0; i < in.size(); ++i) in[i] = input(static_cast<long>(i), rate, tone);
    constexpr int kPiece = 512;
    for (size_t at = 0; at < in.size(); at += kPiece) {
        const int frames = static_cast<int>(std::min<size_t>(kPiece, in.size() - at));
        core.beginBlock();
        core.processStretch(&in[at], &in[at], &left[at], &right[at], frames);
    }
    const Lines lines = linesOf(&left[settle], rate, tone);
    return lines.worstOther - lines.tone;
}

}  // namespace aliasfloor
