// The static description of an effect: identity, counts, capability flags and
// the parameter table with its value curves. The plug-in base is built from
// one of these; the effect itself is data, not code.
#pragma once

#include <cstddef>
#include <cstdint>

enum ParameterKind : int32_t {
    Continuous = 0,  // linear, not rounded; shown with "%f"
    Integer = 1,     // linear, rounded to a whole number; "%d"
    List = 2,        // linear, rounded; the real value indexes `names`
    Gain = 3,        // min and max in dB; the real value is a linear gain factor
};

// One row of a parameter table. Hosts exchange normalised values 0..1; the
// real values (percent, steps, list positions) exist only through toValue.
struct ParameterInfo {
    float defaultValue;  // in real units (dB for Gain)
    float min;
    float max;
    const char* name;
    const char* label;
    ParameterKind kind;
    const char* const* names;  // one per list position; null for the other kinds

    float toValue(float normalized) const;
    float toNormalized(float value) const;
    float defaultNormalized() const;
    // Writes the display text of a normalised value, cut to fit `size` bytes.
    void formatValue(float normalized, char* text, size_t size) const;
};

enum DescriptorFlags : int32_t {
    CanMono = 0x01,
    CanReplacing = 0x02,
    IsSynth = 0x04,
    WantsEvents = 0x08,
    SendsEvents = 0x10,
    ReceivesEvents = 0x20,
    ChannelInsert = 0x40,
    SendEffect = 0x80,
};

struct EffectDescriptor {
    int32_t numPrograms;
    int32_t numParams;
    int32_t numInputs;
    int32_t numOutputs;
    int32_t uniqueId;
    int32_t flags;  // DescriptorFlags
    const char* effectName;
    const char* vendor;
    const char* product;
    int32_t vendorVersion;
    int32_t category;
    const ParameterInfo* parameters;  // numParams rows
};
