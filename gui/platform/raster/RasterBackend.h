// The base of the backends that draw with the raster renderer (the
// headless one and X11): the drawing and image concerns of the contract,
// served by the one canvas each holds; the window system, text entry, menus
// and drops are each backend's own.
#pragma once

#include "RasterCanvas.h"
#include "platform/Platform.h"

class RasterBackend : public platform::Platform {
public:
    platform::Device* createOffscreen(platform::Window*, int width, int height) override {
        return canvas.createDevice(width, height, kBlack);
    }
    void destroyOffscreen(platform::Device* device) override { canvas.destroyDevice(device); }
    void copyDevice(platform::Device* from, platform::Device* to, Rect dest, Point source) override {
        canvas.copyDevice(from, to, dest, source);
    }
    platform::Painter* beginDrawing(platform::Device* device) override { return canvas.beginDrawing(device); }
    void endDrawing(platform::Painter* painter) override { canvas.endDrawing(painter); }
    void setPen(platform::Painter* painter, Color color, bool dotted) override { canvas.setPen(painter, color, dotted); }
    void setFill(platform::Painter* painter, Color color) override { canvas.setFill(painter, color); }
    void setTextColor(platform::Painter* painter, Color color) override { canvas.setTextColor(painter, color); }
    void setFont(platform::Painter* painter, const FontSpec& font) override { canvas.setFont(painter, font); }
    void moveTo(platform::Painter* painter, Point p) override { canvas.moveTo(painter, p); }
    void lineTo(platform::Painter* painter, Point p) override { canvas.lineTo(painter, p); }
    void fillRect(platform::Painter* painter, Rect r) override { canvas.fillRect(painter, r); }
    void drawText(platform::Painter* painter, const char* text, Rect r, bool opaque,
                  platform::TextAlign align) override {
        canvas.drawText(painter, text, r, opaque, align);
    }

    platform::Image* loadImage(int id, int& width, int& height) override { return canvas.loadImage(id, width, height); }
    platform::Image* loadImageSized(int id, int width, int height) override {
        return canvas.loadImageSized(id, width, height);
    }
    void destroyImage(platform::Image* image) override { canvas.destroyImage(image); }
    void drawImage(platform::Painter* painter, platform::Image* image, Rect dest, Point source) override {
        canvas.drawImage(painter, image, dest, source);
    }
    void drawImageKeyed(platform::Painter* painter, platform::Image* image, Rect dest, Point source,
                        Color key) override {
        canvas.drawImageKeyed(painter, image, dest, source, key);
    }

    // What a device of this backend holds (an off-screen context's, say).
    static const RasterImage& pixelsOf(platform::Device* device) { return RasterCanvas::pixelsOf(device); }

protected:
    RasterCanvas canvas;
};
