#include "Bitmap.h"

#include "DrawContext.h"

Bitmap::Bitmap(platform::Images& images, int resourceId) : images(images), resourceId(resourceId) {
    handle = images.loadImage(resourceId & 0xFFFF, width, height);
    if (!handle) width = height = 0;
}

Bitmap::Bitmap(platform::Images& images, int resourceId, int wantedWidth, int wantedHeight)
    : images(images), resourceId(resourceId) {
    handle = images.loadImageSized(resourceId & 0xFFFF, wantedWidth, wantedHeight);
    if (handle) {
        width = wantedWidth;
        height = wantedHeight;
    }
}

Bitmap::~Bitmap() {
    if (handle) images.destroyImage(handle);
}

void Bitmap::draw(DrawContext* context, Rect dest, Point sourceOffset) {
    if (handle) images.drawImage(context->getPainter(), handle, dest, sourceOffset);
}

void Bitmap::drawTransparent(DrawContext* context, Rect dest, Point sourceOffset) {
    if (handle)
        images.drawImageKeyed(context->getPainter(), handle, dest, sourceOffset, transparentColor);
}
