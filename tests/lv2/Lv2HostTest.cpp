// The LV2 bundle as an LV2 host finds and runs it, through lilv: its
// description, and its sound against the VST 2 build's for the same input,
// settings and MIDI switches, at the block sizes hosts choose.
#include <gtest/gtest.h>
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/presets/presets.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "Lv2Ports.h"
#include "PluginLibrary.h"
#include "Vst2Reference.h"

namespace {

void connectAudio(LilvInstance* instance, const float* inLeft, const float* inRight, float* outLeft, float* outRight) {
    lilv_instance_connect_port(instance, kPortInLeft, const_cast<float*>(inLeft));
    lilv_instance_connect_port(instance, kPortInRight, const_cast<float*>(inRight));
    lilv_instance_connect_port(instance, kPortOutLeft, outLeft);
    lilv_instance_connect_port(instance, kPortOutRight, outRight);
}

// The URIs the plug-in asks to map, numbered as they come.
std::vector<std::string> mapped;
LV2_URID mapUri(LV2_URID_Map_Handle, const char* uri) {
    for (size_t i = 0; i < mapped.size(); ++i)
        if (mapped[i] == uri) return static_cast<LV2_URID>(i + 1);
    mapped.push_back(uri);
    return static_cast<LV2_URID>(mapped.size());
}

using vst2reference::MidiSwitch;
using vst2reference::Setting;

class Lv2Bundle : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        world = lilv_world_new();
        LilvNode* bundle = lilv_new_file_uri(world, nullptr, HALVERN_LV2_BUNDLE "/");
        lilv_world_load_bundle(world, bundle);
        lilv_node_free(bundle);
        LilvNode* uri = lilv_new_uri(world, kLv2PluginUri);
        plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
        lilv_node_free(uri);
    }
    static void TearDownTestSuite() { lilv_world_free(world); }

    // Renders `frames` of a test signal through the LV2 plug-in in blocks.
    std::vector<float> renderLv2(const std::vector<Setting>& settings, const std::vector<MidiSwitch>& midi, long frames,
                                 int block, double rate = 44100.0) {
        LV2_URID_Map map{nullptr, mapUri};
        LV2_Feature mapFeature{LV2_URID__map, &map};
        const LV2_Feature* features[] = {&mapFeature, nullptr};
        LilvInstance* instance = lilv_plugin_instantiate(plugin, rate, features);
        EXPECT_NE(instance, nullptr);
        if (!instance) return {};
        float controls[kNumSpeakerParameters];
        for (int i = 0; i < kNumSpeakerParameters; ++i) controls[i] = kCabinetParameters[i].defaultValue;
        for (const Setting& s : settings) controls[s.parameter] = s.value;
        std::vector<float> inL(static_cast<size_t>(block)), inR(static_cast<size_t>(block)), outL(inL), outR(inL);
        float speed = 0, horn = 0, drum = 0;
        alignas(8) uint8_t sequence[4096];
        connectAudio(instance, inL.data(), inR.data(), outL.data(), outR.data());
        for (int i = 0; i < kNumSpeakerParameters; ++i)
            lilv_instance_connect_port(instance, kPortFirstControl + i, &controls[i]);
        lilv_instance_connect_port(instance, kPortMidiIn, sequence);
        lilv_instance_connect_port(instance, kPortSpeedState, &speed);
        lilv_instance_connect_port(instance, kPortHornPosition, &horn);
        lilv_instance_connect_port(instance, kPortDrumPosition, &drum);
        lilv_instance_activate(instance);
        const LV2_URID midiType = mapUri(nullptr, LV2_MIDI__MidiEvent), sequenceType = mapUri(nullptr, LV2_ATOM__Sequence);
        std::vector<float> out;
        for (long start = 0; start < frames; start += block) {
            const int n = static_cast<int>(std::min<long>(block, frames - start));
            vst2reference::signal(start, n, inL.data(), inR.data());
            // The block's MIDI events as an atom sequence.
            auto* seq = reinterpret_cast<LV2_Atom_Sequence*>(sequence);
            seq->atom.type = sequenceType;
            seq->atom.size = sizeof(LV2_Atom_Sequence_Body);
            seq->body.unit = 0;
            seq->body.pad = 0;
            for (const MidiSwitch& m : midi) {
                if (m.frame < start || m.frame >= start + n) continue;
                auto* event = reinterpret_cast<LV2_Atom_Event*>(sequence + sizeof(LV2_Atom) + seq->atom.size);
                event->time.frames = m.frame - start;
                event->body.type = midiType;
                event->body.size = 3;
                uint8_t* data = reinterpret_cast<uint8_t*>(event + 1);
                data[0] = 0xB0;
                data[1] = static_cast<uint8_t>(m.controller);
                data[2] = static_cast<uint8_t>(m.value);
                seq->atom.size += sizeof(LV2_Atom_Event) + 8;  // 3 bytes, padded to 8
            }
            lilv_instance_run(instance, static_cast<uint32_t>(n));
            for (int i = 0; i < n; ++i) out.insert(out.end(), {outL[i], outR[i]});
        }
        lastSpeedState = speed;
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
        return out;
    }

    // The same through the VST 2 build, loaded as a VST 2 host loads it.
    std::vector<float> renderVst(const std::vector<Setting>& settings, const std::vector<MidiSwitch>& midi, long frames,
                                 int block) {
        return vst2reference::render(vst, settings, midi, frames, block);
    }

    static inline LilvWorld* world = nullptr;
    static inline const LilvPlugin* plugin = nullptr;
    PluginLibrary vst{HALVERN_PLUGIN_PATH};
    float lastSpeedState = -1;
};

}  // namespace

TEST_F(Lv2Bundle, IsFoundWithItsPortsAsDescribed) {
    ASSERT_NE(plugin, nullptr);
    LilvNode* name = lilv_plugin_get_name(plugin);
    EXPECT_STREQ(lilv_node_as_string(name), "Halvern");
    lilv_node_free(name);
    ASSERT_EQ(lilv_plugin_get_num_ports(plugin), static_cast<uint32_t>(kPortCount));
    const char* symbols[] = {"in_left", "in_right", "out_left", "out_right", "speed_toggle", "slow", "fast",
                             "acceleration", "distortion", "balance", "separation", "speedkey", "midi_in",
                             "speed_state", "horn_position", "drum_position", "horn_slow", "horn_fast", "drum_slow",
                             "drum_fast", "horn_up", "horn_down", "drum_up", "drum_down", "brake", "horn_rest",
                             "drum_rest", "horn_depth", "drum_depth", "tremolo", "drive", "horn_angle", "drum_angle",
                             "horn_rpm", "drum_rpm", "enabled"};
    static_assert(sizeof symbols / sizeof symbols[0] == kPortCount, "a symbol for every port");
    std::vector<float> minimum(kPortCount), maximum(kPortCount), fallback(kPortCount);
    lilv_plugin_get_port_ranges_float(plugin, minimum.data(), maximum.data(), fallback.data());
    for (uint32_t i = 0; i < kPortCount; ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
        EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(plugin, port)), symbols[i]) << i;
    }
    for (int i = 0; i < kNumCabinetParameters; ++i) {
        const ParameterInfo& row = kCabinetParameters[i];
        const uint32_t index = lv2ports::portOf(i);
        EXPECT_EQ(minimum[index], row.min) << row.name;
        EXPECT_EQ(maximum[index], row.max) << row.name;
        EXPECT_EQ(fallback[index], row.defaultValue) << row.name;
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, index);
        LilvNode* portName = lilv_port_get_name(plugin, port);
        EXPECT_STREQ(lilv_node_as_string(portName), row.name);
        lilv_node_free(portName);
    }
    LilvNode* optional = lilv_new_uri(world, LV2_CORE__connectionOptional);
    EXPECT_TRUE(lilv_port_has_property(plugin, lilv_plugin_get_port_by_index(plugin, kPortMidiIn), optional));
    lilv_node_free(optional);
    LilvScalePoints* points = lilv_port_get_scale_points(plugin, lilv_plugin_get_port_by_index(plugin, kPortFirstControl + kSpeedKey));
    EXPECT_EQ(lilv_scale_points_size(points), 6u);
    lilv_scale_points_free(points);
}

// The user interface says the user cannot drag it to another size, that it
// takes the host's scale factor (at instantiation and through the options
// interface) and resizes through the host's resize feature.
TEST_F(Lv2Bundle, TheUserInterfaceDeclaresHowItIsSized) {
    ASSERT_NE(plugin, nullptr);
    LilvNode* ui = lilv_new_uri(world, kLv2UiUri);
    auto says = [&](const char* property, const char* value) {
        LilvNode* predicate = lilv_new_uri(world, property);
        LilvNode* object = lilv_new_uri(world, value);
        const bool found = lilv_world_ask(world, ui, predicate, object);
        lilv_node_free(object);
        lilv_node_free(predicate);
        return found;
    };
    for (const char* feature : {LV2_UI__noUserResize, LV2_UI__resize, LV2_OPTIONS__options, LV2_URID__map})
        EXPECT_TRUE(says(LV2_CORE__optionalFeature, feature)) << feature;
    EXPECT_FALSE(says(LV2_CORE__optionalFeature, LV2_UI__fixedSize));
    EXPECT_TRUE(says(LV2_OPTIONS__supportedOption, LV2_UI__scaleFactor));
    EXPECT_TRUE(says(LV2_CORE__extensionData, LV2_OPTIONS__interface));
    lilv_node_free(ui);
}

TEST_F(Lv2Bundle, SoundsAsTheVst2BuildSampleForSampleAtEveryBlockSize) {
    ASSERT_NE(plugin, nullptr);
    ASSERT_TRUE(vst.loaded());
    const std::vector<Setting> settings[] = {
        {{kSpeedKey, kKeyCtrl64}},
        {{kSpeedKey, kKeyCtrl1}, {kDistortion, 85}, {kBalance, -20}, {kSeparation, 40}, {kAcceleration, 60}},
        {{kSpeedKey, kKeyCtrl67}, {kSlowSpeed, -25}, {kFastSpeed, 25}, {kDistortion, 0}},
    };
    const int controllers[] = {64, 1, 67};
    for (int s = 0; s < 3; ++s) {
        const int c = controllers[s];
        const std::vector<MidiSwitch> midi = {{1000, c, 127}, {4100, c, 0}, {4100, c, 100}, {9000, c, 10}, {9000, 7, 127}};
        const std::vector<float> reference = renderVst(settings[s], midi, 12000, 64);
        float loudest = 0.0f;
        for (float v : reference) loudest = std::max(loudest, std::fabs(v));
        EXPECT_GT(loudest, 0.05f);  // a sound to compare
        for (int block : {1, 64, 4096}) {
            const std::vector<float> lv2 = renderLv2(settings[s], midi, 12000, block);
            ASSERT_EQ(lv2.size(), reference.size());
            EXPECT_TRUE(lv2 == reference) << "settings " << s << ", blocks of " << block;
            EXPECT_EQ(lastSpeedState, 0.0f);  // slow again after the last switch
        }
    }
}

TEST_F(Lv2Bundle, AMidiSwitchStaysUntilTheControlMoves) {
    ASSERT_NE(plugin, nullptr);
    renderLv2({{kSpeedKey, kKeyCtrl64}}, {{100, 64, 127}}, 1000, 256);
    EXPECT_EQ(lastSpeedState, 1.0f);  // the control still says slow; the switch holds
}

// Each sample rate is an instance of its own; every common one sounds.
TEST_F(Lv2Bundle, WorksAtTheCommonSampleRates) {
    ASSERT_NE(plugin, nullptr);
    for (double rate : {44100.0, 48000.0, 88200.0, 96000.0, 192000.0}) {
        const std::vector<float> out = renderLv2({{kSpeedKey, kKeyCtrl64}}, {{2000, 64, 127}}, 20000, 512, rate);
        float loudest = 0.0f;
        bool finite = true;
        for (float v : out) {
            finite = finite && std::isfinite(v);
            loudest = std::max(loudest, std::fabs(v));
        }
        EXPECT_TRUE(finite) << rate;
        EXPECT_GT(loudest, 0.05f) << rate;
        EXPECT_EQ(lastSpeedState, 1.0f) << rate;
    }
}

// A rate outside 8 to 384 kHz is refused when the host instantiates (a
// tiny one would round to 0 as a float).
TEST_F(Lv2Bundle, RatesOutsideTheRangeAreRefused) {
    ASSERT_NE(plugin, nullptr);
    for (const double rate : {0.0, -44100.0, static_cast<double>(INFINITY), 1e300, static_cast<double>(NAN), 1e-300,
                              7999.0, 384001.0, 8000.0, 384000.0}) {
        LilvInstance* instance = lilv_plugin_instantiate(plugin, rate, nullptr);
        EXPECT_EQ(instance != nullptr, rate == 8000.0 || rate == 384000.0) << rate;
        if (instance) lilv_instance_free(instance);
    }
}

// A host that connects only audio and controls (no MIDI, no outputs) runs it too.
// The port a host designates as the plug-in's enable: off, the dry input
// fades in over 10 ms and then passes as it came.
TEST_F(Lv2Bundle, TheEnabledPortBypasses) {
    ASSERT_NE(plugin, nullptr);
    LilvNode* input = lilv_new_uri(world, LV2_CORE__InputPort);
    LilvNode* enabled = lilv_new_uri(world, LV2_CORE__enabled);
    const LilvPort* port = lilv_plugin_get_port_by_designation(plugin, input, enabled);
    lilv_node_free(input);
    lilv_node_free(enabled);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(lilv_port_get_index(plugin, port), static_cast<uint32_t>(kPortEnabled));

    LilvInstance* instance = lilv_plugin_instantiate(plugin, 48000.0, nullptr);
    ASSERT_NE(instance, nullptr);
    std::vector<float> in(1024), left(1024), right(1024);
    for (size_t i = 0; i < in.size(); ++i) in[i] = 0.3f * std::sin(0.02f * static_cast<float>(i));
    float off = 0.0f;
    lilv_instance_connect_port(instance, kPortEnabled, &off);
    connectAudio(instance, in.data(), in.data(), left.data(), right.data());
    lilv_instance_activate(instance);
    lilv_instance_run(instance, 1024);
    EXPECT_NE(left[100], in[100]);
    for (size_t i = 480; i < in.size(); ++i) ASSERT_EQ(left[i], in[i]) << i;
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
}

TEST_F(Lv2Bundle, RunsWithOnlyAudioAndControlsConnected) {
    ASSERT_NE(plugin, nullptr);
    LilvInstance* instance = lilv_plugin_instantiate(plugin, 48000.0, nullptr);  // no features at all
    ASSERT_NE(instance, nullptr);
    std::vector<float> in(256, 0.25f), left(256), right(256);
    float controls[kNumSpeakerParameters];
    for (int i = 0; i < kNumSpeakerParameters; ++i) {
        controls[i] = kCabinetParameters[i].defaultValue;
        lilv_instance_connect_port(instance, kPortFirstControl + i, &controls[i]);
    }
    connectAudio(instance, in.data(), in.data(), left.data(), right.data());
    lilv_instance_activate(instance);
    lilv_instance_run(instance, 256);
    lilv_instance_run(instance, 0);
    for (float v : left) ASSERT_TRUE(std::isfinite(v));
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
}

// A sequence is read only within its own size: an event whose header or
// body runs past its end ends it, and the events before it are heard. (The
// sequence lies in memory of exactly its size, so the sanitizer build sees
// any read beyond.)
TEST_F(Lv2Bundle, ASequenceIsReadOnlyWithinItsSize) {
    ASSERT_NE(plugin, nullptr);
    LV2_URID_Map map{nullptr, mapUri};
    LV2_Feature mapFeature{LV2_URID__map, &map};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    const LV2_URID midiType = mapUri(nullptr, LV2_MIDI__MidiEvent);
    for (const size_t tail : {8u, 18u}) {  // a header cut short; a body of 3 bytes with 2 there
        LilvInstance* instance = lilv_plugin_instantiate(plugin, 44100.0, features);
        ASSERT_NE(instance, nullptr);
        float controls[kNumSpeakerParameters];
        for (int i = 0; i < kNumSpeakerParameters; ++i) controls[i] = kCabinetParameters[i].defaultValue;
        controls[kSpeedKey] = 3;  // CTRL64
        std::vector<float> in(64, 0.25f), left(64), right(64);
        float speed = -1;
        for (int i = 0; i < kNumSpeakerParameters; ++i)
            lilv_instance_connect_port(instance, kPortFirstControl + i, &controls[i]);
        connectAudio(instance, in.data(), in.data(), left.data(), right.data());
        lilv_instance_connect_port(instance, kPortSpeedState, &speed);

        // One whole event (fast at frame 10), then `tail` bytes of another.
        std::vector<uint8_t> memory(sizeof(LV2_Atom_Sequence) + sizeof(LV2_Atom_Event) + 8 + tail);
        uint8_t* bytes = memory.data();
        auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(bytes);
        sequence->atom.size = static_cast<uint32_t>(memory.size() - sizeof(LV2_Atom));
        auto* event = reinterpret_cast<LV2_Atom_Event*>(sequence + 1);
        event->time.frames = 10;
        event->body = {3, midiType};
        const uint8_t fast[3] = {0xB0, 64, 127};
        std::memcpy(event + 1, fast, 3);
        auto* cut = reinterpret_cast<LV2_Atom_Event*>(bytes + sizeof(LV2_Atom_Sequence) + sizeof(LV2_Atom_Event) + 8);
        cut->time.frames = 20;
        if (tail >= sizeof(LV2_Atom_Event)) {
            cut->body = {3, midiType};
            std::memcpy(cut + 1, fast, 2);
        }
        lilv_instance_connect_port(instance, kPortMidiIn, sequence);
        lilv_instance_activate(instance);
        lilv_instance_run(instance, 64);
        EXPECT_EQ(speed, 1.0f) << tail;
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
    }
}

// The factory programs are presets a host lists by name, each with every
// control input (the extended cabinet's too) at its default.
TEST_F(Lv2Bundle, ListsTheFactoryProgramsAsPresets) {
    ASSERT_NE(plugin, nullptr);
    LilvNode* presetClass = lilv_new_uri(world, LV2_PRESETS__Preset);
    LilvNode* label = lilv_new_uri(world, "http://www.w3.org/2000/01/rdf-schema#label");
    LilvNodes* presets = lilv_plugin_get_related(plugin, presetClass);
    ASSERT_EQ(lilv_nodes_size(presets), static_cast<unsigned>(kSpeakerIdentity.programCount));
    std::vector<std::string> names;
    LV2_URID_Map map{nullptr, mapUri};
    LILV_FOREACH (nodes, i, presets) {
        const LilvNode* preset = lilv_nodes_get(presets, i);
        lilv_world_load_resource(world, preset);
        LilvNode* name = lilv_world_get(world, preset, label, nullptr);
        ASSERT_NE(name, nullptr);
        names.push_back(lilv_node_as_string(name));
        lilv_node_free(name);

        LilvState* state = lilv_state_new_from_world(world, &map, preset);
        ASSERT_NE(state, nullptr);
        std::vector<std::pair<std::string, float>> values;
        lilv_state_restore(
            state, nullptr,
            [](const char* symbol, void* data, const void* value, uint32_t size, uint32_t) {
                if (size == sizeof(float))
                    static_cast<std::vector<std::pair<std::string, float>>*>(data)->push_back(
                        {symbol, *static_cast<const float*>(value)});
            },
            &values, 0, nullptr);
        lilv_state_free(state);
        EXPECT_EQ(values.size(), static_cast<size_t>(kNumCabinetParameters)) << names.back();
        for (const auto& v : values) {
            int parameter = -1;
            for (int k = 0; k < kNumCabinetParameters; ++k)
                if (v.first == kLv2Ports[lv2ports::portOf(k)].symbol) parameter = k;
            ASSERT_GE(parameter, 0) << v.first;
            EXPECT_EQ(v.second, kCabinetParameters[parameter].defaultValue) << v.first;
        }
    }
    std::sort(names.begin(), names.end());
    for (int program = 0; program < kSpeakerIdentity.programCount; ++program)
        EXPECT_EQ(names[static_cast<size_t>(program)], "Init " + std::to_string(program + 1));
    lilv_nodes_free(presets);
    lilv_node_free(label);
    lilv_node_free(presetClass);
}

// The extended cabinet's controls and readings are ports: braked, the
// rotors stand at the rest angles the controls set, as the outputs report.
TEST_F(Lv2Bundle, TheBrakeAndTheRotorReadingsArePorts) {
    ASSERT_NE(plugin, nullptr);
    LilvInstance* instance = lilv_plugin_instantiate(plugin, 48000.0, nullptr);
    ASSERT_NE(instance, nullptr);
    std::vector<float> in(256, 0.0f), out(256);
    connectAudio(instance, in.data(), in.data(), out.data(), out.data());
    float brake = kBrakeOn, hornRest = 123, drumRest = 321, readings[kNumCabinetReadings] = {-1, -1, -1, -1};
    lilv_instance_connect_port(instance, lv2ports::portOf(kBrake), &brake);
    lilv_instance_connect_port(instance, lv2ports::portOf(kHornRest), &hornRest);
    lilv_instance_connect_port(instance, lv2ports::portOf(kDrumRest), &drumRest);
    for (int i = 0; i < kNumCabinetReadings; ++i) lilv_instance_connect_port(instance, kPortFirstReading + i, &readings[i]);
    lilv_instance_activate(instance);
    for (int n = 0; n < 48000 * 4 / 256; ++n) lilv_instance_run(instance, 256);
    EXPECT_NEAR(readings[kHornAngle], 123, 1.0);
    EXPECT_NEAR(readings[kDrumAngle], 321, 1.0);
    EXPECT_EQ(readings[kHornRpm], 0.0f);
    EXPECT_EQ(readings[kDrumRpm], 0.0f);
    brake = kBrakeOff;
    for (int n = 0; n < 48000 / 256; ++n) lilv_instance_run(instance, 256);
    EXPECT_NEAR(readings[kHornRpm], 48, 0.5);  // back at the slow speeds
    EXPECT_NEAR(readings[kDrumRpm], 42, 0.5);
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
}
