// The headless backend: windows are images of the raster canvas in memory.
// Input and time are scripted by the caller: mouse buttons, modifier keys,
// the cursor and the tick count are what it last set; sleeping advances the
// clock; edit boxes and menus answer what the script says. It serves the
// tests and screenshots.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "MenuModel.h"
#include "RasterBackend.h"

class RasterPlatform : public RasterBackend {
public:
    RasterPlatform();
    ~RasterPlatform() override;

    platform::Window* createChildWindow(void* parent, int width, int height,
                                        platform::WindowEvents* events) override;
    void destroyWindow(platform::Window* window) override;
    void setWindowSize(platform::Window* window, int width, int height) override;
    void* nativeHandle(platform::Window* window) override;
    Point windowOrigin(platform::Window* window) override;
    void enableDrop(platform::Window* window, bool on) override;
    void initializeDragDrop() override;
    void uninitializeDragDrop() override;

    platform::Device* acquireWindowDevice(platform::Window* window) override;
    void releaseWindowDevice(platform::Window* window, platform::Device* device) override;

    platform::EditBox* openEditBox(platform::Window* window, Rect r, const char* text, const FontSpec& font,
                                   platform::TextAlign align, platform::EditEvents* events) override;
    void editBoxText(platform::EditBox* box, char* out, int capacity) override;
    void closeEditBox(platform::EditBox* box) override;
    uint32_t doubleClickTime() override { return doubleClick; }

    platform::Menu* createMenu() override;
    void appendMenuItem(platform::Menu* menu, int flags, int id, const char* label) override;
    void appendSubMenu(platform::Menu* menu, int flags, platform::Menu* sub, const char* label) override;
    int trackMenu(platform::Menu* menu, platform::Window* owner, Point screen, bool rightButton) override;
    void destroyMenu(platform::Menu* menu) override;

    int mouseButtons() override;
    Point cursorPosition() override { return cursor; }
    uint32_t ticks() override { return clock; }
    void sleep(int milliseconds) override { clock += static_cast<uint32_t>(milliseconds); }
    void dispatchOnePaint() override;
    void dispatchEvents() override {}
    double displayScale(void*) override { return systemScale; }

    // --- Scripting, for tests and screenshots ---------------------------------
    void setMouseButtons(int held) { buttons = held; }
    // What displayScale answers for every window, 1 unless set.
    void setDisplayScale(double factor) { systemScale = factor; }
    // States that successive mouseButtons() calls step through, each setting
    // the buttons held and the cursor; the last one stays.
    struct InputState {
        int buttons;
        Point cursor;
    };
    void queueInput(const std::vector<InputState>& states) { script.assign(states.begin(), states.end()); }

    // The open edit box, or null.
    struct EditBoxState {
        Rect bounds;
        std::string text;
        FontSpec font;
        platform::TextAlign align;
        bool allSelected;
        platform::EditEvents* events;
    };
    const EditBoxState* editBox() const { return openBox; }
    // Typing replaces the selection (all of the text while it is selected).
    void typeInEditBox(const std::string& typed);
    void pressEnterInEditBox();
    void editBoxLosesFocus();
    void setDoubleClickTime(uint32_t milliseconds) { doubleClick = milliseconds; }

    // The menu structure as it was when it was last shown.
    struct ShownMenu {
        std::vector<MenuItem> items;
        Point screen;
        bool rightButton;
    };
    // What the next trackMenu answers (an item id, or -1 for none).
    void chooseNextMenuItem(int id) { nextChoice = id; }
    const ShownMenu& lastShownMenu() const { return shownMenu; }
    int liveMenus() const { return menus.liveMenus(); }
    void setCursor(Point screen) { cursor = screen; }
    void setTicks(uint32_t now) { clock = now; }
    // Moves a window on the screen (windows start at the origin).
    void setWindowOrigin(platform::Window* window, Point screen);
    // Asks for a paint, which dispatchOnePaint or paintNow delivers.
    void invalidate(platform::Window* window);
    void paintNow(platform::Window* window);
    // A button press at `where` in the window, as the window system reports
    // it: with the buttons held now (the next scripted state, if any), or
    // with a state of its own (a press whose button is already up again).
    void press(platform::Window* window, Point where);
    void press(platform::Window* window, Point where, int pressButtons);
    // The wheel turned over `where` in the window.
    void turnWheel(platform::Window* window, Point where, float notches);
    // A key or a focus change, as the window system reports them.
    bool pressKey(platform::Window* window, int key, int character, int modifiers = 0);
    void changeFocus(platform::Window* window, bool focused);
    // Dropped text or file names, as a drop target reports them; false if the
    // window takes no drops.
    bool dropText(platform::Window* window, const std::string& text);
    bool dropFiles(platform::Window* window, const std::vector<std::string>& names);
    // The host destroys the window (with its own parent): the frame hears of it.
    void destroyFromOutside(platform::Window* window);
    // What the window shows.
    const RasterImage& pixels(platform::Window* window) const;
    // Windows that exist now.
    int windowCount() const { return static_cast<int>(windows.size()); }
    int dragDropUsers() const { return dropUsers; }
    // Drawing steps outside a paint event (window devices handed out).
    int windowDrawings() const { return windowDrawingCount; }

private:
    struct RasterWindow;
    RasterWindow* find(platform::Window* window) const;

    std::vector<RasterWindow*> windows;
    std::deque<InputState> script;
    EditBoxState* openBox = nullptr;
    uint32_t doubleClick = 500;
    int nextChoice = -1;
    ShownMenu shownMenu;
    MenuStore menus;
    int buttons = 0;
    Point cursor;
    uint32_t clock = 0;
    double systemScale = 1.0;
    int dropUsers = 0;
    int windowDrawingCount = 0;
};
