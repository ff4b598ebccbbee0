// A short-lived drawing session on one device (a window's or an off-screen
// image's) with the current line, fill and text colours and font. The frame
// makes one per paint, click or idle redraw and deletes it afterwards. It
// also answers the mouse state that controls poll during a drag. It draws
// through the platform it was made with.
#pragma once

#include "Geometry.h"
#include "platform/Platform.h"

class Frame;

class DrawContext {
public:
    // `frame` and `window` may be null (an off-screen context); so may
    // `device`, for a context that gets its device later (OffscreenContext).
    DrawContext(platform::Platform& platform, Frame* frame, platform::Device* device, platform::Window* window);
    virtual ~DrawContext();
    DrawContext(const DrawContext&) = delete;
    DrawContext& operator=(const DrawContext&) = delete;

    void moveTo(Point p);
    void lineTo(Point p);
    void frameRect(Rect r);
    // Fills the inside of r without its top and left lines, so a frameRect
    // of the same rectangle completes it without overlap.
    void fillRect(Rect r);
    void setLineColor(Color c);
    void setLineStyle(int style);  // 0 solid, 1 dotted
    void setFillColor(Color c);
    void setTextColor(Color c);
    void setFont(int id, int size = 0, int style = 0);
    // align: 1 centred, 2 right, anything else left with a one-pixel inset.
    void drawText(const char* text, Rect r, bool opaque = false, int align = 1);

    // MouseButtons bits held now. The first poll of a context made for a
    // click answers the click's own state (see answerFirstPollWith), so a
    // press released before the control looks still acts.
    int mouseButtons();
    void answerFirstPollWith(int buttons) { firstPoll = buttons; }
    // The cursor relative to the window, as the window lay when the context
    // first needed to know.
    void mouseLocation(Point& p);

    platform::Platform& getPlatform() const { return backend; }
    Frame* getFrame() const { return frame; }
    // Asked of the window system once, at the first call (on X11 it costs a
    // round trip to the server, which most drawing never needs).
    Point getWindowOrigin();
    platform::Device* getDevice() const { return device; }
    platform::Painter* getPainter() const { return painter; }
    int getFontId() const { return fontId; }
    int getFontSize() const { return fontSize; }

protected:
    // Starts drawing on a device obtained after construction.
    void attach(platform::Device* newDevice);

    platform::Platform& backend;
    Point windowOrigin;
    bool originKnown = false;
    platform::Device* device;
    platform::Window* window;
    Frame* frame;
    int fontSize = 0;
    int fontId = 0;
    Color textColor = kWhite;
    int lineWidth = 1;
    Color lineColor = kWhite;
    Color fillColor = kBlack;
    int lineStyle = 0;
    int firstPoll = -1;  // -1: poll the live state
    platform::Painter* painter = nullptr;
};

// A drawing context on a frame's window for one drawing step outside a
// paint event: it acquires the window's device and releases it again.
class WindowDrawContext : public DrawContext {
public:
    explicit WindowDrawContext(Frame& frame);
    ~WindowDrawContext() override;
};

// A drawing context on an image of its own, for composing layers without
// flicker; copyTo puts the result on another context in one step.
class OffscreenContext : public DrawContext {
public:
    // An image compatible with the context it will be copied to.
    OffscreenContext(const DrawContext& target, int width, int height, Color background);
    // A free-standing image.
    OffscreenContext(platform::Platform& platform, int width, int height, Color background);
    ~OffscreenContext() override;

    void copyTo(DrawContext* destination, Rect destRect, Point sourceOffset = {});

private:
    OffscreenContext(platform::Platform& platform, int width, int height, Color background, Frame* frame);

    bool ownsBitmap = true;
    [[maybe_unused]] int height;
    [[maybe_unused]] int width;
    Color background;
};
