#include "ParameterSetting.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "SpeakerDescriptor.h"

namespace {

// A parameter name without case, spaces, '-' or '_': "speed-toggle" finds
// "speed toggle".
std::string simplifiedName(const std::string& name) {
    std::string out;
    for (char c : name)
        if (c != ' ' && c != '-' && c != '_') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string typedName(const char* name) {
    std::string out(name);
    for (char& c : out)
        if (c == ' ') c = '-';
    return out;
}

bool sameIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

// The whole text as a finite number, or false.
bool number(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == 0 && std::isfinite(value);
}

std::string format(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

}  // namespace

std::string parameterNames() {
    std::string names;
    for (int i = 0; i < kNumSpeakerParameters; ++i)
        names += (i ? ", " : "") + typedName(kSpeakerDescriptor.parameters[i].name);
    return names;
}

bool parseSetting(const std::string& text, bool normalized, ParameterSetting& setting, std::string& error) {
    const char* option = normalized ? "--norm" : "--set";
    const size_t equals = text.find('=');
    if (equals == std::string::npos) {
        error = std::string(option) + " wants NAME=VALUE, not '" + text + "'";
        return false;
    }
    const std::string name = text.substr(0, equals), value = text.substr(equals + 1);
    int index = 0;
    while (index < kNumSpeakerParameters && simplifiedName(kSpeakerDescriptor.parameters[index].name) != simplifiedName(name))
        ++index;
    if (index == kNumSpeakerParameters) {
        error = "no parameter '" + name + "'; the parameters are " + parameterNames();
        return false;
    }
    const ParameterInfo& row = kSpeakerDescriptor.parameters[index];
    const std::string shown = typedName(row.name);
    setting.index = index;
    double v = 0.0;

    if (normalized) {
        if (!number(value, v) || v < 0.0 || v > 1.0) {
            error = "--norm " + shown + " must be a number from 0 to 1, not '" + value + "'";
            return false;
        }
        setting.normalized = static_cast<float>(v);
        return true;
    }
    if (row.kind == List) {
        std::string names;
        for (int k = 0; k <= static_cast<int>(row.max); ++k) {
            if (sameIgnoringCase(value, row.names[k])) {
                setting.normalized = row.toNormalized(static_cast<float>(k));
                return true;
            }
            names += (k ? ", " : "") + std::string(row.names[k]);
        }
        error = shown + " must be one of " + names + ", not '" + value + "'";
        return false;
    }
    const bool stepped = row.kind == Integer;
    const std::string range = "from " + format(row.min) + " to " + format(row.max) + (stepped ? " in steps of 1" : "");
    if (!number(value, v)) {
        error = shown + " must be a number " + range + ", not '" + value + "'";
        return false;
    }
    if (v < row.min || v > row.max || (stepped && v != std::floor(v))) {
        error = shown + " must be " + range + ", not " + value;
        return false;
    }
    setting.normalized = row.toNormalized(static_cast<float>(v));
    return true;
}
