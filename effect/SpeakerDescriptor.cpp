#include "SpeakerDescriptor.h"

#include <array>
#include <utility>


static const char* const kSpeedNames[] = {"slow", "fast"};

// The list's names, read from the speed-key rows.
template <size_t... I>
static constexpr std::array<const char*, sizeof...(I)> speedKeyNames(std::index_sequence<I...>) {
    return {kSpeedKeys[I].name...};
}
static constexpr auto kSpeedKeyNames = speedKeyNames(std::make_index_sequence<kSpeedKeyCount>());

//  default   min    max   name            label  kind      names
static const ParameterInfo kSpeakerParameters[kNumSpeakerParameters] = {
    {0.0f,    0.0f,    1.0f, "speed toggle", "",  List,    kSpeedNames},
    {0.0f,  -25.0f,   25.0f, "slow",         "%", Integer, nullptr},
    {0.0f,  -25.0f,   25.0f, "fast",         "%", Integer, nullptr},
    {0.0f, -100.0f,  100.0f, "acceleration", "",  Integer, nullptr},
    {60.0f,   0.0f,  100.0f, "distortion",   "",  Integer, nullptr},
    {0.0f,  -50.0f,   50.0f, "balance",      "",  Integer, nullptr},
    {100.0f,  0.0f,  100.0f, "separation",   "",  Integer, nullptr},
    {1.0f,    0.0f,    5.0f, "speedkey",     "",  List,    kSpeedKeyNames.data()},
};

// The effect acts on MIDI control changes, so it says it receives events.
const EffectDescriptor kSpeakerDescriptor = {
    8,                                     // programs
    kNumSpeakerParameters,                 // parameters
    2,                                     // inputs
    2,                                     // outputs
    0x74753030,                            // unique id 'tu00'
    CanMono | CanReplacing | WantsEvents | ReceivesEvents | ChannelInsert | SendEffect,
    "Halvern",
    "Tessmark Professional",
    "Halvern Rotating Speaker Simulator",
    1,                                     // vendor version
    kCategoryEffect,
    kSpeakerParameters,
};
