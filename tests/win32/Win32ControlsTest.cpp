// Text entry and option menus on the Windows backend, with the native edit
// box and pop-up menu driven by real keyboard and mouse input.

#include "OptionMenu.h"
#include "TextEdit.h"
#include "Win32Fixture.h"

namespace {

struct EntryListener : ControlListener {
    void valueChanged(DrawContext*, Control* control) override {
        ++calls;
        if (log) log->push_back("listener");
        last = control;
    }
    int calls = 0;
    Control* last = nullptr;
    std::vector<std::string>* log = nullptr;
};

HWND editBoxOf(HWND frameWindow) { return FindWindowExA(frameWindow, nullptr, "Edit", nullptr); }

void typeKeys(const char* keys) {
    for (const char* k = keys; *k; ++k) {
        sendKey(static_cast<WORD>(*k), true);
        sendKey(static_cast<WORD>(*k), false);
    }
}

// Presses the left button at a point of the window, waits for `opened`,
// then lets the button go (controls act while the button is down).
template <typename Condition>
bool pressUntil(HWND window, Point where, Condition opened) {
    POINT screen{where.x, where.y};
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    const bool done = pumpUntil(opened);
    sendMouse(MOUSEEVENTF_LEFTUP);
    pumpPending();
    return done;
}

std::string textOf(TextEdit* entry) {
    char text[kTextSize];
    entry->getText(text);
    return text;
}

}  // namespace

TEST_F(Win32Toolkit, EditBoxOverATextEntryTakesTypingAndEnter) {
    Frame frame({0, 0, 200, 150}, host, nullptr, win32);
    EntryListener listener;
    auto* entry = new TextEdit({20, 20, 80, 34}, &listener, 1000, "30");
    entry->setBackColor({0, 0, 128, 0});
    entry->setTextColor(kYellow);
    frame.addView(entry);
    pumpPending();

    ASSERT_TRUE(pressUntil(childOf(frame), {40, 25}, [&] { return editBoxOf(childOf(frame)) != nullptr; }));
    HWND box = editBoxOf(childOf(frame));
    DWORD first = 99, last = 99;
    SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(last, 2u);  // all of "30" selected
    EXPECT_EQ(GetFocus(), box);
    RECT area;
    GetClientRect(box, &area);
    EXPECT_EQ(area.right, 61);  // the bounds' right and bottom lines included
    EXPECT_EQ(area.bottom, 15);
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    HDC dc = GetDC(box);
    EXPECT_EQ(pixelAt(dc, area.right - 2, 1), (Color{0, 0, 128, 0}));  // the entry's back colour
    ReleaseDC(box, dc);

    typeKeys("45");
    sendKey(VK_RETURN, true);
    sendKey(VK_RETURN, false);
    ASSERT_TRUE(pumpUntil([&] { return listener.calls == 1; }));
    EXPECT_EQ(textOf(entry), "45");
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(frame.getFocusView(), nullptr);
    pumpPending();
    EXPECT_EQ(listener.calls, 1);
}

TEST_F(Win32Toolkit, AClickElsewhereAcceptsTheTypedText) {
    Frame frame({0, 0, 200, 150}, host, nullptr, win32);
    std::vector<std::string> log;
    EntryListener listener;
    listener.log = &log;
    auto* entry = new TextEdit({20, 20, 80, 34}, &listener, 1001, "5");
    frame.addView(entry);
    auto* other = new ProbeView({100, 100, 150, 140}, &log, "other");
    frame.addView(other);
    pumpPending();
    ASSERT_TRUE(pressUntil(childOf(frame), {40, 25}, [&] { return editBoxOf(childOf(frame)) != nullptr; }));
    typeKeys("7");
    pumpPending();
    clickAt(childOf(frame), {120, 120});
    ASSERT_TRUE(pumpUntil([&] { return other->clicks == 1; }));
    EXPECT_EQ(log, (std::vector<std::string>{"listener", "other click"}));
    EXPECT_EQ(textOf(entry), "7");
    EXPECT_EQ(editBoxOf(childOf(frame)), nullptr);
    frame.removeView(other, true);
}

TEST_F(Win32Toolkit, PopupMenuItemChosenWithTheMouse) {
    Frame frame({0, 0, 200, 150}, host, nullptr, win32);
    EntryListener listener;
    // A view under where the pop-up opens: the click that closes the menu must not reach it.
    auto* under = new ProbeView({0, 40, 200, 150});
    frame.addView(under);
    auto* menu = new OptionMenu({20, 20, 83, 32}, &listener, 7);
    for (const char* key : {"SPACE", "TAB", "CTRL1", "CTRL64"}) menu->addEntry(key);
    frame.addView(menu);
    pumpPending();

    {
        PopupChooser chooser(3);
        POINT screen{30, 25};
        ClientToScreen(childOf(frame), &screen);
        SetCursorPos(screen.x, screen.y);
        sendMouse(MOUSEEVENTF_LEFTDOWN);
        pumpUntil([&] { return listener.calls == 1; });
    }
    pumpPending();
    ASSERT_EQ(listener.calls, 1);
    EXPECT_EQ(listener.last, menu);
    EXPECT_EQ(menu->getCurrent(), 3);
    EXPECT_EQ(menu->getValue(), 3.0f);
    EXPECT_EQ(under->clicks, 0);
    EXPECT_EQ(FindWindowA("#32768", nullptr), nullptr);
    EXPECT_EQ(frame.getFocusView(), nullptr);
}
