// What a panel should show at a size, composed from the generator's images
// as the build embeds them: a background with strip frames placed over it.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "EditorLayout.h"
#include "RasterImage.h"
#include "StripFrame.h"
#include "platform/EmbeddedImages.h"

inline RasterImage embeddedImage(int id) {
    RasterImage decoded;
    const EmbeddedImage* bytes = findEmbeddedImage(id);
    if (bytes) decoded.decodeBmp(bytes->bytes, bytes->size);
    return decoded;
}

class PanelPicture {
public:
    PanelPicture(int background, EditorScale scale) : scale(scale), image(embeddedImage(scale.imageId(background))) {}

    // Frame `frame` of strip `id` at `at`, the size of one frame.
    void place(int id, Rect at, int frame) {
        const RasterImage strip = embeddedImage(scale.imageId(id));
        ASSERT_EQ(strip.width(), at.width());
        for (int y = 0; y < at.height(); ++y)
            for (int x = 0; x < at.width(); ++x)
                image.setPixel(at.left + x, at.top + y, strip.pixel(x, frame * at.height() + y));
    }
    // A knob's frame for `value`, as the knob rounds it.
    void placeKnob(const KnobPlace& knob, float value) {
        const ImageStrip strip = scale.strip(editorImage(knob.bitmap));
        place(knob.bitmap, knobRect(knob, scale),
              stripFrame(value, strip.frames, strip.frameHeight, FrameRounding::DownByPixels));
    }
    // Reports the first pixels of `shown` that differ, outside `skipped`;
    // answers how many differ.
    int differences(const RasterImage& shown, const std::function<bool(Point)>& skipped) const {
        EXPECT_EQ(shown.width(), image.width());
        EXPECT_EQ(shown.height(), image.height());
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (!skipped({x, y}) && shown.pixel(x, y) != image.pixel(x, y) && ++count <= 3)
                    ADD_FAILURE() << "pixel " << x << "," << y;
        return count;
    }

    const EditorScale scale;
    RasterImage image;
};
