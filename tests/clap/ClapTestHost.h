// A CLAP host of the tests' own, written on the plug-in's interface header:
// it loads the built Halvern.clap through its exported clap_entry, offers
// the host services the plug-in asks for (parameter flush requests, the log,
// timers, descriptors) and records what the plug-in does with them, and
// builds event lists and streams.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ClapInterface.h"
#include "PluginLibrary.h"

// The library, opened and initialised once per object.
class ClapLibrary {
public:
    explicit ClapLibrary(const std::string& path) : library(path) {
        if (!library.loaded()) return;
        entry = static_cast<const clap_plugin_entry_t*>(library.symbol("clap_entry"));
        if (!entry || !entry->init(path.c_str())) {
            entry = nullptr;
            return;
        }
        factory = static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
    }
    ~ClapLibrary() {
        if (entry) entry->deinit();
    }
    ClapLibrary(const ClapLibrary&) = delete;
    ClapLibrary& operator=(const ClapLibrary&) = delete;

    PluginLibrary library;
    const clap_plugin_entry_t* entry = nullptr;
    const clap_plugin_factory_t* factory = nullptr;
};

// Events as a host hands them over, each a copy of its own bytes.
class EventList {
public:
    void add(const clap_event_header_t& event) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(&event);
        events.emplace_back(bytes, bytes + event.size);
    }
    void value(uint32_t time, clap_id id, double v) {
        clap_event_param_value_t e{};
        e.header = {sizeof e, time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
        e.param_id = id;
        e.note_id = -1;
        e.port_index = e.channel = e.key = -1;
        e.value = v;
        add(e.header);
    }
    void midi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2) {
        clap_event_midi_t e{};
        e.header = {sizeof e, time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_MIDI, 0};
        e.data[0] = status;
        e.data[1] = data1;
        e.data[2] = data2;
        add(e.header);
    }
    void clear() { events.clear(); }
    size_t size() const { return events.size(); }
    const clap_event_header_t& at(size_t i) const {
        return *reinterpret_cast<const clap_event_header_t*>(events[i].data());
    }
    template <class Event>
    const Event& as(size_t i) const {
        return *reinterpret_cast<const Event*>(events[i].data());
    }

    // The list as the plug-in reads it, and as it writes to it.
    const clap_input_events_t* input() {
        in = {this, [](const clap_input_events_t* l) { return static_cast<uint32_t>(self(l).events.size()); },
              [](const clap_input_events_t* l, uint32_t i) -> const clap_event_header_t* {
                  return i < self(l).events.size() ? &self(l).at(i) : nullptr;
              }};
        return &in;
    }
    const clap_output_events_t* output() {
        out = {this, [](const clap_output_events_t* l, const clap_event_header_t* e) {
                   static_cast<EventList*>(l->ctx)->add(*e);
                   return true;
               }};
        return &out;
    }

    // The values sent for `id`, in order.
    std::vector<double> valuesOf(clap_id id) const {
        std::vector<double> found;
        for (size_t i = 0; i < size(); ++i)
            if (at(i).type == CLAP_EVENT_PARAM_VALUE && as<clap_event_param_value_t>(i).param_id == id)
                found.push_back(as<clap_event_param_value_t>(i).value);
        return found;
    }
    // The event types in order, for gestures: "B" begin, "V" value, "E" end, with the id.
    std::string shape() const {
        std::string s;
        for (size_t i = 0; i < size(); ++i) {
            const uint16_t type = at(i).type;
            s += type == CLAP_EVENT_PARAM_GESTURE_BEGIN ? 'B' : type == CLAP_EVENT_PARAM_GESTURE_END ? 'E' : 'V';
            s += static_cast<char>('0' + as<clap_event_param_gesture_t>(i).param_id);
        }
        return s;
    }

private:
    static EventList& self(const clap_input_events_t* l) { return *static_cast<EventList*>(l->ctx); }
    std::vector<std::vector<uint8_t>> events;
    clap_input_events_t in{};
    clap_output_events_t out{};
};

// A stream over bytes in memory that moves at most `chunk` bytes a call, as
// some hosts do; `failing` makes every call report an error.
class MemoryStream {
public:
    std::vector<uint8_t> bytes;
    size_t chunk = 7;
    size_t position = 0;
    bool failing = false;

    const clap_ostream_t* output() {
        out = {this, [](const clap_ostream_t* s, const void* data, uint64_t size) -> int64_t {
                   auto& self = *static_cast<MemoryStream*>(s->ctx);
                   if (self.failing) return -1;
                   const size_t n = std::min<size_t>(size, self.chunk);
                   self.bytes.insert(self.bytes.end(), static_cast<const uint8_t*>(data),
                                     static_cast<const uint8_t*>(data) + n);
                   return static_cast<int64_t>(n);
               }};
        return &out;
    }
    const clap_istream_t* input() {
        position = 0;
        in = {this, [](const clap_istream_t* s, void* data, uint64_t size) -> int64_t {
                  auto& self = *static_cast<MemoryStream*>(s->ctx);
                  if (self.failing) return -1;
                  const size_t n = std::min<size_t>({static_cast<size_t>(size), self.chunk,
                                                     self.bytes.size() - self.position});
                  if (n > 0) std::memcpy(data, self.bytes.data() + self.position, n);
                  self.position += n;
                  return static_cast<int64_t>(n);
              }};
        return &in;
    }

private:
    clap_ostream_t out{};
    clap_istream_t in{};
};

// The host record and its services.
class ClapTestHost {
public:
    ClapTestHost() {
        host.clap_version = kClapVersion;
        host.host_data = this;
        host.name = "Halvern test host";
        host.vendor = "Tessmark Professional";
        host.url = "";
        host.version = "1";
        host.get_extension = [](const clap_host_t* h, const char* id) -> const void* {
            auto& self = *static_cast<ClapTestHost*>(h->host_data);
            if (self.offersNothing) return nullptr;
            if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) return &self.params;
            if (std::strcmp(id, CLAP_EXT_LOG) == 0) return &self.log;
            if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0 && self.offerTimers) return &self.timers;
            if (std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0 && self.offerDescriptors) return &self.descriptors;
            if (std::strcmp(id, CLAP_EXT_GUI) == 0) return &self.gui;
            return nullptr;
        };
        host.request_restart = [](const clap_host_t*) {};
        host.request_process = [](const clap_host_t*) {};
        host.request_callback = [](const clap_host_t*) {};
        params = {[](const clap_host_t* h, uint32_t flags) { of(h).rescans.push_back(flags); },
                  [](const clap_host_t*, clap_id, uint32_t) {},
                  [](const clap_host_t* h) {
                      ++of(h).flushRequests;
                      if (of(h).onFlushRequest) of(h).onFlushRequest();
                  }};
        log = {[](const clap_host_t* h, int32_t severity, const char* message) {
            of(h).messages.push_back(std::to_string(severity) + " " + message);
        }};
        timers = {[](const clap_host_t* h, uint32_t period, clap_id* id) {
                      of(h).timerPeriods.push_back(period);
                      *id = static_cast<clap_id>(of(h).timerPeriods.size() + 40);
                      of(h).liveTimers.push_back(*id);
                      return true;
                  },
                  [](const clap_host_t* h, clap_id id) { return of(h).forget(of(h).liveTimers, id); }};
        gui = {[](const clap_host_t*) {},
               [](const clap_host_t* h, uint32_t width, uint32_t height) {
                   of(h).resizeRequests.push_back({width, height});
                   return of(h).acceptResize;
               },
               [](const clap_host_t*) { return false; }, [](const clap_host_t*) { return false; },
               [](const clap_host_t*, bool) {}};
        descriptors = {[](const clap_host_t* h, int fd, uint32_t flags) {
                           of(h).liveDescriptors.push_back(fd);
                           return flags == CLAP_POSIX_FD_READ;
                       },
                       [](const clap_host_t*, int, uint32_t) { return true; },
                       [](const clap_host_t* h, int fd) { return of(h).forget(of(h).liveDescriptors, fd); }};
    }
    ClapTestHost(const ClapTestHost&) = delete;
    ClapTestHost& operator=(const ClapTestHost&) = delete;

    // A created and initialised plug-in, or null.
    const clap_plugin_t* create(const ClapLibrary& library, const char* id = "com.tessmark.halvern") {
        if (!library.factory) return nullptr;
        const clap_plugin_t* plugin = library.factory->create_plugin(library.factory, &host, id);
        if (plugin && !plugin->init(plugin)) {
            plugin->destroy(plugin);
            return nullptr;
        }
        return plugin;
    }

    template <class Table>
    static const Table* extension(const clap_plugin_t* plugin, const char* id) {
        return static_cast<const Table*>(plugin->get_extension(plugin, id));
    }

    clap_host_t host{};
    bool offersNothing = false;  // as a scanner's record: no extension at all
    bool offerTimers = true;
    bool offerDescriptors = true;
    std::atomic<int> flushRequests{0};
    std::function<void()> onFlushRequest;  // run on the thread that asks
    std::vector<uint32_t> rescans;
    std::vector<std::string> messages;
    std::vector<uint32_t> timerPeriods;
    std::vector<clap_id> liveTimers;
    std::vector<int> liveDescriptors;
    // The editor's requests for a new size, answered with acceptResize.
    std::vector<std::pair<uint32_t, uint32_t>> resizeRequests;
    bool acceptResize = true;

private:
    static ClapTestHost& of(const clap_host_t* h) { return *static_cast<ClapTestHost*>(h->host_data); }
    template <class T>
    static bool forget(std::vector<T>& live, T item) {
        for (size_t i = 0; i < live.size(); ++i)
            if (live[i] == item) {
                live.erase(live.begin() + static_cast<long>(i));
                return true;
            }
        return false;
    }

    clap_host_params_t params{};
    clap_host_log_t log{};
    clap_host_timer_support_t timers{};
    clap_host_gui_t gui{};
    clap_host_posix_fd_support_t descriptors{};
};

// One process call's record for a block of `frames`.
inline clap_process_t processCall(uint32_t frames, const clap_audio_buffer_t* in, clap_audio_buffer_t* out,
                                  const clap_input_events_t* events, const clap_output_events_t* sent) {
    clap_process_t process{};
    process.frames_count = frames;
    process.audio_inputs = in;
    process.audio_outputs = out;
    process.audio_inputs_count = in ? 1 : 0;
    process.audio_outputs_count = out ? 1 : 0;
    process.in_events = events;
    process.out_events = sent;
    return process;
}
