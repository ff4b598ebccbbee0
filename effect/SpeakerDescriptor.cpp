#include "SpeakerDescriptor.h"

#include <array>
#include <cstdio>
#include <utility>


static const char* const kSpeedNames[] = {"slow", "fast"};
static const char* const kBrakeNames[] = {"off", "on"};
static const char* const kDriveNames[] = {"exact", "clean"};

// The list's names, read from the speed-key rows.
template <size_t... I>
static constexpr std::array<const char*, sizeof...(I)> speedKeyNames(std::index_sequence<I...>) {
    return {kSpeedKeys[I].name...};
}
static constexpr auto kSpeedKeyNames = speedKeyNames(std::make_index_sequence<kSpeedKeyCount>());

// The extended cabinet's defaults are the speeds (in rpm) and ramp times the
// eight parameters' sound has always had, so they change nothing.
//  default   min    max   name            label  kind      names
const ParameterInfo kCabinetParameters[kNumCabinetParameters] = {
    {0.0f,    0.0f,    1.0f, "speed toggle", "",  List,    kSpeedNames},
    {0.0f,  -25.0f,   25.0f, "slow",         "%", Integer, nullptr},
    {0.0f,  -25.0f,   25.0f, "fast",         "%", Integer, nullptr},
    {0.0f, -100.0f,  100.0f, "acceleration", "",  Integer, nullptr},
    {60.0f,   0.0f,  100.0f, "distortion",   "",  Integer, nullptr},
    {0.0f,  -50.0f,   50.0f, "balance",      "",  Integer, nullptr},
    {100.0f,  0.0f,  100.0f, "separation",   "",  Integer, nullptr},
    {1.0f,    0.0f,    5.0f, "speedkey",     "",  List,    kSpeedKeyNames.data()},
    {48.0f,  10.0f,  120.0f, "horn slow",    "rpm", Integer, nullptr},
    {414.0f, 200.0f, 500.0f, "horn fast",    "rpm", Integer, nullptr},
    {42.0f,  10.0f,  120.0f, "drum slow",    "rpm", Integer, nullptr},
    {384.0f, 200.0f, 500.0f, "drum fast",    "rpm", Integer, nullptr},
    {0.7f,    0.1f,   20.0f, "horn up",      "s", Hundredths, nullptr},
    {1.8f,    0.1f,   20.0f, "horn down",    "s", Hundredths, nullptr},
    {4.9f,    0.1f,   20.0f, "drum up",      "s", Hundredths, nullptr},
    {7.0f,    0.1f,   20.0f, "drum down",    "s", Hundredths, nullptr},
    {0.0f,    0.0f,    1.0f, "brake",        "",  List,    kBrakeNames},
    {0.0f,    0.0f,  359.0f, "horn rest",    "deg", Integer, nullptr},
    {0.0f,    0.0f,  359.0f, "drum rest",    "deg", Integer, nullptr},
    {100.0f,  0.0f,  200.0f, "horn depth",   "%", Integer, nullptr},
    {100.0f,  0.0f,  200.0f, "drum depth",   "%", Integer, nullptr},
    {100.0f,  0.0f,  200.0f, "tremolo",      "%", Integer, nullptr},
    {0.0f,    0.0f,    1.0f, "drive",        "",  List,    kDriveNames},
};

// The fastest a rotor can turn is its fastest setting with the "fast" trim up.
const ReadingInfo kCabinetReadings[kNumCabinetReadings] = {
    {"horn angle", "deg", 0.0f, 360.0f},
    {"drum angle", "deg", 0.0f, 360.0f},
    {"horn rpm", "rpm", 0.0f, 625.0f},
    {"drum rpm", "rpm", 0.0f, 625.0f},
};

const EffectIdentity kSpeakerIdentity = {
    "Halvern",
    "Tessmark Professional",
    "Halvern Rotating Speaker Simulator",
    1,           // version
    0x74753030,  // unique id 'tu00'
    8,           // programs
};

void factoryPresetName(int program, char* text, size_t size) {
    std::snprintf(text, size, "%s %d", kInitialProgramName, program + 1);
}
