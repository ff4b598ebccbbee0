// The VST 3 bundle through a host of our own: the factory and its class, the
// parameters and their texts, the state, and the sound against the VST 2
// build with parameter changes and mapped MIDI switches at chosen offsets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cmath>
#include <string>
#include <vector>

#include "SettingsRecord.h"
#include "SpeakerDescriptor.h"
#include "InstanceReference.h"
#include "Vst2Reference.h"
#include "Vst3Instance.h"

using vst2reference::MidiSwitch;
using vst2reference::Setting;

namespace {

// The ids hosts have stored automation under; they never move.
constexpr vst3::ParamID kBypass = 23, kProgram = 24;

std::string ascii(const vst3::char16* text) {
    std::string out;
    for (; *text; ++text) out += static_cast<char>(*text);
    return out;
}

std::u16string utf16(const char* text) {
    std::u16string out;
    for (; *text; ++text) out += static_cast<char16_t>(*text);
    return out;
}

class Vst3Plugin : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(module.factory, nullptr) << HALVERN_VST3_MODULE; }

    // The test signal through a new instance in blocks of `block`: each
    // setting as the host sends an automation point (and shows it on the
    // controller), each MIDI switch as the mapped parameter's change.
    std::vector<float> render(const std::vector<Setting>& settings, const std::vector<MidiSwitch>& midi, long frames,
                              int block, std::vector<std::pair<long, double>>* toggles = nullptr) {
        Instance plugin(module, block);
        EXPECT_TRUE(plugin.ready());
        if (!plugin.ready()) return {};
        std::vector<float> inL(static_cast<size_t>(block)), inR(inL), outL(inL), outR(inL), out;
        float* in[2] = {inL.data(), inR.data()};
        float* outs[2] = {outL.data(), outR.data()};
        for (long start = 0; start < frames; start += block) {
            const int n = static_cast<int>(std::min<long>(block, frames - start));
            vst2reference::signal(start, n, inL.data(), inR.data());
            ParameterChanges changes;
            for (const Setting& s : settings)
                if (s.frame >= start && s.frame < start + n) {
                    const double normalized = plugin.controller->plainParamToNormalized(s.parameter, s.value);
                    plugin.controller->setParamNormalized(s.parameter, normalized);
                    changes.add(s.parameter, static_cast<int32_t>(s.frame - start), normalized);
                }
            for (const MidiSwitch& m : midi) {
                vst3::ParamID id = 0;
                if (m.frame >= start && m.frame < start + n &&
                    plugin.mapping->getMidiControllerAssignment(0, 0, static_cast<int16_t>(m.controller), id) ==
                        vst3::kResultTrue)
                    changes.add(id, static_cast<int32_t>(m.frame - start), m.value / 127.0);
            }
            plugin.process(in, outs, n, changes);
            for (ValueQueue& q : plugin.sent.queues)
                for (const auto& point : q.points)
                    if (toggles && q.id == kSpeedToggle) toggles->push_back({start + point.first, point.second});
            for (int i = 0; i < n; ++i) out.insert(out.end(), {outL[i], outR[i]});
        }
        return out;
    }

    Vst3Module module{HALVERN_VST3_MODULE};
    PluginLibrary vst{HALVERN_PLUGIN_PATH};
};

}  // namespace

TEST_F(Vst3Plugin, TheFactoryDescribesOneEffect) {
    vst3::PFactoryInfo factoryInfo{};
    ASSERT_EQ(module.factory->getFactoryInfo(&factoryInfo), vst3::kResultOk);
    EXPECT_STREQ(factoryInfo.vendor, "Tessmark Professional");
    EXPECT_EQ(factoryInfo.flags & vst3::PFactoryInfo::kUnicode, vst3::PFactoryInfo::kUnicode);
    ASSERT_EQ(module.factory->countClasses(), 1);
    auto* third = Vst3Module::ask<vst3::IPluginFactory3>(module.factory, vst3::kIPluginFactory3Iid);
    ASSERT_NE(third, nullptr);
    vst3::PClassInfo2 info{};
    ASSERT_EQ(third->getClassInfo2(0, &info), vst3::kResultOk);
    EXPECT_STREQ(info.category, "Audio Module Class");
    EXPECT_STREQ(info.name, "Halvern");
    EXPECT_STREQ(info.vendor, "Tessmark Professional");
    EXPECT_STREQ(info.version, "1");
    EXPECT_EQ(std::string(info.subCategories).rfind("Fx", 0), 0u);
    vst3::PClassInfoW wide{};
    ASSERT_EQ(third->getClassInfoUnicode(0, &wide), vst3::kResultOk);
    EXPECT_EQ(ascii(wide.name), "Halvern");
    EXPECT_EQ(std::memcmp(wide.cid, info.cid, 16), 0);
    EXPECT_NE(third->getClassInfo2(1, &info), vst3::kResultOk);

    void* object = nullptr;
    const char otherClass[16] = {1, 2, 3};
    EXPECT_NE(module.factory->createInstance(otherClass, vst3::kIComponentIid.bytes, &object), vst3::kResultOk);
    EXPECT_EQ(object, nullptr);

    // One object is the component, its processor and its controller.
    Instance plugin(module);
    ASSERT_TRUE(plugin.ready());
    vst3::TUID controllerClass;
    std::memset(controllerClass, 0xAB, sizeof controllerClass);
    EXPECT_EQ(plugin.component->getControllerClassId(controllerClass), vst3::kNotImplemented);
    EXPECT_TRUE(std::all_of(std::begin(controllerClass), std::end(controllerClass), [](char b) { return b == 0; }));
    EXPECT_NE(Vst3Module::ask<vst3::IUnitInfo>(plugin.component, vst3::kIUnitInfoIid), nullptr);
    EXPECT_EQ(Vst3Module::ask<vst3::IPlugView>(plugin.component, vst3::kIPlugViewIid), nullptr);
}

TEST_F(Vst3Plugin, BusesSampleSizesLatencyAndTail) {
    Instance plugin(module);
    ASSERT_TRUE(plugin.ready());
    EXPECT_EQ(plugin.component->getBusCount(vst3::kAudio, vst3::kInput), 1);
    EXPECT_EQ(plugin.component->getBusCount(vst3::kAudio, vst3::kOutput), 1);
    EXPECT_EQ(plugin.component->getBusCount(vst3::kEvent, vst3::kInput), 1);
    EXPECT_EQ(plugin.component->getBusCount(vst3::kEvent, vst3::kOutput), 0);
    vst3::BusInfo bus{};
    ASSERT_EQ(plugin.component->getBusInfo(vst3::kAudio, vst3::kInput, 0, bus), vst3::kResultOk);
    EXPECT_EQ(bus.channelCount, 2);
    EXPECT_NE(plugin.component->getBusInfo(vst3::kAudio, vst3::kInput, 1, bus), vst3::kResultOk);
    vst3::SpeakerArrangement mono = vst3::kMono, stereo = vst3::kStereo, five = 0x3F;
    EXPECT_NE(plugin.processor->setBusArrangements(&five, 1, &stereo, 1), vst3::kResultTrue);
    EXPECT_EQ(plugin.processor->setBusArrangements(&mono, 1, &stereo, 1), vst3::kResultTrue);
    vst3::SpeakerArrangement arranged = 0;
    ASSERT_EQ(plugin.processor->getBusArrangement(vst3::kInput, 0, arranged), vst3::kResultOk);
    EXPECT_EQ(arranged, vst3::kMono);
    ASSERT_EQ(plugin.component->getBusInfo(vst3::kAudio, vst3::kInput, 0, bus), vst3::kResultOk);
    EXPECT_EQ(bus.channelCount, 1);
    ASSERT_EQ(plugin.processor->getBusArrangement(vst3::kOutput, 0, arranged), vst3::kResultOk);
    EXPECT_EQ(arranged, vst3::kStereo);
    EXPECT_EQ(plugin.processor->canProcessSampleSize(vst3::kSample32), vst3::kResultTrue);
    EXPECT_NE(plugin.processor->canProcessSampleSize(vst3::kSample64), vst3::kResultTrue);
    EXPECT_EQ(plugin.processor->getLatencySamples(), 0u);
    EXPECT_EQ(plugin.processor->getTailSamples(), 4096u);

    // A mono input is heard on both channels, as the effect sums a stereo one.
    std::vector<float> in(256), outL(256), outR(256), stereoL(256), stereoR(256);
    for (int i = 0; i < 256; ++i) in[i] = 0.3f * std::sin(0.07f * i);
    float* monoIn[1] = {in.data()};
    float* twoIn[2] = {in.data(), in.data()};
    float* outs[2] = {outL.data(), outR.data()};
    float* stereoOuts[2] = {stereoL.data(), stereoR.data()};
    ParameterChanges none;
    plugin.process(monoIn, outs, 256, none, 1);
    Instance second(module);
    second.process(twoIn, stereoOuts, 256, none);
    EXPECT_EQ(outL, stereoL);
    EXPECT_EQ(outR, stereoR);

    // The rotors' readings are read-only parameters the host hears at each block's end.
    const vst3::ParamID hornRpm = kNumCabinetParameters + 3 + kHornRpm;
    EXPECT_NEAR(plugin.controller->normalizedParamToPlain(hornRpm, plugin.controller->getParamNormalized(hornRpm)), 48.0,
                0.5);
    const auto reported = std::find_if(plugin.sent.queues.begin(), plugin.sent.queues.end(),
                                       [&](const ValueQueue& q) { return q.id == hornRpm; });
    ASSERT_NE(reported, plugin.sent.queues.end());
    ASSERT_EQ(reported->points.size(), 1u);
    EXPECT_EQ(reported->points[0].first, 255);

    // Silence in gives silence flagged out, once the delay lines are empty.
    std::vector<float> zeros(256, 0.0f);
    float* silentIn[2] = {zeros.data(), zeros.data()};
    Instance fresh(module);
    fresh.process(silentIn, outs, 256, none);
    EXPECT_EQ(fresh.silence, 3u);
    plugin.process(twoIn, outs, 256, none);
    EXPECT_EQ(plugin.silence, 0u);
}

TEST_F(Vst3Plugin, ParametersCarryTheirNamesStepsUnitsAndTexts) {
    Instance plugin(module);
    ASSERT_TRUE(plugin.ready());
    vst3::IEditController& c = *plugin.controller;
    ASSERT_EQ(c.getParameterCount(), kNumCabinetParameters + 3 + kNumCabinetReadings);
    for (int i = 0; i < kNumCabinetParameters; ++i) {
        const ParameterInfo& row = kCabinetParameters[i];
        vst3::ParameterInfo info{};
        ASSERT_EQ(c.getParameterInfo(i, info), vst3::kResultOk);
        EXPECT_EQ(info.id, static_cast<vst3::ParamID>(i));
        EXPECT_EQ(ascii(info.title), row.name);
        EXPECT_EQ(ascii(info.units), row.label);
        EXPECT_EQ(info.stepCount, row.kind == Hundredths ? 0 : static_cast<int>(row.max - row.min)) << row.name;
        EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, row.defaultNormalized()) << row.name;
        EXPECT_TRUE(info.flags & vst3::ParameterInfo::kCanAutomate);
        EXPECT_DOUBLE_EQ(c.normalizedParamToPlain(i, info.defaultNormalizedValue), row.defaultValue) << row.name;
    }
    vst3::ParameterInfo bypass{}, program{}, hidden{};
    ASSERT_EQ(c.getParameterInfo(kBypass, bypass), vst3::kResultOk);
    EXPECT_TRUE(bypass.flags & vst3::ParameterInfo::kIsBypass);
    EXPECT_EQ(bypass.stepCount, 1);
    ASSERT_EQ(c.getParameterInfo(kProgram, program), vst3::kResultOk);
    EXPECT_TRUE(program.flags & vst3::ParameterInfo::kIsProgramChange);
    EXPECT_EQ(program.stepCount, 7);
    ASSERT_EQ(c.getParameterInfo(kNumCabinetParameters + 2, hidden), vst3::kResultOk);
    EXPECT_TRUE(hidden.flags & vst3::ParameterInfo::kIsHidden);
    EXPECT_TRUE(hidden.flags & vst3::ParameterInfo::kIsReadOnly);
    EXPECT_EQ(hidden.id, 25u);
    for (int r = 0; r < kNumCabinetReadings; ++r) {
        vst3::ParameterInfo reading{};
        ASSERT_EQ(c.getParameterInfo(kNumCabinetParameters + 3 + r, reading), vst3::kResultOk);
        EXPECT_EQ(ascii(reading.title), kCabinetReadings[r].name);
        EXPECT_EQ(reading.flags, static_cast<int32_t>(vst3::ParameterInfo::kIsReadOnly));
    }
    vst3::ParameterInfo none{};
    EXPECT_NE(c.getParameterInfo(kNumCabinetParameters + 3 + kNumCabinetReadings, none), vst3::kResultOk);

    auto text = [&](vst3::ParamID id, double plain) {
        vst3::String128 shown{};
        return c.getParamStringByValue(id, c.plainParamToNormalized(id, plain), shown) == vst3::kResultOk
                   ? ascii(shown)
                   : std::string("refused");
    };
    EXPECT_EQ(text(kSlowSpeed, 12), "12 %");
    EXPECT_EQ(text(kSpeedToggle, 1), "fast");
    EXPECT_EQ(text(kSpeedKey, 3), "CTRL64");
    EXPECT_EQ(text(kHornUp, 0.7), "0.70 s");
    EXPECT_EQ(text(kDrive, 1), "clean");
    EXPECT_EQ(text(kProgram, 2), "Init 3");
    EXPECT_EQ(text(kNumCabinetParameters + 3 + kHornAngle, 271.44), "271.4 deg");
    EXPECT_EQ(text(kNumCabinetParameters + 3 + kNumCabinetReadings, 0), "refused");
    auto typed = [&](vst3::ParamID id, const char* input) {
        std::u16string wide = utf16(input);
        vst3::ParamValue normalized = -1;
        return c.getParamValueByString(id, wide.data(), normalized) == vst3::kResultOk
                   ? c.normalizedParamToPlain(id, normalized)
                   : NAN;
    };
    EXPECT_EQ(typed(kSlowSpeed, " 12 % "), 12.0);
    EXPECT_EQ(typed(kSpeedToggle, "FAST"), 1.0);
    EXPECT_EQ(typed(kBrake, "on"), 1.0);
    EXPECT_EQ(typed(kHornFast, "900"), 500.0);  // the most it takes
    EXPECT_TRUE(std::isnan(typed(kSlowSpeed, "loud")));
    // Every whole value of every whole-numbered parameter goes to text and back.
    for (int i = 0; i < kNumCabinetParameters; ++i) {
        const ParameterInfo& row = kCabinetParameters[i];
        if (row.kind == Hundredths) continue;
        for (int v = static_cast<int>(row.min); v <= static_cast<int>(row.max); ++v)
            EXPECT_EQ(typed(i, text(i, v).c_str()), v) << row.name << " " << v;
    }

    // The factory program list, and its program change resetting the values.
    auto* units = Vst3Module::ask<vst3::IUnitInfo>(plugin.component, vst3::kIUnitInfoIid);
    ASSERT_NE(units, nullptr);
    vst3::ProgramListInfo list{};
    ASSERT_EQ(units->getProgramListInfo(0, list), vst3::kResultOk);
    EXPECT_EQ(list.programCount, 8);
    vst3::String128 name{};
    ASSERT_EQ(units->getProgramName(list.id, 7, name), vst3::kResultOk);
    EXPECT_EQ(ascii(name), "Init 8");
    c.setParamNormalized(kDistortion, c.plainParamToNormalized(kDistortion, 90));
    plugin.handler.restarts.clear();
    c.setParamNormalized(kProgram, c.plainParamToNormalized(kProgram, 4));
    EXPECT_DOUBLE_EQ(c.normalizedParamToPlain(kDistortion, c.getParamNormalized(kDistortion)), 60.0);
    EXPECT_FALSE(plugin.handler.restarts.empty());
}

TEST_F(Vst3Plugin, StateRoundTripsAndABadStreamChangesNothing) {
    const double chosen[kNumCabinetParameters] = {1,    -7,  19,  55, 12,  -33,  40, 4,   60,  300, 20, 450,
                                                  0.25, 3.5, 0.1, 20, 1,   270,  15, 200, 0,   50, 1};
    Vst3MemoryStream saved;
    {
        Instance first(module);
        ASSERT_TRUE(first.ready());
        ParameterChanges changes;
        for (int i = 0; i < kNumCabinetParameters; ++i)
            changes.add(i, 0, first.controller->plainParamToNormalized(i, chosen[i]));
        float* none[2] = {nullptr, nullptr};
        first.process(none, none, 0, changes);  // a flush: changes without audio
        ASSERT_EQ(first.component->getState(&saved), vst3::kResultOk);
    }
    Instance second(module);
    ASSERT_TRUE(second.ready());
    saved.position = 0;
    ASSERT_EQ(second.component->setState(&saved), vst3::kResultOk);
    for (int i = 0; i < kNumCabinetParameters; ++i)
        EXPECT_FLOAT_EQ(second.controller->normalizedParamToPlain(i, second.controller->getParamNormalized(i)),
                        chosen[i])
            << i;

    const std::vector<uint8_t> record = saved.bytes;
    for (size_t keep : {size_t{0}, size_t{12}, settingsrecord::kSize - 1}) {
        Vst3MemoryStream cut;
        cut.bytes.assign(record.begin(), record.begin() + static_cast<long>(keep));
        Instance fresh(module);
        EXPECT_NE(fresh.component->setState(&cut), vst3::kResultOk) << keep;
        EXPECT_DOUBLE_EQ(fresh.controller->getParamNormalized(kDistortion),
                         kCabinetParameters[kDistortion].defaultNormalized());
    }
    Vst3MemoryStream altered;
    altered.bytes = record;
    altered.bytes[20] ^= 0x40;
    Instance fresh(module);
    EXPECT_NE(fresh.component->setState(&altered), vst3::kResultOk);
    Vst3MemoryStream failing;
    failing.bytes = record;
    failing.failing = true;
    EXPECT_NE(fresh.component->setState(&failing), vst3::kResultOk);
    EXPECT_DOUBLE_EQ(fresh.controller->getParamNormalized(kHornSlow), kCabinetParameters[kHornSlow].defaultNormalized());
}

// A new speed key the processor hears is told to the host at the
// controller's next call, and the mapping then answers for it.
TEST_F(Vst3Plugin, ANewSpeedKeyFromTheProcessorIsAnnounced) {
    Instance plugin(module);
    ASSERT_TRUE(plugin.ready());
    vst3::IEditController& c = *plugin.controller;
    ParameterChanges changes;
    changes.add(kSpeedKey, 10, c.plainParamToNormalized(kSpeedKey, kKeyCtrl66));
    float* none[2] = {nullptr, nullptr};
    plugin.process(none, none, 0, changes);
    plugin.handler.restarts.clear();
    c.getParamNormalized(kDistortion);
    ASSERT_EQ(plugin.handler.restarts.size(), 1u);
    EXPECT_TRUE(plugin.handler.restarts[0] & vst3::kMidiCCAssignmentChanged);
    vst3::ParamID mapped = 0;
    EXPECT_EQ(plugin.mapping->getMidiControllerAssignment(0, 0, 66, mapped), vst3::kResultTrue);
    c.getParamNormalized(kDistortion);
    EXPECT_EQ(plugin.handler.restarts.size(), 1u);  // told once
}

// A project saved bypassed on program 4 reopens so from its first sample;
// a host that then sends every value back (the program too) keeps them,
// and bytes after the state are left alone.
TEST_F(Vst3Plugin, TheStateHoldsTheBypassAndTheProgram) {
    Vst3MemoryStream saved;
    {
        Instance first(module);
        ASSERT_TRUE(first.ready());
        ParameterChanges changes;
        changes.add(kProgram, 0, first.controller->plainParamToNormalized(kProgram, 3));
        changes.add(kBypass, 0, 1.0);
        changes.add(kDistortion, 1, first.controller->plainParamToNormalized(kDistortion, 10));
        float* none[2] = {nullptr, nullptr};
        first.process(none, none, 0, changes);
        ASSERT_EQ(first.component->getState(&saved), vst3::kResultOk);
    }
    saved.bytes.insert(saved.bytes.end(), {1, 2, 3});
    Instance second(module);
    saved.position = 0;
    ASSERT_EQ(second.component->setState(&saved), vst3::kResultOk);
    vst3::IEditController& c = *second.controller;
    EXPECT_EQ(c.getParamNormalized(kBypass), 1.0);
    EXPECT_EQ(c.normalizedParamToPlain(kProgram, c.getParamNormalized(kProgram)), 3.0);

    ParameterChanges resent;
    for (vst3::ParamID id = 0; id <= kProgram; ++id) resent.add(id, 0, c.getParamNormalized(id));
    std::vector<float> inL(256), inR(256), outL(256), outR(256);
    vst2reference::signal(0, 256, inL.data(), inR.data());
    float* in[2] = {inL.data(), inR.data()};
    float* out[2] = {outL.data(), outR.data()};
    second.process(in, out, 256, resent);
    EXPECT_EQ(outL, inL);
    EXPECT_EQ(outR, inR);
    EXPECT_EQ(c.normalizedParamToPlain(kDistortion, c.getParamNormalized(kDistortion)), 10.0);
}

TEST_F(Vst3Plugin, SoundsAsTheInstanceWithChangesAndMidiSwitchesAtTheirOffsetsAndAsTheVst2BuildWhenSteady) {
    ASSERT_TRUE(vst.loaded()) << HALVERN_PLUGIN_PATH;
    const std::vector<Setting> settings[] = {
        {{kSpeedKey, kKeyCtrl64}, {kDistortion, 90, 3001}, {kSeparation, 30, 5000}, {kSpeedToggle, 0, 7777}},
        {{kSpeedKey, kKeyCtrl1}, {kDistortion, 85}, {kBalance, -20}, {kAcceleration, 60}, {kSlowSpeed, 20, 2222},
         {kBalance, 40, 6143}},
    };
    const int controllers[] = {64, 1};
    for (int s = 0; s < 2; ++s) {
        const int c = controllers[s];
        const std::vector<MidiSwitch> midi = {{1000, c, 127}, {4100, c, 0}, {4100, c, 100}, {9000, c, 10}};
        const std::vector<float> reference = instancereference::render(settings[s], midi, 12000, 64);
        for (int block : {1, 64, 4096}) {
            const std::vector<float> sound = render(settings[s], midi, 12000, block);
            ASSERT_EQ(sound.size(), reference.size());
            EXPECT_TRUE(sound == reference) << "settings " << s << ", blocks of " << block;
        }
        std::vector<Setting> steady;
        for (const Setting& setting : settings[s])
            if (setting.frame == 0) steady.push_back(setting);
        EXPECT_TRUE(render(steady, midi, 12000, 64) == vst2reference::render(vst, steady, midi, 12000, 64))
            << "steady settings " << s;
    }
}

// A mapped MIDI switch goes back to the host as the speed toggle's value at
// the switch's offset; one that changes nothing sends nothing.
TEST_F(Vst3Plugin, AMidiSwitchSendsTheSpeedToggleAtItsOffset) {
    std::vector<std::pair<long, double>> toggles;
    render({{kSpeedKey, kKeyCtrl64}}, {{300, 64, 127}, {700, 64, 100}, {1500, 64, 0}, {1600, 7, 127}, {2100, 64, 64}},
           3000, 512, &toggles);
    const std::vector<std::pair<long, double>> expected = {{300, 1.0}, {1500, 0.0}, {2100, 1.0}};
    EXPECT_EQ(toggles, expected);
}

// The bypass passes the dry signal once its fade is over, and fades in
// without a step.
TEST_F(Vst3Plugin, TheBypassPassesTheDrySignalWithoutAClick) {
    Instance plugin(module, 1024);
    ASSERT_TRUE(plugin.ready());
    std::vector<float> inL(1024), inR(1024), outL(1024), outR(1024), before;
    float* in[2] = {inL.data(), inR.data()};
    float* out[2] = {outL.data(), outR.data()};
    float largestStep = 0.0f, previous = 0.0f;
    for (int block = 0; block < 8; ++block) {
        vst2reference::signal(block * 1024L, 1024, inL.data(), inR.data());
        ParameterChanges changes;
        if (block == 4) changes.add(kBypass, 0, 1.0);
        plugin.process(in, out, 1024, changes);
        for (int i = 0; i < 1024; ++i) {
            const float step = std::fabs(outL[i] - previous);
            if (block < 4 && i > 0) largestStep = std::max(largestStep, step);
            if (block == 4) {
                EXPECT_LE(step, largestStep * 1.5f + 0.02f) << i;
            }
            previous = outL[i];
        }
    }
    EXPECT_EQ(outL, inL);
    EXPECT_EQ(outR, inR);
}
