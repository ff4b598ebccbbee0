// PNG output of raster images, for screenshots.
#pragma once

#include <string>

#include "RasterImage.h"

bool writePng(const RasterImage& image, const std::string& path);
