#include "SettingsRecord.h"

#include <cmath>
#include <cstring>

namespace settingsrecord {
namespace {

constexpr uint8_t kTag[4] = {'H', 'L', 'V', 'N'};

void putWord(uint8_t* at, uint32_t word) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(word >> (8 * i));
}

uint32_t word(const uint8_t* at) {
    uint32_t w = 0;
    for (int i = 0; i < 4; ++i) w |= static_cast<uint32_t>(at[i]) << (8 * i);
    return w;
}

// FNV-1a: any changed byte changes it.
uint32_t checksum(const uint8_t* bytes, size_t size) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}

}  // namespace

Bytes encode(const Values& values) {
    Bytes bytes{};
    std::memcpy(bytes.data(), kTag, 4);
    putWord(&bytes[4], kVersion);
    putWord(&bytes[8], kNumCabinetParameters);
    for (size_t i = 0; i < values.size(); ++i) {
        uint64_t bits;
        std::memcpy(&bits, &values[i], 8);
        putWord(&bytes[kHeaderSize + 8 * i], static_cast<uint32_t>(bits));
        putWord(&bytes[kHeaderSize + 8 * i + 4], static_cast<uint32_t>(bits >> 32));
    }
    putWord(&bytes[kSize - 4], checksum(bytes.data(), kSize - 4));
    return bytes;
}

size_t sizeOf(const uint8_t* header) {
    if (std::memcmp(header, kTag, 4) != 0) return 0;
    const uint32_t version = word(&header[4]);
    if (version == 1 && word(&header[8]) == kNumSpeakerParameters) return sizeFor(kNumSpeakerParameters);
    if (version == 2 && word(&header[8]) == kNumCabinetParameters) return sizeFor(kNumCabinetParameters);
    return 0;
}

const char* decode(const uint8_t* bytes, size_t size, Values& values) {
    if (size < 4 || std::memcmp(bytes, kTag, 4) != 0) return "it is not a Halvern state";
    if (size < kHeaderSize) return "it is truncated";
    const uint32_t version = word(&bytes[4]);
    if (version > kVersion) return "it was saved by a newer version of Halvern";
    const size_t count = version == 1 ? size_t{kNumSpeakerParameters} : size_t{kNumCabinetParameters};
    if (version == 0 || word(&bytes[8]) != count) return "it is corrupt";
    const size_t expected = sizeFor(count);
    if (size < expected) return "it is truncated";
    if (size > expected) return "it is longer than a state of its version";
    if (word(&bytes[expected - 4]) != checksum(bytes, expected - 4)) return "it is corrupt";
    Values read;
    for (size_t i = 0; i < read.size(); ++i) read[i] = kCabinetParameters[i].defaultValue;
    for (size_t i = 0; i < count; ++i) {
        const uint64_t bits = word(&bytes[kHeaderSize + 8 * i]) |
                              static_cast<uint64_t>(word(&bytes[kHeaderSize + 8 * i + 4])) << 32;
        std::memcpy(&read[i], &bits, 8);
        const ParameterInfo& row = kCabinetParameters[i];
        if (!(read[i] >= row.min && read[i] <= row.max)) return "it holds a value out of range";
    }
    values = read;
    return nullptr;
}

}  // namespace settingsrecord
