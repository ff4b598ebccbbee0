#include "CabinetView.h"

#include "DrawContext.h"
#include "StripFrame.h"

CabinetView::CabinetView(Rect bounds, platform::Images& images) : Control(bounds, nullptr, 0, nullptr) {
    Bitmap* picture = new Bitmap(images, kCabinetBitmap);
    setBackground(picture);
    picture->release();
    for (int i = 0; i < kLayers; ++i) {
        CabinetLayer& layer = layers[i];
        const CabinetLayerPlace& place = kCabinetLayers[i];
        layer.bitmap = new Bitmap(images, place.bitmap);
        layer.x = place.x;
        layer.y = place.y;
        if (layer.bitmap->isLoaded()) {
            layer.frameHeight = editorImage(place.bitmap).frameHeight;
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

bool CabinetView::setFrame(CabinetLayer& layer, float v) {
    const int frame = stripFrame(v, layer.frameCount, layer.frameHeight, FrameRounding::EqualShares);
    if (frame == layer.currentFrame) return false;
    layer.currentFrame = frame;
    return true;
}

void CabinetView::setRotorFrames(float hornPosition, float drumPosition) {
    if (setFrame(layers[0], hornPosition)) setDirty(true);
    if (setFrame(layers[1], drumPosition)) setDirty(true);
}

void CabinetView::setMicFrames(float separation) {
    const bool marks = setFrame(layers[2], separation);
    const bool arc = setFrame(layers[3], separation);
    if (marks || arc) setDirty(true);
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
    setDirty(false);
}
