// The effect's own description: identity, counts, flags and the eight
// parameter rows that the engine and the editor read through the base.
#pragma once

#include "EffectDescriptor.h"

enum SpeakerParameter : int {
    kSpeedToggle = 0,
    kSlowSpeed,
    kFastSpeed,
    kAcceleration,
    kDistortion,
    kBalance,
    kSeparation,
    kSpeedKey,
    kNumSpeakerParameters
};

// Positions of the "speedkey" list.
enum SpeedKey : int { kKeySpace = 0, kKeyTab, kKeyCtrl1, kKeyCtrl64, kKeyCtrl66, kKeyCtrl67 };

extern const EffectDescriptor kSpeakerDescriptor;
