// The LV2 plug-in's identity and ports, shared by the adapter, the user
// interface and the generator of its Turtle description: audio in and out,
// one control input per parameter (in the units the parameter displays),
// the MIDI input, and the outputs that tell a user interface what the core
// does. The extended cabinet's controls and readings come after those, and
// then the enabled control hosts bypass the plug-in with, so the first ports
// keep their numbers. Each port is one row of kLv2Ports, at its index.
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
    kPortFirstCabinetControl,  // parameter kNumSpeakerParameters + i at kPortFirstCabinetControl + i
    kPortFirstReading = kPortFirstCabinetControl + (kNumCabinetParameters - kNumSpeakerParameters),
    kPortEnabled = kPortFirstReading + kNumCabinetReadings,  // reading i at kPortFirstReading + i
    kPortCount
};

enum class Lv2PortType { Audio, Control, Midi };

struct Lv2PortRow {
    Lv2PortType type;
    bool input;
    const char* symbol;  // a control input's (a reading's) is its parameter's (reading's) name with '_' for spaces
    const char* name;    // null for a control input or a reading: the parameter's or reading's name
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
    {Lv2PortType::Control, true, "horn_slow", nullptr, -1},
    {Lv2PortType::Control, true, "horn_fast", nullptr, -1},
    {Lv2PortType::Control, true, "drum_slow", nullptr, -1},
    {Lv2PortType::Control, true, "drum_fast", nullptr, -1},
    {Lv2PortType::Control, true, "horn_up", nullptr, -1},
    {Lv2PortType::Control, true, "horn_down", nullptr, -1},
    {Lv2PortType::Control, true, "drum_up", nullptr, -1},
    {Lv2PortType::Control, true, "drum_down", nullptr, -1},
    {Lv2PortType::Control, true, "brake", nullptr, -1},
    {Lv2PortType::Control, true, "horn_rest", nullptr, -1},
    {Lv2PortType::Control, true, "drum_rest", nullptr, -1},
    {Lv2PortType::Control, true, "horn_depth", nullptr, -1},
    {Lv2PortType::Control, true, "drum_depth", nullptr, -1},
    {Lv2PortType::Control, true, "tremolo", nullptr, -1},
    {Lv2PortType::Control, true, "drive", nullptr, -1},
    {Lv2PortType::Control, false, "horn_angle", nullptr, -1},
    {Lv2PortType::Control, false, "drum_angle", nullptr, -1},
    {Lv2PortType::Control, false, "horn_rpm", nullptr, -1},
    {Lv2PortType::Control, false, "drum_rpm", nullptr, -1},
    {Lv2PortType::Control, true, "enabled", "Enabled", -1},
};

namespace lv2ports {

// The parameter a control input sets, or -1 for any other port.
constexpr int parameterOf(uint32_t port) {
    if (port >= kPortFirstControl && port < kPortMidiIn) return static_cast<int>(port - kPortFirstControl);
    if (port >= kPortFirstCabinetControl && port < kPortFirstReading)
        return kNumSpeakerParameters + static_cast<int>(port - kPortFirstCabinetControl);
    return -1;
}

constexpr uint32_t portOf(int parameter) {
    return parameter < kNumSpeakerParameters ? kPortFirstControl + parameter
                                             : kPortFirstCabinetControl + (parameter - kNumSpeakerParameters);
}

// The reading an output reports, or -1.
constexpr int readingOf(uint32_t port) {
    return port >= kPortFirstReading && port < kPortEnabled ? static_cast<int>(port - kPortFirstReading) : -1;
}

// Whether `symbol` is `name` with '_' for each space.
constexpr bool symbolOfName(const char* symbol, const char* name) {
    for (; *symbol && *name; ++symbol, ++name)
        if (*symbol != (*name == ' ' ? '_' : *name)) return false;
    return *symbol == *name;
}

constexpr bool controlRowsFollowTheParameters() {
    for (int i = 0; i < kNumCabinetParameters; ++i) {
        const Lv2PortRow& row = kLv2Ports[portOf(i)];
        if (row.type != Lv2PortType::Control || !row.input || row.name) return false;
    }
    for (int i = 0; i < kNumCabinetReadings; ++i) {
        const Lv2PortRow& row = kLv2Ports[kPortFirstReading + i];
        if (row.type != Lv2PortType::Control || row.input || row.name) return false;
    }
    return kLv2Ports[kPortEnabled].type == Lv2PortType::Control && kLv2Ports[kPortEnabled].input;
}

}  // namespace lv2ports

static_assert(lv2ports::controlRowsFollowTheParameters(), "one control input per parameter, in table order");
static_assert(kLv2Ports[kPortMidiIn].type == Lv2PortType::Midi && !kLv2Ports[kPortDrumPosition].input,
              "the rows follow the port numbers");
static_assert(lv2ports::readingOf(kPortEnabled) < 0 && lv2ports::parameterOf(kPortEnabled) < 0,
              "the enabled port neither sets a parameter nor reports a reading");
