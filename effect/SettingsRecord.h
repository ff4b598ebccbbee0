// The plug-in's saved settings in a small record of its own: the tag "HLVN",
// the record's version, the number of values, the parameters' values in the
// units they display (little-endian doubles, in parameter order) and a
// checksum of everything before it. Version 1 held the first eight
// parameters; version 2 holds every one. A record is read only whole: a
// truncated, altered or newer one is refused with the reason.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "SpeakerDescriptor.h"

namespace settingsrecord {

constexpr uint32_t kVersion = 2;
constexpr size_t kHeaderSize = 12;  // tag, version, count
constexpr size_t sizeFor(size_t count) { return kHeaderSize + 8 * count + 4; }
constexpr size_t kSize = sizeFor(kNumCabinetParameters);  // the longest record

using Values = std::array<double, kNumCabinetParameters>;

// What a saved state holds after the record: this tag, the program
// (little-endian 32 bits) and the bypass (0 or 1). A state saved before they
// were added ends with the record.
constexpr uint8_t kExtrasTag[4] = {'H', 'L', 'V', 'X'};
constexpr size_t kExtrasSize = 9;
using Bytes = std::array<uint8_t, kSize>;

Bytes encode(const Values& values);

// How many bytes the record that starts with these kHeaderSize bytes holds;
// 0 when they start no record this version reads (decode says why).
size_t sizeOf(const uint8_t* header);

// Fills `values` from a record of `size` bytes and answers null (a version 1
// record gives the parameters it lacks their defaults); or answers why the
// bytes are no record this version can read, and leaves `values` alone.
const char* decode(const uint8_t* bytes, size_t size, Values& values);

}  // namespace settingsrecord
