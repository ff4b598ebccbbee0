// A recording controller and an open editor whose frame lives in a raster
// window: what controls need for ticks, idle and gestures.
#pragma once

#include "GuiEditor.h"
#include "RasterFixture.h"
#include "RecordingController.h"

class HarnessEditor : public GuiEditor {
public:
    HarnessEditor(EditorController* controller, void* parent, platform::Platform& platform)
        : GuiEditor(controller, &platform) {
        frame = new Frame({0, 0, 200, 150}, parent, this, platform);
    }
    ~HarnessEditor() override { delete frame; }
};

class EditorTest : public RasterTest {
protected:
    void SetUp() override {
        RasterTest::SetUp();
        editor = new HarnessEditor(&controller, parent(), raster);
        raster.setWindowOrigin(window(), {300, 200});
        raster.paintNow(window());
    }
    // The editor goes before the platform it draws through.
    void TearDown() override {
        editor->setKnobMode(0);
        delete editor;
        RasterTest::TearDown();
    }

    Frame& frame() { return *editor->getFrame(); }
    platform::Window* window() { return editor->getFrame()->getWindow(); }
    // A window point as the screen cursor position.
    Point screen(Point where) { return where + Point{300, 200}; }

    RecordingController controller;
    HarnessEditor* editor = nullptr;
};
