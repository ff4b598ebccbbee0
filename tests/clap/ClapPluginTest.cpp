// The built Halvern.clap as a CLAP host loads it, through clap_entry: its
// descriptor and extensions, its parameters and their texts, its state, and
// its sound against the VST 2 build's for the same input, settings and
// events, at the block sizes hosts choose.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "ClapParameters.h"
#include "ClapTestHost.h"
#include "EditorEventQueue.h"
#include "SettingsRecord.h"
#include "SpeakerDescriptor.h"
#include "InstanceReference.h"
#include "Vst2Reference.h"

using vst2reference::MidiSwitch;
using vst2reference::Setting;

namespace {

class ClapPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(library.factory, nullptr) << HALVERN_CLAP_PATH;
        plugin = host.create(library);
        ASSERT_NE(plugin, nullptr);
        params = ClapTestHost::extension<clap_plugin_params_t>(plugin, CLAP_EXT_PARAMS);
        state = ClapTestHost::extension<clap_plugin_state_t>(plugin, CLAP_EXT_STATE);
        ASSERT_NE(params, nullptr);
        ASSERT_NE(state, nullptr);
    }
    void TearDown() override {
        for (const clap_plugin_t* p : {plugin, second})
            if (p) p->destroy(p);
    }

    double value(const clap_plugin_t* p, clap_id id) {
        double v = -1000;
        EXPECT_TRUE(params->get_value(p, id, &v));
        return v;
    }
    std::string text(clap_id id, double v) {
        char buffer[64] = "unchanged";
        return params->value_to_text(plugin, id, v, buffer, sizeof buffer) ? buffer : "false";
    }
    // The value a typed text gives, or NAN where it is refused.
    double typed(clap_id id, const char* input) {
        double v = -1000;
        return params->text_to_value(plugin, id, input, &v) ? v : NAN;
    }
    void setByFlush(const clap_plugin_t* p, clap_id id, double v) {
        EventList in, out;
        in.value(0, id, v);
        params->flush(p, in.input(), out.output());
    }

    // Renders the test signal through a new instance in blocks of `block`:
    // the settings and MIDI switches as events at their frames. What the
    // plug-in sends back is in `sent`, with times counted from the start.
    std::vector<float> render(const std::vector<Setting>& settings, const std::vector<MidiSwitch>& midi, long frames,
                              int block, bool inPlace = false) {
        const clap_plugin_t* p = host.create(library);
        if (!p) return {};
        EXPECT_TRUE(p->activate(p, 44100.0, 1, static_cast<uint32_t>(block)));
        EXPECT_TRUE(p->start_processing(p));
        std::vector<float> inL(static_cast<size_t>(block)), inR(inL), outL(inL), outR(inL), out;
        float* inputs[2] = {inL.data(), inR.data()};
        float* outputs[2] = {outL.data(), outR.data()};
        clap_audio_buffer_t in{inputs, nullptr, 2, 0, 0};
        clap_audio_buffer_t output{inPlace ? inputs : outputs, nullptr, 2, 0, 0};
        EventList events, replies;
        sent.clear();
        for (long start = 0; start < frames; start += block) {
            const int n = static_cast<int>(std::min<long>(block, frames - start));
            vst2reference::signal(start, n, inL.data(), inR.data());
            events.clear();
            replies.clear();
            // In frame order; at one frame the settings come before the MIDI.
            for (long frame = start; frame < start + n; ++frame) {
                for (const Setting& s : settings)
                    if (s.frame == frame) events.value(static_cast<uint32_t>(frame - start), s.parameter, s.value);
                for (const MidiSwitch& m : midi)
                    if (m.frame == frame)
                        events.midi(static_cast<uint32_t>(frame - start), 0xB0, static_cast<uint8_t>(m.controller),
                                    static_cast<uint8_t>(m.value));
            }
            clap_process_t process =
                processCall(static_cast<uint32_t>(n), &in, &output, events.input(), replies.output());
            process.steady_time = start;
            EXPECT_EQ(p->process(p, &process), CLAP_PROCESS_CONTINUE);
            for (size_t i = 0; i < replies.size(); ++i) {
                clap_event_param_value_t e = replies.as<clap_event_param_value_t>(i);
                e.header.time += static_cast<uint32_t>(start);
                sent.push_back(e);
            }
            const std::vector<float>& left = inPlace ? inL : outL;
            const std::vector<float>& right = inPlace ? inR : outR;
            for (int i = 0; i < n; ++i) out.insert(out.end(), {left[i], right[i]});
        }
        p->stop_processing(p);
        p->deactivate(p);
        lastSpeedToggle = value(p, kSpeedToggle);
        p->destroy(p);
        return out;
    }

    ClapLibrary library{HALVERN_CLAP_PATH};
    PluginLibrary vst{HALVERN_PLUGIN_PATH};
    ClapTestHost host;
    const clap_plugin_t* plugin = nullptr;
    const clap_plugin_t* second = nullptr;
    const clap_plugin_params_t* params = nullptr;
    const clap_plugin_state_t* state = nullptr;
    std::vector<clap_event_param_value_t> sent;
    double lastSpeedToggle = -1;
};

}  // namespace

TEST_F(ClapPlugin, DescribesItselfAndOffersItsExtensions) {
    ASSERT_EQ(library.factory->get_plugin_count(library.factory), 1u);
    const clap_plugin_descriptor_t* d = library.factory->get_plugin_descriptor(library.factory, 0);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(library.factory->get_plugin_descriptor(library.factory, 1), nullptr);
    EXPECT_EQ(d->clap_version.major, 1u);
    EXPECT_STREQ(d->id, "com.tessmark.halvern");
    EXPECT_STREQ(d->name, "Halvern");
    EXPECT_STREQ(d->vendor, "Tessmark Professional");
    EXPECT_STREQ(d->version, "1");
    std::vector<std::string> features;
    for (const char* const* f = d->features; *f; ++f) features.push_back(*f);
    ASSERT_GE(features.size(), 2u);
    EXPECT_EQ(features[0], "audio-effect");
    EXPECT_EQ(features[1], "stereo");
    EXPECT_EQ(plugin->desc, d);

    EXPECT_EQ(host.create(library, "com.tessmark.other"), nullptr);
    EXPECT_EQ(library.entry->get_factory("clap.other-factory"), nullptr);
    EXPECT_EQ(plugin->get_extension(plugin, "clap.no-such-extension"), nullptr);

    const auto* latency = ClapTestHost::extension<clap_plugin_latency_t>(plugin, CLAP_EXT_LATENCY);
    ASSERT_NE(latency, nullptr);
    EXPECT_EQ(latency->get(plugin), 0u);

    const auto* audio = ClapTestHost::extension<clap_plugin_audio_ports_t>(plugin, CLAP_EXT_AUDIO_PORTS);
    ASSERT_NE(audio, nullptr);
    for (bool input : {true, false}) {
        ASSERT_EQ(audio->count(plugin, input), 1u);
        clap_audio_port_info_t info{};
        ASSERT_TRUE(audio->get(plugin, 0, input, &info));
        EXPECT_EQ(info.channel_count, 2u);
        EXPECT_EQ(info.flags & CLAP_AUDIO_PORT_IS_MAIN, CLAP_AUDIO_PORT_IS_MAIN);
        EXPECT_STREQ(info.port_type, CLAP_PORT_STEREO);
        EXPECT_FALSE(audio->get(plugin, 1, input, &info));
    }

    const auto* notes = ClapTestHost::extension<clap_plugin_note_ports_t>(plugin, CLAP_EXT_NOTE_PORTS);
    ASSERT_NE(notes, nullptr);
    ASSERT_EQ(notes->count(plugin, true), 1u);
    EXPECT_EQ(notes->count(plugin, false), 0u);
    clap_note_port_info_t note{};
    ASSERT_TRUE(notes->get(plugin, 0, true, &note));
    EXPECT_EQ(note.preferred_dialect, CLAP_NOTE_DIALECT_MIDI);
    EXPECT_EQ(note.supported_dialects & CLAP_NOTE_DIALECT_MIDI, CLAP_NOTE_DIALECT_MIDI);

    const auto* gui = ClapTestHost::extension<clap_plugin_gui_t>(plugin, CLAP_EXT_GUI);
    ASSERT_NE(gui, nullptr);
    const char* api = nullptr;
    bool floating = true;
    ASSERT_TRUE(gui->get_preferred_api(plugin, &api, &floating));
    EXPECT_FALSE(floating);
#if defined(_WIN32)
    EXPECT_STREQ(api, CLAP_WINDOW_API_WIN32);
#else
    EXPECT_STREQ(api, CLAP_WINDOW_API_X11);
#endif
    EXPECT_TRUE(gui->is_api_supported(plugin, api, false));
    EXPECT_FALSE(gui->is_api_supported(plugin, api, true));
    EXPECT_FALSE(gui->is_api_supported(plugin, "cocoa", false));
    EXPECT_FALSE(gui->can_resize(plugin));
}

TEST_F(ClapPlugin, ParametersAreTheTableInDisplayUnits) {
    ASSERT_EQ(params->count(plugin), static_cast<uint32_t>(kNumCabinetParameters + kNumCabinetReadings + 1));
    for (uint32_t i = 0; i < kNumCabinetParameters; ++i) {
        const ParameterInfo& row = kCabinetParameters[i];
        clap_param_info_t info{};
        ASSERT_TRUE(params->get_info(plugin, i, &info));
        EXPECT_EQ(info.id, i);
        EXPECT_STREQ(info.name, row.name);
        EXPECT_EQ(info.min_value, row.min) << row.name;
        EXPECT_EQ(info.max_value, row.max) << row.name;
        EXPECT_EQ(info.default_value, row.defaultValue) << row.name;
        EXPECT_EQ(value(plugin, i), row.defaultValue) << row.name;
        EXPECT_TRUE(info.flags & CLAP_PARAM_IS_AUTOMATABLE);
        EXPECT_EQ((info.flags & CLAP_PARAM_IS_STEPPED) != 0, row.kind != Hundredths) << row.name;
        EXPECT_EQ((info.flags & CLAP_PARAM_IS_ENUM) != 0, row.kind == List) << row.name;
    }
    // The rotors' readings follow, for the host to show and never to set.
    for (uint32_t r = 0; r < kNumCabinetReadings; ++r) {
        clap_param_info_t info{};
        ASSERT_TRUE(params->get_info(plugin, kNumCabinetParameters + r, &info));
        EXPECT_STREQ(info.name, kCabinetReadings[r].name);
        EXPECT_EQ(info.flags, static_cast<uint32_t>(CLAP_PARAM_IS_READONLY));
        double reading = -1;
        EXPECT_TRUE(params->get_value(plugin, kNumCabinetParameters + r, &reading));
        EXPECT_GE(reading, kCabinetReadings[r].min);
        EXPECT_LE(reading, kCabinetReadings[r].max);
    }
    // Then the bypass, which hosts may take as their own.
    clap_param_info_t info{};
    ASSERT_TRUE(params->get_info(plugin, kNumCabinetParameters + kNumCabinetReadings, &info));
    EXPECT_EQ(info.id, 27u);
    EXPECT_TRUE(info.flags & CLAP_PARAM_IS_BYPASS);
    const clap_id past = kNumCabinetParameters + kNumCabinetReadings + 1;
    EXPECT_FALSE(params->get_info(plugin, past, &info));
    double v = 0;
    EXPECT_FALSE(params->get_value(plugin, past, &v));
    EXPECT_FALSE(params->get_value(plugin, CLAP_INVALID_ID, &v));

    // A value out of range is clamped; one between steps is rounded.
    setByFlush(plugin, kSlowSpeed, 80.0);
    EXPECT_EQ(value(plugin, kSlowSpeed), 25.0);
    setByFlush(plugin, kDistortion, 42.4);
    EXPECT_EQ(value(plugin, kDistortion), 42.0);
    setByFlush(plugin, kBalance, NAN);  // ignored
    EXPECT_EQ(value(plugin, kBalance), 0.0);
    setByFlush(plugin, 99, 1.0);  // no such parameter: nothing
}

TEST_F(ClapPlugin, TextsAreTheDisplayTextsAndParseWhatUsersType) {
    EXPECT_EQ(text(kSlowSpeed, 12), "12 %");
    EXPECT_EQ(text(kSlowSpeed, -25), "-25 %");
    EXPECT_EQ(text(kSpeedToggle, 1), "fast");
    EXPECT_EQ(text(kSpeedToggle, 0), "slow");
    EXPECT_EQ(text(kSpeedKey, 3), "CTRL64");
    EXPECT_EQ(text(kDistortion, 60), "60");
    EXPECT_EQ(text(kBalance, 500), "50");  // clamped
    EXPECT_EQ(text(kBalance, NAN), "false");
    EXPECT_EQ(text(kHornFast, 414), "414 rpm");
    EXPECT_EQ(text(kDrumUp, 4.9), "4.90 s");
    EXPECT_EQ(text(kDrive, 1), "clean");
    EXPECT_EQ(text(kNumCabinetParameters + kHornAngle, 271.44), "271.4 deg");
    EXPECT_EQ(text(kNumCabinetParameters + kNumCabinetReadings, 1), "on");  // the bypass
    EXPECT_EQ(text(kNumCabinetParameters + kNumCabinetReadings + 1, 0), "false");
    char tiny[3];
    ASSERT_TRUE(params->value_to_text(plugin, kSlowSpeed, -25, tiny, sizeof tiny));
    EXPECT_STREQ(tiny, "-2");  // cut to fit

    // Every value of every parameter goes to text and back unchanged.
    for (uint32_t i = 0; i < kNumCabinetParameters; ++i) {
        const ParameterInfo& row = kCabinetParameters[i];
        for (int v = static_cast<int>(std::ceil(row.min)); v <= static_cast<int>(row.max); ++v)
            EXPECT_EQ(typed(i, text(i, v).c_str()), v) << row.name << " " << v;
    }

    EXPECT_EQ(typed(kSlowSpeed, "12"), 12.0);
    EXPECT_EQ(typed(kSlowSpeed, " 12 % "), 12.0);
    EXPECT_EQ(typed(kSlowSpeed, "30"), 25.0);  // the most it takes
    EXPECT_EQ(typed(kDistortion, "33.6"), 34.0);
    EXPECT_EQ(typed(kSpeedToggle, "FAST"), 1.0);
    EXPECT_EQ(typed(kSpeedKey, "ctrl67"), 5.0);
    EXPECT_EQ(typed(kSpeedKey, "2"), 2.0);
    EXPECT_FLOAT_EQ(typed(kHornUp, "0.704 s"), 0.7f);  // to hundredths
    EXPECT_EQ(typed(kBrake, "On"), 1.0);
    EXPECT_EQ(typed(kDrive, "exact"), 0.0);
    EXPECT_TRUE(std::isnan(typed(kNumCabinetParameters + kHornRpm, "100")));  // a reading takes nothing
    EXPECT_TRUE(std::isnan(typed(kSlowSpeed, "")));
    EXPECT_TRUE(std::isnan(typed(kSlowSpeed, "fast")));
    EXPECT_TRUE(std::isnan(typed(kSlowSpeed, "12 dB")));
    EXPECT_TRUE(std::isnan(typed(kSlowSpeed, "nan")));
    EXPECT_TRUE(std::isnan(typed(kSpeedKey, "CTRL2")));
    EXPECT_TRUE(std::isnan(typed(kNumCabinetParameters + kNumCabinetReadings, "1")));
    EXPECT_FALSE(params->text_to_value(plugin, kSlowSpeed, nullptr, nullptr));
}

TEST_F(ClapPlugin, StateRoundTripsIntoANewInstance) {
    const double chosen[kNumCabinetParameters] = {1,    -7,  19,  55, 12,  -33,  40, 4,   60,  300, 20, 450,
                                                  0.25, 3.5, 0.1, 20, 1,   270,  15, 200, 0,   50, 1};
    for (clap_id i = 0; i < kNumCabinetParameters; ++i) setByFlush(plugin, i, chosen[i]);
    MemoryStream stream;
    ASSERT_TRUE(state->save(plugin, stream.output()));
    EXPECT_GT(stream.bytes.size(), 8u);

    second = host.create(library);
    ASSERT_NE(second, nullptr);
    host.rescans.clear();
    ASSERT_TRUE(state->load(second, stream.input()));
    for (clap_id i = 0; i < kNumCabinetParameters; ++i) EXPECT_FLOAT_EQ(value(second, i), chosen[i]) << i;
    EXPECT_EQ(host.rescans, std::vector<uint32_t>{CLAP_PARAM_RESCAN_VALUES});  // the host reads them again
    EXPECT_TRUE(host.messages.empty());

    MemoryStream broken;
    broken.failing = true;
    EXPECT_FALSE(state->save(plugin, broken.output()));
}

TEST_F(ClapPlugin, LoadRefusesBadStreamsAndChangesNothing) {
    MemoryStream good;
    setByFlush(plugin, kDistortion, 90);
    ASSERT_TRUE(state->save(plugin, good.output()));
    setByFlush(plugin, kDistortion, 60);
    const std::vector<uint8_t> record = good.bytes;

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* reason;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}, "not a Halvern state"});
    cases.push_back({"another plug-in's", {'V', 'C', '2', '!', 1, 0, 0, 0}, "not a Halvern state"});
    for (size_t keep : {size_t{6}, size_t{12}, record.size() - 1})
        cases.push_back({"truncated", std::vector<uint8_t>(record.begin(), record.begin() + static_cast<long>(keep)),
                         "truncated"});
    std::vector<uint8_t> longer = record;
    longer.push_back(0);
    cases.push_back({"longer", longer, "longer"});
    for (size_t at : {size_t{9}, size_t{20}, record.size() - 2}) {
        std::vector<uint8_t> altered = record;
        altered[at] ^= 0x10;
        cases.push_back({"altered", altered, "corrupt"});
    }
    std::vector<uint8_t> newer = record;
    newer[4] = 3;
    cases.push_back({"newer", newer, "newer version"});

    for (const Case& c : cases) {
        MemoryStream stream;
        stream.bytes = c.bytes;
        host.messages.clear();
        host.rescans.clear();
        EXPECT_FALSE(state->load(plugin, stream.input())) << c.what;
        EXPECT_TRUE(host.rescans.empty()) << c.what;
        EXPECT_EQ(value(plugin, kDistortion), 60.0) << c.what;
        ASSERT_EQ(host.messages.size(), 1u) << c.what;
        EXPECT_NE(host.messages[0].find(c.reason), std::string::npos) << c.what << ": " << host.messages[0];
        EXPECT_EQ(host.messages[0].rfind(std::to_string(CLAP_LOG_ERROR) + " ", 0), 0u) << host.messages[0];
    }

    MemoryStream failing;
    failing.bytes = record;
    failing.failing = true;
    EXPECT_FALSE(state->load(plugin, failing.input()));
    EXPECT_EQ(value(plugin, kDistortion), 60.0);

    MemoryStream again;
    again.bytes = record;
    EXPECT_TRUE(state->load(plugin, again.input()));
    EXPECT_EQ(value(plugin, kDistortion), 90.0);
}

// A record that is whole and checks out but holds a value the parameter
// cannot take is refused too.
TEST(SettingsRecord, RefusesValuesOutOfRange) {
    settingsrecord::Values values{};
    for (size_t i = 0; i < values.size(); ++i) values[i] = kCabinetParameters[i].defaultValue;
    settingsrecord::Values read{};
    read[kDistortion] = 7;
    values[kDistortion] = 150;
    const settingsrecord::Bytes bytes = settingsrecord::encode(values);
    const char* why = settingsrecord::decode(bytes.data(), bytes.size(), read);
    ASSERT_NE(why, nullptr);
    EXPECT_NE(std::string(why).find("out of range"), std::string::npos);
    EXPECT_EQ(read[kDistortion], 7);
    values[kDistortion] = 100;
    EXPECT_EQ(settingsrecord::decode(settingsrecord::encode(values).data(), settingsrecord::kSize, read), nullptr);
    EXPECT_EQ(read[kDistortion], 100);
}

// A record saved before the extended cabinet (version 1, the eight values)
// still loads, the new parameters at their defaults; one that claims version
// 1 with the new record's count is refused.
TEST_F(ClapPlugin, LoadsTheFirstVersionsRecords) {
    const double eight[kNumSpeakerParameters] = {1, -7, 19, 55, 12, -33, 40, 4};
    auto recordOf = [](uint32_t version, uint32_t count, const double* values) {
        std::vector<uint8_t> bytes = {'H', 'L', 'V', 'N'};
        auto put = [&bytes](uint32_t word) {
            for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(word >> (8 * i)));
        };
        put(version);
        put(count);
        for (uint32_t i = 0; i < count; ++i) {
            uint64_t bits;
            std::memcpy(&bits, &values[i], 8);
            put(static_cast<uint32_t>(bits));
            put(static_cast<uint32_t>(bits >> 32));
        }
        uint32_t hash = 2166136261u;
        for (uint8_t b : bytes) hash = (hash ^ b) * 16777619u;
        put(hash);
        return bytes;
    };
    setByFlush(plugin, kBrake, 1);
    setByFlush(plugin, kHornDepth, 30);
    MemoryStream old;
    old.bytes = recordOf(1, kNumSpeakerParameters, eight);
    ASSERT_TRUE(state->load(plugin, old.input()));
    for (clap_id i = 0; i < kNumSpeakerParameters; ++i) EXPECT_EQ(value(plugin, i), eight[i]) << i;
    for (clap_id i = kNumSpeakerParameters; i < kNumCabinetParameters; ++i)
        EXPECT_FLOAT_EQ(value(plugin, i), kCabinetParameters[i].defaultValue) << i;

    double all[kNumCabinetParameters];
    for (int i = 0; i < kNumCabinetParameters; ++i) all[i] = kCabinetParameters[i].defaultValue;
    MemoryStream mixed;
    mixed.bytes = recordOf(1, kNumCabinetParameters, all);
    EXPECT_FALSE(state->load(plugin, mixed.input()));
}

// A host's preset browser finds the factory programs through the preset
// discovery factory, as presets inside the plug-in, and loads one by its key.
TEST_F(ClapPlugin, ListsTheFactoryProgramsAsPresetsAndLoadsThem) {
    const auto* factory = static_cast<const clap_preset_discovery_factory_t*>(
        library.entry->get_factory(CLAP_PRESET_DISCOVERY_FACTORY_ID));
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(library.entry->get_factory(CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT), factory);
    ASSERT_EQ(factory->count(factory), 1u);
    const clap_preset_discovery_provider_descriptor_t* descriptor = factory->get_descriptor(factory, 0);
    ASSERT_NE(descriptor, nullptr);
    EXPECT_EQ(factory->get_descriptor(factory, 1), nullptr);

    struct Found {
        std::vector<clap_preset_discovery_location_t> locations;
        std::vector<std::pair<std::string, std::string>> presets;  // name, load key
        std::vector<std::string> pluginIds;
        std::vector<uint32_t> flags;
    } found;
    clap_preset_discovery_indexer_t indexer{};
    indexer.clap_version = kClapVersion;
    indexer.name = "test indexer";
    indexer.indexer_data = &found;
    indexer.declare_filetype = [](const clap_preset_discovery_indexer_t*, const clap_preset_discovery_filetype_t*) {
        return true;
    };
    indexer.declare_location = [](const clap_preset_discovery_indexer_t* i, const clap_preset_discovery_location_t* l) {
        static_cast<Found*>(i->indexer_data)->locations.push_back(*l);
        return true;
    };
    EXPECT_EQ(factory->create(factory, &indexer, "no.such.provider"), nullptr);
    const clap_preset_discovery_provider_t* provider = factory->create(factory, &indexer, descriptor->id);
    ASSERT_NE(provider, nullptr);
    ASSERT_TRUE(provider->init(provider));
    ASSERT_EQ(found.locations.size(), 1u);
    EXPECT_EQ(found.locations[0].kind, static_cast<uint32_t>(CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN));
    EXPECT_EQ(found.locations[0].location, nullptr);

    clap_preset_discovery_metadata_receiver_t receiver{};
    receiver.receiver_data = &found;
    receiver.begin_preset = [](const clap_preset_discovery_metadata_receiver_t* r, const char* name, const char* key) {
        static_cast<Found*>(r->receiver_data)->presets.push_back({name, key});
        return true;
    };
    receiver.add_plugin_id = [](const clap_preset_discovery_metadata_receiver_t* r, const clap_universal_plugin_id_t* id) {
        static_cast<Found*>(r->receiver_data)->pluginIds.push_back(std::string(id->abi) + ":" + id->id);
    };
    receiver.set_flags = [](const clap_preset_discovery_metadata_receiver_t* r, uint32_t flags) {
        static_cast<Found*>(r->receiver_data)->flags.push_back(flags);
    };
    EXPECT_FALSE(provider->get_metadata(provider, CLAP_PRESET_DISCOVERY_LOCATION_FILE, "/tmp", &receiver));
    ASSERT_TRUE(provider->get_metadata(provider, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, &receiver));
    provider->destroy(provider);
    ASSERT_EQ(found.presets.size(), static_cast<size_t>(kSpeakerIdentity.programCount));
    for (int program = 0; program < kSpeakerIdentity.programCount; ++program) {
        EXPECT_EQ(found.presets[program].first, "Init " + std::to_string(program + 1));
        EXPECT_EQ(found.pluginIds[program], "clap:com.tessmark.halvern");
        EXPECT_EQ(found.flags[program], static_cast<uint32_t>(CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT));
    }

    const auto* load = ClapTestHost::extension<clap_plugin_preset_load_t>(plugin, CLAP_EXT_PRESET_LOAD);
    ASSERT_NE(load, nullptr);
    setByFlush(plugin, kDistortion, 70);
    setByFlush(plugin, kDrive, 1);
    EXPECT_FALSE(load->from_location(plugin, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, "program-9"));
    EXPECT_FALSE(load->from_location(plugin, CLAP_PRESET_DISCOVERY_LOCATION_FILE, "x", found.presets[2].second.c_str()));
    EXPECT_EQ(value(plugin, kDistortion), 70.0);
    host.rescans.clear();
    ASSERT_TRUE(load->from_location(plugin, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, found.presets[2].second.c_str()));
    for (clap_id i = 0; i < kNumCabinetParameters; ++i)
        EXPECT_FLOAT_EQ(value(plugin, i), kCabinetParameters[i].defaultValue) << i;
    EXPECT_EQ(host.rescans, std::vector<uint32_t>{CLAP_PARAM_RESCAN_VALUES});
}

// Settings held from the start sound as in the VST 2 build; settings that
// move glide, as the instance beneath every extended format makes them.
TEST_F(ClapPlugin, SoundsAsTheInstanceWithEventsAtTheirFramesAndAsTheVst2BuildWhenSteady) {
    ASSERT_TRUE(vst.loaded()) << HALVERN_PLUGIN_PATH;
    const std::vector<Setting> settings[] = {
        {{kSpeedKey, kKeyCtrl64}, {kDistortion, 90, 3001}, {kSeparation, 30, 5000}, {kSpeedToggle, 0, 7777}},
        {{kSpeedKey, kKeyCtrl1}, {kDistortion, 85}, {kBalance, -20}, {kAcceleration, 60}, {kSlowSpeed, 20, 2222},
         {kBalance, 40, 6143}},
        {{kSpeedKey, kKeyCtrl67}, {kSlowSpeed, -25}, {kFastSpeed, 25}, {kDistortion, 0}, {kFastSpeed, -10, 4096}, {kDistortion, 70, 8191}},
    };
    const int controllers[] = {64, 1, 67};
    for (int s = 0; s < 3; ++s) {
        const int c = controllers[s];
        const std::vector<MidiSwitch> midi = {{1000, c, 127}, {4100, c, 0}, {4100, c, 100}, {9000, c, 10}, {9000, 7, 127}};
        const std::vector<float> reference = instancereference::render(settings[s], midi, 12000, 64);
        float loudest = 0.0f;
        for (float v : reference) loudest = std::max(loudest, std::fabs(v));
        EXPECT_GT(loudest, 0.05f);
        // A setting one frame late sounds different.
        std::vector<Setting> late = settings[s];
        late.back().frame += 1;
        EXPECT_FALSE(instancereference::render(late, midi, 12000, 64) == reference) << "settings " << s;
        for (int block : {1, 64, 4096}) {
            const std::vector<float> clap = render(settings[s], midi, 12000, block);
            ASSERT_EQ(clap.size(), reference.size());
            EXPECT_TRUE(clap == reference) << "settings " << s << ", blocks of " << block;
        }
        EXPECT_TRUE(render(settings[s], midi, 12000, 512, true) == reference) << "in place, settings " << s;
        std::vector<Setting> steady;
        for (const Setting& setting : settings[s])
            if (setting.frame == 0) steady.push_back(setting);
        EXPECT_TRUE(render(steady, midi, 12000, 64) == vst2reference::render(vst, steady, midi, 12000, 64))
            << "steady settings " << s;
    }
}

// A MIDI speed switch tells the host at its frame; a message that changes
// nothing (already slow, or another controller) sends nothing.
TEST_F(ClapPlugin, AMidiSwitchSendsTheSpeedToggleAtItsFrame) {
    render({{kSpeedKey, kKeyCtrl64}}, {{300, 64, 127}, {700, 64, 100}, {1500, 64, 0}, {1600, 7, 127}, {2100, 64, 64}},
           3000, 512);
    ASSERT_EQ(sent.size(), 3u);
    const uint32_t frames[] = {300, 1500, 2100};
    const double values[] = {1, 0, 1};
    for (size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].header.type, CLAP_EVENT_PARAM_VALUE);
        EXPECT_EQ(sent[i].header.space_id, CLAP_CORE_EVENT_SPACE_ID);
        EXPECT_EQ(sent[i].header.size, sizeof(clap_event_param_value_t));
        EXPECT_EQ(sent[i].param_id, static_cast<clap_id>(kSpeedToggle));
        EXPECT_EQ(sent[i].header.time, frames[i]);
        EXPECT_EQ(sent[i].value, values[i]);
    }
    EXPECT_EQ(lastSpeedToggle, 1.0);
}

TEST_F(ClapPlugin, BadProcessCallsAreRefusedAndEventsPastTheEndAct) {
    ASSERT_TRUE(plugin->activate(plugin, 48000.0, 1, 256));
    float left[64] = {}, right[64] = {};
    float* channels[2] = {left, right};
    clap_audio_buffer_t mono{channels, nullptr, 1, 0, 0};
    clap_audio_buffer_t stereo{channels, nullptr, 2, 0, 0};
    EventList events, replies;
    clap_process_t process = processCall(64, &mono, &stereo, events.input(), replies.output());
    EXPECT_EQ(plugin->process(plugin, &process), CLAP_PROCESS_ERROR);
    process.audio_inputs_count = 0;
    EXPECT_EQ(plugin->process(plugin, &process), CLAP_PROCESS_ERROR);
    EXPECT_EQ(plugin->process(plugin, nullptr), CLAP_PROCESS_ERROR);

    // An event after the block's last frame still takes effect.
    process.audio_inputs = &stereo;
    process.audio_inputs_count = 1;
    events.value(500, kDistortion, 10);
    EXPECT_EQ(plugin->process(plugin, &process), CLAP_PROCESS_CONTINUE);
    EXPECT_EQ(value(plugin, kDistortion), 10.0);

    // A block of no frames still applies its events, and touches no sample.
    std::vector<float> one(1);
    float* tiny[2] = {&one[0], &one[0]};
    clap_audio_buffer_t none{tiny, nullptr, 2, 0, 0};
    EventList late, sent;
    late.value(10, kDistortion, 20);
    late.midi(12, 0xB0, 1, 127);
    clap_process_t empty = processCall(0, &none, &none, late.input(), sent.output());
    EXPECT_EQ(plugin->process(plugin, &empty), CLAP_PROCESS_CONTINUE);
    EXPECT_EQ(value(plugin, kDistortion), 20.0);
    plugin->deactivate(plugin);

    const clap_plugin_t* refused = host.create(library);
    ASSERT_NE(refused, nullptr);
    host.messages.clear();
    const double rates[] = {0.0, NAN, 1e-300, 7999.0, 384001.0};  // outside 8 to 384 kHz
    for (double rate : rates) EXPECT_FALSE(refused->activate(refused, rate, 1, 256)) << rate;
    EXPECT_EQ(host.messages.size(), std::size(rates));
    refused->destroy(refused);
}

// Values the host has not taken for long are dropped before the ring is
// full; the events that close a gesture still find room.
TEST(EditorEventQueue, KeepsRoomForTheEndOfAGesture) {
    EditorEventQueue queue;
    uint32_t values = 0;
    while (queue.push({CLAP_EVENT_PARAM_VALUE, kDistortion, 1.0 * values})) ++values;
    EXPECT_EQ(values, EditorEventQueue::kCapacity - EditorEventQueue::kReserve);
    uint32_t closing = 0;
    while (queue.push({CLAP_EVENT_PARAM_GESTURE_END, kDistortion, 0.0}, true)) ++closing;
    EXPECT_EQ(closing, EditorEventQueue::kReserve);
    EditorEvent event{};
    for (uint32_t i = 0; i < values; ++i) {
        ASSERT_TRUE(queue.pop(event));
        EXPECT_EQ(event.value, 1.0 * i);
    }
    ASSERT_TRUE(queue.pop(event));
    EXPECT_EQ(event.type, CLAP_EVENT_PARAM_GESTURE_END);
    EXPECT_TRUE(queue.push({CLAP_EVENT_PARAM_VALUE, kDistortion, 5.0}));
}

// Processing allocates nothing: not for events, not for the MIDI switch it
// sends back (to a list of the test's own that does not allocate either).
// Only where the library's operator new is the program's: the Windows
// library carries a runtime of its own.
#if !defined(_WIN32)
// The bypass fades the dry input in over 10 ms, and a state saved bypassed
// is bypassed from the first sample of a new instance.
TEST_F(ClapPlugin, TheBypassFadesInAndIsSavedWithTheState) {
    auto run = [](const clap_plugin_t* p, EventList& events, std::vector<float>& in, std::vector<float>& out) {
        float* inputs[2] = {in.data(), in.data()};
        float* outputs[2] = {out.data(), out.data() + out.size() / 2};
        clap_audio_buffer_t input{inputs, nullptr, 2, 0, 0}, output{outputs, nullptr, 2, 0, 0};
        EventList sent;
        const clap_process_t call =
            processCall(static_cast<uint32_t>(in.size()), &input, &output, events.input(), sent.output());
        ASSERT_EQ(p->process(p, &call), CLAP_PROCESS_CONTINUE);
    };
    std::vector<float> in(1024), out(2048);
    for (size_t i = 0; i < in.size(); ++i) in[i] = 0.4f * std::sin(0.05f * static_cast<float>(i));
    ASSERT_TRUE(plugin->activate(plugin, 44100.0, 1, 1024));
    EventList events;
    events.value(100, clapparameters::kBypass, 1.0);
    run(plugin, events, in, out);
    EXPECT_NE(out[300], in[300]);  // fading
    for (size_t i = 100 + 441; i < in.size(); ++i) ASSERT_EQ(out[i], in[i]) << i;
    EXPECT_EQ(value(plugin, clapparameters::kBypass), 1.0);

    MemoryStream saved;
    ASSERT_TRUE(state->save(plugin, saved.output()));
    second = host.create(library);
    ASSERT_TRUE(state->load(second, saved.input()));
    ASSERT_TRUE(second->activate(second, 44100.0, 1, 1024));
    EventList none;
    run(second, none, in, out);
    for (size_t i = 0; i < in.size(); ++i) ASSERT_EQ(out[i], in[i]) << i;
}

TEST_F(ClapPlugin, ProcessingAllocatesNothing) {
    ASSERT_TRUE(plugin->activate(plugin, 44100.0, 1, 512));
    ASSERT_TRUE(plugin->start_processing(plugin));
    std::vector<float> inL(512, 0.25f), inR(512, -0.25f), outL(512), outR(512);
    float* inputs[2] = {inL.data(), inR.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    clap_audio_buffer_t in{inputs, nullptr, 2, 0, 0}, out{outputs, nullptr, 2, 0, 0};
    EventList events;
    events.value(0, kSpeedKey, kKeyCtrl64);
    events.value(100, kDistortion, 80);
    events.midi(200, 0xB0, 64, 127);
    events.value(300, kBalance, -10);
    // The extended cabinet's work too: the clean drive fading in, the
    // brake, a depth glide.
    events.value(350, kDrive, kDriveClean);
    events.value(400, kBrake, kBrakeOn);
    events.value(450, kHornDepth, 150);
    struct FixedList {
        clap_output_events_t list;
        int count = 0;
    } sentBack{{nullptr, [](const clap_output_events_t* l, const clap_event_header_t*) {
                    ++static_cast<FixedList*>(l->ctx)->count;
                    return true;
                }}};
    sentBack.list.ctx = &sentBack;
    const clap_process_t process = processCall(512, &in, &out, events.input(), &sentBack.list);
    long allocations;
    {
        AllocationCounter counter;
        for (int block = 0; block < 4; ++block) plugin->process(plugin, &process);
        allocations = counter.count();
    }
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(sentBack.count, 1);  // the switch, once: it is fast after the first block
    plugin->stop_processing(plugin);
    plugin->deactivate(plugin);
}
#endif
