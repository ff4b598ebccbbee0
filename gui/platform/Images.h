// Platform contract, images: the library's bitmap resources, loaded by
// number and drawn onto a device. Part of the contract described in
// Platform.h.
#pragma once

#include "Drawing.h"
#include "Geometry.h"

namespace platform {

// An image loaded from the library's resources.
struct Image;

class Images {
public:
    virtual ~Images() = default;

    // The image with this resource number, or null; its size in width, height.
    virtual Image* loadImage(int id, int& width, int& height) = 0;
    // The image shrunk to width x height (the size of a scale in between the
    // ones it was drawn at); null where it is missing or smaller than that.
    virtual Image* loadImageSized(int id, int width, int height) = 0;
    virtual void destroyImage(Image* image) = 0;
    // Copies dest's size from the image at `source` to the device at dest's top-left.
    virtual void drawImage(Painter* painter, Image* image, Rect dest, Point source) = 0;
    // The same, leaving the device unchanged where the image has the key colour.
    virtual void drawImageKeyed(Painter* painter, Image* image, Rect dest, Point source, Color key) = 0;
};

}  // namespace platform
