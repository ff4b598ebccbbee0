// The editor base: the calls an adapter passes on, idle, and the idle pump
// that runs while a control holds the mouse.
#include <memory>

#include "GuiEditor.h"
#include "RasterFixture.h"
#include "RecordingController.h"

namespace {

// An editor that opens a frame and counts its updates.
class ProbeEditor : public GuiEditor {
public:
    using GuiEditor::GuiEditor;
    int open(void* parent) override {
        GuiEditor::open(parent);
        frame = new Frame({0, 0, 64, 48}, parent, this, getPlatform());
        return 1;
    }
    void close() override {
        delete frame;
        frame = nullptr;
    }
    void update() override { ++updates; }
    int updates = 0;
};

class Editors : public RasterTest {};

}  // namespace

TEST_F(Editors, AnswersTheCallsAnAdapterPassesOn) {
    RecordingController controller;
    ProbeEditor editor(&controller, &raster);
    EXPECT_EQ(editor.setKnobMode(2), 1);
    EXPECT_EQ(GuiEditor::knobMode(), 2);
    EXPECT_EQ(editor.onKeyDown({' ', platform::kKeySpace}), -1);
    EXPECT_EQ(editor.open(parent()), 1);
    EXPECT_EQ(raster.windowCount(), 1);
    editor.idle();
    EXPECT_EQ(editor.updates, 1);  // open asked for one update
    editor.close();
    EXPECT_EQ(raster.windowCount(), 0);
    editor.setKnobMode(0);
}

TEST_F(Editors, ParameterChangesUpdateOnTheNextIdleOnly) {
    RecordingController controller;
    auto editor = std::make_unique<ProbeEditor>(&controller, &raster);
    editor->setParameter(0, 0.5f);
    editor->setParameter(0, 0.7f);
    EXPECT_EQ(editor->updates, 0);
    editor->idle();
    EXPECT_EQ(editor->updates, 1);
    editor->idle();
    EXPECT_EQ(editor->updates, 1);
}

TEST_F(Editors, IdlePumpRunsAboutEveryHundredMillisecondsAndLetsTheHostRun) {
    RecordingController host;
    raster.setTicks(1000);
    auto editor = std::make_unique<ProbeEditor>(&host, &raster);  // next idle tick: 1000
    editor->open(parent());
    raster.paintNow(editor->getFrame()->getWindow());
    editor->pumpIdle();  // due: runs, next at 1100
    EXPECT_EQ(host.hostIdles, 1);
    editor->pumpIdle();  // 4 ms later, far from due: nothing
    EXPECT_EQ(raster.ticks(), 1004u);
    EXPECT_EQ(host.hostIdles, 1);
    raster.setTicks(1050);  // within 50 ms of the deadline after its sleep: runs
    editor->pumpIdle();
    EXPECT_EQ(host.hostIdles, 2);
    EXPECT_EQ(raster.ticks(), 1054u);
    int polls = 0;
    while (host.hostIdles == 2 && polls < 100) {
        editor->pumpIdle();
        ++polls;
    }
    EXPECT_EQ(raster.ticks(), 1054u + 4u * polls);
    EXPECT_NEAR(raster.ticks(), 1054 + 100 - 50, 4);  // the next pass ran 50 ms before its deadline
    editor->close();
}

TEST_F(Editors, HostIdleInsideThePumpDoesNotReenterTheEditor) {
    RecordingController host;
    auto editor = std::make_unique<ProbeEditor>(&host, &raster);
    host.onHostIdle = [&] {
        editor->postUpdate();
        editor->idle();  // the host's editor idle from inside its own idle
    };
    editor->pumpIdle();  // due at once: runs, then lets the host idle
    EXPECT_EQ(editor->updates, 0);  // the nested idle did nothing
    editor->idle();
    EXPECT_EQ(editor->updates, 1);  // the posted update runs at the next idle
}

TEST_F(Editors, IdlePumpKeepsItsPaceWhenTheTickCounterWraps) {
    RecordingController host;
    raster.setTicks(0xFFFFFFF0u);
    auto editor = std::make_unique<ProbeEditor>(&host, &raster);
    editor->pumpIdle();  // due: runs, next at 0x54 past the wrap
    EXPECT_EQ(host.hostIdles, 1);
    for (int i = 0; i < 5; ++i) editor->pumpIdle();  // 20 ms on, past the wrap: not due
    EXPECT_EQ(host.hostIdles, 1);
    int polls = 0;
    while (host.hostIdles == 1 && polls < 100) {
        editor->pumpIdle();
        ++polls;
    }
    EXPECT_NEAR(static_cast<int32_t>(raster.ticks() - 0xFFFFFFF0u), 100 - 50, 4);
}
