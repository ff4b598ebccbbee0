#include "ParameterText.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SpeakerDescriptor.h"

namespace parametertext {
namespace {

bool isParameter(int index) { return index >= 0 && index < kNumCabinetParameters; }

const char* skipSpaces(const char* text) {
    while (std::isspace(static_cast<unsigned char>(*text))) ++text;
    return text;
}

bool equalIgnoringCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
    return *a == *b;
}

// `text` with trailing spaces removed, in `out`; false when it does not fit.
bool trimmed(const char* text, char* out, size_t capacity) {
    size_t length = std::strlen(text);
    while (length > 0 && std::isspace(static_cast<unsigned char>(text[length - 1]))) --length;
    if (length >= capacity) return false;
    std::memcpy(out, text, length);
    out[length] = 0;
    return true;
}

float normalized(const ParameterInfo& row, double value) {
    const double clamped = value < row.min ? row.min : (value > row.max ? row.max : value);
    return row.toNormalized(static_cast<float>(clamped));
}

}  // namespace

bool format(int index, double value, char* text, size_t capacity) {
    if (!isParameter(index) || !std::isfinite(value) || !text || capacity == 0) return false;
    const ParameterInfo& row = kCabinetParameters[index];
    char shown[32];
    row.formatValue(normalized(row, value), shown, sizeof shown);
    std::snprintf(text, capacity, *row.label ? "%s %s" : "%s", shown, row.label);
    return true;
}

bool parse(int index, const char* text, double& value) {
    if (!isParameter(index) || !text) return false;
    const ParameterInfo& row = kCabinetParameters[index];
    char typed[64];
    if (!trimmed(skipSpaces(text), typed, sizeof typed)) return false;
    if (row.kind == List)
        for (int position = 0; position <= static_cast<int>(row.max); ++position)
            if (equalIgnoringCase(typed, row.names[position])) {
                value = position;
                return true;
            }
    char* end = nullptr;
    const double number = std::strtod(typed, &end);
    if (end == typed || !std::isfinite(number)) return false;
    const char* rest = skipSpaces(end);
    if (*row.label && std::strcmp(rest, row.label) == 0) rest += std::strlen(row.label);
    if (*rest) return false;
    value = row.toValue(normalized(row, number));
    return true;
}

}  // namespace parametertext
