#include "ClapParameters.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "ParameterText.h"

namespace clapparameters {
namespace {

const ParameterInfo& row(clap_id id) { return kCabinetParameters[rowOf(id)]; }
const ReadingInfo& readingRow(clap_id id) { return kCabinetReadings[id - kFirstReading]; }

}  // namespace

void describe(uint32_t index, clap_param_info_t& info) {
    info = clap_param_info_t{};
    const clap_id id = idAt(index);
    info.id = id;
    if (id == kBypass) {
        info.flags = CLAP_PARAM_IS_AUTOMATABLE | CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_BYPASS;
        std::snprintf(info.name, sizeof info.name, "%s", "Bypass");
        info.max_value = 1.0;
        return;
    }
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
    if (isReading(id) || id == kBypass) {
        if (!std::isfinite(value) || !text || capacity == 0) return false;
        if (id == kBypass)
            std::snprintf(text, capacity, "%s", value >= 0.5 ? "on" : "off");
        else
            std::snprintf(text, capacity, "%.1f %s", value, readingRow(id).label);
        return true;
    }
    return isParameter(id) && parametertext::format(rowOf(id), value, text, capacity);
}

bool textToValue(clap_id id, const char* text, double& value) {
    if (id == kBypass && text && (std::strcmp(text, "on") == 0 || std::strcmp(text, "off") == 0)) {
        value = text[1] == 'n' ? 1.0 : 0.0;
        return true;
    }
    return isParameter(id) && parametertext::parse(rowOf(id), text, value);
}

}  // namespace clapparameters
