// The Windows backend: a child window of the class "Plugin%08x" in the
// host's window, GDI drawing on device contexts, bitmaps from the library's
// resources, the asynchronous key state, and the OLE drop target.
#pragma once

#include "platform/Platform.h"

class Win32Platform : public platform::Platform {
public:
    platform::Window* createChildWindow(void* parent, int width, int height,
                                        platform::WindowEvents* events) override;
    void destroyWindow(platform::Window* window) override;
    void setWindowSize(platform::Window* window, int width, int height) override;
    void* nativeHandle(platform::Window* window) override;
    Point windowOrigin(platform::Window* window) override;
    void enableDrop(platform::Window* window, bool on) override;
    void setFocusOnClick(bool on) override { focusOnClick = on; }
    void initializeDragDrop() override;
    void uninitializeDragDrop() override;

    platform::Device* acquireWindowDevice(platform::Window* window) override;
    void releaseWindowDevice(platform::Window* window, platform::Device* device) override;
    platform::Device* createOffscreen(platform::Window* window, int width, int height) override;
    void destroyOffscreen(platform::Device* device) override;
    void copyDevice(platform::Device* from, platform::Device* to, Rect dest, Point source) override;

    platform::Painter* beginDrawing(platform::Device* device) override;
    void endDrawing(platform::Painter* painter) override;
    void setPen(platform::Painter* painter, Color color, bool dotted) override;
    void setFill(platform::Painter* painter, Color color) override;
    void setTextColor(platform::Painter* painter, Color color) override;
    void setFont(platform::Painter* painter, const FontSpec& font) override;
    void moveTo(platform::Painter* painter, Point p) override;
    void lineTo(platform::Painter* painter, Point p) override;
    void fillRect(platform::Painter* painter, Rect r) override;
    void drawText(platform::Painter* painter, const char* text, Rect r, bool opaque,
                  platform::TextAlign align) override;

    platform::Image* loadImage(int id, int& width, int& height) override;
    platform::Image* loadImageSized(int id, int width, int height) override;
    void destroyImage(platform::Image* image) override;
    void drawImage(platform::Painter* painter, platform::Image* image, Rect dest, Point source) override;
    void drawImageKeyed(platform::Painter* painter, platform::Image* image, Rect dest, Point source,
                        Color key) override;

    platform::EditBox* openEditBox(platform::Window* window, Rect r, const char* text, const FontSpec& font,
                                   platform::TextAlign align, platform::EditEvents* events) override;
    void editBoxText(platform::EditBox* box, char* out, int capacity) override;
    void closeEditBox(platform::EditBox* box) override;
    uint32_t doubleClickTime() override;

    platform::Menu* createMenu() override;
    void appendMenuItem(platform::Menu* menu, int flags, int id, const char* label) override;
    void appendSubMenu(platform::Menu* menu, int flags, platform::Menu* sub, const char* label) override;
    int trackMenu(platform::Menu* menu, platform::Window* owner, Point screen, bool rightButton) override;
    void destroyMenu(platform::Menu* menu) override;

    int mouseButtons() override;
    Point cursorPosition() override;
    uint32_t ticks() override;
    void sleep(int milliseconds) override;
    void dispatchOnePaint() override;
    // The window's messages come through the host's message loop.
    void dispatchEvents() override {}
    // A window timer, whose ticks the window's events object gets.
    bool startIdleTimer(platform::Window* window, int milliseconds) override;
    void stopIdleTimer(platform::Window* window) override;
    // The DPI of the monitor the window `parent` is on, as the host's process
    // sees it (96 where it is not DPI-aware), else the screen's, over 96.
    double displayScale(void* parent) override;

    // The window class name, "Plugin" and the module handle in hex; empty
    // before the first window.
    static const char* windowClassName();
    // Frames whose window exists now (the class is registered while > 0).
    static int windowClassUsers();
    // MouseButtons bits of the physical buttons `physical` as the user's
    // primary (left) and secondary (right) ones.
    static int primaryButtonsOf(int physical, bool swapped);

private:
    int oleInitializations = 0;  // successful ones, each undone once
    bool focusOnClick = false;
};
