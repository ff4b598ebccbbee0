// The X11 tests' side of the display: a connection of their own, a parent
// window standing for the host's, real input through the XTest extension,
// and reading back what a window shows. Needs DISPLAY (the test command
// starts its own Xvfb).
#pragma once

#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Geometry.h"

class XDisplay {
public:
    // A setup the server refuses while it still closes an earlier connection
    // is tried again, as the backend does.
    XDisplay() {
        for (int attempt = 0; attempt < 3; ++attempt) {
            xcb = xcb_connect(nullptr, nullptr);
            if (!xcb_connection_has_error(xcb)) break;
            xcb_disconnect(xcb);
            xcb = nullptr;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (!xcb) return;
        screen = xcb_setup_roots_iterator(xcb_get_setup(xcb)).data;
        keys = xcb_key_symbols_alloc(xcb);
    }
    ~XDisplay() {
        for (xcb_window_t w : windows) xcb_destroy_window(xcb, w);
        if (keys) xcb_key_symbols_free(keys);
        if (xcb) xcb_disconnect(xcb);
    }
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool ready() const { return screen != nullptr; }

    // A mapped top-level window at (x, y) on the screen, as a host's.
    xcb_window_t hostWindow(int x, int y, int width, int height) {
        const xcb_window_t w = xcb_generate_id(xcb);
        const uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                                            XCB_EVENT_MASK_FOCUS_CHANGE};
        xcb_create_window(xcb, XCB_COPY_FROM_PARENT, w, screen->root, static_cast<int16_t>(x), static_cast<int16_t>(y),
                          static_cast<uint16_t>(width), static_cast<uint16_t>(height), 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
        xcb_map_window(xcb, w);
        sync();
        windows.push_back(w);
        return w;
    }

    void sync() { std::free(xcb_get_input_focus_reply(xcb, xcb_get_input_focus(xcb), nullptr)); }

    void focus(xcb_window_t w) {
        xcb_set_input_focus(xcb, XCB_INPUT_FOCUS_POINTER_ROOT, w, XCB_CURRENT_TIME);
        sync();
    }
    xcb_window_t focused() {
        xcb_get_input_focus_reply_t* reply = xcb_get_input_focus_reply(xcb, xcb_get_input_focus(xcb), nullptr);
        const xcb_window_t w = reply ? reply->focus : 0;
        std::free(reply);
        return w;
    }

    // The screen position of a point of a window.
    Point onScreen(xcb_window_t w, Point where) {
        xcb_translate_coordinates_reply_t* reply = xcb_translate_coordinates_reply(
            xcb, xcb_translate_coordinates(xcb, w, screen->root, static_cast<int16_t>(where.x),
                                           static_cast<int16_t>(where.y)),
            nullptr);
        const Point at = reply ? Point{reply->dst_x, reply->dst_y} : Point{};
        std::free(reply);
        return at;
    }

    // --- Real input (XTest) -------------------------------------------------
    void moveTo(Point screenPoint) {
        xcb_test_fake_input(xcb, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, screen->root,
                            static_cast<int16_t>(screenPoint.x), static_cast<int16_t>(screenPoint.y), 0);
        sync();
    }
    void button(int number, bool down) {
        xcb_test_fake_input(xcb, down ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, static_cast<uint8_t>(number),
                            XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        sync();
    }
    void click(Point screenPoint, int number = 1) {
        moveTo(screenPoint);
        button(number, true);
        button(number, false);
    }
    void key(uint32_t keysym, bool down) {
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(keys, keysym);
        if (!codes) return;
        xcb_test_fake_input(xcb, down ? XCB_KEY_PRESS : XCB_KEY_RELEASE, codes[0], XCB_CURRENT_TIME, XCB_NONE, 0, 0,
                            0);
        std::free(codes);
        sync();
    }
    void tap(uint32_t keysym) {
        key(keysym, true);
        key(keysym, false);
    }
    void type(const char* text) {
        for (const char* c = text; *c; ++c) tap(static_cast<unsigned char>(*c));
    }

    // The keys a window of this connection's has been sent or given so far,
    // in order, as "+name" for a press and "-name" for a release (names:
    // the keysyms below, else the keysym in hex), "^" marking Control held.
    std::vector<std::string> keysAt(xcb_window_t w) {
        std::vector<std::string> keys;
        while (xcb_generic_event_t* event = xcb_poll_for_event(xcb)) {
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) {
                auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
                if (key->event == w) {
                    const xcb_keysym_t sym = xcb_key_symbols_get_keysym(this->keys, key->detail, 0);
                    std::string name = sym == 0xffe3 ? "Control" : sym == 0x20 ? "space" : sym == 0xff09 ? "Tab"
                                       : sym >= 0x21 && sym < 0x7f ? std::string(1, static_cast<char>(sym))
                                                                   : std::to_string(sym);
                    keys.push_back((type == XCB_KEY_PRESS ? "+" : "-") + std::string(key->state & XCB_MOD_MASK_CONTROL ? "^" : "") + name);
                }
            }
            std::free(event);
        }
        return keys;
    }

    // --- What the screen shows ----------------------------------------------
    // The window's pixels as 0xRRGGBB, row by row.
    std::vector<uint32_t> pixels(xcb_window_t w, int width, int height) {
        std::vector<uint32_t> out;
        xcb_get_image_reply_t* image = xcb_get_image_reply(
            xcb, xcb_get_image(xcb, XCB_IMAGE_FORMAT_Z_PIXMAP, w, 0, 0, static_cast<uint16_t>(width),
                               static_cast<uint16_t>(height), ~0u),
            nullptr);
        if (!image) return out;
        const uint32_t* data = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
        out.assign(data, data + static_cast<size_t>(width) * height);
        for (uint32_t& p : out) p &= 0xFFFFFF;
        std::free(image);
        return out;
    }

    // The pixels of a part of a window, as pixels() gives them.
    std::vector<uint32_t> area(xcb_window_t w, Rect r) {
        const int width = r.right, height = r.bottom;
        const std::vector<uint32_t> all = pixels(w, width, height);
        std::vector<uint32_t> part;
        if (all.empty()) return part;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) part.push_back(all[static_cast<size_t>(y) * width + x]);
        return part;
    }

    // A viewable override-redirect window on the screen other than `except`
    // (a pop-up menu), or 0.
    xcb_window_t popup(const std::vector<xcb_window_t>& except = {}) {
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(xcb, xcb_query_tree(xcb, screen->root), nullptr);
        if (!tree) return 0;
        xcb_window_t found = 0;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            bool skip = false;
            for (xcb_window_t w : except) skip = skip || w == children[i];
            for (xcb_window_t w : windows) skip = skip || w == children[i];
            if (skip) continue;
            xcb_get_window_attributes_reply_t* a =
                xcb_get_window_attributes_reply(xcb, xcb_get_window_attributes(xcb, children[i]), nullptr);
            if (a && a->override_redirect && a->map_state == XCB_MAP_STATE_VIEWABLE) found = children[i];
            std::free(a);
        }
        std::free(tree);
        return found;
    }

    // The X resources of the screen, as xrdb loads them ("name:\tvalue" lines);
    // empty removes them.
    void setResources(const std::string& text) {
        if (text.empty())
            xcb_delete_property(xcb, screen->root, XCB_ATOM_RESOURCE_MANAGER);
        else
            xcb_change_property(xcb, XCB_PROP_MODE_REPLACE, screen->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING,
                                8, static_cast<uint32_t>(text.size()), text.data());
        sync();
    }
    // A window's width and height.
    Point size(xcb_window_t w) {
        xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(xcb, xcb_get_geometry(xcb, w), nullptr);
        const Point found = g ? Point{g->width, g->height} : Point{};
        std::free(g);
        return found;
    }

    // A window's first child, or 0.
    xcb_window_t childOf(xcb_window_t w) {
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(xcb, xcb_query_tree(xcb, w), nullptr);
        const xcb_window_t child = tree && xcb_query_tree_children_length(tree) ? xcb_query_tree_children(tree)[0] : 0;
        std::free(tree);
        return child;
    }
    // Whether a window is mapped with all its ancestors (so it shows).
    bool viewable(xcb_window_t w) {
        xcb_get_window_attributes_reply_t* a = xcb_get_window_attributes_reply(xcb, xcb_get_window_attributes(xcb, w), nullptr);
        const bool shown = a && a->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(a);
        return shown;
    }

    // Windows on the server below the root, all levels.
    int windowCount() { return countBelow(screen->root); }

    xcb_connection_t* xcb = nullptr;
    xcb_screen_t* screen = nullptr;

private:
    int countBelow(xcb_window_t w) {
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(xcb, xcb_query_tree(xcb, w), nullptr);
        if (!tree) return 0;
        int count = xcb_query_tree_children_length(tree);
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0, n = count; i < n; ++i) count += countBelow(children[i]);
        std::free(tree);
        return count;
    }

    xcb_key_symbols_t* keys = nullptr;
    std::vector<xcb_window_t> windows;
};

// How long a wait for an event may take before the test gives up on it. A
// bound for failures only: every wait returns as soon as its event happens,
// so a busy machine makes a test slower, never red.
constexpr std::chrono::seconds kPatience{15};

// Calls `step` (an idle) until `done` holds or the patience runs out.
inline bool idleUntil(const std::function<void()>& step, const std::function<bool()>& done) {
    const auto start = std::chrono::steady_clock::now();
    while (!done()) {
        step();
        if (std::chrono::steady_clock::now() - start > kPatience) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Waits, on a thread that idles nothing, until `done` holds or the patience
// runs out.
inline bool waitFor(const std::function<bool()>& done) {
    return idleUntil([] {}, done);
}

// Waits until a pop-up menu is open on the screen and takes input (it grabs
// the pointer and the keyboard before it shows), and returns its window, or
// 0 when none opens.
inline xcb_window_t openPopup(XDisplay& display) {
    xcb_window_t popup = 0;
    waitFor([&] { return (popup = display.popup()) != 0; });
    return popup;
}

// A knob drag's second half, from a connection of its own while the
// caller's thread sits in the drag loop: once `pressed` holds the pointer
// moves to `to` (screen pixels), and once `moved` holds (the drag has seen
// the move) the left button goes up. Join the thread.
inline std::thread moveThenRelease(Point to, std::function<bool()> pressed, std::function<bool()> moved) {
    return std::thread([to, pressed, moved] {
        XDisplay own;
        waitFor(pressed);
        own.moveTo(to);
        waitFor(moved);
        own.button(1, false);
    });
}
