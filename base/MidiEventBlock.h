// A block's MIDI messages as the effect's own event list, for a format
// adapter that receives them in another form: up to `Capacity` messages in
// fixed storage, so filling it on the audio thread allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "VstInterface.h"

template <int Capacity>
class MidiEventBlock {
public:
    // A message of 1 to 3 bytes at `deltaFrames` into the block; false (and
    // nothing kept) for other sizes or when the block is full.
    bool add(const uint8_t* bytes, size_t size, VstInt32 deltaFrames) {
        const int count = list.header.numEvents;
        if (count == Capacity || size == 0 || size > 3) return false;
        VstMidiEvent& m = messages[count];
        m = VstMidiEvent{};
        m.type = kVstMidiType;
        m.byteSize = sizeof(VstMidiEvent);
        m.deltaFrames = deltaFrames;
        std::memcpy(m.midiData, bytes, size);
        (&list.header.events[0])[count] = reinterpret_cast<VstEvent*>(&m);
        list.header.numEvents = count + 1;
        return true;
    }

    bool empty() const { return list.header.numEvents == 0; }
    void clear() { list.header.numEvents = 0; }
    VstEvents* events() { return &list.header; }

private:
    VstMidiEvent messages[Capacity] = {};
    struct {
        VstEvents header;
        VstEvent* more[Capacity - 2];  // VstEvents itself ends in room for two
    } list{};
};
