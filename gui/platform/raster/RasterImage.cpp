#include "RasterImage.h"

#include <algorithm>
#include <cstring>

#include "platform/ImageShrinking.h"

RasterImage::RasterImage(int width, int height, Color fill)
    : w(width > 0 ? width : 0), h(height > 0 ? height : 0), rgb(static_cast<size_t>(w) * h * 3) {
    for (size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = fill.red;
        rgb[i + 1] = fill.green;
        rgb[i + 2] = fill.blue;
    }
}

Color RasterImage::pixel(int x, int y) const {
    if (!contains(x, y)) return kBlack;
    const size_t at = (static_cast<size_t>(y) * w + x) * 3;
    return {rgb[at], rgb[at + 1], rgb[at + 2], 0};
}

void RasterImage::setPixel(int x, int y, Color c) {
    if (!contains(x, y)) return;
    const size_t at = (static_cast<size_t>(y) * w + x) * 3;
    rgb[at] = c.red;
    rgb[at + 1] = c.green;
    rgb[at + 2] = c.blue;
}

void RasterImage::fill(Rect r, Color c) {
    const int left = std::max(0, r.left), right = std::min(w, r.right);
    const int top = std::max(0, r.top), bottom = std::min(h, r.bottom);
    for (int y = top; y < bottom; ++y) {
        uint8_t* at = &rgb[(static_cast<size_t>(y) * w + left) * 3];
        for (int x = left; x < right; ++x, at += 3) {
            at[0] = c.red;
            at[1] = c.green;
            at[2] = c.blue;
        }
    }
}

void RasterImage::copyFrom(const RasterImage& from, Rect dest, Point source) {
    const int x0 = std::max({0, -source.x, -dest.left});
    const int x1 = std::min({dest.width(), from.w - source.x, w - dest.left});
    const int y0 = std::max({0, -source.y, -dest.top});
    const int y1 = std::min({dest.height(), from.h - source.y, h - dest.top});
    if (x0 >= x1) return;
    for (int y = y0; y < y1; ++y)
        std::memcpy(&rgb[(static_cast<size_t>(dest.top + y) * w + dest.left + x0) * 3],
                    &from.rgb[(static_cast<size_t>(source.y + y) * from.w + source.x + x0) * 3],
                    static_cast<size_t>(x1 - x0) * 3);
}

void RasterImage::blendPixel(int x, int y, Color c, int coverage) {
    if (!contains(x, y) || coverage <= 0) return;
    if (coverage >= 255) {
        setPixel(x, y, c);
        return;
    }
    const Color old = pixel(x, y);
    auto mixChannel = [coverage](int under, int over) {
        return static_cast<uint8_t>((under * (255 - coverage) + over * coverage + 127) / 255);
    };
    setPixel(x, y, {mixChannel(old.red, c.red), mixChannel(old.green, c.green), mixChannel(old.blue, c.blue), 0});
}

static uint32_t readLe(const unsigned char* p, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

// BITMAPFILEHEADER (14 bytes), then BITMAPINFOHEADER; rows bottom-up (or
// top-down for a negative height), blue-green-red, padded to 4 bytes.
bool RasterImage::decodeBmp(const unsigned char* bytes, size_t size) {
    if (size < 54 || bytes[0] != 'B' || bytes[1] != 'M') return false;
    const uint32_t dataOffset = readLe(bytes + 10, 4);
    const int32_t width = static_cast<int32_t>(readLe(bytes + 18, 4));
    const int32_t rawHeight = static_cast<int32_t>(readLe(bytes + 22, 4));
    const uint32_t bitsPerPixel = readLe(bytes + 28, 2);
    const uint32_t compression = readLe(bytes + 30, 4);
    if (width <= 0 || rawHeight == 0 || bitsPerPixel != 24 || compression != 0) return false;
    const bool bottomUp = rawHeight > 0;
    const int32_t height = bottomUp ? rawHeight : -rawHeight;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    if (dataOffset + stride * height > size) return false;
    *this = RasterImage(width, height);
    for (int32_t row = 0; row < height; ++row) {
        const unsigned char* line = bytes + dataOffset + stride * (bottomUp ? height - 1 - row : row);
        for (int32_t x = 0; x < width; ++x)
            setPixel(x, row, {line[x * 3 + 2], line[x * 3 + 1], line[x * 3], 0});
    }
    return true;
}

bool RasterImage::shrinkInto(RasterImage& smaller) const {
    const PixelRows from{const_cast<uint8_t*>(rgb.data()), w, h, static_cast<ptrdiff_t>(w) * 3};
    const PixelRows to{smaller.rgb.data(), smaller.w, smaller.h, static_cast<ptrdiff_t>(smaller.w) * 3};
    return shrinkImage(from, to, 3);
}
