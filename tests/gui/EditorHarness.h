// An effect with a recording host and an open editor whose frame lives in
// a raster window: what controls need for ticks, idle and edit brackets.
#pragma once

#include "GuiEditor.h"
#include "RasterFixture.h"
#include "RecordingHost.h"

class HarnessEffect : public AudioEffectX {
public:
    HarnessEffect() : AudioEffectX(RecordingHost::callback, 1, 8) {}
    void process(float**, float**, VstInt32) override {}
};

class HarnessEditor : public GuiEditor {
public:
    HarnessEditor(AudioEffect* effect, void* parent, platform::Platform& platform) : GuiEditor(effect, &platform) {
        frame = new Frame({0, 0, 200, 150}, parent, this, platform);
    }
    ~HarnessEditor() override { delete frame; }
};

class EditorTest : public RasterTest {
protected:
    void SetUp() override {
        RasterTest::SetUp();
        editor = new HarnessEditor(&effect, parent(), raster);  // the effect deletes it
        raster.setWindowOrigin(window(), {300, 200});
        raster.paintNow(window());
    }
    // The editor goes before the platform it draws through.
    void TearDown() override {
        editor->setKnobMode(0);
        delete editor;
        effect.setEditor(nullptr);
        RasterTest::TearDown();
    }

    Frame& frame() { return *editor->getFrame(); }
    platform::Window* window() { return editor->getFrame()->getWindow(); }
    // A window point as the screen cursor position.
    Point screen(Point where) { return where + Point{300, 200}; }

    RecordingHost host;
    HarnessEffect effect;
    HarnessEditor* editor = nullptr;
};
