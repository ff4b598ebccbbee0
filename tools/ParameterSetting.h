// A parameter setting typed on a command line: NAME=VALUE in the units the
// parameter displays (distortion=80, speedkey=CTRL64, speed-toggle=fast), or
// NAME=X as a normalised value, checked against the effect's parameter table.
#pragma once

#include <string>

struct ParameterSetting {
    int index;
    float normalized;
};

// Parses `text`. On failure answers false with a one-line reason in `error`
// (the range and step of the parameter, or the names it knows).
bool parseSetting(const std::string& text, bool normalized, ParameterSetting& setting, std::string& error);

// The parameters' names as typed on a command line ("speed-toggle", ...),
// separated by commas.
std::string parameterNames();
