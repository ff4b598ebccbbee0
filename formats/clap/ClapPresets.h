// The factory programs as CLAP presets: a preset-discovery factory whose one
// provider lists them as presets inside the plug-in, and the load keys that
// name them ("program-1" and on), which the plug-in's preset-load extension
// reads.
#pragma once

#include "ClapInterface.h"

namespace clappresets {

extern const clap_preset_discovery_factory_t kDiscoveryFactory;

// The program a load key names, or -1 for a key that names none.
int programOfLoadKey(const char* key);

}  // namespace clappresets
