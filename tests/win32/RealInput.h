// Real input for the Windows tests: the message pump, SendInput for the
// mouse and keys, a knob drag stepped from the host's calls, picking an item of an open pop-up menu while the test's
// thread sits in the menu's own loop, and reading back what a window shows.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

// How long a wait for an event may take before the test gives up on it. A
// bound for failures only: every wait returns as soon as its event happens,
// so a busy machine makes a test slower, never red.
constexpr DWORD kPatienceMs = 15000;

// Runs the message loop until `done` holds or the patience runs out.
template <typename Condition>
inline bool pumpUntil(Condition done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done()) break;
        if (GetTickCount() - start > kPatienceMs) return false;
        Sleep(5);
    }
    return true;
}

// Waits on another thread than the window's (no pumping) until `done`
// holds or the patience runs out.
template <typename Condition>
inline bool waitFor(Condition done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > kPatienceMs) return false;
        Sleep(5);
    }
    return true;
}

// Handles every message waiting now.
inline void pumpPending() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

inline void sendMouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

inline void sendKey(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

// A knob drag's second half, stepped from a call the drag loop makes on the
// test's own thread (the host's idle, or its flush request): once `pressed`
// holds the cursor moves to `to` (screen pixels), and once `moved` holds
// (the drag has seen the move) the left button goes up. So the pointer is
// moved by the thread that owns the windows, as a user's mouse moves it:
// under Wine, a move made from another thread can be undone by the input
// the windows' thread handles meanwhile.
class DragFromHostCalls {
public:
    DragFromHostCalls(POINT to, std::function<bool()> pressed, std::function<bool()> moved)
        : to(to), pressed(std::move(pressed)), moved(std::move(moved)) {}

    void step() {
        if (stage == 0 && pressed()) {
            SetCursorPos(to.x, to.y);
            sendMouse(MOUSEEVENTF_MOVE);
            stage = 1;
        } else if (stage == 1 && moved()) {
            sendMouse(MOUSEEVENTF_LEFTUP);
            stage = 2;
        }
    }
    bool released() const { return stage == 2; }

private:
    POINT to;
    std::function<bool()> pressed, moved;
    int stage = 0;
};

// Picks item `index` of the next pop-up menu with the mouse, from a thread
// timer of the test's own thread: the menu's message loop runs it there
// while the test sits in that loop, so the pointer is moved by the thread
// that owns the windows, as a user's mouse moves it. Step by step, each
// waiting for the menu's answer to the one before: the pop-up shown in its
// place, the press that opened it let go, the pointer on the item until the
// menu lights it, the click. A menu that never gets that far is closed with
// Escape, so the test fails rather than hangs. Keep the object until the
// menu has closed.
class PopupChooser {
public:
    explicit PopupChooser(int index) : index(index), start(GetTickCount()) {
        active = this;
        timer = SetTimer(nullptr, 0, 5, [](HWND, UINT, UINT_PTR, DWORD) {
            if (active) active->step();
        });
    }
    ~PopupChooser() {
        KillTimer(nullptr, timer);
        active = nullptr;
    }
    PopupChooser(const PopupChooser&) = delete;
    PopupChooser& operator=(const PopupChooser&) = delete;

private:
    enum class Stage { Waiting, Releasing, Pointing, Done };

    void step() {
        if (stage == Stage::Done) return;
        if (GetTickCount() - start > kPatienceMs) {
            stage = Stage::Done;
            sendKey(VK_ESCAPE, true);
            sendKey(VK_ESCAPE, false);
            return;
        }
        switch (stage) {
            case Stage::Waiting:
                if (!shownInPlace()) return;
                sendMouse(MOUSEEVENTF_LEFTUP);
                stage = Stage::Releasing;
                return;
            case Stage::Releasing:
                if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) return;
                SetCursorPos((item.left + item.right) / 2, (item.top + item.bottom) / 2);
                sendMouse(MOUSEEVENTF_MOVE);
                stage = Stage::Pointing;
                return;
            case Stage::Pointing:
                if (!(GetMenuState(menu, static_cast<UINT>(index), MF_BYPOSITION) & MF_HILITE)) return;
                sendMouse(MOUSEEVENTF_LEFTDOWN);
                sendMouse(MOUSEEVENTF_LEFTUP);
                stage = Stage::Done;
                return;
            case Stage::Done: return;
        }
    }

    bool shownInPlace() {
        HWND popup = FindWindowA("#32768", nullptr);
        if (!popup || !IsWindowVisible(popup)) return false;
        menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
        RECT window, inside;
        GetWindowRect(popup, &window);
        return menu && GetMenuItemRect(nullptr, menu, static_cast<UINT>(index), &item) &&
               IntersectRect(&inside, &item, &window) && EqualRect(&inside, &item);
    }

    static inline PopupChooser* active = nullptr;
    const int index;
    const DWORD start;
    UINT_PTR timer = 0;
    Stage stage = Stage::Waiting;
    HMENU menu = nullptr;
    RECT item{};
};

// The client area's pixels as a screenshot shows them, row by row from the
// top; `header` receives the image's description when given.
inline std::vector<COLORREF> windowPixels(HWND window, BITMAPINFOHEADER* header = nullptr) {
    RECT client;
    GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP image = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, image);
    BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> pixels(static_cast<const COLORREF*>(bits), static_cast<const COLORREF*>(bits) + width * height);
    SelectObject(memory, previous);
    DeleteObject(image);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
    if (header) *header = info.bmiHeader;
    return pixels;
}
