// The editor's images as committed: what each strip draws stays inside its
// frames and off the captions of the panel it is shown on.
#include <gtest/gtest.h>

#include "EditorLayout.h"
#include "RasterImage.h"
#include "platform/EmbeddedImages.h"

namespace {

RasterImage image(int id) {
    RasterImage decoded;
    const EmbeddedImage* bytes = findEmbeddedImage(id);
    if (bytes) decoded.decodeBmp(bytes->bytes, bytes->size);
    return decoded;
}

// How many pixels of frame `frame` of the strip differ from the backdrop at
// `corner`, among those for which `considered(x, y)` holds.
template <typename Where>
int changedPixels(const RasterImage& strip, int frame, const RasterImage& backdrop, Point corner, Where considered) {
    const ImageStrip* layout = nullptr;
    for (const ImageStrip& s : kEditorImages)
        if (s.width == strip.width() && s.height() == strip.height()) layout = &s;
    if (!layout) {  // a missing or undecodable image
        ADD_FAILURE() << "no image of the layout is " << strip.width() << " x " << strip.height();
        return -1;
    }
    int changed = 0;
    for (int y = 0; y < layout->frameHeight; ++y)
        for (int x = 0; x < layout->width; ++x)
            if (considered(x, y) &&
                strip.pixel(x, frame * layout->frameHeight + y) != backdrop.pixel(corner.x + x, corner.y + y))
                ++changed;
    return changed;
}

}  // namespace

TEST(Artwork, ImagesHaveTheLayoutsSizes) {
    for (const ImageStrip& layout : kEditorImages) {
        const RasterImage decoded = image(layout.id);
        EXPECT_EQ(decoded.width(), layout.width) << layout.file;
        EXPECT_EQ(decoded.height(), layout.height()) << layout.file;
    }
}

// No tick dot reaches a knob frame's edge, where the frame would cut it.
// (Only the soft shadow below the cap, centred 1 and 1.5 pixels off the
// knob's centre (22, 22), runs into the bottom row.)
TEST(Artwork, KnobFramesLeaveTheirEdgesToThePanel) {
    const RasterImage panel = image(kBackgroundBitmap);
    for (const KnobPlace& place : kKnobPlaces) {
        const RasterImage strip = image(place.bitmap);
        const ImageStrip& layout = editorImage(place.bitmap);
        for (int frame = 0; frame < layout.frames; ++frame) {
            const int onEdges = changedPixels(strip, frame, panel, {place.x, place.y}, [&](int x, int y) {
                const double dx = x + 0.5 - 23.0, dy = y + 0.5 - 23.5;
                const bool underTheShadow = dx * dx + dy * dy <= 12.5 * 12.5;
                return !underTheShadow && (x == 0 || y == 0 || x == layout.width - 1 || y == layout.frameHeight - 1);
            });
            ASSERT_EQ(onEdges, 0) << layout.file << " frame " << frame;
        }
    }
}

// The switch's top rows hold the foot of the "SPEED" caption; neither lever
// position paints over them.
TEST(Artwork, SwitchLeverStaysOffTheCaptionAbove) {
    const RasterImage panel = image(kBackgroundBitmap);
    const RasterImage strip = image(kSwitchBitmap);
    for (int frame = 0; frame < 2; ++frame)
        EXPECT_EQ(changedPixels(strip, frame, panel, kSwitchCorner, [](int, int y) { return y < 3; }), 0)
            << "frame " << frame;
}

// Captions end where the gold rules end (x 236): beyond, the walnut is plain.
TEST(Artwork, CaptionsStayWithinTheRules) {
    const RasterImage panel = image(kBackgroundBitmap);
    for (int y = 56; y < 72; ++y)
        for (int x = 236; x <= 240; ++x) ASSERT_EQ(panel.pixel(x, y), panel.pixel(236, y)) << x << "," << y;
}
