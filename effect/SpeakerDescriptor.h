// The effect's own description: identity, counts, flags and the eight
// parameter rows that the engine and the editor read through the base.
#pragma once

#include "EffectDescriptor.h"

enum SpeakerParameter : int {
    kSpeedToggle = 0,
    kSlowSpeed,
    kFastSpeed,
    kAcceleration,
    kDistortion,
    kBalance,
    kSeparation,
    kSpeedKey,
    kNumSpeakerParameters
};

// Positions of the "speedkey" list.
enum SpeedKey : int { kKeySpace = 0, kKeyTab, kKeyCtrl1, kKeyCtrl64, kKeyCtrl66, kKeyCtrl67 };

// What each "speedkey" position is, in list order: its name, the MIDI
// controller that then switches the speed (-1: none), and the editor's hot
// key by its ASCII code, as the toolkit numbers its keys (0: none).
struct SpeedKeyRow {
    const char* name;
    int controller;
    int hotKey;
};
inline constexpr SpeedKeyRow kSpeedKeys[] = {
    {"SPACE", -1, ' '}, {"TAB", -1, '\t'}, {"CTRL1", 1, 0}, {"CTRL64", 64, 0}, {"CTRL66", 66, 0}, {"CTRL67", 67, 0},
};
inline constexpr int kSpeedKeyCount = sizeof(kSpeedKeys) / sizeof(kSpeedKeys[0]);
static_assert(kSpeedKeys[kKeyCtrl67].controller == 67, "the rows follow the list positions");

// The row of a "speedkey" list position, or null for one off the list.
inline const SpeedKeyRow* speedKeyAt(int position) {
    return position >= 0 && position < kSpeedKeyCount ? &kSpeedKeys[position] : nullptr;
}

extern const EffectDescriptor kSpeakerDescriptor;
