#include "ParameterInfo.h"

#include <cmath>
#include <cstdio>

static float clampUnit(float x) { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }

float ParameterInfo::toValue(float normalized) const {
    const float x = clampUnit(normalized);
    if (kind == Gain) {
        // A straight line from silence up to the gain of `min` dB over the
        // first tenth, then linear in dB up to `max`. Dividing by 0.9 (rather
        // than multiplying by its rounded inverse) lands exactly on `max` at 1.
        if (x < 0.1f) return static_cast<float>(std::pow(10.0, min * 0.05) * (x * 10.0));
        return static_cast<float>(std::pow(10.0, (min + (x - 0.1) / 0.9 * (max - min)) * 0.05));
    }
    float v = min + x * (max - min);
    if (kind == Integer || kind == List) v = std::floor(v + 0.5f);
    if (kind == Hundredths) v = std::floor(v * 100.0f + 0.5f) / 100.0f;
    return v < min ? min : (v > max ? max : v);
}

float ParameterInfo::toNormalized(float value) const {
    float c;
    if (kind == Gain) {
        if (!(value >= 0.0f)) return 0.0f;
        const double silenceEdge = std::pow(10.0, min * 0.05);
        if (value < silenceEdge)
            c = static_cast<float>(value / silenceEdge * 0.1);
        else if (value <= std::pow(10.0, max * 0.05))
            c = static_cast<float>((20.0 * std::log10(value) - min) / (max - min) * 0.9 + 0.1);
        else
            return 1.0f;
    } else {
        c = (value - min) / (max - min);
    }
    return clampUnit(c);
}

float ParameterInfo::defaultNormalized() const {
    if (kind == Gain) return toNormalized(static_cast<float>(std::pow(10.0, defaultValue * 0.05)));
    return toNormalized(defaultValue);
}

void ParameterInfo::formatValue(float normalized, char* text, size_t size) const {
    if (size == 0) return;
    const float v = toValue(normalized);
    text[0] = 0;
    switch (kind) {
        case Continuous: std::snprintf(text, size, "%f", v); break;
        case Integer: std::snprintf(text, size, "%d", static_cast<int>(v)); break;
        case Hundredths: std::snprintf(text, size, "%.2f", v); break;
        case List: std::snprintf(text, size, "%s", names[static_cast<int>(v)]); break;
        case Gain:
            if (v >= 0.000001f)
                std::snprintf(text, size, "%+.1f", 20.0 * std::log10(v));
            else
                std::snprintf(text, size, "-inf");
            break;
    }
}
