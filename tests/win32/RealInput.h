// Real input for the Windows tests: the message pump, SendInput for the
// mouse and keys, and picking an item of an open pop-up menu from another
// thread while the test's thread sits in the menu's own loop.
#pragma once

#include <windows.h>

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

