// What a value field shows for typed text: the number (atof: its leading
// number, 0 without one) as the parameter would take it, clamped and
// rounded, in the parameter's display text.
#pragma once

#include "TextEdit.h"

void convertValueText(int parameter, const char* input, char* output);
// The normalised value typed text gives parameter `parameter`.
float typedValue(int parameter, const char* input);

// One converter per value field, each fixing its parameter.
TextFilter valueTextFilter(int parameter);
