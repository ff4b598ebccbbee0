// An RGB image in memory: the drawing surface of the headless backend, for
// windows, off-screen contexts and loaded bitmaps alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Geometry.h"

class RasterImage {
public:
    RasterImage() = default;
    RasterImage(int width, int height, Color fill = kWhite);

    int width() const { return w; }
    int height() const { return h; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }

    // Colours outside the image read as black and are not written.
    Color pixel(int x, int y) const;
    void setPixel(int x, int y, Color c);
    // Blends `c` over the pixel with coverage 0..255.
    void blendPixel(int x, int y, Color c, int coverage);

    // Paints the part of `r` inside the image in `c`.
    void fill(Rect r, Color c);
    // Copies `from`'s pixels from `source` on into `dest`, row by row; what
    // lies outside either image is left out.
    void copyFrom(const RasterImage& from, Rect dest, Point source);

    // Row y's pixels as red, green, blue bytes (width * 3 of them).
    const uint8_t* row(int y) const { return rgb.data() + static_cast<size_t>(y) * w * 3; }

    // Fills `smaller` (no larger either way) with this image shrunk to its size.
    bool shrinkInto(RasterImage& smaller) const;

    // Decodes an uncompressed 24-bit BMP file; false if it is not one.
    bool decodeBmp(const unsigned char* bytes, size_t size);

private:
    int w = 0;
    int h = 0;
    std::vector<uint8_t> rgb;
};
