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

// The sizes the editor's images are drawn at, in percent of the panel's own.
// The artwork generator draws every image at each; image set k carries the
// resource numbers of the first set plus k * kScaleIdStride.
constexpr int kEditorScales[] = {100, 125, 150, 200, 300};
constexpr int kEditorScaleCount = sizeof(kEditorScales) / sizeof(kEditorScales[0]);
constexpr int kScaleIdStride = 100;
constexpr int kSmallestPercent = kEditorScales[0], kLargestPercent = kEditorScales[kEditorScaleCount - 1];

// A size of the editor, any from the smallest drawn to the largest: every
// length and place of the layout, multiplied and rounded to whole pixels the
// same way in the editor and the generator. Its images are those of the
// smallest drawn set at least as large, shrunk where it is larger.
struct EditorScale {
    int percent = kSmallestPercent;

    // 1.25, 1.5, 2 and 3 are exact in a double, so at 100 % every product
    // is the length itself.
    constexpr double factor() const { return percent / 100.0; }
    constexpr double at(double v) const { return v * factor(); }
    constexpr int length(int v) const { return (v * percent + 50) / 100; }  // for v >= 0
    constexpr Point point(Point p) const { return {length(p.x), length(p.y)}; }
    constexpr Rect rect(Rect r) const { return {length(r.left), length(r.top), length(r.right), length(r.bottom)}; }
    constexpr int drawnSet() const {
        for (int i = 0; i < kEditorScaleCount; ++i)
            if (kEditorScales[i] >= percent) return i;
        return kEditorScaleCount - 1;
    }
    constexpr bool isDrawn() const { return kEditorScales[drawnSet()] == percent; }
    constexpr int imageId(int id) const { return id + drawnSet() * kScaleIdStride; }
    // The strip of the image at this size: the same frames, each scaled.
    constexpr ImageStrip strip(const ImageStrip& s) const {
        return {imageId(s.id), s.file, length(s.width), length(s.frameHeight), s.frames};
    }
};

// The size for `factor` (1 for 100 %) in whole percent, within the drawn range.
constexpr EditorScale editorScaleFor(double factor) {
    const double percent = factor * 100.0 + 0.5;
    if (!(percent >= kSmallestPercent)) return {kSmallestPercent};  // also for NaN
    if (percent >= kLargestPercent) return {kLargestPercent};
    return {static_cast<int>(percent)};
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

// --- The rear panel ---------------------------------------------------------------------
// The extended cabinet's controls, for the builds that have them. A small
// switch in the header turns the editor between its two panels; it shows
// "REAR" on the front and "FRONT" on the rear.
constexpr Point kFlipCorner{205, 14};
constexpr Rect flipRect(EditorScale scale = {}) { return imageRect(kFlipCorner, kFlipBitmap, scale); }
constexpr int kFlipTag = 2000;

// The controls stand on a plain plate, so one strip of each kind fits every
// place on it.
constexpr Color kRearPlateColour{34, 27, 22, 0};
constexpr Rect kRearPlate{8, 45, 238, 262};

// The rear knobs in window order, in three rows under their section names:
// the horn's and the drum's speeds, ramp times and rest angles, then the depths.
constexpr KnobPlace kRearKnobPlaces[] = {
    {kHornSlow, kRearKnobBitmap, 9, 68, "SLOW", nullptr},    {kHornFast, kRearKnobBitmap, 55, 68, "FAST", nullptr},
    {kHornUp, kRearKnobBitmap, 101, 68, "UP", nullptr},      {kHornDown, kRearKnobBitmap, 147, 68, "DOWN", nullptr},
    {kHornRest, kRearKnobBitmap, 193, 68, "REST", nullptr},  {kDrumSlow, kRearKnobBitmap, 9, 138, "SLOW", nullptr},
    {kDrumFast, kRearKnobBitmap, 55, 138, "FAST", nullptr},  {kDrumUp, kRearKnobBitmap, 101, 138, "UP", nullptr},
    {kDrumDown, kRearKnobBitmap, 147, 138, "DOWN", nullptr}, {kDrumRest, kRearKnobBitmap, 193, 138, "REST", nullptr},
    {kHornDepth, kRearKnobBitmap, 9, 208, "HORN", nullptr},  {kDrumDepth, kRearKnobBitmap, 55, 208, "DRUM", nullptr},
    {kTremolo, kRearKnobBitmap, 101, 208, "TREMOLO", nullptr},
};
constexpr int kRearKnobCount = sizeof(kRearKnobPlaces) / sizeof(kRearKnobPlaces[0]);
// Rear value field i (under rear knob i) has the tag kFirstRearFieldTag + i.
constexpr int kFirstRearFieldTag = 1100;

// Each knob's caption stands this far above it.
constexpr int kRearCaptionRise = 11;

// A section's name at the left of a rule from `left` to `right`, over a
// row of controls (or part of one).
struct SectionPlace {
    const char* name;
    int left;
    int right;
    int top;
};
constexpr SectionPlace kRearSections[] = {
    {"HORN", 9, 237, 46},
    {"DRUM", 9, 237, 116},
    {"DEPTH", 9, 145, 186},
    {"BRAKE", 151, 237, 186},
};

// The brake's switch with its lamp, and the drive mode's menu under its
// caption, at the right of the last row.
constexpr Point kBrakeSwitchCorner{158, 200};
constexpr Point kBrakeLampCorner{187, 203};
constexpr Point kDriveMenuCorner{163, 242};
constexpr Rect brakeSwitchRect(EditorScale scale = {}) { return imageRect(kBrakeSwitchCorner, kRearSwitchBitmap, scale); }
constexpr Rect brakeLampRect(EditorScale scale = {}) { return imageRect(kBrakeLampCorner, kRearLedBitmap, scale); }
constexpr Rect driveMenuRect(EditorScale scale = {}) { return imageRect(kDriveMenuCorner, kMenuBitmap, scale); }
