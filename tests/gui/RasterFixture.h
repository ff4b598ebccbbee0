// Tests on the headless backend: a fresh raster platform per test, for the
// frames and bitmaps the test makes, and views that record what happens to
// them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Control.h"
#include "DrawContext.h"
#include "Frame.h"
#include "RasterPlatform.h"

// Resource numbers of the tests' own images.
constexpr int kSwitchImage = 200;      // 21 x 40: two frames of 20, white squares to key out
constexpr int kStripImage = 201;       // 8 x 36: three frames of 12
constexpr int kBackgroundImage = 202;  // 64 x 48
constexpr int kKnobStripImage = 203;   // 4 x 74: 37 frames of 2, frame k with red 6k

class RasterTest : public ::testing::Test {
protected:
    // A token standing for the host's parent window.
    void* parent() { return &parentToken; }

    RasterPlatform raster;
    int parentToken = 0;
};

// A view that records clicks, drops, focus and draws.
class ProbeView : public View {
public:
    explicit ProbeView(Rect bounds, std::vector<std::string>* log = nullptr, std::string name = "")
        : View(bounds), log(log), name(std::move(name)) {}
    ~ProbeView() override {
        if (log) log->push_back(name + " deleted");
    }
    void draw(DrawContext*) override { ++draws; }
    void mouse(DrawContext*, Point& where) override {
        ++clicks;
        lastClick = where;
        if (log) log->push_back(name + " click");
    }
    bool onDrop(void** items, int count, int type, Point) override {
        droppedType = type;
        droppedCount = count;
        if (count > 0 && items[0]) droppedFirst = static_cast<const char*>(items[0]);
        return acceptsDrops;
    }
    bool onWheel(DrawContext*, Point& where, float distance) override {
        wheelAt = where;
        wheelDistance = distance;
        return true;
    }
    void releaseFocus(DrawContext*) override {
        if (log) log->push_back(name + " focus released");
    }

    std::vector<std::string>* log;
    std::string name;
    int draws = 0;
    int clicks = 0;
    Point lastClick;
    bool acceptsDrops = false;
    int droppedType = -1;
    int droppedCount = 0;
    std::string droppedFirst;
    Point wheelAt;
    float wheelDistance = 0.0f;
};

class ListenerProbe : public ControlListener {
public:
    void valueChanged(DrawContext*, Control* control) override {
        ++calls;
        lastTag = control->getTag();
        lastValue = control->getValue();
    }
    int calls = 0;
    int lastTag = -2;
    float lastValue = -1.0f;
};
