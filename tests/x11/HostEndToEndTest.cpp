// A small Linux host: loads the built Halvern.so through its entry point,
// embeds its editor in an X11 window of its own, processes audio on a
// second thread, idles the editor on this one, and plays it with real input.
#include <gtest/gtest.h>
#include <dirent.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "Frame.h"
#include "PluginLibrary.h"
#include "RasterPlatform.h"
#include "RecordingHost.h"
#include "SpeakerEditor.h"
#include "SpeakerPlugin.h"
#include "VstEditor.h"
#include "XDisplay.h"

namespace {

constexpr uint32_t kReturnKey = 0xff0d, kDownKey = 0xff54, kTabKey = 0xff09;

int openDescriptors() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) ++count;
        closedir(dir);
    }
    return count;
}

class LinuxHost : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.ready()) << "no X display (DISPLAY)";
        ASSERT_TRUE(library.loaded()) << HALVERN_PLUGIN_PATH;
        effect = library.entry("VSTPluginMain")(RecordingHost::callback);
        ASSERT_NE(effect, nullptr);
        dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        dispatch(effSetBlockSize, 0, 256);
        dispatch(effMainsChanged, 0, 1);
        parent = display.hostWindow(200, 150, 246, 277);
        display.focus(parent);
    }
    void TearDown() override {
        stopAudio();
        if (effect) dispatch(effClose);
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    void* parentHandle() { return reinterpret_cast<void*>(static_cast<uintptr_t>(parent)); }
    // The editor's window: the one child of the host's.
    xcb_window_t editorWindow() { return display.childOf(parent); }
    void idle() { dispatch(effEditIdle); }
    bool idleUntil(const std::function<bool()>& done) { return ::idleUntil([this] { idle(); }, done); }
    void idleFor(int milliseconds) {
        idleUntil([start = std::chrono::steady_clock::now(), milliseconds] {
            return std::chrono::steady_clock::now() - start > std::chrono::milliseconds(milliseconds);
        });
    }
    Point at(Point where) { return display.onScreen(editorWindow(), where); }
    std::vector<HostCall> automation() { return host.callsOf(audioMasterAutomate); }

    void startAudio() {
        running = true;
        audio = std::thread([this] {
            std::vector<float> in(256), left(256), right(256);
            long frame = 0;
            while (running) {
                for (float& v : in) v = static_cast<float>(0.3 * std::sin(++frame * 0.03));
                float* inputs[2] = {in.data(), in.data()};
                float* outputs[2] = {left.data(), right.data()};
                effect->processReplacing(effect, inputs, outputs, 256);
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    }
    void stopAudio() {
        running = false;
        if (audio.joinable()) audio.join();
    }

    XDisplay display;
    PluginLibrary library{HALVERN_PLUGIN_PATH};
    RecordingHost host;
    AEffect* effect = nullptr;
    xcb_window_t parent = 0;
    std::thread audio;
    std::atomic<bool> running{false};
};

}  // namespace

TEST_F(LinuxHost, EditorShowsWhatTheHeadlessBackendDraws) {
    EXPECT_EQ(effect->flags & effFlagsHasEditor, effFlagsHasEditor);
    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right, 246);
    EXPECT_EQ(rect->bottom, 277);
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, parentHandle()), 1);
    ASSERT_NE(editorWindow(), 0u);

    // The same editor at the same settings on the headless backend.
    RasterPlatform raster;
    SpeakerPlugin reference(RecordingHost::callback, false);
    SpeakerEditor* editor = &(new VstEditor(&reference, &raster))->speakerEditor();  // the effect deletes it
    int token = 0;
    editor->open(&token);
    raster.paintNow(editor->getFrame()->getWindow());
    editor->idle();
    editor->idle();
    const RasterImage& expected = raster.pixels(editor->getFrame()->getWindow());
    std::vector<uint32_t> want;
    for (int y = 0; y < 277; ++y)
        for (int x = 0; x < 246; ++x) {
            const Color c = expected.pixel(x, y);
            want.push_back((uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue);
        }
    // Shown once the editor has drawn and uploaded it all.
    std::vector<uint32_t> shown;
    idleUntil([&] { return (shown = display.pixels(editorWindow(), 246, 277)) == want; });
    ASSERT_EQ(shown.size(), want.size());
    int differences = 0;
    for (size_t i = 0; i < want.size(); ++i)
        if (shown[i] != want[i] && ++differences <= 5) ADD_FAILURE() << "pixel " << i % 246 << "," << i / 246;
    EXPECT_EQ(differences, 0);
    dispatch(effEditClose);
    EXPECT_EQ(editorWindow(), 0u);
}

// A VST 2 host gives no factor: the editor takes the screen's from the X
// resources' Xft.dpi, or from GDK_SCALE where that is set, and is as large
// as it says before and after it opens; a click reaches the scaled switch.
TEST_F(LinuxHost, TheEditorsSizeFollowsXftDpiAndGdkScale) {
    struct Restore {
        XDisplay& display;
        ~Restore() {
            display.setResources("");
            unsetenv("GDK_SCALE");
        }
    } restore{display};
    auto reportedSize = [&] {
        ERect* rect = nullptr;
        EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
        return rect ? Point{rect->right, rect->bottom} : Point{};
    };
    display.setResources("Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n");
    EXPECT_EQ(reportedSize(), (Point{492, 554}));
    parent = display.hostWindow(100, 100, 492, 554);  // the host's window, made as large as the editor says
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, parentHandle()), 1);
    EXPECT_EQ(display.size(editorWindow()), (Point{492, 554}));
    EXPECT_EQ(reportedSize(), (Point{492, 554}));
    ASSERT_TRUE(idleUntil([&] { return display.viewable(editorWindow()); }));
    display.click(at({129, 286}));  // the switch, drawn at 108..150 x 266..306
    ASSERT_TRUE(idleUntil([&] { return effect->getParameter(effect, kSpeedToggle) == 1.0f; }));
    dispatch(effEditClose);

    display.setResources("Xft.dpi:\t144\n");
    EXPECT_EQ(reportedSize(), (Point{369, 416}));
    display.setResources("Xft.dpi:\t96\n");
    EXPECT_EQ(reportedSize(), (Point{246, 277}));
    setenv("GDK_SCALE", "3", 1);
    EXPECT_EQ(reportedSize(), (Point{738, 831}));
    setenv("GDK_SCALE", "nonsense", 1);
    EXPECT_EQ(reportedSize(), (Point{246, 277}));
    unsetenv("GDK_SCALE");
    display.setResources("");
    EXPECT_EQ(reportedSize(), (Point{246, 277}));
}

TEST_F(LinuxHost, RealInputPlaysTheEditorWhileAudioRuns) {
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, parentHandle()), 1);
    ASSERT_TRUE(idleUntil([&] { return display.viewable(editorWindow()); }));
    startAudio();

    // The switch: fast.
    display.click(at({60, 140}));
    ASSERT_TRUE(idleUntil([&] { return automation().size() == 1; }));
    EXPECT_EQ(automation()[0].index, kSpeedToggle);
    EXPECT_EQ(automation()[0].opt, 1.0f);

    // Tab, the default speed key, in the editor's window (the click gave it the focus): slow.
    display.tap(kTabKey);
    ASSERT_TRUE(idleUntil([&] { return automation().size() == 2; }));
    EXPECT_EQ(automation()[1].index, kSpeedToggle);
    EXPECT_EQ(automation()[1].opt, 0.0f);

    // A drag on DISTORTION, bracketed for the host.
    {
        std::atomic<int> begun{0};
        host.reaction = [&](VstInt32 opcode) { begun += opcode == audioMasterBeginEdit; };
        std::thread input = moveThenRelease(
            at({260, 60}), [&] { return begun > 0; },
            [&] { return effect->getParameter(effect, kDistortion) > 0.6f; });
        display.moveTo(at({213, 74}));
        display.button(1, true);
        idleUntil([&] { return !host.callsOf(audioMasterEndEdit).empty(); });
        input.join();
        host.reaction = nullptr;
    }
    ASSERT_EQ(host.callsOf(audioMasterBeginEdit).size(), 1u);
    ASSERT_EQ(host.callsOf(audioMasterEndEdit).size(), 1u);
    EXPECT_EQ(host.callsOf(audioMasterBeginEdit)[0].index, kDistortion);
    EXPECT_EQ(automation().back().index, kDistortion);
    EXPECT_GT(effect->getParameter(effect, kDistortion), 0.6f);

    // CTRL64 from the speed-key menu, with the keyboard.
    {
        std::thread input([] {
            XDisplay own;
            openPopup(own);
            for (int i = 0; i < 4; ++i) own.tap(kDownKey);  // SPACE, TAB, CTRL1, CTRL64
            own.tap(kReturnKey);
        });
        display.click(at({170, 142}));
        idleUntil([&] { return automation().back().index == kSpeedKey; });
        input.join();
    }
    EXPECT_EQ(automation().back().index, kSpeedKey);
    EXPECT_FLOAT_EQ(automation().back().opt, 0.6f);

    // "30" and Enter in SLOW: the most it takes, 25.
    const Rect slowField{21, 106, 48, 118};
    const std::vector<uint32_t> closed = display.area(editorWindow(), slowField);
    display.click(at({30, 110}));
    ASSERT_TRUE(idleUntil([&] { return display.area(editorWindow(), slowField) != closed; }));  // the entry shows
    display.type("30");
    display.tap(kReturnKey);
    ASSERT_TRUE(idleUntil([&] { return automation().back().index == kSlowSpeed; }));
    EXPECT_EQ(automation().back().opt, 1.0f);
    char text[64] = "";
    dispatch(effGetParamDisplay, kSlowSpeed, 0, text);
    EXPECT_STREQ(text, "25");
    stopAudio();
    dispatch(effEditClose);
}

// Two effects with open editors, each in its own host window.
TEST_F(LinuxHost, TwoEditorsWorkIndependently) {
    AEffect* second = library.entry("VSTPluginMain")(RecordingHost::callback);
    ASSERT_NE(second, nullptr);
    const xcb_window_t otherParent = display.hostWindow(600, 150, 246, 277);
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, parentHandle()), 1);
    ASSERT_EQ(second->dispatcher(second, effEditOpen, 0, 0,
                                 reinterpret_cast<void*>(static_cast<uintptr_t>(otherParent)), 0.0f),
              1);
    auto idleBoth = [&] {
        idle();
        second->dispatcher(second, effEditIdle, 0, 0, nullptr, 0.0f);
    };
    const xcb_window_t otherEditor = display.childOf(otherParent);
    ASSERT_TRUE(::idleUntil(idleBoth, [&] { return display.viewable(editorWindow()) && display.viewable(otherEditor); }));
    display.click(display.onScreen(otherParent, {60, 140}));
    ASSERT_TRUE(::idleUntil(idleBoth, [&] { return second->getParameter(second, kSpeedToggle) == 1.0f; }));
    EXPECT_EQ(effect->getParameter(effect, kSpeedToggle), 0.0f);
    second->dispatcher(second, effEditClose, 0, 0, nullptr, 0.0f);
    second->dispatcher(second, effClose, 0, 0, nullptr, 0.0f);
    dispatch(effEditClose);
}

// Opening and closing the editor leaves no connection, window or memory behind.
TEST_F(LinuxHost, OpeningAndClosingTwoHundredTimesLeaksNothing) {
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, parentHandle()), 1);
    idle();
    dispatch(effEditClose);
    const int descriptors = openDescriptors(), windows = display.windowCount();
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(dispatch(effEditOpen, 0, 0, parentHandle()), 1);
        idle();
        dispatch(effEditClose);
    }
    display.sync();
    EXPECT_EQ(openDescriptors(), descriptors);
    EXPECT_EQ(display.windowCount(), windows);
}

// A host that destroys its window before it closes the editor: the errors
// that follow come back on the editor's own connection and end nothing.
TEST_F(LinuxHost, AParentDestroyedBeforeTheEditorClosesEndsNothing) {
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, parentHandle()), 1);
    idleFor(50);
    xcb_destroy_window(display.xcb, parent);
    display.sync();
    idleFor(100);  // the editor hears its window went, and draws nothing more
    display.click({300, 250});
    idleFor(50);
    dispatch(effEditClose);
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, parentHandle()), 1);  // into a window that is gone: nothing shown
    idleFor(50);
    dispatch(effEditClose);
    parent = display.hostWindow(200, 150, 246, 277);
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, parentHandle()), 1);  // and a new window works
    idleFor(50);
    EXPECT_NE(editorWindow(), 0u);
    dispatch(effEditClose);
}

// After a click on the editor, the keys it uses (the speed key, typing into
// a value field) work there, and every other key reaches the host's window
// as if the editor had not been clicked: shortcuts, space, their releases.
TEST_F(LinuxHost, KeysTheEditorDoesNotUseReachTheHost) {
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, parentHandle()), 1);
    ASSERT_TRUE(idleUntil([&] { return display.viewable(editorWindow()); }));
    display.keysAt(parent);  // what came before
    display.click(at({10, 10}));  // the panel, no control
    ASSERT_TRUE(idleUntil([&] { return display.focused() == editorWindow(); }));

    constexpr uint32_t kControlKey = 0xffe3;
    display.key(kControlKey, true);
    display.tap('s');
    display.key(kControlKey, false);
    display.tap(' ');     // not the speed key (that is TAB)
    display.tap(kTabKey);  // the speed key: the editor's
    ASSERT_TRUE(idleUntil([&] { return automation().size() == 1; }));
    EXPECT_EQ(automation()[0].index, kSpeedToggle);
    std::vector<std::string> keys;
    const std::vector<std::string> expected = {"+Control", "+^s", "-^s", "-^Control", "+space", "-space"};
    EXPECT_TRUE(idleUntil([&] {
        for (const std::string& k : display.keysAt(parent)) keys.push_back(k);
        return keys.size() >= expected.size();
    }));
    EXPECT_EQ(keys, expected);

    // Typing into a value field stays the editor's.
    const Rect slowField{21, 106, 48, 118};
    const std::vector<uint32_t> closed = display.area(editorWindow(), slowField);
    display.click(at({30, 110}));
    ASSERT_TRUE(idleUntil([&] { return display.area(editorWindow(), slowField) != closed; }));
    display.type("30");
    display.tap(kReturnKey);
    ASSERT_TRUE(idleUntil([&] { return automation().back().index == kSlowSpeed; }));
    display.tap('x');  // the entry is closed: the host's again
    EXPECT_TRUE(idleUntil([&] {
        for (const std::string& k : display.keysAt(parent)) keys.push_back(k);
        return keys.size() >= expected.size() + 2;
    }));
    EXPECT_EQ(std::vector<std::string>(keys.begin() + static_cast<long>(expected.size()), keys.end()),
              (std::vector<std::string>{"+x", "-x"}));
    dispatch(effEditClose);
}
