// The editor base the toolkit offers: it owns the frame while the window is
// open, answers the calls a format's adapter passes on from its host, and
// runs the idle pump that keeps the window painted and the host alive while
// a control holds the mouse. It reaches the effect only through its
// controller.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "EditorController.h"
#include "Geometry.h"
#include "Relaxed.h"
#include "platform/Keys.h"
#include "platform/Platform.h"

class DrawContext;
class Frame;

// What an editor asks of the host's window around it.
class WindowHost {
public:
    // Asks the host to make the editor's window width x height pixels;
    // answers whether it will. The editor answers getRect with the new size
    // from the call on.
    virtual bool resizeWindow(int width, int height) = 0;
    // Whether the host says when the window has its new size, by the
    // editor's sizeGranted (within resizeWindow or later), before which the
    // editor's own window keeps its size; otherwise it follows at once.
    virtual bool grantsSizes() const { return false; }

protected:
    ~WindowHost() = default;
};

class GuiEditor {
public:
    // The editor draws through `platform`, which must outlive it, or through
    // an object of the build's default backend of its own when that is null.
    // The controller outlives the editor.
    explicit GuiEditor(EditorController* controller, platform::Platform* platform = nullptr);
    virtual ~GuiEditor();
    GuiEditor(const GuiEditor&) = delete;
    GuiEditor& operator=(const GuiEditor&) = delete;

    // The editor's rectangle, at the origin.
    virtual Rect getRect() { return rect; }
    // Opens the window inside the native `parent`; answers 1 when it is open.
    virtual int open(void* parent);
    virtual void close() {}
    virtual void idle();
    virtual void update() {}
    // From any thread: the controls follow at the next idle.
    void postUpdate() { updatePending.store(1, std::memory_order_relaxed); }
    // A key the host passes on; 1 when the editor used it, -1 when not.
    virtual int onKeyDown(const platform::KeyPress& key);
    virtual int onKeyUp(const platform::KeyPress&) { return -1; }
    int setKnobMode(int mode);
    bool onWheel(float distance);
    // A descriptor that becomes readable when the open window has events to
    // handle at idle; -1 when there is none (the host's idle timer serves).
    int eventDescriptor();
    // An idle of the open window's own, for hosts that give the editor none
    // (see WindowSystem::startIdleTimer): false where the backend has none.
    // On X11 the host's loop must then watch ownIdleDescriptor and idle the
    // editor when it is readable.
    bool startOwnIdle(int milliseconds);
    void stopOwnIdle();
    int ownIdleDescriptor();
    // For hosts that pass the editor no keys (set before open): a click gives
    // the window the keyboard focus, and the window reads the keys itself.
    void setReadsOwnKeys(bool on);

    // A key the editor's own window received; the same handling as a key the
    // host passes on.
    int onWindowKey(const platform::KeyPress& key);
    // Whether a key passed on by the host is one the window already gets
    // itself, because it has the keyboard focus (so no key acts twice).
    bool windowGetsItsOwnKeys() const;

    // The factor by which the host's window system enlarges (1 for none, 0
    // for no factor given); answers whether the editor follows it.
    virtual bool setHostScale(double) { return false; }
    // The host's window has the size the editor last asked for.
    virtual void sizeGranted() {}
    // The host's window, asked to resize when the editor changes its size; null: none.
    void setWindowHost(WindowHost* host) { windowHost = host; }
    // A click that reached no view, with the buttons it came with.
    virtual void backgroundClicked(DrawContext*, Point, int) {}

    // Called after every parameter change; the controls follow at the next idle.
    virtual void setParameter(int index, float value);
    virtual void draw();
    virtual void pumpIdle();

    Frame* getFrame() const { return frame; }
    platform::Platform& getPlatform() const { return *backend; }
    EditorController& getController() const { return *controller; }

    // The knob mode the host last set, shared by every editor of the library
    // (2: knobs follow linear drags).
    static int knobMode();

protected:
    EditorController* controller;
    void* parentWindow = nullptr;
    WindowHost* windowHost = nullptr;
    std::atomic<int> updatePending{0};
    bool windowKeyPending = false;  // onKeyDown runs for the window's own key
    std::unique_ptr<platform::Platform> ownBackend;
    platform::Platform* backend;
    Rect rect;
    // Set and cleared on the user-interface thread; an adapter may look at it
    // from the audio thread (whether a window is open to update).
    Relaxed<Frame*> frame{nullptr};
    uint32_t nextIdleTick;
    bool inIdle = false;
};
