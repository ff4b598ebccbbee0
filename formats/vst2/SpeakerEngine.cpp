#include "SpeakerEngine.h"

#include "Vst2Descriptor.h"

namespace {

// The MIDI messages of the host's list for one processing call, as the
// instance's events. An event timed before the block is taken as at its
// start. For an accumulating call processed in pieces, each piece sees the
// events timed before its end (all that remain, in the last piece) at
// frames from its own start; the first event past the end waits for the
// next piece.
class HostEvents final : public EventSource {
public:
    HostEvents(VstEventList& list, VstInt32 pieceStart, VstInt32 pieceEnd, bool lastPiece)
        : list(list), start(pieceStart), end(pieceEnd), last(lastPiece) {}

    bool next(TimedEvent& event) override {
        const VstEvent* current = list.current();
        if (!current) {
            if (!list.next()) return false;
            current = list.current();
        }
        const VstInt32 delta = current->deltaFrames > 0 ? current->deltaFrames : 0;
        if (!last && delta >= end) return false;  // held for the next piece
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(current);
        event = TimedEvent{};
        event.frame = static_cast<uint32_t>(delta > start ? delta - start : 0);
        event.kind = EventKind::Midi;
        event.size = 3;
        for (int i = 0; i < 3; ++i) event.midi[i] = static_cast<uint8_t>(midi->midiData[i]);
        list.next();
        return true;
    }

private:
    VstEventList& list;
    VstInt32 start, end;
    bool last;
};

}  // namespace

SpeakerEngine::SpeakerEngine(audioMasterCallback audioMaster) : PluginBase(audioMaster, kSpeakerDescriptor) {
    setProgram(0);
}

// --- Parameters and rate ---------------------------------------------------------

// The sound follows the parameter's real value. The coefficients are made
// anew when the rate they were made for is not the one stored now, which
// the host's combined block-size-and-rate call may have changed without a
// recomputation.
void SpeakerEngine::setParameter(VstInt32 index, float value) {
    PluginBase::setParameter(index, value);
    if (static_cast<uint32_t>(index) < kNumSpeakerParameters) {
        noteSampleRate();
        instance.setNormalized(index, getParameter(index));
    }
    if (editor) editor->postUpdate();
}

void SpeakerEngine::setSampleRate(float rate) {
    PluginBase::setSampleRate(rate);
    instance.setSampleRate(getSampleRate());
}

// As the effect is switched on, its delay lines start silent.
void SpeakerEngine::resume() {
    PluginBase::resume();
    instance.activate();
}

void SpeakerEngine::suspend() {
    PluginBase::suspend();
    instance.deactivate();
}

// --- Processing ------------------------------------------------------------------

// Each speed switch acts at the first sample at or after its frame; one at
// or past the end of the block takes effect from the next block. An
// accumulating call adds the sound to what the outputs hold.
void SpeakerEngine::processBlock(float** inputs, float** outputs, VstInt32 sampleFrames,
                                 bool replacing) {
    if (sampleFrames <= 0 || !inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] ||
        !outputs[1])
        return;
    noteSampleRate();
    if (replacing) {
        HostEvents hostEvents(events, 0, sampleFrames, true);
        instance.process({{inputs[0], inputs[1]}, {outputs[0], outputs[1]}, static_cast<uint32_t>(sampleFrames)},
                         &hostEvents, this);
        return;
    }
    for (VstInt32 start = 0; start < sampleFrames; start += kAddedPiece) {
        const VstInt32 n = sampleFrames - start < kAddedPiece ? sampleFrames - start : kAddedPiece;
        HostEvents hostEvents(events, start, start + n, start + n == sampleFrames);
        instance.process({{inputs[0] + start, inputs[1] + start}, {addedLeft, addedRight}, static_cast<uint32_t>(n)},
                         &hostEvents, this);
        for (VstInt32 i = 0; i < n; ++i) {
            outputs[0][start + i] += addedLeft[i];
            outputs[1][start + i] += addedRight[i];
        }
    }
}

// Only a rate the instance has not been told of yet.
void SpeakerEngine::noteSampleRate() {
    const float rate = getSampleRate();
    if (rate == notedRate.load()) return;
    notedRate = rate;
    instance.noteSampleRate(rate);
}

// Reported to the host as automation, as a change the user made.
void SpeakerEngine::speedSwitched(uint32_t, bool fast) {
    setParameterAutomated(kSpeedToggle, fast ? 1.0f : 0.0f);
}
