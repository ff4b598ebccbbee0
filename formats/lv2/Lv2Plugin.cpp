// Halvern as an LV2 plug-in: a thin host of one effect object. Control
// ports become parameter changes (display value to normalised) when their
// value changes, MIDI events become the effect's event list for the block,
// and the block goes through the effect's replacing entry, so the sound is
// the VST 2 effect's sample for sample.
#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstring>
#include <new>

#include "Lv2Ports.h"
#include "MidiEventBlock.h"
#include "SpeakerEngine.h"

namespace {

// The effect's host: it answers the version query; automation reports (a
// MIDI speed switch) need no answer, the speed state port shows them.
VstIntPtr lv2HostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// MIDI events one block can hand over; more in one block are dropped.
constexpr int kMaxEvents = 512;

struct Lv2Instance {
    explicit Lv2Instance(LV2_URID midiEvent) : effect(lv2HostCallback), midiEvent(midiEvent) {
        for (float& last : lastControls) last = NAN;  // every connected control is applied first time
    }

    SpeakerEngine effect;
    LV2_URID midiEvent;
    const float* audioIn[2] = {};
    float* audioOut[2] = {};
    const float* controls[kNumSpeakerParameters] = {};
    float lastControls[kNumSpeakerParameters];
    const LV2_Atom_Sequence* midiIn = nullptr;
    float* speedState = nullptr;
    float* hornPosition = nullptr;
    float* drumPosition = nullptr;

    MidiEventBlock<kMaxEvents> midi;
};

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features) {
    const LV2_URID_Map* map = nullptr;
    for (int i = 0; features && features[i]; ++i)
        if (std::strcmp(features[i]->URI, LV2_URID__map) == 0) map = static_cast<const LV2_URID_Map*>(features[i]->data);
    // A rate the engine cannot run at (not a number, 0 or less, or past any
    // float) is refused here, as a host would otherwise hear 44.1 kHz.
    if (!(rate > 0.0) || !std::isfinite(static_cast<float>(rate))) return nullptr;
    // Without the map (a host that offers only audio and controls) no event
    // type is known, and MIDI is not heard.
    auto* instance = new (std::nothrow) Lv2Instance(map ? map->map(map->handle, LV2_MIDI__MidiEvent) : 0);
    if (instance) instance->effect.setSampleRate(static_cast<float>(rate));
    return instance;
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
    auto* in = static_cast<Lv2Instance*>(handle);
    if (port >= kPortFirstControl && port < kPortMidiIn) {
        in->controls[port - kPortFirstControl] = static_cast<const float*>(data);
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
    }
}

// As the VST 2 effect when a host switches it on: the delay lines start silent.
void activate(LV2_Handle handle) { static_cast<Lv2Instance*>(handle)->effect.resume(); }

void applyControls(Lv2Instance& in) {
    for (int i = 0; i < kNumSpeakerParameters; ++i) {
        if (!in.controls[i]) continue;
        const float value = *in.controls[i];
        if (value == in.lastControls[i] || std::isnan(value)) continue;
        in.lastControls[i] = value;
        in.effect.setParameter(i, kSpeakerDescriptor.parameters[i].toNormalized(value));
    }
}

// The block's MIDI events, in the VST 2 effect's own event records, each at
// its frame within the block. The sequence's own size bounds the reading:
// an event that does not lie wholly inside it ends the sequence, whatever
// its body's size claims.
void handOverMidi(Lv2Instance& in, uint32_t frames) {
    in.midi.clear();
    const LV2_Atom_Sequence* sequence = in.midiIn;
    if (sequence && in.midiEvent != 0 && sequence->atom.size >= sizeof(LV2_Atom_Sequence_Body)) {
        const auto* first = reinterpret_cast<const uint8_t*>(&sequence->body + 1);
        const size_t length = sequence->atom.size - sizeof(LV2_Atom_Sequence_Body);
        size_t offset = 0;
        while (offset <= length && length - offset >= sizeof(LV2_Atom_Event)) {
            const auto* event = reinterpret_cast<const LV2_Atom_Event*>(first + offset);
            const size_t bodySize = event->body.size;
            if (bodySize > length - offset - sizeof(LV2_Atom_Event)) break;
            if (event->body.type == in.midiEvent) {
                const int64_t at = event->time.frames;
                in.midi.add(reinterpret_cast<const uint8_t*>(event + 1), bodySize,
                            static_cast<VstInt32>(at < 0 ? 0 : (at > frames ? frames : at)));
            }
            offset += lv2_atom_pad_size(static_cast<uint32_t>(sizeof(LV2_Atom_Event) + bodySize));
        }
    }
    if (!in.midi.empty()) in.effect.processEvents(in.midi.events());
}

void run(LV2_Handle handle, uint32_t frames) {
    Lv2Instance& in = *static_cast<Lv2Instance*>(handle);
    applyControls(in);
    handOverMidi(in, frames);
    if (in.audioIn[0] && in.audioIn[1] && in.audioOut[0] && in.audioOut[1]) {
        float* inputs[2] = {const_cast<float*>(in.audioIn[0]), const_cast<float*>(in.audioIn[1])};
        in.effect.processReplacing(inputs, in.audioOut, static_cast<VstInt32>(frames));
    }
    if (in.speedState) *in.speedState = kSpeakerDescriptor.parameters[kSpeedToggle].toValue(in.effect.getParameter(kSpeedToggle));
    if (in.hornPosition) *in.hornPosition = in.effect.getHornPosition();
    if (in.drumPosition) *in.drumPosition = in.effect.getDrumPosition();
}

void cleanup(LV2_Handle handle) { delete static_cast<Lv2Instance*>(handle); }

const void* extensionData(const char*) { return nullptr; }

const LV2_Descriptor kDescriptor = {kLv2PluginUri, instantiate, connectPort, activate, run, nullptr, cleanup,
                                    extensionData};

}  // namespace

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
