// The raster renderer every raster-drawn backend composes: devices that are
// RGB images (window images and off-screen ones), painters, the library's
// bitmaps decoded from the embedded tables, and drawing that follows the
// pixel rules of the Windows graphics device (lines leave out their end
// point, fills leave out the right and bottom edges, colour keys match
// exactly). Each device keeps the bounding rectangle of what was drawn on
// it since it was last asked, so a backend can show just that part.
#pragma once

#include "RasterImage.h"
#include "platform/Drawing.h"
#include "platform/Images.h"

class RasterCanvas {
public:
    // A window's image, white to start with; destroyed with destroyDevice.
    platform::Device* createDevice(int width, int height, Color fill);
    void destroyDevice(platform::Device* device);
    static const RasterImage& pixelsOf(platform::Device* device);
    // The part of the device drawn on since the last call (empty when none).
    static Rect takeDamage(platform::Device* device);

    void copyDevice(platform::Device* from, platform::Device* to, Rect dest, Point source);
    platform::Painter* beginDrawing(platform::Device* device);
    void endDrawing(platform::Painter* painter);
    void setPen(platform::Painter* painter, Color color, bool dotted);
    void setFill(platform::Painter* painter, Color color);
    void setTextColor(platform::Painter* painter, Color color);
    void setFont(platform::Painter* painter, const FontSpec& font);
    void moveTo(platform::Painter* painter, Point p);
    void lineTo(platform::Painter* painter, Point p);
    void fillRect(platform::Painter* painter, Rect r);
    void drawText(platform::Painter* painter, const char* text, Rect r, bool opaque, platform::TextAlign align);

    platform::Image* loadImage(int id, int& width, int& height);
    platform::Image* loadImageSized(int id, int width, int height);
    void destroyImage(platform::Image* image);
    void drawImage(platform::Painter* painter, platform::Image* image, Rect dest, Point source);
    void drawImageKeyed(platform::Painter* painter, platform::Image* image, Rect dest, Point source, Color key);
};
