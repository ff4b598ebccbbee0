// The parameters as CLAP hosts see them: ids in table order (the eight,
// then the extended cabinet's), values in the units the parameters display
// (whole percent, whole numbers, list positions), stepped where whole,
// enumerated where a list; after them the rotors' readings, read-only.
#pragma once

#include "ClapInterface.h"
#include "SpeakerDescriptor.h"

namespace clapparameters {

inline bool isParameter(clap_id id) { return id < static_cast<clap_id>(kNumCabinetParameters); }
constexpr clap_id kFirstReading = kNumCabinetParameters;
constexpr uint32_t kCount = kNumCabinetParameters + kNumCabinetReadings;
inline bool isReading(clap_id id) { return id >= kFirstReading && id < kCount; }

// A parameter's or a reading's description.
void describe(clap_id id, clap_param_info_t& info);

// A display value (clamped to the range) as the effect stores it, and back.
float normalized(clap_id id, double value);
double displayValue(clap_id id, float normalized);

// The display text with the parameter's label, e.g. "12 %" or "fast" (a
// reading's with one decimal, "271.4 deg"); false for a value that is no
// number or a buffer of no room.
bool valueToText(clap_id id, double value, char* text, uint32_t capacity);

// What a user types: a number (with or without the label), or for a list one
// of its names in any case. False for anything else; the number is clamped
// to the range and rounded as the parameter rounds.
bool textToValue(clap_id id, const char* text, double& value);

}  // namespace clapparameters
