// A parameter setting typed on a command line: NAME=VALUE in the units the
// parameter displays (distortion=80, speedkey=CTRL64, speed-toggle=fast), or
// NAME=X as a normalised value, checked against the effect's parameter table.
#pragma once

#include <string>

struct ParameterSetting {
    int index;
    float normalized;
};

// Parses `text` for one of the parameter table's first `count` rows. On
// failure answers false with a one-line reason in `error` (the range and
// step of the parameter, or the names it knows).
bool parseSetting(const std::string& text, bool normalized, int count, ParameterSetting& setting, std::string& error);

// The first `count` parameters' names as typed on a command line
// ("speed-toggle", ...), separated by commas.
std::string parameterNames(int count);

// A parameter's name as typed on a command line.
std::string typedParameterName(int index);
