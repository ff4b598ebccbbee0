// The VST 2 library's exported entry point, under both names hosts look for.
#include <new>

#include "LibraryExport.h"
#include "SpeakerPlugin.h"

// Creates one effect per call. A host that gives no callback, or answers 0 to
// the version query, gets null and nothing is created.
HALVERN_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;
    AudioEffect* effect = new (std::nothrow) SpeakerPlugin(audioMaster, true);
    return effect ? effect->getAeffect() : nullptr;
}

// The older name of the same entry point. C++ reserves the identifier `main`
// for programs, so the function gets its symbol name through an asm label.
HALVERN_EXPORT AEffect* legacyMainEntry(audioMasterCallback audioMaster) __asm__("main");
AEffect* legacyMainEntry(audioMasterCallback audioMaster) { return VSTPluginMain(audioMaster); }
