// The X11 backend: the editor's window is a child of the host's window on a
// display connection of its own (XCB, so an X error comes back as an event
// on this connection and never ends the host's process). Everything is drawn
// by the raster canvas into the window's image, and the part drawn on is
// uploaded after each drawing step (through shared memory where the server
// offers it), so the window shows exactly what the headless backend draws.
// Input is polled from the pointer. X11 has no native edit boxes or pop-up
// menus: the portable models draw them, and this backend shows them and
// feeds them the server's events.
//
// One object serves one editor: its connection opens with the window and
// closes with it. Every call comes from the thread that opened the editor.
#pragma once

#include <memory>

#include "EditBoxModel.h"
#include "MenuModel.h"
#include "RasterBackend.h"

class X11Platform : public RasterBackend {
public:
    X11Platform();
    ~X11Platform() override;

    platform::Window* createChildWindow(void* parent, int width, int height,
                                        platform::WindowEvents* events) override;
    void destroyWindow(platform::Window* window) override;
    void setWindowSize(platform::Window* window, int width, int height) override;
    void* nativeHandle(platform::Window* window) override;
    void setWindowBackdrop(platform::Window* window, Color colour) override;
    Point windowOrigin(platform::Window* window) override;
    // The window offers no drop target (no view takes drops).
    void enableDrop(platform::Window*, bool) override {}
    void initializeDragDrop() override {}
    void uninitializeDragDrop() override {}

    platform::Device* acquireWindowDevice(platform::Window* window) override;
    void releaseWindowDevice(platform::Window* window, platform::Device* device) override;

    platform::EditBox* openEditBox(platform::Window* window, Rect r, const char* text, const FontSpec& font,
                                   platform::TextAlign align, platform::EditEvents* events) override;
    void editBoxText(platform::EditBox* box, char* out, int capacity) override;
    void closeEditBox(platform::EditBox* box) override;
    uint32_t doubleClickTime() override { return 400; }

    platform::Menu* createMenu() override { return menus.create(); }
    void appendMenuItem(platform::Menu* menu, int flags, int id, const char* label) override {
        menus.append(menu, flags, id, label);
    }
    void appendSubMenu(platform::Menu* menu, int flags, platform::Menu* sub, const char* label) override {
        menus.appendSub(menu, flags, sub, label);
    }
    int trackMenu(platform::Menu* menu, platform::Window* owner, Point screen, bool rightButton) override;
    void destroyMenu(platform::Menu* menu) override { menus.destroy(menu); }

    int mouseButtons() override;
    Point cursorPosition() override;
    uint32_t ticks() override;
    void sleep(int milliseconds) override;
    void dispatchOnePaint() override;
    void dispatchEvents() override;
    int eventDescriptor() override;
    // A timer descriptor, which dispatchEvents reads.
    bool startIdleTimer(platform::Window* window, int milliseconds) override;
    void stopIdleTimer(platform::Window* window) override;
    int idleTimerDescriptor() override { return idleTimer; }
    // GDK_SCALE where it is a whole factor of 1 to 3, else the X resources'
    // Xft.dpi over 96, else 1; read on the editor's connection, or on one
    // made for the question before the window exists.
    double displayScale(void* parent) override;

    // Whether the window's image reaches the server through shared memory.
    bool usesSharedMemory() const;

private:
    struct Connection;
    class MenuTracker;
    friend class MenuTracker;

    bool queryPointer(Point& at, int& held);
    void drainEvents(bool exposuresOnly);
    void handleEvent(void* event, bool nested);
    bool handleKey(uint32_t keysym, uint16_t state);
    void rememberWhereKeysGo();
    void handOn(const void* keyEvent, bool press);
    void paintWindow();
    void upload(bool everything);
    void drawEditBox();

    std::unique_ptr<Connection> connection;
    // The one window: its events and its image on the canvas; the handle
    // the toolkit holds is the connection's.
    platform::WindowEvents* events = nullptr;
    platform::Device* backing = nullptr;
    platform::Window* window = nullptr;
    std::unique_ptr<EditBoxModel> editBox;
    uint32_t focusBeforeEditing = 0;  // the X window that had the keyboard focus before the box opened
    MenuStore menus;
    bool dispatching = false;
    int idleTimer = -1;
};
