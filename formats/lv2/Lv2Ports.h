// The LV2 plug-in's identity and ports, shared by the adapter and the
// generator of its Turtle description: audio in and out, one control input
// per parameter (in the units the parameter displays), the MIDI input, and
// the outputs that tell a user interface what the engine does.
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

// Port symbols: a parameter's name with '_' for spaces.
inline const char* const kLv2ControlSymbols[kNumSpeakerParameters] = {
    "speed_toggle", "slow", "fast", "acceleration", "distortion", "balance", "separation", "speedkey"};
