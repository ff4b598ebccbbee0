// Which frame of a vertical image strip shows a value in 0..1. The controls
// round differently on purpose, so each call names its rounding.
#pragma once

enum class FrameRounding {
    // Down along the strip's pixel length: only a value of exactly 1 shows
    // the last frame (strip knobs).
    DownByPixels,
    // To the nearest frame (movie bitmaps).
    Nearest,
    // Each frame stands for an equal share of 0..1 (animation layers).
    EqualShares,
};

// A frame index in 0..frameCount - 1; 0 for values at or below 0.
int stripFrame(float value, int frameCount, int frameHeight, FrameRounding rounding);
