// Reference counting, dirty tracking and the two simple controls.
#include "MovieBitmap.h"
#include "OnOffButton.h"
#include "RasterFixture.h"

namespace {
class Views : public RasterTest {};
}  // namespace

TEST_F(Views, ReferenceCountsStartAtOneAndDeleteAtZero) {
    std::vector<std::string> log;
    auto* view = new ProbeView({0, 0, 1, 1}, &log, "v");
    EXPECT_EQ(view->refCount(), 1);
    view->retain();
    EXPECT_EQ(view->release(), 1);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(view->release(), 0);
    EXPECT_EQ(log, std::vector<std::string>{"v deleted"});

    Bitmap* image = new Bitmap(raster, kSwitchImage);
    {
        ListenerProbe listener;
        auto* button = new OnOffButton({0, 0, 21, 20}, &listener, 0, image);
        EXPECT_EQ(image->refCount(), 2);
        auto* other = new OnOffButton({0, 0, 21, 20}, &listener, 0, nullptr);
        other->setBackground(image);
        EXPECT_EQ(image->refCount(), 3);
        other->setBackground(nullptr);
        EXPECT_EQ(image->refCount(), 2);
        button->release();
        other->release();
    }
    EXPECT_EQ(image->refCount(), 1);
    image->release();
}

TEST_F(Views, ControlsAreDirtyUntilTheyDrawTheirValue) {
    ListenerProbe listener;
    auto* button = new OnOffButton({0, 0, 21, 20}, &listener, 3, nullptr);
    EXPECT_TRUE(button->isDirty());  // new: value 0, old value 1
    button->setDirty(false);
    EXPECT_FALSE(button->isDirty());
    button->setValue(1.0f);
    EXPECT_TRUE(button->isDirty());
    button->setDirty(false);
    button->setValue(-1.0f);
    button->setDirty(false);
    button->setDirty(true);  // old value becomes 0, not -1
    EXPECT_TRUE(button->isDirty());
    EXPECT_EQ(button->getOldValue(), 0.0f);
    button->setValue(2.0f);
    button->clampValue();
    EXPECT_EQ(button->getValue(), 1.0f);
    button->release();
}

TEST_F(Views, OnOffButtonTogglesOnThePress) {
    Frame frame({0, 0, 64, 48}, parent(), nullptr, raster);
    ListenerProbe listener;
    auto* button = new OnOffButton({10, 10, 31, 30}, &listener, 0, new Bitmap(raster, kSwitchImage));
    button->getBackground()->release();  // the button is the image's only owner
    frame.addView(button);
    raster.paintNow(frame.getWindow());
    EXPECT_EQ(raster.pixels(frame.getWindow()).pixel(10, 10), (Color{30, 40, 160, 0}));  // off frame

    raster.press(frame.getWindow(), {15, 15});  // no button held: nothing
    EXPECT_EQ(listener.calls, 0);
    raster.setMouseButtons(platform::kLeftButton);
    raster.press(frame.getWindow(), {15, 15});
    EXPECT_EQ(button->getValue(), 1.0f);
    EXPECT_EQ(listener.calls, 1);
    raster.press(frame.getWindow(), {15, 15});
    EXPECT_EQ(button->getValue(), 0.0f);
    button->setValue(0.7f);  // truncates to 0: counts as off
    raster.press(frame.getWindow(), {15, 15});
    EXPECT_EQ(button->getValue(), 1.0f);
    EXPECT_EQ(listener.lastTag, 0);
    raster.paintNow(frame.getWindow());
    EXPECT_EQ(raster.pixels(frame.getWindow()).pixel(10, 10), (Color{240, 140, 20, 0}));  // on frame
    button->setMouseEnabled(false);
    raster.press(frame.getWindow(), {15, 15});
    EXPECT_EQ(listener.calls, 3);
}

TEST_F(Views, MovieBitmapShowsTheFrameOfItsValue) {
    Frame frame({0, 0, 64, 48}, parent(), nullptr, raster);
    Bitmap* strip = new Bitmap(raster, kStripImage);
    auto* movie = new MovieBitmap({20, 20, 28, 32}, nullptr, -1, 3, 12, strip);
    strip->release();
    frame.addView(movie);
    auto shown = [&](float value) {
        movie->setValue(value);
        raster.paintNow(frame.getWindow());
        return raster.pixels(frame.getWindow()).pixel(23, 25);
    };
    const Color red{200, 30, 30, 0}, green{30, 200, 30, 0}, blue{30, 30, 200, 0};
    EXPECT_EQ(shown(0.0f), red);
    EXPECT_EQ(shown(0.24f), red);
    EXPECT_EQ(shown(0.25f), green);  // (3 - 1) * 0.25 + 0.5 rounds to frame 1
    EXPECT_EQ(shown(0.74f), green);
    EXPECT_EQ(shown(0.75f), blue);
    EXPECT_EQ(shown(2.0f), blue);
    EXPECT_EQ(movie->getValue(), 1.0f);  // written back
}

TEST_F(Views, TwoFrameMovieSwitchesAtOneHalf) {
    Frame frame({0, 0, 64, 48}, parent(), nullptr, raster);
    Bitmap* image = new Bitmap(raster, kSwitchImage);
    auto* led = new MovieBitmap({0, 0, 21, 20}, nullptr, -1, 2, 20, image);
    image->release();
    frame.addView(led);
    led->setValue(0.49f);
    raster.paintNow(frame.getWindow());
    EXPECT_EQ(raster.pixels(frame.getWindow()).pixel(0, 0), (Color{30, 40, 160, 0}));
    led->setValue(0.5f);
    raster.paintNow(frame.getWindow());
    EXPECT_EQ(raster.pixels(frame.getWindow()).pixel(0, 0), (Color{240, 140, 20, 0}));
}
