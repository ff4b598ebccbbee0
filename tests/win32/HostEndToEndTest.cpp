// A small Windows host: loads Halvern.dll with LoadLibrary, creates the
// effect through `main`, opens its editor in a window of its own and keeps
// calling effEditIdle while it processes audio. Real mouse and keyboard
// input turn a knob, flip the switch, pick a menu entry and type a value.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "PluginLibrary.h"
#include "RealInput.h"
#include "RecordingHost.h"

namespace {

std::atomic<int> beginEdits{0};
DragFromHostCalls* drag = nullptr;  // stepped from the calls the editor makes on the test's thread

VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    if (opcode == audioMasterBeginEdit) ++beginEdits;
    const VstIntPtr answer = RecordingHost::callback(effect, opcode, index, value, ptr, opt);
    if (drag && (opcode == audioMasterIdle || opcode == audioMasterAutomate)) drag->step();
    return answer;
}

// Counts the live objects of a handle table without GetGuiResources (which
// Wine does not count): after `n` new handles the highest index in use is
// the number of live objects plus n, whatever the order of the free slots.
template <typename Make, typename Free>
long liveObjects(Make make, Free free, int indexStep) {
    constexpr int n = 4000;
    std::vector<HANDLE> made;
    long highest = 0;
    for (int i = 0; i < n; ++i) {
        HANDLE h = make();
        highest = std::max(highest, static_cast<long>((reinterpret_cast<uintptr_t>(h) & 0xFFFF) / indexStep));
        made.push_back(h);
    }
    for (HANDLE h : made) free(h);
    return highest - n;
}

long liveGdiObjects() {
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted) return static_cast<long>(counted);
    return liveObjects([] { return static_cast<HANDLE>(CreateSolidBrush(RGB(1, 2, 3))); },
                       [](HANDLE h) { DeleteObject(static_cast<HGDIOBJ>(h)); }, 1);
}

long liveUserObjects() {
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (counted) return static_cast<long>(counted);
    return liveObjects([] { return static_cast<HANDLE>(CreatePopupMenu()); },
                       [](HANDLE h) { DestroyMenu(static_cast<HMENU>(h)); }, 2);
}

class EndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        library = new PluginLibrary("Halvern.dll");
        WNDCLASSA hostClass{};
        hostClass.lpfnWndProc = DefWindowProcA;
        hostClass.hInstance = GetModuleHandleA(nullptr);
        hostClass.lpszClassName = "HalvernHost";
        RegisterClassA(&hostClass);
        host = CreateWindowExA(0, "HalvernHost", "Halvern host", WS_POPUP | WS_VISIBLE, 60, 60, 246, 277, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(host);
        SetFocus(host);
    }
    static void TearDownTestSuite() {
        DestroyWindow(host);
        delete library;
    }

    void SetUp() override {
        ASSERT_TRUE(library->loaded());
        PluginEntry entry = library->entry("main");
        ASSERT_NE(entry, nullptr);
        effect = entry(hostCallback);
        ASSERT_NE(effect, nullptr);
        ASSERT_EQ(effect->flags & effFlagsHasEditor, effFlagsHasEditor);
        dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        dispatch(effMainsChanged, 0, 1);
        ERect* rect = nullptr;
        ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
        SetWindowPos(host, nullptr, 0, 0, rect->right - rect->left, rect->bottom - rect->top, SWP_NOMOVE | SWP_NOZORDER);
        ASSERT_EQ(dispatch(effEditOpen, 0, 0, host), 1);
        editorWindow = GetWindow(host, GW_CHILD);
        ASSERT_NE(editorWindow, nullptr);
        run([] { return false; }, 200);
    }

    void TearDown() override {
        dispatch(effEditClose);
        EXPECT_EQ(GetWindow(host, GW_CHILD), nullptr);
        EXPECT_EQ(dispatch(effClose), 1);
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    // The host's loop: window messages, a block of audio, the editor's idle;
    // until `done` holds or `milliseconds` pass.
    template <typename Condition>
    bool run(Condition done, DWORD milliseconds = kPatienceMs) {
        std::vector<float> in(512), left(512), right(512);
        float* inputs[2] = {in.data(), in.data()};
        float* outputs[2] = {left.data(), right.data()};
        const DWORD start = GetTickCount();
        while (!done()) {
            pumpPending();
            for (int i = 0; i < 512; ++i) in[i] = 0.3f * static_cast<float>(std::sin((blocks * 512 + i) * 0.05));
            ++blocks;
            effect->processReplacing(effect, inputs, outputs, 512);
            dispatch(effEditIdle);
            if (GetTickCount() - start > milliseconds) return false;
            Sleep(2);
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

    // Presses the left button at an editor point, runs the host until
    // `done`, then lets the button go.
    template <typename Condition>
    bool pressUntil(POINT where, Condition done) {
        moveTo(where);
        sendMouse(MOUSEEVENTF_LEFTDOWN);
        const bool reached = run(done);
        sendMouse(MOUSEEVENTF_LEFTUP);
        run([] { return false; }, 50);
        return reached;
    }

    size_t automated(VstInt32 index) {
        size_t count = 0;
        for (const HostCall& call : recorder.callsOf(audioMasterAutomate)) count += call.index == index;
        return count;
    }

    // The editor window's pixels, as a screenshot would show them.
    std::vector<COLORREF> screenshot(const char* file) {
        BITMAPINFOHEADER info;
        const std::vector<COLORREF> pixels = windowPixels(editorWindow, &info);
        // Kept next to the test as a 32-bit BMP for a look afterwards.
        if (FILE* out = std::fopen(file, "wb")) {
            BITMAPFILEHEADER header{0x4D42, static_cast<DWORD>(54 + pixels.size() * 4), 0, 0, 54};
            std::fwrite(&header, sizeof header, 1, out);
            std::fwrite(&info, sizeof info, 1, out);
            std::fwrite(pixels.data(), 4, pixels.size(), out);
            std::fclose(out);
        }
        return pixels;
    }

    static inline PluginLibrary* library = nullptr;
    static inline HWND host = nullptr;
    RecordingHost recorder;
    AEffect* effect = nullptr;
    HWND editorWindow = nullptr;
    long blocks = 0;
};

}  // namespace

TEST_F(EndToEnd, SwitchKnobMenuAndTypedValueThroughRealInput) {
    // The switch: fast.
    ASSERT_TRUE(pressUntil({64, 143}, [&] { return automated(0) == 1; }));
    EXPECT_EQ(effect->getParameter(effect, 0), 1.0f);

    // The DISTORTION knob: pressed at its top, dragged a little right and let go.
    beginEdits = 0;
    DragFromHostCalls knobDrag(onScreen({222, 75}), [] { return beginEdits > 0; },
                               [&] { return effect->getParameter(effect, 4) > 0.5f; });
    drag = &knobDrag;
    moveTo({213, 73});
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    run([&] { return !recorder.callsOf(audioMasterEndEdit).empty(); });
    drag = nullptr;
    EXPECT_TRUE(knobDrag.released());
    ASSERT_EQ(recorder.callsOf(audioMasterBeginEdit).size(), 1u);
    ASSERT_EQ(recorder.callsOf(audioMasterEndEdit).size(), 1u);
    EXPECT_EQ(recorder.callsOf(audioMasterBeginEdit)[0].index, 4);
    EXPECT_GE(automated(4), 1u);
    const float distortion = effect->getParameter(effect, 4);
    EXPECT_GT(distortion, 0.5f);  // right of the top: more than half
    EXPECT_LT(distortion, 0.6f);

    // The SPEED HOTKEY menu: SPACE, picked with the mouse.
    {
        PopupChooser chooser(0);
        moveTo({182, 143});
        sendMouse(MOUSEEVENTF_LEFTDOWN);
        run([&] { return automated(7) == 1; });
    }
    EXPECT_EQ(automated(7), 1u);
    EXPECT_EQ(effect->getParameter(effect, 7), 0.0f);
    char text[64] = "";
    dispatch(effGetParamDisplay, 7, 0, text);
    EXPECT_STREQ(text, "SPACE");

    // The SLOW field: "30" typed, Enter.
    ASSERT_TRUE(pressUntil({34, 112}, [&] { return FindWindowExA(editorWindow, nullptr, "Edit", nullptr) != nullptr; }));
    for (WORD key : {WORD('3'), WORD('0'), WORD(VK_RETURN)}) {
        sendKey(key, true);
        sendKey(key, false);
    }
    ASSERT_TRUE(run([&] { return automated(1) == 1; }));
    EXPECT_EQ(effect->getParameter(effect, 1), 1.0f);
    dispatch(effGetParamDisplay, 1, 0, text);
    EXPECT_STREQ(text, "25");

    // The space key the host passes on now toggles the speed back to slow.
    EXPECT_EQ(dispatch(effEditKeyDown, 0, 7), 1);
    EXPECT_EQ(effect->getParameter(effect, 0), 0.0f);
}

TEST_F(EndToEnd, CabinetAnimatesWhileAudioRuns) {
    effect->setParameter(effect, 0, 1.0f);  // fast
    // Counted in blocks, not time: a busy machine runs fewer of them.
    const auto runBlocks = [this](long count) { run([&, until = blocks + count] { return blocks >= until; }); };
    runBlocks(35);
    const std::vector<COLORREF> first = screenshot("halvern-editor-1.bmp");
    runBlocks(20);
    const std::vector<COLORREF> second = screenshot("halvern-editor-2.bmp");
    ASSERT_EQ(first.size(), 246u * 277u);
    int cabinetChanges = 0, elsewhere = 0;
    for (int y = 0; y < 277; ++y)
        for (int x = 0; x < 246; ++x) {
            const bool differs = first[y * 246 + x] != second[y * 246 + x];
            const bool inCabinet = x >= 142 && x < 227 && y >= 171 && y < 266;
            (inCabinet ? cabinetChanges : elsewhere) += differs;
        }
    EXPECT_GT(cabinetChanges, 20);
    EXPECT_EQ(elsewhere, 0);
}

TEST_F(EndToEnd, OpeningAndClosingTwoHundredTimesLeaksNothing) {
    dispatch(effEditClose);
    dispatch(effEditOpen, 0, 0, host);  // one round to settle the system's caches
    run([] { return false; }, 50);
    dispatch(effEditClose);
    const long gdiBefore = liveGdiObjects(), userBefore = liveUserObjects();
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(dispatch(effEditOpen, 0, 0, host), 1);
        RedrawWindow(GetWindow(host, GW_CHILD), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        dispatch(effEditIdle);
        dispatch(effEditClose);
        ASSERT_EQ(GetWindow(host, GW_CHILD), nullptr);
    }
    const long gdiAfter = liveGdiObjects(), userAfter = liveUserObjects();
    EXPECT_LE(gdiAfter - gdiBefore, 2) << gdiBefore << " -> " << gdiAfter;
    EXPECT_LE(userAfter - userBefore, 2) << userBefore << " -> " << userAfter;
    dispatch(effEditOpen, 0, 0, host);  // TearDown closes it
}
