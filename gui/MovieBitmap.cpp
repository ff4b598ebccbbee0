#include "MovieBitmap.h"

MovieBitmap::MovieBitmap(Rect bounds, ControlListener* listener, int tag, int frameCount, int frameHeight,
                         Bitmap* background, Point offset)
    : Control(bounds, listener, tag, background), offset(offset), frameCount(frameCount), frameHeight(frameHeight) {}

void MovieBitmap::draw(DrawContext* context) {
    if (value > 1.0f) value = 1.0f;
    Point source = offset;
    if (value > 0.0f) source.y += static_cast<int>((frameCount - 1) * value + 0.5f) * frameHeight;
    drawImage(context, background, source);
    setDirty(false);
}
