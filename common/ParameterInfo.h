// One row of a parameter table: range, default, name, label and kind, with
// the value curve between the normalised values hosts exchange and the real
// values the effect and its display use.
#pragma once

#include <cstddef>
#include <cstdint>

enum ParameterKind : int32_t {
    Continuous = 0,  // linear, not rounded; shown with "%f"
    Integer = 1,     // linear, rounded to a whole number; "%d"
    List = 2,        // linear, rounded; the real value indexes `names`
    Gain = 3,        // min and max in dB; the real value is a linear gain factor
    Hundredths = 4,  // linear, rounded to hundredths; "%.2f"
};

// One row of a parameter table. Hosts exchange normalised values 0..1; the
// real values (percent, steps, list positions) exist only through toValue.
struct ParameterInfo {
    float defaultValue;  // in real units (dB for Gain)
    float min;
    float max;
    const char* name;
    const char* label;
    ParameterKind kind;
    const char* const* names;  // one per list position; null for the other kinds

    float toValue(float normalized) const;
    float toNormalized(float value) const;
    float defaultNormalized() const;
    // Writes the display text of a normalised value, cut to fit `size` bytes.
    void formatValue(float normalized, char* text, size_t size) const;
};
