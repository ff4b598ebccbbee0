// Real input for the Windows tests: the message pump, SendInput for the
// mouse and keys, picking an item of an open pop-up menu from another
// thread while the test's thread sits in the menu's own loop, and reading
// back what a window shows.
#pragma once

#include <windows.h>

#include <thread>
#include <vector>

// Runs the message loop until `done` holds or two seconds pass.
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
        if (GetTickCount() - start > 2000) return false;
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

// A knob drag's second half from another thread, while the test's thread
// sits in the drag loop: once `pressed` holds (or after three seconds), the
// cursor moves to `to` (screen pixels) and the left button goes up. Join it.
template <typename Condition>
inline std::thread moveThenRelease(POINT to, Condition pressed) {
    return std::thread([to, pressed] {
        const DWORD start = GetTickCount();
        while (!pressed() && GetTickCount() - start < 3000) Sleep(5);
        Sleep(150);
        SetCursorPos(to.x, to.y);
        Sleep(150);
        sendMouse(MOUSEEVENTF_LEFTUP);
    });
}

// While the test's thread sits in the menu's own message loop, this one
// waits for the pop-up, clicks its item `index` and lets the button go.
inline void chooseFromPopup(int index) {
    HWND popup = nullptr;
    const DWORD start = GetTickCount();
    while (!(popup = FindWindowA("#32768", nullptr)) && GetTickCount() - start < 3000) Sleep(5);
    if (!popup) return;
    Sleep(50);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
    RECT item;
    if (!menu || !GetMenuItemRect(nullptr, menu, static_cast<UINT>(index), &item)) return;
    sendMouse(MOUSEEVENTF_LEFTUP);  // the press that opened the menu ends
    SetCursorPos((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    sendMouse(MOUSEEVENTF_MOVE);
    Sleep(50);
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    sendMouse(MOUSEEVENTF_LEFTUP);
}


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
