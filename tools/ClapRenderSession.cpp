#include "ClapRenderSession.h"

#include <cstring>

#include "SpeakerDescriptor.h"

namespace {

// The events of one call: what the session hands over, each a copy.
struct Events {
    std::vector<clap_event_param_value_t> values;
    std::vector<clap_event_midi_t> midi;
    const clap_event_header_t* at(uint32_t i) const {
        return i < values.size() ? &values[i].header : &midi[i - values.size()].header;
    }
    uint32_t size() const { return static_cast<uint32_t>(values.size() + midi.size()); }
};

clap_input_events_t inputOf(const Events& events) {
    return {const_cast<Events*>(&events),
            [](const clap_input_events_t* list) { return static_cast<const Events*>(list->ctx)->size(); },
            [](const clap_input_events_t* list, uint32_t i) -> const clap_event_header_t* {
                const Events& e = *static_cast<const Events*>(list->ctx);
                return i < e.size() ? e.at(i) : nullptr;
            }};
}

// What the plug-in sends back (the speed toggle at a MIDI switch) is not needed.
const clap_output_events_t kDiscard = {
    nullptr, [](const clap_output_events_t*, const clap_event_header_t*) { return true; }};

}  // namespace

ClapRenderSession::ClapRenderSession(const clap_plugin_entry_t* entry, const std::string& path,
                                     float sampleRate, int blockSize)
    : RenderSession(sampleRate, blockSize), entry(entry) {
    if (!entry || !entry->init || !entry->init(path.c_str())) return;
    initialised = true;
    const auto* factory =
        static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
    if (!factory || factory->get_plugin_count(factory) < 1) return;
    const clap_plugin_descriptor_t* descriptor = factory->get_plugin_descriptor(factory, 0);
    host.clap_version = kClapVersion;
    host.name = "halvern-render";
    host.vendor = kSpeakerIdentity.vendor;
    host.url = "";
    host.version = "1";
    host.get_extension = [](const clap_host_t*, const char*) -> const void* { return nullptr; };
    host.request_restart = host.request_process = host.request_callback = [](const clap_host_t*) {};
    plugin = descriptor ? factory->create_plugin(factory, &host, descriptor->id) : nullptr;
    if (!plugin || !plugin->init(plugin)) return;
    if (!plugin->activate(plugin, sampleRate, 1, this->blockSize)) {
        rateRefused = true;
        return;
    }
    processing = plugin->start_processing(plugin);
    const auto* table =
        static_cast<const clap_plugin_params_t*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS));
    if (!processing || !table) return;
    for (uint32_t i = 0; i < table->count(plugin); ++i) {
        clap_param_info_t info{};
        if (table->get_info(plugin, i, &info) && !(info.flags & CLAP_PARAM_IS_READONLY)) ++settable;
    }
    if (settable > kNumCabinetParameters) settable = kNumCabinetParameters;
    params = table;
}

ClapRenderSession::~ClapRenderSession() {
    if (plugin) {
        if (processing) plugin->stop_processing(plugin);
        plugin->deactivate(plugin);
        plugin->destroy(plugin);
    }
    if (initialised) entry->deinit();
}

double ClapRenderSession::value(int index) const {
    double v = 0.0;
    params->get_value(plugin, static_cast<clap_id>(index), &v);
    return v;
}

std::string ClapRenderSession::parameterName(int index) const {
    clap_param_info_t info{};
    return params->get_info(plugin, static_cast<uint32_t>(index), &info) ? info.name : "";
}

std::string ClapRenderSession::parameterDisplay(int index) const {
    char text[256] = {};
    params->value_to_text(plugin, static_cast<clap_id>(index), value(index), text, sizeof text);
    return text;
}

float ClapRenderSession::parameter(int index) const {
    return kCabinetParameters[index].toNormalized(static_cast<float>(value(index)));
}

void ClapRenderSession::setParameter(int index, float normalized) {
    Events events;
    clap_event_param_value_t event{};
    event.header = {sizeof event, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
    event.param_id = static_cast<clap_id>(index);
    event.note_id = -1;
    event.port_index = event.channel = event.key = -1;
    event.value = kCabinetParameters[index].toValue(normalized);
    events.values.push_back(event);
    const clap_input_events_t in = inputOf(events);
    params->flush(plugin, &in, &kDiscard);
}

void ClapRenderSession::process(float* const inputs[2], float* const outputs[2], int frames,
                                const std::vector<MidiMessage>& midi) {
    Events events;
    for (const MidiMessage& m : midi) {
        clap_event_midi_t event{};
        event.header = {sizeof event, static_cast<uint32_t>(m.frame), CLAP_CORE_EVENT_SPACE_ID,
                        CLAP_EVENT_MIDI, 0};
        std::memcpy(event.data, m.bytes, 3);
        events.midi.push_back(event);
    }
    const clap_input_events_t in = inputOf(events);
    clap_audio_buffer_t input{const_cast<float**>(inputs), nullptr, 2, 0, 0};
    clap_audio_buffer_t output{const_cast<float**>(outputs), nullptr, 2, 0, 0};
    clap_process_t call{};
    call.frames_count = static_cast<uint32_t>(frames);
    call.audio_inputs = &input;
    call.audio_outputs = &output;
    call.audio_inputs_count = call.audio_outputs_count = 1;
    call.in_events = &in;
    call.out_events = &kDiscard;
    plugin->process(plugin, &call);
}
