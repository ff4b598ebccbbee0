// The editor's layout as data: its images (the table the build makes from
// images/images.list) and where each control stands with its tag and image. The editor builds its
// window from it and the artwork generator draws the images to it.
#pragma once

#include "EditorImages.h"
#include "Geometry.h"
#include "SpeakerDescriptor.h"

constexpr int kEditorImageCount = sizeof(kEditorImages) / sizeof(kEditorImages[0]);

// The table holds the images in resource-number order from the background's.
constexpr const ImageStrip& editorImage(int id) { return kEditorImages[id - kBackgroundBitmap]; }

// The panel's dark walnut, which also fills any part of the window beyond
// the picture where a host makes the window larger.
constexpr Color kPanelColour{38, 26, 20, 0};

// The sizes the editor is drawn at, in percent of the panel's own. The
// artwork generator draws every image at each; image set k carries the
// resource numbers of the first set plus k * kScaleIdStride.
constexpr int kEditorScales[] = {100, 125, 150, 200, 300};
constexpr int kEditorScaleCount = sizeof(kEditorScales) / sizeof(kEditorScales[0]);
constexpr int kScaleIdStride = 100;

// One of those sizes: every length and place of the layout, multiplied and
// rounded to whole pixels the same way in the editor and the generator.
struct EditorScale {
    int index = 0;  // into kEditorScales

    constexpr int percent() const { return kEditorScales[index]; }
    // A factor of 1.25, 1.5, 2 or 3 is exact in a double, so at 100 % every
    // product is the length itself.
    constexpr double factor() const { return percent() / 100.0; }
    constexpr double at(double v) const { return v * factor(); }
    constexpr int length(int v) const { return (v * percent() + 50) / 100; }  // for v >= 0
    constexpr Point point(Point p) const { return {length(p.x), length(p.y)}; }
    constexpr Rect rect(Rect r) const { return {length(r.left), length(r.top), length(r.right), length(r.bottom)}; }
    constexpr int imageId(int id) const { return id + index * kScaleIdStride; }
    // The strip of the image at this size: the same frames, each scaled.
    constexpr ImageStrip strip(const ImageStrip& s) const {
        return {imageId(s.id), s.file, length(s.width), length(s.frameHeight), s.frames};
    }
};

// The drawn size nearest to `factor` (1 for 100 %), the larger one where it is
// halfway between two.
constexpr EditorScale nearestEditorScale(double factor) {
    EditorScale best;
    for (int i = 1; i < kEditorScaleCount; ++i) {
        const double distance = factor * 100.0 - kEditorScales[i], bestDistance = factor * 100.0 - best.percent();
        if ((distance < 0 ? -distance : distance) <= (bestDistance < 0 ? -bestDistance : bestDistance)) best.index = i;
    }
    return best;
}

// Where an image of the layout stands at a size: its corner scaled, its
// size that of one frame of its scaled strip.
constexpr Rect imageRect(Point corner, int id, EditorScale scale = {}) {
    const ImageStrip strip = scale.strip(editorImage(id));
    const Point at = scale.point(corner);
    return {at.x, at.y, at.x + strip.width, at.y + strip.frameHeight};
}

// The window is the background picture.
constexpr Rect editorRect(EditorScale scale = {}) { return imageRect({0, 0}, kBackgroundBitmap, scale); }

// The knobs in window order, each with its parameter (its tag), strip,
// top-left corner and the caption the panel shows above it (a second line
// above that where it has one); its value field sits below it.
struct KnobPlace {
    int parameter;
    int bitmap;
    int x;
    int y;
    const char* caption;
    const char* captionAbove;
};
constexpr KnobPlace kKnobPlaces[] = {
    {kSlowSpeed, kKnobBitmap, 14, 72, "SLOW", nullptr},
    {kFastSpeed, kKnobBitmap, 73, 72, "FAST", nullptr},
    {kDistortion, kDistortionKnobBitmap, 191, 72, "DISTORTION", nullptr},
    {kAcceleration, kKnobBitmap, 132, 72, "ACCEL.", nullptr},
    {kBalance, kBalanceKnobBitmap, 14, 191, "BALANCE", nullptr},
    {kSeparation, kSeparationKnobBitmap, 73, 191, "SEPARATION", "STEREO MIC"},
};
constexpr int kKnobCount = sizeof(kKnobPlaces) / sizeof(kKnobPlaces[0]);
// The point of a knob's frame it turns around.
constexpr Point kKnobCentreOffset{21, 21};

constexpr Rect knobRect(const KnobPlace& p, EditorScale scale = {}) { return imageRect({p.x, p.y}, p.bitmap, scale); }
constexpr Rect valueFieldRect(const KnobPlace& p, EditorScale scale = {}) {
    return scale.rect({p.x + 7, p.y + 34, p.x + 34, p.y + 46});
}

// Value field i (under knob i) has the tag kFirstValueFieldTag + i.
constexpr int kFirstValueFieldTag = 1000;
// Value fields and the menu use this font of the toolkit's table, in yellow.
constexpr int kValueFont = 6;

constexpr Point kSwitchCorner{54, 133};
constexpr Point kMenuCorner{151, 137};
constexpr Point kCabinetCorner{142, 171};
constexpr Rect switchRect(EditorScale scale = {}) { return imageRect(kSwitchCorner, kSwitchBitmap, scale); }
constexpr Rect menuRect(EditorScale scale = {}) { return imageRect(kMenuCorner, kMenuBitmap, scale); }
constexpr Rect cabinetRect(EditorScale scale = {}) { return imageRect(kCabinetCorner, kCabinetBitmap, scale); }

// The slow and the fast LED, as large as one frame of their strip.
constexpr Point kLedCorners[2] = {{27, 137}, {87, 137}};
constexpr Rect ledRect(int i, EditorScale scale = {}) { return imageRect(kLedCorners[i], kLedBitmap, scale); }

// The cabinet's animation layers, drawn in this order over its picture,
// each at a corner inside the cabinet view.
struct CabinetLayerPlace {
    int bitmap;
    int x;
    int y;
};
constexpr CabinetLayerPlace kCabinetLayers[] = {
    {kHornBitmap, 22, 6},
    {kDrumBitmap, 19, 47},
    {kMicMarksBitmap, 65, 60},
    {kMicArcBitmap, 12, 80},
};
constexpr int kCabinetLayerCount = sizeof(kCabinetLayers) / sizeof(kCabinetLayers[0]);
