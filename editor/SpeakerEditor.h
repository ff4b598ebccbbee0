// The effect's window: a 246 x 277 panel with six knobs and their value
// fields, the speed switch with its two LEDs, the speed hot-key menu and the
// turning cabinet. Every control follows the effect's parameters, and every
// change the user makes goes back through the controller.
//
// Where the effect has the extended cabinet, a switch in the header turns it
// to a rear panel with the cabinet's controls.
//
// It is drawn at any size from 100 to 300 %: the one the user chose from the
// panel's right-click menu (kept in the settings file), else the factor the
// host gives, else the system's for the window it is embedded in. A change
// of size asks the host to resize its window; the window keeps its handle
// and its controls are made anew.
#pragma once

#include <atomic>

#include "CabinetView.h"
#include "EditorLayout.h"
#include "EditorSettings.h"
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
    void backgroundClicked(DrawContext* context, Point where, int buttons) override;

    // The factor the host's window system gives (1 for 100 %); 0 for none,
    // when the system's serves.
    bool setHostScale(double factor) override;
    void sizeGranted() override;
    // The user's choice of size in percent, remembered; 0 removes it.
    void chooseScale(int percent);
    EditorScale getScale();
    // The size at the scale the editor opens at next, or is open at.
    Rect getRect() override;

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
    // The rear panel's controls, while it is shown; the panel switch where
    // the effect has the extended cabinet.
    bool isShowingRear() const { return showingRear; }
    // Turns the editor to its rear panel (where the effect has one) or back.
    void showRear(bool rear);
    StripKnob* getRearKnob(int i) const { return rearKnobs[i]; }
    TextEdit* getRearField(int i) const { return rearFields[i]; }
    OnOffButton* getBrakeSwitch() const { return brakeSwitch; }
    MovieBitmap* getBrakeLamp() const { return brakeLamp; }
    OptionMenu* getDriveMenu() const { return driveMenu; }
    OnOffButton* getFlipSwitch() const { return flipSwitch; }

private:
    // The shown panel's controls at the editor's size, in the open frame.
    void addControls();
    template <typename BitmapOf>
    void addFrontControls(BitmapOf bitmap);
    template <typename BitmapOf>
    void addRearControls(BitmapOf bitmap);
    void addKnob(const KnobPlace& place, int fieldTag, StripKnob*& knob, TextEdit*& field, Bitmap* strip);
    OptionMenu* addMenu(Rect bounds, int parameter, Bitmap* field);
    void syncKnob(int parameter, StripKnob* knob, TextEdit* field);
    bool hasRearPanel() const;
    void rebuild();
    void clearControls();
    EditorScale wantedScale() const;
    // Looks for the size to open at when it is asked for, not before: an
    // effect makes its editor long before (or without ever) opening it.
    void settleSize();
    // Takes the wanted size where it differs and the host's window can follow.
    void applyScale();

    OnOffButton* speedSwitch = nullptr;
    StripKnob* knobs[kKnobCount] = {};
    TextEdit* valueFields[kKnobCount] = {};
    MovieBitmap* speedLeds[2] = {};
    OptionMenu* speedKeyMenu = nullptr;
    CabinetView* cabinetView = nullptr;
    StripKnob* rearKnobs[kRearKnobCount] = {};
    TextEdit* rearFields[kRearKnobCount] = {};
    OnOffButton* brakeSwitch = nullptr;
    MovieBitmap* brakeLamp = nullptr;
    OptionMenu* driveMenu = nullptr;
    OnOffButton* flipSwitch = nullptr;
    bool showingRear = false;
    bool opened = false;
    bool rebuildPending = false;
    bool sizePending = false;  // asked of a host that has not yet granted it
    EditorSettings settings{EditorSettings::userFile()};
    int chosenPercent;  // the settings' size, read at construction and each open
    double hostScale = 0.0;
    EditorScale scale;
    uint32_t nextScaleCheck = 0;  // ticks
    int refusedPercent = 0;       // the size the host refused to make room for, while open
    std::atomic<bool> controlsStale{false};  // a parameter changed since the last sync
    SpeakerController* speaker;
};
