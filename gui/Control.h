// A view that holds a value and tells a listener when the user changes it.
// A control is dirty while its value differs from the value it last drew,
// so setting a value from code is enough to get it redrawn at the next idle.
#pragma once

#include "Bitmap.h"
#include "View.h"

class Control;

class ControlListener {
public:
    virtual ~ControlListener() = default;
    virtual void valueChanged(DrawContext* context, Control* control) = 0;
};

class Control : public View {
public:
    Control(Rect bounds, ControlListener* listener, int tag, Bitmap* background);
    ~Control() override;

    void draw(DrawContext* context) override = 0;
    bool isDirty() const override;
    void setDirty(bool flag) override;

    // Keeps the window painted and the host idle while a control holds the mouse.
    virtual void pumpIdle();
    virtual void setValue(float newValue);
    virtual float getValue() const;
    virtual void setMin(float newMin);
    virtual float getMin() const;
    virtual void setMax(float newMax);
    virtual float getMax() const;
    virtual void setOldValue(float value);
    virtual float getOldValue() const;
    virtual void setDefaultValue(float value);
    virtual float getDefaultValue() const;
    virtual void setTag(int newTag);
    virtual void setBackground(Bitmap* bitmap);
    virtual Bitmap* getBackground() const;
    virtual void setWheelStep(float step);
    virtual float getWheelStep() const;
    virtual void clampValue();

    int getTag() const { return tag; }

protected:
    // Draws an image over the bounds, colour-keyed when the view is transparent.
    void drawImage(DrawContext* context, Bitmap* image, Point sourceOffset);

    ControlListener* listener;
    int tag;
    float oldValue = 1.0f;
    float defaultValue = 0.5f;
    float value = 0.0f;
    float min = 0.0f;
    float max = 1.0f;
    float wheelStep = 0.1f;
    Bitmap* background;
};
