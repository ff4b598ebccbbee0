// The speaker effect as the VST 2 plug-in base describes it: the effect's
// identity and its first eight parameters, with VST 2's capability flags
// and category.
#pragma once

#include "EffectDescriptor.h"

extern const EffectDescriptor kSpeakerDescriptor;
