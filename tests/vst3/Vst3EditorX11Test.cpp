// The VST 3 editor on X11 in a host of our own: probed as hosts probe it (views
// made and dropped), embedded in the host's window, idled by the host's run
// loop (its timer and the editor's descriptor), and played with real input
// (XTest) and the keys a host passes on.
#include <gtest/gtest.h>
#include <poll.h>

#include <algorithm>
#include <cstdint>

#include "SpeakerDescriptor.h"
#include "Vst3TestHost.h"
#include "x11/XDisplay.h"

namespace {

// The host's run loop: what the view registers, run by the test.
class RunLoop : public HostObject<vst3::IRunLoop> {
public:
    std::vector<std::pair<vst3::IEventHandler*, int>> handlers;
    std::vector<std::pair<vst3::ITimerHandler*, uint64_t>> timers;

    vst3::tresult VST3_CALL queryInterface(const vst3::TUID iid, void** object) override {
        return answer(iid, vst3::kIRunLoopIid, object);
    }
    vst3::tresult VST3_CALL registerEventHandler(vst3::IEventHandler* handler, int fd) override {
        handlers.push_back({handler, fd});
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL unregisterEventHandler(vst3::IEventHandler* handler) override {
        handlers.erase(std::remove_if(handlers.begin(), handlers.end(), [&](auto& h) { return h.first == handler; }),
                       handlers.end());
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL registerTimer(vst3::ITimerHandler* handler, uint64_t milliseconds) override {
        timers.push_back({handler, milliseconds});
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL unregisterTimer(vst3::ITimerHandler* handler) override {
        timers.erase(std::remove_if(timers.begin(), timers.end(), [&](auto& t) { return t.first == handler; }),
                     timers.end());
        return vst3::kResultOk;
    }
    void run() {
        for (const auto& h : std::vector<std::pair<vst3::IEventHandler*, int>>(handlers)) {
            pollfd watched{h.second, POLLIN, 0};
            if (poll(&watched, 1, 0) == 1) h.first->onFDIsSet(h.second);
        }
        for (const auto& t : std::vector<std::pair<vst3::ITimerHandler*, uint64_t>>(timers)) t.first->onTimer();
    }
};

// The view's frame, which offers the run loop and records the view's
// requests for a new size, answering them with acceptResize.
class Frame : public HostObject<vst3::IPlugFrame> {
public:
    RunLoop loop;
    std::vector<vst3::ViewRect> resizes;
    bool acceptResize = true;
    bool resizeLater = false;  // accept, and call onSize only when the test says
    vst3::tresult VST3_CALL queryInterface(const vst3::TUID iid, void** object) override {
        if (object && vst3::kIRunLoopIid == iid) {
            loop.addRef();
            *object = &loop;
            return vst3::kResultOk;
        }
        return answer(iid, vst3::kIPlugFrameIid, object);
    }
    vst3::tresult VST3_CALL resizeView(vst3::IPlugView* view, vst3::ViewRect* size) override {
        resizes.push_back(*size);
        if (!acceptResize) return vst3::kResultFalse;
        return resizeLater ? vst3::kResultTrue : view->onSize(size);
    }
};

class Vst3X11Editor : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.ready()) << "no X display (DISPLAY)";
        ASSERT_NE(module.factory, nullptr) << HALVERN_VST3_MODULE;
        ASSERT_NE(plugin.controller, nullptr);
        parent = display.hostWindow(200, 150, 246, 277);
        display.focus(parent);
    }

    bool idleUntil(const std::function<bool()>& done) { return ::idleUntil([this] { frame.loop.run(); }, done); }
    xcb_window_t editorWindow() { return display.childOf(parent); }
    Point at(Point where) { return display.onScreen(editorWindow(), where); }

    XDisplay display;
    Vst3Module module{HALVERN_VST3_MODULE};
    ControlledComponent plugin{module};
    vst3::IEditController*& controller = plugin.controller;
    ComponentHandler& handler = plugin.handler;
    Frame frame;
    xcb_window_t parent = 0;
};

}  // namespace

TEST_F(Vst3X11Editor, IsProbedEmbeddedPlayedAndRemoved) {
    // Probing: views made, asked and dropped before one is attached.
    for (int i = 0; i < 3; ++i) {
        vst3::IPlugView* probe = controller->createView(vst3::kViewTypeEditor);
        ASSERT_NE(probe, nullptr);
        EXPECT_EQ(probe->isPlatformTypeSupported(vst3::kPlatformTypeX11EmbedWindowID), vst3::kResultTrue);
        EXPECT_NE(probe->isPlatformTypeSupported(vst3::kPlatformTypeHWND), vst3::kResultTrue);
        probe->release();
    }
    EXPECT_EQ(controller->createView("other"), nullptr);

    vst3::IPlugView* view = controller->createView(vst3::kViewTypeEditor);
    ASSERT_NE(view, nullptr);
    vst3::ViewRect size{};
    ASSERT_EQ(view->getSize(&size), vst3::kResultOk);
    EXPECT_EQ(size.right - size.left, 246);
    EXPECT_EQ(size.bottom - size.top, 277);
    EXPECT_NE(view->canResize(), vst3::kResultTrue);

    // Without a frame that offers a run loop nothing could idle it.
    EXPECT_NE(view->attached(reinterpret_cast<void*>(static_cast<uintptr_t>(parent)),
                             vst3::kPlatformTypeX11EmbedWindowID),
              vst3::kResultOk);
    view->setFrame(&frame);
    ASSERT_EQ(view->attached(reinterpret_cast<void*>(static_cast<uintptr_t>(parent)),
                             vst3::kPlatformTypeX11EmbedWindowID),
              vst3::kResultOk);
    ASSERT_EQ(frame.loop.timers.size(), 1u);
    EXPECT_EQ(frame.loop.timers[0].second, 16u);
    ASSERT_EQ(frame.loop.handlers.size(), 1u);
    ASSERT_TRUE(idleUntil([&] { return display.viewable(editorWindow()); }));

    // A second view cannot take the editor while the first holds it.
    vst3::IPlugView* second = controller->createView(vst3::kViewTypeEditor);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second->attached(reinterpret_cast<void*>(static_cast<uintptr_t>(parent)),
                               vst3::kPlatformTypeX11EmbedWindowID),
              vst3::kResultOk);
    second->release();

    // The switch, clicked: fast, as an edit the host hears.
    display.click(at({60, 140}));
    ASSERT_TRUE(idleUntil([&] { return handler.performed(kSpeedToggle, 1.0); }));
    // The click gave the editor the keyboard: Tab, the default speed key,
    // typed there, switches to slow.
    handler.edits.clear();
    display.tap(0xff09);
    ASSERT_TRUE(idleUntil([&] { return handler.performed(kSpeedToggle, 0.0); }));
    // With the keyboard back at the host's window, the host passes the keys
    // on: Tab again, fast. A key the editor does not use goes back to the host.
    display.focus(parent);
    ASSERT_TRUE(idleUntil([&] { return view->onKeyDown(u'\t', vst3::KEY_TAB, 0) == vst3::kResultTrue; }));
    EXPECT_TRUE(handler.performed(kSpeedToggle, 1.0));
    EXPECT_NE(view->onKeyDown(u'x', 0, 0), vst3::kResultTrue);
    handler.edits.clear();
    EXPECT_NE(view->onKeyDown(u'\t', vst3::KEY_TAB, vst3::kCommandKey), vst3::kResultTrue);  // the host's shortcut
    EXPECT_TRUE(handler.edits.empty());

    ASSERT_EQ(view->removed(), vst3::kResultOk);
    EXPECT_TRUE(frame.loop.timers.empty());
    EXPECT_TRUE(frame.loop.handlers.empty());
    EXPECT_TRUE(::idleUntil([] {}, [&] { return editorWindow() == 0; }));
    view->setFrame(nullptr);
    view->release();
}

// The host's content scale sizes the view, which draws its controls there;
// a new scale while it is attached asks the frame to resize the view.
TEST_F(Vst3X11Editor, TheContentScaleSizesTheViewAndANewOneResizesIt) {
    vst3::IPlugView* view = controller->createView(vst3::kViewTypeEditor);
    ASSERT_NE(view, nullptr);
    vst3::IPlugViewContentScaleSupport* scaling = nullptr;
    ASSERT_EQ(view->queryInterface(vst3::kIPlugViewContentScaleSupportIid.bytes, reinterpret_cast<void**>(&scaling)),
              vst3::kResultOk);
    EXPECT_EQ(scaling->setContentScaleFactor(2.0f), vst3::kResultTrue);
    vst3::ViewRect size{};
    ASSERT_EQ(view->getSize(&size), vst3::kResultOk);
    EXPECT_EQ(size.right, 492);
    EXPECT_EQ(size.bottom, 554);
    parent = display.hostWindow(100, 100, 492, 554);
    view->setFrame(&frame);
    ASSERT_EQ(view->attached(reinterpret_cast<void*>(static_cast<uintptr_t>(parent)),
                             vst3::kPlatformTypeX11EmbedWindowID),
              vst3::kResultOk);
    ASSERT_TRUE(idleUntil([&] { return display.viewable(editorWindow()); }));
    EXPECT_EQ(display.size(editorWindow()), (Point{492, 554}));
    EXPECT_TRUE(frame.resizes.empty());
    display.click(at({129, 286}));  // the switch at 200 %
    ASSERT_TRUE(idleUntil([&] { return handler.performed(kSpeedToggle, 1.0); }));

    EXPECT_EQ(scaling->setContentScaleFactor(1.5f), vst3::kResultTrue);
    ASSERT_EQ(frame.resizes.size(), 1u);
    EXPECT_EQ(frame.resizes[0].right, 369);
    EXPECT_EQ(frame.resizes[0].bottom, 416);
    ASSERT_TRUE(idleUntil([&] { return display.size(editorWindow()) == Point{369, 416}; }));
    ASSERT_EQ(view->getSize(&size), vst3::kResultOk);
    EXPECT_EQ(size.right, 369);
    display.click(at({97, 214}));  // the switch at 150 %
    ASSERT_TRUE(idleUntil([&] { return handler.performed(kSpeedToggle, 0.0); }));

    // A frame that gives the size later: the view answers it at once, and
    // its window takes it only in onSize.
    frame.resizeLater = true;
    EXPECT_EQ(scaling->setContentScaleFactor(1.0f), vst3::kResultTrue);
    ASSERT_EQ(frame.resizes.size(), 2u);
    ASSERT_EQ(view->getSize(&size), vst3::kResultOk);
    EXPECT_EQ(size.right, 246);
    for (int i = 0; i < 20; ++i) frame.loop.run();
    EXPECT_EQ(display.size(editorWindow()), (Point{369, 416}));
    EXPECT_EQ(view->onSize(&frame.resizes[1]), vst3::kResultOk);
    ASSERT_TRUE(idleUntil([&] { return display.size(editorWindow()) == Point{246, 277}; }));
    frame.resizeLater = false;
    EXPECT_EQ(scaling->setContentScaleFactor(1.5f), vst3::kResultTrue);
    ASSERT_TRUE(idleUntil([&] { return display.size(editorWindow()) == Point{369, 416}; }));
    frame.resizes.erase(frame.resizes.begin() + 1, frame.resizes.end());

    // A frame that refuses keeps the view at the size it has.
    frame.acceptResize = false;
    EXPECT_EQ(scaling->setContentScaleFactor(3.0f), vst3::kResultTrue);
    EXPECT_EQ(frame.resizes.size(), 2u);
    ASSERT_EQ(view->getSize(&size), vst3::kResultOk);
    EXPECT_EQ(size.right, 369);

    scaling->release();
    ASSERT_EQ(view->removed(), vst3::kResultOk);
    view->setFrame(nullptr);
    view->release();
}
