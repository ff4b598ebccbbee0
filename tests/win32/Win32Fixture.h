// Real windows under Wine for the toolkit tests: one host window for the
// suite, a message pump, and real mouse and keyboard input (SendInput).
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Frame.h"
#include "platform/win32/Win32Platform.h"
#include "RealInput.h"
#include "platform/ModuleInstance.h"
#include "gui/RasterFixture.h"


constexpr int kHostX = 120, kHostY = 90;

// A real click at a point of a window, pressed and released.
inline void clickAt(HWND window, Point where, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
    POINT screen{where.x, where.y};
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    sendMouse(down);
    sendMouse(up);
}

class Win32Toolkit : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        platform::setModuleInstance(GetModuleHandleA(nullptr));
        WNDCLASSA hostClass{};
        hostClass.lpfnWndProc = DefWindowProcA;
        hostClass.hInstance = GetModuleHandleA(nullptr);
        hostClass.lpszClassName = "HalvernTestHost";
        hostClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        RegisterClassA(&hostClass);
        // One host window for the suite, as a host keeps its window while
        // editors open and close in it.
        host = CreateWindowExA(0, "HalvernTestHost", "host", WS_POPUP | WS_VISIBLE, kHostX, kHostY, 300, 200, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(host);
        SetFocus(host);
        pumpUntil([] { return GetFocus() == host; });
    }

    static void TearDownTestSuite() { DestroyWindow(host); }

    void SetUp() override {
        ASSERT_NE(host, nullptr);
        pumpPending();
    }

    HWND childOf(Frame& frame) { return static_cast<HWND>(win32.nativeHandle(frame.getWindow())); }

    Win32Platform win32;

    static inline HWND host = nullptr;
};

inline Color pixelAt(HDC dc, int x, int y) {
    const COLORREF c = GetPixel(dc, x, y);
    return {GetRValue(c), GetGValue(c), GetBValue(c), 0};
}


