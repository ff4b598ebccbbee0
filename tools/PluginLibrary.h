// Loads the built plug-in library and finds its exported entry points, the
// way a host does: dlopen on Linux, LoadLibrary on Windows.
#pragma once

#include <string>

#include "VstInterface.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

using PluginEntry = AEffect* (*)(audioMasterCallback);

class PluginLibrary {
public:
    explicit PluginLibrary(const std::string& path) {
#if defined(_WIN32)
        handle = LoadLibraryA(path.c_str());
#else
        handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
    }
    ~PluginLibrary() {
        if (!handle) return;
#if defined(_WIN32)
        FreeLibrary(static_cast<HMODULE>(handle));
#else
        dlclose(handle);
#endif
    }
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool loaded() const { return handle != nullptr; }

    PluginEntry entry(const char* name) const { return reinterpret_cast<PluginEntry>(symbol(name)); }

    // Any exported symbol: a function or, as CLAP's entry, a record.
    void* symbol(const char* name) const {
#if defined(_WIN32)
        return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
#else
        return dlsym(handle, name);
#endif
    }

private:
    void* handle = nullptr;
};
