// One CLAP plug-in: a translation of the plug-in instance. Parameter and
// MIDI events become the instance's timed events, a MIDI speed switch goes
// back to the host as an output event at its frame, and the editor's
// changes and gestures (on the main thread) wait in a queue for the next
// process or flush.
#pragma once

#include <cstdint>

#include "ClapEditorWindow.h"
#include "ClapInterface.h"
#include "EditorEventQueue.h"
#include "InstanceEditor.h"
#include "PluginInstance.h"

extern const clap_plugin_descriptor_t kClapDescriptor;

class ClapPlugin final : private EditorHostCalls {
public:
    explicit ClapPlugin(const clap_host_t* host);
    ClapPlugin(const ClapPlugin&) = delete;
    ClapPlugin& operator=(const ClapPlugin&) = delete;

    const clap_plugin_t* record() const { return &plugin; }
    static ClapPlugin& of(const clap_plugin_t* plugin) { return *static_cast<ClapPlugin*>(plugin->plugin_data); }

    // A parameter in display units, or the bypass (0 or 1).
    double value(clap_id id) const;
    // A rotor reading (see CabinetReading) as the last block left it.
    double reading(int index) const { return instance.reading(index); }
    void flush(const clap_input_events_t* in, const clap_output_events_t* out);

    // State.
    bool save(const clap_ostream_t* stream);
    bool load(const clap_istream_t* stream);
    // A factory preset by its location and load key, as the preset-discovery
    // factory lists them; anything else is refused (the host told why).
    bool loadPreset(uint32_t kind, const char* location, const char* key);

    ClapEditorWindow& editorWindow() { return window; }
    // The editor made ready to embed; a host that could not idle it gets none
    // and is told why in its log.
    bool createEditor(const char* api, bool floating);

private:
    bool init();
    bool activate(double sampleRate);
    clap_process_status process(const clap_process_t& process);
    const void* extension(const char* id) const;

    void applyValue(const clap_event_header_t& event);
    void sendEditorEvents(const clap_output_events_t* out);
    void tellHostToFlush();
    void log(int32_t severity, const char* message) const;

    // EditorHostCalls: the editor's change is heard at once and waits for
    // the next process or flush to reach the host.
    void announceChange(int index, float normalized) override;
    void announceGesture(int index, bool begins) override;

    // The plug-in record's functions; each instance's copy points at it.
    static const clap_plugin_t kFunctions;

    clap_plugin_t plugin;
    const clap_host_t* host;
    const clap_host_params_t* hostParams = nullptr;
    const clap_host_preset_load_t* hostPresetLoad = nullptr;
    const clap_host_log_t* hostLog = nullptr;
    PluginInstance instance{ChangeStyle::Smooth};
    InstanceEditor editor;
    ClapEditorWindow window;
    EditorEventQueue editorEvents;
};
