#include "Control.h"

#include "Frame.h"

Control::Control(Rect bounds, ControlListener* listener, int tag, Bitmap* background)
    : View(bounds), listener(listener), tag(tag), background(background) {
    if (background) background->retain();
}

Control::~Control() {
    if (background) background->release();
}

bool Control::isDirty() const { return oldValue != value || dirty; }

void Control::setDirty(bool flag) {
    dirty = flag;
    if (flag)
        oldValue = value == -1.0f ? 0.0f : -1.0f;
    else
        oldValue = value;
}

void Control::pumpIdle() {
    if (parentFrame) parentFrame->pumpIdle();
}

void Control::setValue(float newValue) { value = newValue; }
float Control::getValue() const { return value; }
void Control::setMin(float newMin) { min = newMin; }
float Control::getMin() const { return min; }
void Control::setMax(float newMax) { max = newMax; }
float Control::getMax() const { return max; }
void Control::setOldValue(float newOldValue) { oldValue = newOldValue; }
float Control::getOldValue() const { return oldValue; }
void Control::setDefaultValue(float newDefault) { defaultValue = newDefault; }
float Control::getDefaultValue() const { return defaultValue; }
void Control::setTag(int newTag) { tag = newTag; }

void Control::setBackground(Bitmap* bitmap) {
    if (background) background->release();
    background = bitmap;
    if (background) background->retain();
}

Bitmap* Control::getBackground() const { return background; }
void Control::setWheelStep(float step) { wheelStep = step; }
float Control::getWheelStep() const { return wheelStep; }

void Control::clampValue() {
    if (value > max)
        value = max;
    else if (value < min)
        value = min;
}

void Control::drawImage(DrawContext* context, Bitmap* image, Point sourceOffset) {
    if (!image) return;
    if (transparent)
        image->drawTransparent(context, bounds, sourceOffset);
    else
        image->draw(context, bounds, sourceOffset);
}
