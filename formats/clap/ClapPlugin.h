// One CLAP plug-in instance: a host of the one effect object. Parameter and
// MIDI events cut the block at their frames and reach the effect as its own
// parameter changes and MIDI event lists, so the sound is the VST 2
// effect's sample for sample. What the effect reports back (a MIDI speed
// switch on the audio thread, the editor's changes and gestures on the
// main thread) becomes the host's output events.
#pragma once

#include <atomic>
#include <cstdint>

#include "ClapEditorWindow.h"
#include "ClapInterface.h"
#include "EditorEventQueue.h"
#include "MidiEventBlock.h"
#include "SpeakerPlugin.h"

extern const clap_plugin_descriptor_t kClapDescriptor;

class ClapPlugin {
public:
    explicit ClapPlugin(const clap_host_t* host);
    ClapPlugin(const ClapPlugin&) = delete;
    ClapPlugin& operator=(const ClapPlugin&) = delete;

    const clap_plugin_t* record() const { return &plugin; }
    static ClapPlugin& of(const clap_plugin_t* plugin) { return *static_cast<ClapPlugin*>(plugin->plugin_data); }

    // Parameters, in display units.
    double value(clap_id id);
    void flush(const clap_input_events_t* in, const clap_output_events_t* out);

    // State.
    bool save(const clap_ostream_t* stream);
    bool load(const clap_istream_t* stream);

    ClapEditorWindow& editorWindow() { return window; }
    // The editor made ready to embed; a host that could not idle it gets none
    // and is told why in its log.
    bool createEditor(const char* api, bool floating);

private:
    // MIDI events one stretch of a block hands over; more are dropped.
    static constexpr int kMaxMidiEvents = 512;

    bool init();
    bool activate(double sampleRate);
    clap_process_status process(const clap_process_t& process);
    const void* extension(const char* id) const;

    void applyEvent(const clap_event_header_t& event);
    void runStretch(const clap_process_t& process, uint32_t from, uint32_t to);
    void sendEditorEvents(const clap_output_events_t* out);
    void effectChanged(VstInt32 index, float normalized);
    void editorGesture(VstInt32 index, bool begins);
    void tellHostToFlush();
    void log(int32_t severity, const char* message) const;

    // The plug-in record's functions; each instance's copy points at it.
    static const clap_plugin_t kFunctions;

    static VstIntPtr effectCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                    float opt);

    clap_plugin_t plugin;
    const clap_host_t* host;
    const clap_host_params_t* hostParams = nullptr;
    const clap_host_log_t* hostLog = nullptr;
    SpeakerPlugin effect;
    ClapEditorWindow window;
    EditorEventQueue editorEvents;

    // While process runs: its thread, its output list and the frame the
    // stretch being processed starts at.
    std::atomic<uintptr_t> processThread{0};
    const clap_output_events_t* processOut = nullptr;
    uint32_t stretchStart = 0;

    MidiEventBlock<kMaxMidiEvents> midi;  // the messages that start the next stretch
};
