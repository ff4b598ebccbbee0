// The speaker engine's two records: the coefficients, which every
// parameter or sample-rate change derives anew on whatever thread made the
// change, and the signal state, which only the audio thread touches.
#pragma once

#include <cstdint>
#include <memory>

#include "BandDelay.h"
#include "CleanDrive.h"
#include "Relaxed.h"
#include "SignalRecords.h"

// A microphone tap as placed for the sample rate: where it reads and how
// much of it each microphone hears. The horn's taps also swing in level;
// the drum's have no level swing (ampDepth 0).
struct MicrophoneTap {
    float baseDelay;   // samples
    float delayDepth;  // samples per unit of oscillator value
    float ampDepth;    // gain change per unit of oscillator value
    float weightLeft;
    float weightRight;
};

// The rotors' speed limits and ramp steps, in oscillator steps per sample,
// and the sample rate they were made for. A MIDI speed switch rewrites them
// on the audio thread, so they share no 8-byte word with the other fields.
struct alignas(8) RotorCoefficients {
    float hornSlow, hornFast, drumSlow, drumFast;
    float hornStep, drumStep;  // signed change of speed per sample
    // Running up from the brake and braking: each rotor's fast speed over its
    // up and down ramp times.
    float hornRise, hornFall, drumRise, drumFall;
    float hornRest, drumRest;  // where braked rotors stop, radians
    int32_t brake;             // whether the brake is on
    float sampleRate;
};

// The settings the band levels and the shapers are made from.
struct LevelSettings {
    float distortion, balance, separation;
    bool operator==(const LevelSettings& o) const {
        return distortion == o.distortion && balance == o.balance && separation == o.separation;
    }
    bool operator!=(const LevelSettings& o) const { return !(*this == o); }
};

// Everything updateCoefficients derives from the parameters and the rate.
struct alignas(8) SpeakerCoefficients {
    PathCoefficients path;  // what the signal path reads, made from the fields below
    RotorCoefficients rotors;
    float hornDrive, hornDriveNorm, drumDrive, drumDriveNorm;
    float hornLevel, drumLevel, crossfeed;
    LevelSettings levels;  // what the four lines above and the path's shapers and tap gains are made from
    MicrophoneTap hornTaps[kHornTaps];
    MicrophoneTap drumTaps[kDrumTaps];
    int32_t speedController;  // MIDI controller number, or -1 for none
    // What the glides move to: the depths as factors of their nominal
    // values, and the band-limited saturators' share (0 or 1).
    float glideTargets[kNumGlides];
};

// How a rotor follows the brake: its motion, the angle left to turn while
// braking, and the rest angle that turn was planned for.
struct RotorBrakeState {
    int32_t motion = kSpinning;
    double toRest = 0.0;
    float plannedRest = 0.0f;
    float plannedFall = 0.0f;  // the braking rate the turn left was last checked against
};

// Where the levels a listener hears are on their way to the ones set: they
// move in steps of a few samples, each one made anew. The distortion moves
// evenly in its square root: the low settings, where the level changes
// most for each unit, take longer.
struct LevelGlide {
    LevelSettings heard, target;
    double distortionRoot = 0.0, distortionRootStep = 0.0, balanceStep = 0.0, separationStep = 0.0;
    int32_t stepsLeft = 0;
    int32_t samplesToStep = 0;  // before the next step
};

struct SignalState {
    float filterY1 = 0.0f, filterY2 = 0.0f;
    BandDelay bandDelay;
    float hornSpeed = 0.0f, drumSpeed = 0.0f;
    double hornCarried = 0.0, drumCarried = 0.0;  // see RotorState::carried
    float hornOsc[3] = {};
    float drumOsc[3] = {};
    RotorBrakeState hornBrake, drumBrake;
    Glide glides[kNumGlides] = {};
    LevelGlide levelGlide;
    // Whether a sample has been heard since the start (or the last settle):
    // until then every change takes effect at once, as nothing was heard to
    // glide from, and the rotors are put inside their limits at once.
    bool heardSinceStart = false;
    // The band-limited saturators' filters and memory, allocated once.
    std::unique_ptr<CleanDriveState> clean;
    // Rotor positions for the editor, in turns [0, 1); read on other threads.
    Relaxed<float> hornPosition{0.0f}, drumPosition{0.0f};
};
