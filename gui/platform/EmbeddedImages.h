// Images compiled into the binary as the bytes of 24-bit BMP files, found by
// resource number. A generated source file registers each table at start-up
// (the same BMP files feed the Windows resource script).
#pragma once

#include <cstddef>

struct EmbeddedImage {
    int id;
    const unsigned char* bytes;
    size_t size;
};

// Adds a table; answers true so a generated file can call it from a static
// initialiser.
bool registerEmbeddedImages(const EmbeddedImage* images, size_t count);
// The image with this number, or null.
const EmbeddedImage* findEmbeddedImage(int id);
