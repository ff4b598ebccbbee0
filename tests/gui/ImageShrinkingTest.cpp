// Shrinking images for sizes between the drawn ones: area averages, exact
// where the areas are whole, never enlarging.
#include <gtest/gtest.h>

#include <vector>

#include "platform/ImageShrinking.h"

namespace {

PixelRows rows(std::vector<uint8_t>& pixels, int width, int height, int bytesPerPixel) {
    return {pixels.data(), width, height, static_cast<ptrdiff_t>(width) * bytesPerPixel};
}

}  // namespace

TEST(ImageShrinking, HalvingAveragesEachTwoByTwoBlock) {
    std::vector<uint8_t> from = {0, 100, 10, 20, 200, 40, 60, 255, 1, 3, 5, 7, 0, 0, 0, 4};  // 4 x 4, one channel
    std::vector<uint8_t> to(4);
    ASSERT_TRUE(shrinkImage(rows(from, 4, 4, 1), rows(to, 2, 2, 1), 1));
    EXPECT_EQ(to, (std::vector<uint8_t>{85, 86, 1, 4}));  // 340 / 4, 345 / 4 rounded, 4 / 4, 16 / 4
}

// Three pixels into two: each target pixel is one whole source pixel and
// half of the middle one, channel by channel.
TEST(ImageShrinking, PartlyCoveredPixelsCountByThePartCovered) {
    std::vector<uint8_t> from = {0, 255, 90, 30, 60, 200};  // 3 x 1, two channels
    std::vector<uint8_t> to(4);
    ASSERT_TRUE(shrinkImage(rows(from, 3, 1, 2), rows(to, 2, 1, 2), 2));
    EXPECT_EQ(to, (std::vector<uint8_t>{30, 180, 70, 143}));  // (2 a + b) / 3, then (b + 2 c) / 3, rounded
}

TEST(ImageShrinking, RefusesToEnlargeOrToMakeNothing) {
    std::vector<uint8_t> from(12, 7), to(48, 9);
    EXPECT_FALSE(shrinkImage(rows(from, 2, 2, 3), rows(to, 4, 4, 3), 3));
    EXPECT_FALSE(shrinkImage(rows(from, 2, 2, 3), rows(to, 2, 0, 3), 3));
    EXPECT_EQ(to, std::vector<uint8_t>(48, 9));
    ASSERT_TRUE(shrinkImage(rows(from, 2, 2, 3), rows(to, 2, 2, 3), 3));  // the same size: a copy
    EXPECT_EQ(std::vector<uint8_t>(to.begin(), to.begin() + 12), from);
}
