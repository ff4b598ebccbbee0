// The extensions one instance offers, as tables of functions that pass
// each call on to the instance: ports, parameters, state, preset loading,
// latency, the editor and its idle sources.
#include <cstdio>
#include <cstring>

#include "ClapParameters.h"
#include "ClapPlugin.h"

namespace {

ClapPlugin& self(const clap_plugin_t* plugin) { return ClapPlugin::of(plugin); }
ClapEditorWindow& window(const clap_plugin_t* plugin) { return ClapPlugin::of(plugin).editorWindow(); }

// One stereo main input and one stereo main output, processed in place or not.
const clap_plugin_audio_ports_t kAudioPorts = {
    [](const clap_plugin_t*, bool) -> uint32_t { return 1; },
    [](const clap_plugin_t*, uint32_t index, bool isInput, clap_audio_port_info_t* info) {
        if (index != 0 || !info) return false;
        *info = clap_audio_port_info_t{};
        info->id = 0;
        std::snprintf(info->name, sizeof info->name, "%s", isInput ? "Input" : "Output");
        info->flags = CLAP_AUDIO_PORT_IS_MAIN;
        info->channel_count = 2;
        info->port_type = CLAP_PORT_STEREO;
        info->in_place_pair = 0;
        return true;
    },
};

// One MIDI input, where the speed controllers come in.
const clap_plugin_note_ports_t kNotePorts = {
    [](const clap_plugin_t*, bool isInput) -> uint32_t { return isInput ? 1 : 0; },
    [](const clap_plugin_t*, uint32_t index, bool isInput, clap_note_port_info_t* info) {
        if (index != 0 || !isInput || !info) return false;
        *info = clap_note_port_info_t{};
        info->id = 0;
        info->supported_dialects = CLAP_NOTE_DIALECT_MIDI;
        info->preferred_dialect = CLAP_NOTE_DIALECT_MIDI;
        std::snprintf(info->name, sizeof info->name, "%s", "MIDI");
        return true;
    },
};

const clap_plugin_params_t kParams = {
    [](const clap_plugin_t*) -> uint32_t { return clapparameters::kCount; },
    [](const clap_plugin_t*, uint32_t index, clap_param_info_t* info) {
        if (index >= clapparameters::kCount || !info) return false;
        clapparameters::describe(index, *info);
        return true;
    },
    [](const clap_plugin_t* p, clap_id id, double* value) {
        if (!value) return false;
        if (clapparameters::isReading(id)) {
            *value = self(p).reading(id - clapparameters::kFirstReading);
            return true;
        }
        if (!clapparameters::isParameter(id) && id != clapparameters::kBypass) return false;
        *value = self(p).value(id);
        return true;
    },
    [](const clap_plugin_t*, clap_id id, double value, char* text, uint32_t capacity) {
        return clapparameters::valueToText(id, value, text, capacity);
    },
    [](const clap_plugin_t*, clap_id id, const char* text, double* value) {
        return value && clapparameters::textToValue(id, text, *value);
    },
    [](const clap_plugin_t* p, const clap_input_events_t* in, const clap_output_events_t* out) {
        self(p).flush(in, out);
    },
};

const clap_plugin_state_t kState = {
    [](const clap_plugin_t* p, const clap_ostream_t* stream) { return self(p).save(stream); },
    [](const clap_plugin_t* p, const clap_istream_t* stream) { return self(p).load(stream); },
};

const clap_plugin_preset_load_t kPresetLoad = {
    [](const clap_plugin_t* p, uint32_t kind, const char* location, const char* key) {
        return self(p).loadPreset(kind, location, key);
    },
};

const clap_plugin_latency_t kLatency = {[](const clap_plugin_t*) -> uint32_t { return 0; }};

// Embedded only, at the size the editor chooses: hosts ask for it, and are
// asked to follow when it changes; the user cannot drag it to another.
const clap_plugin_gui_t kGui = {
    [](const clap_plugin_t* p, const char* api, bool floating) { return window(p).isApiSupported(api, floating); },
    [](const clap_plugin_t* p, const char** api, bool* floating) {
        if (!api || !floating || !window(p).isApiSupported(ClapEditorWindow::windowApi(), false)) return false;
        *api = ClapEditorWindow::windowApi();
        *floating = false;
        return true;
    },
    [](const clap_plugin_t* p, const char* api, bool floating) { return self(p).createEditor(api, floating); },
    [](const clap_plugin_t* p) { window(p).destroy(); },
    [](const clap_plugin_t* p, double scale) { return window(p).setScale(scale); },
    [](const clap_plugin_t* p, uint32_t* width, uint32_t* height) { return window(p).getSize(width, height); },
    [](const clap_plugin_t*) { return false; },
    [](const clap_plugin_t*, clap_gui_resize_hints_t* hints) {
        if (!hints) return false;
        *hints = clap_gui_resize_hints_t{};
        return true;
    },
    // Any size asked for becomes the one size there is.
    [](const clap_plugin_t* p, uint32_t* width, uint32_t* height) { return window(p).getSize(width, height); },
    [](const clap_plugin_t* p, uint32_t width, uint32_t height) {
        uint32_t w = 0, h = 0;
        return window(p).getSize(&w, &h) && w == width && h == height;
    },
    [](const clap_plugin_t* p, const clap_window_t* parent) { return window(p).setParent(parent); },
    [](const clap_plugin_t*, const clap_window_t*) { return false; },  // never floating
    [](const clap_plugin_t*, const char*) {},
    [](const clap_plugin_t* p) { return window(p).show(); },
    [](const clap_plugin_t* p) { return window(p).hide(); },
};

const clap_plugin_timer_support_t kTimerSupport = {
    [](const clap_plugin_t* p, clap_id timer) { window(p).onTimer(timer); },
};

#if !defined(_WIN32)
const clap_plugin_posix_fd_support_t kDescriptorSupport = {
    [](const clap_plugin_t* p, int descriptor, uint32_t) { window(p).onDescriptor(descriptor); },
};
#endif

}  // namespace

const void* ClapPlugin::extension(const char* id) const {
    struct Offer {
        const char* id;
        const void* table;
    };
    static const Offer kOffers[] = {
        {CLAP_EXT_AUDIO_PORTS, &kAudioPorts}, {CLAP_EXT_NOTE_PORTS, &kNotePorts},
        {CLAP_EXT_PARAMS, &kParams},          {CLAP_EXT_STATE, &kState},
        {CLAP_EXT_LATENCY, &kLatency},        {CLAP_EXT_GUI, &kGui},
        {CLAP_EXT_PRESET_LOAD, &kPresetLoad}, {CLAP_EXT_PRESET_LOAD_COMPAT, &kPresetLoad},
        {CLAP_EXT_TIMER_SUPPORT, &kTimerSupport},
#if !defined(_WIN32)
        {CLAP_EXT_POSIX_FD_SUPPORT, &kDescriptorSupport},
#endif
    };
    for (const Offer& offer : kOffers)
        if (std::strcmp(id, offer.id) == 0) return offer.table;
    return nullptr;
}
