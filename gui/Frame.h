// The root of an editor window: owns the native child window inside the
// host's parent, the background and the list of views, and routes every
// window event to them (paint, clicks, wheel, drops, focus). On each idle
// call it redraws the views whose state changed since they were drawn.
// Its window, and every view in it, use the platform it was created with.
#pragma once

#include <vector>

#include "Bitmap.h"
#include "View.h"
#include "platform/Platform.h"

class GuiEditor;

class Frame : public View, private platform::WindowEvents {
public:
    // Creates the child window when `parentWindow` (a native handle) is not
    // null. The platform outlives the frame.
    Frame(Rect bounds, void* parentWindow, GuiEditor* editor, platform::Platform& platform);
    ~Frame() override;

    // Deletes the frame; while it handles a click (a control may be tracking
    // the mouse and let the host run, which may close the editor), once the
    // click is done. Controls stop tracking when isClosing().
    void dispose();
    bool isClosing() const { return closing; }

    void draw(DrawContext* context) override;
    void mouse(DrawContext* context, Point& where) override;
    void update(DrawContext* context) override;
    bool onDrop(void** items, int count, int type, Point where) override;
    bool onWheel(DrawContext* context, Point& where, float distance) override;
    GuiEditor* getEditor() const override;

    // Takes over the caller's reference. The list grows ten places at a time.
    virtual bool addView(View* view);
    virtual bool removeView(View* view, bool withRelease = false);
    virtual bool removeAll(bool withRelease = true);
    virtual bool isChild(View* view) const;

    // Makes the frame and its window width x height (the window keeps its
    // handle) and draws it anew; the views stay where they are.
    void setSize(int width, int height);
    // Whether a click is being handled (a control may be tracking the mouse).
    bool isHandlingClick() const { return clicksInProgress > 0; }
    void setBackground(Bitmap* bitmap);
    // The colour of any part of the window beyond the frame, where a host
    // makes the window larger than the frame.
    void setBackdrop(Color colour);
    void idle();
    // Draws one of the frame's views, or the whole frame for any other view.
    void drawView(View* view);
    void setFocusView(View* view);
    View* getFocusView() const { return focusView; }
    // Whether the window has the keyboard focus (and so gets its keys itself).
    bool hasKeyboardFocus() const { return keyboardFocus; }
    bool cursorLocation(Point& p);
    uint32_t tickCount();
    int knobMode() const;
    void pumpIdle();
    bool enableDropTarget(bool on);

    int getViewCount() const { return static_cast<int>(views.size()); }
    int getViewCapacity() const { return viewCapacity; }
    View* getView(int index) const { return index >= 0 && index < getViewCount() ? views[index] : nullptr; }
    platform::Window* getWindow() const { return window; }
    platform::Platform& getPlatform() const { return backend; }
    bool isOpen() const { return open; }

private:
    void paint(platform::Device* device) override;
    void buttonDown(platform::Device* device, Point where, int buttons) override;
    void wheel(Point where, float notches) override;
    bool key(const platform::KeyPress& press) override;
    void focusChanged(bool focused) override;
    void destroyed() override;
    void idleTimer() override;
    bool drop(void** items, int count, int type) override;

    bool anyViewDirty() const;
    // The last-added, mouse-enabled view whose bounds contain `where`.
    View* viewAt(Point where) const;

    GuiEditor* editor;
    void* parentWindow;
    platform::Platform& backend;
    Bitmap* background = nullptr;
    std::vector<View*> views;
    int viewCapacity = 0;
    View* focusView = nullptr;
    bool firstDraw = true;
    bool open = true;
    bool dropActive = false;
    int clicksInProgress = 0;
    bool keyboardFocus = false;
    bool closing = false;
    platform::Window* window = nullptr;
};
