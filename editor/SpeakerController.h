// The effect as its editor sees it: the toolkit's controller, and the rotor
// positions of the last processed block for the turning cabinet.
#pragma once

#include "EditorController.h"
#include "SpeakerDescriptor.h"

struct RotorPositions {
    float horn;  // the fraction of one animation turn, in [0, 1)
    float drum;
};

class SpeakerController : public EditorController {
public:
    // How many of the table's parameters the effect has: the eight of the
    // speaker, or all of the extended cabinet's (which gives the editor its
    // rear panel).
    virtual int parameterCount() { return kNumSpeakerParameters; }
    // Read on the user-interface thread at each idle.
    virtual RotorPositions rotorPositions() = 0;

protected:
    ~SpeakerController() = default;
};
