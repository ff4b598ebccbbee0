#include "SpeakerEditor.h"

#include <cstdlib>

#include "EditorBitmaps.h"
#include "Frame.h"
#include "SpeakerDescriptor.h"
#include "ValueText.h"

namespace {

// The knobs in window order, each with its parameter, strip and corner;
// its value field sits below it at (x + 7, y + 34, x + 34, y + 46).
struct KnobPlace {
    int parameter;
    int bitmap;
    int x;
    int y;
};
constexpr KnobPlace kKnobPlaces[SpeakerEditor::kKnobCount] = {
    {kSlowSpeed, kKnobBitmap, 14, 72},
    {kFastSpeed, kKnobBitmap, 73, 72},
    {kDistortion, kDistortionKnobBitmap, 191, 72},
    {kAcceleration, kKnobBitmap, 132, 72},
    {kBalance, kBalanceKnobBitmap, 14, 191},
    {kSeparation, kSeparationKnobBitmap, 73, 191},
};
constexpr int kKnobFrames = 37, kKnobFrameHeight = 34;
constexpr int kValueFont = 6;

const Rect kSwitchRect{54, 133, 75, 153};
const Rect kMenuRect{151, 137, 214, 149};
const Rect kCabinetRect{142, 171, 227, 266};
constexpr int kLedX[2] = {27, 87}, kLedY = 137;

// What toggles the speed for each "speedkey" position: a virtual key in the
// host's numbering (7 space, 2 tab), or nothing (the MIDI controllers).
struct HotKeyBinding {
    int32_t character;
    unsigned char virtualKey;
};
constexpr HotKeyBinding kHotKeys[] = {{0, 7}, {0, 2}, {0, 0}, {0, 0}, {0, 0}, {0, 0}};

const ParameterInfo& row(int parameter) { return kSpeakerDescriptor.parameters[parameter]; }

int speedKeyPosition(AudioEffect* effect) {
    return static_cast<int>(row(kSpeedKey).toValue(effect->getParameter(kSpeedKey)));
}

}  // namespace

SpeakerEditor::SpeakerEditor(AudioEffect* effect) : GuiEditor(effect) {
    Bitmap* background = new Bitmap(kBackgroundBitmap);
    rect = {0, 0, static_cast<VstInt16>(background->getHeight()), static_cast<VstInt16>(background->getWidth())};
    background->release();
}

SpeakerEditor::~SpeakerEditor() { close(); }

int SpeakerEditor::open(void* parent) {
    if (opened) return 1;
    GuiEditor::open(parent);
    Bitmap* bitmaps[13];
    for (int i = 0; i < 13; ++i) bitmaps[i] = new Bitmap(kBackgroundBitmap + i);
    auto bitmap = [&](int id) { return bitmaps[id - kBackgroundBitmap]; };

    frame = new Frame({0, 0, 246, 277}, parent, this);
    frame->setBackground(bitmap(kBackgroundBitmap));

    for (int i = 0; i < kKnobCount; ++i) {
        const KnobPlace& place = kKnobPlaces[i];
        knobs[i] = new StripKnob({place.x, place.y, place.x + 44, place.y + 34}, this, place.parameter, kKnobFrames,
                                 kKnobFrameHeight, bitmap(place.bitmap), {21, 21});
        if (place.parameter == kDistortion) knobs[i]->setDefaultValue(row(kDistortion).toNormalized(50.0f));
        frame->addView(knobs[i]);
        valueFields[i] = new TextEdit({place.x + 7, place.y + 34, place.x + 34, place.y + 46}, this,
                                      kFirstValueFieldTag + i, nullptr, nullptr, 0);
        valueFields[i]->setFontId(kValueFont);
        valueFields[i]->setTextColor(kYellow);
        valueFields[i]->setTextFilter(valueTextFilter(place.parameter));
        frame->addView(valueFields[i]);
    }

    speedSwitch = new OnOffButton(kSwitchRect, this, kSpeedToggle, bitmap(kSwitchBitmap));
    frame->addView(speedSwitch);

    speedKeyMenu = new OptionMenu(kMenuRect, this, kSpeedKey, bitmap(kMenuBitmap), bitmap(kMenuBitmap), 0);
    for (int k = 0; k < 6; ++k) speedKeyMenu->addEntry(row(kSpeedKey).names[k], -1);
    speedKeyMenu->setFontId(kValueFont);
    speedKeyMenu->setTextColor(kYellow);
    frame->addView(speedKeyMenu);

    Bitmap* led = bitmap(kLedBitmap);
    for (int i = 0; i < 2; ++i) {
        speedLeds[i] = new MovieBitmap({kLedX[i], kLedY, kLedX[i] + led->getWidth(), kLedY + led->getHeight() / 2},
                                       this, -1, 2, 14, led, {0, 0});
        frame->addView(speedLeds[i]);
    }

    cabinetView = new CabinetView(kCabinetRect);
    frame->addView(cabinetView);

    for (Bitmap* b : bitmaps) b->release();
    opened = true;
    syncControls();
    return 1;
}

void SpeakerEditor::close() {
    if (!opened) return;
    delete frame;
    frame = nullptr;
    clearControls();
    hornPosition = 0.0f;
    drumPosition = 0.0f;
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
    const bool fast = effect->getParameter(kSpeedToggle) >= 0.5f;
    speedSwitch->setValue(fast ? 1.0f : 0.0f);
    speedLeds[0]->setValue(fast ? 0.0f : 1.0f);
    speedLeds[1]->setValue(fast ? 1.0f : 0.0f);
    speedLeds[0]->setDirty(true);
    speedLeds[1]->setDirty(true);
    float value = 0.0f;
    for (int i = 0; i < kKnobCount; ++i) {
        const int parameter = kKnobPlaces[i].parameter;
        value = effect->getParameter(parameter);
        char text[kTextSize];
        row(parameter).formatValue(value, text, sizeof text);
        knobs[i]->setValue(value);
        valueFields[i]->setText(text);
    }
    cabinetView->setMicFrames(value);  // the last one read: separation
    speedKeyMenu->setCurrent(speedKeyPosition(effect));
}

// The effect calls this after every change, also from the audio thread when
// a MIDI controller switches the speed; so the controls are not touched here
// but at the next idle, on the user-interface thread.
void SpeakerEditor::setParameter(int index, float) {
    if (!frame || static_cast<unsigned>(index) >= kNumSpeakerParameters) return;
    controlsStale.store(true, std::memory_order_relaxed);
    postUpdate();
}

void SpeakerEditor::valueChanged(DrawContext* context, Control* control) {
    const int tag = control->getTag();
    if (tag >= kSpeedToggle && tag <= kSeparation) {
        effect->setParameterAutomated(tag, control->getValue());
    } else if (tag == kSpeedKey) {
        const int position = speedKeyMenu->getCurrent();
        effect->setParameterAutomated(kSpeedKey, row(kSpeedKey).toNormalized(static_cast<float>(position)));
    } else if (tag >= kFirstValueFieldTag && tag < kFirstValueFieldTag + kKnobCount) {
        char text[kTextSize];
        static_cast<TextEdit*>(control)->getText(text);
        const int parameter = kKnobPlaces[tag - kFirstValueFieldTag].parameter;
        effect->setParameterAutomated(parameter, typedValue(parameter, text));
    }
    // Here, on the user-interface thread, the window follows at once.
    syncControls();
    if (context) control->update(context);
}

int SpeakerEditor::onKeyDown(VstKeyCode& key) {
    if (!frame) return -1;
    const int position = speedKeyPosition(effect);
    if (position < 0 || position >= 6) return -1;
    const HotKeyBinding& binding = kHotKeys[position];
    const bool matches = (binding.virtualKey != 0 && binding.virtualKey == key.virt) ||
                         (binding.character != 0 && binding.character == key.character && key.virt == 0);
    if (!matches) return -1;
    effect->setParameterAutomated(kSpeedToggle, effect->getParameter(kSpeedToggle) < 0.5f ? 1.0f : 0.0f);
    postUpdate();
    return 1;
}

// Controls that follow a parameter change are drawn in the same idle step.
void SpeakerEditor::idle() {
    if (opened && !inIdle && controlsStale.exchange(false, std::memory_order_relaxed)) syncControls();
    GuiEditor::idle();
    if (opened) cabinetView->setRotorFrames(hornPosition, drumPosition);
}
