// The parameters' texts as every format shows and reads them: the display
// text with the label ("12 %", "fast", "0.70 s"), and what a user types (a
// number, with or without the label, or for a list one of its names in any
// case).
#pragma once

#include <cstddef>

namespace parametertext {

// The text of parameter `index` at `value` (in the units it shows, clamped to
// its range); false for an index off the table, a value that is no number or
// a buffer of no room.
bool format(int index, double value, char* text, size_t capacity);

// The value a typed text gives, clamped to the range and rounded as the
// parameter rounds; false for anything else.
bool parse(int index, const char* text, double& value);

}  // namespace parametertext
