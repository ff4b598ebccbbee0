#include "Win32Platform.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "FileDropTarget.h"
#include "platform/ImageShrinking.h"
#include "platform/ModuleInstance.h"

namespace {

char className[32] = "";
int classUsers = 0;

HINSTANCE instance() {
    void* module = platform::moduleInstance();
    return module ? static_cast<HINSTANCE>(module) : GetModuleHandleA(nullptr);
}

HWND windowOf(platform::Window* window) { return reinterpret_cast<HWND>(window); }
HDC dcOf(platform::Device* device) { return reinterpret_cast<HDC>(device); }
COLORREF rgbOf(Color c) { return RGB(c.red, c.green, c.blue); }

// An open edit box; one at a time. The edit control's own window procedure
// is kept here while ours stands in front of it.
struct Win32EditBox {
    HWND hwnd;
    HFONT font;
    HBRUSH brush;  // the background brush last handed to the box
    platform::EditEvents* events;
};
WNDPROC previousEditProc = nullptr;

Win32EditBox* editBoxOf(HWND hwnd) { return reinterpret_cast<Win32EditBox*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }

// Enter or the loss of focus ends the entry; every message then goes on to
// the edit control, unless ending the entry destroyed it.
LRESULT CALLBACK editWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC previous = previousEditProc;
    if (message == WM_KILLFOCUS || (message == WM_KEYDOWN && wParam == VK_RETURN))
        if (Win32EditBox* box = editBoxOf(hwnd)) box->events->editEnded();
    if (!IsWindow(hwnd)) return 0;
    return CallWindowProcA(previous, hwnd, message, wParam, lParam);
}

struct Win32Painter {
    HDC dc;
    HGDIOBJ savedPen, savedBrush, savedFont;
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
};

Win32Painter* painterOf(platform::Painter* p) { return reinterpret_cast<Win32Painter*>(p); }

// The buttons and modifiers a press message came with. The message names
// the logical button (the primary one is "left"), as mouseButtons() does.
int pressButtons(UINT message, WPARAM wParam) {
    int held = message == WM_LBUTTONDOWN ? platform::kLeftButton
               : message == WM_RBUTTONDOWN ? platform::kRightButton
                                           : platform::kMiddleButton;
    if (wParam & MK_LBUTTON) held |= platform::kLeftButton;
    if (wParam & MK_MBUTTON) held |= platform::kMiddleButton;
    if (wParam & MK_RBUTTON) held |= platform::kRightButton;
    if (wParam & MK_SHIFT) held |= platform::kShiftKey;
    if (wParam & MK_CONTROL) held |= platform::kControlKey;
    if (GetKeyState(VK_MENU) & 0x8000) held |= platform::kAltKey;
    return held;
}

platform::WindowEvents* eventsOf(HWND hwnd) {
    return reinterpret_cast<platform::WindowEvents*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// Marks a window that takes the focus when clicked and reads its own keys.
constexpr const char* kOwnKeysProperty = "HalvernOwnKeys";
// Where such a window sends the keys it does not use: the window that had
// the focus before it took it.
constexpr const char* kKeysGoToProperty = "HalvernKeysGoTo";
// The key whose press such a window used, so that its release is used too.
constexpr const char* kUsedKeyProperty = "HalvernUsedKey";
// The window timer that idles the editor for hosts that give it no idle.
constexpr UINT_PTR kIdleTimerId = 0x48564C;

// A key for a window that reads its own: space and tab by virtual key, the
// other printable keys by character (in the toolkit's numbering), with the
// modifiers held.
bool ownKey(platform::WindowEvents* events, UINT message, WPARAM wParam) {
    auto held = [](int key) { return (GetKeyState(key) & 0x8000) != 0; };
    const int modifiers = (held(VK_SHIFT) ? platform::kModifierShift : 0) |
                          (held(VK_CONTROL) ? platform::kModifierControl : 0) |
                          (held(VK_MENU) ? platform::kModifierAlt : 0) |
                          (held(VK_LWIN) || held(VK_RWIN) ? platform::kModifierSuper : 0);
    if (message == WM_KEYDOWN && wParam == VK_SPACE) return events->key({0, platform::kKeySpace, modifiers});
    if (message == WM_KEYDOWN && wParam == VK_TAB) return events->key({0, platform::kKeyTab, modifiers});
    if (message == WM_CHAR && wParam > ' ' && wParam < 0x7f)
        return events->key({static_cast<int>(wParam), platform::kKeyNone, modifiers});
    return false;
}

// A key the editor does not use goes on to the host's window, where it would
// have gone had the editor not been clicked (its top-level window when the
// one that had the focus is gone). Its character is dropped here: the host's
// loop makes its own from the key.
void handOnKey(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND target = static_cast<HWND>(GetPropA(hwnd, kKeysGoToProperty));
    if (!target || !IsWindow(target)) target = GetAncestor(hwnd, GA_ROOT);
    if (target && target != hwnd) PostMessageA(target, message, wParam, lParam);
}

// Answers whether the window's own-key handling took the message (focus
// gained, a key or a character).
bool ownKeyMessage(HWND hwnd, platform::WindowEvents* events, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS: {
            HWND previous = reinterpret_cast<HWND>(wParam);
            if (previous && previous != hwnd && !IsChild(hwnd, previous)) SetPropA(hwnd, kKeysGoToProperty, previous);
            events->focusChanged(true);
            return false;
        }
        case WM_KEYDOWN:
        case WM_CHAR:
            if (ownKey(events, message, wParam)) {
                if (message == WM_KEYDOWN) SetPropA(hwnd, kUsedKeyProperty, reinterpret_cast<HANDLE>(wParam));
                return true;
            }
            break;
        case WM_KEYUP:
            if (reinterpret_cast<WPARAM>(GetPropA(hwnd, kUsedKeyProperty)) == wParam) {
                RemovePropA(hwnd, kUsedKeyProperty);
                return true;
            }
            break;
    }
    if (message != WM_CHAR) handOnKey(hwnd, message, wParam, lParam);
    return true;
}

LRESULT CALLBACK frameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    platform::WindowEvents* events = eventsOf(hwnd);
    if (!events) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (GetPropA(hwnd, kOwnKeysProperty)) {
        switch (message) {
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_MBUTTONDOWN: SetFocus(hwnd); break;  // the focus moves before the click acts
            case WM_KILLFOCUS: events->focusChanged(false); break;
            case WM_SETFOCUS:
            case WM_KEYDOWN:
            case WM_KEYUP:
            case WM_SYSKEYDOWN:
            case WM_SYSKEYUP:
            case WM_CHAR:
                if (ownKeyMessage(hwnd, events, message, wParam, lParam)) return 0;
                break;
        }
    }
    switch (message) {
        case WM_TIMER:
            if (wParam != kIdleTimerId) break;
            events->idleTimer();
            return 0;
        case WM_PAINT:
            if (GetUpdateRect(hwnd, nullptr, FALSE)) {
                PAINTSTRUCT paint;
                HDC dc = BeginPaint(hwnd, &paint);
                events->paint(reinterpret_cast<platform::Device*>(dc));
                EndPaint(hwnd, &paint);
                return 0;
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            HDC dc = GetDC(hwnd);
            const Point where{static_cast<int32_t>(LOWORD(lParam)), static_cast<int32_t>(HIWORD(lParam))};
            events->buttonDown(reinterpret_cast<platform::Device*>(dc), where, pressButtons(message, wParam));
            ReleaseDC(hwnd, dc);
            return 0;
        }
        case WM_DESTROY: events->destroyed(); break;
        case WM_CTLCOLOREDIT:
            if (Win32EditBox* box = editBoxOf(reinterpret_cast<HWND>(lParam))) {
                const Color text = box->events->editTextColor(), back = box->events->editBackColor();
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, rgbOf(text));
                SetBkColor(dc, rgbOf(back));
                if (box->brush) DeleteObject(box->brush);
                box->brush = CreateSolidBrush(rgbOf(back));
                return reinterpret_cast<LRESULT>(box->brush);
            }
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void registerWindowClass() {
    if (++classUsers != 1) return;
    std::snprintf(className, sizeof className, "Plugin%08x",
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(instance())));
    WNDCLASSA windowClass{};
    windowClass.style = CS_GLOBALCLASS;
    windowClass.lpfnWndProc = frameWindowProc;
    windowClass.hInstance = instance();
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
}

void unregisterWindowClass() {
    if (--classUsers == 0) UnregisterClassA(className, instance());
}

// Windows sends wheel turns to the window with the keyboard focus, which in
// a host is almost never the editor. While editor windows exist, a hook on
// the thread's messages takes the turns whose cursor lies over one of them
// and hands them to that window; the focused window does not see them.
// Every other window's turns pass untouched.
HHOOK wheelHook = nullptr;
std::vector<HWND> wheelWindows;

LRESULT CALLBACK wheelHookProc(int code, WPARAM removal, LPARAM lParam) {
    MSG* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && removal == PM_REMOVE && message->message == WM_MOUSEWHEEL) {
        const POINT screen{GET_X_LPARAM(message->lParam), GET_Y_LPARAM(message->lParam)};
        const HWND under = WindowFromPoint(screen);
        for (HWND window : wheelWindows) {
            platform::WindowEvents* events = eventsOf(window);
            if (!events || (under != window && !IsChild(window, under))) continue;
            POINT client = screen;
            ScreenToClient(window, &client);
            const float notches = GET_WHEEL_DELTA_WPARAM(message->wParam) / static_cast<float>(WHEEL_DELTA);
            message->message = WM_NULL;
            events->wheel({client.x, client.y}, notches);
            break;
        }
    }
    return CallNextHookEx(wheelHook, code, removal, lParam);
}

void watchWheel(HWND window) {
    wheelWindows.push_back(window);
    if (!wheelHook) wheelHook = SetWindowsHookExA(WH_GETMESSAGE, wheelHookProc, nullptr, GetCurrentThreadId());
}

void unwatchWheel(HWND window) {
    wheelWindows.erase(std::remove(wheelWindows.begin(), wheelWindows.end(), window), wheelWindows.end());
    if (wheelWindows.empty() && wheelHook) {
        UnhookWindowsHookEx(wheelHook);
        wheelHook = nullptr;
    }
}

// The primary button is the physical left one unless the user swapped them.
int primaryButtons(int physical, bool swapped) {
    if (!swapped) return physical;
    const int others = physical & ~(platform::kLeftButton | platform::kRightButton);
    return others | ((physical & platform::kLeftButton) ? platform::kRightButton : 0) |
           ((physical & platform::kRightButton) ? platform::kLeftButton : 0);
}

}  // namespace

const char* Win32Platform::windowClassName() { return className; }
int Win32Platform::primaryButtonsOf(int physical, bool swapped) { return primaryButtons(physical, swapped); }
int Win32Platform::windowClassUsers() { return classUsers; }

// --- Windows ---------------------------------------------------------------------------

platform::Window* Win32Platform::createChildWindow(void* parent, int width, int height,
                                                   platform::WindowEvents* events) {
    if (!parent) return nullptr;
    registerWindowClass();
    HWND hwnd = CreateWindowExA(0, className, "Window", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                                static_cast<HWND>(parent), nullptr, instance(), nullptr);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(events));
    if (hwnd && focusOnClick) SetPropA(hwnd, kOwnKeysProperty, reinterpret_cast<HANDLE>(1));
    if (hwnd) watchWheel(hwnd);
    return reinterpret_cast<platform::Window*>(hwnd);
}

bool Win32Platform::startIdleTimer(platform::Window* window, int milliseconds) {
    return window && milliseconds > 0 &&
           SetTimer(windowOf(window), kIdleTimerId, static_cast<UINT>(milliseconds), nullptr) != 0;
}

void Win32Platform::stopIdleTimer(platform::Window* window) {
    if (window) KillTimer(windowOf(window), kIdleTimerId);
}

void Win32Platform::destroyWindow(platform::Window* window) {
    HWND hwnd = windowOf(window);
    unwatchWheel(hwnd);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    for (const char* property : {kOwnKeysProperty, kKeysGoToProperty, kUsedKeyProperty}) RemovePropA(hwnd, property);
    DestroyWindow(hwnd);
    unregisterWindowClass();
}

void Win32Platform::setWindowSize(platform::Window* window, int width, int height) {
    HWND hwnd = windowOf(window);
    SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void* Win32Platform::nativeHandle(platform::Window* window) { return windowOf(window); }

Point Win32Platform::windowOrigin(platform::Window* window) {
    RECT r;
    GetWindowRect(windowOf(window), &r);
    return {r.left, r.top};
}

// GetDpiForWindow came with Windows 10 (1607); before it, the screen's DPI serves.
double Win32Platform::displayScale(void* parent) {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow =
        reinterpret_cast<DpiForWindow>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    HWND window = static_cast<HWND>(parent);
    UINT dpi = dpiForWindow && window && IsWindow(window) ? dpiForWindow(window) : 0;
    if (dpi == 0) {
        HDC screen = GetDC(nullptr);
        dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSX));
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

// The registration keeps the target alive; one it refuses is released again.
void Win32Platform::enableDrop(platform::Window* window, bool on) {
    HWND hwnd = windowOf(window);
    if (!on) {
        RevokeDragDrop(hwnd);
        return;
    }
    FileDropTarget* target = new FileDropTarget(eventsOf(hwnd));
    target->AddRef();
    RegisterDragDrop(hwnd, target);
    target->Release();
}

// Only an initialisation that succeeded is undone (OLE refuses one on a
// thread that the host set up for another apartment model).
void Win32Platform::initializeDragDrop() {
    if (SUCCEEDED(OleInitialize(nullptr))) ++oleInitializations;
}

void Win32Platform::uninitializeDragDrop() {
    if (oleInitializations == 0) return;
    --oleInitializations;
    OleUninitialize();
}

// --- Devices ------------------------------------------------------------------------------

platform::Device* Win32Platform::acquireWindowDevice(platform::Window* window) {
    return reinterpret_cast<platform::Device*>(GetDC(windowOf(window)));
}

void Win32Platform::releaseWindowDevice(platform::Window* window, platform::Device* device) {
    ReleaseDC(windowOf(window), dcOf(device));
}

platform::Device* Win32Platform::createOffscreen(platform::Window* window, int width, int height) {
    HWND hwnd = window ? windowOf(window) : nullptr;
    HDC windowDc = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(windowDc);
    SelectObject(memory, CreateCompatibleBitmap(windowDc, width, height));
    ReleaseDC(hwnd, windowDc);
    return reinterpret_cast<platform::Device*>(memory);
}

// The image stays selected into its memory device for the device's lifetime.
void Win32Platform::destroyOffscreen(platform::Device* device) {
    HGDIOBJ image = GetCurrentObject(dcOf(device), OBJ_BITMAP);
    DeleteDC(dcOf(device));
    DeleteObject(image);
}

void Win32Platform::copyDevice(platform::Device* from, platform::Device* to, Rect dest, Point source) {
    BitBlt(dcOf(to), dest.left, dest.top, dest.width(), dest.height(), dcOf(from), source.x, source.y, SRCCOPY);
}

// --- Drawing ---------------------------------------------------------------------------------

platform::Painter* Win32Platform::beginDrawing(platform::Device* device) {
    HDC dc = dcOf(device);
    auto* painter = new Win32Painter{dc, GetCurrentObject(dc, OBJ_PEN), GetCurrentObject(dc, OBJ_BRUSH),
                                     GetCurrentObject(dc, OBJ_FONT)};
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<platform::Painter*>(painter);
}

void Win32Platform::endDrawing(platform::Painter* handle) {
    Win32Painter* painter = painterOf(handle);
    if (painter->savedBrush) SelectObject(painter->dc, painter->savedBrush);
    if (painter->savedPen) SelectObject(painter->dc, painter->savedPen);
    if (painter->savedFont) SelectObject(painter->dc, painter->savedFont);
    if (painter->brush) DeleteObject(painter->brush);
    if (painter->pen) DeleteObject(painter->pen);
    if (painter->font) DeleteObject(painter->font);
    delete painter;
}

void Win32Platform::setPen(platform::Painter* handle, Color color, bool dotted) {
    Win32Painter* painter = painterOf(handle);
    HPEN pen = CreatePen(dotted ? PS_DOT : PS_SOLID, 1, rgbOf(color));
    SelectObject(painter->dc, pen);
    if (painter->pen) DeleteObject(painter->pen);
    painter->pen = pen;
}

// A brush that cannot be made leaves the previous one in use.
void Win32Platform::setFill(platform::Painter* handle, Color color) {
    Win32Painter* painter = painterOf(handle);
    SetBkColor(painter->dc, rgbOf(color));
    HBRUSH brush = CreateSolidBrush(rgbOf(color));
    if (!brush) return;
    SelectObject(painter->dc, brush);
    if (painter->brush) DeleteObject(painter->brush);
    painter->brush = brush;
}

void Win32Platform::setTextColor(platform::Painter* handle, Color color) {
    SetTextColor(painterOf(handle)->dc, rgbOf(color));
}

void Win32Platform::setFont(platform::Painter* handle, const FontSpec& wanted) {
    Win32Painter* painter = painterOf(handle);
    const DWORD family = wanted.decorative ? (FF_DECORATIVE | DEFAULT_PITCH) : (VARIABLE_PITCH | FF_SWISS);
    HFONT font = CreateFontA(-wanted.pixelSize, 0, 0, 0, wanted.bold ? FW_BOLD : FW_NORMAL, wanted.italic, wanted.underline,
                             FALSE, ANSI_CHARSET, OUT_STRING_PRECIS, CLIP_STROKE_PRECIS, DEFAULT_QUALITY, family,
                             wanted.face);
    SelectObject(painter->dc, font);
    if (painter->font) DeleteObject(painter->font);
    painter->font = font;
}

void Win32Platform::moveTo(platform::Painter* painter, Point p) { MoveToEx(painterOf(painter)->dc, p.x, p.y, nullptr); }
void Win32Platform::lineTo(platform::Painter* painter, Point p) { LineTo(painterOf(painter)->dc, p.x, p.y); }

void Win32Platform::fillRect(platform::Painter* handle, Rect r) {
    Win32Painter* painter = painterOf(handle);
    const RECT area{r.left, r.top, r.right, r.bottom};
    FillRect(painter->dc, &area, painter->brush ? painter->brush : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void Win32Platform::drawText(platform::Painter* handle, const char* text, Rect r, bool opaque,
                             platform::TextAlign align) {
    HDC dc = painterOf(handle)->dc;
    SetBkMode(dc, opaque ? OPAQUE : TRANSPARENT);
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    format |= align == platform::TextAlign::Center ? DT_CENTER : align == platform::TextAlign::Right ? DT_RIGHT : DT_LEFT;
    RECT area{r.left, r.top, r.right, r.bottom};
    DrawTextA(dc, text, -1, &area, format);
    SetBkMode(dc, TRANSPARENT);
}

// --- Images ----------------------------------------------------------------------------------

platform::Image* Win32Platform::loadImage(int id, int& width, int& height) {
    HBITMAP image = LoadBitmapA(instance(), MAKEINTRESOURCEA(id));
    if (!image) return nullptr;
    BITMAP info;
    if (!GetObjectA(image, sizeof info, &info)) {
        DeleteObject(image);
        return nullptr;
    }
    width = info.bmWidth;
    height = info.bmHeight;
    return reinterpret_cast<platform::Image*>(image);
}

// The resource's pixels, read as 32-bit rows from the top, are shrunk into a
// new bitmap of the size asked for.
platform::Image* Win32Platform::loadImageSized(int id, int width, int height) {
    int drawnWidth = 0, drawnHeight = 0;
    platform::Image* drawn = loadImage(id, drawnWidth, drawnHeight);
    if (!drawn || (drawnWidth == width && drawnHeight == height)) return drawn;
    HBITMAP shrunk = nullptr;
    if (width > 0 && height > 0 && width <= drawnWidth && height <= drawnHeight) {
        BITMAPINFO from{};
        from.bmiHeader = {sizeof(BITMAPINFOHEADER), drawnWidth, -drawnHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<uint8_t> pixels(static_cast<size_t>(drawnWidth) * drawnHeight * 4);
        HDC screen = GetDC(nullptr);
        const bool read = GetDIBits(screen, reinterpret_cast<HBITMAP>(drawn), 0, static_cast<UINT>(drawnHeight),
                                    pixels.data(), &from, DIB_RGB_COLORS) == drawnHeight;
        BITMAPINFO to{};
        to.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        if (read) shrunk = CreateDIBSection(screen, &to, DIB_RGB_COLORS, &bits, nullptr, 0);
        ReleaseDC(nullptr, screen);
        if (shrunk && !shrinkImage({pixels.data(), drawnWidth, drawnHeight, static_cast<ptrdiff_t>(drawnWidth) * 4},
                                   {static_cast<uint8_t*>(bits), width, height, static_cast<ptrdiff_t>(width) * 4}, 4)) {
            DeleteObject(shrunk);
            shrunk = nullptr;
        }
        GdiFlush();
    }
    destroyImage(drawn);
    return reinterpret_cast<platform::Image*>(shrunk);
}

void Win32Platform::destroyImage(platform::Image* image) { DeleteObject(reinterpret_cast<HBITMAP>(image)); }

void Win32Platform::drawImage(platform::Painter* painter, platform::Image* image, Rect dest, Point source) {
    HDC dc = painterOf(painter)->dc;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, reinterpret_cast<HBITMAP>(image));
    BitBlt(dc, dest.left, dest.top, dest.width(), dest.height(), memory, source.x, source.y, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
}

// The key colour is left out pixel for pixel, as a mask of that colour would.
void Win32Platform::drawImageKeyed(platform::Painter* painter, platform::Image* image, Rect dest, Point source,
                                   Color key) {
    HDC dc = painterOf(painter)->dc;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, reinterpret_cast<HBITMAP>(image));
    TransparentBlt(dc, dest.left, dest.top, dest.width(), dest.height(), memory, source.x, source.y, dest.width(),
                   dest.height(), rgbOf(key));
    SelectObject(memory, previous);
    DeleteDC(memory);
}

// --- Edit box ---------------------------------------------------------------------------------

platform::EditBox* Win32Platform::openEditBox(platform::Window* window, Rect r, const char* text,
                                              const FontSpec& font, platform::TextAlign align,
                                              platform::EditEvents* events) {
    DWORD style = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
    if (align == platform::TextAlign::Center) style |= ES_CENTER;
    if (align == platform::TextAlign::Right) style |= ES_RIGHT;
    // One pixel wider and taller: the box covers the bounds' right and bottom lines.
    HWND hwnd = CreateWindowExA(0, "EDIT", text, style, r.left, r.top, r.width() + 1, r.height() + 1,
                                windowOf(window), nullptr, instance(), nullptr);
    if (!hwnd) return nullptr;
    auto* box = new Win32EditBox{hwnd,
                                 CreateFontA(-font.pixelSize, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                             OUT_STRING_PRECIS, CLIP_STROKE_PRECIS, DEFAULT_QUALITY,
                                             VARIABLE_PITCH | FF_SWISS, font.face),
                                 nullptr, events};
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(box->font), TRUE);
    SendMessageA(hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    SendMessageA(hwnd, EM_SETSEL, 0, -1);
    SetFocus(hwnd);
    previousEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editWindowProc)));
    return reinterpret_cast<platform::EditBox*>(box);
}

void Win32Platform::editBoxText(platform::EditBox* box, char* out, int capacity) {
    GetWindowTextA(reinterpret_cast<Win32EditBox*>(box)->hwnd, out, capacity);
}

// The box forgets its entry first: destroying it takes its focus away, and
// that must not end the entry a second time.
void Win32Platform::closeEditBox(platform::EditBox* handle) {
    auto* box = reinterpret_cast<Win32EditBox*>(handle);
    SetWindowLongPtrA(box->hwnd, GWLP_USERDATA, 0);
    DestroyWindow(box->hwnd);
    if (box->font) DeleteObject(box->font);
    if (box->brush) DeleteObject(box->brush);
    delete box;
}

uint32_t Win32Platform::doubleClickTime() {
    const UINT time = GetDoubleClickTime();
    return time < 250 ? 250 : time;
}

// --- Pop-up menus ----------------------------------------------------------------------------------

platform::Menu* Win32Platform::createMenu() { return reinterpret_cast<platform::Menu*>(CreatePopupMenu()); }

static UINT menuFlags(int flags) {
    UINT native = 0;
    if (flags & platform::kMenuGrayed) native |= MF_GRAYED;
    if (flags & platform::kMenuDisabled) native |= MF_DISABLED;
    if (flags & platform::kMenuChecked) native |= MF_CHECKED;
    if (flags & platform::kMenuColumnBreak) native |= MF_MENUBARBREAK;
    return native;
}

void Win32Platform::appendMenuItem(platform::Menu* menu, int flags, int id, const char* label) {
    HMENU native = reinterpret_cast<HMENU>(menu);
    if (flags & platform::kMenuSeparator)
        AppendMenuA(native, MF_SEPARATOR, 0, nullptr);
    else
        AppendMenuA(native, MF_STRING | menuFlags(flags), static_cast<UINT_PTR>(id), label);
}

void Win32Platform::appendSubMenu(platform::Menu* menu, int flags, platform::Menu* sub, const char* label) {
    AppendMenuA(reinterpret_cast<HMENU>(menu), MF_POPUP | MF_STRING | menuFlags(flags), reinterpret_cast<UINT_PTR>(sub),
                label);
}

// The choice arrives as a WM_COMMAND posted to the owner; the click that
// closed the menu is taken off the queue so the editor never sees it.
int Win32Platform::trackMenu(platform::Menu* menu, platform::Window* owner, Point screen, bool rightButton) {
    HWND hwnd = windowOf(owner);
    int chosen = -1;
    MSG message;
    if (TrackPopupMenu(reinterpret_cast<HMENU>(menu), rightButton ? TPM_RIGHTBUTTON : 0, screen.x, screen.y, 0, hwnd,
                       nullptr) &&
        PeekMessageA(&message, hwnd, WM_COMMAND, WM_COMMAND, PM_REMOVE) && HIWORD(message.wParam) == 0)
        chosen = LOWORD(message.wParam);
    for (int i = 0; i < 2; ++i) PeekMessageA(&message, hwnd, WM_LBUTTONDOWN, WM_MBUTTONUP, PM_REMOVE);
    return chosen;
}

void Win32Platform::destroyMenu(platform::Menu* menu) { DestroyMenu(reinterpret_cast<HMENU>(menu)); }

// --- Input and time ------------------------------------------------------------------------------

int Win32Platform::mouseButtons() {
    const struct {
        int key;
        int bit;
    } keys[] = {{VK_LBUTTON, platform::kLeftButton}, {VK_MBUTTON, platform::kMiddleButton},
                {VK_RBUTTON, platform::kRightButton}, {VK_SHIFT, platform::kShiftKey},
                {VK_CONTROL, platform::kControlKey},  {VK_MENU, platform::kAltKey}};
    int held = 0;
    for (const auto& k : keys)
        if (GetAsyncKeyState(k.key) & 0x8000) held |= k.bit;
    // The key state is the physical buttons'.
    return primaryButtons(held, GetSystemMetrics(SM_SWAPBUTTON) != 0);
}

Point Win32Platform::cursorPosition() {
    POINT p;
    GetCursorPos(&p);
    return {p.x, p.y};
}

uint32_t Win32Platform::ticks() { return GetTickCount(); }
void Win32Platform::sleep(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

void Win32Platform::dispatchOnePaint() {
    MSG message;
    if (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&message);
}
