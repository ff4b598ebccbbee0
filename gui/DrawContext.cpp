#include "DrawContext.h"

#include "Frame.h"

DrawContext::DrawContext(Frame* frame, platform::Device* device, platform::Window* window)
    : device(nullptr), window(window), frame(frame) {
    if (window) windowOrigin = platform::current().windowOrigin(window);
    if (device) attach(device);
}

DrawContext::~DrawContext() {
    if (painter) platform::current().endDrawing(painter);
}

void DrawContext::attach(platform::Device* newDevice) {
    device = newDevice;
    painter = platform::current().beginDrawing(device);
    setLineColor(lineColor);
    setLineStyle(lineStyle);
    setFillColor(fillColor);
    setTextColor(textColor);
}

void DrawContext::moveTo(Point p) { platform::current().moveTo(painter, p); }
void DrawContext::lineTo(Point p) { platform::current().lineTo(painter, p); }

void DrawContext::frameRect(Rect r) {
    moveTo({r.left, r.top});
    lineTo({r.right, r.top});
    lineTo({r.right, r.bottom});
    lineTo({r.left, r.bottom});
    lineTo({r.left, r.top});
}

void DrawContext::fillRect(Rect r) {
    platform::current().fillRect(painter, {r.left + 1, r.top + 1, r.right, r.bottom});
}

void DrawContext::setLineColor(Color c) {
    lineColor = c;
    if (painter) platform::current().setPen(painter, lineColor, lineStyle == 1);
}

void DrawContext::setLineStyle(int style) {
    lineStyle = style;
    if (painter) platform::current().setPen(painter, lineColor, lineStyle == 1);
}

void DrawContext::setFillColor(Color c) {
    fillColor = c;
    if (painter) platform::current().setFill(painter, c);
}

void DrawContext::setTextColor(Color c) {
    textColor = c;
    if (painter) platform::current().setTextColor(painter, c);
}

void DrawContext::setFont(int id, int size, int style) {
    if (id < 0 || id >= kFontCount) id = 0;
    fontId = id;
    fontSize = size == 0 ? kFontTable[id].defaultSize : size;
    const FontSpec font{kFontTable[id].face, fontSize, id == 0 || (style & kBoldFace) != 0,
                        (style & kItalicFace) != 0, (style & kUnderlineFace) != 0, id == 7};
    platform::current().setFont(painter, font);
}

void DrawContext::drawText(const char* text, Rect r, bool opaque, int align) {
    platform::TextAlign mode = platform::TextAlign::Left;
    if (align == 1)
        mode = platform::TextAlign::Center;
    else if (align == 2)
        mode = platform::TextAlign::Right;
    else
        r.left += 1;
    platform::current().drawText(painter, text, r, opaque, mode);
}

int DrawContext::mouseButtons() { return platform::current().mouseButtons(); }

void DrawContext::mouseLocation(Point& p) { p = platform::current().cursorPosition() - windowOrigin; }

OffscreenContext::OffscreenContext(Frame* frame, int width, int height, Color background)
    : DrawContext(frame, nullptr, nullptr), height(height), width(width), background(background) {
    attach(platform::current().createOffscreen(frame ? frame->getWindow() : nullptr, width, height));
    setFillColor(background);
    setLineColor(background);
    fillRect({0, 0, width, height});
    frameRect({0, 0, width, height});
}

OffscreenContext::~OffscreenContext() {
    platform::current().endDrawing(painter);
    painter = nullptr;
    if (ownsBitmap) platform::current().destroyOffscreen(device);
}

void OffscreenContext::copyTo(DrawContext* destination, Rect destRect, Point sourceOffset) {
    platform::current().copyDevice(device, destination->getDevice(), destRect, sourceOffset);
}
