#include "SpeakerEngine.h"

#include <cmath>
#include <cstddef>

#include "DenormalGuard.h"
#include "LevelTables.h"
#include "RotorDisplay.h"
#include "Shaper.h"
#include "SpeakerDescriptor.h"

namespace {

// The rotor oscillator holds its amplitude only for steps well below 0.5 per
// sample. Real sample rates give steps below 0.01; the limit matters only for
// rates under about 125 Hz, where it keeps the oscillators from diverging.
constexpr float kMaxRotorSpeed = 0.25f;

inline float limitSpeed(double speed) {
    return static_cast<float>(speed < kMaxRotorSpeed ? speed : kMaxRotorSpeed);
}

// Nominal rotor frequencies, in tenths of a hertz.
constexpr double kHornSlowTenths = 8.0, kHornFastTenths = 69.0;
constexpr double kDrumSlowTenths = 7.0, kDrumFastTenths = 64.0;
// Oscillator step per sample for one tenth of a hertz, times the sample rate.
constexpr double kSpeedUnit = 0.363;
// Full-range ramp times in seconds at acceleration 0.
constexpr double kHornUpSeconds = 0.7, kHornDownSeconds = 1.8;
constexpr double kDrumUpSeconds = 4.9, kDrumDownSeconds = 7.0;

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

constexpr unsigned char kControlChange = 0xB0;

}  // namespace

SpeakerEngine::SpeakerEngine(audioMasterCallback audioMaster)
    : PluginBase(audioMaster, kSpeakerDescriptor), segmentRunner(bestSegmentRunner()) {
    for (int i = 0; i < 3; ++i) signal.hornOsc[i] = signal.drumOsc[i] = kOscillatorStart[i];
    signal.bandDelay.allocate();
    setProgram(0);
}

SpeakerEngine::~SpeakerEngine() { signal.bandDelay.release(); }

// --- Parameters and coefficients ---------------------------------------------

void SpeakerEngine::setParameter(VstInt32 index, float value) {
    PluginBase::setParameter(index, value);
    if (static_cast<uint32_t>(index) < kNumSpeakerParameters) updateCoefficientsFor(index);
    if (editor) editor->postUpdate();
}

// Recomputes what depends on one parameter. Each group of coefficients is a
// function of its own parameters and the sample rate only, so this gives
// exactly the values of a full recomputation, as long as the rate has not
// changed since (the combined block-size-and-rate call stores a new rate
// without recomputing; the next parameter change then recomputes all). A
// MIDI speed switch on the audio thread so costs no trigonometry.
void SpeakerEngine::updateCoefficientsFor(VstInt32 index) {
    const float rate = getSampleRate();
    if (rate != loadRotors().sampleRate) {
        updateCoefficients();
        return;
    }
    switch (index) {
        case kSpeedToggle:
        case kSlowSpeed:
        case kFastSpeed:
        case kAcceleration:
            coefficients.updatePart<RotorCoefficients>(offsetof(SpeakerCoefficients, rotors),
                                                       [&](RotorCoefficients& r) { updateRotors(r, rate); });
            return;
    }
    coefficients.update([&](SpeakerCoefficients& c) {
        switch (index) {
            case kDistortion:
                updateShapers(c);
                updateLevels(c);
                updatePathTaps(c);
                break;
            case kBalance:
            case kSeparation:
                updateLevels(c);
                updatePathTaps(c);
                break;
            case kSpeedKey: updateSpeedController(c); break;
        }
    });
}

void SpeakerEngine::setSampleRate(float rate) {
    PluginBase::setSampleRate(rate);
    updateCoefficients();
}

void SpeakerEngine::resume() {
    PluginBase::resume();
    signal.bandDelay.clear();
}

// Recomputes every derived value from the parameters and the sample rate;
// the signal state (filter memory, delays, speeds, oscillators) is kept.
void SpeakerEngine::updateCoefficients() {
    const float rate = getSampleRate();
    coefficients.update([&](SpeakerCoefficients& c) {
        updateFilter(c, rate);
        updateShapers(c);
        updateRotors(c.rotors, rate);
        updateTaps(c, rate);
        updateLevels(c);
        updatePathTaps(c);
        updateSpeedController(c);
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
void SpeakerEngine::updateFilter(SpeakerCoefficients& c, float rate) {
    const double w = 560.0 / rate;
    const double cosine = std::cos(6.2831855 * w);
    const double r = std::exp(-3.1415927 * w * 2.0);
    c.path.filterA1 = roundedToFloat((cosine + cosine) * r);
    c.path.filterA2 = roundedToFloat(std::exp(-6.2831855 * w * 2.0));
    c.path.filterGain = roundedToFloat((1.0 - c.path.filterA1) + c.path.filterA2);
}

// The horn band is driven twice as hard as the drum band.
void SpeakerEngine::updateShapers(SpeakerCoefficients& c) {
    double distortion = realValue(kDistortion);
    if (distortion < 1.0) distortion = 1.0;
    c.hornDrive = static_cast<float>(distortion * 0.25);
    c.hornDriveNorm = static_cast<float>(1.0 / signalpath::asinhOf(c.hornDrive));
    c.drumDrive = static_cast<float>(0.5 * distortion * 0.25);
    c.drumDriveNorm = static_cast<float>(1.0 / signalpath::asinhOf(c.drumDrive));
    c.path.hornShaper = signalpath::shaperFor(c.hornDrive, c.hornDriveNorm);
    c.path.drumShaper = signalpath::shaperFor(c.drumDrive, c.drumDriveNorm);
}

void SpeakerEngine::updateRotors(RotorCoefficients& r, float rate) {
    const double slowFactor = 1.0 + realValue(kSlowSpeed) * 0.01;
    const double fastFactor = 1.0 + realValue(kFastSpeed) * 0.01;
    r.hornSlow = limitSpeed(kHornSlowTenths * slowFactor * kSpeedUnit / rate);
    r.hornFast = limitSpeed(kHornFastTenths * fastFactor * kSpeedUnit / rate);
    r.drumSlow = limitSpeed(kDrumSlowTenths * slowFactor * kSpeedUnit / rate);
    r.drumFast = limitSpeed(kDrumFastTenths * fastFactor * kSpeedUnit / rate);

    const double timeFactor = std::pow(2.0, -realValue(kAcceleration) * 0.01);
    const double samples = timeFactor * rate;
    if (getParameter(kSpeedToggle) >= 0.5f) {
        r.hornStep = static_cast<float>((r.hornFast - r.hornSlow) / (kHornUpSeconds * samples));
        r.drumStep = static_cast<float>((r.drumFast - r.drumSlow) / (kDrumUpSeconds * samples));
    } else {
        r.hornStep = static_cast<float>((r.hornSlow - r.hornFast) / (kHornDownSeconds * samples));
        r.drumStep = static_cast<float>((r.drumSlow - r.drumFast) / (kDrumDownSeconds * samples));
    }
    r.sampleRate = rate;
}

// Every delay is a time, so the taps sound the same at every sample rate.
static MicrophoneTap placeTap(const TapRow& row, float rate) {
    return {row.baseSeconds * rate, row.depthSeconds * rate, row.ampDepth, row.weightLeft, row.weightRight};
}

void SpeakerEngine::updateTaps(SpeakerCoefficients& c, float rate) {
    for (int i = 0; i < kHornTaps; ++i) c.hornTaps[i] = placeTap(kHornTapRows[i], rate);
    for (int i = 0; i < kDrumTaps; ++i) c.drumTaps[i] = placeTap(kDrumTapRows[i], rate);
}

// Balance keeps the summed power of the two band factors constant; the
// compensation tables lower both bands as the distortion rises.
void SpeakerEngine::updateLevels(SpeakerCoefficients& c) {
    const float distortion = realValue(kDistortion);
    const int setting = static_cast<int>(distortion);
    double balance = (realValue(kBalance) + 50.0) * 0.01;
    if (balance < 0.0)
        balance = 0.0;
    else if (balance > 1.0)
        balance = 1.0;
    const double norm = std::sqrt(((1.0 - balance) * (1.0 - balance) + balance * balance) * 0.5);
    c.drumLevel = static_cast<float>(0.01 * drumCompensation(setting) * (1.0 - balance) / norm);
    c.hornLevel = static_cast<float>(0.01 * hornCompensation(setting) * balance / norm);
    c.crossfeed = static_cast<float>(1.0 + -0.01 * realValue(kSeparation));
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

void SpeakerEngine::updatePathTaps(SpeakerCoefficients& c) {
    for (int i = 0; i < kHornTaps; ++i) c.path.taps[i] = tapSettings(c.hornTaps[i], c.hornLevel, c.crossfeed);
    for (int i = 0; i < kDrumTaps; ++i)
        c.path.taps[kHornTaps + i] = tapSettings(c.drumTaps[i], c.drumLevel, c.crossfeed);
}

void SpeakerEngine::updateSpeedController(SpeakerCoefficients& c) {
    const SpeedKeyRow* key = speedKeyAt(static_cast<int>(realValue(kSpeedKey)));
    c.speedController = key ? key->controller : -1;
}

// --- Processing ------------------------------------------------------------------

// Cuts the block at every speed-switch event and applies each one between
// the pieces, at the first sample at or after its frame. Events at or past
// the end of the block take effect from the next block. The block runs on
// the coefficients as they are when it starts; a speed switch within it
// brings the rotor coefficients it changed.
void SpeakerEngine::processBlock(float** inputs, float** outputs, VstInt32 sampleFrames,
                                 bool replacing) {
    if (sampleFrames <= 0 || !inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] ||
        !outputs[1])
        return;
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* outLeft = outputs[0];
    float* outRight = outputs[1];
    SpeakerCoefficients c = coefficients.load();
    VstInt32 position = 0;
    for (;;) {
        VstInt32 delta;
        findSpeedEvent(delta, c.speedController);
        if (delta < 0) break;
        if (position < delta && position < sampleFrames) {
            const VstInt32 end = delta < sampleFrames ? delta : sampleFrames;
            processSegment(inLeft + position, inRight + position, outLeft + position,
                           outRight + position, end - position, replacing, c);
            position = end;
        }
        if (applySpeedEvent(c.speedController)) c.rotors = loadRotors();
    }
    if (position < sampleFrames)
        processSegment(inLeft + position, inRight + position, outLeft + position,
                       outRight + position, sampleFrames - position, replacing, c);
}

// With no speed controller (-1) nothing matches, not even a malformed data
// byte 0xFF that reads as -1.
static bool isControlChangeOf(const VstEvent* event, VstInt32 controller) {
    if (controller < 0) return false;
    const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
    return (static_cast<unsigned char>(midi->midiData[0]) & 0xF0) == kControlChange &&
           static_cast<signed char>(midi->midiData[1]) == controller;
}

// An event timed before the block is taken as at its start, so that the
// scan, which ends at a negative delta, still hears the events after it.
void SpeakerEngine::findSpeedEvent(VstInt32& delta, VstInt32 controller) {
    while (events.next()) {
        const VstEvent* event = events.current();
        if (!isControlChangeOf(event, controller)) continue;
        delta = event->deltaFrames > 0 ? event->deltaFrames : 0;
        return;
    }
    delta = -1;
}

// Controller values 64..127 mean fast, 0..63 slow. Only a real change is
// applied and reported to the host as automation; answers whether there was one.
bool SpeakerEngine::applySpeedEvent(VstInt32 controller) {
    const VstEvent* event = events.current();
    if (!event || !isControlChangeOf(event, controller)) return false;
    const bool isFast = getParameter(kSpeedToggle) >= 0.5f;
    const bool wantFast =
        static_cast<signed char>(reinterpret_cast<const VstMidiEvent*>(event)->midiData[2]) >= 64;
    if (isFast == wantFast) return false;
    setParameterAutomated(kSpeedToggle, wantFast ? 1.0f : 0.0f);
    return true;
}

RotorCoefficients SpeakerEngine::loadRotors() const {
    return coefficients.loadPart<RotorCoefficients>(offsetof(SpeakerCoefficients, rotors));
}

// The rotor positions follow the speed at the start of each segment,
// advanced in double precision.
void SpeakerEngine::advancePositions(VstInt32 frames, const SpeakerCoefficients& c) {
    const double seconds = frames / static_cast<double>(getSampleRate());
    const double madeFor = c.rotors.sampleRate;
    signal.hornPosition = wrapTurns(signal.hornPosition + hornTurnsPerSecond(signal.hornSpeed, madeFor) * seconds);
    signal.drumPosition = wrapTurns(signal.drumPosition + drumTurnsPerSecond(signal.drumSpeed, madeFor) * seconds);
}

SignalPath SpeakerEngine::loadSignalPath(const SpeakerCoefficients& c) const {
    SignalPath path;
    static_cast<PathCoefficients&>(path) = c.path;
    const RotorCoefficients& r = c.rotors;
    path.filterY1 = signal.filterY1;
    path.filterY2 = signal.filterY2;
    path.horn = {signal.hornSpeed, r.hornStep, r.hornSlow, r.hornFast,
                 {signal.hornOsc[0], signal.hornOsc[1], signal.hornOsc[2]}};
    path.drum = {signal.drumSpeed, r.drumStep, r.drumSlow, r.drumFast,
                 {signal.drumOsc[0], signal.drumOsc[1], signal.drumOsc[2]}};
    path.hornBuffer = signal.bandDelay.hornBuffer.get();
    path.drumBuffer = signal.bandDelay.drumBuffer.get();
    path.writeIndex = signal.bandDelay.writeIndex;
    return path;
}

void SpeakerEngine::storeSignalPath(const SignalPath& path) {
    signal.filterY1 = path.filterY1;
    signal.filterY2 = path.filterY2;
    signal.hornSpeed = path.horn.speed;
    signal.drumSpeed = path.drum.speed;
    for (int i = 0; i < 3; ++i) {
        signal.hornOsc[i] = path.horn.osc[i];
        signal.drumOsc[i] = path.drum.osc[i];
    }
    signal.bandDelay.writeIndex = path.writeIndex;
}

// A run of samples without a speed switch, through the signal path built
// for this processor.
void SpeakerEngine::processSegment(const float* inLeft, const float* inRight, float* outLeft,
                                   float* outRight, VstInt32 frames, bool replacing,
                                   const SpeakerCoefficients& c) {
    DenormalGuard flushDenormals;
    advancePositions(frames, c);
    SignalPath path = loadSignalPath(c);
    segmentRunner(path, inLeft, inRight, outLeft, outRight, frames, replacing);
    storeSignalPath(path);
}
