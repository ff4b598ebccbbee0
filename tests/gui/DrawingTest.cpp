// Drawing on the headless backend, pixel for pixel by the Windows rules.
#include "Bitmap.h"
#include "RasterFixture.h"
#include "RasterText.h"

namespace {

// A device of its own to draw on, without a window.
struct Canvas {
    explicit Canvas(platform::Platform& platform, int width = 40, int height = 40)
        : context(platform, width, height, kWhite) {}
    Color at(int x, int y) { return image().pixel(x, y); }
    const RasterImage& image() { return pixelsOf(context); }
    static const RasterImage& pixelsOf(OffscreenContext& c) { return RasterPlatform::pixelsOf(c.getDevice()); }
    OffscreenContext context;
};

class Drawing : public RasterTest {};

// Records the fonts the toolkit asks for.
class FontRecorder : public RasterPlatform {
public:
    void setFont(platform::Painter* painter, const FontSpec& font) override {
        last = font;
        RasterPlatform::setFont(painter, font);
    }
    FontSpec last{};
};

}  // namespace

TEST_F(Drawing, FillThenFrameCoverTheSquareWithoutOverlap) {
    Canvas canvas(raster);
    canvas.context.setFillColor(kRed);
    canvas.context.fillRect({0, 0, 10, 10});
    for (int y = 0; y <= 11; ++y)
        for (int x = 0; x <= 11; ++x) {
            const bool inside = x >= 1 && x <= 9 && y >= 1 && y <= 9;
            ASSERT_EQ(canvas.at(x, y), inside ? kRed : kWhite) << x << "," << y;
        }
    canvas.context.setLineColor(kBlue);
    canvas.context.frameRect({0, 0, 10, 10});
    for (int y = 0; y <= 11; ++y)
        for (int x = 0; x <= 11; ++x) {
            const bool edge = (x == 0 || x == 10 || y == 0 || y == 10) && x <= 10 && y <= 10;
            const bool inside = x >= 1 && x <= 9 && y >= 1 && y <= 9;
            ASSERT_EQ(canvas.at(x, y), edge ? kBlue : (inside ? kRed : kWhite)) << x << "," << y;
        }
}

TEST_F(Drawing, LinesLeaveOutTheirEndPoint) {
    Canvas canvas(raster);
    canvas.context.setLineColor(kBlack);
    canvas.context.moveTo({2, 5});
    canvas.context.lineTo({7, 5});
    for (int x = 0; x < 10; ++x) EXPECT_EQ(canvas.at(x, 5), x >= 2 && x < 7 ? kBlack : kWhite) << x;
    canvas.context.moveTo({20, 20});
    canvas.context.lineTo({26, 26});  // a diagonal: one pixel a step
    for (int k = 0; k < 6; ++k) EXPECT_EQ(canvas.at(20 + k, 20 + k), kBlack);
    EXPECT_EQ(canvas.at(26, 26), kWhite);
    canvas.context.setLineStyle(1);  // dotted: three on, three off
    canvas.context.moveTo({0, 30});
    canvas.context.lineTo({12, 30});
    for (int x = 0; x < 12; ++x) EXPECT_EQ(canvas.at(x, 30), (x / 3) % 2 == 0 ? kBlack : kWhite) << x;
}

TEST_F(Drawing, StripFramesOpaqueAndKeyed) {
    Bitmap* strip = new Bitmap(raster, kSwitchImage);
    ASSERT_EQ(strip->getWidth(), 21);
    ASSERT_EQ(strip->getHeight(), 40);
    Canvas canvas(raster);
    canvas.context.setFillColor(kGreen);
    canvas.context.fillRect({-1, -1, 40, 40});
    // Frame 1 (on) opaquely: the white square is drawn white.
    strip->draw(&canvas.context, {5, 5, 26, 25}, {0, 20});
    EXPECT_EQ(canvas.at(5, 5), (Color{240, 140, 20, 0}));
    EXPECT_EQ(canvas.at(5 + 10, 5 + 9), kWhite);
    EXPECT_EQ(canvas.at(26, 5), kGreen);  // nothing beyond the destination
    // Frame 0 (off) keyed: the square shows what lay below.
    canvas.context.fillRect({-1, -1, 40, 40});
    strip->drawTransparent(&canvas.context, {5, 5, 26, 25}, {0, 0});
    EXPECT_EQ(canvas.at(5, 5), (Color{30, 40, 160, 0}));
    EXPECT_EQ(canvas.at(5 + 10, 5 + 9), kGreen);
    // The image itself is unchanged: an opaque draw shows its own pixels.
    strip->draw(&canvas.context, {5, 5, 26, 25}, {0, 0});
    EXPECT_EQ(canvas.at(5 + 10, 5 + 9), kWhite);
    strip->release();
}

TEST_F(Drawing, MissingImagesDrawNothing) {
    Bitmap* missing = new Bitmap(raster, 999);
    EXPECT_FALSE(missing->isLoaded());
    EXPECT_EQ(missing->getWidth(), 0);
    Canvas canvas(raster);
    missing->draw(&canvas.context, {0, 0, 10, 10});
    EXPECT_EQ(canvas.at(3, 3), kWhite);
    missing->release();
}

TEST_F(Drawing, OffscreenStartsInItsColourAndCopiesInOneStep) {
    OffscreenContext source(raster, 6, 4, kMagenta);
    Canvas canvas(raster);
    source.copyTo(&canvas.context, {10, 10, 14, 13}, {1, 1});
    EXPECT_EQ(canvas.at(10, 10), kMagenta);
    EXPECT_EQ(canvas.at(13, 12), kMagenta);
    EXPECT_EQ(canvas.at(14, 12), kWhite);
    EXPECT_EQ(canvas.at(13, 13), kWhite);
}

TEST_F(Drawing, FontsFromTheTable) {
    FontRecorder recorder;
    {
        OffscreenContext context(recorder, 4, 4, kWhite);
        context.setFont(9, 0, 0);
        EXPECT_EQ(context.getFontId(), 0);
        EXPECT_EQ(context.getFontSize(), 12);
        EXPECT_TRUE(recorder.last.bold);
        EXPECT_STREQ(recorder.last.face, "Arial");
        context.setFont(7, 0, 0);
        EXPECT_STREQ(recorder.last.face, "Symbol");
        EXPECT_EQ(recorder.last.pixelSize, 13);
        EXPECT_TRUE(recorder.last.decorative);
        context.setFont(3, 20, kBoldFace | kUnderlineFace);
        EXPECT_STREQ(recorder.last.face, "Arial");
        EXPECT_EQ(recorder.last.pixelSize, 20);
        EXPECT_TRUE(recorder.last.bold);
        EXPECT_TRUE(recorder.last.underline);
        EXPECT_FALSE(recorder.last.italic);
    }
}

// Builds without a font rasteriser (the Windows one, where GDI draws text)
// have no raster text to check.
#define SKIP_WITHOUT_RASTER_TEXT()                                                        \
    if (RasterText::measure({"Arial", 12, false, false, false, false}, "x").height == 0) \
    GTEST_SKIP() << "no font rasteriser in this build"

TEST_F(Drawing, TextAlignment) {
    SKIP_WITHOUT_RASTER_TEXT();
    const Rect box{4, 4, 96, 24};
    auto inkColumns = [&](int align, Rect r) {
        OffscreenContext context(raster, 100, 30, kWhite);
        context.setTextColor(kBlack);
        context.setFont(3);
        context.drawText("Halvern", r, false, align);
        const RasterImage& image = Canvas::pixelsOf(context);
        int first = -1, last = -1;
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (image.pixel(x, y) != kWhite) {
                    if (first < 0) first = x;
                    last = x;
                }
        return std::make_pair(first, last);
    };
    const auto left = inkColumns(0, box), centred = inkColumns(1, box), right = inkColumns(2, box);
    ASSERT_GE(left.first, 0) << "no font found for Arial";
    const FontSpec font{"Arial", 12, false, false, false, false};
    const TextMetrics metrics = RasterText::measure(font, "Halvern");
    // Left-aligned text starts one pixel inside; centred and right use the box as given.
    EXPECT_EQ(inkColumns(0, {5, 4, 96, 24}).first, left.first + 1);
    EXPECT_NEAR(left.first, box.left + 1, 2);
    EXPECT_EQ(centred.first - left.first, (box.width() - metrics.width) / 2 - 1);
    EXPECT_EQ(right.first - left.first, box.width() - metrics.width - 1);
    EXPECT_LT(right.second, box.right);
}

TEST_F(Drawing, OpaqueTextPaintsItsBackground) {
    SKIP_WITHOUT_RASTER_TEXT();
    OffscreenContext context(raster, 60, 20, kWhite);
    context.setFillColor(kYellow);
    context.setTextColor(kBlack);
    context.setFont(3);
    context.drawText("ab", {0, 0, 60, 20}, true, 1);
    const RasterImage& image = Canvas::pixelsOf(context);
    int yellow = 0;
    for (int x = 0; x < 60; ++x) yellow += image.pixel(x, 10) == kYellow;
    EXPECT_GT(yellow, 0);
    EXPECT_EQ(image.pixel(1, 10), kWhite);  // only the text's own box
}
