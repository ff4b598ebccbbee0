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
};

// One rotor: its speed between two limits, ramping by a signed step each
// sample, and its angle as a balanced three-phase oscillator.
struct RotorState {
    float speed;
    float step;
    float slow;
    float fast;
    float osc[3];
};

// The working copy for one run of samples: the coefficients, then the
// state that is stored back afterwards.
struct SignalPath : PathCoefficients {
    float filterY1, filterY2;
    RotorState horn, drum;
    float* hornBuffer;
    float* drumBuffer;
    int32_t writeIndex;
};
