// Platform contract, pop-up menus: built item by item, shown at a screen
// point until the user chooses or dismisses. Part of the contract described
// in Platform.h.
#pragma once

#include "Geometry.h"
#include "WindowSystem.h"

namespace platform {

// A pop-up menu.
struct Menu;

// Flags of pop-up menu items.
enum MenuItemFlags : int {
    kMenuSeparator = 1,
    kMenuGrayed = 2,       // disabled and dimmed
    kMenuDisabled = 4,     // disabled, not dimmed (a title)
    kMenuChecked = 8,
    kMenuColumnBreak = 16, // starts a new column
};

class PopupMenus {
public:
    virtual ~PopupMenus() = default;

    virtual Menu* createMenu() = 0;
    virtual void appendMenuItem(Menu* menu, int flags, int id, const char* label) = 0;
    virtual void appendSubMenu(Menu* menu, int flags, Menu* sub, const char* label) = 0;
    // Shows the menu with its top-left at `screen`, tracking the right button
    // or the left one, and answers the chosen item's id or -1. The click that
    // closed the menu does not reach the window.
    virtual int trackMenu(Menu* menu, Window* owner, Point screen, bool rightButton) = 0;
    // Destroys the menu with its sub-menus.
    virtual void destroyMenu(Menu* menu) = 0;
};

}  // namespace platform
