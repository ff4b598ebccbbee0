// The library's CLAP entry point: one plug-in, described from the effect's
// own descriptor, made by the plug-in factory; and the factory that lists
// its presets.
#include <cstdio>
#include <cstring>
#include <new>

#include "ClapInterface.h"
#include "ClapPlugin.h"
#include "ClapPresets.h"
#include "LibraryExport.h"
#include "SpeakerDescriptor.h"


namespace {

const char* const kFeatures[] = {"audio-effect", "stereo", "chorus", "tremolo", "distortion", nullptr};

// The effect's vendor version as the descriptor's version text.
const char* versionText() {
    static char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(kSpeakerIdentity.version));
    return text;
}

const clap_plugin_t* createPlugin(const clap_plugin_factory_t*, const clap_host_t* host, const char* id) {
    if (!host || !host->get_extension || !id || std::strcmp(id, kClapDescriptor.id) != 0 ||
        host->clap_version.major < 1)
        return nullptr;
    ClapPlugin* plugin = new (std::nothrow) ClapPlugin(host);
    return plugin ? plugin->record() : nullptr;
}

const clap_plugin_factory_t kFactory = {
    [](const clap_plugin_factory_t*) -> uint32_t { return 1; },
    [](const clap_plugin_factory_t*, uint32_t index) { return index == 0 ? &kClapDescriptor : nullptr; },
    createPlugin,
};

}  // namespace

const clap_plugin_descriptor_t kClapDescriptor = {
    kClapVersion,
    "com.tessmark.halvern",
    kSpeakerIdentity.name,
    kSpeakerIdentity.vendor,
    "",
    "",
    "",
    versionText(),
    kSpeakerIdentity.product,
    kFeatures,
};

HALVERN_EXPORT const clap_plugin_entry_t clap_entry = {
    kClapVersion,
    [](const char*) { return true; },
    [] {},
    [](const char* id) -> const void* {
        if (!id) return nullptr;
        if (std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0) return &kFactory;
        if (std::strcmp(id, CLAP_PRESET_DISCOVERY_FACTORY_ID) == 0 ||
            std::strcmp(id, CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT) == 0)
            return &clappresets::kDiscoveryFactory;
        return nullptr;
    },
};
