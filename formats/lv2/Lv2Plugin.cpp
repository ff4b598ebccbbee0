// Halvern as an LV2 plug-in: a translation of the plug-in instance. Control
// ports become parameter values (rounded to their steps, as a host's
// normalised values are) when they change, the input sequence's MIDI
// messages become the block's events, and the outputs report what the
// instance did, so the sound is the VST 2 effect's sample for sample.
#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstring>
#include <new>

#include "Lv2Ports.h"
#include "PluginInstance.h"

namespace {

struct Lv2Instance {
    explicit Lv2Instance(LV2_URID midiEvent) : midiEvent(midiEvent) {
        for (float& last : lastControls) last = NAN;  // every connected control is applied first time
    }

    PluginInstance plugin{ChangeStyle::Smooth};
    LV2_URID midiEvent;
    const float* audioIn[2] = {};
    float* audioOut[2] = {};
    const float* controls[kNumCabinetParameters] = {};
    float lastControls[kNumCabinetParameters];
    const LV2_Atom_Sequence* midiIn = nullptr;
    float* speedState = nullptr;
    float* hornPosition = nullptr;
    float* drumPosition = nullptr;
    float* readings[kNumCabinetReadings] = {};
    const float* enabled = nullptr;  // unconnected: always enabled
};

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features) {
    const LV2_URID_Map* map = nullptr;
    for (int i = 0; features && features[i]; ++i)
        if (std::strcmp(features[i]->URI, LV2_URID__map) == 0) map = static_cast<const LV2_URID_Map*>(features[i]->data);
    // A rate the plug-in does not run at is refused here, as a host would
    // otherwise hear 44.1 kHz.
    if (!isSupportedSampleRate(rate)) return nullptr;
    // Without the map (a host that offers only audio and controls) no event
    // type is known, and MIDI is not heard.
    auto* instance = new (std::nothrow) Lv2Instance(map ? map->map(map->handle, LV2_MIDI__MidiEvent) : 0);
    if (instance) instance->plugin.setSampleRate(rate);
    return instance;
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
    auto* in = static_cast<Lv2Instance*>(handle);
    if (const int parameter = lv2ports::parameterOf(port); parameter >= 0) {
        in->controls[parameter] = static_cast<const float*>(data);
        return;
    }
    if (const int reading = lv2ports::readingOf(port); reading >= 0) {
        in->readings[reading] = static_cast<float*>(data);
        return;
    }
    switch (port) {
        case kPortInLeft: in->audioIn[0] = static_cast<const float*>(data); break;
        case kPortInRight: in->audioIn[1] = static_cast<const float*>(data); break;
        case kPortOutLeft: in->audioOut[0] = static_cast<float*>(data); break;
        case kPortOutRight: in->audioOut[1] = static_cast<float*>(data); break;
        case kPortMidiIn: in->midiIn = static_cast<const LV2_Atom_Sequence*>(data); break;
        case kPortSpeedState: in->speedState = static_cast<float*>(data); break;
        case kPortHornPosition: in->hornPosition = static_cast<float*>(data); break;
        case kPortDrumPosition: in->drumPosition = static_cast<float*>(data); break;
        case kPortEnabled: in->enabled = static_cast<const float*>(data); break;
    }
}

// As the VST 2 effect when a host switches it on: the delay lines start silent.
void activate(LV2_Handle handle) { static_cast<Lv2Instance*>(handle)->plugin.activate(); }
void deactivate(LV2_Handle handle) { static_cast<Lv2Instance*>(handle)->plugin.deactivate(); }

void applyControls(Lv2Instance& in) {
    for (int i = 0; i < kNumCabinetParameters; ++i) {
        if (!in.controls[i]) continue;
        const float value = *in.controls[i];
        if (value == in.lastControls[i] || std::isnan(value)) continue;
        in.lastControls[i] = value;
        in.plugin.setNormalized(i, kCabinetParameters[i].toNormalized(value));
    }
}

// The input sequence's MIDI messages. The sequence's own size bounds the
// reading: an event that does not lie wholly inside it ends the sequence,
// whatever its body's size claims.
class SequenceEvents final : public EventSource {
public:
    SequenceEvents(const LV2_Atom_Sequence* sequence, LV2_URID midiEvent) : midiEvent(midiEvent) {
        if (!sequence || midiEvent == 0 || sequence->atom.size < sizeof(LV2_Atom_Sequence_Body)) return;
        first = reinterpret_cast<const uint8_t*>(&sequence->body + 1);
        length = sequence->atom.size - sizeof(LV2_Atom_Sequence_Body);
    }

    bool next(TimedEvent& event) override {
        while (offset <= length && length - offset >= sizeof(LV2_Atom_Event)) {
            const auto* atom = reinterpret_cast<const LV2_Atom_Event*>(first + offset);
            const size_t bodySize = atom->body.size;
            if (bodySize > length - offset - sizeof(LV2_Atom_Event)) return false;
            offset += lv2_atom_pad_size(static_cast<uint32_t>(sizeof(LV2_Atom_Event) + bodySize));
            if (atom->body.type != midiEvent || bodySize == 0 || bodySize > 3) continue;
            event = TimedEvent{};
            const int64_t at = atom->time.frames;
            event.frame = at < 0 ? 0 : (at > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(at));
            event.kind = EventKind::Midi;
            event.size = static_cast<uint8_t>(bodySize);
            std::memcpy(event.midi, atom + 1, bodySize);
            return true;
        }
        return false;
    }

private:
    LV2_URID midiEvent;
    const uint8_t* first = nullptr;
    size_t length = 0, offset = 0;
};

// Without audio ports the block's switches still act.
void run(LV2_Handle handle, uint32_t frames) {
    Lv2Instance& in = *static_cast<Lv2Instance*>(handle);
    applyControls(in);
    // Disabled, the dry input fades in over the sound (NaN keeps it enabled).
    in.plugin.setBypassed(in.enabled && *in.enabled < 0.5f);
    const bool audio = in.audioIn[0] && in.audioIn[1] && in.audioOut[0] && in.audioOut[1];
    AudioBlock block{{in.audioIn[0], in.audioIn[1]}, {in.audioOut[0], in.audioOut[1]}, audio ? frames : 0};
    SequenceEvents events(in.midiIn, in.midiEvent);
    in.plugin.process(block, &events, nullptr);
    if (in.speedState) *in.speedState = in.plugin.value(kSpeedToggle);
    if (in.hornPosition) *in.hornPosition = in.plugin.hornPosition();
    if (in.drumPosition) *in.drumPosition = in.plugin.drumPosition();
    for (int i = 0; i < kNumCabinetReadings; ++i)
        if (in.readings[i]) *in.readings[i] = in.plugin.reading(i);
}

void cleanup(LV2_Handle handle) { delete static_cast<Lv2Instance*>(handle); }

const void* extensionData(const char*) { return nullptr; }

const LV2_Descriptor kDescriptor = {kLv2PluginUri, instantiate, connectPort, activate, run, deactivate, cleanup,
                                    extensionData};

}  // namespace

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
