// The parameters as CLAP hosts see them: the table's (the eight, then the
// extended cabinet's), values in the units the parameters display (whole
// percent, whole numbers, list positions), stepped where whole, enumerated
// where a list; the rotors' readings, read-only; and the bypass. The table's
// ids are the fixed ones (ParameterIds.h), the readings' 23 to 26, the
// bypass's 27. Hosts list them in that order.
#pragma once

#include "ClapInterface.h"
#include "ParameterIds.h"
#include "SpeakerDescriptor.h"

namespace clapparameters {

constexpr clap_id kFirstReading = 23;
constexpr clap_id kBypass = 27;
constexpr uint32_t kCount = kNumCabinetParameters + kNumCabinetReadings + 1;
static_assert(kFirstReading == parameterids::kRowsNumberedInPlace && kNumCabinetReadings == 4,
              "the readings and the bypass hold their ids");
using parameterids::idOfRow;
using parameterids::rowOf;

inline bool isParameter(clap_id id) { return rowOf(id) >= 0; }
inline bool isReading(clap_id id) { return id >= kFirstReading && id < kFirstReading + kNumCabinetReadings; }
// The id listed at `index` (0 to kCount - 1).
inline clap_id idAt(uint32_t index) {
    if (index < static_cast<uint32_t>(kNumCabinetParameters)) return idOfRow(static_cast<int>(index));
    return index < kCount - 1 ? kFirstReading + (index - kNumCabinetParameters) : kBypass;
}

// The description of the parameter listed at `index`.
void describe(uint32_t index, clap_param_info_t& info);

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
