// An image from the library's bitmap resources, shared by reference
// counting, drawn opaquely or with its transparent colour keyed out. Image
// strips are drawn one frame at a time through the source offset.
#pragma once

#include "Geometry.h"
#include "ReferenceCounted.h"
#include "platform/Images.h"

class DrawContext;

class Bitmap : public ReferenceCounted {
public:
    // Loads resource `resourceId` (its low 16 bits) through `images`, which
    // must be the platform of the contexts it is drawn on; a missing one
    // gives an empty 0 x 0 bitmap that draws nothing.
    Bitmap(platform::Images& images, int resourceId);
    // The same, shrunk to width x height where the resource is larger.
    Bitmap(platform::Images& images, int resourceId, int width, int height);

    void draw(DrawContext* context, Rect dest, Point sourceOffset = {});
    void drawTransparent(DrawContext* context, Rect dest, Point sourceOffset = {});

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    bool isLoaded() const { return handle != nullptr; }
    int getResourceId() const { return resourceId; }

private:
    ~Bitmap() override;

    platform::Images& images;
    int resourceId;
    int width = 0;
    int height = 0;
    Color transparentColor = kTransparentColor;
    platform::Image* handle = nullptr;
};
