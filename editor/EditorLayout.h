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

// The window is the background picture.
constexpr Rect kEditorRect{0, 0, editorImage(kBackgroundBitmap).width, editorImage(kBackgroundBitmap).height()};

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
constexpr Point kKnobCentreOffset{21, 21};

constexpr Rect knobRect(const KnobPlace& p) {
    return {p.x, p.y, p.x + editorImage(p.bitmap).width, p.y + editorImage(p.bitmap).frameHeight};
}
constexpr Rect valueFieldRect(const KnobPlace& p) { return {p.x + 7, p.y + 34, p.x + 34, p.y + 46}; }

// Value field i (under knob i) has the tag kFirstValueFieldTag + i.
constexpr int kFirstValueFieldTag = 1000;
// Value fields and the menu use this font of the toolkit's table, in yellow.
constexpr int kValueFont = 6;

constexpr Rect kSwitchRect{54, 133, 75, 153};
constexpr Rect kMenuRect{151, 137, 214, 149};
constexpr Rect kCabinetRect{142, 171, 227, 266};

// The slow and the fast LED, as large as one frame of their strip.
constexpr Point kLedCorners[2] = {{27, 137}, {87, 137}};
constexpr Rect ledRect(int i) {
    return {kLedCorners[i].x, kLedCorners[i].y, kLedCorners[i].x + editorImage(kLedBitmap).width,
            kLedCorners[i].y + editorImage(kLedBitmap).frameHeight};
}

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
