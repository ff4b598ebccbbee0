// The frame: its window, view list, routing of clicks, wheel, drops and
// focus, and when it draws.
#include "RasterFixture.h"
#include "platform/EmbeddedImages.h"

namespace {
class Frames : public RasterTest {};
}  // namespace

TEST_F(Frames, WindowExistsOnlyWithAParentAndGoesWithTheFrame) {
    {
        Frame windowless({0, 0, 64, 48}, nullptr, nullptr, raster);
        EXPECT_EQ(windowless.getWindow(), nullptr);
        EXPECT_FALSE(windowless.enableDropTarget(true));
        EXPECT_EQ(raster.windowCount(), 0);
    }
    {
        Frame frame({0, 0, 64, 48}, parent(), nullptr, raster);
        ASSERT_NE(frame.getWindow(), nullptr);
        EXPECT_EQ(raster.windowCount(), 1);
        EXPECT_EQ(raster.pixels(frame.getWindow()).width(), 64);
        EXPECT_EQ(raster.dragDropUsers(), 1);
    }
    EXPECT_EQ(raster.windowCount(), 0);
    EXPECT_EQ(raster.dragDropUsers(), 0);
}

TEST_F(Frames, ViewListGrowsInTensAndReleasesOnRequest) {
    std::vector<std::string> log;
    {
        Frame frame({0, 0, 64, 48}, parent(), nullptr, raster);
        std::vector<ProbeView*> views;
        for (int i = 0; i < 11; ++i) {
            views.push_back(new ProbeView({0, 0, 1, 1}, &log, "v" + std::to_string(i)));
            ASSERT_TRUE(frame.addView(views.back()));
            EXPECT_EQ(frame.getViewCapacity(), i < 10 ? 10 : 20);
            EXPECT_EQ(views.back()->getParentFrame(), &frame);
        }
        EXPECT_TRUE(frame.isChild(views[4]));
        frame.removeView(views[4], true);
        EXPECT_EQ(log.back(), "v4 deleted");
        EXPECT_FALSE(frame.isChild(views[4]));
        EXPECT_EQ(frame.getViewCount(), 10);
        EXPECT_EQ(frame.getView(4), views[5]);
        frame.removeView(views[5], false);  // the caller keeps its reference
        views[5]->release();
    }
    EXPECT_EQ(log.size(), 11u);  // the frame released the other nine
}

TEST_F(Frames, ClicksReachTheTopmostEnabledViewWithInclusiveEdges) {
    Frame frame({0, 0, 64, 48}, parent(), nullptr, raster);
    auto* below = new ProbeView({10, 10, 30, 30});
    auto* above = new ProbeView({20, 20, 40, 40});
    frame.addView(below);
    frame.addView(above);
    raster.press(frame.getWindow(), {30, 30});  // on both; the later one wins
    EXPECT_EQ(above->clicks, 1);
    EXPECT_EQ(below->clicks, 0);
    raster.press(frame.getWindow(), {10, 10});  // top-left corner, inclusive
    raster.press(frame.getWindow(), {19, 30});  // bottom edge, inclusive
    EXPECT_EQ(below->clicks, 2);
    raster.press(frame.getWindow(), {40, 41});  // one below the bottom edge
    EXPECT_EQ(above->clicks, 1);
    above->setMouseEnabled(false);  // disabled views let clicks through
    raster.press(frame.getWindow(), {25, 25});
    EXPECT_EQ(below->clicks, 3);
    EXPECT_EQ(below->lastClick, (Point{25, 25}));
}

TEST_F(Frames, AClickEndsTheFocusFirst) {
    std::vector<std::string> log;
    Frame frame({0, 0, 64, 48}, parent(), nullptr, raster);
    auto* entry = new ProbeView({0, 0, 10, 10}, &log, "entry");
    auto* other = new ProbeView({20, 20, 30, 30}, &log, "other");
    frame.addView(entry);
    frame.addView(other);
    frame.setFocusView(entry);
    raster.press(frame.getWindow(), {25, 25});
    EXPECT_EQ(log, (std::vector<std::string>{"entry focus released", "other click"}));
    EXPECT_EQ(frame.getFocusView(), nullptr);
    log.clear();
    frame.setFocusView(other);
    frame.setFocusView(other);  // the same view again is released again
    EXPECT_EQ(log, std::vector<std::string>{"other focus released"});
    frame.setFocusView(nullptr);
    frame.removeView(entry, true);
    frame.removeView(other, true);
}

TEST_F(Frames, PaintLeavesDirtyViewsDirtyAndIdleRedrawsAfterTheFirstPaint) {
    Frame frame({0, 0, 64, 48}, parent(), nullptr, raster);
    auto* view = new ProbeView({0, 0, 10, 10});
    frame.addView(view);
    frame.idle();  // before the first paint: nothing
    EXPECT_EQ(view->draws, 0);
    raster.paintNow(frame.getWindow());
    EXPECT_EQ(view->draws, 1);
    EXPECT_TRUE(view->isDirty());  // still waiting for its idle redraw
    frame.idle();  // the frame itself starts dirty: one whole redraw, views keep their state
    EXPECT_EQ(view->draws, 2);
    EXPECT_TRUE(view->isDirty());
    frame.idle();  // now the dirty view alone
    EXPECT_EQ(view->draws, 3);
    EXPECT_FALSE(view->isDirty());
    frame.idle();  // clean: nothing
    EXPECT_EQ(view->draws, 3);
    view->setDirty(true);
    frame.idle();
    EXPECT_EQ(view->draws, 4);
}

TEST_F(Frames, BackgroundIsDrawnFirstAtItsOwnSize) {
    Frame frame({0, 0, 64, 48}, parent(), nullptr, raster);
    Bitmap* background = new Bitmap(raster, kBackgroundImage);
    frame.setBackground(background);
    background->release();
    raster.paintNow(frame.getWindow());
    const RasterImage& shown = raster.pixels(frame.getWindow());
    RasterImage expected;
    const EmbeddedImage* file = findEmbeddedImage(kBackgroundImage);
    ASSERT_TRUE(file && expected.decodeBmp(file->bytes, file->size));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(shown.pixel(x, y), expected.pixel(x, y));
}

TEST_F(Frames, DestroyedWindowStopsIdleRedraws) {
    Frame frame({0, 0, 64, 48}, parent(), nullptr, raster);
    auto* view = new ProbeView({0, 0, 10, 10});
    frame.addView(view);
    raster.paintNow(frame.getWindow());
    EXPECT_TRUE(frame.isOpen());
    raster.destroyFromOutside(frame.getWindow());
    EXPECT_FALSE(frame.isOpen());
    const int draws = view->draws;
    frame.idle();
    EXPECT_EQ(view->draws, draws);
}

TEST_F(Frames, WheelGoesToTheViewUnderThePointWithTheCursorPosition) {
    Frame frame({0, 0, 64, 48}, parent(), nullptr, raster);
    auto* view = new ProbeView({0, 0, 20, 20});
    frame.addView(view);
    raster.setWindowOrigin(frame.getWindow(), {100, 200});
    raster.setCursor({105, 207});
    Point at{0, 0};
    EXPECT_TRUE(frame.onWheel(nullptr, at, 1.5f));
    EXPECT_EQ(view->wheelAt, (Point{5, 7}));
    EXPECT_EQ(view->wheelDistance, 1.5f);
    Point outside{50, 40};
    EXPECT_FALSE(frame.onWheel(nullptr, outside, 1.0f));
}

TEST_F(Frames, DropsGoToTheViewUnderTheCursorUnlessAViewHasFocus) {
    Frame frame({0, 0, 64, 48}, parent(), nullptr, raster);
    auto* refuses = new ProbeView({0, 0, 64, 48});
    auto* takes = new ProbeView({0, 0, 20, 20});
    takes->acceptsDrops = true;
    frame.addView(refuses);
    frame.addView(takes);
    raster.setCursor({30, 30});
    EXPECT_FALSE(raster.dropText(frame.getWindow(), "hello"));  // only the refusing view is there
    EXPECT_EQ(refuses->droppedType, platform::kDropText);
    EXPECT_EQ(refuses->droppedFirst, "hello");
    raster.setCursor({5, 5});
    EXPECT_TRUE(raster.dropFiles(frame.getWindow(), {"/tmp/a.wav", "/tmp/b.wav"}));
    EXPECT_EQ(takes->droppedType, platform::kDropFiles);
    EXPECT_EQ(takes->droppedCount, 2);
    EXPECT_EQ(takes->droppedFirst, "/tmp/a.wav");
    frame.setFocusView(takes);
    EXPECT_FALSE(raster.dropText(frame.getWindow(), "ignored"));
    frame.setFocusView(nullptr);
}
