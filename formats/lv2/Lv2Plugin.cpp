// Halvern as an LV2 plug-in: a thin host of the sound core. Control ports
// become parameter values (rounded to their steps, as a host's normalised
// values are) when they change, the block is cut at the MIDI speed
// switches of the input sequence, and the outputs report what the core
// does, so the sound is the VST 2 effect's sample for sample.
#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstring>
#include <new>

#include "Lv2Ports.h"
#include "SpeakerCore.h"

namespace {

struct Lv2Instance {
    explicit Lv2Instance(LV2_URID midiEvent) : midiEvent(midiEvent) {
        for (float& last : lastControls) last = NAN;  // every connected control is applied first time
    }

    SpeakerCore core;
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
};

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features) {
    const LV2_URID_Map* map = nullptr;
    for (int i = 0; features && features[i]; ++i)
        if (std::strcmp(features[i]->URI, LV2_URID__map) == 0) map = static_cast<const LV2_URID_Map*>(features[i]->data);
    // A rate the core cannot run at is refused here, as a host would
    // otherwise hear 44.1 kHz.
    if (!SpeakerCore::isUsableSampleRate(rate)) return nullptr;
    // Without the map (a host that offers only audio and controls) no event
    // type is known, and MIDI is not heard.
    auto* instance = new (std::nothrow) Lv2Instance(map ? map->map(map->handle, LV2_MIDI__MidiEvent) : 0);
    if (instance) instance->core.setSampleRate(static_cast<float>(rate));
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
    }
}

// As the VST 2 effect when a host switches it on: the delay lines start silent.
void activate(LV2_Handle handle) { static_cast<Lv2Instance*>(handle)->core.clearDelays(); }

void applyControls(Lv2Instance& in) {
    for (int i = 0; i < kNumCabinetParameters; ++i) {
        if (!in.controls[i]) continue;
        const float value = *in.controls[i];
        if (value == in.lastControls[i] || std::isnan(value)) continue;
        in.lastControls[i] = value;
        const ParameterInfo& row = kCabinetParameters[i];
        in.core.setParameter(i, row.toValue(row.toNormalized(value)));
    }
}

// The block, cut at each MIDI speed switch of the sequence: a switch acts
// from its frame on (one timed before the block from its start, one at or
// past its end after it). The sequence's own size bounds the reading: an
// event that does not lie wholly inside it ends the sequence, whatever its
// body's size claims. Without audio ports the switches still act.
void run(LV2_Handle handle, uint32_t frames) {
    Lv2Instance& in = *static_cast<Lv2Instance*>(handle);
    applyControls(in);
    const bool audio = in.audioIn[0] && in.audioIn[1] && in.audioOut[0] && in.audioOut[1];
    uint32_t position = 0;
    auto processUpTo = [&](uint32_t end) {
        if (audio && end > position)
            in.core.processStretch(in.audioIn[0] + position, in.audioIn[1] + position, in.audioOut[0] + position,
                                   in.audioOut[1] + position, static_cast<int>(end - position), true);
        if (end > position) position = end;
    };
    in.core.beginBlock();
    const LV2_Atom_Sequence* sequence = in.midiIn;
    if (sequence && in.midiEvent != 0 && sequence->atom.size >= sizeof(LV2_Atom_Sequence_Body)) {
        const auto* first = reinterpret_cast<const uint8_t*>(&sequence->body + 1);
        const size_t length = sequence->atom.size - sizeof(LV2_Atom_Sequence_Body);
        size_t offset = 0;
        while (offset <= length && length - offset >= sizeof(LV2_Atom_Event)) {
            const auto* event = reinterpret_cast<const LV2_Atom_Event*>(first + offset);
            const size_t bodySize = event->body.size;
            if (bodySize > length - offset - sizeof(LV2_Atom_Event)) break;
            const int wantFast = event->body.type == in.midiEvent
                                     ? in.core.speedSwitchOf(reinterpret_cast<const uint8_t*>(event + 1), bodySize)
                                     : -1;
            if (wantFast >= 0) {
                const int64_t at = event->time.frames;
                processUpTo(at < 0 ? 0 : (at > frames ? frames : static_cast<uint32_t>(at)));
                in.core.switchSpeed(wantFast == 1);
            }
            offset += lv2_atom_pad_size(static_cast<uint32_t>(sizeof(LV2_Atom_Event) + bodySize));
        }
    }
    processUpTo(frames);
    if (in.speedState) *in.speedState = in.core.value(kSpeedToggle);
    if (in.hornPosition) *in.hornPosition = in.core.hornPosition();
    if (in.drumPosition) *in.drumPosition = in.core.drumPosition();
    in.core.publishReadings();
    for (int i = 0; i < kNumCabinetReadings; ++i)
        if (in.readings[i]) *in.readings[i] = in.core.reading(i);
}

void cleanup(LV2_Handle handle) { delete static_cast<Lv2Instance*>(handle); }

const void* extensionData(const char*) { return nullptr; }

const LV2_Descriptor kDescriptor = {kLv2PluginUri, instantiate, connectPort, activate, run, nullptr, cleanup,
                                    extensionData};

}  // namespace

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
