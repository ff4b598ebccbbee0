// The LV2 plug-in's identity and ports, shared by the adapter, the user
// interface and the generator of its Turtle description: audio in and out,
// one control input per parameter (in the units the parameter displays),
// the MIDI input, and the outputs that tell a user interface what the core
// does. Each port is one row of kLv2Ports, at its index.
#pragma once

#include <cstdint>

#include "SpeakerDescriptor.h"

constexpr const char* kLv2PluginUri = "urn:tessmark:halvern";
constexpr const char* kLv2UiUri = "urn:tessmark:halvern#ui";

enum Lv2Port : uint32_t {
    kPortInLeft = 0,
    kPortInRight,
    kPortOutLeft,
    kPortOutRight,
    kPortFirstControl,  // parameter i at kPortFirstControl + i
    kPortMidiIn = kPortFirstControl + kNumSpeakerParameters,
    kPortSpeedState,    // the speed in force, 0 slow or 1 fast, after MIDI switches
    kPortHornPosition,  // the rotor display positions in turns, 0..1
    kPortDrumPosition,
    kPortCount
};

enum class Lv2PortType { Audio, Control, Midi };

struct Lv2PortRow {
    Lv2PortType type;
    bool input;
    const char* symbol;  // a control input's is its parameter's name with '_' for spaces
    const char* name;    // null for a control input: its parameter's name
    int listOf;          // an output that shows a parameter's list positions: that parameter; else -1
};

inline constexpr Lv2PortRow kLv2Ports[kPortCount] = {
    {Lv2PortType::Audio, true, "in_left", "In left", -1},
    {Lv2PortType::Audio, true, "in_right", "In right", -1},
    {Lv2PortType::Audio, false, "out_left", "Out left", -1},
    {Lv2PortType::Audio, false, "out_right", "Out right", -1},
    {Lv2PortType::Control, true, "speed_toggle", nullptr, -1},
    {Lv2PortType::Control, true, "slow", nullptr, -1},
    {Lv2PortType::Control, true, "fast", nullptr, -1},
    {Lv2PortType::Control, true, "acceleration", nullptr, -1},
    {Lv2PortType::Control, true, "distortion", nullptr, -1},
    {Lv2PortType::Control, true, "balance", nullptr, -1},
    {Lv2PortType::Control, true, "separation", nullptr, -1},
    {Lv2PortType::Control, true, "speedkey", nullptr, -1},
    {Lv2PortType::Midi, true, "midi_in", "MIDI in", -1},
    {Lv2PortType::Control, false, "speed_state", "speed state", kSpeedToggle},
    {Lv2PortType::Control, false, "horn_position", "horn position", -1},
    {Lv2PortType::Control, false, "drum_position", "drum position", -1},
};

namespace lv2ports {

// Whether `symbol` is `name` with '_' for each space.
constexpr bool symbolOfName(const char* symbol, const char* name) {
    for (; *symbol && *name; ++symbol, ++name)
        if (*symbol != (*name == ' ' ? '_' : *name)) return false;
    return *symbol == *name;
}

constexpr bool controlRowsFollowTheParameters() {
    for (int i = 0; i < kNumSpeakerParameters; ++i) {
        const Lv2PortRow& row = kLv2Ports[kPortFirstControl + i];
        if (row.type != Lv2PortType::Control || !row.input || row.name) return false;
    }
    return true;
}

}  // namespace lv2ports

static_assert(lv2ports::controlRowsFollowTheParameters(), "one control input per parameter, in table order");
static_assert(kLv2Ports[kPortMidiIn].type == Lv2PortType::Midi && !kLv2Ports[kPortDrumPosition].input,
              "the rows follow the port numbers");
