#include "CabinetView.h"

#include "DrawContext.h"
#include "StripFrame.h"

CabinetView::CabinetView(Rect bounds, platform::Images& images, EditorScale scale)
    : Control(bounds, nullptr, 0, nullptr) {
    const ImageStrip cabinet = scale.strip(editorImage(kCabinetBitmap));
    Bitmap* picture = new Bitmap(images, cabinet.id, cabinet.width, cabinet.height());
    setBackground(picture);
    picture->release();
    for (int i = 0; i < kLayers; ++i) {
        CabinetLayer& layer = layers[i];
        const CabinetLayerPlace& place = kCabinetLayers[i];
        const ImageStrip strip = scale.strip(editorImage(place.bitmap));
        layer.bitmap = new Bitmap(images, strip.id, strip.width, strip.height());
        layer.x = scale.length(place.x);
        layer.y = scale.length(place.y);
        if (layer.bitmap->isLoaded()) {
            layer.frameHeight = strip.frameHeight;
            layer.frameCount = layer.bitmap->getHeight() / layer.frameHeight;
        }
    }
}

CabinetView::~CabinetView() {
    for (CabinetLayer& layer : layers) {
        if (layer.bitmap) layer.bitmap->release();
        layer.bitmap = nullptr;
    }
}

void CabinetView::setFrame(int i, float v) {
    CabinetLayer& layer = layers[i];
    const int frame = stripFrame(v, layer.frameCount, layer.frameHeight, FrameRounding::EqualShares);
    if (frame == layer.currentFrame) return;
    layer.currentFrame = frame;
    changed[i] = true;
    setDirty(true);
}

void CabinetView::setRotorFrames(float hornPosition, float drumPosition) {
    setFrame(0, hornPosition);
    setFrame(1, drumPosition);
}

void CabinetView::setMicFrames(float separation) {
    setFrame(2, separation);
    setFrame(3, separation);
}

Rect CabinetView::layerRect(int i) const {
    const CabinetLayer& layer = layers[i];
    const int left = bounds.left + layer.x, top = bounds.top + layer.y;
    return {left, top, left + layer.bitmap->getWidth(), top + layer.frameHeight};
}

void CabinetView::drawLayer(DrawContext* context, int i) const {
    const CabinetLayer& layer = layers[i];
    if (layer.bitmap && layer.frameHeight > 0)
        layer.bitmap->draw(context, layerRect(i), {0, layer.currentFrame * layer.frameHeight});
}

// Opaque layers over the picture, later ones over earlier ones.
void CabinetView::draw(DrawContext* context) {
    const int width = bounds.width(), height = bounds.height();
    {
        OffscreenContext offscreen(*context, width, height, kBlack);
        if (background) background->draw(&offscreen, {0, 0, width, height});
        for (const CabinetLayer& layer : layers)
            if (layer.bitmap && layer.frameHeight > 0)
                layer.bitmap->draw(&offscreen,
                                   {layer.x, layer.y, layer.x + layer.bitmap->getWidth(), layer.y + layer.frameHeight},
                                   {0, layer.currentFrame * layer.frameHeight});
        offscreen.copyTo(context, bounds);
    }
    for (bool& layer : changed) layer = false;
    drawn = true;
    setDirty(false);
}

// Each layer is opaque and covers its rectangle, so a changed one is drawn
// straight over its old frame, followed by any later layer it overlaps.
// Anything else that made the view dirty asks for a full draw.
void CabinetView::update(DrawContext* context) {
    if (!isDirty()) return;
    bool anyChanged = false;
    for (bool layer : changed) anyChanged = anyChanged || layer;
    if (!drawn || !anyChanged) {
        draw(context);
        return;
    }
    for (int i = 0; i < kLayers; ++i) {
        if (!changed[i] || !layers[i].bitmap || layers[i].frameHeight <= 0) continue;
        drawLayer(context, i);
        const Rect r = layerRect(i);
        for (int j = i + 1; j < kLayers; ++j) {
            if (!layers[j].bitmap || layers[j].frameHeight <= 0) continue;
            const Rect above = layerRect(j);
            if (above.left < r.right && r.left < above.right && above.top < r.bottom && r.top < above.bottom)
                drawLayer(context, j);
        }
    }
    for (bool& layer : changed) layer = false;
    setDirty(false);
}
