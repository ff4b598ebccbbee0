// The host-service wrappers, the flag operations and the text utilities of
// the effect base classes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "AudioEffectX.h"
#include "RecordingHost.h"

namespace {

// The smallest effect: a value store, so the wrappers can be watched.
class PlainEffect : public AudioEffectX {
public:
    using AudioEffectX::AudioEffectX;
    void process(float**, float**, VstInt32) override {}
    void setParameter(VstInt32 index, float value) override {
        lastIndex = index;
        lastValue = value;
        callsBeforeHost = callsSeen ? static_cast<int>(callsSeen->size()) : 0;
    }
    VstInt32 lastIndex = -1;
    float lastValue = 0.0f;
    int callsBeforeHost = -1;
    const std::vector<HostCall>* callsSeen = nullptr;
};

std::string text(void (AudioEffect::*format)(float, char*), AudioEffect& effect, float value) {
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    (effect.*format)(value, buffer);
    return buffer;
}

}  // namespace

TEST(HostServices, SetParameterAutomatedChangesLocallyBeforeTellingTheHost) {
    RecordingHost host;
    PlainEffect effect(RecordingHost::callback, 1, 4);
    effect.callsSeen = &host.calls;
    effect.setParameterAutomated(3, 0.25f);
    EXPECT_EQ(effect.lastIndex, 3);
    EXPECT_EQ(effect.callsBeforeHost, 0);
    ASSERT_EQ(host.calls.size(), 1u);
    const HostCall& call = host.calls[0];
    EXPECT_EQ(call.effect, effect.getAeffect());
    EXPECT_EQ(call.opcode, audioMasterAutomate);
    EXPECT_EQ(call.index, 3);
    EXPECT_EQ(call.value, 0);
    EXPECT_EQ(call.ptr, nullptr);
    EXPECT_EQ(call.opt, 0.25f);

    PlainEffect alone(nullptr, 1, 4);
    alone.setParameterAutomated(2, 0.5f);
    EXPECT_EQ(alone.lastIndex, 2);
}

TEST(HostServices, WrappersPassTheirArgumentsAndReadTheAnswers) {
    RecordingHost host;
    PlainEffect effect(RecordingHost::callback, 1, 1);
    host.versionAnswer = 0;
    EXPECT_EQ(effect.getMasterVersion(), 1);
    host.versionAnswer = 2400;
    EXPECT_EQ(effect.getMasterVersion(), 2400);

    host.answer = 0;
    EXPECT_TRUE(effect.isInputConnected(1));
    EXPECT_TRUE(effect.isOutputConnected(0));
    EXPECT_EQ(host.calls.back().value, 1);
    host.answer = 1;
    EXPECT_FALSE(effect.isInputConnected(1));
    EXPECT_EQ(host.calls.back().value, 0);

    host.answer = 12345;
    EXPECT_EQ(effect.updateSampleRate(), 44100.0f);  // the host's number is not used
    EXPECT_EQ(effect.updateBlockSize(), 1024);
    EXPECT_TRUE(effect.sizeWindow(246, 277));
    EXPECT_EQ(host.calls.back().index, 246);
    EXPECT_EQ(host.calls.back().value, 277);
    EXPECT_TRUE(effect.beginEdit(4));
    EXPECT_EQ(host.calls.back().opcode, audioMasterBeginEdit);
    EXPECT_EQ(host.calls.back().index, 4);
    EXPECT_TRUE(effect.endEdit(4));
    EXPECT_EQ(host.calls.back().opcode, audioMasterEndEdit);

    const size_t before = host.calls.size();
    EXPECT_FALSE(effect.openFileSelector(nullptr));
    EXPECT_EQ(host.calls.size(), before);

    char query[] = "sendVstEvents";
    host.answer = -1;
    EXPECT_FALSE(effect.canHostDo(query));  // the host's "no" is no
    host.answer = 1;
    EXPECT_TRUE(effect.canHostDo(query));
    EXPECT_EQ(host.calls.back().ptr, query);

    effect.masterIdle();
    EXPECT_EQ(host.calls.back().opcode, audioMasterIdle);
    effect.wantEvents(1);
    EXPECT_EQ(host.calls.back().opcode, audioMasterWantMidi);
    EXPECT_EQ(host.calls.back().value, 1);
}

TEST(HostServices, WithoutCallbackEveryWrapperAnswersItsDefault) {
    PlainEffect effect(nullptr, 1, 1);
    EXPECT_EQ(effect.getMasterVersion(), 1);
    EXPECT_EQ(effect.getCurrentUniqueId(), 0);
    EXPECT_TRUE(effect.isInputConnected(0));
    EXPECT_EQ(effect.getTimeInfo(0), nullptr);
    EXPECT_FALSE(effect.beginEdit(0));
    EXPECT_EQ(effect.getPreviousPlug(0), nullptr);
    EXPECT_EQ(effect.updateSampleRate(), 44100.0f);
}

TEST(HostServices, FlagOperationsSetAndClearTheirBits) {
    PlainEffect effect(nullptr, 1, 1);
    AEffect* record = effect.getAeffect();
    effect.hasClip(true);
    effect.hasVu(true);
    effect.canMono(true);
    effect.canProcessReplacing(true);
    effect.programsAreChunks(true);
    effect.isSynth(true);
    effect.noTail(true);
    effect.wantAsyncOperation(true);
    effect.hasExternalBuffer(true);
    EXPECT_EQ(record->flags, 2 | 4 | 8 | 16 | 32 | 256 | 512 | 1024 | 2048);
    EXPECT_EQ(effect.getPlugCategory(), kPlugCategSynth);
    effect.isSynth(false);
    effect.hasVu(false);
    EXPECT_EQ(record->flags, 2 | 8 | 16 | 32 | 512 | 1024 | 2048);
    EXPECT_EQ(effect.getPlugCategory(), kPlugCategUnknown);
}

TEST(HostServices, BaseRecordBeforeAnyDerivedClass) {
    PlainEffect effect(nullptr, 3, 5);
    const AEffect* record = effect.getAeffect();
    EXPECT_EQ(record->magic, kEffectMagic);
    EXPECT_EQ(record->numPrograms, 3);
    EXPECT_EQ(record->numParams, 5);
    EXPECT_EQ(record->numInputs, 1);
    EXPECT_EQ(record->numOutputs, 2);
    EXPECT_EQ(record->uniqueID, 0x4E6F4566);
    EXPECT_EQ(record->ioRatio, 1.0f);
    EXPECT_EQ(record->object, &effect);
}

TEST(TextUtilities, FloatToString) {
    PlainEffect effect(nullptr, 1, 1);
    auto f2s = [&](float v) { return text(&AudioEffect::float2string, effect, v); };
    EXPECT_EQ(f2s(0.0f), "0.000000");
    EXPECT_EQ(f2s(1.5f), "1.500000");
    EXPECT_EQ(f2s(-3.25f), "-3.25000");
    EXPECT_EQ(f2s(123456.7f), "123456.7");
    EXPECT_EQ(f2s(1234567.0f), "1234567.");
    EXPECT_EQ(f2s(99.99f), "99.98999");
    EXPECT_EQ(f2s(-999999.0f), "-999999.");
    // Integer parts that cannot fit the 8 characters, and non-finite values.
    EXPECT_EQ(f2s(12345678.0f), " Huge!  ");
    EXPECT_EQ(f2s(-1234567.0f), " Huge!  ");
    EXPECT_EQ(f2s(1e20f), " Huge!  ");
    EXPECT_EQ(f2s(std::nanf("")), " Huge!  ");
}

TEST(TextUtilities, DecibelsHertzMillisecondsAndIntegers) {
    PlainEffect effect(nullptr, 1, 1);
    EXPECT_EQ(text(&AudioEffect::dB2string, effect, 0.0f), "  -oo   ");
    EXPECT_EQ(text(&AudioEffect::dB2string, effect, -1.0f), "  -oo   ");
    EXPECT_EQ(text(&AudioEffect::dB2string, effect, 1.0f), "0.000000");
    EXPECT_EQ(text(&AudioEffect::dB2string, effect, 10.0f), "20.00000");
    EXPECT_EQ(text(&AudioEffect::Hz2string, effect, 0.0f), "0.000000");
    EXPECT_EQ(text(&AudioEffect::Hz2string, effect, 441.0f), "100.0000");
    EXPECT_EQ(text(&AudioEffect::ms2string, effect, 441.0f), "10.00000");

    char buffer[16];
    effect.long2string(100000000, buffer);
    EXPECT_STREQ(buffer, " Huge!  ");
    effect.long2string(5, buffer);
    EXPECT_STREQ(buffer, "      5");
    effect.long2string(99999999, buffer);
    EXPECT_STREQ(buffer, "99999999");
    effect.long2string(-9999999, buffer);
    EXPECT_STREQ(buffer, "-9999999");
    effect.long2string(-10000000, buffer);
    EXPECT_STREQ(buffer, " Huge!  ");
}

// Each wrapper sends its own opcode with its arguments in their places.
TEST(HostServices, EveryWrapperPlacesItsArgumentsWhereTheHostLooks) {
    RecordingHost host;
    PlainEffect effect(RecordingHost::callback, 1, 1);
    char text[64] = "";
    int anything = 0;
    void* const p = &anything;
    auto* task = static_cast<VstOfflineTask*>(p);
    auto* files = static_cast<VstAudioFile*>(p);
    auto* window = static_cast<VstWindow*>(p);
    VstSpeakerArrangement* arrangements[2] = {};
    const struct {
        const char* name;
        std::function<void()> call;
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        void* ptr;
        float opt;
    } rows[] = {
        {"getTimeInfo", [&] { effect.getTimeInfo(0x3F); }, audioMasterGetTime, 0, 0x3F, nullptr, 0},
        {"tempoAt", [&] { effect.tempoAt(4410); }, audioMasterTempoAt, 0, 4410, nullptr, 0},
        {"getNumAutomatableParameters", [&] { effect.getNumAutomatableParameters(); },
         audioMasterGetNumAutomatableParameters, 0, 0, nullptr, 0},
        {"getParameterQuantization", [&] { effect.getParameterQuantization(); },
         audioMasterGetParameterQuantization, 0, 0, nullptr, 0},
        {"ioChanged", [&] { effect.ioChanged(); }, audioMasterIOChanged, 0, 0, nullptr, 0},
        {"needIdle", [&] { effect.needIdle(); }, audioMasterNeedIdle, 0, 0, nullptr, 0},
        {"sizeWindow", [&] { effect.sizeWindow(246, 277); }, audioMasterSizeWindow, 246, 277, nullptr, 0},
        {"updateSampleRate", [&] { effect.updateSampleRate(); }, audioMasterGetSampleRate, 0, 0, nullptr, 0},
        {"updateBlockSize", [&] { effect.updateBlockSize(); }, audioMasterGetBlockSize, 0, 0, nullptr, 0},
        {"getInputLatency", [&] { effect.getInputLatency(); }, audioMasterGetInputLatency, 0, 0, nullptr, 0},
        {"getOutputLatency", [&] { effect.getOutputLatency(); }, audioMasterGetOutputLatency, 0, 0, nullptr, 0},
        {"getPreviousPlug", [&] { effect.getPreviousPlug(3); }, audioMasterGetPreviousPlug, 0, 0, nullptr, 0},
        {"getNextPlug", [&] { effect.getNextPlug(3); }, audioMasterGetNextPlug, 0, 0, nullptr, 0},
        {"willProcessReplacing", [&] { effect.willProcessReplacing(); }, audioMasterWillReplaceOrAccumulate, 0, 0,
         nullptr, 0},
        {"getCurrentProcessLevel", [&] { effect.getCurrentProcessLevel(); }, audioMasterGetCurrentProcessLevel, 0, 0,
         nullptr, 0},
        {"getAutomationState", [&] { effect.getAutomationState(); }, audioMasterGetAutomationState, 0, 0, nullptr, 0},
        {"offlineRead", [&] { effect.offlineRead(task, 7, true); }, audioMasterOfflineRead, 1, 7, p, 0},
        {"offlineRead source", [&] { effect.offlineRead(task, 7, false); }, audioMasterOfflineRead, 0, 7, p, 0},
        {"offlineWrite", [&] { effect.offlineWrite(task, 9); }, audioMasterOfflineWrite, 0, 9, p, 0},
        {"offlineStart", [&] { effect.offlineStart(files, 2, 5); }, audioMasterOfflineStart, 5, 2, p, 0},
        {"offlineGetCurrentPass", [&] { effect.offlineGetCurrentPass(); }, audioMasterOfflineGetCurrentPass, 0, 0,
         nullptr, 0},
        {"offlineGetCurrentMetaPass", [&] { effect.offlineGetCurrentMetaPass(); },
         audioMasterOfflineGetCurrentMetaPass, 0, 0, nullptr, 0},
        {"setOutputSampleRate", [&] { effect.setOutputSampleRate(48000.0f); }, audioMasterSetOutputSampleRate, 0, 0,
         nullptr, 48000.0f},
        {"getSpeakerArrangement", [&] { effect.getSpeakerArrangement(&arrangements[0], &arrangements[1]); },
         audioMasterGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&arrangements[0]), &arrangements[1], 0},
        {"getHostVendorString", [&] { effect.getHostVendorString(text); }, audioMasterGetVendorString, 0, 0, text, 0},
        {"getHostProductString", [&] { effect.getHostProductString(text); }, audioMasterGetProductString, 0, 0, text,
         0},
        {"getHostVendorVersion", [&] { effect.getHostVendorVersion(); }, audioMasterGetVendorVersion, 0, 0, nullptr,
         0},
        {"hostVendorSpecific", [&] { effect.hostVendorSpecific(3, 4, p, 0.5f); }, audioMasterVendorSpecific, 3, 4, p,
         0.5f},
        {"canHostDo", [&] { effect.canHostDo(text); }, audioMasterCanDo, 0, 0, text, 0},
        {"getHostLanguage", [&] { effect.getHostLanguage(); }, audioMasterGetLanguage, 0, 0, nullptr, 0},
        {"openWindow", [&] { effect.openWindow(window); }, audioMasterOpenWindow, 0, 0, p, 0},
        {"closeWindow", [&] { effect.closeWindow(window); }, audioMasterCloseWindow, 0, 0, p, 0},
        {"getDirectory", [&] { effect.getDirectory(); }, audioMasterGetDirectory, 0, 0, nullptr, 0},
        {"updateDisplay", [&] { effect.updateDisplay(); }, audioMasterUpdateDisplay, 0, 0, nullptr, 0},
        {"beginEdit", [&] { effect.beginEdit(6); }, audioMasterBeginEdit, 6, 0, nullptr, 0},
        {"endEdit", [&] { effect.endEdit(6); }, audioMasterEndEdit, 6, 0, nullptr, 0},
        {"wantEvents", [&] { effect.wantEvents(1); }, audioMasterWantMidi, 0, 1, nullptr, 0},
        {"masterIdle", [&] { effect.masterIdle(); }, audioMasterIdle, 0, 0, nullptr, 0},
    };
    for (const auto& row : rows) {
        host.calls.clear();
        row.call();
        ASSERT_EQ(host.calls.size(), 1u) << row.name;
        const HostCall& call = host.calls[0];
        EXPECT_EQ(call.effect, effect.getAeffect()) << row.name;
        EXPECT_EQ(call.opcode, row.opcode) << row.name;
        EXPECT_EQ(call.index, row.index) << row.name;
        EXPECT_EQ(call.value, row.value) << row.name;
        EXPECT_EQ(call.ptr, row.ptr) << row.name;
        EXPECT_EQ(call.opt, row.opt) << row.name;
    }
}

TEST(HostServices, WrappersReadThePointerSizedAnswer) {
    RecordingHost host;
    PlainEffect effect(RecordingHost::callback, 1, 1);
    int anything = 0;
    host.answer = reinterpret_cast<VstIntPtr>(&anything);
    EXPECT_EQ(static_cast<void*>(effect.getTimeInfo(0)), &anything);
    EXPECT_EQ(static_cast<void*>(effect.getNextPlug(0)), &anything);
    EXPECT_EQ(effect.getDirectory(), &anything);
    host.answer = 48;
    EXPECT_EQ(effect.getInputLatency(), 48);
    EXPECT_EQ(effect.tempoAt(0), 48);
    host.answer = 0;
    EXPECT_FALSE(effect.needIdle());
    EXPECT_FALSE(effect.offlineGetCurrentPass());
}

// The block-size opcodes store what the host says; the combined one stores
// both values directly and answers 1.
TEST(HostDispatcher, BlockSizeOpcodesStoreTheHostsValues) {
    RecordingHost host;
    PlainEffect effect(RecordingHost::callback, 1, 1);
    EXPECT_EQ(effect.dispatcher(effSetBlockSize, 0, 333, nullptr, 0.0f), 0);
    EXPECT_EQ(effect.updateBlockSize(), 333);
    EXPECT_EQ(effect.dispatcher(effSetBlockSizeAndSampleRate, 0, 128, nullptr, 96000.0f), 1);
    EXPECT_EQ(effect.updateBlockSize(), 128);
    EXPECT_EQ(effect.updateSampleRate(), 96000.0f);
    EXPECT_EQ(effect.dispatcher(effSetSampleRate, 0, 0, nullptr, 22050.0f), 0);
    EXPECT_EQ(effect.updateSampleRate(), 22050.0f);
}

// The key opcodes build the key record from index, value and opt.
TEST(HostDispatcher, KeyRecordsCarryCharacterVirtualKeyAndModifier) {
    struct KeyEditor : EditorBase {
        using EditorBase::EditorBase;
        int onKeyDown(VstKeyCode& key) override {
            down = key;
            return 1;
        }
        int onKeyUp(VstKeyCode& key) override {
            up = key;
            return -1;
        }
        VstKeyCode down{}, up{};
    };
    RecordingHost host;
    PlainEffect effect(RecordingHost::callback, 1, 1);
    auto* editor = new KeyEditor(&effect);  // the effect deletes it
    effect.setEditor(editor);
    EXPECT_EQ(effect.dispatcher(effEditKeyDown, 'q', 0x1207, nullptr, 5.9f), 1);
    EXPECT_EQ(editor->down.character, 'q');
    EXPECT_EQ(editor->down.virt, 0x07);       // the low 8 bits of value
    EXPECT_EQ(editor->down.modifier, 5);      // opt truncated
    EXPECT_EQ(effect.dispatcher(effEditKeyUp, 0, 0x102, nullptr, 258.0f), -1);
    EXPECT_EQ(editor->up.virt, 0x02);
    EXPECT_EQ(editor->up.modifier, 2);        // the low 8 bits of 258
    for (const float beyond : {3e9f, -3e9f, std::numeric_limits<float>::quiet_NaN(), INFINITY}) {
        EXPECT_EQ(effect.dispatcher(effEditKeyUp, 0, 0x102, nullptr, beyond), -1);
        EXPECT_EQ(editor->up.modifier, 0) << beyond;  // no integer: no modifier
    }
}
