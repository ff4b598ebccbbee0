// The effect's own description in no plug-in format's terms: its identity,
// its programs and its parameter table. The table's first eight rows are
// the parameters of every build (the VST 2 plug-in has only these); the
// extended cabinet's follow them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ParameterInfo.h"

// Who the effect is, as every format names it.
struct EffectIdentity {
    const char* name;
    const char* vendor;
    const char* product;
    int32_t version;
    int32_t uniqueId;      // 'tu00'
    int32_t programCount;  // the factory programs
};
extern const EffectIdentity kSpeakerIdentity;

// The name every factory program starts with; its values are the defaults.
constexpr const char* kInitialProgramName = "Init";

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

enum CabinetParameter : int {
    kHornSlow = kNumSpeakerParameters,  // each rotor's two speeds, rpm
    kHornFast,
    kDrumSlow,
    kDrumFast,
    kHornUp,  // ramp times, seconds
    kHornDown,
    kDrumUp,
    kDrumDown,
    kBrake,
    kHornRest,  // where a braked rotor stops, degrees
    kDrumRest,
    kHornDepth,  // Doppler swing, percent
    kDrumDepth,
    kTremolo,  // the horn's level swing, percent
    kDrive,
    kNumCabinetParameters
};

// Positions of the "brake" and "drive" lists.
enum BrakeSetting : int { kBrakeOff = 0, kBrakeOn };
enum DriveMode : int { kDriveExact = 0, kDriveClean };

// Every parameter, the eight first.
extern const ParameterInfo kCabinetParameters[kNumCabinetParameters];

// What the extended cabinet reports of its rotors: their true angles
// (0 = facing the left microphone, growing as the rotor turns) and the
// speeds in force.
enum CabinetReading : int { kHornAngle = 0, kDrumAngle, kHornRpm, kDrumRpm, kNumCabinetReadings };
struct ReadingInfo {
    const char* name;
    const char* label;
    float min;
    float max;
};
extern const ReadingInfo kCabinetReadings[kNumCabinetReadings];

// The factory programs as the presets of the formats that list presets: one
// per program, every parameter at its default, named after the program and
// its number (the programs all start with one name). `text` gets the name.
void factoryPresetName(int program, char* text, size_t size);

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

