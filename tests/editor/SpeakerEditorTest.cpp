// The effect's editor on the headless backend: what it shows, what it sends,
// the hot key, the cabinet frames and the converters.
#include <gtest/gtest.h>

#include "Frame.h"
#include "platform/EmbeddedImages.h"
#include "RasterPlatform.h"
#include "RecordingHost.h"
#include "SpeakerDescriptor.h"
#include "SpeakerEditor.h"
#include "SpeakerPlugin.h"
#include "VstEditor.h"
#include "ValueText.h"

namespace {

constexpr int L = platform::kLeftButton;

class Editor : public ::testing::Test {
protected:
    void SetUp() override {
        effect = new SpeakerPlugin(RecordingHost::callback, false);
        vst = new VstEditor(effect, &raster);  // attaches itself; the effect deletes it
        ASSERT_EQ(effect->getEditorBase(), vst);
        editor = &vst->speakerEditor();
        ASSERT_EQ(editor->open(&parentToken), 1);
        raster.setWindowOrigin(window(), {100, 100});
        raster.paintNow(window());
    }
    void TearDown() override {
        delete effect;  // with its editor, before the platform it draws through
    }

    platform::Window* window() { return editor->getFrame()->getWindow(); }
    std::string fieldText(int i) {
        char text[kTextSize];
        editor->getValueField(i)->getText(text);
        return text;
    }
    std::vector<HostCall> automation() { return host.callsOf(audioMasterAutomate); }
    void press(Point where, int buttons = L) {
        raster.setMouseButtons(buttons);
        raster.setCursor(where + Point{100, 100});
        raster.press(window(), where);
        raster.setMouseButtons(0);
    }
    // Idle twice: the update, then the redraw of whatever it made dirty.
    void idle() {
        editor->idle();
        editor->idle();
    }

    RasterPlatform raster;
    RecordingHost host;
    SpeakerPlugin* effect = nullptr;
    VstEditor* vst = nullptr;
    SpeakerEditor* editor = nullptr;
    int parentToken = 0;
};

}  // namespace

TEST_F(Editor, OpensWithEveryControlAtTheEffectsValues) {
    const AEffect* record = effect->getAeffect();
    EXPECT_EQ(record->flags, effFlagsHasEditor | effFlagsCanMono | effFlagsCanReplacing);
    EXPECT_EQ(editor->getSpeedSwitch()->getValue(), 0.0f);
    EXPECT_EQ(editor->getSpeedLed(0)->getValue(), 1.0f);  // slow lit
    EXPECT_EQ(editor->getSpeedLed(1)->getValue(), 0.0f);
    const char* expected[] = {"0", "0", "60", "0", "0", "100"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(fieldText(i), expected[i]) << i;
    char entry[kTextSize];
    editor->getSpeedKeyMenu()->getCurrent(entry);
    EXPECT_STREQ(entry, "TAB");
    EXPECT_EQ(editor->getCabinetView()->currentFrame(2), 36);
    EXPECT_EQ(editor->getCabinetView()->currentFrame(3), 36);
    EXPECT_EQ(editor->getKnob(2)->getDefaultValue(), 0.5f);  // DISTORTION resets to 50
    EXPECT_EQ(editor->getFrame()->getViewCount(), 17);
    ERect* rect = nullptr;
    EXPECT_EQ(effect->dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 1);
    EXPECT_EQ(rect->right, 246);
    EXPECT_EQ(rect->bottom, 277);
}

TEST_F(Editor, SwitchClickSendsFastAndTheLedsFollow) {
    idle();
    const RasterImage litBefore = raster.pixels(window());  // slow lit, fast dark
    press({60, 140});
    const auto sent = automation();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].index, kSpeedToggle);
    EXPECT_EQ(sent[0].opt, 1.0f);
    EXPECT_EQ(effect->getParameter(kSpeedToggle), 1.0f);
    EXPECT_EQ(editor->getSpeedLed(0)->getValue(), 0.0f);
    EXPECT_EQ(editor->getSpeedLed(1)->getValue(), 1.0f);
    idle();
    // The LEDs swapped pictures: the fast one shows what the lit slow one
    // showed before, and the slow one the dark frame.
    const RasterImage& shown = raster.pixels(window());
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 14; ++x) {
            ASSERT_EQ(shown.pixel(87 + x, 137 + y), litBefore.pixel(27 + x, 137 + y)) << x << "," << y;
            ASSERT_EQ(shown.pixel(27 + x, 137 + y), litBefore.pixel(87 + x, 137 + y)) << x << "," << y;
        }
    EXPECT_NE(shown.pixel(94, 144), litBefore.pixel(94, 144));
}

TEST_F(Editor, ChoosingCtrl64SendsItsPosition) {
    raster.chooseNextMenuItem(3);
    press({170, 142});
    const auto sent = automation();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].index, kSpeedKey);
    EXPECT_FLOAT_EQ(sent[0].opt, 0.6f);
    char text[64];
    effect->getParameterDisplay(kSpeedKey, text);
    EXPECT_STREQ(text, "CTRL64");
}

TEST_F(Editor, TypedValuesAreSentInTheParametersUnitsAndShownAsTheyAreTaken) {
    press({30, 110});  // the SLOW field
    raster.typeInEditBox("30");
    raster.pressEnterInEditBox();
    ASSERT_EQ(automation().size(), 1u);
    EXPECT_EQ(automation()[0].index, kSlowSpeed);
    EXPECT_EQ(automation()[0].opt, 1.0f);
    EXPECT_EQ(fieldText(0), "25");
    press({150, 110});  // ACCEL.
    raster.typeInEditBox("-100");
    raster.pressEnterInEditBox();
    EXPECT_EQ(effect->getParameter(kAcceleration), 0.0f);
}

TEST_F(Editor, KnobDragIsBracketedForTheHost) {
    // The DISTORTION knob: press at its top centre and let go.
    const Point top{213, 74};
    raster.queueInput({{L, top + Point{100, 100}}, {L, top + Point{100, 100}}, {0, top + Point{100, 100}}});
    raster.press(window(), top);
    const auto begins = host.callsOf(audioMasterBeginEdit), ends = host.callsOf(audioMasterEndEdit);
    ASSERT_EQ(begins.size(), 1u);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(begins[0].index, kDistortion);
    EXPECT_EQ(ends[0].index, kDistortion);
    ASSERT_FALSE(automation().empty());
    EXPECT_EQ(automation().back().index, kDistortion);
    EXPECT_NEAR(effect->getParameter(kDistortion), 0.5f, 0.02f);
    // The begin came before the automation, the end after it.
    size_t begin = 0, change = 0, end = 0;
    for (size_t i = 0; i < host.calls.size(); ++i) {
        if (host.calls[i].opcode == audioMasterBeginEdit) begin = i;
        if (host.calls[i].opcode == audioMasterAutomate) change = i;
        if (host.calls[i].opcode == audioMasterEndEdit) end = i;
    }
    EXPECT_LT(begin, change);
    EXPECT_LT(change, end);
}

// The VST 2 side of the editor answers the host's editor calls and turns
// the controller's calls into the effect's host calls.
TEST_F(Editor, TheVst2EditorAnswersTheHostAndCallsItBack) {
    ERect* rect = nullptr;
    EXPECT_EQ(effect->dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 246);
    EXPECT_EQ(rect->bottom - rect->top, 277);
    EXPECT_EQ(effect->dispatcher(effSetEditKnobMode, 0, 2, nullptr, 0.0f), 1);
    EXPECT_EQ(GuiEditor::knobMode(), 2);
    effect->dispatcher(effSetEditKnobMode, 0, 0, nullptr, 0.0f);
    vst->hostIdle();
    EXPECT_EQ(host.callsOf(audioMasterIdle).size(), 1u);
    vst->beginGesture(kBalance);
    vst->changeParameter(kBalance, 0.25f);
    vst->endGesture(kBalance);
    const std::vector<VstInt32> expected = {audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit};
    std::vector<VstInt32> seen;
    for (const HostCall& call : host.calls)
        if (call.opcode != audioMasterIdle && call.index == kBalance) seen.push_back(call.opcode);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(vst->parameter(kBalance), 0.25f);
    EXPECT_EQ(effect->getParameter(kBalance), 0.25f);
}

TEST_F(Editor, SpeedHotKeyFollowsTheChosenKey) {
    VstKeyCode space{0, 7, 0}, tab{0, 2, 0};
    EXPECT_EQ(vst->onKeyDown(space), -1);  // the key is TAB
    EXPECT_EQ(effect->getParameter(kSpeedToggle), 0.0f);
    EXPECT_EQ(vst->onKeyDown(tab), 1);
    EXPECT_EQ(effect->getParameter(kSpeedToggle), 1.0f);
    EXPECT_EQ(effect->dispatcher(effEditKeyDown, 0, 2, nullptr, 0.0f), 1);  // through the host's call
    EXPECT_EQ(effect->getParameter(kSpeedToggle), 0.0f);
    effect->setParameter(kSpeedKey, 0.0f);  // SPACE
    editor->idle();
    EXPECT_EQ(vst->onKeyDown(tab), -1);
    EXPECT_EQ(vst->onKeyDown(space), 1);
    effect->setParameter(kSpeedKey, 0.6f);  // a MIDI controller: no key
    EXPECT_EQ(vst->onKeyDown(space), -1);
    EXPECT_EQ(effect->dispatcher(effEditKeyUp, 0, 7, nullptr, 0.0f), -1);
}

TEST_F(Editor, OutOfRangeParameterIndexChangesNothing) {
    idle();  // what the opening left to draw
    const int drawn = raster.windowDrawings();
    editor->setParameter(9, 1.0f);
    editor->setParameter(-1, 1.0f);
    idle();
    EXPECT_EQ(raster.windowDrawings(), drawn);  // no control was touched, nothing redrawn
    EXPECT_EQ(fieldText(2), "60");
}

TEST_F(Editor, FollowsChangesMadeElsewhereAtTheNextIdle) {
    effect->setParameter(kDistortion, 0.25f);
    effect->setParameter(kSeparation, 0.5f);
    EXPECT_EQ(fieldText(2), "60");  // not yet: the caller may be any thread
    editor->idle();
    EXPECT_EQ(fieldText(2), "25");
    EXPECT_EQ(editor->getKnob(2)->getValue(), 0.25f);
    EXPECT_EQ(editor->getCabinetView()->currentFrame(2), 18);
    effect->setParameter(kSeparation, 0.0f);
    editor->idle();
    EXPECT_EQ(editor->getCabinetView()->currentFrame(3), 0);
}

TEST_F(Editor, MidiSpeedSwitchOnTheAudioThreadReachesTheWindowAtIdle) {
    effect->setParameter(kSpeedKey, 0.6f);  // CTRL64
    editor->idle();
    VstMidiEvent sustain{};
    sustain.type = kVstMidiType;
    sustain.midiData[0] = static_cast<char>(0xB0);
    sustain.midiData[1] = 64;
    sustain.midiData[2] = 127;
    VstEvents list{1, 0, {reinterpret_cast<VstEvent*>(&sustain), nullptr}};
    effect->processEvents(&list);
    std::vector<float> in(256, 0.0f), left(256), right(256);
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {left.data(), right.data()};
    effect->processReplacing(inputs, outputs, 256);
    EXPECT_EQ(effect->getParameter(kSpeedToggle), 1.0f);
    EXPECT_EQ(editor->getSpeedSwitch()->getValue(), 0.0f);  // the audio thread left the controls alone
    editor->idle();
    EXPECT_EQ(editor->getSpeedSwitch()->getValue(), 1.0f);
    EXPECT_EQ(editor->getSpeedLed(1)->getValue(), 1.0f);
}

TEST_F(Editor, RotorPositionsBecomeFrames) {
    CabinetView* cabinet = editor->getCabinetView();
    const struct {
        float horn, drum;
        int hornFrame, drumFrame;
    } cases[] = {{0.0f, 0.0f, 0, 0}, {0.5f, 0.0139f, 36, 1}, {0.9999f, 2.0f, 71, 71}, {-0.5f, 0.25f, 0, 18}};
    for (const auto& c : cases) {
        vst->setRotorPositions(c.horn, c.drum);
        editor->idle();
        EXPECT_EQ(cabinet->currentFrame(0), c.hornFrame) << c.horn;
        EXPECT_EQ(cabinet->currentFrame(1), c.drumFrame) << c.drum;
    }
    // Processing hands the engine's positions to the editor after each block.
    std::vector<float> in(4410, 0.0f), left(4410), right(4410);
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {left.data(), right.data()};
    effect->setParameter(kSpeedToggle, 1.0f);
    for (int i = 0; i < 10; ++i) effect->processReplacing(inputs, outputs, 4410);
    editor->idle();
    EXPECT_EQ(cabinet->currentFrame(0), static_cast<int>(72 * effect->getHornPosition()));
    EXPECT_EQ(cabinet->currentFrame(1), static_cast<int>(72 * effect->getDrumPosition()));
}

TEST_F(Editor, OpensOnceAndRebuildsAfterClosing) {
    Frame* frame = editor->getFrame();
    EXPECT_EQ(editor->open(&parentToken), 1);
    EXPECT_EQ(editor->getFrame(), frame);
    EXPECT_EQ(raster.windowCount(), 1);
    effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(editor->getFrame(), nullptr);
    EXPECT_EQ(editor->getSpeedSwitch(), nullptr);
    EXPECT_EQ(raster.windowCount(), 0);
    VstKeyCode tab{0, 2, 0};
    EXPECT_EQ(vst->onKeyDown(tab), -1);  // closed
    effect->setParameter(kDistortion, 0.9f);
    EXPECT_EQ(effect->dispatcher(effEditOpen, 0, 0, &parentToken, 0.0f), 1);
    EXPECT_EQ(fieldText(2), "90");
    EXPECT_EQ(raster.windowCount(), 1);
}

TEST_F(Editor, ClosingTheEffectWithAnEntryOpenTakesItsText) {
    press({30, 110});
    raster.typeInEditBox("-20");
    // The host closes the effect without closing its window first.
    AEffect* record = effect->getAeffect();
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
    effect = nullptr;
    ASSERT_EQ(automation().size(), 1u);
    EXPECT_EQ(automation()[0].index, kSlowSpeed);
    EXPECT_FLOAT_EQ(automation()[0].opt, 0.1f);
}

TEST(ValueText, TypedTextShowsAsTheParameterTakesIt) {
    auto shown = [](int parameter, const char* typed) {
        char out[kTextSize];
        convertValueText(parameter, typed, out);
        return std::string(out);
    };
    EXPECT_EQ(shown(kSlowSpeed, "30"), "25");
    EXPECT_EQ(shown(kSlowSpeed, "-3.6"), "-4");
    EXPECT_EQ(shown(kSlowSpeed, "12.7"), "13");
    EXPECT_EQ(shown(kSlowSpeed, "abc"), "0");
    EXPECT_EQ(shown(kDistortion, "-5"), "0");
    EXPECT_EQ(shown(kDistortion, "250"), "100");
    EXPECT_EQ(shown(kAcceleration, "-100"), "-100");
    char out[kTextSize];
    valueTextFilter(kBalance)("-7", out);
    EXPECT_STREQ(out, "-7");
    EXPECT_EQ(valueTextFilter(9), nullptr);
}

// A press whose button is already up when the window handles it (a tap, a
// fast click on a busy host) acts on every control.
TEST_F(Editor, AQuickClickActsOnTheSwitchTheFieldsAndTheMenu) {
    raster.setMouseButtons(0);
    raster.press(window(), {60, 140}, L);
    ASSERT_EQ(automation().size(), 1u);
    EXPECT_EQ(effect->getParameter(kSpeedToggle), 1.0f);

    raster.press(window(), {30, 110}, L);  // the SLOW field
    ASSERT_NE(raster.editBox(), nullptr);
    raster.typeInEditBox("10");
    raster.pressEnterInEditBox();
    EXPECT_EQ(fieldText(0), "10");

    raster.chooseNextMenuItem(3);
    raster.press(window(), {170, 142}, L);
    char text[64];
    effect->getParameterDisplay(kSpeedKey, text);
    EXPECT_STREQ(text, "CTRL64");
}

// The host closes the editor from the idle call a knob drag makes while the
// button is held: the drag ends, the window goes once the click is done.
TEST_F(Editor, HostClosingTheEditorDuringAKnobDragEndsTheDrag) {
    host.reaction = [this](VstInt32 opcode) {
        if (opcode == audioMasterIdle) effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    };
    const Point top{213, 74};
    std::vector<RasterPlatform::InputState> held(50, {L, top + Point{100, 100}});
    raster.queueInput(held);
    raster.setTicks(5000);  // the idle pump is due at once
    raster.press(window(), top);
    host.reaction = nullptr;
    EXPECT_FALSE(editor->isOpen());
    EXPECT_EQ(editor->getFrame(), nullptr);
    EXPECT_EQ(raster.windowCount(), 0);
    EXPECT_EQ(host.callsOf(audioMasterEndEdit).size(), 1u);
    EXPECT_EQ(editor->open(&parentToken), 1);  // and it opens again
}

// The window's seventeen controls, in order, where the layout puts them.
TEST_F(Editor, EveryControlHasItsRectangleTagAndImage) {
    const struct {
        Rect bounds;
        int tag;
        int bitmap;  // 0: none
    } expected[] = {
        {{14, 72, 58, 106}, 1, 130},      {{21, 106, 48, 118}, 1000, 0},   {{73, 72, 117, 106}, 2, 130},
        {{80, 106, 107, 118}, 1001, 0},   {{191, 72, 235, 106}, 4, 133},   {{198, 106, 225, 118}, 1002, 0},
        {{132, 72, 176, 106}, 3, 130},    {{139, 106, 166, 118}, 1003, 0}, {{14, 191, 58, 225}, 5, 131},
        {{21, 225, 48, 237}, 1004, 0},    {{73, 191, 117, 225}, 6, 132},   {{80, 225, 107, 237}, 1005, 0},
        {{54, 133, 75, 153}, 0, 129},     {{151, 137, 214, 149}, 7, 134},  {{27, 137, 41, 151}, -1, 135},
        {{87, 137, 101, 151}, -1, 135},   {{142, 171, 227, 266}, 0, 136},
    };
    Frame* frame = editor->getFrame();
    ASSERT_EQ(frame->getViewCount(), 17);
    for (int i = 0; i < 17; ++i) {
        auto* control = dynamic_cast<Control*>(frame->getView(i));
        ASSERT_NE(control, nullptr) << i;
        EXPECT_EQ(control->getBounds(), expected[i].bounds) << i;
        EXPECT_EQ(control->getTag(), expected[i].tag) << i;
        Bitmap* image = control->getBackground();
        EXPECT_EQ(image ? image->getResourceId() : 0, expected[i].bitmap) << i;
        EXPECT_TRUE(!image || image->isLoaded()) << i;
    }
    EXPECT_EQ(frame->getBounds(), (Rect{0, 0, 246, 277}));
}

// The cabinet is its picture with the four layers over it, each showing
// the frame for the rotor positions and the separation, later layers over
// earlier ones: the same pixels as composing the image files by hand.
TEST_F(Editor, CabinetComposesItsFourLayersOverThePicture) {
    auto image = [](int id) {
        RasterImage decoded;
        const EmbeddedImage* bytes = findEmbeddedImage(id);
        if (bytes) decoded.decodeBmp(bytes->bytes, bytes->size);
        return decoded;
    };
    effect->setParameter(kSeparation, 0.5f);
    vst->setRotorPositions(0.25f, 0.6f);
    idle();
    idle();
    const struct {
        int id, x, y, frameHeight, frame;
    } layers[] = {
        {137, 22, 6, 15, 18},   // horn: 72 frames a turn
        {138, 19, 47, 25, 43},  // drum
        {139, 65, 60, 20, 18},  // microphone marks: 37 frames over the separation
        {140, 12, 80, 12, 18},  // microphone arc
    };
    RasterImage expected = image(136);
    ASSERT_EQ(expected.width(), 85);
    for (const auto& layer : layers) {
        const RasterImage strip = image(layer.id);
        ASSERT_GT(strip.width(), 0);
        for (int y = 0; y < layer.frameHeight; ++y)
            for (int x = 0; x < strip.width(); ++x)
                expected.setPixel(layer.x + x, layer.y + y, strip.pixel(x, layer.frame * layer.frameHeight + y));
    }
    const RasterImage& shown = raster.pixels(window());
    int differences = 0;
    for (int y = 0; y < 95; ++y)
        for (int x = 0; x < 85; ++x)
            if (shown.pixel(142 + x, 171 + y) != expected.pixel(x, y) && ++differences <= 5)
                ADD_FAILURE() << "cabinet pixel " << x << "," << y;
    EXPECT_EQ(differences, 0);
}

// Keys the editor's window receives itself act once; while the window has
// the keyboard focus the same key forwarded by the host does nothing more.
TEST_F(Editor, AWindowKeyTogglesOnceAndAForwardedOneWhileFocusedNotAgain) {
    EXPECT_TRUE(raster.pressKey(window(), platform::kKeyTab, 0));  // tab, the default speed key
    EXPECT_EQ(effect->getParameter(kSpeedToggle), 1.0f);
    raster.changeFocus(window(), true);
    EXPECT_TRUE(raster.pressKey(window(), platform::kKeyTab, 0));
    EXPECT_EQ(effect->getParameter(kSpeedToggle), 0.0f);
    VstKeyCode tab{0, 2, 0};
    EXPECT_EQ(vst->onKeyDown(tab), -1);  // the host forwards the key the window already had
    EXPECT_EQ(effect->getParameter(kSpeedToggle), 0.0f);
    raster.changeFocus(window(), false);
    EXPECT_EQ(vst->onKeyDown(tab), 1);  // a host's key while the focus is elsewhere acts
    EXPECT_EQ(effect->getParameter(kSpeedToggle), 1.0f);
    EXPECT_FALSE(raster.pressKey(window(), platform::kKeySpace, 0));  // space is not the speed key now
    // Held with Control, Alt or the system key it is the host's shortcut; with Shift, still the key.
    for (int modifier : {platform::kModifierControl, platform::kModifierAlt, platform::kModifierSuper})
        EXPECT_FALSE(raster.pressKey(window(), platform::kKeyTab, 0, modifier)) << modifier;
    EXPECT_EQ(effect->getParameter(kSpeedToggle), 1.0f);
    EXPECT_TRUE(raster.pressKey(window(), platform::kKeyTab, 0, platform::kModifierShift));
    EXPECT_EQ(effect->getParameter(kSpeedToggle), 0.0f);
}
