// The parameters as VST 3 hosts see them, values normalised 0..1 and plain
// in the units they show: the effect's table (the eight, then the extended
// cabinet's), the bypass, the program change of the factory program list, a
// hidden parameter that the MIDI speed controller is mapped to (its plain
// value is the controller's value, 0..127), and the rotors' readings,
// read-only. The table's ids are the fixed ones (ParameterIds.h), the
// others' as below.
#pragma once

#include <cstddef>

#include "ParameterIds.h"
#include "SpeakerDescriptor.h"
#include "Vst3Interface.h"

namespace vst3parameters {

constexpr vst3::ParamID kBypass = 23;
constexpr vst3::ParamID kProgram = 24;
constexpr vst3::ParamID kMidiSpeed = 25;
constexpr vst3::ParamID kFirstReading = 26;
constexpr int kCount = kNumCabinetParameters + 3 + kNumCabinetReadings;
constexpr vst3::ProgramListID kFactoryPrograms = 0;
static_assert(kBypass == parameterids::kRowsNumberedInPlace && kNumCabinetReadings == 4,
              "the bypass, program, MIDI speed and readings hold their ids");
using parameterids::idOfRow;
using parameterids::rowOf;
inline bool isTableParameter(vst3::ParamID id) { return rowOf(id) >= 0; }
inline bool isReading(vst3::ParamID id) { return id >= kFirstReading && id < kFirstReading + kNumCabinetReadings; }
inline bool isParameter(vst3::ParamID id) {
    return isTableParameter(id) || id == kBypass || id == kProgram || id == kMidiSpeed || isReading(id);
}
// The id listed at `index` (0 to kCount - 1): the table's rows, then the others by id.
inline vst3::ParamID idAt(int index) {
    return index < kNumCabinetParameters ? idOfRow(index) : kBypass + static_cast<vst3::ParamID>(index - kNumCabinetParameters);
}

bool describe(int index, vst3::ParameterInfo& info);

// Normalised (clamped to 0..1) and plain values of a parameter, both ways.
double toPlain(vst3::ParamID id, double normalized);
double toNormalized(vst3::ParamID id, double plain);
// What a controller's value means to the speed: fast from 64 on.
inline bool midiSpeedIsFast(double normalized) { return toPlain(kMidiSpeed, normalized) >= 64.0; }

// The display text of a normalised value, and the normalised value of a
// typed text; false for an unknown id or a text that is no value.
bool text(vst3::ParamID id, double normalized, char* out, size_t capacity);
bool parse(vst3::ParamID id, const char* text, double& normalized);

// Texts between the host's UTF-16 and the effect's ASCII: what is not ASCII
// becomes '?'; the result is always terminated within `capacity`.
void toUtf16(const char* text, vst3::char16* out, size_t capacity);
void fromUtf16(const vst3::char16* text, char* out, size_t capacity);

}  // namespace vst3parameters
