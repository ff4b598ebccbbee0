// One CLAP plug-in instance: a host of the sound core and the editor.
// Parameter and MIDI events cut the block at their frames, so the sound is
// the VST 2 effect's sample for sample. A MIDI speed switch goes back to the
// host as an output event at its frame; the editor's changes and gestures
// (on the main thread) wait in a queue for the next process or flush.
#pragma once

#include <cstdint>

#include "ClapEditorWindow.h"
#include "ClapInterface.h"
#include "EditorEventQueue.h"
#include "Relaxed.h"
#include "SpeakerController.h"
#include "SpeakerCore.h"
#include "SpeakerEditor.h"

extern const clap_plugin_descriptor_t kClapDescriptor;

class ClapPlugin : private SpeakerController {
public:
    explicit ClapPlugin(const clap_host_t* host);
    ClapPlugin(const ClapPlugin&) = delete;
    ClapPlugin& operator=(const ClapPlugin&) = delete;

    const clap_plugin_t* record() const { return &plugin; }
    static ClapPlugin& of(const clap_plugin_t* plugin) { return *static_cast<ClapPlugin*>(plugin->plugin_data); }

    // Parameters, in display units.
    double value(clap_id id);
    // A rotor reading (see CabinetReading) as the last block left it.
    double reading(int index) const { return core.reading(index); }
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
    // MIDI messages that may wait for one stretch of a block; more are dropped.
    static constexpr int kMaxMidiEvents = 512;

    bool init();
    bool activate(double sampleRate);
    clap_process_status process(const clap_process_t& process);
    const void* extension(const char* id) const;

    void applyEvent(const clap_event_header_t& event);
    void runStretch(const clap_process_t& process, const clap_output_events_t* out, uint32_t from, uint32_t to);
    void applyMidi(const clap_output_events_t* out, uint32_t frame);
    void sendEditorEvents(const clap_output_events_t* out);
    // A parameter's normalised value, as a VST 2 host would set it: clamped
    // and stored as it is, the core hearing its real value.
    void setNormalized(clap_id id, float normalized);
    void editorGesture(clap_id id, bool begins);
    void tellHostToFlush();
    void log(int32_t severity, const char* message) const;

    // The editor's controller.
    int parameterCount() override { return kNumCabinetParameters; }
    float parameter(int index) override;
    void changeParameter(int index, float normalized) override;
    void beginGesture(int index) override { editorGesture(static_cast<clap_id>(index), true); }
    void endGesture(int index) override { editorGesture(static_cast<clap_id>(index), false); }
    RotorPositions rotorPositions() override { return {hornPosition, drumPosition}; }

    // The plug-in record's functions; each instance's copy points at it.
    static const clap_plugin_t kFunctions;

    clap_plugin_t plugin;
    const clap_host_t* host;
    const clap_host_params_t* hostParams = nullptr;
    const clap_host_preset_load_t* hostPresetLoad = nullptr;
    const clap_host_log_t* hostLog = nullptr;
    SpeakerCore core;
    Relaxed<float> normalizedValues[kNumCabinetParameters];
    SpeakerEditor editor;
    ClapEditorWindow window;
    EditorEventQueue editorEvents;
    // The rotor positions at the end of the last block, for the editor.
    Relaxed<float> hornPosition{0.0f};
    Relaxed<float> drumPosition{0.0f};

    uint8_t midi[kMaxMidiEvents][3] = {};  // the messages that start the next stretch
    int midiCount = 0;
};
