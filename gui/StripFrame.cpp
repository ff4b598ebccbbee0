#include "StripFrame.h"

int stripFrame(float value, int frameCount, int frameHeight, FrameRounding rounding) {
    if (frameCount <= 0) return 0;
    const int last = frameCount - 1;
    int frame = 0;
    switch (rounding) {
        case FrameRounding::DownByPixels:
            if (value > 0 && frameHeight > 0) frame = static_cast<int>(last * frameHeight * value) / frameHeight;
            break;
        case FrameRounding::Nearest:
            if (value > 0.0f) frame = static_cast<int>(last * value + 0.5f);
            break;
        case FrameRounding::EqualShares: frame = static_cast<int>(frameCount * value); break;
    }
    if (frame > last) frame = last;
    return frame < 0 ? 0 : frame;
}
