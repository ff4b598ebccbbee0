// Text for the headless backend: fonts found by face name through
// fontconfig ("Arial" resolves to a metric-compatible face), glyphs drawn by
// FreeType with grey-level antialiasing.
#pragma once

#include "Fonts.h"
#include "RasterImage.h"

struct TextMetrics {
    int width = 0;   // advance of the whole line, pixels
    int ascent = 0;  // baseline below the top of the line
    int height = 0;  // ascent plus descent
};

class RasterText {
public:
    static TextMetrics measure(const FontSpec& font, const char* text);
    // Draws the line with its top-left at (x, y), clipped to `clip`.
    static void draw(RasterImage& image, const FontSpec& font, const char* text, int x, int y, Color color,
                     Rect clip);
};
