// The CLAP plug-in's editor in a CLAP host on X11: embedded in the host's
// window, idled from the host's timer and from its own connection's
// descriptor, and played with real input (XTest) while audio runs, so the
// host receives the gestures and values the editor makes.
#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "ClapEditorEmbedding.h"
#include "ClapTestHost.h"
#include "SpeakerDescriptor.h"
#include "x11/XDisplay.h"

namespace {

constexpr uint32_t kTabKey = 0xff09, kReturnKey = 0xff0d;

class ClapX11Editor : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.ready()) << "no X display (DISPLAY)";
        ASSERT_NE(library.factory, nullptr) << HALVERN_CLAP_PATH;
        plugin = host.create(library);
        ASSERT_NE(plugin, nullptr);
        gui = ClapTestHost::extension<clap_plugin_gui_t>(plugin, CLAP_EXT_GUI);
        params = ClapTestHost::extension<clap_plugin_params_t>(plugin, CLAP_EXT_PARAMS);
        timers = ClapTestHost::extension<clap_plugin_timer_support_t>(plugin, CLAP_EXT_TIMER_SUPPORT);
        descriptors = ClapTestHost::extension<clap_plugin_posix_fd_support_t>(plugin, CLAP_EXT_POSIX_FD_SUPPORT);
        ASSERT_TRUE(gui && params && timers && descriptors);
        ASSERT_TRUE(plugin->activate(plugin, 44100.0, 1, 256));
        parent = display.hostWindow(200, 150, 246, 277);
        display.focus(parent);
    }
    void TearDown() override {
        stopAudio();
        if (plugin) {
            gui->destroy(plugin);
            plugin->deactivate(plugin);
            plugin->destroy(plugin);
        }
    }

    // The host's side of showing the editor, in the order hosts use.
    void openEditor() {
        clap_window_t window{};
        window.api = CLAP_WINDOW_API_X11;
        window.x11 = parent;
        embedEditor(plugin, gui, window);
        if (HasFatalFailure()) return;
        ASSERT_EQ(host.liveTimers.size(), 1u);
        ASSERT_EQ(host.liveDescriptors.size(), 1u);
        ASSERT_TRUE(idleUntil([&] { return display.viewable(editorWindow()); }));
    }

    // The host's reactor: the descriptor when it is readable, the timer on time.
    void idle() {
        for (const int fd : std::vector<int>(host.liveDescriptors)) {
            pollfd watched{fd, POLLIN, 0};
            if (poll(&watched, 1, 0) == 1) descriptors->on_fd(plugin, fd, CLAP_POSIX_FD_READ);
        }
        if (timersRun && !host.liveTimers.empty()) timers->on_timer(plugin, host.liveTimers[0]);
    }
    bool idleUntil(const std::function<bool()>& done) { return ::idleUntil([this] { idle(); }, done); }
    void idleFor(int milliseconds) {
        idleUntil([start = std::chrono::steady_clock::now(), milliseconds] {
            return std::chrono::steady_clock::now() - start > std::chrono::milliseconds(milliseconds);
        });
    }

    xcb_window_t editorWindow() { return display.childOf(parent); }
    Point at(Point where) { return display.onScreen(editorWindow(), where); }

    // What the editor sent while not processing, through a flush the host
    // makes when asked to.
    EventList flushed() {
        EventList in, out;
        if (host.flushRequests.exchange(0) > 0) params->flush(plugin, in.input(), out.output());
        return out;
    }

    // Blocks of audio on a thread of their own, as a host's audio thread;
    // what the plug-in sends goes to `fromAudio`.
    void startAudio() {
        ASSERT_TRUE(plugin->start_processing(plugin));
        running = true;
        audio = std::thread([this] {
            std::vector<float> in(256), left(256), right(256);
            float* inputs[2] = {in.data(), in.data()};
            float* outputs[2] = {left.data(), right.data()};
            clap_audio_buffer_t input{inputs, nullptr, 2, 0, 0}, output{outputs, nullptr, 2, 0, 0};
            EventList none;
            long frame = 0;
            while (running) {
                for (float& v : in) v = static_cast<float>(0.3 * std::sin(++frame * 0.03));
                const clap_process_t process = processCall(256, &input, &output, none.input(), fromAudio.output());
                plugin->process(plugin, &process);
                ++blocksDone;
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    }
    void stopAudio() {
        if (!audio.joinable()) return;
        running = false;
        audio.join();
        plugin->stop_processing(plugin);
    }

    XDisplay display;
    ClapLibrary library{HALVERN_CLAP_PATH};
    ClapTestHost host;
    const clap_plugin_t* plugin = nullptr;
    const clap_plugin_gui_t* gui = nullptr;
    const clap_plugin_params_t* params = nullptr;
    const clap_plugin_timer_support_t* timers = nullptr;
    const clap_plugin_posix_fd_support_t* descriptors = nullptr;
    xcb_window_t parent = 0;
    bool timersRun = true;
    std::thread audio;
    std::atomic<bool> running{false};
    std::atomic<long> blocksDone{0};
    EventList fromAudio;
};

}  // namespace

TEST_F(ClapX11Editor, IsEmbeddedAndGoesAwayWithItsServices) {
    openEditor();
    ASSERT_NE(editorWindow(), 0u);
    EXPECT_EQ(host.timerPeriods[0], 16u);
    EXPECT_FALSE(gui->set_size(plugin, 300, 300));
    EXPECT_TRUE(gui->set_size(plugin, 246, 277));
    uint32_t width = 500, height = 10;
    EXPECT_TRUE(gui->adjust_size(plugin, &width, &height));
    EXPECT_EQ(width, 246u);
    EXPECT_EQ(height, 277u);

    // Hidden, it is not idled; shown again, it is.
    EXPECT_TRUE(gui->hide(plugin));
    EXPECT_TRUE(host.liveTimers.empty());
    EXPECT_TRUE(gui->show(plugin));
    EXPECT_EQ(host.liveTimers.size(), 1u);

    gui->destroy(plugin);
    EXPECT_TRUE(host.liveTimers.empty());
    EXPECT_TRUE(host.liveDescriptors.empty());
    // The server takes the editor's own connection's requests in its own time.
    EXPECT_TRUE(::idleUntil([] {}, [&] { return editorWindow() == 0; }));
    gui->destroy(plugin);  // twice is harmless

    // A host with neither timers nor descriptor watching cannot idle an X11
    // editor: it is told so, and gets none.
    ClapTestHost deaf;
    deaf.offerTimers = deaf.offerDescriptors = false;
    const clap_plugin_t* other = deaf.create(library);
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(gui->is_api_supported(other, CLAP_WINDOW_API_X11, false));
    EXPECT_FALSE(gui->create(other, CLAP_WINDOW_API_X11, false));
    ASSERT_EQ(deaf.messages.size(), 1u);
    EXPECT_NE(deaf.messages[0].find("neither timer-support nor posix-fd-support"), std::string::npos)
        << deaf.messages[0];
    other->destroy(other);

    // A parent window that does not exist, or of another system, gets no editor.
    ASSERT_TRUE(gui->create(plugin, CLAP_WINDOW_API_X11, false));
    clap_window_t nowhere{};
    nowhere.api = CLAP_WINDOW_API_X11;
    nowhere.x11 = 0x7fff0001;
    EXPECT_FALSE(gui->set_parent(plugin, &nowhere));
    nowhere.api = CLAP_WINDOW_API_WIN32;
    nowhere.x11 = parent;
    EXPECT_FALSE(gui->set_parent(plugin, &nowhere));
    EXPECT_TRUE(host.liveTimers.empty());
    EXPECT_FALSE(gui->show(plugin));
}

TEST_F(ClapX11Editor, ClicksAndKeysReachTheHostAsValues) {
    openEditor();

    // The switch, handled with the descriptor alone: fast.
    timersRun = false;
    display.click(at({60, 140}));
    EventList sent;
    ASSERT_TRUE(idleUntil([&] {
        sent = flushed();
        return sent.size() > 0;
    }));
    EXPECT_EQ(sent.valuesOf(kSpeedToggle), std::vector<double>{1.0});
    timersRun = true;

    // Tab, the default speed key, in the editor's window: slow.
    display.tap(kTabKey);
    ASSERT_TRUE(idleUntil([&] {
        sent = flushed();
        return sent.size() > 0;
    }));
    EXPECT_EQ(sent.valuesOf(kSpeedToggle), std::vector<double>{0.0});

    // "30" and Enter in SLOW: the most it takes, 25.
    const Rect slowField{21, 106, 48, 118};  // SLOW's value field
    const std::vector<uint32_t> closed = display.area(editorWindow(), slowField);
    display.click(at({30, 110}));
    ASSERT_TRUE(idleUntil([&] { return display.area(editorWindow(), slowField) != closed; }));  // the entry shows
    display.type("30");
    display.tap(kReturnKey);
    ASSERT_TRUE(idleUntil([&] {
        sent = flushed();
        return !sent.valuesOf(kSlowSpeed).empty();
    }));
    EXPECT_EQ(sent.valuesOf(kSlowSpeed), std::vector<double>{25.0});
    double slow = 0;
    ASSERT_TRUE(params->get_value(plugin, kSlowSpeed, &slow));
    EXPECT_EQ(slow, 25.0);
}

// A drag while audio runs: the gesture and its values go out with the
// blocks, in order.
TEST_F(ClapX11Editor, AKnobDragIsAGestureInTheProcessedBlocks) {
    openEditor();
    startAudio();
    {
        // The gesture's begin asks the host to flush: the drag has started.
        host.flushRequests = 0;
        std::atomic<bool> turned{false};
        std::thread input = moveThenRelease(
            at({260, 60}), [&] { return host.flushRequests > 0; },
            [&] {
                double now = 0;
                turned = params->get_value(plugin, kDistortion, &now) && now > 60.0;
                return turned.load();
            });
        display.moveTo(at({213, 74}));
        display.button(1, true);
        idleUntil([&] { return turned.load(); });  // the drag loop runs inside the first idle
        input.join();
    }
    // Two more blocks carry what the drag's end left for the audio thread.
    const long blocks = blocksDone;
    idleUntil([&] { return blocksDone > blocks + 1; });
    stopAudio();
    const std::string shape = fromAudio.shape();
    ASSERT_GE(shape.size(), 6u) << shape;
    EXPECT_EQ(shape.substr(0, 4), "B4V4") << shape;
    EXPECT_EQ(shape.substr(shape.size() - 2), "E4") << shape;
    const std::vector<double> values = fromAudio.valuesOf(kDistortion);
    EXPECT_GT(values.back(), 60.0);
    double distortion = 0;
    ASSERT_TRUE(params->get_value(plugin, kDistortion, &distortion));
    EXPECT_EQ(distortion, values.back());
}

// A scanner asks whether there is an editor once, on a throw-away instance
// of a host record that offers nothing, and remembers the answer for the
// instances it runs.
TEST_F(ClapX11Editor, TheEditorIsFoundOnABareHostAndRunsOnAFullOne) {
    ClapTestHost bare;
    bare.offersNothing = true;
    const clap_plugin_t* probe = bare.create(library);
    ASSERT_NE(probe, nullptr);
    const auto* probed = ClapTestHost::extension<clap_plugin_gui_t>(probe, CLAP_EXT_GUI);
    ASSERT_NE(probed, nullptr);
    EXPECT_TRUE(probed->is_api_supported(probe, CLAP_WINDOW_API_X11, false));
    EXPECT_FALSE(probed->is_api_supported(probe, CLAP_WINDOW_API_X11, true));
    EXPECT_FALSE(probed->is_api_supported(probe, CLAP_WINDOW_API_WIN32, false));
    const char* api = nullptr;
    bool floating = true;
    EXPECT_TRUE(probed->get_preferred_api(probe, &api, &floating));
    EXPECT_STREQ(api, CLAP_WINDOW_API_X11);
    EXPECT_FALSE(floating);
    probe->destroy(probe);

    openEditor();  // the instance the host runs, on its full record
    display.click(at({60, 140}));
    ASSERT_TRUE(idleUntil([&] { return flushed().valuesOf(kSpeedToggle) == std::vector<double>{1.0}; }));
}

// A host that watches descriptors but has no timers: a timer descriptor
// of the editor's own idles it, so host changes are drawn without input.
TEST_F(ClapX11Editor, AHostWithDescriptorsOnlyStillIdlesTheEditor) {
    plugin->deactivate(plugin);
    plugin->destroy(plugin);
    host.offerTimers = false;
    plugin = host.create(library);
    ASSERT_NE(plugin, nullptr);
    ASSERT_TRUE(plugin->activate(plugin, 44100.0, 1, 256));
    clap_window_t window{};
    window.api = CLAP_WINDOW_API_X11;
    window.x11 = parent;
    embedEditor(plugin, gui, window);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(host.liveTimers.empty());
    ASSERT_EQ(host.liveDescriptors.size(), 2u);  // the display connection and the ticks
    ASSERT_TRUE(idleUntil([&] { return display.viewable(editorWindow()); }));
    const std::vector<uint32_t> before = display.pixels(editorWindow(), 246, 277);
    EventList in, out;
    in.value(0, kSlowSpeed, -25);
    params->flush(plugin, in.input(), out.output());
    EXPECT_TRUE(idleUntil([&] { return display.pixels(editorWindow(), 246, 277) != before; }));
    gui->destroy(plugin);
    EXPECT_TRUE(host.liveDescriptors.empty());
}

// A value the host sets shows in the editor.
TEST_F(ClapX11Editor, AHostChangeIsDrawn) {
    openEditor();
    const std::vector<uint32_t> before = display.pixels(editorWindow(), 246, 277);
    EventList in, out;
    in.value(0, kSlowSpeed, -25);
    params->flush(plugin, in.input(), out.output());
    EXPECT_EQ(out.size(), 0u);  // nothing echoed back
    EXPECT_TRUE(idleUntil([&] { return display.pixels(editorWindow(), 246, 277) != before; }));
}

// The host's scale sizes the editor, which draws its controls there; a new
// scale while it is open asks the host to resize, and the window follows.
TEST_F(ClapX11Editor, TheHostsScaleSizesTheEditorAndANewOneAsksForANewSize) {
    parent = display.hostWindow(100, 100, 492, 554);  // as large as the host's scale makes the editor
    clap_window_t window{};
    window.api = CLAP_WINDOW_API_X11;
    window.x11 = parent;
    embedEditor(plugin, gui, window, 2.0);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(idleUntil([&] { return display.viewable(editorWindow()); }));
    EXPECT_EQ(display.size(editorWindow()), (Point{492, 554}));
    EXPECT_TRUE(host.resizeRequests.empty());
    display.click(at({129, 286}));  // the switch at 200 %
    double fast = 0;
    ASSERT_TRUE(idleUntil([&] { return params->get_value(plugin, kSpeedToggle, &fast) && fast == 1.0; }));

    EXPECT_TRUE(gui->set_scale(plugin, 1.5));
    ASSERT_EQ(host.resizeRequests.size(), 1u);
    EXPECT_EQ(host.resizeRequests[0], (std::pair<uint32_t, uint32_t>{369, 416}));
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(gui->get_size(plugin, &width, &height));
    EXPECT_EQ(width, 369u);
    EXPECT_EQ(height, 416u);
    ASSERT_TRUE(idleUntil([&] { return editorWindow() && display.viewable(editorWindow()); }));
    EXPECT_EQ(display.size(editorWindow()), (Point{369, 416}));
    display.click(at({97, 214}));  // the switch at 150 %: 81..113 x 200..230
    ASSERT_TRUE(idleUntil([&] { return params->get_value(plugin, kSpeedToggle, &fast) && fast == 0.0; }));

    // A host that refuses keeps the editor at the size it has.
    host.acceptResize = false;
    EXPECT_TRUE(gui->set_scale(plugin, 3.0));
    ASSERT_EQ(host.resizeRequests.size(), 2u);
    ASSERT_TRUE(gui->get_size(plugin, &width, &height));
    EXPECT_EQ(width, 369u);
}

// The extended cabinet's rear panel with real input: the header's switch
// turns the editor round, the brake's switch and a typed ramp time reach the
// host as values, and the switch turns it back to the front.
TEST_F(ClapX11Editor, TheRearPanelIsPlayedWithRealInput) {
    openEditor();
    idleFor(100);  // the cabinet's frames drawn
    const Rect front{142, 171, 227, 266};  // the cabinet, on the front only
    const std::vector<uint32_t> cabinet = display.area(editorWindow(), front);
    display.click(at({220, 21}));  // the panel switch, 205..235 x 14..28
    ASSERT_TRUE(idleUntil([&] { return display.area(editorWindow(), front) != cabinet; }));

    display.click(at({168, 210}));  // the brake's switch, 158..179 x 200..220
    EventList sent;
    ASSERT_TRUE(idleUntil([&] {
        sent = flushed();
        return !sent.valuesOf(kBrake).empty();
    }));
    EXPECT_EQ(sent.valuesOf(kBrake), std::vector<double>{1.0});

    // "2.5" and Enter in the drum's DOWN field (under the knob at 147, 138).
    const Rect downField{154, 172, 181, 184};
    const std::vector<uint32_t> closed = display.area(editorWindow(), downField);
    display.click(at({167, 178}));
    ASSERT_TRUE(idleUntil([&] { return display.area(editorWindow(), downField) != closed; }));
    display.type("2.5");
    display.tap(kReturnKey);
    ASSERT_TRUE(idleUntil([&] {
        sent = flushed();
        return !sent.valuesOf(kDrumDown).empty();
    }));
    EXPECT_EQ(sent.valuesOf(kDrumDown), std::vector<double>{2.5});

    const Rect flip{205, 14, 235, 28};
    const std::vector<uint32_t> rearFlip = display.area(editorWindow(), flip);
    display.click(at({220, 21}));
    ASSERT_TRUE(idleUntil([&] { return display.area(editorWindow(), flip) != rearFlip; }));
    ASSERT_TRUE(idleUntil([&] { return display.area(editorWindow(), front) == cabinet; }));
}
