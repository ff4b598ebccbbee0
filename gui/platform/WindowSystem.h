// Platform contract, windows and input: a child window in the host's
// window, the events it reports, the polled mouse and modifier state, time.
// Part of the contract described in Platform.h.
#pragma once

#include <cstdint>

#include "Geometry.h"
#include "Keys.h"

namespace platform {

// A device to draw on: a window's, or an off-screen image's (see Drawing.h).
struct Device;
// A child window in a host-given parent.
struct Window;

// Bits of mouseButtons().
enum MouseButtons : int {
    kLeftButton = 1,
    kMiddleButton = 2,
    kRightButton = 4,
    kShiftKey = 8,
    kControlKey = 16,
    kAltKey = 32,
};

// What a window reports to the toolkit. The device passed to paint and
// buttonDown is valid for the duration of the call.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    virtual void paint(Device* device) = 0;
    // A left, middle or right button went down at `where` (client pixels);
    // `buttons` are the MouseButtons bits the press came with.
    virtual void buttonDown(Device* device, Point where, int buttons) = 0;
    // The wheel turned by `notches` (positive away from the user) with the
    // cursor at `where` in the window, whichever window has the focus.
    virtual void wheel(Point where, float notches) = 0;
    // A key went down while the window had the keyboard focus, in the
    // toolkit's numbering (Keys.h: a named key, or its character, and the
    // modifiers held); answers whether the editor used it. The backend
    // hands every key the editor leaves on to the host's window.
    virtual bool key(const KeyPress& press) = 0;
    // The window gained or lost the keyboard focus.
    virtual void focusChanged(bool focused) = 0;
    // The window is being destroyed (by its owner or by the host).
    virtual void destroyed() = 0;
    // The window's own idle timer fired (see WindowSystem::startIdleTimer).
    virtual void idleTimer() {}
    // Text (one item, count = byte size) or file names (count = number of
    // names) were dropped on the window; answers whether a view took them.
    virtual bool drop(void** items, int count, int type) = 0;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // A visible child window of width x height at (0, 0) in `parent` (a native
    // window handle). Null parent: no window.
    virtual Window* createChildWindow(void* parent, int width, int height, WindowEvents* events) = 0;
    // Detaches the events object and destroys the window.
    virtual void destroyWindow(Window* window) = 0;
    // Makes the window width x height, keeping its handle; it is painted anew.
    virtual void setWindowSize(Window* window, int width, int height) = 0;
    // The native handle, for hosts and tests.
    virtual void* nativeHandle(Window* window) = 0;
    // Screen position of the window's top-left corner.
    virtual Point windowOrigin(Window* window) = 0;
    // Dispatches one pending paint message, if any.
    virtual void dispatchOnePaint() = 0;
    // Handles every event the window system has queued for this platform's
    // windows, without waiting; called from the editor's idle. Backends whose
    // windows get their messages from the host's own loop do nothing here.
    virtual void dispatchEvents() = 0;
    // A descriptor that becomes readable when the window system has queued
    // events for this platform's windows, for hosts that watch descriptors;
    // -1 where the backend has none or no window is open.
    virtual int eventDescriptor() { return -1; }
    // An idle of the window's own, every `milliseconds`, for hosts that give
    // the editor none; answers whether there is one. Where the window system
    // has timers of its own (Windows) the window's events object is told
    // (idleTimer); elsewhere (X11) idleTimerDescriptor becomes readable each
    // period, for a host that watches descriptors, and dispatchEvents takes
    // what expired.
    virtual bool startIdleTimer(Window*, int /*milliseconds*/) { return false; }
    virtual void stopIdleTimer(Window*) {}
    virtual int idleTimerDescriptor() { return -1; }
    // Fills any part of the window beyond what the toolkit draws (a host may
    // make the window larger than it was made) with `colour`. Backends whose
    // windows keep their size ignore it.
    virtual void setWindowBackdrop(Window*, Color) {}
    // For hosts that pass the editor no keys: windows made from now on take
    // the keyboard focus when clicked and report their own keys. Backends
    // whose windows always do (X11) or have no keyboard ignore it.
    virtual void setFocusOnClick(bool) {}
    // How much larger than its pixels the system shows what is drawn for the
    // native window `parent` (null: for the screen), 1 for not at all: its
    // monitor's DPI on Windows, the X resources' Xft.dpi and GDK_SCALE on X11.
    virtual double displayScale(void* /*parent*/) { return 1.0; }

    // MouseButtons bits of what is held down now; the left button is the
    // user's primary one, wherever the system has it.
    virtual int mouseButtons() = 0;
    // The cursor in screen pixels.
    virtual Point cursorPosition() = 0;
    // Milliseconds within which a second click makes a double click.
    virtual uint32_t doubleClickTime() = 0;
    virtual uint32_t ticks() = 0;  // milliseconds
    virtual void sleep(int milliseconds) = 0;
};

}  // namespace platform
