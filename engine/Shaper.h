// The soft saturator's curve: asinh(drive * u) / asinh(drive) for the band
// at u times full level, so full level stays full level and small signals
// are raised by drive / asinh(drive).
#pragma once

#include <cmath>

#include "FastLog.h"
#include "SignalRecords.h"

namespace signalpath {

static inline double asinhOf(double z) { return std::log(z + std::sqrt(z * z + 1.0)); }

// The same curve on the audio thread, with the logarithm computed inline.
static inline double fastAsinh(double z) { return fastLog(z + std::sqrt(z * z + 1.0)); }

static inline Shaper shaperFor(float drive, float driveNorm) { return {drive, driveNorm * kFullScale}; }

static inline double shape(const Shaper& shaper, double band) {
    return fastAsinh(band * shaper.drive * kInverseFullScale) * shaper.scale;
}

}  // namespace signalpath
