#include "RasterCanvas.h"

#include <algorithm>
#include <cstdlib>

#include "RasterText.h"
#include "platform/EmbeddedImages.h"

namespace {

struct RasterDevice {
    RasterImage image;
    Rect damage;  // empty when nothing was drawn since it was taken

    // Adds the part of `r` inside the image.
    void damaged(Rect r) {
        r = {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, image.width()),
             std::min(r.bottom, image.height())};
        if (r.left >= r.right || r.top >= r.bottom) return;
        if (damage.left >= damage.right) {
            damage = r;
            return;
        }
        damage = {std::min(damage.left, r.left), std::min(damage.top, r.top), std::max(damage.right, r.right),
                  std::max(damage.bottom, r.bottom)};
    }
};

struct RasterPainter {
    RasterDevice* device = nullptr;
    Color pen = kBlack;
    bool dotted = false;
    Color fill = kWhite;  // also the background of opaque text
    Color text = kBlack;
    Point position;
    int dashPosition = 0;
    FontSpec font{kFontTable[0].face, kFontTable[0].defaultSize, true, false, false, false};
};

RasterDevice* deviceOf(platform::Device* d) { return reinterpret_cast<RasterDevice*>(d); }
platform::Device* handleOf(RasterDevice* d) { return reinterpret_cast<platform::Device*>(d); }
RasterPainter* painterOf(platform::Painter* p) { return reinterpret_cast<RasterPainter*>(p); }
RasterImage* imageOf(platform::Image* i) { return reinterpret_cast<RasterImage*>(i); }

// A dotted cosmetic pen: three pixels on, three off, restarting at each move.
constexpr int kDotLength = 3;

// Copies dest's size from `from` at `source` to `to` at dest's top-left;
// with a key, pixels of that colour leave the destination as it was.
void blit(const RasterImage& from, RasterDevice& to, Rect dest, Point source, const Color* key) {
    to.damaged(dest);
    if (!key) {
        to.image.copyFrom(from, dest, source);
        return;
    }
    for (int y = 0; y < dest.height(); ++y)
        for (int x = 0; x < dest.width(); ++x) {
            const int sx = source.x + x, sy = source.y + y;
            if (!from.contains(sx, sy)) continue;
            const Color c = from.pixel(sx, sy);
            if (c.red == key->red && c.green == key->green && c.blue == key->blue) continue;
            to.image.setPixel(dest.left + x, dest.top + y, c);
        }
}

}  // namespace

// --- Devices --------------------------------------------------------------------------

platform::Device* RasterCanvas::createDevice(int width, int height, Color fill) {
    return handleOf(new RasterDevice{RasterImage(width, height, fill), {}});
}

void RasterCanvas::destroyDevice(platform::Device* device) { delete deviceOf(device); }

const RasterImage& RasterCanvas::pixelsOf(platform::Device* device) { return deviceOf(device)->image; }

Rect RasterCanvas::takeDamage(platform::Device* device) {
    RasterDevice* d = deviceOf(device);
    const Rect damage = d->damage;
    d->damage = {};
    return damage;
}

void RasterCanvas::copyDevice(platform::Device* from, platform::Device* to, Rect dest, Point source) {
    if (from && to) blit(deviceOf(from)->image, *deviceOf(to), dest, source, nullptr);
}

// --- Drawing ------------------------------------------------------------------------------

platform::Painter* RasterCanvas::beginDrawing(platform::Device* device) {
    auto* painter = new RasterPainter;
    painter->device = deviceOf(device);
    return reinterpret_cast<platform::Painter*>(painter);
}

void RasterCanvas::endDrawing(platform::Painter* painter) { delete painterOf(painter); }

void RasterCanvas::setPen(platform::Painter* painter, Color color, bool dotted) {
    painterOf(painter)->pen = color;
    painterOf(painter)->dotted = dotted;
}

void RasterCanvas::setFill(platform::Painter* painter, Color color) { painterOf(painter)->fill = color; }
void RasterCanvas::setTextColor(platform::Painter* painter, Color color) { painterOf(painter)->text = color; }
void RasterCanvas::setFont(platform::Painter* painter, const FontSpec& font) { painterOf(painter)->font = font; }

void RasterCanvas::moveTo(platform::Painter* painter, Point p) {
    painterOf(painter)->position = p;
    painterOf(painter)->dashPosition = 0;
}

// Bresenham's line from the current position, leaving out the end point.
void RasterCanvas::lineTo(platform::Painter* handle, Point p) {
    RasterPainter* painter = painterOf(handle);
    Point at = painter->position;
    painter->device->damaged({std::min(at.x, p.x), std::min(at.y, p.y), std::max(at.x, p.x) + 1,
                              std::max(at.y, p.y) + 1});
    RasterImage& image = painter->device->image;
    const int dx = std::abs(p.x - at.x), dy = std::abs(p.y - at.y);
    const int stepX = p.x > at.x ? 1 : -1, stepY = p.y > at.y ? 1 : -1;
    int error = (dx > dy ? dx : -dy) / 2;
    while (!(at == p)) {
        const bool on = !painter->dotted || (painter->dashPosition / kDotLength) % 2 == 0;
        if (on) image.setPixel(at.x, at.y, painter->pen);
        ++painter->dashPosition;
        const int before = error;
        if (before > -dx) {
            error -= dy;
            at.x += stepX;
        }
        if (before < dy) {
            error += dx;
            at.y += stepY;
        }
    }
    painter->position = p;
}

void RasterCanvas::fillRect(platform::Painter* handle, Rect r) {
    RasterPainter* painter = painterOf(handle);
    painter->device->damaged(r);
    painter->device->image.fill(r, painter->fill);
}

void RasterCanvas::drawText(platform::Painter* handle, const char* text, Rect r, bool opaque,
                            platform::TextAlign align) {
    RasterPainter* painter = painterOf(handle);
    RasterImage& image = painter->device->image;
    painter->device->damaged(r);
    const TextMetrics metrics = RasterText::measure(painter->font, text);
    int x = r.left;
    if (align == platform::TextAlign::Center)
        x = r.left + (r.width() - metrics.width) / 2;
    else if (align == platform::TextAlign::Right)
        x = r.right - metrics.width;
    const int y = r.top + (r.height() - metrics.height) / 2;
    if (opaque)
        image.fill({std::max(x, r.left), std::max(y, r.top), std::min(x + metrics.width, r.right),
                    std::min(y + metrics.height, r.bottom)},
                   painter->fill);
    RasterText::draw(image, painter->font, text, x, y, painter->text, r);
}

// --- Images -------------------------------------------------------------------------------

platform::Image* RasterCanvas::loadImage(int id, int& width, int& height) {
    const EmbeddedImage* embedded = findEmbeddedImage(id);
    if (!embedded) return nullptr;
    auto* image = new RasterImage;
    if (!image->decodeBmp(embedded->bytes, embedded->size)) {
        delete image;
        return nullptr;
    }
    width = image->width();
    height = image->height();
    return reinterpret_cast<platform::Image*>(image);
}

platform::Image* RasterCanvas::loadImageSized(int id, int width, int height) {
    int drawnWidth = 0, drawnHeight = 0;
    platform::Image* drawn = loadImage(id, drawnWidth, drawnHeight);
    if (!drawn || (drawnWidth == width && drawnHeight == height)) return drawn;
    auto* shrunk = new RasterImage(width > 0 ? width : 0, height > 0 ? height : 0);
    const bool made = imageOf(drawn)->shrinkInto(*shrunk);
    destroyImage(drawn);
    if (made) return reinterpret_cast<platform::Image*>(shrunk);
    delete shrunk;
    return nullptr;
}

void RasterCanvas::destroyImage(platform::Image* image) { delete imageOf(image); }

void RasterCanvas::drawImage(platform::Painter* painter, platform::Image* image, Rect dest, Point source) {
    blit(*imageOf(image), *painterOf(painter)->device, dest, source, nullptr);
}

void RasterCanvas::drawImageKeyed(platform::Painter* painter, platform::Image* image, Rect dest, Point source,
                                  Color key) {
    blit(*imageOf(image), *painterOf(painter)->device, dest, source, &key);
}
