#include "SpeakerEditor.h"

#include <cstdio>
#include <vector>

#include "Frame.h"
#include "SpeakerDescriptor.h"
#include "ValueText.h"

namespace {

const ParameterInfo& row(int parameter) { return kSpeakerDescriptor.parameters[parameter]; }

int speedKeyPosition(EditorController& controller) {
    return static_cast<int>(row(kSpeedKey).toValue(controller.parameter(kSpeedKey)));
}

}  // namespace

// How often an open editor that follows the system looks for a new factor
// (the window moved to another monitor, the X resources changed).
constexpr uint32_t kScaleCheckMs = 500;
// The ids of the size menu's items: 0 follows the host, or the system; the
// others are the sizes in percent.
constexpr int kFollowSystemItem = 0;

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
    if (wantedRect == rect || !windowHost || windowHost->resizeWindow(wantedRect.width(), wantedRect.height())) {
        scale = wanted;
        rect = wantedRect;
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
    for (const ImageStrip& image : kEditorImages)
        bitmaps.push_back(new Bitmap(getPlatform(), scale.imageId(image.id)));
    auto bitmap = [&](int id) { return bitmaps[id - kBackgroundBitmap]; };
    window->setBackground(bitmap(kBackgroundBitmap));
    const int valueFontSize = scale.length(kFontTable[kValueFont].defaultSize);

    for (int i = 0; i < kKnobCount; ++i) {
        const KnobPlace& place = kKnobPlaces[i];
        const ImageStrip strip = scale.strip(editorImage(place.bitmap));
        knobs[i] = new StripKnob(knobRect(place, scale), this, place.parameter, strip.frames, strip.frameHeight,
                                 bitmap(place.bitmap), scale.point(kKnobCentreOffset));
        if (place.parameter == kDistortion) knobs[i]->setDefaultValue(row(kDistortion).toNormalized(50.0f));
        window->addView(knobs[i]);
        valueFields[i] =
            new TextEdit(valueFieldRect(place, scale), this, kFirstValueFieldTag + i, nullptr, nullptr, 0);
        valueFields[i]->setFontId(kValueFont);
        valueFields[i]->setFontSize(valueFontSize);
        valueFields[i]->setTextColor(kYellow);
        valueFields[i]->setTextFilter(valueTextFilter(place.parameter));
        window->addView(valueFields[i]);
    }

    speedSwitch = new OnOffButton(switchRect(scale), this, kSpeedToggle, bitmap(kSwitchBitmap));
    window->addView(speedSwitch);

    speedKeyMenu = new OptionMenu(menuRect(scale), this, kSpeedKey, bitmap(kMenuBitmap), bitmap(kMenuBitmap), 0);
    const ParameterInfo& keys = row(kSpeedKey);
    for (int k = 0; k <= static_cast<int>(keys.max); ++k) speedKeyMenu->addEntry(keys.names[k], -1);
    speedKeyMenu->setFontId(kValueFont);
    speedKeyMenu->setFontSize(valueFontSize);
    speedKeyMenu->setTextColor(kYellow);
    window->addView(speedKeyMenu);

    const ImageStrip led = scale.strip(editorImage(kLedBitmap));
    for (int i = 0; i < 2; ++i) {
        speedLeds[i] = new MovieBitmap(ledRect(i, scale), this, -1, led.frames, led.frameHeight, bitmap(kLedBitmap), {0, 0});
        window->addView(speedLeds[i]);
    }

    cabinetView = new CabinetView(cabinetRect(scale), getPlatform(), scale);
    window->addView(cabinetView);

    for (Bitmap* b : bitmaps) b->release();
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
}

void SpeakerEditor::syncControls() {
    if (!frame) return;
    const bool fast = controller->parameter(kSpeedToggle) >= 0.5f;
    speedSwitch->setValue(fast ? 1.0f : 0.0f);
    speedLeds[0]->setValue(fast ? 0.0f : 1.0f);
    speedLeds[1]->setValue(fast ? 1.0f : 0.0f);
    speedLeds[0]->setDirty(true);
    speedLeds[1]->setDirty(true);
    for (int i = 0; i < kKnobCount; ++i) {
        const int parameter = kKnobPlaces[i].parameter;
        const float value = controller->parameter(parameter);
        char text[kTextSize];
        row(parameter).formatValue(value, text, sizeof text);
        knobs[i]->setValue(value);
        valueFields[i]->setText(text);
    }
    cabinetView->setMicFrames(controller->parameter(kSeparation));
    speedKeyMenu->setCurrent(speedKeyPosition(*controller));
}

// The adapter calls this after every change, also from the audio thread
// when a MIDI controller switches the speed; so the controls are not
// touched here but at the next idle, on the user-interface thread.
void SpeakerEditor::setParameter(int index, float) {
    if (!frame || static_cast<unsigned>(index) >= kNumSpeakerParameters) return;
    controlsStale.store(true, std::memory_order_relaxed);
    postUpdate();
}

void SpeakerEditor::valueChanged(DrawContext* context, Control* control) {
    const int tag = control->getTag();
    if (tag >= kSpeedToggle && tag <= kSeparation) {
        controller->changeParameter(tag, control->getValue());
    } else if (tag == kSpeedKey) {
        const int position = static_cast<OptionMenu*>(control)->getCurrent();
        controller->changeParameter(kSpeedKey, row(kSpeedKey).toNormalized(static_cast<float>(position)));
    } else if (tag >= kFirstValueFieldTag && tag < kFirstValueFieldTag + kKnobCount) {
        char text[kTextSize];
        static_cast<TextEdit*>(control)->getText(text);
        const int parameter = kKnobPlaces[tag - kFirstValueFieldTag].parameter;
        controller->changeParameter(parameter, typedValue(parameter, text));
    }
    // Here, on the user-interface thread, the window follows at once.
    syncControls();
    if (context) control->update(context);
}

int SpeakerEditor::onKeyDown(const platform::KeyPress& key) {
    if (!frame || windowGetsItsOwnKeys()) return -1;
    const SpeedKeyRow* speedKey = speedKeyAt(speedKeyPosition(*controller));
    if (!speedKey || speedKey->hotKey == platform::kKeyNone || speedKey->hotKey != key.key) return -1;
    controller->changeParameter(kSpeedToggle, controller->parameter(kSpeedToggle) < 0.5f ? 1.0f : 0.0f);
    postUpdate();
    return 1;
}

EditorScale SpeakerEditor::wantedScale() const {
    if (chosenPercent) return nearestEditorScale(chosenPercent / 100.0);
    if (hostScale > 0) return nearestEditorScale(hostScale);
    return nearestEditorScale(getPlatform().displayScale(parentWindow));
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
    if (wanted.index == scale.index) return;
    const Rect wantedRect = editorRect(wanted);
    if (!windowHost || !windowHost->resizeWindow(wantedRect.width(), wantedRect.height())) return;
    scale = wanted;
    rect = wantedRect;
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
    if (opened) {
        const RotorPositions rotors = speaker->rotorPositions();
        cabinetView->setRotorFrames(rotors.horn, rotors.drum);
    }
}
