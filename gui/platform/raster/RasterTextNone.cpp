// Text of the raster backend where FreeType is not available (the Windows
// build, where the Win32 backend draws all real text): lines measure nothing
// and draw nothing.
#include "RasterText.h"

TextMetrics RasterText::measure(const FontSpec&, const char*) { return {}; }
void RasterText::draw(RasterImage&, const FontSpec&, const char*, int, int, Color, Rect) {}
