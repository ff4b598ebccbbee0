#include "ImageShrinking.h"

#include <vector>

namespace {

// How much of source pixel `s` (0..sourceLength) lies under target pixel
// `t` when `targetLength` pixels span `sourceLength`, in units of 1 / targetLength
// of a source pixel: the spans are [t * S, (t + 1) * S) and [s * T, (s + 1) * T)
// in whole numbers, so nothing is rounded.
struct Coverage {
    int first;                 // the first source pixel under the target pixel
    std::vector<int> weights;  // for it and the ones after it
};

std::vector<Coverage> coverages(int sourceLength, int targetLength) {
    std::vector<Coverage> all(static_cast<size_t>(targetLength));
    for (int t = 0; t < targetLength; ++t) {
        const long begin = static_cast<long>(t) * sourceLength, end = begin + sourceLength;
        Coverage& c = all[static_cast<size_t>(t)];
        c.first = static_cast<int>(begin / targetLength);
        for (long s = c.first; s * targetLength < end; ++s) {
            const long from = s * targetLength > begin ? s * targetLength : begin;
            const long to = (s + 1) * targetLength < end ? (s + 1) * targetLength : end;
            c.weights.push_back(static_cast<int>(to - from));
        }
    }
    return all;
}

}  // namespace

bool shrinkImage(const PixelRows& from, const PixelRows& to, int bytesPerPixel) {
    if (to.width > from.width || to.height > from.height || to.width <= 0 || to.height <= 0) return false;
    const std::vector<Coverage> across = coverages(from.width, to.width), down = coverages(from.height, to.height);
    // Each target pixel's weights sum to from.width * from.height (in units
    // of 1 / (to.width * to.height) of a source pixel).
    const uint64_t total = static_cast<uint64_t>(from.width) * static_cast<uint64_t>(from.height);
    std::vector<uint64_t> sums(static_cast<size_t>(bytesPerPixel));
    for (int ty = 0; ty < to.height; ++ty) {
        const Coverage& rows = down[static_cast<size_t>(ty)];
        uint8_t* out = to.pixels + ty * to.stride;
        for (int tx = 0; tx < to.width; ++tx) {
            const Coverage& columns = across[static_cast<size_t>(tx)];
            for (uint64_t& sum : sums) sum = 0;
            for (size_t j = 0; j < rows.weights.size(); ++j) {
                const uint8_t* in = from.pixels + (rows.first + static_cast<int>(j)) * from.stride;
                for (size_t i = 0; i < columns.weights.size(); ++i) {
                    const uint64_t weight = static_cast<uint64_t>(rows.weights[j]) * columns.weights[i];
                    const uint8_t* pixel = in + (columns.first + static_cast<int>(i)) * bytesPerPixel;
                    for (int k = 0; k < bytesPerPixel; ++k) sums[static_cast<size_t>(k)] += weight * pixel[k];
                }
            }
            for (int k = 0; k < bytesPerPixel; ++k)
                out[tx * bytesPerPixel + k] = static_cast<uint8_t>((sums[static_cast<size_t>(k)] + total / 2) / total);
        }
    }
    return true;
}
