#include "CabinetView.h"

#include "DrawContext.h"
#include "EditorBitmaps.h"

namespace {

struct LayerRow {
    int bitmap;
    int frameHeight;
    int x;
    int y;
};

// Horn and drum: 72 frames a turn, 5 degrees each; the microphones: 37
// frames over the separation range.
constexpr LayerRow kLayerRows[CabinetView::kLayers] = {
    {kHornBitmap, 15, 22, 6},
    {kDrumBitmap, 25, 19, 47},
    {kMicMarksBitmap, 20, 65, 60},
    {kMicArcBitmap, 12, 12, 80},
};

}  // namespace

CabinetView::CabinetView(Rect bounds) : Control(bounds, nullptr, 0, nullptr) {
    Bitmap* picture = new Bitmap(kCabinetBitmap);
    setBackground(picture);
    picture->release();
    for (int i = 0; i < kLayers; ++i) {
        CabinetLayer& layer = layers[i];
        layer.bitmap = new Bitmap(kLayerRows[i].bitmap);
        layer.x = kLayerRows[i].x;
        layer.y = kLayerRows[i].y;
        if (layer.bitmap->isLoaded()) {
            layer.frameHeight = kLayerRows[i].frameHeight;
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
    int frame = static_cast<int>(layer.frameCount * v);
    if (frame > layer.frameCount - 1) frame = layer.frameCount - 1;
    if (frame < 0) frame = 0;
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
        OffscreenContext offscreen(context->getFrame(), width, height, kBlack);
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
