// The toolkit on the X11 backend in a real X server, driven by real input
// (XTest): painting, clicks, a quick click, a drag that leaves the window,
// the wheel, the drawn edit box and the drawn pop-up menu.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "Frame.h"
#include "Knob.h"
#include "OnOffButton.h"
#include "OptionMenu.h"
#include "TextEdit.h"
#include "XDisplay.h"
#include "gui/RasterFixture.h"
#include "platform/x11/X11Platform.h"

namespace {

constexpr uint32_t kReturnKey = 0xff0d, kEscapeKey = 0xff1b, kBackSpaceKey = 0xff08, kDeleteKey = 0xffff;
constexpr uint32_t kHomeKey = 0xff50, kEndKey = 0xff57, kLeftKey = 0xff51, kDownKey = 0xff54;

class X11Toolkit : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.ready()) << "no X display (DISPLAY)";
        host = display.hostWindow(100, 100, 300, 200);
        display.focus(host);
        frame = new Frame({0, 0, 200, 150}, reinterpret_cast<void*>(static_cast<uintptr_t>(host)), nullptr, x11);
        ASSERT_NE(frame->getWindow(), nullptr) << "host " << std::hex << host;
        child = static_cast<xcb_window_t>(reinterpret_cast<uintptr_t>(x11.nativeHandle(frame->getWindow())));
    }
    void TearDown() override { delete frame; }

    void idle() { x11.dispatchEvents(); }
    bool idleUntil(const std::function<bool()>& done) { return ::idleUntil([this] { idle(); }, done); }
    Point screen(Point where) { return display.onScreen(child, where); }
    template <typename V>
    V* add(V* view) {
        frame->addView(view);
        return view;
    }

    XDisplay display;
    X11Platform x11;
    xcb_window_t host = 0;
    xcb_window_t child = 0;
    Frame* frame = nullptr;
};

// Runs `input` on a connection of its own while the test's thread sits in a
// control's modal loop (a drag, a menu).
class InputThread {
public:
    explicit InputThread(std::function<void(XDisplay&)> input)
        : thread([input] {
              XDisplay own;
              input(own);
          }) {}
    ~InputThread() { thread.join(); }

private:
    std::thread thread;
};

}  // namespace

TEST_F(X11Toolkit, ExposedWindowIsPaintedAndClicksCountBothEdges) {
    EXPECT_TRUE(x11.usesSharedMemory());  // Xvfb offers MIT-SHM
    auto* view = add(new ProbeView({10, 10, 50, 40}));
    ASSERT_TRUE(idleUntil([&] { return view->draws > 0; }));
    display.click(screen({50, 40}));
    ASSERT_TRUE(idleUntil([&] { return view->clicks == 1; }));
    EXPECT_EQ(view->lastClick, (Point{50, 40}));
    display.click(screen({10, 10}));
    ASSERT_TRUE(idleUntil([&] { return view->clicks == 2; }));
    display.click(screen({51, 41}));
    idle();
    display.sync();
    idle();
    EXPECT_EQ(view->clicks, 2);
}

// Press and release both queued before the window handles the press.
TEST_F(X11Toolkit, AQuickClickStillActs) {
    ListenerProbe listener;
    Bitmap* image = new Bitmap(x11, kSwitchImage);
    auto* button = add(new OnOffButton({30, 30, 51, 50}, &listener, 0, image));
    image->release();
    idle();
    display.click(screen({35, 35}));
    ASSERT_TRUE(idleUntil([&] { return listener.calls == 1; }));
    EXPECT_EQ(button->getValue(), 1.0f);
}

TEST_F(X11Toolkit, KnobDragGoesOnOutsideTheWindowAndTheWheelTurnsIt) {
    // Read by the input thread while the drag loop runs on this one.
    struct : ControlListener {
        void valueChanged(DrawContext*, Control* control) override {
            lastValue = control->getValue();
            ++calls;
        }
        std::atomic<int> calls{0};
        std::atomic<float> lastValue{0.0f};
    } listener;
    auto* knob = add(new Knob({20, 20, 64, 64}, &listener, 4, nullptr, nullptr, {}));
    knob->setValue(0.5f);
    idle();
    // Pressed a little left of the top (the press itself sets a value just
    // under a half), then dragged right of the window: turned clockwise.
    const Point nearTop = screen({35, 23}), away = screen({400, 60});
    {
        std::thread input = moveThenRelease(
            away, [&] { return listener.calls > 0; }, [&] { return listener.lastValue > 0.6f; });
        display.moveTo(nearTop);
        display.button(1, true);
        ASSERT_TRUE(idleUntil([&] { return listener.lastValue > 0.6f && x11.mouseButtons() == 0; }));
        input.join();
    }
    EXPECT_GT(knob->getValue(), 0.6f);
    const float dragged = knob->getValue();
    const int calls = listener.calls;
    display.moveTo(screen({42, 42}));
    display.button(5, true);  // a wheel turn towards the user
    display.button(5, false);
    ASSERT_TRUE(idleUntil([&] { return listener.calls == calls + 1; }));
    EXPECT_LT(knob->getValue(), dragged);
    display.button(6, true);  // sideways: nothing
    display.button(6, false);
    display.sync();
    idle();
    EXPECT_EQ(listener.calls.load(), calls + 1);
}

// A click gives the editor's window the keyboard focus (its hot keys come
// to it that way); an entry takes the focus while open and hands it back to
// whichever window had it.
TEST_F(X11Toolkit, EditBoxTakesKeysAndGivesTheFocusBack) {
    ListenerProbe listener;
    auto* entry = add(new TextEdit({20, 60, 80, 74}, &listener, 1000, "30"));
    auto* other = add(new ProbeView({150, 100, 190, 140}));
    idle();
    ASSERT_EQ(display.focused(), host);
    auto text = [&] {
        char t[kTextSize];
        entry->getText(t);
        return std::string(t);
    };
    // Typing replaces the selected text; Enter takes it.
    display.click(screen({40, 66}));
    ASSERT_TRUE(idleUntil([&] { return display.focused() == child; }));
    display.type("42");
    display.tap(kReturnKey);
    ASSERT_TRUE(idleUntil([&] { return listener.calls == 1; }));
    EXPECT_EQ(text(), "42");
    EXPECT_EQ(display.focused(), child);

    // Escape leaves the text as it was and tells no one.
    display.click(screen({40, 66}));
    ASSERT_TRUE(idleUntil([&] { return display.focused() == child; }));
    display.type("9");
    display.tap(kEscapeKey);
    display.sync();
    idle();
    EXPECT_EQ(text(), "42");
    EXPECT_EQ(listener.calls, 1);

    // The host takes the focus while the entry is open: the entry ends, and
    // the focus stays with the host.
    display.click(screen({40, 66}));
    ASSERT_TRUE(idleUntil([&] { return frame->getFocusView() == entry; }));
    display.focus(host);
    ASSERT_TRUE(idleUntil([&] { return frame->getFocusView() == nullptr; }));
    EXPECT_EQ(display.focused(), host);

    // Moving and deleting, then a click elsewhere takes the text first.
    display.click(screen({40, 66}));
    ASSERT_TRUE(idleUntil([&] { return display.focused() == child; }));
    display.tap(kEndKey);
    display.tap(kBackSpaceKey);  // "4"
    display.tap(kHomeKey);
    display.type("1");           // "14"
    display.tap(kLeftKey);
    display.tap(kDeleteKey);     // "4"
    display.type("-");           // "-4"
    display.click(screen({160, 110}));
    ASSERT_TRUE(idleUntil([&] { return other->clicks == 1; }));
    EXPECT_EQ(listener.calls, 2);
    EXPECT_EQ(text(), "-4");
}

TEST_F(X11Toolkit, MenuChosenWithTheMouseAndTheClosingClickStaysInTheMenu) {
    ListenerProbe listener;
    auto* menu = add(new OptionMenu({20, 20, 100, 34}, &listener, 7));
    for (const char* entry : {"A", "-", "-TTitle", "C", "D"}) menu->addEntry(entry);
    auto* below = add(new ProbeView({0, 40, 200, 150}));
    idle();
    const Point field = screen({30, 27});
    {
        // Items are 18 pixels high, separators 8, below a 3-pixel margin: C is the fourth row.
        InputThread input([](XDisplay& own) {
            const xcb_window_t popup = openPopup(own);
            own.click(own.onScreen(popup, {30, 3 + 18 + 8 + 18 + 9}));
        });
        display.click(field);
        ASSERT_TRUE(idleUntil([&] { return listener.calls == 1; }));
    }
    EXPECT_EQ(menu->getCurrent(), 3);
    {
        // A click outside closes the menu with nothing chosen, and the view under it hears nothing.
        InputThread input([this](XDisplay& own) {
            openPopup(own);
            own.click(own.onScreen(child, {150, 120}));
        });
        display.click(field);
        ASSERT_TRUE(idleUntil([&] { return display.popup() == 0 && x11.mouseButtons() == 0; }));
        idle();
    }
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(below->clicks, 0);
}

TEST_F(X11Toolkit, MenuChosenWithTheKeyboard) {
    ListenerProbe listener;
    auto* menu = add(new OptionMenu({20, 20, 100, 34}, &listener, 7));
    for (const char* entry : {"A", "-", "-TTitle", "C", "D"}) menu->addEntry(entry);
    idle();
    {
        InputThread input([](XDisplay& own) {
            openPopup(own);
            own.tap(kDownKey);   // A
            own.tap(kDownKey);   // C: the separator and the title are passed over
            own.tap(kDownKey);   // D
            own.tap(kReturnKey);
        });
        display.click(screen({30, 27}));
        ASSERT_TRUE(idleUntil([&] { return listener.calls == 1; }));
    }
    EXPECT_EQ(menu->getCurrent(), 4);
}

// A sub-menu opened with Right and chosen with Enter; a second column that
// Down reaches after the first.
TEST_F(X11Toolkit, SubMenusAndColumnsAnswerTheKeyboard) {
    ListenerProbe listener;
    auto* menu = add(new OptionMenu({20, 20, 100, 34}, &listener, 7));
    auto* sub = new OptionMenu({0, 0, 0, 0}, &listener, 8);
    for (const char* entry : {"X", "Y"}) sub->addEntry(entry);
    menu->addEntry("A");
    menu->addSubMenu(sub, "More");
    sub->release();  // the menu holds it
    idle();
    {
        InputThread input([](XDisplay& own) {
            openPopup(own);
            own.tap(kDownKey);        // A
            own.tap(kDownKey);        // More
            own.tap(0xff53);          // Right: the sub-menu, X lit
            own.tap(kDownKey);        // Y
            own.tap(kReturnKey);
        });
        display.click(screen({30, 27}));
        ASSERT_TRUE(idleUntil([&] { return listener.calls == 1; }));
    }
    EXPECT_EQ(listener.lastTag, 8);  // the sub-menu's item was chosen
    EXPECT_EQ(sub->getCurrent(), 1);

    auto* columns = add(new OptionMenu({120, 20, 190, 34}, &listener, 9));
    for (const char* entry : {"1", "2", "3", "4"}) columns->addEntry(entry);
    columns->setItemsPerColumn(2);
    idle();
    {
        InputThread input([](XDisplay& own) {
            openPopup(own);
            for (int i = 0; i < 3; ++i) own.tap(kDownKey);  // 1, 2, then 3 at the top of the second column
            own.tap(kReturnKey);
        });
        display.click(screen({130, 27}));
        ASSERT_TRUE(idleUntil([&] { return listener.calls == 2; }));
    }
    EXPECT_EQ(columns->getCurrent(), 2);
}
