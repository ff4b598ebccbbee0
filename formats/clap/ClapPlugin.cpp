#include "ClapPlugin.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "ClapParameters.h"
#include "ClapPresets.h"

namespace {

ClapPlugin& self(const clap_plugin_t* plugin) { return ClapPlugin::of(plugin); }

bool isCoreEvent(const clap_event_header_t& event, uint16_t type, size_t size) {
    return event.space_id == CLAP_CORE_EVENT_SPACE_ID && event.type == type && event.size >= size;
}

const clap_event_param_value_t* valueChange(const clap_event_header_t& event) {
    if (!isCoreEvent(event, CLAP_EVENT_PARAM_VALUE, sizeof(clap_event_param_value_t))) return nullptr;
    const auto& change = reinterpret_cast<const clap_event_param_value_t&>(event);
    const bool known = clapparameters::isParameter(change.param_id) || change.param_id == clapparameters::kBypass;
    return known && std::isfinite(change.value) ? &change : nullptr;
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

// The host's input events as the instance's: parameter values and MIDI
// messages; anything else is passed over.
class ClapEvents final : public EventSource {
public:
    explicit ClapEvents(const clap_input_events_t* in)
        : in(in), count(in && in->size && in->get ? in->size(in) : 0) {}

    bool next(TimedEvent& event) override {
        while (position < count) {
            const clap_event_header_t* header = in->get(in, position++);
            if (!header) continue;
            event = TimedEvent{};
            event.frame = header->time;
            if (const clap_event_param_value_t* change = valueChange(*header)) {
                if (change->param_id == clapparameters::kBypass) {
                    event.kind = EventKind::Bypass;
                    event.normalized = change->value;
                    return true;
                }
                event.kind = EventKind::Value;
                event.index = clapparameters::rowOf(change->param_id);
                event.normalized = clapparameters::normalized(change->param_id, change->value);
                return true;
            }
            if (isCoreEvent(*header, CLAP_EVENT_MIDI, sizeof(clap_event_midi_t))) {
                event.kind = EventKind::Midi;
                std::memcpy(event.midi, reinterpret_cast<const clap_event_midi_t*>(header)->data, 3);
                event.size = 3;
                return true;
            }
        }
        return false;
    }

private:
    const clap_input_events_t* in;
    uint32_t count;
    uint32_t position = 0;
};

// A speed switch is the speed toggle's new value, which the host hears at
// the switch's frame.
class ClapReport final : public ProcessReport {
public:
    explicit ClapReport(const clap_output_events_t* out) : out(out) {}

    void speedSwitched(uint32_t frame, bool fast) override {
        if (!out) return;
        const clap_event_param_value_t event =
            valueEvent(frame, clapparameters::idOfRow(kSpeedToggle),
                       kCabinetParameters[kSpeedToggle].toValue(fast ? 1.0f : 0.0f));
        out->try_push(out, &event.header);
    }

private:
    const clap_output_events_t* out;
};

}  // namespace

const clap_plugin_t ClapPlugin::kFunctions = {
    &kClapDescriptor,
    nullptr,
    [](const clap_plugin_t* p) { return self(p).init(); },
    [](const clap_plugin_t* p) { delete &self(p); },
    [](const clap_plugin_t* p, double rate, uint32_t, uint32_t) { return self(p).activate(rate); },
    [](const clap_plugin_t* p) { self(p).instance.deactivate(); },
    [](const clap_plugin_t*) { return true; },
    [](const clap_plugin_t*) {},
    // As when a VST 2 host switches the effect on again: the delay lines start silent.
    [](const clap_plugin_t* p) { self(p).instance.reset(); },
    [](const clap_plugin_t* p, const clap_process_t* process) {
        return process ? self(p).process(*process) : CLAP_PROCESS_ERROR;
    },
    [](const clap_plugin_t* p, const char* id) { return id ? self(p).extension(id) : nullptr; },
    [](const clap_plugin_t*) {},
};

ClapPlugin::ClapPlugin(const clap_host_t* host)
    : plugin(kFunctions), host(host), editor(instance, *this), window(&editor.editor(), host) {
    plugin.plugin_data = this;
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
    if (!isSupportedSampleRate(sampleRate)) {
        char message[128];
        std::snprintf(message, sizeof message, "Halvern: activation refused: the sample rate is not one from %.0f to %.0f Hz.",
                      kLowestSampleRate, kHighestSampleRate);
        log(CLAP_LOG_HOST_MISBEHAVING, message);
        return false;
    }
    instance.setSampleRate(sampleRate);
    instance.activate();
    return true;
}

// The editor's events go first (at frame 0); then the block with the
// host's events.
clap_process_status ClapPlugin::process(const clap_process_t& p) {
    if (p.audio_inputs_count < 1 || p.audio_outputs_count < 1 || !p.audio_inputs || !p.audio_outputs)
        return CLAP_PROCESS_ERROR;
    const clap_audio_buffer_t& in = p.audio_inputs[0];
    const clap_audio_buffer_t& out = p.audio_outputs[0];
    if (in.channel_count < 2 || out.channel_count < 2 || !in.data32 || !out.data32 || !in.data32[0] ||
        !in.data32[1] || !out.data32[0] || !out.data32[1])
        return CLAP_PROCESS_ERROR;

    const clap_output_events_t* events = p.out_events && p.out_events->try_push ? p.out_events : nullptr;
    sendEditorEvents(events);
    ClapEvents source(p.in_events);
    ClapReport report(events);
    instance.process({{in.data32[0], in.data32[1]}, {out.data32[0], out.data32[1]}, p.frames_count}, &source,
                     &report);
    return CLAP_PROCESS_CONTINUE;
}

double ClapPlugin::value(clap_id id) const {
    if (id == clapparameters::kBypass) return instance.bypassed() ? 1.0 : 0.0;
    return instance.value(clapparameters::rowOf(id));
}

void ClapPlugin::applyValue(const clap_event_header_t& event) {
    const clap_event_param_value_t* change = valueChange(event);
    if (!change) return;
    if (change->param_id == clapparameters::kBypass)
        instance.setBypassed(change->value >= 0.5);
    else
        instance.setNormalized(clapparameters::rowOf(change->param_id),
                               clapparameters::normalized(change->param_id, change->value));
}

void ClapPlugin::flush(const clap_input_events_t* in, const clap_output_events_t* out) {
    const uint32_t count = in && in->size && in->get ? in->size(in) : 0;
    for (uint32_t i = 0; i < count; ++i)
        if (const clap_event_header_t* event = in->get(in, i)) applyValue(*event);
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

void ClapPlugin::announceChange(int index, float) {
    const clap_id id = clapparameters::idOfRow(index);
    editorEvents.push({CLAP_EVENT_PARAM_VALUE, id, value(id)});
    tellHostToFlush();
}

// A gesture's end goes out with the value it ended at, which the host then
// has even where values in between found the queue full.
void ClapPlugin::announceGesture(int index, bool begins) {
    const clap_id id = clapparameters::idOfRow(index);
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

namespace {

class ClapSink final : public ByteSink {
public:
    explicit ClapSink(const clap_ostream_t* stream) : stream(stream) {}
    int64_t write(const uint8_t* bytes, size_t size) override { return stream->write(stream, bytes, size); }

private:
    const clap_ostream_t* stream;
};

class ClapSource final : public ByteSource {
public:
    explicit ClapSource(const clap_istream_t* stream) : stream(stream) {}
    int64_t read(uint8_t* bytes, size_t size) override { return stream->read(stream, bytes, size); }

private:
    const clap_istream_t* stream;
};

}  // namespace

bool ClapPlugin::save(const clap_ostream_t* stream) {
    if (!stream || !stream->write) return false;
    ClapSink sink(stream);
    if (!instance.save(sink)) return true;
    log(CLAP_LOG_ERROR, "Halvern: the state could not be saved: the host's stream took no more bytes.");
    return false;
}

// Nothing changes unless the whole record is good.
bool ClapPlugin::load(const clap_istream_t* stream) {
    if (!stream || !stream->read) return false;
    ClapSource source(stream);
    if (const char* why = instance.load(source)) {
        char message[160];
        std::snprintf(message, sizeof message, "Halvern: the state was not loaded, as %s; the settings are unchanged.",
                      why);
        log(CLAP_LOG_ERROR, message);
        return false;
    }
    if (hostParams) hostParams->rescan(host, CLAP_PARAM_RESCAN_VALUES);
    return true;
}

bool ClapPlugin::loadPreset(uint32_t kind, const char* location, const char* key) {
    const bool inPlugin = kind == CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN && !location;
    const int program = inPlugin ? clappresets::programOfLoadKey(key) : -1;
    if (!instance.loadProgram(program)) {
        if (hostPresetLoad)
            hostPresetLoad->on_error(host, kind, location, key, 0, "Halvern has no such preset: its presets are its factory programs.");
        return false;
    }
    if (hostParams) hostParams->rescan(host, CLAP_PARAM_RESCAN_VALUES);
    if (hostPresetLoad) hostPresetLoad->loaded(host, kind, location, key);
    return true;
}
