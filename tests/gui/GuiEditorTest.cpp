// The editor base: attaching to its effect, the host's editor calls, idle,
// and the idle pump that runs while a control holds the mouse.
#include "GuiEditor.h"
#include "RasterFixture.h"
#include "RecordingHost.h"

namespace {

class PlainEffect : public AudioEffectX {
public:
    explicit PlainEffect(audioMasterCallback host) : AudioEffectX(host, 1, 1) {}
    void process(float**, float**, VstInt32) override {}
};

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

TEST_F(Editors, AttachesItselfToTheEffect) {
    PlainEffect effect(nullptr);
    EXPECT_EQ(effect.getAeffect()->flags & effFlagsHasEditor, 0);
    auto* editor = new ProbeEditor(&effect, &raster);  // the effect deletes it
    EXPECT_EQ(effect.getEditorBase(), editor);
    EXPECT_EQ(effect.getAeffect()->flags & effFlagsHasEditor, effFlagsHasEditor);
    ERect* rect = nullptr;
    EXPECT_EQ(effect.dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 1);
    EXPECT_NE(rect, nullptr);
    EXPECT_EQ(effect.dispatcher(effSetEditKnobMode, 0, 2, nullptr, 0.0f), 1);
    EXPECT_EQ(GuiEditor::knobMode(), 2);
    EXPECT_EQ(effect.dispatcher(effEditKeyDown, ' ', 0, nullptr, 0.0f), -1);
    EXPECT_EQ(effect.dispatcher(effEditOpen, 0, 0, parent(), 0.0f), 1);
    EXPECT_EQ(raster.windowCount(), 1);
    EXPECT_EQ(effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(editor->updates, 1);  // open asked for one update
    effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(raster.windowCount(), 0);
    effect.dispatcher(effSetEditKnobMode, 0, 0, nullptr, 0.0f);
}

TEST_F(Editors, ParameterChangesUpdateOnTheNextIdleOnly) {
    PlainEffect effect(nullptr);
    auto* editor = new ProbeEditor(&effect, &raster);
    editor->setParameter(0, 0.5f);
    editor->setParameter(0, 0.7f);
    EXPECT_EQ(editor->updates, 0);
    editor->idle();
    EXPECT_EQ(editor->updates, 1);
    editor->idle();
    EXPECT_EQ(editor->updates, 1);
}

TEST_F(Editors, IdlePumpRunsAboutEveryHundredMillisecondsAndLetsTheHostRun) {
    RecordingHost host;
    PlainEffect effect(RecordingHost::callback);
    raster.setTicks(1000);
    auto* editor = new ProbeEditor(&effect, &raster);  // next idle tick: 1000
    editor->open(parent());
    raster.paintNow(editor->getFrame()->getWindow());
    editor->pumpIdle();  // due: runs, next at 1100
    EXPECT_EQ(host.callsOf(audioMasterIdle).size(), 1u);
    editor->pumpIdle();  // 4 ms later, far from due: nothing
    EXPECT_EQ(raster.ticks(), 1004u);
    EXPECT_EQ(host.callsOf(audioMasterIdle).size(), 1u);
    raster.setTicks(1050);  // within 50 ms of the deadline after its sleep: runs
    editor->pumpIdle();
    EXPECT_EQ(host.callsOf(audioMasterIdle).size(), 2u);
    EXPECT_EQ(raster.ticks(), 1054u);
    int polls = 0;
    while (host.callsOf(audioMasterIdle).size() == 2u && polls < 100) {
        editor->pumpIdle();
        ++polls;
    }
    EXPECT_EQ(raster.ticks(), 1054u + 4u * polls);
    EXPECT_NEAR(raster.ticks(), 1054 + 100 - 50, 4);  // the next pass ran 50 ms before its deadline
    editor->close();
}

TEST_F(Editors, HostIdleInsideThePumpDoesNotReenterTheEditor) {
    static ProbeEditor* reentered = nullptr;
    struct Host {
        static VstIntPtr callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
            if (opcode == audioMasterIdle && reentered) {
                reentered->postUpdate();
                reentered->idle();  // the host's editor idle from inside masterIdle
            }
            return opcode == audioMasterVersion ? 2400 : 0;
        }
    };
    PlainEffect effect(Host::callback);
    auto* editor = new ProbeEditor(&effect, &raster);
    reentered = editor;
    editor->pumpIdle();  // due at once: runs, then lets the host idle
    EXPECT_EQ(editor->updates, 0);  // the nested idle did nothing
    editor->idle();
    EXPECT_EQ(editor->updates, 1);  // the posted update runs at the next idle
    reentered = nullptr;
}

TEST_F(Editors, IdlePumpKeepsItsPaceWhenTheTickCounterWraps) {
    RecordingHost host;
    PlainEffect effect(RecordingHost::callback);
    raster.setTicks(0xFFFFFFF0u);
    auto* editor = new ProbeEditor(&effect, &raster);
    editor->pumpIdle();  // due: runs, next at 0x54 past the wrap
    EXPECT_EQ(host.callsOf(audioMasterIdle).size(), 1u);
    for (int i = 0; i < 5; ++i) editor->pumpIdle();  // 20 ms on, past the wrap: not due
    EXPECT_EQ(host.callsOf(audioMasterIdle).size(), 1u);
    int polls = 0;
    while (host.callsOf(audioMasterIdle).size() == 1u && polls < 100) {
        editor->pumpIdle();
        ++polls;
    }
    EXPECT_NEAR(static_cast<int32_t>(raster.ticks() - 0xFFFFFFF0u), 100 - 50, 4);
}
