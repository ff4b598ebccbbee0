#include "Vst2Descriptor.h"

#include "SpeakerDescriptor.h"

// The effect acts on MIDI control changes, so it says it receives events.
const EffectDescriptor kSpeakerDescriptor = {
    kSpeakerIdentity.programCount,
    kNumSpeakerParameters,
    2,  // inputs
    2,  // outputs
    kSpeakerIdentity.uniqueId,
    CanMono | CanReplacing | WantsEvents | ReceivesEvents | ChannelInsert | SendEffect,
    kSpeakerIdentity.name,
    kSpeakerIdentity.vendor,
    kSpeakerIdentity.product,
    kSpeakerIdentity.version,
    kCategoryEffect,
    kCabinetParameters,
};
