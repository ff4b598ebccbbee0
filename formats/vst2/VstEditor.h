// The VST 2 side of the editor: the editor interface the host dispatcher
// calls, passed on to the SpeakerEditor it owns, and the controller that
// editor speaks to, made of the effect's host calls (setParameterAutomated,
// beginEdit, endEdit, masterIdle). Constructed, it attaches itself to the
// effect, which then has a window and deletes the editor with itself. The
// editor asks the host to resize its window through the size-window call.
#pragma once

#include "AudioEffectX.h"
#include "EditorBase.h"
#include "Relaxed.h"
#include "SpeakerController.h"
#include "SpeakerEditor.h"

class VstEditor : public EditorBase, public SpeakerController, private WindowHost {
public:
    // Draws through `platform`, or the build's default backend when null.
    explicit VstEditor(AudioEffectX* effect, platform::Platform* platform = nullptr);
    ~VstEditor() override;

    int getRect(ERect** out) override;
    int open(void* parent) override;
    void close() override;
    void idle() override;
    void postUpdate() override;
    int onKeyDown(VstKeyCode& key) override;
    int onKeyUp(VstKeyCode& key) override;
    int setKnobMode(int mode) override;
    bool onWheel(float distance) override;

    float parameter(int index) override;
    void changeParameter(int index, float normalized) override;
    void beginGesture(int index) override;
    void endGesture(int index) override;
    void hostIdle() override;
    RotorPositions rotorPositions() override { return {hornPosition, drumPosition}; }

    // Written by the effect after every block (turns, 0..1).
    void setRotorPositions(float horn, float drum) {
        hornPosition = horn;
        drumPosition = drum;
    }

    SpeakerEditor& speakerEditor() { return editor; }

private:
    bool resizeWindow(int width, int height) override;
    AudioEffectX* effectX() const { return static_cast<AudioEffectX*>(effect); }

    SpeakerEditor editor;
    ERect rect;
    Relaxed<float> hornPosition{0.0f};
    Relaxed<float> drumPosition{0.0f};
};
