// Knobs: angle arithmetic, circular and linear drags with their edit
// brackets, fine mode, Control-click, the wheel and strip frames.
#include "EditorHarness.h"
#include "Knob.h"

namespace {

constexpr int L = platform::kLeftButton, S = platform::kShiftKey, C = platform::kControlKey, A = platform::kAltKey;

// Records every value the listener hears.
class ValueLog : public ControlListener {
public:
    // Like the editor, it redraws the control, which cleans it.
    void valueChanged(DrawContext*, Control* control) override {
        values.push_back(control->getValue());
        control->setDirty(false);
    }
    std::vector<float> values;
};

class Knobs : public EditorTest {
protected:
    Knob* addKnob(Rect bounds = {20, 20, 64, 64}) {
        auto* knob = new Knob(bounds, &log, 4, nullptr, nullptr, {});
        frame().addView(knob);
        return knob;
    }
    // Presses at `where` (window pixels) and plays the states after it.
    void drag(Point where, const std::vector<RasterPlatform::InputState>& after) {
        std::vector<RasterPlatform::InputState> states = after;
        raster.queueInput(states);
        raster.press(window(), where);
    }
    size_t edits(bool begins) { return controller.gestureCount(begins); }

    ValueLog log;
};

}  // namespace

TEST_F(Knobs, AnglesMapToValuesWithTheDeadZoneSnapping) {
    Knob knob({0, 0, 44, 44}, &log, 0, nullptr, nullptr, {});
    Point top{22, 2};
    EXPECT_NEAR(knob.pointToValue(top), 0.5f, 1e-6);
    Point lowerLeftBeyond{5, 40};  // past 225 degrees, in the dead zone's start half
    EXPECT_EQ(knob.pointToValue(lowerLeftBeyond), 0.0f);
    Point lowerRightBeyond{39, 40};  // past -45 degrees, in the end half
    EXPECT_EQ(knob.pointToValue(lowerRightBeyond), 1.0f);
    Point left{0, 22};  // 180 degrees: a sixth of the way from 225 down to -45
    EXPECT_NEAR(knob.pointToValue(left), 45.0f / 270.0f, 1e-5);
    knob.setValue(0.5f);
    Point p;
    knob.valueToPoint(p);
    EXPECT_EQ(p.x, 22);
    EXPECT_EQ(p.y, 3);  // radius 22 minus the inset of 3, plus 0.5, truncated
    knob.setRangeAngle(4.712389f);  // counter-clockwise from 225 degrees through 0 to 135
    Point right{44, 22};
    EXPECT_NEAR(knob.pointToValue(right), 135.0f / 270.0f, 1e-5);
    EXPECT_NEAR(knob.pointToValue(top), 225.0f / 270.0f, 1e-5);
}

TEST_F(Knobs, CircularDragSetsTheClickedAngleAndBracketsTheEdit) {
    Knob* knob = addKnob();
    drag({42, 22}, {{L, screen({42, 22})}, {L, screen({42, 22})}, {0, screen({42, 22})}});
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6);  // the top centre, before any movement
    ASSERT_EQ(edits(true), 1u);
    EXPECT_EQ(controller.gestures[0].index, 4);
    EXPECT_EQ(edits(false), 1u);
    EXPECT_EQ(log.values, std::vector<float>{knob->getValue()});  // once, not per poll
}

TEST_F(Knobs, DragAcrossTheDeadZoneStaysPinned) {
    Knob* knob = addKnob();
    // In window pixels around the centre (42, 42); the bottom point lies in
    // the dead zone's half next to the end.
    const Point lowerRight{58, 58}, bottom{45, 63}, lowerLeft{26, 58};
    drag(lowerRight, {{L, screen(lowerRight)}, {L, screen(bottom)}, {L, screen(lowerLeft)}, {L, screen(lowerLeft)},
                      {0, screen(lowerLeft)}});
    EXPECT_EQ(knob->getValue(), 1.0f);
    drag(lowerLeft, {{L, screen(lowerLeft)}, {L, screen(bottom)}, {L, screen(lowerRight)}, {L, screen(lowerRight)},
                     {0, screen(lowerRight)}});
    EXPECT_EQ(knob->getValue(), 0.0f);
}

TEST_F(Knobs, LinearDragSensitivityAndFineMode) {
    editor->setKnobMode(2);
    Knob* knob = addKnob();
    const Point at{30, 30};
    drag(at, {{L, screen(at)}, {L, screen(at)}, {0, screen(at)}});
    EXPECT_EQ(knob->getValue(), 0.0f);  // a click without movement changes nothing
    drag(at, {{L, screen(at)}, {L, screen({130, 30})}, {L, screen({130, 30})}, {0, screen({130, 30})}});
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6);  // 100 pixels right
    knob->setValue(0.0f);
    drag(at, {{L | S, screen(at)}, {L | S, screen({30, -70})}, {L | S, screen({30, -70})}, {0, screen({30, -70})}});
    EXPECT_NEAR(knob->getValue(), 1.0f / 3.0f, 1e-6);  // 100 pixels up, fine from the start
    knob->setValue(0.0f);
    knob->setDirty(false);
    log.values.clear();
    drag(at, {{L, screen(at)},
              {L, screen({80, 30})},
              {L, screen({80, 30})},
              {L | S, screen({110, 30})},
              {L | S, screen({140, 30})},
              {L | S, screen({140, 30})},
              {0, screen({140, 30})}});
    ASSERT_EQ(log.values.size(), 3u);
    EXPECT_NEAR(log.values[0], 0.25f, 1e-6);        // 50 pixels at 1/200
    EXPECT_NEAR(log.values[1], 0.40f, 1e-6);        // Shift pressed: no jump (80 pixels at 1/200)
    EXPECT_NEAR(log.values[2], 0.40f + 0.1f, 1e-6);  // 30 more pixels at 1/300
    EXPECT_EQ(edits(true), edits(false));
}

TEST_F(Knobs, AltSwapsTheModes) {
    Knob* knob = addKnob();
    const Point top{42, 22};
    editor->setKnobMode(2);
    drag(top, {{L | A, screen(top)}, {L | A, screen(top)}, {0, screen(top)}});
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6);  // mode 2 with Alt: circular
    knob->setValue(0.0f);
    editor->setKnobMode(0);
    drag(top, {{L | A, screen(top)}, {L | A, screen(top)}, {0, screen(top)}});
    EXPECT_EQ(knob->getValue(), 0.0f);  // mode 0 with Alt: linear
}

TEST_F(Knobs, ControlClickResetsWithoutEditBrackets) {
    Knob* knob = addKnob();
    knob->setValue(0.9f);
    knob->setDefaultValue(0.25f);
    drag({30, 30}, {{L | C, screen({30, 30})}});
    EXPECT_EQ(knob->getValue(), 0.25f);
    EXPECT_EQ(log.values, std::vector<float>{0.25f});
    EXPECT_EQ(edits(true), 0u);
    // Control with Shift is a normal drag.
    const Point top{42, 22};
    drag(top, {{L | C | S, screen(top)}, {L | C | S, screen(top)}, {0, screen(top)}});
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6);
    EXPECT_EQ(edits(true), 1u);
    EXPECT_EQ(edits(false), 1u);
}

TEST_F(Knobs, WheelStepsAndFineWheel) {
    Knob* knob = addKnob();
    raster.setCursor(screen({30, 30}));
    Point at{30, 30};
    EXPECT_TRUE(frame().onWheel(nullptr, at, 2.0f));
    EXPECT_NEAR(knob->getValue(), 0.2f, 1e-6);
    raster.setMouseButtons(S);
    EXPECT_TRUE(frame().onWheel(nullptr, at, 1.0f));
    EXPECT_NEAR(knob->getValue(), 0.21f, 1e-6);
    raster.setMouseButtons(0);
    EXPECT_TRUE(frame().onWheel(nullptr, at, 50.0f));
    EXPECT_EQ(knob->getValue(), 1.0f);  // clamped
    knob->setMouseEnabled(false);
    EXPECT_FALSE(knob->onWheel(nullptr, at, 1.0f));
}

TEST_F(Knobs, StripFramesAreTruncated) {
    Bitmap* strip = new Bitmap(raster, kKnobStripImage);
    auto* knob = new StripKnob({100, 10, 104, 12}, &log, 1, 37, 2, strip, {21, 21});
    strip->release();
    frame().addView(knob);
    auto frameShown = [&](float value) {
        knob->setValue(value);
        raster.paintNow(window());
        return raster.pixels(window()).pixel(101, 10).red / 6;
    };
    EXPECT_EQ(frameShown(0.0f), 0);
    EXPECT_EQ(frameShown(0.5f), 18);
    EXPECT_EQ(frameShown(0.99f), 35);
    EXPECT_EQ(frameShown(1.0f), 36);
}

TEST_F(Knobs, KnobWithoutBackgroundDrawsItsHandle) {
    Knob* knob = addKnob({20, 20, 64, 64});
    knob->setHandleColor(kRed);
    knob->setHandleShadowColor(kBlue);
    knob->setValue(0.5f);
    raster.paintNow(window());
    const RasterImage& shown = raster.pixels(window());
    // From the top (22, 3 inside the knob) towards the centre, the shadow one
    // pixel left and down.
    for (int y = 22; y < 41; ++y) {
        EXPECT_EQ(shown.pixel(42, y), kRed) << y;
        EXPECT_EQ(shown.pixel(41, y + 1), kBlue) << y;
    }
}
