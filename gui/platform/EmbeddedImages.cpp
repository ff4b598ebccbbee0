#include "EmbeddedImages.h"

#include <vector>

namespace {
std::vector<const EmbeddedImage*>& tables() {
    static std::vector<const EmbeddedImage*> all;
    return all;
}
std::vector<size_t>& counts() {
    static std::vector<size_t> all;
    return all;
}
}  // namespace

bool registerEmbeddedImages(const EmbeddedImage* images, size_t count) {
    tables().push_back(images);
    counts().push_back(count);
    return true;
}

const EmbeddedImage* findEmbeddedImage(int id) {
    for (size_t t = 0; t < tables().size(); ++t)
        for (size_t i = 0; i < counts()[t]; ++i)
            if (tables()[t][i].id == id) return &tables()[t][i];
    return nullptr;
}
