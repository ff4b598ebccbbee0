// The editor's layout as data: its images with their sizes and strips, and
// where each control stands with its tag and image. The editor builds its
// window from it, the artwork generator draws the images to it, and the
// build lists the image files from the table below.
#pragma once

#include "Geometry.h"
#include "SpeakerDescriptor.h"

// Resource numbers of the editor's images.
enum EditorBitmap : int {
    kBackgroundBitmap = 128,
    kSwitchBitmap,
    kKnobBitmap,  // SLOW, FAST, ACCEL.
    kBalanceKnobBitmap,
    kSeparationKnobBitmap,
    kDistortionKnobBitmap,
    kMenuBitmap,
    kLedBitmap,
    kCabinetBitmap,
    kHornBitmap,
    kDrumBitmap,
    kMicMarksBitmap,
    kMicArcBitmap,
};

// An image: a strip of `frames` frames of frameHeight, one above the other
// (a plain picture is a strip of one frame).
struct ImageStrip {
    int id;
    const char* file;  // in editor/images
    int width;
    int frameHeight;
    int frames;
    constexpr int height() const { return frameHeight * frames; }
};

// One row per image, in resource-number order (the build reads the file
// names from these rows).
constexpr ImageStrip kEditorImages[] = {
    {kBackgroundBitmap, "background.bmp", 246, 277, 1},  // the panel with all captions
    {kSwitchBitmap, "switch.bmp", 21, 20, 2},            // off above on
    {kKnobBitmap, "knob.bmp", 44, 34, 37},
    {kBalanceKnobBitmap, "knob-balance.bmp", 44, 34, 37},
    {kSeparationKnobBitmap, "knob-separation.bmp", 44, 34, 37},
    {kDistortionKnobBitmap, "knob-distortion.bmp", 44, 34, 37},
    {kMenuBitmap, "menu.bmp", 63, 12, 1},
    {kLedBitmap, "led.bmp", 14, 14, 2},  // off above on
    {kCabinetBitmap, "cabinet.bmp", 85, 95, 1},
    {kHornBitmap, "horn.bmp", 34, 15, 72},  // 5 degrees a frame
    {kDrumBitmap, "drum.bmp", 37, 25, 72},
    {kMicMarksBitmap, "mic-marks.bmp", 18, 20, 37},  // over the separation range
    {kMicArcBitmap, "mic-arc.bmp", 65, 12, 37},
};
constexpr int kEditorImageCount = sizeof(kEditorImages) / sizeof(kEditorImages[0]);

constexpr const ImageStrip& editorImage(int id) { return kEditorImages[id - kBackgroundBitmap]; }

constexpr bool imagesInResourceOrder() {
    for (int i = 0; i < kEditorImageCount; ++i)
        if (kEditorImages[i].id != kBackgroundBitmap + i) return false;
    return true;
}
static_assert(imagesInResourceOrder(), "editorImage() indexes the table by resource number");

// The window is the background picture.
// The panel's dark walnut, which also fills any part of the window beyond
// the picture where a host makes the window larger.
constexpr Color kPanelColour{38, 26, 20, 0};

constexpr Rect kEditorRect{0, 0, editorImage(kBackgroundBitmap).width, editorImage(kBackgroundBitmap).height()};

// The knobs in window order, each with its parameter (its tag), strip and
// top-left corner; its value field sits below it.
struct KnobPlace {
    int parameter;
    int bitmap;
    int x;
    int y;
};
constexpr KnobPlace kKnobPlaces[] = {
    {kSlowSpeed, kKnobBitmap, 14, 72},
    {kFastSpeed, kKnobBitmap, 73, 72},
    {kDistortion, kDistortionKnobBitmap, 191, 72},
    {kAcceleration, kKnobBitmap, 132, 72},
    {kBalance, kBalanceKnobBitmap, 14, 191},
    {kSeparation, kSeparationKnobBitmap, 73, 191},
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
