// Shrinking an image: each pixel of the smaller one is the average of the
// area of the larger one it covers (partly covered pixels count by the part
// covered), channel by channel. For images drawn at a larger size shown at
// one in between; never for enlarging.
#pragma once

#include <cstddef>
#include <cstdint>

struct PixelRows {
    uint8_t* pixels;      // the first row
    int width;
    int height;
    ptrdiff_t stride;     // bytes from one row to the next
};

// `bytesPerPixel` 8-bit channels a pixel in both; `to` no larger than `from`
// either way. Answers false, writing nothing, where it would be larger.
bool shrinkImage(const PixelRows& from, const PixelRows& to, int bytesPerPixel);
