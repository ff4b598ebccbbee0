// The rear panel of an effect with the extended cabinet, on the headless
// backend: what it shows at each size against the generator's images, and
// what its controls send; the VST 2 editor has none.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Frame.h"
#include "PanelPicture.h"
#include "RasterPlatform.h"
#include "RecordingHost.h"
#include "SpeakerDescriptor.h"
#include "SpeakerEditor.h"
#include "SpeakerPlugin.h"
#include "VstEditor.h"

namespace {

constexpr int L = platform::kLeftButton;

const ParameterInfo& row(int i) { return kCabinetParameters[i]; }

// An effect with every parameter of the extended cabinet, as the CLAP, LV2
// and VST 3 adapters offer them; it records what the editor sends.
class CabinetController : public SpeakerController {
public:
    CabinetController() {
        for (int i = 0; i < kNumCabinetParameters; ++i) values[i] = row(i).defaultNormalized();
    }
    int parameterCount() override { return kNumCabinetParameters; }
    float parameter(int index) override { return index >= 0 && index < kNumCabinetParameters ? values[index] : 0; }
    void changeParameter(int index, float normalized) override {
        values[index] = normalized;
        changes.push_back({index, normalized});
    }
    void beginGesture(int index) override { gestures.push_back(index); }
    void endGesture(int index) override { gestures.push_back(-1 - index); }
    RotorPositions rotorPositions() override { return {0.0f, 0.0f}; }

    float values[kNumCabinetParameters];
    std::vector<std::pair<int, float>> changes;
    std::vector<int> gestures;
};

class RearPanel : public ::testing::Test {
protected:
    void open(double factor) {
        editor.close();
        editor.setHostScale(factor);
        ASSERT_EQ(editor.open(&parentToken), 1);
        raster.setWindowOrigin(window(), {100, 100});
        raster.paintNow(window());
        idle();
    }
    platform::Window* window() { return editor.getFrame()->getWindow(); }
    void idle() {
        editor.idle();
        editor.idle();
    }
    void press(Point where, int buttons = L) {
        raster.setMouseButtons(buttons);
        raster.setCursor(where + Point{100, 100});
        raster.press(window(), where);
        raster.setMouseButtons(0);
        idle();
    }
    std::string fieldText(int i) {
        char text[kTextSize];
        editor.getRearField(i)->getText(text);
        return text;
    }

    RasterPlatform raster;
    CabinetController effect;
    SpeakerEditor editor{&effect, &raster};
    int parentToken = 0;
};

Point centre(Rect r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// The place of `parameter` among the rear knobs.
int rearKnobOf(int parameter) {
    for (int i = 0; i < kRearKnobCount; ++i)
        if (kRearKnobPlaces[i].parameter == parameter) return i;
    return -1;
}

}  // namespace

// A VST 2 effect has the eight parameters only: its editor is the front
// panel alone, with no switch to a rear one.
TEST(Vst2Editor, HasNoRearPanel) {
    RasterPlatform raster;
    auto* effect = new SpeakerPlugin(RecordingHost::callback, false);
    SpeakerEditor& editor = (new VstEditor(effect, &raster))->speakerEditor();
    int token = 0;
    ASSERT_EQ(editor.open(&token), 1);
    EXPECT_EQ(editor.getFlipSwitch(), nullptr);
    EXPECT_EQ(editor.getFrame()->getViewCount(), 17);
    editor.showRear(true);
    editor.idle();
    EXPECT_FALSE(editor.isShowingRear());
    EXPECT_NE(editor.getCabinetView(), nullptr);
    delete effect;
}

// At every size the rear panel shows the generator's images at that size:
// the panel, each knob's frame for its value, the brake's switch and lamp
// and the panel switch, everywhere but the text of the fields and the menu.
// The front shows the panel switch over its header.
TEST_F(RearPanel, EverySizeShowsTheRearImagesDrawnForIt) {
    effect.values[kBrake] = 1.0f;
    effect.values[kHornRest] = row(kHornRest).toNormalized(120.0f);
    for (int index = 0; index < kEditorScaleCount; ++index) {
        SCOPED_TRACE(kEditorScales[index]);
        const EditorScale scale{kEditorScales[index]};
        open(scale.factor());
        ASSERT_NE(editor.getFlipSwitch(), nullptr);
        const RasterImage& front = raster.pixels(window());
        const RasterImage flip = embeddedImage(scale.imageId(kFlipBitmap));
        const Rect flipPlace = flipRect(scale);
        for (int y = 0; y < flipPlace.height(); ++y)
            for (int x = 0; x < flipPlace.width(); ++x)
                ASSERT_EQ(front.pixel(flipPlace.left + x, flipPlace.top + y), flip.pixel(x, y)) << x << "," << y;

        editor.showRear(true);
        idle();
        raster.paintNow(window());
        ASSERT_TRUE(editor.isShowingRear());
        EXPECT_EQ(editor.getCabinetView(), nullptr);
        PanelPicture expected(kRearBitmap, scale);
        ASSERT_EQ(expected.image.width(), editorRect(scale).width());
        for (const KnobPlace& knob : kRearKnobPlaces) expected.placeKnob(knob, effect.values[knob.parameter]);
        expected.place(kRearSwitchBitmap, brakeSwitchRect(scale), 1);
        expected.place(kRearLedBitmap, brakeLampRect(scale), 1);
        expected.place(kFlipBitmap, flipRect(scale), 1);
        const auto hasText = [&](Point p) {
            for (const KnobPlace& knob : kRearKnobPlaces)
                if (valueFieldRect(knob, scale).containsInclusive(p)) return true;
            return driveMenuRect(scale).containsInclusive(p);
        };
        EXPECT_EQ(expected.differences(raster.pixels(window()), hasText), 0);
        editor.showRear(false);
    }
}

// At 150 % the panel switch turns the editor round; the brake's switch, a
// knob, a typed value and the drive menu send their parameters, and the
// switch turns it back to the front.
TEST_F(RearPanel, ItsControlsSendTheirParameters) {
    open(1.5);
    const EditorScale scale = editor.getScale();
    press(centre(flipRect(scale)));
    ASSERT_TRUE(editor.isShowingRear());
    ASSERT_NE(editor.getBrakeSwitch(), nullptr);
    EXPECT_EQ(editor.getFlipSwitch()->getValue(), 1.0f);

    effect.changes.clear();
    press(centre(brakeSwitchRect(scale)));
    ASSERT_EQ(effect.changes.size(), 1u);
    EXPECT_EQ(effect.changes[0], (std::pair<int, float>{kBrake, 1.0f}));
    EXPECT_EQ(editor.getBrakeLamp()->getValue(), 1.0f);

    // The drum's FAST knob, pressed at the top of its travel: the middle of its range.
    const Rect knob = knobRect(kRearKnobPlaces[rearKnobOf(kDrumFast)], scale);
    const Point top{knob.left + scale.length(kKnobCentreOffset.x + 1), knob.top + scale.length(2)};
    raster.queueInput({{L, top + Point{100, 100}}, {L, top + Point{100, 100}}, {0, top + Point{100, 100}}});
    raster.press(window(), top);
    EXPECT_NEAR(effect.values[kDrumFast], 0.5f, 0.02f);
    EXPECT_EQ(effect.gestures, (std::vector<int>{kDrumFast, -1 - kDrumFast}));

    // "2.5" typed into the horn's UP field: 2.5 seconds.
    const int hornUp = rearKnobOf(kHornUp);
    press(centre(valueFieldRect(kRearKnobPlaces[hornUp], scale)));
    ASSERT_NE(raster.editBox(), nullptr);
    raster.typeInEditBox("2.5");
    raster.pressEnterInEditBox();
    EXPECT_FLOAT_EQ(row(kHornUp).toValue(effect.values[kHornUp]), 2.5f);
    EXPECT_EQ(fieldText(hornUp), "2.50");

    raster.chooseNextMenuItem(1);
    press(centre(driveMenuRect(scale)));
    EXPECT_EQ(effect.values[kDrive], 1.0f);
    EXPECT_EQ(raster.lastShownMenu().items.size(), 2u);

    press(centre(flipRect(scale)));
    EXPECT_FALSE(editor.isShowingRear());
    EXPECT_NE(editor.getCabinetView(), nullptr);
    EXPECT_EQ(editor.getBrakeSwitch(), nullptr);
}

// A change the host makes shows on the rear panel at the next idle, and the
// front panel's controls still follow theirs.
TEST_F(RearPanel, HostChangesShowAtTheNextIdle) {
    open(1.0);
    editor.showRear(true);
    idle();
    effect.values[kHornRest] = row(kHornRest).toNormalized(90.0f);
    editor.setParameter(kHornRest, effect.values[kHornRest]);
    effect.values[kDrive] = 1.0f;
    editor.setParameter(kDrive, 1.0f);
    idle();
    EXPECT_EQ(fieldText(rearKnobOf(kHornRest)), "90");
    EXPECT_EQ(editor.getDriveMenu()->getCurrent(), 1);
    editor.setParameter(kNumCabinetParameters, 0.5f);  // no such parameter: nothing
    idle();
    editor.showRear(false);
    idle();
    effect.values[kDistortion] = 0.9f;
    editor.setParameter(kDistortion, 0.9f);
    idle();
    EXPECT_EQ(editor.getKnob(2)->getValue(), 0.9f);
}
