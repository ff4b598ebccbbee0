#include "ClapPresets.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "ClapPlugin.h"
#include "SpeakerDescriptor.h"

namespace clappresets {
namespace {

constexpr const char* kLoadKeyPrefix = "program-";

const clap_preset_discovery_provider_descriptor_t kProviderDescriptor = {
    kClapVersion,
    "com.tessmark.halvern.factory-presets",
    "Halvern factory presets",
    kSpeakerIdentity.vendor,
};

// The presets live inside the plug-in, so the one location is the plug-in.
bool declareLocation(const clap_preset_discovery_provider_t* provider) {
    const auto* indexer = static_cast<const clap_preset_discovery_indexer_t*>(provider->provider_data);
    if (!indexer || !indexer->declare_location) return false;
    const clap_preset_discovery_location_t location = {CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT,
                                                       kProviderDescriptor.name,
                                                       CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr};
    return indexer->declare_location(indexer, &location);
}

// Each program as a preset of this plug-in, until the receiver wants no more.
bool listPresets(const clap_preset_discovery_provider_t*, uint32_t kind, const char* location,
                 const clap_preset_discovery_metadata_receiver_t* receiver) {
    if (kind != CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN || location || !receiver || !receiver->begin_preset)
        return false;
    const clap_universal_plugin_id_t plugin = {"clap", kClapDescriptor.id};
    for (int program = 0; program < kSpeakerIdentity.programCount; ++program) {
        char name[64], key[32];
        factoryPresetName(program, name, sizeof name);
        std::snprintf(key, sizeof key, "%s%d", kLoadKeyPrefix, program + 1);
        if (!receiver->begin_preset(receiver, name, key)) break;
        if (receiver->add_plugin_id) receiver->add_plugin_id(receiver, &plugin);
        if (receiver->set_flags) receiver->set_flags(receiver, CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT);
    }
    return true;
}

const clap_preset_discovery_provider_t* createProvider(const clap_preset_discovery_factory_t*,
                                                       const clap_preset_discovery_indexer_t* indexer,
                                                       const char* id) {
    if (!indexer || !id || std::strcmp(id, kProviderDescriptor.id) != 0) return nullptr;
    return new (std::nothrow) clap_preset_discovery_provider_t{
        &kProviderDescriptor,
        const_cast<clap_preset_discovery_indexer_t*>(indexer),
        declareLocation,
        [](const clap_preset_discovery_provider_t* provider) { delete provider; },
        listPresets,
        [](const clap_preset_discovery_provider_t*, const char*) -> const void* { return nullptr; },
    };
}

}  // namespace

const clap_preset_discovery_factory_t kDiscoveryFactory = {
    [](const clap_preset_discovery_factory_t*) -> uint32_t { return 1; },
    [](const clap_preset_discovery_factory_t*, uint32_t index) {
        return index == 0 ? &kProviderDescriptor : nullptr;
    },
    createProvider,
};

int programOfLoadKey(const char* key) {
    const size_t prefix = std::strlen(kLoadKeyPrefix);
    if (!key || std::strncmp(key, kLoadKeyPrefix, prefix) != 0) return -1;
    const char* digits = key + prefix;
    if (*digits < '1' || *digits > '9') return -1;
    char* end = nullptr;
    const long number = std::strtol(digits, &end, 10);
    if (*end || number > kSpeakerIdentity.programCount) return -1;
    return static_cast<int>(number) - 1;
}

}  // namespace clappresets
