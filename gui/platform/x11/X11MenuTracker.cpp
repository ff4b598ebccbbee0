#include <cstdlib>

#include "X11Connection.h"

using namespace x11;

// --- Pop-up menus ------------------------------------------------------------------------------

// A pop-up menu in windows of its own above everything (override-redirect),
// one for each level the menu model opens, with the pointer and keyboard
// grabbed while it is open, so the click that closes it never reaches the
// editor. The model decides; this only shows its levels and feeds it events.
class X11Platform::MenuTracker : public MenuModel::Levels {
public:
    MenuTracker(X11Platform& platform, Connection& connection) : platform(platform), c(connection) {}
    ~MenuTracker() {
        model.reset();  // closes the levels' windows
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
        model = std::make_unique<MenuModel>(items, screen, c.screen->width_in_pixels, c.screen->height_in_pixels,
                                            *this);
        for (;;) {
            xcb_generic_event_t* event = xcb_wait_for_event(c.xcb);
            if (!event) return -1;  // the connection broke
            const int outcome = handle(event);
            std::free(event);
            if (outcome != MenuModel::kGoOn) return outcome;
        }
    }

private:
    // The level hears the pointer itself too, so the menu still works by
    // mouse where the server refused the grab.
    void open(int level, Rect bounds) override {
        const xcb_window_t id = xcb_generate_id(c.xcb);
        const uint32_t values[] = {1, XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                          XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION};
        xcb_create_window(c.xcb, XCB_COPY_FROM_PARENT, id, c.screen->root, static_cast<int16_t>(bounds.left),
                          static_cast<int16_t>(bounds.top), static_cast<uint16_t>(bounds.width()),
                          static_cast<uint16_t>(bounds.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          c.screen->root_visual, XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
        xcb_map_window(c.xcb, id);
        windows.resize(static_cast<size_t>(level));
        windows.push_back(id);
    }

    void close(int level) override {
        xcb_destroy_window(c.xcb, windows[static_cast<size_t>(level)]);
        windows.resize(static_cast<size_t>(level));
        xcb_flush(c.xcb);
    }

    void show(int level, const RasterImage& pixels) override {
        c.put(pixels, {0, 0, pixels.width(), pixels.height()}, windows[static_cast<size_t>(level)], {0, 0});
        xcb_flush(c.xcb);
    }

    int handle(xcb_generic_event_t* event) {
        switch (event->response_type & 0x7f) {
            case XCB_EXPOSE: {
                const xcb_window_t exposed = reinterpret_cast<xcb_expose_event_t*>(event)->window;
                for (size_t level = 0; level < windows.size(); ++level)
                    if (windows[level] == exposed) model->redraw(static_cast<int>(level));
                if (exposed == c.window) platform.handleEvent(event, true);
                return MenuModel::kGoOn;
            }
            case XCB_MOTION_NOTIFY: {
                auto* motion = reinterpret_cast<xcb_motion_notify_event_t*>(event);
                return model->pointerMoved({motion->root_x, motion->root_y});
            }
            case XCB_BUTTON_PRESS: {
                auto* press = reinterpret_cast<xcb_button_press_event_t*>(event);
                return model->pointerPressed({press->root_x, press->root_y});
            }
            case XCB_BUTTON_RELEASE: {
                auto* release = reinterpret_cast<xcb_button_release_event_t*>(event);
                return model->pointerReleased({release->root_x, release->root_y});
            }
            case XCB_KEY_PRESS: {
                auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
                using Key = MenuModel::Key;
                switch (c.keysymOf(press->detail, press->state)) {
                    case kDown: return model->key(Key::Down);
                    case kUp: return model->key(Key::Up);
                    case kRight: return model->key(Key::Right);
                    case kLeft: return model->key(Key::Left);
                    case kReturn:
                    case kKeypadEnter: return model->key(Key::Enter);
                    case kEscape: return model->key(Key::Escape);
                }
                return MenuModel::kGoOn;
            }
        }
        return MenuModel::kGoOn;
    }

    X11Platform& platform;
    Connection& c;
    std::vector<xcb_window_t> windows;  // one for each open level
    std::unique_ptr<MenuModel> model;
};

int X11Platform::trackMenu(platform::Menu* menu, platform::Window* owner, Point screen, bool) {
    if (!connection || owner != window || !menu) return -1;
    MenuTracker tracker(*this, *connection);
    return tracker.run(MenuStore::itemsOf(menu), screen);
}
