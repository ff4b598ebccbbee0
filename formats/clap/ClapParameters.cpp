#include "ClapParameters.h"

#include <cmath>
#include <cstdio>

#include "ParameterText.h"

namespace clapparameters {
namespace {

const ParameterInfo& row(clap_id id) { return kCabinetParameters[id]; }
const ReadingInfo& readingRow(clap_id id) { return kCabinetReadings[id - kFirstReading]; }

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
    if (isReading(id)) {
        if (!std::isfinite(value) || !text || capacity == 0) return false;
        std::snprintf(text, capacity, "%.1f %s", value, readingRow(id).label);
        return true;
    }
    return isParameter(id) && parametertext::format(static_cast<int>(id), value, text, capacity);
}

bool textToValue(clap_id id, const char* text, double& value) {
    return isParameter(id) && parametertext::parse(static_cast<int>(id), text, value);
}

}  // namespace clapparameters
