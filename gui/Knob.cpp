#include "Knob.h"

#include <cmath>

#include "DrawContext.h"
#include "Frame.h"
#include "GuiEditor.h"
#include "StripFrame.h"

namespace {

constexpr float kTwoPi = 6.2831855f;             // added to and subtracted from angles
constexpr double kTwoPiCompare = 6.283185307179586;  // what angles are compared with
constexpr float kDefaultStart = 3.9269907f;      // 5 pi / 4
constexpr float kDefaultRange = -4.712389f;      // -3 pi / 2, clockwise

// The angle brought into 0..2 pi.
float normalized(float a) {
    if (a < 0) return a + kTwoPi;
    if (a > kTwoPiCompare) return a - kTwoPi;
    return a;
}

}  // namespace

Knob::Knob(Rect bounds, ControlListener* listener, int tag, Bitmap* background, Bitmap* handleImage, Point offset)
    : Control(bounds, listener, tag, background), offset(offset), radius((bounds.right - bounds.left) * 0.5f) {
    setHandleBitmap(handleImage);
    setStartAngle(kDefaultStart);
    setRangeAngle(kDefaultRange);
}

Knob::~Knob() {
    if (handle) handle->release();
}

void Knob::compute() {
    aCoef = (max - min) / rangeAngle;
    bCoef = min - aCoef * startAngle;
    halfDeadAngle = static_cast<float>((kTwoPiCompare - std::fabs(rangeAngle)) * 0.5);
    setDirty(true);
}

void Knob::setStartAngle(float angle) {
    startAngle = angle;
    compute();
}

float Knob::getStartAngle() const { return startAngle; }

void Knob::setRangeAngle(float angle) {
    rangeAngle = angle;
    compute();
}

float Knob::getRangeAngle() const { return rangeAngle; }
void Knob::setInset(int newInset) { inset = newInset; }

void Knob::setHandleShadowColor(Color c) {
    handleShadowColor = c;
    setDirty(true);
}

void Knob::setHandleColor(Color c) {
    handleColor = c;
    setDirty(true);
}

void Knob::setHandleBitmap(Bitmap* bitmap) {
    if (handle) handle->release();
    handle = nullptr;
    if (!bitmap) return;
    handle = bitmap;
    handle->retain();
    inset = static_cast<int>(handle->getWidth() * 0.5 + 2.5);
}

void Knob::setFineFactor(float factor) { fineFactor = factor; }
float Knob::getFineFactor() const { return fineFactor; }

// --- Drawing --------------------------------------------------------------------------

void Knob::draw(DrawContext* context) {
    drawImage(context, background, offset);
    drawHandle(context);
    setDirty(false);
}

void Knob::valueToPoint(Point& p) const {
    const double alpha = (value - bCoef) / aCoef;
    p.x = static_cast<int32_t>(radius + std::cos(alpha) * (radius - inset) + 0.5);
    p.y = static_cast<int32_t>(radius - std::sin(alpha) * (radius - inset) + 0.5);
}

void Knob::drawHandle(DrawContext* context) {
    Point p;
    valueToPoint(p);
    if (handle) {
        const int width = handle->getWidth(), height = handle->getHeight();
        const Point at{p.x + bounds.left - width / 2, p.y + bounds.top - height / 2};
        handle->drawTransparent(context, {at.x, at.y, at.x + width, at.y + height});
        return;
    }
    const Point centre{bounds.left + bounds.width() / 2 - 1, bounds.top + bounds.height() / 2};
    context->setLineColor(handleShadowColor);
    context->moveTo({p.x + bounds.left - 1, p.y + bounds.top});
    context->lineTo(centre);
    context->setLineColor(handleColor);
    context->moveTo({p.x + bounds.left, p.y + bounds.top - 1});
    context->lineTo({centre.x + 1, centre.y - 1});
}

// --- Angles ----------------------------------------------------------------------------

// A point in the dead zone snaps to the nearer end of the range.
float Knob::pointToValue(Point& p) const {
    float a = static_cast<float>(std::atan2(radius - p.y, p.x - radius));
    if (a < 0) a += kTwoPi;
    a -= startAngle;
    if (rangeAngle < 0) {
        a -= rangeAngle;  // measured from the end position
        const float t = halfDeadAngle - rangeAngle;
        if (normalized(a) > t) return max;
        if (normalized(a) > -rangeAngle) return min;
        if (a > t) return max + aCoef * (a - kTwoPi);
        if (a < -halfDeadAngle) a += kTwoPi;
        return max + aCoef * a;
    }
    const float t = rangeAngle + halfDeadAngle;
    if (normalized(a) > t) return min;
    if (normalized(a) > rangeAngle) return max;
    if (a > t) return min + aCoef * (a - kTwoPi);
    if (a < -halfDeadAngle) a += kTwoPi;
    return min + aCoef * a;
}

// --- Input --------------------------------------------------------------------------------

// Polls the buttons and the cursor until the left button is released (or
// the editor is closed while the host runs); the drag goes on when the
// cursor leaves the window.
void Knob::mouse(DrawContext* context, Point& where) {
    if (!mouseEnabled) return;
    int buttons = context->mouseButtons();
    if (!(buttons & platform::kLeftButton)) return;
    if (buttons == (platform::kLeftButton | platform::kControlKey)) {
        value = defaultValue;
        if (isDirty()) listener->valueChanged(context, this);
        return;
    }
    const float middle = (max - min) * 0.5f;
    float entryValue = value;
    float coef = (max - min) * 0.005f;
    int lastButtons = buttons;
    const int mode = parentFrame ? parentFrame->knobMode() : 0;
    const bool alt = (buttons & platform::kAltKey) != 0;
    const bool linear = (mode == 2 && !alt) || (mode != 2 && alt);
    auto range = [&](int held) { return (held & platform::kShiftKey) ? 200.0f * fineFactor : 200.0f; };
    Point firstPoint;
    float old = 0.0f;
    if (linear) {
        coef = (max - min) / range(buttons);
        firstPoint = where;
    } else {
        Point local = where - bounds.topLeft();
        old = pointToValue(local);
    }
    Point lastWhere{-1, -1};
    GuiEditor* editor = getEditor();
    if (editor) editor->getController().beginGesture(tag);
    do {
        buttons = context->mouseButtons();
        if (!(where == lastWhere)) {
            lastWhere = where;
            if (linear) {
                const int diff = (where.x - firstPoint.x) + (firstPoint.y - where.y);
                if (buttons != lastButtons) {
                    // Shift pressed or released mid-drag: new sensitivity, no jump.
                    const float newCoef = (max - min) / range(buttons);
                    entryValue += diff * (coef - newCoef);
                    coef = newCoef;
                    lastButtons = buttons;
                }
                value = entryValue + diff * coef;
                clampValue();
            } else {
                where = where - bounds.topLeft();
                value = pointToValue(where);
                // A jump across the dead zone keeps the end it came from.
                if (old - value > middle)
                    value = max;
                else if (value - old > middle)
                    value = min;
                else
                    old = value;
            }
            if (isDirty()) listener->valueChanged(context, this);
        }
        context->mouseLocation(where);
        pumpIdle();
        if (parentFrame && parentFrame->isClosing()) break;  // the host closed the editor meanwhile
    } while (buttons & platform::kLeftButton);
    if (editor) editor->getController().endGesture(tag);
}

bool Knob::onWheel(DrawContext* context, Point&, float distance) {
    if (!mouseEnabled) return false;
    float step = distance * wheelStep;
    if (context->mouseButtons() & platform::kShiftKey) step *= 0.1f;
    value += step;
    clampValue();
    if (isDirty()) listener->valueChanged(context, this);
    return true;
}

// --- Strip knob ------------------------------------------------------------------------------

StripKnob::StripKnob(Rect bounds, ControlListener* listener, int tag, int frameCount, int frameHeight,
                     Bitmap* background, Point offset)
    : Knob(bounds, listener, tag, background, nullptr, offset), frameCount(frameCount), frameHeight(frameHeight) {
    inset = 0;
}

void StripKnob::draw(DrawContext* context) {
    const int frame = stripFrame(value, frameCount, frameHeight, FrameRounding::DownByPixels);
    drawImage(context, background, {0, frame * frameHeight});
    setDirty(false);
}
