// Resource numbers of the editor's images (see resources.rc).
#pragma once

enum EditorBitmap : int {
    kBackgroundBitmap = 128,  // 246 x 277, the panel with all captions
    kSwitchBitmap = 129,      // 21 x 40, off above on
    kKnobBitmap = 130,        // 44 x 1258, 37 frames of 34: SLOW, FAST, ACCEL.
    kBalanceKnobBitmap = 131,
    kSeparationKnobBitmap = 132,
    kDistortionKnobBitmap = 133,
    kMenuBitmap = 134,        // 63 x 12
    kLedBitmap = 135,         // 14 x 28, off above on
    kCabinetBitmap = 136,     // 85 x 95
    kHornBitmap = 137,        // 34 x 1080, 72 frames of 15
    kDrumBitmap = 138,        // 37 x 1800, 72 frames of 25
    kMicMarksBitmap = 139,    // 18 x 740, 37 frames of 20
    kMicArcBitmap = 140,      // 65 x 444, 37 frames of 12
};
