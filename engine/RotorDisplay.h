// How fast the editor's cabinet animation turns for a rotor speed, and how
// its position wraps. Shared by the engine, its tests and the benchmark.
#pragma once

#include <cmath>

// A rotor speed is an oscillator step per sample; times the sample rate and
// this factor it is the rotor's frequency in hertz. It is 1 / (10 * 0.363)
// = 0.275482093..., the inverse of the engine's step per sample for a tenth
// of a hertz times the rate, cut (not rounded) after eight digits.
constexpr double kHertzPerStepRate = 0.27548208;

// The animation turns at a straight-line function of the rotor frequency,
// so that at fast speed its 72 frames a turn stay readable:
// the horn 0.808 turns a second at its slow 0.8 Hz, 4.70 at its fast 6.9 Hz;
constexpr double kHornTurnsPerHertz = 0.638, kHornTurnsOffset = 0.298;
// the drum 0.583 turns a second at its slow 0.7 Hz, 3.91 at its fast 6.4 Hz.
constexpr double kDrumTurnsPerHertz = 0.583, kDrumTurnsOffset = 0.175;

// Animation turns per second of a rotor at `speed` (step per sample) for
// coefficients made at `sampleRate`.
inline double hornTurnsPerSecond(double speed, double sampleRate) {
    return speed * (sampleRate * kHertzPerStepRate) * kHornTurnsPerHertz + kHornTurnsOffset;
}
inline double drumTurnsPerSecond(double speed, double sampleRate) {
    return speed * (sampleRate * kHertzPerStepRate) * kDrumTurnsPerHertz + kDrumTurnsOffset;
}

// A position in turns brought into [0, 1), with floor rather than repeated
// subtraction so no value can stall it; rounding to float may reach 1,
// which is 0 again.
inline float wrapTurns(double position) {
    position -= std::floor(position);
    const float stored = static_cast<float>(position);
    return stored < 1.0f ? stored : 0.0f;
}
