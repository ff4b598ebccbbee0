#include "SpeakerEditor.h"

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

SpeakerEditor::SpeakerEditor(SpeakerController* controller, platform::Platform* platform)
    : GuiEditor(controller, platform), speaker(controller) {
    Bitmap* background = new Bitmap(getPlatform(), kBackgroundBitmap);
    rect = {0, 0, background->getWidth(), background->getHeight()};
    background->release();
}

SpeakerEditor::~SpeakerEditor() { close(); }

int SpeakerEditor::open(void* parent) {
    if (opened) return 1;
    GuiEditor::open(parent);
    Frame* window = new Frame(kEditorRect, parent, this, getPlatform());
    std::vector<Bitmap*> bitmaps;
    for (const ImageStrip& image : kEditorImages) bitmaps.push_back(new Bitmap(getPlatform(), image.id));
    auto bitmap = [&](int id) { return bitmaps[id - kBackgroundBitmap]; };
    window->setBackground(bitmap(kBackgroundBitmap));
    window->setBackdrop(kPanelColour);

    for (int i = 0; i < kKnobCount; ++i) {
        const KnobPlace& place = kKnobPlaces[i];
        const ImageStrip& strip = editorImage(place.bitmap);
        knobs[i] = new StripKnob(knobRect(place), this, place.parameter, strip.frames, strip.frameHeight,
                                 bitmap(place.bitmap), kKnobCentreOffset);
        if (place.parameter == kDistortion) knobs[i]->setDefaultValue(row(kDistortion).toNormalized(50.0f));
        window->addView(knobs[i]);
        valueFields[i] = new TextEdit(valueFieldRect(place), this, kFirstValueFieldTag + i, nullptr, nullptr, 0);
        valueFields[i]->setFontId(kValueFont);
        valueFields[i]->setTextColor(kYellow);
        valueFields[i]->setTextFilter(valueTextFilter(place.parameter));
        window->addView(valueFields[i]);
    }

    speedSwitch = new OnOffButton(kSwitchRect, this, kSpeedToggle, bitmap(kSwitchBitmap));
    window->addView(speedSwitch);

    speedKeyMenu = new OptionMenu(kMenuRect, this, kSpeedKey, bitmap(kMenuBitmap), bitmap(kMenuBitmap), 0);
    const ParameterInfo& keys = row(kSpeedKey);
    for (int k = 0; k <= static_cast<int>(keys.max); ++k) speedKeyMenu->addEntry(keys.names[k], -1);
    speedKeyMenu->setFontId(kValueFont);
    speedKeyMenu->setTextColor(kYellow);
    window->addView(speedKeyMenu);

    const ImageStrip& led = editorImage(kLedBitmap);
    for (int i = 0; i < 2; ++i) {
        speedLeds[i] = new MovieBitmap(ledRect(i), this, -1, led.frames, led.frameHeight, bitmap(kLedBitmap), {0, 0});
        window->addView(speedLeds[i]);
    }

    cabinetView = new CabinetView(kCabinetRect, getPlatform());
    window->addView(cabinetView);

    for (Bitmap* b : bitmaps) b->release();
    frame = window;
    opened = true;
    syncControls();
    return 1;
}

void SpeakerEditor::close() {
    if (!opened) return;
    Frame* window = frame;
    frame = nullptr;
    window->dispose();
    clearControls();
    opened = false;
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

// Controls that follow a parameter change are drawn in the same idle step.
void SpeakerEditor::idle() {
    if (opened && !inIdle && controlsStale.exchange(false, std::memory_order_relaxed)) syncControls();
    GuiEditor::idle();
    if (opened) {
        const RotorPositions rotors = speaker->rotorPositions();
        cabinetView->setRotorFrames(rotors.horn, rotors.drum);
    }
}
