// A display showing one frame of a vertical image strip, chosen by its value
// (0 the first frame, 1 the last, rounded half up). Takes no input.
#pragma once

#include "Control.h"

class MovieBitmap : public Control {
public:
    MovieBitmap(Rect bounds, ControlListener* listener, int tag, int frameCount, int frameHeight,
                Bitmap* background, Point offset = {});
    void draw(DrawContext* context) override;

private:
    Point offset;
    int frameCount;
    int frameHeight;
};
