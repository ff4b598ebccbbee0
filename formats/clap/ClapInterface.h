// The CLAP 1.2 plug-in interface, the part of it this plug-in and its test
// host use: the entry and the plug-in factory, the plug-in and host records,
// processing with its events and audio buffers, the streams, and the
// extensions for ports, parameters, state, the editor, timers, descriptors,
// latency and the host log. Written here from the published ABI: the records
// are plain C layouts, checked with static asserts at the end of this file
// for the 64-bit targets it is built for.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

struct clap_version_t {
    uint32_t major;
    uint32_t minor;
    uint32_t revision;
};
constexpr clap_version_t kClapVersion = {1, 2, 0};

using clap_id = uint32_t;
constexpr clap_id CLAP_INVALID_ID = UINT32_MAX;

constexpr uint32_t CLAP_NAME_SIZE = 256;
constexpr uint32_t CLAP_PATH_SIZE = 1024;

struct clap_host_t;
struct clap_plugin_t;

// ---- Entry and factory ------------------------------------------------------

struct clap_plugin_entry_t {
    clap_version_t clap_version;
    bool (*init)(const char* plugin_path);
    void (*deinit)();
    const void* (*get_factory)(const char* factory_id);
};

constexpr const char* CLAP_PLUGIN_FACTORY_ID = "clap.plugin-factory";

struct clap_plugin_descriptor_t {
    clap_version_t clap_version;
    const char* id;
    const char* name;
    const char* vendor;
    const char* url;
    const char* manual_url;
    const char* support_url;
    const char* version;
    const char* description;
    const char* const* features;  // null-terminated
};

struct clap_plugin_factory_t {
    uint32_t (*get_plugin_count)(const clap_plugin_factory_t* factory);
    const clap_plugin_descriptor_t* (*get_plugin_descriptor)(const clap_plugin_factory_t* factory, uint32_t index);
    const clap_plugin_t* (*create_plugin)(const clap_plugin_factory_t* factory, const clap_host_t* host,
                                          const char* plugin_id);
};

// ---- Host -------------------------------------------------------------------

struct clap_host_t {
    clap_version_t clap_version;
    void* host_data;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    const void* (*get_extension)(const clap_host_t* host, const char* extension_id);
    void (*request_restart)(const clap_host_t* host);
    void (*request_process)(const clap_host_t* host);
    void (*request_callback)(const clap_host_t* host);
};

// ---- Events -----------------------------------------------------------------

struct clap_event_header_t {
    uint32_t size;  // of the whole event, header included
    uint32_t time;  // sample offset within the block
    uint16_t space_id;
    uint16_t type;
    uint32_t flags;
};

constexpr uint16_t CLAP_CORE_EVENT_SPACE_ID = 0;

// The core event types this plug-in reads or sends (the others are skipped).
enum : uint16_t {
    CLAP_EVENT_PARAM_VALUE = 5,
    CLAP_EVENT_PARAM_GESTURE_BEGIN = 7,
    CLAP_EVENT_PARAM_GESTURE_END = 8,
    CLAP_EVENT_MIDI = 10,
};

struct clap_event_param_value_t {
    clap_event_header_t header;
    clap_id param_id;
    void* cookie;
    int32_t note_id;  // -1 for every note
    int16_t port_index;
    int16_t channel;
    int16_t key;
    double value;
};

struct clap_event_param_gesture_t {
    clap_event_header_t header;
    clap_id param_id;
};

struct clap_event_midi_t {
    clap_event_header_t header;
    uint16_t port_index;
    uint8_t data[3];
};

struct clap_input_events_t {
    void* ctx;
    uint32_t (*size)(const clap_input_events_t* list);
    const clap_event_header_t* (*get)(const clap_input_events_t* list, uint32_t index);
};

struct clap_output_events_t {
    void* ctx;
    bool (*try_push)(const clap_output_events_t* list, const clap_event_header_t* event);
};

// ---- Processing -------------------------------------------------------------

struct clap_event_transport_t;

struct clap_audio_buffer_t {
    float** data32;
    double** data64;
    uint32_t channel_count;
    uint32_t latency;
    uint64_t constant_mask;
};

struct clap_process_t {
    int64_t steady_time;
    uint32_t frames_count;
    const clap_event_transport_t* transport;
    const clap_audio_buffer_t* audio_inputs;
    clap_audio_buffer_t* audio_outputs;
    uint32_t audio_inputs_count;
    uint32_t audio_outputs_count;
    const clap_input_events_t* in_events;
    const clap_output_events_t* out_events;
};

using clap_process_status = int32_t;
enum : clap_process_status {
    CLAP_PROCESS_ERROR = 0,
    CLAP_PROCESS_CONTINUE = 1,
};

// ---- Plug-in ----------------------------------------------------------------

struct clap_plugin_t {
    const clap_plugin_descriptor_t* desc;
    void* plugin_data;
    bool (*init)(const clap_plugin_t* plugin);
    void (*destroy)(const clap_plugin_t* plugin);
    bool (*activate)(const clap_plugin_t* plugin, double sample_rate, uint32_t min_frames_count,
                     uint32_t max_frames_count);
    void (*deactivate)(const clap_plugin_t* plugin);
    bool (*start_processing)(const clap_plugin_t* plugin);
    void (*stop_processing)(const clap_plugin_t* plugin);
    void (*reset)(const clap_plugin_t* plugin);
    clap_process_status (*process)(const clap_plugin_t* plugin, const clap_process_t* process);
    const void* (*get_extension)(const clap_plugin_t* plugin, const char* id);
    void (*on_main_thread)(const clap_plugin_t* plugin);
};

// ---- Streams ----------------------------------------------------------------

struct clap_istream_t {
    void* ctx;
    // Bytes read; 0 at the end, -1 on an error.
    int64_t (*read)(const clap_istream_t* stream, void* buffer, uint64_t size);
};

struct clap_ostream_t {
    void* ctx;
    // Bytes written; -1 on an error.
    int64_t (*write)(const clap_ostream_t* stream, const void* buffer, uint64_t size);
};

// ---- Extension: audio ports -------------------------------------------------

constexpr const char* CLAP_EXT_AUDIO_PORTS = "clap.audio-ports";
constexpr const char* CLAP_PORT_STEREO = "stereo";
enum : uint32_t { CLAP_AUDIO_PORT_IS_MAIN = 1u << 0 };

struct clap_audio_port_info_t {
    clap_id id;
    char name[CLAP_NAME_SIZE];
    uint32_t flags;
    uint32_t channel_count;
    const char* port_type;
    clap_id in_place_pair;
};

struct clap_plugin_audio_ports_t {
    uint32_t (*count)(const clap_plugin_t* plugin, bool is_input);
    bool (*get)(const clap_plugin_t* plugin, uint32_t index, bool is_input, clap_audio_port_info_t* info);
};

// ---- Extension: note ports --------------------------------------------------

constexpr const char* CLAP_EXT_NOTE_PORTS = "clap.note-ports";
enum : uint32_t { CLAP_NOTE_DIALECT_MIDI = 1u << 1 };

struct clap_note_port_info_t {
    clap_id id;
    uint32_t supported_dialects;
    uint32_t preferred_dialect;
    char name[CLAP_NAME_SIZE];
};

struct clap_plugin_note_ports_t {
    uint32_t (*count)(const clap_plugin_t* plugin, bool is_input);
    bool (*get)(const clap_plugin_t* plugin, uint32_t index, bool is_input, clap_note_port_info_t* info);
};

// ---- Extension: parameters --------------------------------------------------

constexpr const char* CLAP_EXT_PARAMS = "clap.params";
enum : uint32_t {
    CLAP_PARAM_IS_STEPPED = 1u << 0,
    CLAP_PARAM_IS_READONLY = 1u << 3,  // the host reads it and never sets it
    CLAP_PARAM_IS_BYPASS = 1u << 4,    // the host's own bypass may act through it
    CLAP_PARAM_IS_AUTOMATABLE = 1u << 5,
    CLAP_PARAM_IS_ENUM = 1u << 16,  // set with CLAP_PARAM_IS_STEPPED
};
enum : uint32_t { CLAP_PARAM_RESCAN_VALUES = 1u << 0 };

struct clap_param_info_t {
    clap_id id;
    uint32_t flags;
    void* cookie;
    char name[CLAP_NAME_SIZE];
    char module[CLAP_PATH_SIZE];
    double min_value;
    double max_value;
    double default_value;
};

struct clap_plugin_params_t {
    uint32_t (*count)(const clap_plugin_t* plugin);
    bool (*get_info)(const clap_plugin_t* plugin, uint32_t param_index, clap_param_info_t* param_info);
    bool (*get_value)(const clap_plugin_t* plugin, clap_id param_id, double* out_value);
    bool (*value_to_text)(const clap_plugin_t* plugin, clap_id param_id, double value, char* out_buffer,
                          uint32_t out_buffer_capacity);
    bool (*text_to_value)(const clap_plugin_t* plugin, clap_id param_id, const char* param_value_text,
                          double* out_value);
    void (*flush)(const clap_plugin_t* plugin, const clap_input_events_t* in, const clap_output_events_t* out);
};

struct clap_host_params_t {
    void (*rescan)(const clap_host_t* host, uint32_t flags);
    void (*clear)(const clap_host_t* host, clap_id param_id, uint32_t flags);
    void (*request_flush)(const clap_host_t* host);
};

// ---- Extension: state -------------------------------------------------------

constexpr const char* CLAP_EXT_STATE = "clap.state";

struct clap_plugin_state_t {
    bool (*save)(const clap_plugin_t* plugin, const clap_ostream_t* stream);
    bool (*load)(const clap_plugin_t* plugin, const clap_istream_t* stream);
};

// ---- Extension: latency -----------------------------------------------------

constexpr const char* CLAP_EXT_LATENCY = "clap.latency";

struct clap_plugin_latency_t {
    uint32_t (*get)(const clap_plugin_t* plugin);
};

// ---- Extension: editor ------------------------------------------------------

constexpr const char* CLAP_EXT_GUI = "clap.gui";
constexpr const char* CLAP_WINDOW_API_WIN32 = "win32";
constexpr const char* CLAP_WINDOW_API_X11 = "x11";

struct clap_window_t {
    const char* api;
    union {
        unsigned long x11;  // an X window id
        void* win32;        // an HWND
        void* ptr;
    };
};

struct clap_gui_resize_hints_t {
    bool can_resize_horizontally;
    bool can_resize_vertically;
    bool preserve_aspect_ratio;
    uint32_t aspect_ratio_width;
    uint32_t aspect_ratio_height;
};

struct clap_plugin_gui_t {
    bool (*is_api_supported)(const clap_plugin_t* plugin, const char* api, bool is_floating);
    bool (*get_preferred_api)(const clap_plugin_t* plugin, const char** api, bool* is_floating);
    bool (*create)(const clap_plugin_t* plugin, const char* api, bool is_floating);
    void (*destroy)(const clap_plugin_t* plugin);
    bool (*set_scale)(const clap_plugin_t* plugin, double scale);
    bool (*get_size)(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height);
    bool (*can_resize)(const clap_plugin_t* plugin);
    bool (*get_resize_hints)(const clap_plugin_t* plugin, clap_gui_resize_hints_t* hints);
    bool (*adjust_size)(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height);
    bool (*set_size)(const clap_plugin_t* plugin, uint32_t width, uint32_t height);
    bool (*set_parent)(const clap_plugin_t* plugin, const clap_window_t* window);
    bool (*set_transient)(const clap_plugin_t* plugin, const clap_window_t* window);
    void (*suggest_title)(const clap_plugin_t* plugin, const char* title);
    bool (*show)(const clap_plugin_t* plugin);
    bool (*hide)(const clap_plugin_t* plugin);
};

// ---- Extensions: timers and descriptors on the main thread ------------------

constexpr const char* CLAP_EXT_TIMER_SUPPORT = "clap.timer-support";

struct clap_plugin_timer_support_t {
    void (*on_timer)(const clap_plugin_t* plugin, clap_id timer_id);
};

// The host's side of the editor: resize_hints_changed, request_resize,
// request_show, request_hide, closed.
struct clap_host_gui_t {
    void (*resize_hints_changed)(const clap_host_t* host);
    bool (*request_resize)(const clap_host_t* host, uint32_t width, uint32_t height);
    bool (*request_show)(const clap_host_t* host);
    bool (*request_hide)(const clap_host_t* host);
    void (*closed)(const clap_host_t* host, bool was_destroyed);
};

struct clap_host_timer_support_t {
    bool (*register_timer)(const clap_host_t* host, uint32_t period_ms, clap_id* timer_id);
    bool (*unregister_timer)(const clap_host_t* host, clap_id timer_id);
};

constexpr const char* CLAP_EXT_POSIX_FD_SUPPORT = "clap.posix-fd-support";
enum : uint32_t { CLAP_POSIX_FD_READ = 1u << 0 };

struct clap_plugin_posix_fd_support_t {
    void (*on_fd)(const clap_plugin_t* plugin, int fd, uint32_t flags);
};

struct clap_host_posix_fd_support_t {
    bool (*register_fd)(const clap_host_t* host, int fd, uint32_t flags);
    bool (*modify_fd)(const clap_host_t* host, int fd, uint32_t flags);
    bool (*unregister_fd)(const clap_host_t* host, int fd);
};

// ---- Extension: the host's log ----------------------------------------------

constexpr const char* CLAP_EXT_LOG = "clap.log";
enum : int32_t {
    CLAP_LOG_ERROR = 3,
    CLAP_LOG_HOST_MISBEHAVING = 5,
};

struct clap_host_log_t {
    void (*log)(const clap_host_t* host, int32_t severity, const char* message);
};

// ---- Factory: preset discovery; extension: loading a preset ------------------

constexpr const char* CLAP_PRESET_DISCOVERY_FACTORY_ID = "clap.preset-discovery-factory/2";
constexpr const char* CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT = "clap.preset-discovery-factory/draft-2";
constexpr const char* CLAP_EXT_PRESET_LOAD = "clap.preset-load/2";
constexpr const char* CLAP_EXT_PRESET_LOAD_COMPAT = "clap.preset-load.draft/2";

enum : uint32_t {
    CLAP_PRESET_DISCOVERY_LOCATION_FILE = 0,
    CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN = 1,  // presets inside the plug-in; the location is null
};
enum : uint32_t { CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT = 1u << 0 };

struct clap_universal_plugin_id_t {
    const char* abi;  // "clap"
    const char* id;
};

struct clap_preset_discovery_metadata_receiver_t {
    void* receiver_data;
    void (*on_error)(const clap_preset_discovery_metadata_receiver_t* receiver, int32_t os_error, const char* message);
    bool (*begin_preset)(const clap_preset_discovery_metadata_receiver_t* receiver, const char* name,
                         const char* load_key);
    void (*add_plugin_id)(const clap_preset_discovery_metadata_receiver_t* receiver,
                          const clap_universal_plugin_id_t* plugin_id);
    void (*set_soundpack_id)(const clap_preset_discovery_metadata_receiver_t* receiver, const char* soundpack_id);
    void (*set_flags)(const clap_preset_discovery_metadata_receiver_t* receiver, uint32_t flags);
    void (*add_creator)(const clap_preset_discovery_metadata_receiver_t* receiver, const char* creator);
    void (*set_description)(const clap_preset_discovery_metadata_receiver_t* receiver, const char* description);
    void (*set_timestamps)(const clap_preset_discovery_metadata_receiver_t* receiver, uint64_t creation_time,
                           uint64_t modification_time);
    void (*add_feature)(const clap_preset_discovery_metadata_receiver_t* receiver, const char* feature);
    void (*add_extra_info)(const clap_preset_discovery_metadata_receiver_t* receiver, const char* key,
                           const char* value);
};

struct clap_preset_discovery_filetype_t {
    const char* name;
    const char* description;
    const char* file_extension;
};

struct clap_preset_discovery_location_t {
    uint32_t flags;
    const char* name;
    uint32_t kind;
    const char* location;
};

struct clap_preset_discovery_soundpack_t;

struct clap_preset_discovery_provider_descriptor_t {
    clap_version_t clap_version;
    const char* id;
    const char* name;
    const char* vendor;
};

struct clap_preset_discovery_provider_t {
    const clap_preset_discovery_provider_descriptor_t* desc;
    void* provider_data;
    bool (*init)(const clap_preset_discovery_provider_t* provider);
    void (*destroy)(const clap_preset_discovery_provider_t* provider);
    bool (*get_metadata)(const clap_preset_discovery_provider_t* provider, uint32_t location_kind, const char* location,
                         const clap_preset_discovery_metadata_receiver_t* metadata_receiver);
    const void* (*get_extension)(const clap_preset_discovery_provider_t* provider, const char* extension_id);
};

struct clap_preset_discovery_indexer_t {
    clap_version_t clap_version;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    void* indexer_data;
    bool (*declare_filetype)(const clap_preset_discovery_indexer_t* indexer,
                             const clap_preset_discovery_filetype_t* filetype);
    bool (*declare_location)(const clap_preset_discovery_indexer_t* indexer,
                             const clap_preset_discovery_location_t* location);
    bool (*declare_soundpack)(const clap_preset_discovery_indexer_t* indexer,
                              const clap_preset_discovery_soundpack_t* soundpack);
    const void* (*get_extension)(const clap_preset_discovery_indexer_t* indexer, const char* extension_id);
};

struct clap_preset_discovery_factory_t {
    uint32_t (*count)(const clap_preset_discovery_factory_t* factory);
    const clap_preset_discovery_provider_descriptor_t* (*get_descriptor)(const clap_preset_discovery_factory_t* factory,
                                                                          uint32_t index);
    const clap_preset_discovery_provider_t* (*create)(const clap_preset_discovery_factory_t* factory,
                                                      const clap_preset_discovery_indexer_t* indexer,
                                                      const char* provider_id);
};

struct clap_plugin_preset_load_t {
    bool (*from_location)(const clap_plugin_t* plugin, uint32_t location_kind, const char* location,
                          const char* load_key);
};

struct clap_host_preset_load_t {
    void (*on_error)(const clap_host_t* host, uint32_t location_kind, const char* location, const char* load_key,
                     int32_t os_error, const char* message);
    void (*loaded)(const clap_host_t* host, uint32_t location_kind, const char* location, const char* load_key);
};

}  // extern "C"

// The layouts every host expects on the 64-bit targets (Linux and Windows
// lay these records out alike: natural alignment, 8-byte pointers).
static_assert(sizeof(void*) == 8, "the CLAP records are checked for 64-bit targets");
static_assert(sizeof(clap_version_t) == 12, "clap_version_t");
static_assert(sizeof(clap_plugin_entry_t) == 40 && offsetof(clap_plugin_entry_t, init) == 16 &&
                  offsetof(clap_plugin_entry_t, get_factory) == 32,
              "clap_plugin_entry_t");
static_assert(sizeof(clap_plugin_factory_t) == 24 && offsetof(clap_plugin_factory_t, create_plugin) == 16,
              "clap_plugin_factory_t");
static_assert(sizeof(clap_plugin_descriptor_t) == 88 && offsetof(clap_plugin_descriptor_t, id) == 16 &&
                  offsetof(clap_plugin_descriptor_t, version) == 64 &&
                  offsetof(clap_plugin_descriptor_t, features) == 80,
              "clap_plugin_descriptor_t");
static_assert(sizeof(clap_host_t) == 88 && offsetof(clap_host_t, host_data) == 16 &&
                  offsetof(clap_host_t, get_extension) == 56 && offsetof(clap_host_t, request_callback) == 80,
              "clap_host_t");
static_assert(sizeof(clap_event_header_t) == 16 && offsetof(clap_event_header_t, time) == 4 &&
                  offsetof(clap_event_header_t, space_id) == 8 && offsetof(clap_event_header_t, type) == 10 &&
                  offsetof(clap_event_header_t, flags) == 12,
              "clap_event_header_t");
static_assert(sizeof(clap_event_param_value_t) == 56 && offsetof(clap_event_param_value_t, param_id) == 16 &&
                  offsetof(clap_event_param_value_t, cookie) == 24 &&
                  offsetof(clap_event_param_value_t, note_id) == 32 &&
                  offsetof(clap_event_param_value_t, port_index) == 36 &&
                  offsetof(clap_event_param_value_t, key) == 40 && offsetof(clap_event_param_value_t, value) == 48,
              "clap_event_param_value_t");
static_assert(sizeof(clap_event_param_gesture_t) == 20, "clap_event_param_gesture_t");
static_assert(sizeof(clap_event_midi_t) == 24 && offsetof(clap_event_midi_t, port_index) == 16 &&
                  offsetof(clap_event_midi_t, data) == 18,
              "clap_event_midi_t");
static_assert(sizeof(clap_input_events_t) == 24 && sizeof(clap_output_events_t) == 16, "event lists");
static_assert(sizeof(clap_audio_buffer_t) == 32 && offsetof(clap_audio_buffer_t, channel_count) == 16 &&
                  offsetof(clap_audio_buffer_t, constant_mask) == 24,
              "clap_audio_buffer_t");
static_assert(sizeof(clap_process_t) == 64 && offsetof(clap_process_t, frames_count) == 8 &&
                  offsetof(clap_process_t, transport) == 16 && offsetof(clap_process_t, audio_inputs) == 24 &&
                  offsetof(clap_process_t, audio_inputs_count) == 40 && offsetof(clap_process_t, in_events) == 48 &&
                  offsetof(clap_process_t, out_events) == 56,
              "clap_process_t");
static_assert(sizeof(clap_plugin_t) == 96 && offsetof(clap_plugin_t, init) == 16 &&
                  offsetof(clap_plugin_t, reset) == 64 && offsetof(clap_plugin_t, process) == 72 &&
                  offsetof(clap_plugin_t, on_main_thread) == 88,
              "clap_plugin_t");
static_assert(sizeof(clap_istream_t) == 16 && sizeof(clap_ostream_t) == 16, "streams");
static_assert(sizeof(clap_audio_port_info_t) == 288 && offsetof(clap_audio_port_info_t, flags) == 260 &&
                  offsetof(clap_audio_port_info_t, port_type) == 272 &&
                  offsetof(clap_audio_port_info_t, in_place_pair) == 280,
              "clap_audio_port_info_t");
static_assert(sizeof(clap_note_port_info_t) == 268 && offsetof(clap_note_port_info_t, name) == 12,
              "clap_note_port_info_t");
static_assert(sizeof(clap_param_info_t) == 1320 && offsetof(clap_param_info_t, cookie) == 8 &&
                  offsetof(clap_param_info_t, name) == 16 && offsetof(clap_param_info_t, module) == 272 &&
                  offsetof(clap_param_info_t, min_value) == 1296 &&
                  offsetof(clap_param_info_t, default_value) == 1312,
              "clap_param_info_t");
static_assert(sizeof(clap_plugin_params_t) == 48 && sizeof(clap_host_params_t) == 24, "parameter records");
static_assert(sizeof(clap_window_t) == 16 && offsetof(clap_window_t, x11) == 8, "clap_window_t");
static_assert(sizeof(clap_gui_resize_hints_t) == 12 && offsetof(clap_gui_resize_hints_t, aspect_ratio_width) == 4,
              "clap_gui_resize_hints_t");
static_assert(sizeof(clap_plugin_gui_t) == 120 && offsetof(clap_plugin_gui_t, set_parent) == 80 &&
                  offsetof(clap_plugin_gui_t, hide) == 112,
              "clap_plugin_gui_t");
static_assert(sizeof(clap_host_gui_t) == 40 && offsetof(clap_host_gui_t, request_resize) == 8 &&
                  offsetof(clap_host_gui_t, closed) == 32,
              "clap_host_gui_t");
static_assert(sizeof(clap_host_timer_support_t) == 16 && sizeof(clap_host_posix_fd_support_t) == 24,
              "timer and descriptor records");
static_assert(sizeof(clap_universal_plugin_id_t) == 16, "clap_universal_plugin_id_t");
static_assert(sizeof(clap_preset_discovery_metadata_receiver_t) == 88 &&
                  offsetof(clap_preset_discovery_metadata_receiver_t, begin_preset) == 16 &&
                  offsetof(clap_preset_discovery_metadata_receiver_t, set_flags) == 40 &&
                  offsetof(clap_preset_discovery_metadata_receiver_t, add_extra_info) == 80,
              "clap_preset_discovery_metadata_receiver_t");
static_assert(sizeof(clap_preset_discovery_filetype_t) == 24, "clap_preset_discovery_filetype_t");
static_assert(sizeof(clap_preset_discovery_location_t) == 32 && offsetof(clap_preset_discovery_location_t, kind) == 16 &&
                  offsetof(clap_preset_discovery_location_t, location) == 24,
              "clap_preset_discovery_location_t");
static_assert(sizeof(clap_preset_discovery_provider_descriptor_t) == 40 &&
                  offsetof(clap_preset_discovery_provider_descriptor_t, id) == 16,
              "clap_preset_discovery_provider_descriptor_t");
static_assert(sizeof(clap_preset_discovery_provider_t) == 48 && offsetof(clap_preset_discovery_provider_t, init) == 16 &&
                  offsetof(clap_preset_discovery_provider_t, get_metadata) == 32,
              "clap_preset_discovery_provider_t");
static_assert(sizeof(clap_preset_discovery_indexer_t) == 88 &&
                  offsetof(clap_preset_discovery_indexer_t, indexer_data) == 48 &&
                  offsetof(clap_preset_discovery_indexer_t, declare_location) == 64,
              "clap_preset_discovery_indexer_t");
static_assert(sizeof(clap_preset_discovery_factory_t) == 24 && sizeof(clap_plugin_preset_load_t) == 8 &&
                  sizeof(clap_host_preset_load_t) == 16,
              "preset factory and loading records");
