// The soft saturator of one band: asinh(drive * u) / asinh(drive) for the
// band at u times full level, so full level stays full level and small
// signals are raised by drive / asinh(drive).
#pragma once

#include <cmath>

#include "FastLog.h"

// Full level inside the signal path, and the 32-bit float nearest its inverse.
constexpr double kFullScale = 32767.0;
constexpr double kInverseFullScale = 3.0518509e-05f;

static inline double asinhOf(double z) { return std::log(z + std::sqrt(z * z + 1.0)); }

// The same curve on the audio thread, with the logarithm computed inline.
static inline double fastAsinh(double z) { return fastLog(z + std::sqrt(z * z + 1.0)); }

struct Shaper {
    double drive;  // scales the band (relative to full level) before the curve
    double scale;  // 32767 / asinh(drive): brings full level back to full level
};

static inline Shaper shaperFor(float drive, float driveNorm) { return {drive, driveNorm * kFullScale}; }

static inline double shape(const Shaper& shaper, double band) {
    return fastAsinh(band * shaper.drive * kInverseFullScale) * shaper.scale;
}
