// Pop-up menus for backends without native ones, drawn by the raster
// renderer: the menus a backend builds item by item (MenuStore), and one
// shown menu (MenuModel), which lays out and draws its open levels and
// follows the pointer and the keys it is fed. The backend only shows each
// level where the model says and feeds it the window system's events.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "RasterCanvas.h"
#include "platform/PopupMenus.h"

struct MenuItem {
    int flags;  // platform::MenuItemFlags
    int id;
    std::string label;
    std::vector<MenuItem> sub;
};

class MenuStore {
public:
    ~MenuStore();
    platform::Menu* create();
    void append(platform::Menu* menu, int flags, int id, const char* label);
    // The sub-menu's items as they are now; it is destroyed with the menu.
    void appendSub(platform::Menu* menu, int flags, platform::Menu* sub, const char* label);
    void destroy(platform::Menu* menu);
    static const std::vector<MenuItem>& itemsOf(platform::Menu* menu);
    int liveMenus() const { return live; }

private:
    int live = 0;
};

class MenuModel {
public:
    // What the model asks of the backend: a window for each open level.
    class Levels {
    public:
        virtual void open(int level, Rect screenBounds) = 0;
        virtual void close(int level) = 0;
        virtual void show(int level, const RasterImage& pixels) = 0;

    protected:
        ~Levels() = default;
    };

    static constexpr int kGoOn = -2;  // an answer of the event calls: the menu stays open
    enum class Key { Up, Down, Left, Right, Enter, Escape };

    // Opens the first level with its top-left at `at`, kept on a screen of
    // screenWidth x screenHeight.
    MenuModel(const std::vector<MenuItem>& items, Point at, int screenWidth, int screenHeight, Levels& levels);
    ~MenuModel();
    MenuModel(const MenuModel&) = delete;
    MenuModel& operator=(const MenuModel&) = delete;

    // Each answers the chosen item's id, -1 for none (the menu closes), or kGoOn.
    int pointerMoved(Point screen);
    int pointerPressed(Point screen);
    int pointerReleased(Point screen);
    int key(Key key);
    // Shows a level again (after the window system lost its pixels).
    void redraw(int level);

    int levelCount() const { return static_cast<int>(shown.size()); }
    Rect levelBounds(int level) const { return shown[static_cast<size_t>(level)].bounds; }
    // The lit item of a level, or -1.
    int highlighted(int level) const { return shown[static_cast<size_t>(level)].highlighted; }
    // An item's rectangle on the screen.
    Rect itemBounds(int level, int item) const;

private:
    struct Level {
        const std::vector<MenuItem>* items;
        Rect bounds;                  // on the screen
        std::vector<Rect> itemRects;  // in the level's own pixels
        int highlighted = -1;
    };

    void layout(Level& level) const;
    void openLevel(const std::vector<MenuItem>& items, Point at);
    void closeLevel();
    void draw(int level);
    bool itemAt(Point screen, int& level, int& item) const;
    void highlight(int level, int item);
    void openSubMenu();
    void step(int direction);
    int choose();

    Levels& levels;
    int screenWidth, screenHeight;
    std::vector<Level> shown;  // the open levels, outermost first
    RasterCanvas canvas;
};
