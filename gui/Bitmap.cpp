#include "Bitmap.h"

#include "DrawContext.h"

Bitmap::Bitmap(int resourceId) : resourceId(resourceId) {
    handle = platform::current().loadImage(resourceId & 0xFFFF, width, height);
    if (!handle) width = height = 0;
}

Bitmap::~Bitmap() {
    if (handle) platform::current().destroyImage(handle);
}

void Bitmap::draw(DrawContext* context, Rect dest, Point sourceOffset) {
    if (handle) platform::current().drawImage(context->getPainter(), handle, dest, sourceOffset);
}

void Bitmap::drawTransparent(DrawContext* context, Rect dest, Point sourceOffset) {
    if (handle)
        platform::current().drawImageKeyed(context->getPainter(), handle, dest, sourceOffset, transparentColor);
}
