// A rotary control. The user turns it by dragging around its centre
// (circular) or in a straight line (linear, with Shift for fine steps), by
// the wheel, or resets it with a Control-click. Each drag is bracketed by
// beginEdit and endEdit to the effect, so hosts can group the automation.
//
// Angles run counter-clockwise from the positive x axis with y up, around
// the point (radius, radius) from the view's top-left. By default the knob
// starts at 225 degrees and turns 270 degrees clockwise; the lower quarter is
// a dead zone.
#pragma once

#include "Control.h"

class Knob : public Control {
public:
    Knob(Rect bounds, ControlListener* listener, int tag, Bitmap* background, Bitmap* handle, Point offset);
    ~Knob() override;

    void draw(DrawContext* context) override;
    void mouse(DrawContext* context, Point& where) override;
    bool onWheel(DrawContext* context, Point& where, float distance) override;

    virtual void drawHandle(DrawContext* context);
    virtual void setStartAngle(float angle);
    virtual float getStartAngle() const;
    virtual void setRangeAngle(float angle);
    virtual float getRangeAngle() const;
    virtual void valueToPoint(Point& p) const;
    virtual float pointToValue(Point& p) const;
    virtual void setInset(int newInset);
    virtual void setHandleShadowColor(Color c);
    virtual void setHandleColor(Color c);
    virtual void setHandleBitmap(Bitmap* bitmap);
    virtual void setFineFactor(float factor);
    virtual float getFineFactor() const;

protected:
    // aCoef, bCoef and the half dead angle from the angles and the range.
    void compute();

    Point offset;
    Color handleColor = kWhite;
    Color handleShadowColor = kGrey;
    Bitmap* handle = nullptr;
    int inset = 3;
    float startAngle = 0.0f;
    float rangeAngle = 0.0f;
    float halfDeadAngle = 0.0f;
    float aCoef = 0.0f;
    float bCoef = 0.0f;
    float radius;
    float fineFactor = 1.5f;
};

// A knob drawn as one frame of a vertical image strip.
class StripKnob : public Knob {
public:
    StripKnob(Rect bounds, ControlListener* listener, int tag, int frameCount, int frameHeight, Bitmap* background,
              Point offset);
    void draw(DrawContext* context) override;

private:
    int frameCount;
    int frameHeight;
};
