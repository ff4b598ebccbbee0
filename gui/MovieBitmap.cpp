#include "MovieBitmap.h"

#include "StripFrame.h"

MovieBitmap::MovieBitmap(Rect bounds, ControlListener* listener, int tag, int frameCount, int frameHeight,
                         Bitmap* background, Point offset)
    : Control(bounds, listener, tag, background), offset(offset), frameCount(frameCount), frameHeight(frameHeight) {}

void MovieBitmap::draw(DrawContext* context) {
    if (value > 1.0f) value = 1.0f;
    Point source = offset;
    source.y += stripFrame(value, frameCount, frameHeight, FrameRounding::Nearest) * frameHeight;
    drawImage(context, background, source);
    setDirty(false);
}
