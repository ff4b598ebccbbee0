#include <cstdlib>

#include "RasterText.h"
#include "X11Connection.h"

using namespace x11;

// --- Pop-up menus ------------------------------------------------------------------------------

// A pop-up menu of windows of its own above everything (override-redirect),
// with the pointer and keyboard grabbed while it is open, so the click that
// closes it never reaches the editor. Each open level is one window; items
// are drawn by the raster renderer.
class X11Platform::MenuTracker {
public:
    MenuTracker(X11Platform& platform, Connection& connection) : platform(platform), c(connection) {}
    ~MenuTracker() {
        while (!levels.empty()) closeLevel();
        xcb_ungrab_pointer(c.xcb, XCB_CURRENT_TIME);
        xcb_ungrab_keyboard(c.xcb, XCB_CURRENT_TIME);
        xcb_flush(c.xcb);
    }

    int run(const std::vector<MenuItem>& items, Point screen) {
        // Grabbed on the editor's window before the menu shows, so that every
        // key and click that comes once it is on the screen is the menu's.
        const uint16_t pointerEvents =
            XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION;
        free(xcb_grab_pointer_reply(c.xcb,
                                    xcb_grab_pointer(c.xcb, 0, c.window, pointerEvents, XCB_GRAB_MODE_ASYNC,
                                                     XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
                                    nullptr));
        free(xcb_grab_keyboard_reply(c.xcb,
                                     xcb_grab_keyboard(c.xcb, 0, c.window, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC,
                                                       XCB_GRAB_MODE_ASYNC),
                                     nullptr));
        openLevel(items, screen);
        for (;;) {
            xcb_generic_event_t* event = xcb_wait_for_event(c.xcb);
            if (!event) return -1;  // the connection broke
            const int outcome = handle(event);
            std::free(event);
            if (outcome != kGoOn) return outcome;
        }
    }

private:
    static constexpr int kGoOn = -2;
    static constexpr int kItemHeight = 18, kSeparatorHeight = 8, kMargin = 3, kCheckWidth = 18, kArrowWidth = 16;

    struct Level {
        const std::vector<MenuItem>* items;
        xcb_window_t window;
        Rect bounds;  // on the screen
        std::vector<Rect> itemRects;  // in the level's own pixels
        int highlighted = -1;
    };

    static bool selectable(const MenuItem& item) {
        return !(item.flags & (platform::kMenuSeparator | platform::kMenuGrayed | platform::kMenuDisabled));
    }
    static FontSpec font() { return {kFontTable[0].face, 13, false, false, false, false}; }

    // Items one under another; an item flagged as a column break starts a
    // new column to the right.
    void layout(Level& level) {
        std::vector<int> columnOf;
        std::vector<int> widths(1, 0);
        int x = 0, y = kMargin, height = 0;
        for (const MenuItem& item : *level.items) {
            if ((item.flags & platform::kMenuColumnBreak) && y > kMargin) {
                widths.push_back(0);
                y = kMargin;
            }
            const int h = (item.flags & platform::kMenuSeparator) ? kSeparatorHeight : kItemHeight;
            level.itemRects.push_back({0, y, 0, y + h});
            columnOf.push_back(static_cast<int>(widths.size()) - 1);
            const int labelWidth = RasterText::measure(font(), item.label.c_str()).width;
            widths.back() = std::max(widths.back(), kCheckWidth + labelWidth + kArrowWidth);
            y += h;
            height = std::max(height, y);
        }
        std::vector<int> lefts;
        for (int w : widths) {
            lefts.push_back(kMargin + x);
            x += w;
        }
        for (size_t i = 0; i < level.itemRects.size(); ++i) {
            level.itemRects[i].left = lefts[static_cast<size_t>(columnOf[i])];
            level.itemRects[i].right = level.itemRects[i].left + widths[static_cast<size_t>(columnOf[i])];
        }
        level.bounds.right = level.bounds.left + x + 2 * kMargin;
        level.bounds.bottom = level.bounds.top + std::max(height, kItemHeight) + kMargin;
    }

    void openLevel(const std::vector<MenuItem>& items, Point at) {
        Level level{&items, 0, {at.x, at.y, at.x, at.y}, {}, -1};
        layout(level);
        // Kept on the screen: moved left or up where it would run off.
        const int screenWidth = c.screen->width_in_pixels, screenHeight = c.screen->height_in_pixels;
        const int dx = std::min(0, screenWidth - level.bounds.right), dy = std::min(0, screenHeight - level.bounds.bottom);
        level.bounds = {std::max(0, level.bounds.left + dx), std::max(0, level.bounds.top + dy),
                        std::max(0, level.bounds.left + dx) + level.bounds.width(),
                        std::max(0, level.bounds.top + dy) + level.bounds.height()};
        level.window = xcb_generate_id(c.xcb);
        // The level hears the pointer itself too, so the menu still works by
        // mouse where the server refused the grab.
        const uint32_t values[] = {1, XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                          XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION};
        xcb_create_window(c.xcb, XCB_COPY_FROM_PARENT, level.window, c.screen->root,
                          static_cast<int16_t>(level.bounds.left), static_cast<int16_t>(level.bounds.top),
                          static_cast<uint16_t>(level.bounds.width()), static_cast<uint16_t>(level.bounds.height()), 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, c.screen->root_visual,
                          XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
        xcb_map_window(c.xcb, level.window);
        levels.push_back(level);
        draw(levels.back());
    }

    void closeLevel() {
        xcb_destroy_window(c.xcb, levels.back().window);
        levels.pop_back();
        xcb_flush(c.xcb);
    }

    void draw(const Level& level) {
        const int w = level.bounds.width(), h = level.bounds.height();
        platform::Device* device = platform.createOffscreen(nullptr, w, h);
        platform::Painter* painter = platform.beginDrawing(device);
        const Color face{212, 208, 200, 0}, shadow{128, 128, 128, 0}, highlight{10, 36, 106, 0};
        platform.setFill(painter, face);
        platform.fillRect(painter, {0, 0, w, h});
        platform.setPen(painter, shadow, false);
        platform.moveTo(painter, {0, h - 1});
        platform.lineTo(painter, {w - 1, h - 1});
        platform.lineTo(painter, {w - 1, 0});
        platform.setPen(painter, kWhite, false);
        platform.lineTo(painter, {0, 0});
        platform.lineTo(painter, {0, h - 1});
        platform.setFont(painter, font());
        for (size_t i = 0; i < level.items->size(); ++i) {
            const MenuItem& item = (*level.items)[i];
            const Rect r = level.itemRects[i];
            if (item.flags & platform::kMenuSeparator) {
                const int y = (r.top + r.bottom) / 2;
                platform.setPen(painter, shadow, false);
                platform.moveTo(painter, {r.left + 1, y});
                platform.lineTo(painter, {r.right - 1, y});
                platform.setPen(painter, kWhite, false);
                platform.moveTo(painter, {r.left + 1, y + 1});
                platform.lineTo(painter, {r.right - 1, y + 1});
                continue;
            }
            const bool lit = static_cast<int>(i) == level.highlighted;
            if (lit) {
                platform.setFill(painter, highlight);
                platform.fillRect(painter, r);
            }
            const Color ink = (item.flags & platform::kMenuGrayed) ? shadow : lit ? kWhite : kBlack;
            platform.setTextColor(painter, ink);
            platform.drawText(painter, item.label.c_str(), {r.left + kCheckWidth, r.top, r.right, r.bottom}, false,
                              platform::TextAlign::Left);
            platform.setPen(painter, ink, false);
            const int cy = (r.top + r.bottom) / 2;
            if (item.flags & platform::kMenuChecked) {  // a tick
                platform.moveTo(painter, {r.left + 5, cy});
                platform.lineTo(painter, {r.left + 8, cy + 3});
                platform.lineTo(painter, {r.left + 14, cy - 4});
            }
            if (!item.sub.empty() || item.id < 0) {  // a sub-menu's arrow
                for (int k = 0; k < 4; ++k) {
                    platform.moveTo(painter, {r.right - 10 + k, cy - 3 + k});
                    platform.lineTo(painter, {r.right - 10 + k, cy + 4 - k});
                }
            }
        }
        platform.endDrawing(painter);
        c.put(RasterPlatform::pixelsOf(device), {0, 0, w, h}, level.window, {0, 0});
        platform.destroyOffscreen(device);
        xcb_flush(c.xcb);
    }

    // The level and item under a screen point (innermost level first).
    bool itemAt(Point screen, int& levelIndex, int& item) const {
        for (int l = static_cast<int>(levels.size()) - 1; l >= 0; --l) {
            const Level& level = levels[static_cast<size_t>(l)];
            if (!level.bounds.containsInclusive(screen)) continue;
            levelIndex = l;
            item = -1;
            const Point local{screen.x - level.bounds.left, screen.y - level.bounds.top};
            for (size_t i = 0; i < level.itemRects.size(); ++i) {
                const Rect& r = level.itemRects[i];
                if (local.x >= r.left && local.x < r.right && local.y >= r.top && local.y < r.bottom)
                    item = static_cast<int>(i);
            }
            return true;
        }
        return false;
    }

    void highlight(int levelIndex, int item) {
        while (static_cast<int>(levels.size()) > levelIndex + 1) closeLevel();
        Level& level = levels[static_cast<size_t>(levelIndex)];
        if (item >= 0 && !selectable((*level.items)[static_cast<size_t>(item)])) item = -1;
        if (level.highlighted != item) {
            level.highlighted = item;
            draw(level);
        }
    }

    void openSubMenu() {
        Level& level = levels.back();
        if (level.highlighted < 0) return;
        const MenuItem& item = (*level.items)[static_cast<size_t>(level.highlighted)];
        if (item.sub.empty()) return;
        const Rect& r = level.itemRects[static_cast<size_t>(level.highlighted)];
        openLevel(item.sub, {level.bounds.left + r.right, level.bounds.top + r.top});
    }

    void step(int direction) {
        Level& level = levels.back();
        const int count = static_cast<int>(level.items->size());
        int i = level.highlighted;
        for (int tries = 0; tries < count; ++tries) {
            i = (i + direction + count) % count;
            if (selectable((*level.items)[static_cast<size_t>(i)])) {
                highlight(static_cast<int>(levels.size()) - 1, i);
                return;
            }
        }
    }

    // The chosen id, -1 for none, or kGoOn.
    int choose() {
        Level& level = levels.back();
        if (level.highlighted < 0) return kGoOn;
        const MenuItem& item = (*level.items)[static_cast<size_t>(level.highlighted)];
        if (!item.sub.empty()) {
            openSubMenu();
            step(+1);
            return kGoOn;
        }
        return item.id;
    }

    int handle(xcb_generic_event_t* event) {
        switch (event->response_type & 0x7f) {
            case XCB_EXPOSE: {
                const xcb_window_t exposed = reinterpret_cast<xcb_expose_event_t*>(event)->window;
                for (const Level& level : levels)
                    if (level.window == exposed) draw(level);
                if (exposed == c.window) platform.handleEvent(event, true);
                return kGoOn;
            }
            case XCB_MOTION_NOTIFY: {
                auto* motion = reinterpret_cast<xcb_motion_notify_event_t*>(event);
                int levelIndex, item;
                if (itemAt({motion->root_x, motion->root_y}, levelIndex, item)) {
                    highlight(levelIndex, item);
                    if (item >= 0) openSubMenu();
                }
                return kGoOn;
            }
            case XCB_BUTTON_PRESS: {
                auto* press = reinterpret_cast<xcb_button_press_event_t*>(event);
                int levelIndex, item;
                return itemAt({press->root_x, press->root_y}, levelIndex, item) ? kGoOn : -1;
            }
            case XCB_BUTTON_RELEASE: {
                auto* release = reinterpret_cast<xcb_button_release_event_t*>(event);
                int levelIndex, item;
                if (!itemAt({release->root_x, release->root_y}, levelIndex, item) || item < 0) return kGoOn;
                highlight(levelIndex, item);
                const Level& level = levels[static_cast<size_t>(levelIndex)];
                if (level.highlighted < 0) return kGoOn;
                return (*level.items)[static_cast<size_t>(item)].sub.empty() ? choose() : kGoOn;
            }
            case XCB_KEY_PRESS: {
                auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
                switch (c.keysymOf(press->detail, press->state)) {
                    case kDown: step(+1); break;
                    case kUp: step(-1); break;
                    case kRight:
                        openSubMenu();
                        if (levels.back().highlighted < 0) step(+1);
                        break;
                    case kLeft:
                        if (levels.size() > 1) closeLevel();
                        break;
                    case kReturn:
                    case kKeypadEnter: return choose();
                    case kEscape:
                        if (levels.size() == 1) return -1;
                        closeLevel();
                        break;
                }
                return kGoOn;
            }
        }
        return kGoOn;
    }

    X11Platform& platform;
    Connection& c;
    std::vector<Level> levels;
};

int X11Platform::trackMenu(platform::Menu* menu, platform::Window* owner, Point screen, bool) {
    if (!connection || owner != window || !menu) return -1;
    MenuTracker tracker(*this, *connection);
    return tracker.run(itemsOf(menu), screen);
}
