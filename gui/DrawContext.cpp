#include "DrawContext.h"

#include "Frame.h"

DrawContext::DrawContext(platform::Platform& platform, Frame* frame, platform::Device* device,
                         platform::Window* window)
    : backend(platform), device(nullptr), window(window), frame(frame) {
    if (device) attach(device);
}

DrawContext::~DrawContext() {
    if (painter) backend.endDrawing(painter);
}

void DrawContext::attach(platform::Device* newDevice) {
    device = newDevice;
    painter = backend.beginDrawing(device);
    setLineColor(lineColor);
    setLineStyle(lineStyle);
    setFillColor(fillColor);
    setTextColor(textColor);
}

void DrawContext::moveTo(Point p) { backend.moveTo(painter, p); }
void DrawContext::lineTo(Point p) { backend.lineTo(painter, p); }

void DrawContext::frameRect(Rect r) {
    moveTo({r.left, r.top});
    lineTo({r.right, r.top});
    lineTo({r.right, r.bottom});
    lineTo({r.left, r.bottom});
    lineTo({r.left, r.top});
}

void DrawContext::fillRect(Rect r) {
    backend.fillRect(painter, {r.left + 1, r.top + 1, r.right, r.bottom});
}

void DrawContext::setLineColor(Color c) {
    lineColor = c;
    if (painter) backend.setPen(painter, lineColor, lineStyle == 1);
}

void DrawContext::setLineStyle(int style) {
    lineStyle = style;
    if (painter) backend.setPen(painter, lineColor, lineStyle == 1);
}

void DrawContext::setFillColor(Color c) {
    fillColor = c;
    if (painter) backend.setFill(painter, c);
}

void DrawContext::setTextColor(Color c) {
    textColor = c;
    if (painter) backend.setTextColor(painter, c);
}

void DrawContext::setFont(int id, int size, int style) {
    if (id < 0 || id >= kFontCount) id = 0;
    fontId = id;
    fontSize = size == 0 ? kFontTable[id].defaultSize : size;
    const FontSpec font{kFontTable[id].face, fontSize, id == 0 || (style & kBoldFace) != 0,
                        (style & kItalicFace) != 0, (style & kUnderlineFace) != 0, id == 7};
    backend.setFont(painter, font);
}

void DrawContext::drawText(const char* text, Rect r, bool opaque, int align) {
    platform::TextAlign mode = platform::TextAlign::Left;
    if (align == 1)
        mode = platform::TextAlign::Center;
    else if (align == 2)
        mode = platform::TextAlign::Right;
    else
        r.left += 1;
    backend.drawText(painter, text, r, opaque, mode);
}

int DrawContext::mouseButtons() {
    if (firstPoll < 0) return backend.mouseButtons();
    const int press = firstPoll;
    firstPoll = -1;
    return press;
}

Point DrawContext::getWindowOrigin() {
    if (!originKnown && window) windowOrigin = backend.windowOrigin(window);
    originKnown = true;
    return windowOrigin;
}

void DrawContext::mouseLocation(Point& p) { p = backend.cursorPosition() - getWindowOrigin(); }

WindowDrawContext::WindowDrawContext(Frame& frame)
    : DrawContext(frame.getPlatform(), &frame, frame.getPlatform().acquireWindowDevice(frame.getWindow()),
                  frame.getWindow()) {}

// The painter goes before the device it draws on.
WindowDrawContext::~WindowDrawContext() {
    backend.endDrawing(painter);
    painter = nullptr;
    backend.releaseWindowDevice(window, device);
}

OffscreenContext::OffscreenContext(const DrawContext& target, int width, int height, Color background)
    : OffscreenContext(target.getPlatform(), width, height, background, target.getFrame()) {}

OffscreenContext::OffscreenContext(platform::Platform& platform, int width, int height, Color background)
    : OffscreenContext(platform, width, height, background, nullptr) {}

OffscreenContext::OffscreenContext(platform::Platform& platform, int width, int height, Color background,
                                   Frame* frame)
    : DrawContext(platform, frame, nullptr, nullptr), height(height), width(width), background(background) {
    attach(platform.createOffscreen(frame ? frame->getWindow() : nullptr, width, height));
    setFillColor(background);
    setLineColor(background);
    fillRect({0, 0, width, height});
    frameRect({0, 0, width, height});
}

OffscreenContext::~OffscreenContext() {
    backend.endDrawing(painter);
    painter = nullptr;
    if (ownsBitmap) backend.destroyOffscreen(device);
}

void OffscreenContext::copyTo(DrawContext* destination, Rect destRect, Point sourceOffset) {
    backend.copyDevice(device, destination->getDevice(), destRect, sourceOffset);
}
