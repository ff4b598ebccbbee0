// The parameters as VST 3 hosts see them: ids 0 to 22 are the effect's table
// (the eight, then the extended cabinet's), values normalised 0..1 and plain
// in the units they show; then the bypass, the program change of the factory
// program list, a hidden parameter that the MIDI speed controller is mapped
// to (its plain value is the controller's value, 0..127), and the rotors'
// readings, read-only.
#pragma once

#include <cstddef>

#include "SpeakerDescriptor.h"
#include "Vst3Interface.h"

namespace vst3parameters {

constexpr vst3::ParamID kBypass = kNumCabinetParameters;
constexpr vst3::ParamID kProgram = kNumCabinetParameters + 1;
constexpr vst3::ParamID kMidiSpeed = kNumCabinetParameters + 2;
constexpr vst3::ParamID kFirstReading = kNumCabinetParameters + 3;
constexpr int kCount = kNumCabinetParameters + 3 + kNumCabinetReadings;
constexpr vst3::ProgramListID kFactoryPrograms = 0;

inline bool isTableParameter(vst3::ParamID id) { return id < static_cast<vst3::ParamID>(kNumCabinetParameters); }
inline bool isParameter(vst3::ParamID id) { return id < static_cast<vst3::ParamID>(kCount); }
inline bool isReading(vst3::ParamID id) { return id >= kFirstReading && isParameter(id); }

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
