#include "SpeakerEditor.h"

#include <cstdio>
#include <vector>

#include "Frame.h"
#include "SpeakerDescriptor.h"
#include "ValueText.h"

namespace {

const ParameterInfo& row(int parameter) { return kCabinetParameters[parameter]; }

int speedKeyPosition(EditorController& controller) {
    return static_cast<int>(row(kSpeedKey).toValue(controller.parameter(kSpeedKey)));
}

// How often an open editor that follows the system looks for a new factor
// (the window moved to another monitor, the X resources changed).
constexpr uint32_t kScaleCheckMs = 500;
// The ids of the size menu's items: 0 follows the host, or the system; the
// others are the sizes in percent.
constexpr int kFollowSystemItem = 0;

}  // namespace

SpeakerEditor::SpeakerEditor(SpeakerController* controller, platform::Platform* platform)
    : GuiEditor(controller, platform), chosenPercent(settings.chosenPercent()), speaker(controller) {
    rect = editorRect(scale);
}

SpeakerEditor::~SpeakerEditor() { close(); }

int SpeakerEditor::open(void* parent) {
    if (opened) return 1;
    GuiEditor::open(parent);
    // The system's factor for this parent may differ from the screen's, and
    // another editor may have changed the user's choice: a host that cannot
    // follow keeps the size it was told.
    chosenPercent = settings.chosenPercent();
    const EditorScale wanted = wantedScale();
    const Rect wantedRect = editorRect(wanted);  // rect: the size the host was last told
    if (!(wantedRect == rect)) {
        const EditorScale before = scale;
        scale = wanted;
        rect = wantedRect;  // answered while the host is asked
        if (windowHost && !windowHost->resizeWindow(wantedRect.width(), wantedRect.height())) {
            scale = before;
            rect = editorRect(before);
            refusedPercent = wanted.percent;
        }
    }
    nextScaleCheck = getPlatform().ticks() + kScaleCheckMs;
    Frame* window = new Frame(rect, parent, this, getPlatform());
    window->setBackdrop(kPanelColour);
    frame = window;
    opened = true;
    addControls();
    syncControls();
    return 1;
}

void SpeakerEditor::addControls() {
    Frame* window = frame;
    std::vector<Bitmap*> bitmaps;
    for (const ImageStrip& image : kEditorImages) {
        const ImageStrip strip = scale.strip(image);
        bitmaps.push_back(new Bitmap(getPlatform(), strip.id, strip.width, strip.height()));
    }
    auto bitmap = [&](int id) { return bitmaps[id - kBackgroundBitmap]; };
    if (showingRear)
        addRearControls(bitmap);
    else
        addFrontControls(bitmap);
    if (hasRearPanel()) {
        flipSwitch = new OnOffButton(flipRect(scale), this, kFlipTag, bitmap(kFlipBitmap));
        flipSwitch->setValue(showingRear ? 1.0f : 0.0f);
        window->addView(flipSwitch);
    }
    for (Bitmap* b : bitmaps) b->release();
}

void SpeakerEditor::addKnob(const KnobPlace& place, int fieldTag, StripKnob*& knob, TextEdit*& field,
                            Bitmap* strip) {
    const ImageStrip layout = scale.strip(editorImage(place.bitmap));
    knob = new StripKnob(knobRect(place, scale), this, place.parameter, layout.frames, layout.frameHeight, strip,
                         scale.point(kKnobCentreOffset));
    Frame* window = frame;
    window->addView(knob);
    field = new TextEdit(valueFieldRect(place, scale), this, fieldTag, nullptr, nullptr, 0);
    field->setFontId(kValueFont);
    field->setFontSize(scale.length(kFontTable[kValueFont].defaultSize));
    field->setTextColor(kYellow);
    field->setTextFilter(valueTextFilter(place.parameter));
    window->addView(field);
}

OptionMenu* SpeakerEditor::addMenu(Rect bounds, int parameter, Bitmap* field) {
    auto* menu = new OptionMenu(bounds, this, parameter, field, field, 0);
    const ParameterInfo& choices = row(parameter);
    for (int k = 0; k <= static_cast<int>(choices.max); ++k) menu->addEntry(choices.names[k], -1);
    menu->setFontId(kValueFont);
    menu->setFontSize(scale.length(kFontTable[kValueFont].defaultSize));
    menu->setTextColor(kYellow);
    Frame* window = frame;
    window->addView(menu);
    return menu;
}

template <typename BitmapOf>
void SpeakerEditor::addFrontControls(BitmapOf bitmap) {
    Frame* window = frame;
    window->setBackground(bitmap(kBackgroundBitmap));
    for (int i = 0; i < kKnobCount; ++i) {
        const KnobPlace& place = kKnobPlaces[i];
        addKnob(place, kFirstValueFieldTag + i, knobs[i], valueFields[i], bitmap(place.bitmap));
        // The distortion knob's double click goes to 50, not to its default.
        if (place.parameter == kDistortion) knobs[i]->setDefaultValue(row(kDistortion).toNormalized(50.0f));
    }

    speedSwitch = new OnOffButton(switchRect(scale), this, kSpeedToggle, bitmap(kSwitchBitmap));
    window->addView(speedSwitch);
    speedKeyMenu = addMenu(menuRect(scale), kSpeedKey, bitmap(kMenuBitmap));

    const ImageStrip led = scale.strip(editorImage(kLedBitmap));
    for (int i = 0; i < 2; ++i) {
        speedLeds[i] = new MovieBitmap(ledRect(i, scale), this, -1, led.frames, led.frameHeight, bitmap(kLedBitmap), {0, 0});
        window->addView(speedLeds[i]);
    }

    cabinetView = new CabinetView(cabinetRect(scale), getPlatform(), scale);
    window->addView(cabinetView);
}

template <typename BitmapOf>
void SpeakerEditor::addRearControls(BitmapOf bitmap) {
    Frame* window = frame;
    window->setBackground(bitmap(kRearBitmap));
    // A rear knob's double click goes back to its parameter's default.
    for (int i = 0; i < kRearKnobCount; ++i) {
        const KnobPlace& place = kRearKnobPlaces[i];
        addKnob(place, kFirstRearFieldTag + i, rearKnobs[i], rearFields[i], bitmap(kRearKnobBitmap));
        rearKnobs[i]->setDefaultValue(row(place.parameter).defaultNormalized());
    }
    brakeSwitch = new OnOffButton(brakeSwitchRect(scale), this, kBrake, bitmap(kRearSwitchBitmap));
    window->addView(brakeSwitch);
    const ImageStrip lamp = scale.strip(editorImage(kRearLedBitmap));
    brakeLamp = new MovieBitmap(brakeLampRect(scale), this, -1, lamp.frames, lamp.frameHeight, bitmap(kRearLedBitmap),
                                {0, 0});
    window->addView(brakeLamp);
    driveMenu = addMenu(driveMenuRect(scale), kDrive, bitmap(kMenuBitmap));
}

// The window keeps its handle (hosts hold it); its controls are made anew
// at the new size. Never while a control handles a click: then at the next idle.
void SpeakerEditor::rebuild() {
    Frame* window = frame;
    if (window->isHandlingClick()) {
        rebuildPending = true;
        return;
    }
    rebuildPending = false;
    window->setFocusView(nullptr);
    window->removeAll(true);
    clearControls();
    if (!(window->getBounds() == rect)) window->setSize(rect.width(), rect.height());
    window->setDirty(true);
    addControls();
    syncControls();
}

void SpeakerEditor::close() {
    if (!opened) return;
    Frame* window = frame;
    frame = nullptr;
    window->dispose();
    clearControls();
    opened = false;
    rebuildPending = false;
    refusedPercent = 0;
}

void SpeakerEditor::clearControls() {
    speedSwitch = nullptr;
    for (int i = 0; i < kKnobCount; ++i) {
        knobs[i] = nullptr;
        valueFields[i] = nullptr;
    }
    speedLeds[0] = speedLeds[1] = nullptr;
    speedKeyMenu = nullptr;
    cabinetView = nullptr;
    for (int i = 0; i < kRearKnobCount; ++i) {
        rearKnobs[i] = nullptr;
        rearFields[i] = nullptr;
    }
    brakeSwitch = nullptr;
    brakeLamp = nullptr;
    driveMenu = nullptr;
    flipSwitch = nullptr;
}

void SpeakerEditor::showRear(bool rear) {
    if (rear == showingRear || (rear && !hasRearPanel())) return;
    showingRear = rear;
    if (opened) rebuild();
}

bool SpeakerEditor::hasRearPanel() const { return speaker->parameterCount() == kNumCabinetParameters; }

// A knob and the value field under it show the parameter's value.
void SpeakerEditor::syncKnob(int parameter, StripKnob* knob, TextEdit* field) {
    const float value = controller->parameter(parameter);
    char text[kTextSize];
    row(parameter).formatValue(value, text, sizeof text);
    knob->setValue(value);
    field->setText(text);
}

void SpeakerEditor::syncControls() {
    if (!frame) return;
    if (showingRear) {
        for (int i = 0; i < kRearKnobCount; ++i) syncKnob(kRearKnobPlaces[i].parameter, rearKnobs[i], rearFields[i]);
        const float braked = controller->parameter(kBrake) >= 0.5f ? 1.0f : 0.0f;
        brakeSwitch->setValue(braked);
        brakeLamp->setValue(braked);
        brakeLamp->setDirty(true);
        driveMenu->setCurrent(static_cast<int>(row(kDrive).toValue(controller->parameter(kDrive))));
        return;
    }
    const bool fast = controller->parameter(kSpeedToggle) >= 0.5f;
    speedSwitch->setValue(fast ? 1.0f : 0.0f);
    speedLeds[0]->setValue(fast ? 0.0f : 1.0f);
    speedLeds[1]->setValue(fast ? 1.0f : 0.0f);
    speedLeds[0]->setDirty(true);
    speedLeds[1]->setDirty(true);
    for (int i = 0; i < kKnobCount; ++i) syncKnob(kKnobPlaces[i].parameter, knobs[i], valueFields[i]);
    cabinetView->setMicFrames(controller->parameter(kSeparation));
    speedKeyMenu->setCurrent(speedKeyPosition(*controller));
}

// The adapter calls this after every change, also from the audio thread
// when a MIDI controller switches the speed; so the controls are not
// touched here but at the next idle, on the user-interface thread.
void SpeakerEditor::setParameter(int index, float) {
    if (!frame || index < 0 || index >= speaker->parameterCount()) return;
    controlsStale.store(true, std::memory_order_relaxed);
    postUpdate();
}

// Controls are tagged with their parameter (menus choose among its names),
// value fields with their knob's place, the panel switch with its own tag.
void SpeakerEditor::valueChanged(DrawContext* context, Control* control) {
    const int tag = control->getTag();
    auto typed = [&](int parameter) {
        char text[kTextSize];
        static_cast<TextEdit*>(control)->getText(text);
        controller->changeParameter(parameter, typedValue(parameter, text));
    };
    if (tag == kSpeedKey || tag == kDrive) {
        const int position = static_cast<OptionMenu*>(control)->getCurrent();
        controller->changeParameter(tag, row(tag).toNormalized(static_cast<float>(position)));
    } else if (tag >= 0 && tag < speaker->parameterCount()) {
        controller->changeParameter(tag, control->getValue());
    } else if (tag >= kFirstValueFieldTag && tag < kFirstValueFieldTag + kKnobCount) {
        typed(kKnobPlaces[tag - kFirstValueFieldTag].parameter);
    } else if (tag >= kFirstRearFieldTag && tag < kFirstRearFieldTag + kRearKnobCount) {
        typed(kRearKnobPlaces[tag - kFirstRearFieldTag].parameter);
    } else if (tag == kFlipTag) {
        showRear(control->getValue() >= 0.5f);
        return;
    }
    // Here, on the user-interface thread, the window follows at once.
    syncControls();
    if (context) control->update(context);
}

int SpeakerEditor::onKeyDown(const platform::KeyPress& key) {
    if (!frame || windowGetsItsOwnKeys() || platform::isShortcut(key.modifiers)) return -1;
    const SpeedKeyRow* speedKey = speedKeyAt(speedKeyPosition(*controller));
    if (!speedKey || speedKey->hotKey == platform::kKeyNone || speedKey->hotKey != key.key) return -1;
    controller->changeParameter(kSpeedToggle, controller->parameter(kSpeedToggle) < 0.5f ? 1.0f : 0.0f);
    postUpdate();
    return 1;
}

EditorScale SpeakerEditor::wantedScale() const {
    if (chosenPercent) return editorScaleFor(chosenPercent / 100.0);
    if (hostScale > 0) return editorScaleFor(hostScale);
    return editorScaleFor(getPlatform().displayScale(parentWindow));
}

void SpeakerEditor::settleSize() {
    scale = wantedScale();
    rect = editorRect(scale);
}

Rect SpeakerEditor::getRect() {
    if (!opened) settleSize();
    return rect;
}

EditorScale SpeakerEditor::getScale() {
    if (!opened) settleSize();
    return scale;
}

void SpeakerEditor::applyScale() {
    if (!opened) return;  // the size is looked for when asked for
    const EditorScale wanted = wantedScale();
    if (wanted.percent == scale.percent || wanted.percent == refusedPercent) return;
    // The new size is the one the host is told of, even while it asks.
    const EditorScale before = scale;
    scale = wanted;
    rect = editorRect(wanted);
    sizePending = true;
    if (!windowHost || !windowHost->resizeWindow(rect.width(), rect.height())) {
        scale = before;
        rect = editorRect(before);
        sizePending = false;
        refusedPercent = wanted.percent;  // not asked again while it stays the one wanted
        return;
    }
    if (!windowHost->grantsSizes()) sizeGranted();
}

void SpeakerEditor::sizeGranted() {
    if (!sizePending || !opened) return;
    sizePending = false;
    rebuild();
}

bool SpeakerEditor::setHostScale(double factor) {
    hostScale = factor > 0 && factor < 100 ? factor : 0.0;
    applyScale();
    return true;
}

void SpeakerEditor::chooseScale(int percent) {
    settings.choosePercent(percent);
    chosenPercent = settings.chosenPercent();
    applyScale();
}

// A right-click on the panel offers the sizes it is drawn at.
void SpeakerEditor::backgroundClicked(DrawContext*, Point where, int buttons) {
    if (!(buttons & platform::kRightButton) || !frame) return;
    platform::Platform& backend = getPlatform();
    platform::Menu* menu = backend.createMenu();
    const int chosen = chosenPercent;
    backend.appendMenuItem(menu, chosen == 0 ? platform::kMenuChecked : 0, kFollowSystemItem, "Automatic size");
    backend.appendMenuItem(menu, platform::kMenuSeparator, -1, "");
    for (int percent : kEditorScales) {
        char label[16];
        std::snprintf(label, sizeof label, "%d %%", percent);
        backend.appendMenuItem(menu, percent == chosen ? platform::kMenuChecked : 0, percent, label);
    }
    Frame* window = frame;
    const Point origin = backend.windowOrigin(window->getWindow());
    const int item = backend.trackMenu(menu, window->getWindow(), {origin.x + where.x, origin.y + where.y}, true);
    backend.destroyMenu(menu);
    if (item >= 0) chooseScale(item);
}

// Controls that follow a parameter change are drawn in the same idle step.
// An editor that follows the system looks for a new factor now and then.
void SpeakerEditor::idle() {
    if (opened && !inIdle && rebuildPending) rebuild();
    if (opened && !inIdle && controlsStale.exchange(false, std::memory_order_relaxed)) syncControls();
    if (opened && !inIdle && hostScale == 0 && static_cast<int32_t>(getPlatform().ticks() - nextScaleCheck) >= 0) {
        nextScaleCheck = getPlatform().ticks() + kScaleCheckMs;
        applyScale();
    }
    GuiEditor::idle();
    if (opened && cabinetView) {
        const RotorPositions rotors = speaker->rotorPositions();
        cabinetView->setRotorFrames(rotors.horn, rotors.drum);
    }
}
