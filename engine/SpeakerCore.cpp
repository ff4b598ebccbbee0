#include "SpeakerCore.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "DenormalGuard.h"
#include "LevelTables.h"
#include "RotorDisplay.h"
#include "Shaper.h"

namespace {

// The rotor oscillator holds its amplitude only for steps well below 0.5 per
// sample. Real sample rates give steps below 0.01; the limit matters only for
// rates under about 125 Hz, where it keeps the oscillators from diverging.
constexpr float kMaxRotorSpeed = 0.25f;

inline float limitSpeed(double speed) {
    return static_cast<float>(speed < kMaxRotorSpeed ? speed : kMaxRotorSpeed);
}

// Oscillator step per sample for one tenth of a hertz, times the sample rate.
constexpr double kSpeedUnit = 0.363;
constexpr double kPi = 3.14159265358979323846;

// A speed parameter in rpm as tenths of a hertz: the default speeds give
// exactly the nominal 8, 69, 7 and 64.
double tenthsOfHertz(float rpm) { return rpm / 6.0; }
// A ramp time as its hundredths show it; the defaults give exactly the
// nominal 0.7, 1.8, 4.9 and 7.0 seconds.
double rampSeconds(float seconds) { return std::floor(seconds * 100.0 + 0.5) / 100.0; }

// A depth or tremolo change glides for at least kShortestGlideSeconds. A
// depth's glide lasts kDepthSecondsPerUnit for each 100 % it moves, so the
// horn's deepest tap (1.1 ms of swing times the oscillator's 0.577) moves
// by 0.5 % of real time at most on top of its Doppler: under 9 cents.
constexpr double kShortestGlideSeconds = 0.005, kDepthSecondsPerUnit = 0.125;

// Distortion, balance and separation glide for kLevelGlideSeconds, their
// levels made anew every kLevelStepSamples.
constexpr double kLevelGlideSeconds = 0.050;
constexpr int32_t kLevelStepSamples = 32;

// The rotor oscillators start balanced, at amplitude 1/sqrt(3) and phase 60 degrees.
constexpr float kOscillatorStart[3] = {0.28867513f, 0.28867513f, -0.57735026f};

// Microphone taps: delays in seconds, gains as plain factors.
struct TapRow {
    float baseSeconds, depthSeconds, ampDepth, weightLeft, weightRight;
};
constexpr TapRow kHornTapRows[kHornTaps] = {
    //  base    depth    amp    left   right
    {0.002f,  0.0004f, 0.44f, 1.0f,  0.2f},
    {0.002f,  0.0005f, 0.44f, 0.2f,  1.0f},
    {0.0048f, 0.0011f, 0.46f, 0.51f, 0.49f},
};
constexpr TapRow kDrumTapRows[kDrumTaps] = {
    {0.0035f, 0.0006f, 0.0f, 1.0f, 0.0f},
    {0.0035f, 0.0004f, 0.0f, 0.0f, 1.0f},
};

// Control-change status (any channel) of the speed controller's messages.
constexpr unsigned char kControlChange = 0xB0;

constexpr double kSqrt3 = 1.7320508075688772, kTurn = 2.0 * kPi;

// The angle a rotor faces, in radians [0, 2 pi): 0 where its first
// oscillator value peaks (the horn's loudest into the left microphone),
// growing as it turns.
double rotorAngle(const float osc[3]) {
    const double angle = std::atan2((static_cast<double>(osc[2]) - osc[1]) / kSqrt3, osc[0]);
    return angle < 0.0 ? angle + kTurn : angle;
}

// The brake, followed between segments. When it comes on (or the rest angle
// moves) the rotor is given the angle to turn before it stands: the way to
// the rest angle, plus whole turns if it needs more than that to slow down
// at its braking rate. When it goes off the rotor runs up again.
// A braking rate that changes keeps the plan: if the rotor now needs more
// than the angle left to stop, whole turns are added, so it keeps its speed
// a little longer instead of losing it in one sample, and still stands at
// its rest angle.
void steerRotor(RotorBrakeState& brake, float speed, const float osc[3], bool brakeOn, float rest, float fall) {
    if (!brakeOn) {
        if (brake.motion == kBraking) brake.motion = kReleasing;
        return;
    }
    const double stopping = kSqrt3 * speed * speed / (2.0 * fall);
    auto turnsToAdd = [](double needed) { return kTurn * std::ceil(std::fmax(0.0, needed) / kTurn); };
    if (brake.motion == kBraking && brake.plannedRest == rest) {
        if (brake.plannedFall != fall && brake.toRest > 0.0) brake.toRest += turnsToAdd(stopping - brake.toRest);
        brake.plannedFall = fall;
        return;
    }
    double ahead = rest - rotorAngle(osc);
    ahead -= kTurn * std::floor(ahead / kTurn);
    brake.toRest = ahead + turnsToAdd(stopping - ahead);
    brake.motion = kBraking;
    brake.plannedRest = rest;
    brake.plannedFall = fall;
}

// A glide's length in samples, at least one.
int32_t glideSamples(double seconds, float rate) {
    return static_cast<int32_t>(std::fmax(1.0, std::fmin(seconds * rate + 0.5, 1 << 20)));
}

}  // namespace

SpeakerCore::SpeakerCore(ChangeStyle changeStyle) : style(changeStyle), segmentRunner(bestSegmentRunner()) {
    for (int i = 0; i < kNumCabinetParameters; ++i) {
        const ParameterInfo& row = kCabinetParameters[i];
        values[i] = row.toValue(row.defaultNormalized());
    }
    for (int i = 0; i < 3; ++i) signal.hornOsc[i] = signal.drumOsc[i] = kOscillatorStart[i];
    signal.bandDelay.allocate();
    signal.clean.reset(new CleanDriveState);
    initialiseCleanDrive(*signal.clean);
    SpeakerCoefficients atDefaults{};
    updateGlideTargets(atDefaults);
    updateLevels(atDefaults);
    for (int k = 0; k < kNumGlides; ++k)
        signal.glides[k] = {atDefaults.glideTargets[k], atDefaults.glideTargets[k], 0.0, 0};
    signal.levelGlide.heard = signal.levelGlide.target = atDefaults.levels;
}

SpeakerCore::~SpeakerCore() { signal.bandDelay.release(); }

// --- Parameters, rate and coefficients ------------------------------------------

void SpeakerCore::setParameter(int index, float v) {
    if (static_cast<unsigned>(index) >= static_cast<unsigned>(kNumCabinetParameters)) return;
    values[index] = v;
    updateCoefficientsFor(index);
}

void SpeakerCore::setSampleRate(float newRate) {
    rate = newRate;
    updateCoefficients();
}

void SpeakerCore::noteSampleRate(float newRate) { rate = newRate; }

void SpeakerCore::clearDelays() {
    signal.bandDelay.clear();
    clearCleanDrive(*signal.clean);
}

// Recomputes what depends on one parameter. Each group of coefficients is a
// function of its own parameters and the sample rate only, so this gives
// exactly the values of a full recomputation, as long as the rate has not
// changed since (the combined block-size-and-rate call stores a new rate
// without recomputing; the next parameter change then recomputes all). A
// MIDI speed switch on the audio thread so costs no trigonometry.
void SpeakerCore::updateCoefficientsFor(int index) {
    const float rate = sampleRate();
    if (rate != loadRotors().sampleRate) {
        updateCoefficients();
        return;
    }
    switch (index) {
        case kSpeedToggle:
        case kSlowSpeed:
        case kFastSpeed:
        case kAcceleration:
        case kHornSlow:
        case kHornFast:
        case kDrumSlow:
        case kDrumFast:
        case kHornUp:
        case kHornDown:
        case kDrumUp:
        case kDrumDown:
        case kBrake:
        case kHornRest:
        case kDrumRest:
            coefficients.updatePart<RotorCoefficients>(offsetof(SpeakerCoefficients, rotors),
                                                       [&](RotorCoefficients& r) { updateRotors(r, rate); });
            return;
    }
    coefficients.update([&](SpeakerCoefficients& c) {
        switch (index) {
            case kDistortion:
            case kBalance:
            case kSeparation: updateLevels(c); break;
            case kSpeedKey: updateSpeedController(c); break;
            case kHornDepth:
            case kDrumDepth:
            case kTremolo:
            case kDrive: updateGlideTargets(c); break;
        }
    });
}

// Recomputes every derived value from the parameters and the sample rate;
// the signal state (filter memory, delays, speeds, oscillators) is kept.
void SpeakerCore::updateCoefficients() {
    const float rate = sampleRate();
    coefficients.update([&](SpeakerCoefficients& c) {
        updateFilter(c, rate);
        updateRotors(c.rotors, rate);
        updateTaps(c, rate);
        updateLevels(c);
        updateSpeedController(c);
        updateGlideTargets(c);
    });
}

// The value rounded to float. The filter has always used its coefficients
// at float precision; going through a volatile keeps the optimiser from
// dropping the round trip, which gcc 12 otherwise does for these values.
static double roundedToFloat(double x) {
    const volatile float rounded = static_cast<float>(x);
    return rounded;
}

// Two poles at r * e^(+-j 2 pi 560 / rate): the low band has unity gain at 0 Hz.
void SpeakerCore::updateFilter(SpeakerCoefficients& c, float rate) {
    const double w = 560.0 / rate;
    const double cosine = std::cos(6.2831855 * w);
    const double r = std::exp(-3.1415927 * w * 2.0);
    c.path.filterA1 = roundedToFloat((cosine + cosine) * r);
    c.path.filterA2 = roundedToFloat(std::exp(-6.2831855 * w * 2.0));
    c.path.filterGain = roundedToFloat((1.0 - c.path.filterA1) + c.path.filterA2);
}

// A ramp's time is the full swing's, between the two speeds when switching
// and between a standstill and the fast speed at the brake.
void SpeakerCore::updateRotors(RotorCoefficients& r, float rate) {
    const double slowFactor = 1.0 + value(kSlowSpeed) * 0.01;
    const double fastFactor = 1.0 + value(kFastSpeed) * 0.01;
    r.hornSlow = limitSpeed(tenthsOfHertz(value(kHornSlow)) * slowFactor * kSpeedUnit / rate);
    r.hornFast = limitSpeed(tenthsOfHertz(value(kHornFast)) * fastFactor * kSpeedUnit / rate);
    r.drumSlow = limitSpeed(tenthsOfHertz(value(kDrumSlow)) * slowFactor * kSpeedUnit / rate);
    r.drumFast = limitSpeed(tenthsOfHertz(value(kDrumFast)) * fastFactor * kSpeedUnit / rate);

    const double timeFactor = std::pow(2.0, -value(kAcceleration) * 0.01);
    const double samples = timeFactor * rate;
    const double hornUp = rampSeconds(value(kHornUp)) * samples, hornDown = rampSeconds(value(kHornDown)) * samples;
    const double drumUp = rampSeconds(value(kDrumUp)) * samples, drumDown = rampSeconds(value(kDrumDown)) * samples;
    if (value(kSpeedToggle) >= 0.5f) {
        r.hornStep = static_cast<float>((r.hornFast - r.hornSlow) / hornUp);
        r.drumStep = static_cast<float>((r.drumFast - r.drumSlow) / drumUp);
    } else {
        r.hornStep = static_cast<float>((r.hornSlow - r.hornFast) / hornDown);
        r.drumStep = static_cast<float>((r.drumSlow - r.drumFast) / drumDown);
    }
    r.hornRise = static_cast<float>(r.hornFast / hornUp);
    r.hornFall = static_cast<float>(r.hornFast / hornDown);
    r.drumRise = static_cast<float>(r.drumFast / drumUp);
    r.drumFall = static_cast<float>(r.drumFast / drumDown);
    r.hornRest = static_cast<float>(value(kHornRest) * (kPi / 180.0));
    r.drumRest = static_cast<float>(value(kDrumRest) * (kPi / 180.0));
    r.brake = value(kBrake) >= 0.5f ? 1 : 0;
    r.sampleRate = rate;
}

// Every delay is a time, so the taps sound the same at every sample rate.
static MicrophoneTap placeTap(const TapRow& row, float rate) {
    return {row.baseSeconds * rate, row.depthSeconds * rate, row.ampDepth, row.weightLeft, row.weightRight};
}

// The taps, and the drive mode's course, whose aligning part is a number of
// samples whatever the rate.
void SpeakerCore::updateTaps(SpeakerCoefficients& c, float rate) {
    for (int i = 0; i < kHornTaps; ++i) c.hornTaps[i] = placeTap(kHornTapRows[i], rate);
    for (int i = 0; i < kDrumTaps; ++i) c.drumTaps[i] = placeTap(kDrumTapRows[i], rate);
    const int32_t fade = glideSamples(cleandrive::kFadeSeconds, rate);
    c.path.modeCourseSamples = cleandrive::kAlignSamples + fade + cleandrive::kPrimeSamples;
    c.path.modeAlignEnd = static_cast<double>(cleandrive::kAlignSamples) / c.path.modeCourseSamples;
    c.path.modeFadeEnd = static_cast<double>(cleandrive::kAlignSamples + fade) / c.path.modeCourseSamples;
}

// What the signal path reads of a tap. The crossfeed mixes each microphone
// into the other; folded into the tap gains it costs nothing per sample. The
// delays are kept inside the buffer for any oscillator value within 1.
static TapSettings tapSettings(const MicrophoneTap& tap, double level, double crossfeed) {
    constexpr double kLongest = BandDelay::kSize - 1;
    const double depth = std::fmin(std::fabs(static_cast<double>(tap.delayDepth)), kLongest / 2);
    const double base = std::fmin(std::fmax(static_cast<double>(tap.baseDelay), depth), kLongest - depth);
    const double scale = level * kInverseFullScale / (1.0 + crossfeed);
    return {base, depth, tap.ampDepth, scale * (tap.weightLeft + crossfeed * tap.weightRight),
            scale * (tap.weightRight + crossfeed * tap.weightLeft)};
}

// The shapers (the horn band driven twice as hard as the drum band), the
// band levels, the crossfeed and the tap gains for one distortion, balance
// and separation. Balance keeps the summed power of the two band factors
// constant; the compensation tables lower both bands as the distortion
// rises, read between their settings while the distortion glides.
static void placeLevels(SpeakerCoefficients& c, const LevelSettings& s) {
    const double distortion = s.distortion < 1.0f ? 1.0 : s.distortion;
    c.hornDrive = static_cast<float>(distortion * 0.25);
    c.hornDriveNorm = static_cast<float>(1.0 / signalpath::asinhOf(c.hornDrive));
    c.drumDrive = static_cast<float>(0.5 * distortion * 0.25);
    c.drumDriveNorm = static_cast<float>(1.0 / signalpath::asinhOf(c.drumDrive));
    c.path.hornShaper = signalpath::shaperFor(c.hornDrive, c.hornDriveNorm);
    c.path.drumShaper = signalpath::shaperFor(c.drumDrive, c.drumDriveNorm);

    const int setting = static_cast<int>(s.distortion);
    const double between = s.distortion - setting;
    auto compensation = [&](int (*table)(int)) {
        const double at = table(setting);
        return between > 0.0 ? at + between * (table(setting + 1) - at) : at;
    };
    double balance = (s.balance + 50.0) * 0.01;
    if (balance < 0.0)
        balance = 0.0;
    else if (balance > 1.0)
        balance = 1.0;
    const double norm = std::sqrt(((1.0 - balance) * (1.0 - balance) + balance * balance) * 0.5);
    c.drumLevel = static_cast<float>(0.01 * compensation(drumCompensation) * (1.0 - balance) / norm);
    c.hornLevel = static_cast<float>(0.01 * compensation(hornCompensation) * balance / norm);
    c.crossfeed = static_cast<float>(1.0 + -0.01 * s.separation);

    for (int i = 0; i < kHornTaps; ++i) c.path.taps[i] = tapSettings(c.hornTaps[i], c.hornLevel, c.crossfeed);
    for (int i = 0; i < kDrumTaps; ++i)
        c.path.taps[kHornTaps + i] = tapSettings(c.drumTaps[i], c.drumLevel, c.crossfeed);
}

void SpeakerCore::updateLevels(SpeakerCoefficients& c) {
    c.levels = {value(kDistortion), value(kBalance), value(kSeparation)};
    placeLevels(c, c.levels);
}

void SpeakerCore::updateSpeedController(SpeakerCoefficients& c) {
    const SpeedKeyRow* key = speedKeyAt(static_cast<int>(value(kSpeedKey)));
    c.speedController = key ? key->controller : -1;
}

void SpeakerCore::updateGlideTargets(SpeakerCoefficients& c) {
    c.glideTargets[kGlideHornDepth] = value(kHornDepth) / 100.0f;
    c.glideTargets[kGlideDrumDepth] = value(kDrumDepth) / 100.0f;
    c.glideTargets[kGlideTremolo] = value(kTremolo) / 100.0f;
    c.glideTargets[kGlideMode] = value(kDrive) >= 0.5f ? 1.0f : 0.0f;
}

RotorCoefficients SpeakerCore::loadRotors() const {
    return coefficients.loadPart<RotorCoefficients>(offsetof(SpeakerCoefficients, rotors));
}

// The rotor positions follow the speed at the start of each segment,
// advanced in double precision. A rotor the brake holds is shown at its true
// angle, so the cabinet shows it slowing into its rest angle and standing
// there; released, it runs on from there.
void SpeakerCore::advancePositions(int frames, const SpeakerCoefficients& c) {
    const double seconds = frames / static_cast<double>(sampleRate());
    const double madeFor = c.rotors.sampleRate;
    signal.hornPosition =
        signal.hornBrake.motion == kBraking
            ? wrapTurns(rotorAngle(signal.hornOsc) / kTurn)
            : wrapTurns(signal.hornPosition + hornTurnsPerSecond(signal.hornSpeed, madeFor) * seconds);
    signal.drumPosition =
        signal.drumBrake.motion == kBraking
            ? wrapTurns(rotorAngle(signal.drumOsc) / kTurn)
            : wrapTurns(signal.drumPosition + drumTurnsPerSecond(signal.drumSpeed, madeFor) * seconds);
}

void SpeakerCore::steerRotors(const RotorCoefficients& r) {
    steerRotor(signal.hornBrake, signal.hornSpeed, signal.hornOsc, r.brake != 0, r.hornRest, r.hornFall);
    steerRotor(signal.drumBrake, signal.drumSpeed, signal.drumOsc, r.brake != 0, r.drumRest, r.drumFall);
}

// A glide whose target changed starts toward the new one from where it is,
// for its share of the whole course. The band-limited saturators start
// from silent memory when the drive mode leaves the plain ones.
void SpeakerCore::startGlides(const SpeakerCoefficients& c) {
    for (int k = 0; k < kNumGlides; ++k) {
        Glide& glide = signal.glides[k];
        const double target = c.glideTargets[k];
        if (!signal.heardSinceStart) {
            glide = {target, target, 0.0, 0};
            continue;
        }
        if (target == glide.target) continue;
        const double distance = std::fabs(target - glide.value);
        int32_t samples;
        if (k == kGlideMode) {
            if (glide.value == 0.0) clearCleanDrive(*signal.clean);
            samples = static_cast<int32_t>(std::fmax(1.0, std::ceil(distance * c.path.modeCourseSamples)));
        } else {
            const double depthSeconds = k == kGlideTremolo ? 0.0 : distance * kDepthSecondsPerUnit;
            samples = glideSamples(std::fmax(kShortestGlideSeconds, depthSeconds), rate);
        }
        glide = {glide.value, target, (target - glide.value) / samples, samples};
    }
}

// The first segment after this finds nothing heard, and puts every glide
// at its end (startGlides, followLevels).
void SpeakerCore::settleChanges() { signal.heardSinceStart = false; }

// Smooth: a block whose levels differ from the ones on their way starts a
// glide toward them from where the levels are, and the block runs with
// the levels heard, not the ones set.
void SpeakerCore::followLevels() {
    if (style != ChangeStyle::Smooth) return;
    LevelGlide& glide = signal.levelGlide;
    if (!signal.heardSinceStart) {
        glide = LevelGlide{};
        glide.heard = glide.target = running.levels;
        return;
    }
    if (running.levels != glide.target) {
        const int32_t steps = glideSamples(kLevelGlideSeconds / kLevelStepSamples, sampleRate());
        glide.target = running.levels;
        glide.distortionRoot = std::sqrt(std::fmax(0.0f, glide.heard.distortion));
        glide.distortionRootStep = (std::sqrt(std::fmax(0.0f, glide.target.distortion)) - glide.distortionRoot) / steps;
        glide.balanceStep = (glide.target.balance - glide.heard.balance) / steps;
        glide.separationStep = (glide.target.separation - glide.heard.separation) / steps;
        glide.stepsLeft = steps;
        glide.samplesToStep = 0;
    }
    if (glide.heard != running.levels) placeLevels(running, glide.heard);
}

void SpeakerCore::stepLevels() {
    LevelGlide& glide = signal.levelGlide;
    if (--glide.stepsLeft == 0) {
        glide.heard = glide.target;
    } else {
        glide.distortionRoot += glide.distortionRootStep;
        glide.heard.distortion = static_cast<float>(glide.distortionRoot * glide.distortionRoot);
        glide.heard.balance = static_cast<float>(glide.heard.balance + glide.balanceStep);
        glide.heard.separation = static_cast<float>(glide.heard.separation + glide.separationStep);
    }
    placeLevels(running, glide.heard);
    glide.samplesToStep = kLevelStepSamples;
}

// One rotor's working copy: its state, and the coefficients it moves by.
static RotorState rotorState(float speed, double carried, const float osc[3], const RotorBrakeState& brake,
                             float step, float slow, float fast, float rise, float fall, bool smooth) {
    return {speed, step, slow, fast, {osc[0], osc[1], osc[2]}, brake.motion, rise, fall, brake.toRest, -1.0,
            smooth ? 1 : 0, carried};
}

SignalPath SpeakerCore::loadSignalPath(const SpeakerCoefficients& c) const {
    SignalPath path;
    static_cast<PathCoefficients&>(path) = c.path;
    const RotorCoefficients& r = c.rotors;
    path.filterY1 = signal.filterY1;
    path.filterY2 = signal.filterY2;
    const bool smooth = style == ChangeStyle::Smooth && signal.heardSinceStart;
    path.horn = rotorState(signal.hornSpeed, signal.hornCarried, signal.hornOsc, signal.hornBrake, r.hornStep,
                           r.hornSlow, r.hornFast, r.hornRise, r.hornFall, smooth);
    path.drum = rotorState(signal.drumSpeed, signal.drumCarried, signal.drumOsc, signal.drumBrake, r.drumStep,
                           r.drumSlow, r.drumFast, r.drumRise, r.drumFall, smooth);
    for (int k = 0; k < kNumGlides; ++k) path.glides[k] = signal.glides[k];
    path.clean = signal.clean.get();
    path.hornBuffer = signal.bandDelay.hornBuffer.get();
    path.drumBuffer = signal.bandDelay.drumBuffer.get();
    path.writeIndex = signal.bandDelay.writeIndex;
    return path;
}

void SpeakerCore::storeSignalPath(const SignalPath& path) {
    signal.filterY1 = path.filterY1;
    signal.filterY2 = path.filterY2;
    signal.hornSpeed = path.horn.speed;
    signal.drumSpeed = path.drum.speed;
    signal.hornCarried = path.horn.carried;
    signal.drumCarried = path.drum.carried;
    signal.hornBrake.motion = path.horn.motion;
    signal.hornBrake.toRest = path.horn.toRest;
    signal.drumBrake.motion = path.drum.motion;
    signal.drumBrake.toRest = path.drum.toRest;
    for (int k = 0; k < kNumGlides; ++k) signal.glides[k] = path.glides[k];
    for (int i = 0; i < 3; ++i) {
        signal.hornOsc[i] = path.horn.osc[i];
        signal.drumOsc[i] = path.drum.osc[i];
    }
    signal.bandDelay.writeIndex = path.writeIndex;
}

// A run of samples without a speed switch, through the signal path built
// for this processor.
void SpeakerCore::processSegment(const float* inLeft, const float* inRight, float* outLeft,
                                   float* outRight, int frames,
                                   const SpeakerCoefficients& c) {
    DenormalGuard flushDenormals;
    advancePositions(frames, c);
    steerRotors(c.rotors);
    startGlides(c);
    SignalPath path = loadSignalPath(c);
    segmentRunner(path, inLeft, inRight, outLeft, outRight, frames);
    storeSignalPath(path);
    signal.heardSinceStart = true;
}

// --- Processing ------------------------------------------------------------------

void SpeakerCore::beginBlock() {
    running = coefficients.load();
    followLevels();
}

// While the levels glide the stretch runs in pieces between their steps.
void SpeakerCore::processStretch(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                                 int frames) {
    LevelGlide& glide = signal.levelGlide;
    while (frames > 0) {
        int piece = frames;
        if (glide.stepsLeft > 0) {
            if (glide.samplesToStep == 0) stepLevels();
            piece = std::min(piece, static_cast<int>(glide.samplesToStep));
            glide.samplesToStep -= piece;
        }
        processSegment(inLeft, inRight, outLeft, outRight, piece, running);
        inLeft += piece;
        inRight += piece;
        outLeft += piece;
        outRight += piece;
        frames -= piece;
    }
}

void SpeakerCore::rotorsChanged() { running.rotors = loadRotors(); }

// A rotor turns atan(sqrt(3) * speed) radians a sample.
void SpeakerCore::publishReadings() {
    const double rpmPerRadian = sampleRate() * 60.0 / kTurn;
    readings[kHornAngle] = static_cast<float>(rotorAngle(signal.hornOsc) * (180.0 / kPi));
    readings[kDrumAngle] = static_cast<float>(rotorAngle(signal.drumOsc) * (180.0 / kPi));
    readings[kHornRpm] = static_cast<float>(std::atan(kSqrt3 * signal.hornSpeed) * rpmPerRadian);
    readings[kDrumRpm] = static_cast<float>(std::atan(kSqrt3 * signal.drumSpeed) * rpmPerRadian);
}

// A control change of the speed controller: its value 64..127 means fast,
// 0..63 slow; a message of one to three bytes, missing bytes read as 0.
int SpeakerCore::speedSwitchOf(const uint8_t* bytes, size_t size) const {
    if (!bytes || size < 1 || size > 3 || running.speedController < 0) return -1;
    const uint8_t message[3] = {bytes[0], size > 1 ? bytes[1] : uint8_t{0}, size > 2 ? bytes[2] : uint8_t{0}};
    if ((message[0] & 0xF0) != kControlChange || static_cast<signed char>(message[1]) != running.speedController)
        return -1;
    return static_cast<signed char>(message[2]) >= 64 ? 1 : 0;
}

bool SpeakerCore::switchSpeed(bool toFast) {
    if ((value(kSpeedToggle) >= 0.5f) == toFast) return false;
    setParameter(kSpeedToggle, toFast ? 1.0f : 0.0f);
    rotorsChanged();
    return true;
}
