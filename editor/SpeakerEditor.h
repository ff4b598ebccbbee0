// The effect's window: a 246 x 277 panel with six knobs and their value
// fields, the speed switch with its two LEDs, the speed hot-key menu and the
// turning cabinet. Every control follows the effect's parameters, and every
// change the user makes goes back through the controller.
#pragma once

#include <atomic>

#include "CabinetView.h"
#include "EditorLayout.h"
#include "GuiEditor.h"
#include "Knob.h"
#include "MovieBitmap.h"
#include "OnOffButton.h"
#include "OptionMenu.h"
#include "SpeakerController.h"
#include "TextEdit.h"

class SpeakerEditor : public GuiEditor, public ControlListener {
public:
    // Draws through `platform`, or the build's default backend when null.
    explicit SpeakerEditor(SpeakerController* controller, platform::Platform* platform = nullptr);
    ~SpeakerEditor() override;

    int open(void* parent) override;
    void close() override;
    void idle() override;
    int onKeyDown(const platform::KeyPress& key) override;
    void setParameter(int index, float value) override;

    void valueChanged(DrawContext* context, Control* control) override;
    // Sets every control from the effect's parameters.
    void syncControls();

    bool isOpen() const { return opened; }
    OnOffButton* getSpeedSwitch() const { return speedSwitch; }
    StripKnob* getKnob(int i) const { return knobs[i]; }
    TextEdit* getValueField(int i) const { return valueFields[i]; }
    MovieBitmap* getSpeedLed(int i) const { return speedLeds[i]; }
    OptionMenu* getSpeedKeyMenu() const { return speedKeyMenu; }
    CabinetView* getCabinetView() const { return cabinetView; }

private:
    void clearControls();

    OnOffButton* speedSwitch = nullptr;
    StripKnob* knobs[kKnobCount] = {};
    TextEdit* valueFields[kKnobCount] = {};
    MovieBitmap* speedLeds[2] = {};
    OptionMenu* speedKeyMenu = nullptr;
    CabinetView* cabinetView = nullptr;
    bool opened = false;
    std::atomic<bool> controlsStale{false};  // a parameter changed since the last sync
    SpeakerController* speaker;
};
