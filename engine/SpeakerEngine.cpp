#include "SpeakerEngine.h"

#include <cmath>

#include "DenormalGuard.h"
#include "LevelTables.h"
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
constexpr TapRow kHornTapRows[3] = {
    //  base    depth    amp    left   right
    {0.002f,  0.0004f, 0.44f, 1.0f,  0.2f},
    {0.002f,  0.0005f, 0.44f, 0.2f,  1.0f},
    {0.0048f, 0.0011f, 0.46f, 0.51f, 0.49f},
};
constexpr TapRow kDrumTapRows[2] = {
    {0.0035f, 0.0006f, 0.0f, 1.0f, 0.0f},
    {0.0035f, 0.0004f, 0.0f, 0.0f, 1.0f},
};

// The MIDI controller that switches the speed, for each "speedkey" position
// (-1: none; space and tab are keys of the editor).
constexpr VstInt32 kSpeedControllers[] = {-1, -1, 1, 64, 66, 67};

constexpr unsigned char kControlChange = 0xB0;

}  // namespace

SpeakerEngine::SpeakerEngine(audioMasterCallback audioMaster)
    : PluginBase(audioMaster, kSpeakerDescriptor), segmentRunner(bestSegmentRunner()) {
    for (int i = 0; i < 3; ++i) hornOsc[i] = drumOsc[i] = kOscillatorStart[i];
    bandDelay.allocate();
    setProgram(0);
}

SpeakerEngine::~SpeakerEngine() { bandDelay.release(); }

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
    if (rate != cachedSampleRate) {
        updateCoefficients();
        return;
    }
    switch (index) {
        case kSpeedToggle:
        case kSlowSpeed:
        case kFastSpeed:
        case kAcceleration: updateRotors(rate); break;
        case kDistortion:
            updateShapers();
            updateLevels();
            break;
        case kBalance:
        case kSeparation: updateLevels(); break;
        case kSpeedKey: updateSpeedController(); break;
    }
}

void SpeakerEngine::setSampleRate(float rate) {
    PluginBase::setSampleRate(rate);
    updateCoefficients();
}

void SpeakerEngine::resume() {
    PluginBase::resume();
    bandDelay.clear();
}

// Recomputes every derived value from the parameters and the sample rate;
// the signal state (filter memory, delays, speeds, oscillators) is kept.
void SpeakerEngine::updateCoefficients() {
    const float rate = getSampleRate();
    updateFilter(rate);
    updateShapers();
    updateRotors(rate);
    updateTaps(rate);
    updateLevels();
    updateSpeedController();
}

// Two poles at r * e^(+-j 2 pi 560 / rate): the low band has unity gain at 0 Hz.
void SpeakerEngine::updateFilter(float rate) {
    const double w = 560.0 / rate;
    const double c = std::cos(6.2831855 * w);
    const double r = std::exp(-3.1415927 * w * 2.0);
    filterA1 = static_cast<float>((c + c) * r);
    filterA2 = static_cast<float>(std::exp(-6.2831855 * w * 2.0));
    filterGain = static_cast<float>((1.0 - filterA1) + filterA2);
}

// The horn band is driven twice as hard as the drum band.
void SpeakerEngine::updateShapers() {
    double distortion = realValue(kDistortion);
    if (distortion < 1.0) distortion = 1.0;
    hornDrive = static_cast<float>(distortion * 0.25);
    hornDriveNorm = static_cast<float>(1.0 / asinhOf(hornDrive));
    drumDrive = static_cast<float>(0.5 * distortion * 0.25);
    drumDriveNorm = static_cast<float>(1.0 / asinhOf(drumDrive));
}

void SpeakerEngine::updateRotors(float rate) {
    const double slowFactor = 1.0 + realValue(kSlowSpeed) * 0.01;
    const double fastFactor = 1.0 + realValue(kFastSpeed) * 0.01;
    hornSlow = limitSpeed(kHornSlowTenths * slowFactor * kSpeedUnit / rate);
    hornFast = limitSpeed(kHornFastTenths * fastFactor * kSpeedUnit / rate);
    drumSlow = limitSpeed(kDrumSlowTenths * slowFactor * kSpeedUnit / rate);
    drumFast = limitSpeed(kDrumFastTenths * fastFactor * kSpeedUnit / rate);

    const double timeFactor = std::pow(2.0, -realValue(kAcceleration) * 0.01);
    const double samples = timeFactor * rate;
    if (getParameter(kSpeedToggle) >= 0.5f) {
        hornStep = static_cast<float>((hornFast - hornSlow) / (kHornUpSeconds * samples));
        drumStep = static_cast<float>((drumFast - drumSlow) / (kDrumUpSeconds * samples));
    } else {
        hornStep = static_cast<float>((hornSlow - hornFast) / (kHornDownSeconds * samples));
        drumStep = static_cast<float>((drumSlow - drumFast) / (kDrumDownSeconds * samples));
    }
    cachedSampleRate = rate;
}

// Every delay is a time, so the taps sound the same at every sample rate.
static void placeTap(MicrophoneTap& tap, const TapRow& row, float rate) {
    tap.baseDelay = row.baseSeconds * rate;
    tap.delayDepth = row.depthSeconds * rate;
    tap.weightLeft = row.weightLeft;
    tap.weightRight = row.weightRight;
}

void SpeakerEngine::updateTaps(float rate) {
    for (int i = 0; i < 3; ++i) {
        placeTap(hornTaps[i], kHornTapRows[i], rate);
        hornTaps[i].ampDepth = kHornTapRows[i].ampDepth;
    }
    for (int i = 0; i < 2; ++i) placeTap(drumTaps[i], kDrumTapRows[i], rate);
}

// Balance keeps the summed power of the two band factors constant; the
// compensation tables lower both bands as the distortion rises.
void SpeakerEngine::updateLevels() {
    const float distortion = realValue(kDistortion);
    const int setting = static_cast<int>(distortion);
    double balance = (realValue(kBalance) + 50.0) * 0.01;
    if (balance < 0.0)
        balance = 0.0;
    else if (balance > 1.0)
        balance = 1.0;
    const double norm = std::sqrt(((1.0 - balance) * (1.0 - balance) + balance * balance) * 0.5);
    drumLevel = static_cast<float>(0.01 * drumCompensation(setting) * (1.0 - balance) / norm);
    hornLevel = static_cast<float>(0.01 * hornCompensation(setting) * balance / norm);
    crossfeed = static_cast<float>(1.0 + -0.01 * realValue(kSeparation));
}

void SpeakerEngine::updateSpeedController() {
    const int key = static_cast<int>(realValue(kSpeedKey));
    const bool listed = key >= 0 && key < static_cast<int>(sizeof(kSpeedControllers) / sizeof(kSpeedControllers[0]));
    speedController = listed ? kSpeedControllers[key] : -1;
}

// --- Processing ------------------------------------------------------------------

// Cuts the block at every speed-switch event and applies each one between
// the pieces, at the first sample at or after its frame. Events at or past
// the end of the block take effect from the next block.
void SpeakerEngine::processBlock(float** inputs, float** outputs, VstInt32 sampleFrames,
                                 bool replacing) {
    if (sampleFrames <= 0 || !inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] ||
        !outputs[1])
        return;
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* outLeft = outputs[0];
    float* outRight = outputs[1];
    VstInt32 position = 0;
    for (;;) {
        VstInt32 delta;
        findSpeedEvent(delta);
        if (delta < 0) break;
        if (position < delta && position < sampleFrames) {
            const VstInt32 end = delta < sampleFrames ? delta : sampleFrames;
            processSegment(inLeft + position, inRight + position, outLeft + position,
                           outRight + position, end - position, replacing);
            position = end;
        }
        applySpeedEvent();
    }
    if (position < sampleFrames)
        processSegment(inLeft + position, inRight + position, outLeft + position,
                       outRight + position, sampleFrames - position, replacing);
}

// With no speed controller (-1) nothing matches, not even a malformed data
// byte 0xFF that reads as -1.
static bool isControlChangeOf(const VstEvent* event, VstInt32 controller) {
    if (controller < 0) return false;
    const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
    return (static_cast<unsigned char>(midi->midiData[0]) & 0xF0) == kControlChange &&
           static_cast<signed char>(midi->midiData[1]) == controller;
}

void SpeakerEngine::findSpeedEvent(VstInt32& delta) {
    while (events.next()) {
        const VstEvent* event = events.current();
        delta = event->deltaFrames;
        if (isControlChangeOf(event, speedController)) return;
    }
    delta = -1;
}

// Controller values 64..127 mean fast, 0..63 slow. Only a real change is
// applied and reported to the host as automation.
void SpeakerEngine::applySpeedEvent() {
    const VstEvent* event = events.current();
    if (!event || !isControlChangeOf(event, speedController)) return;
    const bool isFast = getParameter(kSpeedToggle) >= 0.5f;
    const bool wantFast =
        static_cast<signed char>(reinterpret_cast<const VstMidiEvent*>(event)->midiData[2]) >= 64;
    if (isFast != wantFast) setParameterAutomated(kSpeedToggle, wantFast ? 1.0f : 0.0f);
}

// The rotor positions follow the speed at the start of each segment. They are
// advanced in double precision and wrapped with floor rather than repeated
// subtraction, so even an absurdly small sample rate cannot stall the loop.
void SpeakerEngine::advancePositions(VstInt32 frames) {
    const double seconds = frames / static_cast<double>(getSampleRate());
    const double nominalHz = static_cast<double>(cachedSampleRate) * 0.27548208;
    const double hornRate = hornSpeed * nominalHz * 0.638 + 0.298;
    const double drumRate = drumSpeed * nominalHz * 0.583 + 0.175;
    auto wrap = [](double position) {
        position -= std::floor(position);
        const float stored = static_cast<float>(position);
        return stored < 1.0f ? stored : 0.0f;  // rounding to float may reach 1
    };
    hornPosition = wrap(hornPosition + hornRate * seconds);
    drumPosition = wrap(drumPosition + drumRate * seconds);
}

// The crossfeed mixes each microphone into the other; folded into the tap
// gains it costs nothing per sample. The delays are kept inside the buffer
// for any oscillator value within 1.
static TapSettings tapSettings(float baseDelay, float delayDepth, float ampDepth, float weightLeft,
                               float weightRight, double level, double crossfeed) {
    constexpr double kLongest = BandDelay::kSize - 1;
    const double depth = std::fmin(std::fabs(static_cast<double>(delayDepth)), kLongest / 2);
    const double base = std::fmin(std::fmax(static_cast<double>(baseDelay), depth), kLongest - depth);
    const double scale = level * kInverseFullScale / (1.0 + crossfeed);
    return {base, depth, ampDepth, scale * (weightLeft + crossfeed * weightRight),
            scale * (weightRight + crossfeed * weightLeft)};
}

SignalPath SpeakerEngine::loadSignalPath() {
    SignalPath path;
    path.filterA1 = filterA1;
    path.filterA2 = filterA2;
    path.filterGain = filterGain;
    path.hornShaper = shaperFor(hornDrive, hornDriveNorm);
    path.drumShaper = shaperFor(drumDrive, drumDriveNorm);
    const double mix = crossfeed;
    for (int i = 0; i < 3; ++i) {
        const HornTap& tap = hornTaps[i];
        path.taps[i] = tapSettings(tap.baseDelay, tap.delayDepth, tap.ampDepth, tap.weightLeft,
                                   tap.weightRight, hornLevel, mix);
    }
    for (int i = 0; i < 2; ++i) {
        const DrumTap& tap = drumTaps[i];
        path.taps[3 + i] = tapSettings(tap.baseDelay, tap.delayDepth, 0.0f, tap.weightLeft,
                                       tap.weightRight, drumLevel, mix);
    }
    path.filterY1 = filterY1;
    path.filterY2 = filterY2;
    path.horn = {hornSpeed, hornStep, hornSlow, hornFast, {hornOsc[0], hornOsc[1], hornOsc[2]}};
    path.drum = {drumSpeed, drumStep, drumSlow, drumFast, {drumOsc[0], drumOsc[1], drumOsc[2]}};
    path.hornBuffer = bandDelay.hornBuffer.get();
    path.drumBuffer = bandDelay.drumBuffer.get();
    path.writeIndex = bandDelay.writeIndex;
    return path;
}

void SpeakerEngine::storeSignalPath(const SignalPath& path) {
    filterY1 = path.filterY1;
    filterY2 = path.filterY2;
    hornSpeed = path.horn.speed;
    drumSpeed = path.drum.speed;
    for (int i = 0; i < 3; ++i) {
        hornOsc[i] = path.horn.osc[i];
        drumOsc[i] = path.drum.osc[i];
    }
    bandDelay.writeIndex = path.writeIndex;
}

// A run of samples without a speed switch, through the signal path built
// for this processor.
void SpeakerEngine::processSegment(const float* inLeft, const float* inRight, float* outLeft,
                                   float* outRight, VstInt32 frames, bool replacing) {
    DenormalGuard flushDenormals;
    advancePositions(frames);
    SignalPath path = loadSignalPath();
    segmentRunner(path, inLeft, inRight, outLeft, outRight, frames, replacing);
    storeSignalPath(path);
}
