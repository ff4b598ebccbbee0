#include "SpeakerEngine.h"

#include "SpeakerDescriptor.h"

namespace {

// Control-change status (any channel) of the speed controller's messages.
constexpr unsigned char kControlChange = 0xB0;

}  // namespace

SpeakerEngine::SpeakerEngine(audioMasterCallback audioMaster) : PluginBase(audioMaster, kSpeakerDescriptor) {
    setProgram(0);
}

// --- Parameters and rate ---------------------------------------------------------

// The sound follows the parameter's real value. The core compares the rate
// it was made for with the one stored now, which the host's combined
// block-size-and-rate call may have changed without a recomputation.
void SpeakerEngine::setParameter(VstInt32 index, float value) {
    PluginBase::setParameter(index, value);
    if (static_cast<uint32_t>(index) < kNumSpeakerParameters) {
        core.noteSampleRate(getSampleRate());
        core.setParameter(index, parameterInfo(index).toValue(getParameter(index)));
    }
    if (editor) editor->postUpdate();
}

void SpeakerEngine::setSampleRate(float rate) {
    PluginBase::setSampleRate(rate);
    core.setSampleRate(getSampleRate());
}

void SpeakerEngine::resume() {
    PluginBase::resume();
    core.clearDelays();
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
    core.noteSampleRate(getSampleRate());
    core.beginBlock();
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* outLeft = outputs[0];
    float* outRight = outputs[1];
    VstInt32 position = 0;
    for (;;) {
        VstInt32 delta;
        findSpeedEvent(delta, core.speedController());
        if (delta < 0) break;
        if (position < delta && position < sampleFrames) {
            const VstInt32 end = delta < sampleFrames ? delta : sampleFrames;
            core.processStretch(inLeft + position, inRight + position, outLeft + position, outRight + position,
                                end - position, replacing);
            position = end;
        }
        if (applySpeedEvent(core.speedController())) core.rotorsChanged();
    }
    if (position < sampleFrames)
        core.processStretch(inLeft + position, inRight + position, outLeft + position, outRight + position,
                            sampleFrames - position, replacing);
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

