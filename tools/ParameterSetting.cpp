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

std::string typedParameterName(int index) {
    std::string out(kCabinetParameters[index].name);
    for (char& c : out)
        if (c == ' ') c = '-';
    return out;
}

std::string parameterNames(int count) {
    std::string names;
    for (int i = 0; i < count; ++i) names += (i ? ", " : "") + typedParameterName(i);
    return names;
}

bool parseSetting(const std::string& text, bool normalized, int count, ParameterSetting& setting, std::string& error) {
    if (count > kNumCabinetParameters) count = kNumCabinetParameters;
    const char* option = normalized ? "--norm" : "--set";
    const size_t equals = text.find('=');
    if (equals == std::string::npos) {
        error = std::string(option) + " wants NAME=VALUE, not '" + text + "'";
        return false;
    }
    const std::string name = text.substr(0, equals), value = text.substr(equals + 1);
    int index = 0;
    while (index < count && simplifiedName(kCabinetParameters[index].name) != simplifiedName(name)) ++index;
    if (index == count) {
        error = "no parameter '" + name + "'; the parameters are " + parameterNames(count);
        return false;
    }
    const ParameterInfo& row = kCabinetParameters[index];
    const std::string shown = typedParameterName(index);
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
    const std::string step = stepped ? " in steps of 1" : row.kind == Hundredths ? " in steps of 0.01" : "";
    const std::string range = "from " + format(row.min) + " to " + format(row.max) + step;
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
