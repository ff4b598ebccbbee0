#include "ClapParameters.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>


namespace clapparameters {
namespace {

const ParameterInfo& row(clap_id id) { return kCabinetParameters[id]; }
const ReadingInfo& readingRow(clap_id id) { return kCabinetReadings[id - kFirstReading]; }

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

}  // namespace

void describe(clap_id id, clap_param_info_t& info) {
    info = clap_param_info_t{};
    info.id = id;
    if (isReading(id)) {
        const ReadingInfo& r = readingRow(id);
        info.flags = CLAP_PARAM_IS_READONLY;
        std::snprintf(info.name, sizeof info.name, "%s", r.name);
        info.min_value = r.min;
        info.max_value = r.max;
        return;
    }
    const ParameterInfo& r = row(id);
    info.flags = CLAP_PARAM_IS_AUTOMATABLE;
    if (r.kind == Integer || r.kind == List) info.flags |= CLAP_PARAM_IS_STEPPED;
    if (r.kind == List) info.flags |= CLAP_PARAM_IS_ENUM;
    std::snprintf(info.name, sizeof info.name, "%s", r.name);
    info.min_value = r.min;
    info.max_value = r.max;
    info.default_value = r.defaultValue;
}

float normalized(clap_id id, double value) {
    const ParameterInfo& r = row(id);
    const double clamped = value < r.min ? r.min : (value > r.max ? r.max : value);
    return r.toNormalized(static_cast<float>(clamped));
}

double displayValue(clap_id id, float normalizedValue) { return row(id).toValue(normalizedValue); }

bool valueToText(clap_id id, double value, char* text, uint32_t capacity) {
    if (!std::isfinite(value) || !text || capacity == 0) return false;
    if (isReading(id)) {
        std::snprintf(text, capacity, "%.1f %s", value, readingRow(id).label);
        return true;
    }
    if (!isParameter(id)) return false;
    char shown[32];
    row(id).formatValue(normalized(id, value), shown, sizeof shown);
    const char* label = row(id).label;
    std::snprintf(text, capacity, *label ? "%s %s" : "%s", shown, label);
    return true;
}

bool textToValue(clap_id id, const char* text, double& value) {
    if (!isParameter(id) || !text) return false;
    const ParameterInfo& r = row(id);
    char typed[64];
    if (!trimmed(skipSpaces(text), typed, sizeof typed)) return false;
    if (r.kind == List)
        for (int position = 0; position <= static_cast<int>(r.max); ++position)
            if (equalIgnoringCase(typed, r.names[position])) {
                value = position;
                return true;
            }
    char* end = nullptr;
    const double number = std::strtod(typed, &end);
    if (end == typed || !std::isfinite(number)) return false;
    const char* rest = skipSpaces(end);
    if (*r.label && std::strcmp(rest, r.label) == 0) rest += std::strlen(r.label);
    if (*rest) return false;
    value = displayValue(id, normalized(id, number));
    return true;
}

}  // namespace clapparameters
