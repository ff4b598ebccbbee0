// Platform contract, drawing surfaces: window and off-screen devices, and
// the pen, fill, font and text state drawn with. Part of the contract
// described in Platform.h.
#pragma once

#include "Fonts.h"
#include "Geometry.h"
#include "WindowSystem.h"

namespace platform {

// The drawing state one DrawContext keeps on a device: pen, brush, font,
// text colour, and what the device had selected before. Made by
// beginDrawing, undone and freed by endDrawing.
struct Painter;

enum class TextAlign { Left, Center, Right };

class Drawing {
public:
    virtual ~Drawing() = default;

    // Devices are owned by whoever obtained them (a window's paint event,
    // acquireWindowDevice, createOffscreen).
    virtual Device* acquireWindowDevice(Window* window) = 0;
    virtual void releaseWindowDevice(Window* window, Device* device) = 0;
    // An off-screen image of width x height, compatible with the window.
    virtual Device* createOffscreen(Window* window, int width, int height) = 0;
    virtual void destroyOffscreen(Device* device) = 0;
    // Copies `dest`'s size from `from` at `source` to `to` at dest's top-left.
    virtual void copyDevice(Device* from, Device* to, Rect dest, Point source) = 0;

    // Remembers the device's selected objects and sets transparent text background.
    virtual Painter* beginDrawing(Device* device) = 0;
    // Selects the remembered objects back and frees what the painter made.
    virtual void endDrawing(Painter* painter) = 0;
    virtual void setPen(Painter* painter, Color color, bool dotted) = 0;
    virtual void setFill(Painter* painter, Color color) = 0;
    virtual void setTextColor(Painter* painter, Color color) = 0;
    virtual void setFont(Painter* painter, const FontSpec& font) = 0;
    virtual void moveTo(Painter* painter, Point p) = 0;
    // A line from the current position up to, not including, `p`.
    virtual void lineTo(Painter* painter, Point p) = 0;
    // Fills left <= x < right, top <= y < bottom with the fill colour.
    virtual void fillRect(Painter* painter, Rect r) = 0;
    // One line of text, vertically centred in `r`.
    virtual void drawText(Painter* painter, const char* text, Rect r, bool opaque, TextAlign align) = 0;
};

}  // namespace platform
