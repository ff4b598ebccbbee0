// The plain records the signal path works on. The engine keeps its
// coefficients and state in its own records and builds a SignalPath from
// them for each run of samples; the code that runs it is in SignalPath.h.
#pragma once

#include <cstdint>

// Full level inside the signal path, and the 32-bit float nearest its inverse.
constexpr double kFullScale = 32767.0;
constexpr double kInverseFullScale = 3.0518509e-05f;

// The soft saturator of one band: asinh(drive * u) / asinh(drive) for the
// band at u times full level.
struct Shaper {
    double drive;  // scales the band (relative to full level) before the curve
    double scale;  // 32767 / asinh(drive): brings full level back to full level
};

// One microphone tap on a delay line. The gains fold together the tap's
// microphone weight, the band level, the output scale and the crossfeed, so
// the mix is one multiply-add per tap and output. The delay swings by at most
// delayDepth either side of baseDelay (the oscillator values stay within 1),
// and both are limited so that it stays within the buffer; that matters
// only above about 750 kHz.
struct TapSettings {
    double baseDelay;   // samples
    double delayDepth;  // samples per unit of oscillator value
    double ampDepth;    // gain change per unit of oscillator value (0 for the drum)
    double gainLeft;
    double gainRight;
};

constexpr int kHornTaps = 3;
constexpr int kDrumTaps = 2;
constexpr int kTaps = kHornTaps + kDrumTaps;  // the horn's taps, then the drum's

// What the signal path reads and never writes.
struct PathCoefficients {
    double filterA1, filterA2, filterGain;
    Shaper hornShaper, drumShaper;
    TapSettings taps[kTaps];
    // The drive mode's course (kGlideMode) in samples, and where it ends
    // aligning and fading, as fractions of it (see cleandrive::plainDelayAt).
    int32_t modeCourseSamples;
    double modeAlignEnd, modeFadeEnd;
};

// What a rotor's speed follows. Spinning, it ramps by a signed step each
// sample between its two limits; braking, it runs down to a standstill at a
// planned angle; releasing from the brake, it runs up until it reaches the
// limit the switch selects and spins again.
enum RotorMotion : int32_t { kSpinning = 0, kBraking, kReleasing };

// One rotor: its speed, its motion, and its angle as a balanced three-phase
// oscillator, which turns by atan(sqrt(3) * speed) radians each sample.
struct RotorState {
    float speed;
    float step;
    float slow;
    float fast;
    float osc[3];
    int32_t motion;
    float rise;     // speed gained per sample running up from the brake
    float fall;     // speed lost per sample braking
    double toRest;  // braking: radians still to turn before the standstill
    double turn;    // braking: radians the speed turns a sample (negative: not known)
    // Spinning outside its limits (they moved past its speed), the rotor
    // rides its ramps back to the nearer one, and a ramp's step too fine
    // for the float speed carries its rounding on (1); or the rotor is put
    // on the nearer limit at once and each step rounds alone (0).
    int32_t smooth;
    double carried;  // the rounding a fine step left, added to the next
};

// A value moving linearly to its target, so that a depth or mode change
// does not step the sound.
struct Glide {
    double value;
    double target;
    double step;
    int32_t remaining;  // samples until value is target
};

// Which glide moves what: the horn's and the drum's Doppler swing, the
// horn's level swing (all as factors of their nominal depths), and the
// drive mode's course from the plain saturators (0) to the band-limited
// ones (1), which first delays the plain ones to the band-limited ones'
// latency and then fades (see cleandrive::modeMix).
enum GlideIndex : int { kGlideHornDepth = 0, kGlideDrumDepth, kGlideTremolo, kGlideMode, kNumGlides };

struct CleanDriveState;

// The working copy for one run of samples: the coefficients, then the
// state that is stored back afterwards.
struct SignalPath : PathCoefficients {
    float filterY1, filterY2;
    RotorState horn, drum;
    Glide glides[kNumGlides];
    CleanDriveState* clean;  // the band-limited saturators' filter memory
    float* hornBuffer;
    float* drumBuffer;
    int32_t writeIndex;
};
