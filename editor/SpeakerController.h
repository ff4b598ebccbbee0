// The effect as its editor sees it: the toolkit's controller, and the rotor
// positions of the last processed block for the turning cabinet.
#pragma once

#include "EditorController.h"

struct RotorPositions {
    float horn;  // the fraction of one animation turn, in [0, 1)
    float drum;
};

class SpeakerController : public EditorController {
public:
    // Read on the user-interface thread at each idle.
    virtual RotorPositions rotorPositions() = 0;

protected:
    ~SpeakerController() = default;
};
