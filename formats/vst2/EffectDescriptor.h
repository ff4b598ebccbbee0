// The static description of an effect: identity, counts, capability flags and
// the parameter table with its value curves. The plug-in base is built from
// one of these; the effect itself is data, not code.
#pragma once

#include <cstdint>

#include "ParameterInfo.h"

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

// What kind of plug-in an effect is, numbered as VST 2 numbers its
// categories (the plug-in base hands the number to hosts as it is).
enum EffectCategory : int32_t {
    kCategoryEffect = 1,
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
    int32_t category;  // EffectCategory
    const ParameterInfo* parameters;  // numParams rows
};
