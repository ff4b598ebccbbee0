#include "ClapPlugin.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "ClapParameters.h"
#include "ClapPresets.h"
#include "SettingsRecord.h"

namespace {

ClapPlugin& self(const clap_plugin_t* plugin) { return ClapPlugin::of(plugin); }

bool isCoreEvent(const clap_event_header_t& event, uint16_t type, size_t size) {
    return event.space_id == CLAP_CORE_EVENT_SPACE_ID && event.type == type && event.size >= size;
}

clap_event_param_value_t valueEvent(uint32_t time, clap_id id, double value) {
    clap_event_param_value_t event{};
    event.header = {sizeof event, time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
    event.param_id = id;
    event.note_id = -1;
    event.port_index = -1;
    event.channel = -1;
    event.key = -1;
    event.value = value;
    return event;
}

}  // namespace

const clap_plugin_t ClapPlugin::kFunctions = {
    &kClapDescriptor,
    nullptr,
    [](const clap_plugin_t* p) { return self(p).init(); },
    [](const clap_plugin_t* p) { delete &self(p); },
    [](const clap_plugin_t* p, double rate, uint32_t, uint32_t) { return self(p).activate(rate); },
    [](const clap_plugin_t*) {},
    [](const clap_plugin_t*) { return true; },
    [](const clap_plugin_t*) {},
    // As when a VST 2 host switches the effect on again: the delay lines start silent.
    [](const clap_plugin_t* p) { self(p).core.clearDelays(); },
    [](const clap_plugin_t* p, const clap_process_t* process) {
        return process ? self(p).process(*process) : CLAP_PROCESS_ERROR;
    },
    [](const clap_plugin_t* p, const char* id) { return id ? self(p).extension(id) : nullptr; },
    [](const clap_plugin_t*) {},
};

ClapPlugin::ClapPlugin(const clap_host_t* host)
    : plugin(kFunctions), host(host), editor(this), window(&editor, host) {
    plugin.plugin_data = this;
    for (int i = 0; i < kNumCabinetParameters; ++i) normalizedValues[i] = kCabinetParameters[i].defaultNormalized();
}

// The host may be asked for its services from here on.
bool ClapPlugin::init() {
    hostParams = static_cast<const clap_host_params_t*>(host->get_extension(host, CLAP_EXT_PARAMS));
    hostLog = static_cast<const clap_host_log_t*>(host->get_extension(host, CLAP_EXT_LOG));
    if (hostParams && (!hostParams->request_flush || !hostParams->rescan)) hostParams = nullptr;
    if (hostLog && !hostLog->log) hostLog = nullptr;
    hostPresetLoad = static_cast<const clap_host_preset_load_t*>(host->get_extension(host, CLAP_EXT_PRESET_LOAD));
    if (!hostPresetLoad)
        hostPresetLoad =
            static_cast<const clap_host_preset_load_t*>(host->get_extension(host, CLAP_EXT_PRESET_LOAD_COMPAT));
    if (hostPresetLoad && (!hostPresetLoad->on_error || !hostPresetLoad->loaded)) hostPresetLoad = nullptr;
    window.findHostServices();
    return true;
}

bool ClapPlugin::activate(double sampleRate) {
    if (!SpeakerCore::isUsableSampleRate(sampleRate)) {
        log(CLAP_LOG_HOST_MISBEHAVING, "Halvern: activation refused: the sample rate is not a number above 0.");
        return false;
    }
    core.setSampleRate(static_cast<float>(sampleRate));
    core.clearDelays();
    return true;
}

// The editor's events go first (at frame 0); then each input event takes
// effect at its frame, the block cut there. Events past the block's end act
// at its last frame (in a block of no frames, before nothing).
clap_process_status ClapPlugin::process(const clap_process_t& p) {
    const uint32_t frames = p.frames_count;
    if (p.audio_inputs_count < 1 || p.audio_outputs_count < 1 || !p.audio_inputs || !p.audio_outputs)
        return CLAP_PROCESS_ERROR;
    const clap_audio_buffer_t& in = p.audio_inputs[0];
    const clap_audio_buffer_t& out = p.audio_outputs[0];
    if (in.channel_count < 2 || out.channel_count < 2 || !in.data32 || !out.data32 || !in.data32[0] ||
        !in.data32[1] || !out.data32[0] || !out.data32[1])
        return CLAP_PROCESS_ERROR;

    const clap_output_events_t* events = p.out_events && p.out_events->try_push ? p.out_events : nullptr;
    sendEditorEvents(events);
    const uint32_t count = p.in_events && p.in_events->size && p.in_events->get ? p.in_events->size(p.in_events) : 0;
    const uint32_t lastFrame = frames > 0 ? frames - 1 : 0;
    uint32_t done = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const clap_event_header_t* event = p.in_events->get(p.in_events, i);
        if (!event) continue;
        uint32_t at = event->time < done ? done : event->time;
        if (at > lastFrame) at = lastFrame;
        if (at > done) {
            runStretch(p, events, done, at);
            done = at;
        }
        applyEvent(*event);
    }
    if (frames > done) runStretch(p, events, done, frames);
    midiCount = 0;
    core.publishReadings();
    hornPosition = core.hornPosition();
    drumPosition = core.drumPosition();
    return CLAP_PROCESS_CONTINUE;
}

// A parameter value or a MIDI message; the messages wait for the stretch
// they start.
void ClapPlugin::applyEvent(const clap_event_header_t& event) {
    if (isCoreEvent(event, CLAP_EVENT_PARAM_VALUE, sizeof(clap_event_param_value_t))) {
        const auto& change = reinterpret_cast<const clap_event_param_value_t&>(event);
        if (clapparameters::isParameter(change.param_id) && std::isfinite(change.value))
            setNormalized(change.param_id, clapparameters::normalized(change.param_id, change.value));
    } else if (isCoreEvent(event, CLAP_EVENT_MIDI, sizeof(clap_event_midi_t)) && midiCount < kMaxMidiEvents) {
        std::memcpy(midi[midiCount++], reinterpret_cast<const clap_event_midi_t&>(event).data, 3);
    }
}

// Each stretch runs on the coefficients as they are when it starts, after
// the MIDI messages that wait for it.
void ClapPlugin::runStretch(const clap_process_t& p, const clap_output_events_t* out, uint32_t from, uint32_t to) {
    core.beginBlock();
    applyMidi(out, from);
    const float* const* in = p.audio_inputs[0].data32;
    float* const* result = p.audio_outputs[0].data32;
    core.processStretch(in[0] + from, in[1] + from, result[0] + from, result[1] + from, static_cast<int>(to - from),
                        true);
}

// A speed switch is the speed toggle's new value, which the host hears at
// the switch's frame.
void ClapPlugin::applyMidi(const clap_output_events_t* out, uint32_t frame) {
    for (int i = 0; i < midiCount; ++i) {
        const int wantFast = core.speedSwitchOf(midi[i], 3);
        if (wantFast < 0 || !core.switchSpeed(wantFast == 1)) continue;
        normalizedValues[kSpeedToggle] = wantFast ? 1.0f : 0.0f;
        editor.setParameter(kSpeedToggle, normalizedValues[kSpeedToggle]);
        if (!out) continue;
        const clap_event_param_value_t event = valueEvent(frame, kSpeedToggle, core.value(kSpeedToggle));
        out->try_push(out, &event.header);
    }
    midiCount = 0;
}

void ClapPlugin::flush(const clap_input_events_t* in, const clap_output_events_t* out) {
    const uint32_t count = in && in->size && in->get ? in->size(in) : 0;
    for (uint32_t i = 0; i < count; ++i)
        if (const clap_event_header_t* event = in->get(in, i);
            event && isCoreEvent(*event, CLAP_EVENT_PARAM_VALUE, sizeof(clap_event_param_value_t)))
            applyEvent(*event);
    sendEditorEvents(out && out->try_push ? out : nullptr);
}

// Without a list to send to, the events are still taken, so the ring never
// holds stale ones.
void ClapPlugin::sendEditorEvents(const clap_output_events_t* out) {
    EditorEvent e;
    while (editorEvents.pop(e)) {
        if (!out) continue;
        if (e.type == CLAP_EVENT_PARAM_VALUE) {
            const clap_event_param_value_t event = valueEvent(0, e.parameter, e.value);
            out->try_push(out, &event.header);
        } else {
            clap_event_param_gesture_t event{};
            event.header = {sizeof event, 0, CLAP_CORE_EVENT_SPACE_ID, e.type, 0};
            event.param_id = e.parameter;
            out->try_push(out, &event.header);
        }
    }
}

void ClapPlugin::setNormalized(clap_id id, float normalized) {
    if (std::isnan(normalized)) return;
    const float clamped = normalized < 0.0f ? 0.0f : (normalized > 1.0f ? 1.0f : normalized);
    normalizedValues[id] = clamped;
    core.setParameter(static_cast<int>(id), kCabinetParameters[id].toValue(clamped));
    editor.setParameter(static_cast<int>(id), clamped);
}

float ClapPlugin::parameter(int index) {
    return clapparameters::isParameter(static_cast<clap_id>(index)) ? normalizedValues[index].load() : 0.0f;
}

// The editor's change is heard at once and waits for the next process or
// flush to reach the host.
void ClapPlugin::changeParameter(int index, float normalized) {
    const clap_id id = static_cast<clap_id>(index);
    if (!clapparameters::isParameter(id)) return;
    setNormalized(id, normalized);
    editorEvents.push({CLAP_EVENT_PARAM_VALUE, id, value(id)});
    tellHostToFlush();
}

// A gesture's end goes out with the value it ended at, which the host then
// has even where values in between found the queue full.
void ClapPlugin::editorGesture(clap_id id, bool begins) {
    if (!clapparameters::isParameter(id)) return;
    if (begins) {
        editorEvents.push({CLAP_EVENT_PARAM_GESTURE_BEGIN, id, 0.0}, true);
    } else {
        editorEvents.push({CLAP_EVENT_PARAM_VALUE, id, value(id)}, true);
        editorEvents.push({CLAP_EVENT_PARAM_GESTURE_END, id, 0.0}, true);
    }
    tellHostToFlush();
}

void ClapPlugin::tellHostToFlush() {
    if (hostParams) hostParams->request_flush(host);
}

bool ClapPlugin::createEditor(const char* api, bool floating) {
    if (window.isApiSupported(api, floating) && !window.canBeIdled()) {
        log(CLAP_LOG_ERROR, "Halvern: no editor: the host offers neither timer-support nor posix-fd-support to idle it.");
        return false;
    }
    return window.create(api, floating);
}

void ClapPlugin::log(int32_t severity, const char* message) const {
    if (hostLog) hostLog->log(host, severity, message);
}

double ClapPlugin::value(clap_id id) { return clapparameters::displayValue(id, normalizedValues[id]); }

bool ClapPlugin::save(const clap_ostream_t* stream) {
    if (!stream || !stream->write) return false;
    settingsrecord::Values values;
    for (clap_id id = 0; id < values.size(); ++id) values[id] = value(id);
    const settingsrecord::Bytes bytes = settingsrecord::encode(values);
    for (size_t written = 0; written < bytes.size();) {
        const int64_t n = stream->write(stream, bytes.data() + written, bytes.size() - written);
        if (n <= 0) {
            log(CLAP_LOG_ERROR, "Halvern: the state could not be saved: the host's stream took no more bytes.");
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}

// The stream is read to its end (one byte more than a record may hold, so a
// longer one is seen); nothing changes unless the whole record is good.
bool ClapPlugin::load(const clap_istream_t* stream) {
    if (!stream || !stream->read) return false;
    uint8_t bytes[settingsrecord::kSize + 1];
    size_t size = 0;
    const char* why = nullptr;
    while (size < sizeof bytes) {
        const int64_t n = stream->read(stream, bytes + size, sizeof bytes - size);
        if (n == 0) break;
        if (n < 0 || static_cast<uint64_t>(n) > sizeof bytes - size) {
            why = "the host's stream reported an error";
            break;
        }
        size += static_cast<size_t>(n);
    }
    settingsrecord::Values values;
    if (!why) why = settingsrecord::decode(bytes, size, values);
    if (why) {
        char message[160];
        std::snprintf(message, sizeof message, "Halvern: the state was not loaded, as %s; the settings are unchanged.",
                      why);
        log(CLAP_LOG_ERROR, message);
        return false;
    }
    for (clap_id id = 0; id < values.size(); ++id) setNormalized(id, clapparameters::normalized(id, values[id]));
    if (hostParams) hostParams->rescan(host, CLAP_PARAM_RESCAN_VALUES);
    return true;
}

// Every factory program holds the parameters' defaults.
bool ClapPlugin::loadPreset(uint32_t kind, const char* location, const char* key) {
    const bool inPlugin = kind == CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN && !location;
    if (!inPlugin || clappresets::programOfLoadKey(key) < 0) {
        if (hostPresetLoad)
            hostPresetLoad->on_error(host, kind, location, key, 0, "Halvern has no such preset: its presets are its factory programs.");
        return false;
    }
    for (clap_id id = 0; id < kNumCabinetParameters; ++id) setNormalized(id, kCabinetParameters[id].defaultNormalized());
    if (hostParams) hostParams->rescan(host, CLAP_PARAM_RESCAN_VALUES);
    if (hostPresetLoad) hostPresetLoad->loaded(host, kind, location, key);
    return true;
}
