// The built plug-in as a host sees it: loaded through its exported entry
// point, driven only through the AEffect record and a recording callback.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "PluginLibrary.h"
#include "RecordingHost.h"

namespace {

PluginLibrary& library() {
    static PluginLibrary plugin(HALVERN_PLUGIN_PATH);
    return plugin;
}

class PluginInterface : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library().loaded()) << HALVERN_PLUGIN_PATH;
        PluginEntry entry = library().entry("VSTPluginMain");
        ASSERT_NE(entry, nullptr);
        effect = entry(RecordingHost::callback);
        ASSERT_NE(effect, nullptr);
    }
    void TearDown() override {
        if (effect) {
            EXPECT_EQ(dispatch(effClose), 1);
        }
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    std::string textOf(VstInt32 opcode, VstInt32 index = 0) {
        char buffer[128];
        std::memset(buffer, 0, sizeof buffer);
        dispatch(opcode, index, 0, buffer);
        return buffer;
    }

    std::string displayAt(VstInt32 index, float value) {
        effect->setParameter(effect, index, value);
        return textOf(effGetParamDisplay, index);
    }

    void processReplacing(std::vector<float>& in, std::vector<float>& left, std::vector<float>& right) {
        float* inputs[2] = {in.data(), in.data()};
        float* outputs[2] = {left.data(), right.data()};
        effect->processReplacing(effect, inputs, outputs, static_cast<VstInt32>(in.size()));
    }

    RecordingHost host;
    AEffect* effect = nullptr;
};

}  // namespace

TEST_F(PluginInterface, RecordRightAfterMain) {
    EXPECT_EQ(effect->magic, 0x56737450);
    EXPECT_EQ(effect->numPrograms, 8);
    EXPECT_EQ(effect->numParams, 8);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->flags, effFlagsHasEditor | effFlagsCanMono | effFlagsCanReplacing);
    EXPECT_EQ(effect->uniqueID, 0x74753030);
    EXPECT_EQ(effect->version, 1);
    EXPECT_EQ(effect->initialDelay, 0);
    EXPECT_EQ(effect->ioRatio, 1.0f);
    EXPECT_NE(effect->object, nullptr);
    EXPECT_EQ(effect->user, nullptr);
    EXPECT_EQ(dispatch(effGetProgram), 0);
    ASSERT_FALSE(host.calls.empty());
    EXPECT_EQ(host.calls[0].opcode, audioMasterVersion);
    EXPECT_EQ(host.calls[0].effect, nullptr);
}

TEST_F(PluginInterface, BothEntryNamesCreateIndependentEffects) {
    PluginEntry legacy = library().entry("main");
    ASSERT_NE(legacy, nullptr);
    AEffect* second = legacy(RecordingHost::callback);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, effect);
    EXPECT_NE(second->object, effect->object);
    second->setParameter(second, 4, 0.1f);
    EXPECT_FLOAT_EQ(second->getParameter(second, 4), 0.1f);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 4), 0.6f);
    EXPECT_EQ(second->dispatcher(second, effClose, 0, 0, nullptr, 0.0f), 1);
}

TEST(PluginEntryPoint, HostWithoutVersionOrCallbackGetsNothing) {
    ASSERT_TRUE(library().loaded());
    RecordingHost host;
    host.versionAnswer = 0;
    EXPECT_EQ(library().entry("VSTPluginMain")(RecordingHost::callback), nullptr);
    EXPECT_EQ(library().entry("main")(RecordingHost::callback), nullptr);
    EXPECT_EQ(library().entry("VSTPluginMain")(nullptr), nullptr);
}

TEST_F(PluginInterface, FixedDispatcherAnswers) {
    EXPECT_EQ(dispatch(effIdentify), 0x4E764566);
    EXPECT_EQ(dispatch(effGetVstVersion), 2200);
    EXPECT_EQ(dispatch(effKeysRequired), 1);
    EXPECT_EQ(dispatch(effGetNumProgramCategories), 1);
    EXPECT_EQ(dispatch(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(dispatch(effGetPlugCategory), kPlugCategEffect);
    EXPECT_EQ(dispatch(effGetVendorVersion), 1);
    EXPECT_EQ(dispatch(effGetVu), 0);
    EXPECT_EQ(dispatch(effGetTailSize), 0);
    EXPECT_EQ(dispatch(effGetChunk), 0);
    for (VstInt32 index : {-3, 0, 7, 100}) EXPECT_EQ(dispatch(effCanBeAutomated, index), 1);
    EXPECT_EQ(dispatch(effConnectInput, 0, 1), 1);
    EXPECT_EQ(dispatch(effConnectOutput, 1, 0), 1);
    EXPECT_EQ(dispatch(effString2Parameter, 0, 0, nullptr), 0);
    for (VstInt32 opcode : {-5, 16, 17, 18, 20, 21, 69, 1000}) EXPECT_EQ(dispatch(opcode), 0) << opcode;
    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);  // before any window is open
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 246);
    EXPECT_EQ(rect->bottom - rect->top, 277);
    EXPECT_EQ(dispatch(effEditKeyUp, 0, 2), -1);  // key releases are never handled
    EXPECT_EQ(dispatch(effEditKeyDown, 0, 2), -1);  // closed: no key is handled
}

TEST_F(PluginInterface, IdentityTexts) {
    char buffer[128];
    EXPECT_EQ(dispatch(effGetEffectName, 0, 0, buffer), 1);
    EXPECT_STREQ(buffer, "Halvern");
    EXPECT_EQ(dispatch(effGetVendorString, 0, 0, buffer), 1);
    EXPECT_STREQ(buffer, "Tessmark Professional");
    EXPECT_EQ(dispatch(effGetProductString, 0, 0, buffer), 1);
    EXPECT_STREQ(buffer, "Halvern Rotating Speaker Simulator");
    EXPECT_EQ(dispatch(effGetErrorText, 0, 0, buffer), 0);
}

TEST_F(PluginInterface, ParameterNamesLabelsAndDefaults) {
    const char* names[] = {"speed toggle", "slow", "fast", "acceleration", "distortion", "balance",
                           "separation", "speedkey"};
    const char* labels[] = {"", "%", "%", "", "", "", "", ""};
    const char* displays[] = {"slow", "0", "0", "0", "60", "0", "100", "TAB"};
    const float defaults[] = {0.0f, 0.5f, 0.5f, 0.5f, 0.6f, 0.5f, 1.0f, 0.2f};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(textOf(effGetParamName, i), names[i]);
        EXPECT_EQ(textOf(effGetParamLabel, i), labels[i]);
        EXPECT_EQ(textOf(effGetParamDisplay, i), displays[i]);
        EXPECT_FLOAT_EQ(effect->getParameter(effect, i), defaults[i]);
    }
    for (VstInt32 bad : {-1, 8, 1 << 30}) {
        EXPECT_EQ(textOf(effGetParamName, bad), "");
        EXPECT_EQ(textOf(effGetParamDisplay, bad), "");
        EXPECT_EQ(effect->getParameter(effect, bad), 0.0f);
    }
}

TEST_F(PluginInterface, DisplayTextsAtTheirEdges) {
    EXPECT_EQ(displayAt(0, 0.49f), "slow");
    EXPECT_EQ(displayAt(0, 0.5f), "fast");
    EXPECT_EQ(displayAt(7, 0.05f), "SPACE");
    EXPECT_EQ(displayAt(7, 0.2f), "TAB");
    EXPECT_EQ(displayAt(7, 0.6f), "CTRL64");
    EXPECT_EQ(displayAt(7, 1.0f), "CTRL67");
    const char* keys[] = {"SPACE", "TAB", "CTRL1", "CTRL64", "CTRL66", "CTRL67"};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(displayAt(7, k / 5.0f), keys[k]);
    EXPECT_EQ(displayAt(1, 0.52f), "1");
    EXPECT_EQ(displayAt(1, 0.48f), "-1");
    EXPECT_EQ(displayAt(1, 0.0f), "-25");
    EXPECT_EQ(displayAt(1, 1.0f), "25");
    EXPECT_EQ(displayAt(3, 0.0f), "-100");
    EXPECT_EQ(displayAt(5, 1.0f), "50");
}

TEST_F(PluginInterface, ParameterValuesAreClampedAndNaNIsIgnored) {
    effect->setParameter(effect, 1, 1.7f);
    EXPECT_EQ(effect->getParameter(effect, 1), 1.0f);
    effect->setParameter(effect, 1, -0.2f);
    EXPECT_EQ(effect->getParameter(effect, 1), 0.0f);
    effect->setParameter(effect, 1, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(effect->getParameter(effect, 1), 0.0f);
    effect->setParameter(effect, 2, std::numeric_limits<float>::infinity());
    EXPECT_EQ(effect->getParameter(effect, 2), 1.0f);
    effect->setParameter(effect, 8, 0.3f);
    effect->setParameter(effect, -1, 0.3f);
    EXPECT_EQ(effect->getParameter(effect, 8), 0.0f);
}

TEST_F(PluginInterface, ProgramsSwitchNameAndCopy) {
    char name[64];
    EXPECT_EQ(dispatch(effGetProgramNameIndexed, 3, 0, name), 1);
    EXPECT_STREQ(name, "Init");
    std::strcpy(name, "untouched");
    EXPECT_EQ(dispatch(effGetProgramNameIndexed, 8, 0, name), 0);
    EXPECT_EQ(dispatch(effGetProgramNameIndexed, -1, 0, name), 0);
    EXPECT_STREQ(name, "untouched");

    dispatch(effSetProgram, 0, 7);
    EXPECT_EQ(dispatch(effGetProgram), 7);
    effect->setParameter(effect, 4, 0.9f);
    char longName[] = "A zone with a name far longer than twenty-four";
    dispatch(effSetProgramName, 0, 0, longName);
    dispatch(effSetProgram, 0, 8);
    dispatch(effSetProgram, 0, -1);
    EXPECT_EQ(dispatch(effGetProgram), 7);
    dispatch(effSetProgram, 0, 5);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 4), 0.6f);
    dispatch(effSetProgram, 0, 7);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 4), 0.9f);

    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    dispatch(effGetProgramName, 0, 0, buffer);
    EXPECT_EQ(std::string(buffer), std::string(longName, 23));
    EXPECT_EQ(buffer[24], '#');

    EXPECT_EQ(dispatch(effCopyProgram, 2), 1);
    EXPECT_EQ(dispatch(effCopyProgram, 8), 0);
    dispatch(effSetProgram, 0, 2);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 4), 0.9f);
    dispatch(effGetProgramNameIndexed, 2, 0, buffer);
    EXPECT_EQ(std::string(buffer), std::string(longName, 23));
}

// The opcodes this effect has nothing to answer to answer 0, whatever they carry.
TEST_F(PluginInterface, OpcodesWithoutAnAnswerAnswerZero) {
    char scratch[512] = {};
    for (VstInt32 opcode : {effGetVu, effEditDraw, effEditMouse, effEditKey, effEditTop, effEditSleep, effGetChunk,
                            effSetChunk, effString2Parameter, effGetCurrentPosition, effGetDestinationBuffer,
                            effOfflineNotify, effOfflinePrepare, effOfflineRun, effProcessVarIo,
                            effSetSpeakerArrangement, effSetBypass, effGetErrorText, effVendorSpecific,
                            effGetTailSize, effIdle, effGetIcon, effSetViewPosition, effGetParameterProperties,
                            effGetMidiProgramName, effGetMidiProgramCategory, effHasMidiProgramsChanged,
                            effGetMidiKeyName, effBeginSetProgram, effEndSetProgram}) {
        EXPECT_EQ(dispatch(opcode, 0, 0, scratch), 0) << opcode;
        EXPECT_EQ(dispatch(opcode, 3, 1, scratch, 1.0f), 0) << opcode;
    }
    for (char c : scratch) ASSERT_EQ(c, 0);  // and none of them wrote anything
}

TEST_F(PluginInterface, PinsAndCapabilities) {
    VstPinProperties pin;
    std::memset(&pin, 0x55, sizeof pin);
    EXPECT_EQ(dispatch(effGetInputProperties, 0, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Halvern 1 In");
    EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
    EXPECT_EQ(dispatch(effGetOutputProperties, 0, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Halvern 1 Out");
    VstPinProperties untouched;
    std::memset(&untouched, 0x55, sizeof untouched);
    pin = untouched;
    EXPECT_EQ(dispatch(effGetOutputProperties, 1, 0, &pin), 0);
    EXPECT_EQ(std::memcmp(&pin, &untouched, sizeof pin), 0);

    struct Answer {
        const char* text;
        VstIntPtr answer;
    };
    for (VstInt32 bad : {1, 2, -1})
        for (VstInt32 opcode : {effGetInputProperties, effGetOutputProperties}) {
            pin = untouched;
            EXPECT_EQ(dispatch(opcode, bad, 0, &pin), 0) << opcode << " pin " << bad;
            EXPECT_EQ(std::memcmp(&pin, &untouched, sizeof pin), 0) << opcode << " pin " << bad;
        }

    for (Answer a : {Answer{"2in2out", 1}, Answer{"1in2out", -1}, Answer{"1in1out", -1}, Answer{"2in1out", -1},
                     Answer{"sendVstMidiEvent", -1}, Answer{"2in2out ", -1}, Answer{"plugAsChannelInsert\n", -1},
                     Answer{"receiveVstEvents", 1}, Answer{"receiveVstMidiEvent", 1},
                     Answer{"sendVstEvents", -1}, Answer{"plugAsSend", 1}, Answer{"PlugAsSend", -1},
                     Answer{"plugAsChannelInsert", 1}, Answer{"", -1}, Answer{"bypass", -1}}) {
        std::string text = a.text;
        EXPECT_EQ(dispatch(effCanDo, 0, 0, text.data()), a.answer) << a.text;
    }
    EXPECT_EQ(dispatch(effCanDo, 0, 0, nullptr), -1);
}

TEST_F(PluginInterface, SwitchingOnAsksForMidi) {
    dispatch(effMainsChanged, 0, 0);
    EXPECT_TRUE(host.callsOf(audioMasterWantMidi).empty());
    dispatch(effMainsChanged, 0, 5);
    const auto asks = host.callsOf(audioMasterWantMidi);
    ASSERT_EQ(asks.size(), 1u);
    EXPECT_EQ(asks[0].value, 1);
    EXPECT_EQ(asks[0].effect, effect);
}

TEST_F(PluginInterface, MidiControllerSwitchesTheSpeedAndIsReportedAsAutomation) {
    effect->setParameter(effect, 7, 0.6f);  // CTRL64
    dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    dispatch(effMainsChanged, 0, 1);
    VstMidiEvent sustain{};
    sustain.type = kVstMidiType;
    sustain.byteSize = sizeof sustain;
    sustain.deltaFrames = 10;
    sustain.midiData[0] = static_cast<char>(0xB3);
    sustain.midiData[1] = 64;
    sustain.midiData[2] = 127;
    VstEvents list{1, 0, {reinterpret_cast<VstEvent*>(&sustain), nullptr}};
    EXPECT_EQ(dispatch(effProcessEvents, 0, 0, &list), 1);
    std::vector<float> in(256, 0.1f), left(256), right(256);
    processReplacing(in, left, right);
    EXPECT_EQ(effect->getParameter(effect, 0), 1.0f);
    EXPECT_EQ(textOf(effGetParamDisplay, 0), "fast");
    const auto reports = host.callsOf(audioMasterAutomate);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].index, 0);
    EXPECT_EQ(reports[0].opt, 1.0f);
    EXPECT_EQ(reports[0].effect, effect);
}

TEST_F(PluginInterface, BadSampleRatesLeaveTheSoundUnchanged) {
    PluginEntry entry = library().entry("VSTPluginMain");
    AEffect* reference = entry(RecordingHost::callback);
    ASSERT_NE(reference, nullptr);
    dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    reference->dispatcher(reference, effSetSampleRate, 0, 0, nullptr, 96000.0f);
    for (float bad : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        dispatch(effSetSampleRate, 0, 0, nullptr, bad);
        EXPECT_EQ(dispatch(effSetBlockSizeAndSampleRate, 0, 512, nullptr, bad), 1);
    }
    std::vector<float> in(2048), a(2048), b(2048), c(2048), d(2048);
    for (size_t i = 0; i < in.size(); ++i) in[i] = 0.5f * std::sin(i * 0.1f);
    processReplacing(in, a, b);
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {c.data(), d.data()};
    reference->processReplacing(reference, inputs, outputs, 2048);
    EXPECT_EQ(a, c);
    EXPECT_EQ(b, d);
    reference->dispatcher(reference, effClose, 0, 0, nullptr, 0.0f);
}

TEST_F(PluginInterface, AccumulatingEntryAddsToTheOutputs) {
    std::vector<float> in(300, 0.2f), replaced(300), unused(300), left(300, 1.0f), right(300, 1.0f);
    PluginEntry entry = library().entry("VSTPluginMain");
    AEffect* twin = entry(RecordingHost::callback);
    float* inputs[2] = {in.data(), in.data()};
    float* twinOutputs[2] = {replaced.data(), unused.data()};
    twin->processReplacing(twin, inputs, twinOutputs, 300);
    float* outputs[2] = {left.data(), right.data()};
    effect->process(effect, inputs, outputs, 300);
    for (size_t i = 0; i < 300; ++i) EXPECT_FLOAT_EQ(left[i], 1.0f + replaced[i]);
    twin->dispatcher(twin, effClose, 0, 0, nullptr, 0.0f);
}
