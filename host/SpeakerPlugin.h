// The effect a host instantiates: the speaker engine, tied to its editor
// where the build has one.
#pragma once

#include "SpeakerEngine.h"

class SpeakerPlugin : public SpeakerEngine {
public:
    explicit SpeakerPlugin(audioMasterCallback audioMaster);
};
