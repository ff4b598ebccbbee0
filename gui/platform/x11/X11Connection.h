// The X11 backend's connection to the display, shared by its parts (the
// window and its events, the text entry, the pop-up menus): the XCB
// connection with the window, the shared image and keyboard symbols.
// Private to the backend.
#pragma once

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "RasterImage.h"
#include "X11Platform.h"

namespace x11 {

// Key symbols the backend handles (X11 keysym values).
constexpr uint32_t kSpace = 0x0020, kBackSpace = 0xff08, kTab = 0xff09, kReturn = 0xff0d, kEscape = 0xff1b;
constexpr uint32_t kHome = 0xff50, kLeft = 0xff51, kUp = 0xff52, kRight = 0xff53, kDown = 0xff54, kEnd = 0xff57;
constexpr uint32_t kKeypadEnter = 0xff8d, kDelete = 0xffff;

inline uint32_t pixelOf(Color c) { return (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue; }

// `count` pixels of row y of the image from x on, as the server's pixels;
// the caller keeps them inside the image.
inline void convertRow(const RasterImage& image, int y, int x, int count, uint32_t* out) {
    const uint8_t* rgb = image.row(y) + static_cast<size_t>(x) * 3;
    for (int i = 0; i < count; ++i, rgb += 3) out[i] = (uint32_t{rgb[0]} << 16) | (uint32_t{rgb[1]} << 8) | rgb[2];
}

}  // namespace x11

struct X11Platform::Connection {
    xcb_connection_t* xcb = nullptr;
    xcb_screen_t* screen = nullptr;
    xcb_window_t window = 0;
    xcb_gcontext_t gc = 0;
    xcb_key_symbols_t* keys = nullptr;
    bool windowAlive = false;
    // Where the keys the editor does not use go: the window that had the
    // focus before a click gave it to the editor (or, when none had, the
    // host's top-level window), so they reach the host as if the editor had
    // not been clicked. Each key code whose press went there has its
    // release follow it.
    xcb_window_t keysGoTo = XCB_NONE;
    bool handedOn[256] = {};
    // The window's pixels in memory shared with the server (MIT-SHM), when
    // the server offers it and shares this machine's memory; else null.
    uint32_t* shared = nullptr;
    xcb_shm_seg_t segment = 0;
    int sharedWidth = 0, sharedHeight = 0;
    // A request sent after the last shared-memory upload: once its reply is
    // in, the server has read the memory, which may then be written again.
    xcb_get_input_focus_cookie_t uploadRead{};
    bool uploadReadPending = false;

    ~Connection() {
        if (uploadReadPending) xcb_discard_reply(xcb, uploadRead.sequence);
        uploadReadPending = false;
        unshareMemory();
        if (keys) xcb_key_symbols_free(keys);
        if (xcb) xcb_disconnect(xcb);
    }

    void unshareMemory() {
        if (!shared) return;
        if (uploadReadPending) std::free(xcb_get_input_focus_reply(xcb, uploadRead, nullptr));
        uploadReadPending = false;
        xcb_shm_detach(xcb, segment);
        shmdt(shared);
        shared = nullptr;
        sharedWidth = sharedHeight = 0;
    }

    // Sets up the shared image for a window of width x height; a server that
    // refuses (one on another machine) leaves the plain upload in use.
    void shareMemory(int width, int height) {
        const xcb_query_extension_reply_t* extension = xcb_get_extension_data(xcb, &xcb_shm_id);
        if (!extension || !extension->present) return;
        const int id = shmget(IPC_PRIVATE, static_cast<size_t>(width) * height * 4, IPC_CREAT | 0600);
        if (id < 0) return;
        void* memory = shmat(id, nullptr, 0);
        shmctl(id, IPC_RMID, nullptr);  // goes when both sides have let go
        if (memory == reinterpret_cast<void*>(-1)) return;
        segment = xcb_generate_id(xcb);
        if (xcb_generic_error_t* error = xcb_request_check(xcb, xcb_shm_attach_checked(xcb, segment, id, 0))) {
            std::free(error);
            shmdt(memory);
            return;
        }
        shared = static_cast<uint32_t*>(memory);
        sharedWidth = width;
        sharedHeight = height;
    }

    // Puts `area` of `image` (its top-left at `to` in `target`) on the server,
    // in bands each within the largest request the server takes.
    void put(const RasterImage& image, Rect area, xcb_drawable_t target, Point to) {
        to = {to.x + std::max(0, -area.left), to.y + std::max(0, -area.top)};
        area = {std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, image.width()),
                std::min(area.bottom, image.height())};
        const int width = area.width();
        if (width <= 0 || area.height() <= 0) return;
        if (shared && target == window && image.width() == sharedWidth && image.height() == sharedHeight) {
            // Long in by the next upload (a frame later), so this rarely waits.
            if (uploadReadPending) std::free(xcb_get_input_focus_reply(xcb, uploadRead, nullptr));
            for (int y = area.top; y < area.bottom; ++y)
                x11::convertRow(image, y, area.left, width, shared + static_cast<size_t>(y) * sharedWidth + area.left);
            xcb_shm_put_image(xcb, target, gc, static_cast<uint16_t>(sharedWidth), static_cast<uint16_t>(sharedHeight),
                              static_cast<uint16_t>(area.left), static_cast<uint16_t>(area.top),
                              static_cast<uint16_t>(width), static_cast<uint16_t>(area.height()),
                              static_cast<int16_t>(to.x), static_cast<int16_t>(to.y), screen->root_depth,
                              XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment, 0);
            uploadRead = xcb_get_input_focus(xcb);
            uploadReadPending = true;
            return;
        }
        const size_t maxBytes = static_cast<size_t>(xcb_get_maximum_request_length(xcb)) * 4 - 64;
        const int bandRows = std::max(1, static_cast<int>(maxBytes / (static_cast<size_t>(width) * 4)));
        std::vector<uint32_t> band;
        for (int top = area.top; top < area.bottom; top += bandRows) {
            const int rows = std::min(bandRows, area.bottom - top);
            band.resize(static_cast<size_t>(width) * rows);
            for (int y = 0; y < rows; ++y)
                x11::convertRow(image, top + y, area.left, width, band.data() + static_cast<size_t>(y) * width);
            xcb_put_image(xcb, XCB_IMAGE_FORMAT_Z_PIXMAP, target, gc, static_cast<uint16_t>(width),
                          static_cast<uint16_t>(rows), static_cast<int16_t>(to.x),
                          static_cast<int16_t>(to.y + top - area.top), 0, screen->root_depth,
                          static_cast<uint32_t>(band.size() * 4), reinterpret_cast<const uint8_t*>(band.data()));
        }
    }

    uint32_t keysymOf(xcb_keycode_t code, uint16_t state) {
        const int column = (state & XCB_MOD_MASK_SHIFT) ? 1 : 0;
        xcb_keysym_t sym = xcb_key_symbols_get_keysym(keys, code, column);
        if (sym == 0 && column == 1) sym = xcb_key_symbols_get_keysym(keys, code, 0);
        return sym;
    }
};

