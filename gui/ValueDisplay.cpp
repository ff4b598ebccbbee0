#include "ValueDisplay.h"

#include <cstdio>

#include "DrawContext.h"

ValueDisplay::ValueDisplay(Rect bounds, Bitmap* background, int style)
    : Control(bounds, nullptr, 0, background), style(style) {
    if (style & kNoDraw) setDirty(false);
}

void ValueDisplay::draw(DrawContext* context) {
    char text[kTextSize] = "";
    if (valueToText2)
        valueToText2(value, text, userData);
    else if (valueToText)
        valueToText(value, text);
    else
        std::snprintf(text, sizeof text, "%2.2f", value);
    drawText(context, text, nullptr);
}

void ValueDisplay::drawText(DrawContext* context, const char* text, Bitmap* image) {
    if (style & kNoDraw) {
        setDirty(false);
        return;
    }
    const bool threeD = (style & (k3DIn | k3DOut)) != 0;
    if (Bitmap* box = image ? image : background) {
        if (transparent)
            box->drawTransparent(context, bounds, backOffset);
        else
            box->draw(context, bounds, backOffset);
    } else if (!transparent) {
        context->setFillColor(backColor);
        context->fillRect(bounds);
        if (!threeD) {
            context->setLineColor(frameColor);
            context->frameRect(bounds);
        }
    }
    if (threeD) {
        const bool sunken = (style & k3DIn) != 0;
        context->setLineColor(sunken ? backColor : frameColor);
        context->moveTo({bounds.left, bounds.bottom});
        context->lineTo({bounds.left, bounds.top});
        context->lineTo({bounds.right + 1, bounds.top});
        context->setLineColor(sunken ? frameColor : backColor);
        context->moveTo({bounds.right, bounds.top + 1});
        context->lineTo({bounds.right, bounds.bottom});
        context->lineTo({bounds.left, bounds.bottom});
    }
    if (!(style & kNoText)) {
        context->setFont(fontId, fontSize, fontStyle);
        if (style & kShadowText) {
            context->setTextColor(shadowColor);
            const Rect shadow{bounds.left + 1, bounds.top + 1, bounds.right + 1, bounds.bottom + 1};
            context->drawText(text, shadow, !textTransparent, alignment);
        }
        context->setTextColor(textColor);
        context->drawText(text, bounds, !textTransparent, alignment);
    }
    setDirty(false);
}

void ValueDisplay::setFontSize(int pixels) {
    if (fontSize != pixels) setDirty(true);
    fontSize = pixels;
}

void ValueDisplay::setFontId(int id) {
    if (fontId != id) setDirty(true);
    fontId = id;
}

static bool sameRgb(Color a, Color b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }

void ValueDisplay::setTextColor(Color c) {
    if (!sameRgb(textColor, c)) setDirty(true);
    textColor = c;
}

void ValueDisplay::setBackColor(Color c) {
    if (!sameRgb(backColor, c)) setDirty(true);
    backColor = c;
}

void ValueDisplay::setFrameColor(Color c) {
    if (!sameRgb(frameColor, c)) setDirty(true);
    frameColor = c;
}

void ValueDisplay::setShadowColor(Color c) {
    if (!sameRgb(shadowColor, c)) setDirty(true);
    shadowColor = c;
}

void ValueDisplay::setAlignment(int newAlignment) {
    if (alignment != newAlignment) setDirty(true);
    alignment = newAlignment;
}

void ValueDisplay::setBackOffset(Point offset) { backOffset = offset; }

void ValueDisplay::setValueToText2(ValueToText2 convert, void* data) {
    valueToText2 = convert;
    userData = data;
}

void ValueDisplay::setValueToText(ValueToText convert) { valueToText = convert; }
void ValueDisplay::setTextToValue(TextToValue convert) { textToValue = convert; }

void ValueDisplay::setStyle(int newStyle) {
    if (style != newStyle) setDirty(true);
    style = newStyle;
}

void ValueDisplay::setFontStyle(int newFontStyle) {
    if (fontStyle != newFontStyle) setDirty(true);
    fontStyle = newFontStyle;
}

void ValueDisplay::setTextTransparent(bool flag) { textTransparent = flag; }
