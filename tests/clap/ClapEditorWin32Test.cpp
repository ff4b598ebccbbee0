// The CLAP plug-in's editor in a CLAP host on Windows: embedded in the
// host's window, idled by a window timer when the host offers no timers and
// by the host's timer when it does, and played with real input (SendInput)
// so the host receives the gestures and values the editor makes.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "ClapEditorEmbedding.h"
#include "ClapTestHost.h"
#include "SpeakerDescriptor.h"
#include "win32/RealInput.h"

namespace {

class ClapWin32Editor : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSA hostClass{};
        // The host's window records the keys it gets.
        hostClass.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message == WM_KEYDOWN || message == WM_KEYUP)
                hostKeys.push_back((message == WM_KEYDOWN ? "+" : "-") + keyName(wParam));
            return DefWindowProcA(hwnd, message, wParam, lParam);
        };
        hostClass.hInstance = GetModuleHandleA(nullptr);
        hostClass.lpszClassName = "HalvernClapHost";
        RegisterClassA(&hostClass);
        parent = CreateWindowExA(0, "HalvernClapHost", "Halvern CLAP host", WS_POPUP | WS_VISIBLE, 60, 60, 246, 277,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(parent);
        SetFocus(parent);
    }
    static void TearDownTestSuite() { DestroyWindow(parent); }

    void open(bool hostTimers) {
        host.offerTimers = hostTimers;
        host.offerDescriptors = false;
        ASSERT_NE(library.factory, nullptr) << HALVERN_CLAP_PATH;
        plugin = host.create(library);
        ASSERT_NE(plugin, nullptr);
        gui = ClapTestHost::extension<clap_plugin_gui_t>(plugin, CLAP_EXT_GUI);
        params = ClapTestHost::extension<clap_plugin_params_t>(plugin, CLAP_EXT_PARAMS);
        timers = ClapTestHost::extension<clap_plugin_timer_support_t>(plugin, CLAP_EXT_TIMER_SUPPORT);
        ASSERT_TRUE(gui && params && timers);
        EXPECT_EQ(plugin->get_extension(plugin, CLAP_EXT_POSIX_FD_SUPPORT), nullptr);
        EXPECT_FALSE(gui->is_api_supported(plugin, CLAP_WINDOW_API_X11, false));
        clap_window_t window{};
        window.api = CLAP_WINDOW_API_WIN32;
        window.win32 = parent;
        embedEditor(plugin, gui, window);
        if (HasFatalFailure()) return;
        editorWindow = GetWindow(parent, GW_CHILD);
        ASSERT_NE(editorWindow, nullptr);
        EXPECT_EQ(host.liveTimers.size(), hostTimers ? 1u : 0u);
        run([] { return false; }, 200);
    }
    void TearDown() override {
        if (!plugin) return;
        gui->destroy(plugin);
        EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
        EXPECT_TRUE(host.liveTimers.empty());
        plugin->destroy(plugin);
    }

    // The host's loop: window messages (a window timer idles the editor
    // there) and, when it offers timers, its own timer.
    template <typename Condition>
    bool run(Condition done, DWORD milliseconds = kPatienceMs) {
        const DWORD start = GetTickCount();
        while (!done()) {
            pumpPending();
            if (!host.liveTimers.empty()) timers->on_timer(plugin, host.liveTimers[0]);
            if (GetTickCount() - start > milliseconds) return false;
            Sleep(5);
        }
        return true;
    }

    POINT onScreen(POINT where) {
        ClientToScreen(editorWindow, &where);
        return where;
    }
    void moveTo(POINT where) {
        const POINT at = onScreen(where);
        SetCursorPos(at.x, at.y);
    }

    // What the editor sent, through the flush the host makes when asked to.
    void collect() {
        EventList in;
        if (host.flushRequests.exchange(0) > 0) params->flush(plugin, in.input(), sent.output());
    }

    static std::string keyName(WPARAM key) {
        return key == VK_CONTROL ? "Control" : key == VK_SPACE ? "space" : key == VK_TAB ? "Tab" : std::string(1, static_cast<char>(key));
    }

    static inline HWND parent = nullptr;
    static inline std::vector<std::string> hostKeys;
    ClapLibrary library{HALVERN_CLAP_PATH};
    ClapTestHost host;
    const clap_plugin_t* plugin = nullptr;
    const clap_plugin_gui_t* gui = nullptr;
    const clap_plugin_params_t* params = nullptr;
    const clap_plugin_timer_support_t* timers = nullptr;
    HWND editorWindow = nullptr;
    EventList sent;
};

}  // namespace

TEST_F(ClapWin32Editor, AWindowTimerIdlesTheEditorWhenTheHostHasNoTimers) {
    open(false);
    moveTo({64, 143});
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    sendMouse(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(run([&] {
        collect();
        return sent.size() > 0;
    }));
    EXPECT_EQ(sent.valuesOf(kSpeedToggle), std::vector<double>{1.0});

    // A value the host sets is drawn at the timer's next idle.
    run([] { return false; }, 100);
    const std::vector<COLORREF> before = windowPixels(editorWindow);
    EventList in, out;
    in.value(0, kSlowSpeed, -25);
    params->flush(plugin, in.input(), out.output());
    EXPECT_TRUE(run([&] { return windowPixels(editorWindow) != before; }));
}

TEST_F(ClapWin32Editor, AKnobDragIsAGestureWithTheHostsTimer) {
    open(true);
    EXPECT_EQ(host.timerPeriods[0], 16u);
    // The gesture's begin asks the host to flush: the drag has started.
    host.flushRequests = 0;
    DragFromHostCalls knobDrag(onScreen({222, 75}), [&] { return host.flushRequests > 0; },
                               [&] {
                                   double now = 0;
                                   return params->get_value(plugin, kDistortion, &now) && now > 50.0;
                               });
    host.onFlushRequest = [&] { knobDrag.step(); };
    moveTo({213, 73});
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    run([&] {
        collect();
        return sent.shape().find("E4") != std::string::npos;
    });
    host.onFlushRequest = nullptr;
    EXPECT_TRUE(knobDrag.released());
    const std::string shape = sent.shape();
    ASSERT_GE(shape.size(), 6u) << shape;
    EXPECT_EQ(shape.substr(0, 4), "B4V4") << shape;
    EXPECT_EQ(shape.substr(shape.size() - 2), "E4") << shape;
    double distortion = 0;
    ASSERT_TRUE(params->get_value(plugin, kDistortion, &distortion));
    EXPECT_EQ(distortion, sent.valuesOf(kDistortion).back());
    EXPECT_GT(distortion, 50.0);
}

// CLAP hosts pass no keys: a click gives the editor the focus, and the speed
// key (tab, the default) reaches it there.
TEST_F(ClapWin32Editor, TheSpeedKeyWorksAfterAClick) {
    open(true);
    moveTo({10, 10});  // the background, no control
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    sendMouse(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(run([&] { return GetFocus() == editorWindow; }));
    sendKey(VK_TAB, true);
    sendKey(VK_TAB, false);
    ASSERT_TRUE(run([&] {
        collect();
        return sent.size() > 0;
    }));
    EXPECT_EQ(sent.valuesOf(kSpeedToggle), std::vector<double>{1.0});
}

// The keys the editor does not use go on to the host's window, as if the
// editor had not been clicked: a shortcut, space, their releases.
TEST_F(ClapWin32Editor, KeysTheEditorDoesNotUseReachTheHost) {
    open(true);
    moveTo({10, 10});
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    sendMouse(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(run([&] { return GetFocus() == editorWindow; }));
    hostKeys.clear();
    sendKey(VK_CONTROL, true);
    sendKey('S', true);
    sendKey('S', false);
    sendKey(VK_CONTROL, false);
    sendKey(VK_SPACE, true);
    sendKey(VK_SPACE, false);
    sendKey(VK_TAB, true);  // the speed key: the editor's
    sendKey(VK_TAB, false);
    ASSERT_TRUE(run([&] {
        collect();
        return !sent.valuesOf(kSpeedToggle).empty() && hostKeys.size() >= 6;
    }));
    EXPECT_EQ(sent.valuesOf(kSpeedToggle), std::vector<double>{1.0});
    EXPECT_EQ(hostKeys, (std::vector<std::string>{"+Control", "+S", "-S", "-Control", "+space", "-space"}));
}

// The extended cabinet's rear panel with real input: the header's switch
// turns the editor round (the same window, now without the cabinet), the
// brake's switch and a typed ramp time reach the host as values, and the
// switch turns it back.
TEST_F(ClapWin32Editor, TheRearPanelIsPlayedWithRealInput) {
    open(true);
    auto click = [&](POINT where) {
        moveTo(where);
        sendMouse(MOUSEEVENTF_LEFTDOWN);
        sendMouse(MOUSEEVENTF_LEFTUP);
    };
    auto sentValues = [&](clap_id id) {
        return run([&] {
            collect();
            return !sent.valuesOf(id).empty();
        });
    };
    // Where the front shows the cabinet's wood, the rear shows its plain plate.
    auto showsRear = [&] { return windowPixels(editorWindow)[201 * 246 + 147] == 0x221B16u; };  // 34, 27, 22
    ASSERT_FALSE(showsRear());
    click({220, 21});  // the panel switch, 205..235 x 14..28
    ASSERT_TRUE(run([&] { return showsRear(); }));
    EXPECT_EQ(GetWindow(parent, GW_CHILD), editorWindow);

    click({168, 210});  // the brake's switch, 158..179 x 200..220
    ASSERT_TRUE(sentValues(kBrake));
    EXPECT_EQ(sent.valuesOf(kBrake), std::vector<double>{1.0});

    // "2.5" and Enter in the drum's DOWN field (under the knob at 147, 138).
    click({167, 178});
    ASSERT_TRUE(run([&] { return FindWindowExA(editorWindow, nullptr, "Edit", nullptr) != nullptr; }));
    for (WORD key : {WORD('2'), WORD(VK_DECIMAL), WORD('5'), WORD(VK_RETURN)}) {
        sendKey(key, true);
        sendKey(key, false);
    }
    ASSERT_TRUE(sentValues(kDrumDown));
    EXPECT_EQ(sent.valuesOf(kDrumDown), std::vector<double>{2.5});

    click({220, 21});
    ASSERT_TRUE(run([&] { return !showsRear(); }));
}
