// One stored program: a name and one normalised value per parameter. The
// values are read on the audio thread while the host may write them from
// another, so each is a relaxed atomic.
#pragma once

#include <string>
#include <vector>

#include "EffectDescriptor.h"
#include "Relaxed.h"

struct Program {
    std::string name;
    std::vector<Relaxed<float>> values;
    const ParameterInfo* parameters = nullptr;  // the table that formats these values
};
