#include "X11Platform.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "RasterText.h"

namespace {

// Key symbols the backend handles (X11 keysym values).
constexpr uint32_t kSpace = 0x0020, kBackSpace = 0xff08, kTab = 0xff09, kReturn = 0xff0d, kEscape = 0xff1b;
constexpr uint32_t kHome = 0xff50, kLeft = 0xff51, kUp = 0xff52, kRight = 0xff53, kDown = 0xff54, kEnd = 0xff57;
constexpr uint32_t kKeypadEnter = 0xff8d, kDelete = 0xffff;

// The host interface's numbering of the keys the editor knows.
constexpr int kVirtualSpace = 7, kVirtualTab = 2;

constexpr int kMaxEntryLength = 255;

// MouseButtons bits of an X modifier-and-button state.
int buttonsOf(uint16_t state) {
    int held = 0;
    if (state & XCB_BUTTON_MASK_1) held |= platform::kLeftButton;
    if (state & XCB_BUTTON_MASK_2) held |= platform::kMiddleButton;
    if (state & XCB_BUTTON_MASK_3) held |= platform::kRightButton;
    if (state & XCB_MOD_MASK_SHIFT) held |= platform::kShiftKey;
    if (state & XCB_MOD_MASK_CONTROL) held |= platform::kControlKey;
    if (state & XCB_MOD_MASK_1) held |= platform::kAltKey;
    return held;
}

int buttonOf(uint8_t detail) {
    return detail == 1 ? platform::kLeftButton : detail == 2 ? platform::kMiddleButton : platform::kRightButton;
}

uint32_t pixelOf(Color c) { return (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue; }

// A connection to the display DISPLAY names, or null. A server still closing
// a connection that ended a moment before can refuse the next one during its
// setup (seen with Xvfb when an editor is closed and opened again at once),
// so a refused setup is tried again after a short pause.
xcb_connection_t* connectToDisplay(int& screenNumber) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        xcb_connection_t* xcb = xcb_connect(nullptr, &screenNumber);
        if (!xcb_connection_has_error(xcb)) return xcb;
        xcb_disconnect(xcb);
        const timespec pause{0, 5000000};
        nanosleep(&pause, nullptr);
    }
    return nullptr;
}

}  // namespace

// --- The connection ----------------------------------------------------------------------

struct X11Platform::Connection {
    xcb_connection_t* xcb = nullptr;
    xcb_screen_t* screen = nullptr;
    xcb_window_t window = 0;
    xcb_gcontext_t gc = 0;
    xcb_key_symbols_t* keys = nullptr;
    bool windowAlive = false;
    RasterImage shown;  // what the server holds of the window
    // The window's pixels in memory shared with the server (MIT-SHM), when
    // the server offers it and shares this machine's memory; else null.
    uint32_t* shared = nullptr;
    xcb_shm_seg_t segment = 0;
    int sharedWidth = 0, sharedHeight = 0;

    ~Connection() {
        if (shared) {
            xcb_shm_detach(xcb, segment);
            shmdt(shared);
        }
        if (keys) xcb_key_symbols_free(keys);
        if (xcb) xcb_disconnect(xcb);
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
        const int width = area.width();
        if (width <= 0 || area.height() <= 0) return;
        if (shared && target == window && image.width() == sharedWidth && image.height() == sharedHeight) {
            for (int y = area.top; y < area.bottom; ++y)
                for (int x = area.left; x < area.right; ++x)
                    shared[static_cast<size_t>(y) * sharedWidth + x] = pixelOf(image.pixel(x, y));
            xcb_shm_put_image(xcb, target, gc, static_cast<uint16_t>(sharedWidth), static_cast<uint16_t>(sharedHeight),
                              static_cast<uint16_t>(area.left), static_cast<uint16_t>(area.top),
                              static_cast<uint16_t>(width), static_cast<uint16_t>(area.height()),
                              static_cast<int16_t>(to.x), static_cast<int16_t>(to.y), screen->root_depth,
                              XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment, 0);
            // The server reads the memory later; it has read it by the reply to this.
            std::free(xcb_get_input_focus_reply(xcb, xcb_get_input_focus(xcb), nullptr));
            return;
        }
        const size_t maxBytes = static_cast<size_t>(xcb_get_maximum_request_length(xcb)) * 4 - 64;
        const int bandRows = std::max(1, static_cast<int>(maxBytes / (static_cast<size_t>(width) * 4)));
        std::vector<uint32_t> band;
        for (int top = area.top; top < area.bottom; top += bandRows) {
            const int rows = std::min(bandRows, area.bottom - top);
            band.resize(static_cast<size_t>(width) * rows);
            for (int y = 0; y < rows; ++y)
                for (int x = 0; x < width; ++x)
                    band[static_cast<size_t>(y) * width + x] = pixelOf(image.pixel(area.left + x, top + y));
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

// The entry over a text field: its text with a selection (anchor to caret,
// in bytes), drawn in the field's font and colours, with the keyboard focus
// while it is open.
struct X11Platform::EditBox {
    Rect r;
    std::string text;
    std::string original;
    FontSpec font;
    platform::TextAlign align;
    platform::EditEvents* events;
    size_t anchor = 0;
    size_t caret = 0;
    xcb_window_t previousFocus = XCB_NONE;

    bool hasSelection() const { return anchor != caret; }
    void replaceSelection(const std::string& with) {
        const size_t from = std::min(anchor, caret), to = std::max(anchor, caret);
        text.replace(from, to - from, with);
        if (text.size() > kMaxEntryLength) text.resize(kMaxEntryLength);
        caret = anchor = std::min(from + with.size(), text.size());
    }
};

X11Platform::X11Platform() = default;

X11Platform::~X11Platform() {
    if (window) destroyWindow(window);
}

int X11Platform::connectionDescriptor() const { return connection ? xcb_get_file_descriptor(connection->xcb) : -1; }

bool X11Platform::usesSharedMemory() const { return connection && connection->shared; }

// --- The window --------------------------------------------------------------------------

// A display connection of the editor's own to the display DISPLAY names; the
// window is a child of the host's (its id in `parent`). Any failure leaves
// the frame without a window.
platform::Window* X11Platform::createChildWindow(void* parent, int width, int height,
                                                 platform::WindowEvents* events) {
    if (!parent || window) return nullptr;
    auto fresh = std::make_unique<Connection>();
    int screenNumber = 0;
    fresh->xcb = connectToDisplay(screenNumber);
    if (!fresh->xcb) return nullptr;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(fresh->xcb));
    for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
    fresh->screen = screens.data;
    if (!fresh->screen) return nullptr;

    const xcb_window_t id = xcb_generate_id(fresh->xcb);
    const uint32_t eventMask = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                               XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_KEY_PRESS |
                               XCB_EVENT_MASK_FOCUS_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    const uint32_t values[] = {eventMask};
    xcb_void_cookie_t made = xcb_create_window_checked(
        fresh->xcb, XCB_COPY_FROM_PARENT, id, static_cast<xcb_window_t>(reinterpret_cast<uintptr_t>(parent)), 0, 0,
        static_cast<uint16_t>(width), static_cast<uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
        fresh->screen->root_visual, XCB_CW_EVENT_MASK, values);
    if (xcb_generic_error_t* error = xcb_request_check(fresh->xcb, made)) {
        std::free(error);  // a parent that does not exist
        return nullptr;
    }
    fresh->window = id;
    fresh->windowAlive = true;
    fresh->gc = xcb_generate_id(fresh->xcb);
    xcb_create_gc(fresh->xcb, fresh->gc, id, 0, nullptr);
    fresh->keys = xcb_key_symbols_alloc(fresh->xcb);
    fresh->shareMemory(width, height);
    xcb_map_window(fresh->xcb, id);
    xcb_flush(fresh->xcb);

    window = RasterPlatform::createChildWindow(parent, width, height, events);
    connection = std::move(fresh);
    return window;
}

void X11Platform::destroyWindow(platform::Window* handle) {
    if (!window || handle != window) return;
    editBox.reset();
    RasterPlatform::destroyWindow(window);
    window = nullptr;
    if (connection->windowAlive) xcb_destroy_window(connection->xcb, connection->window);
    xcb_free_gc(connection->xcb, connection->gc);
    xcb_flush(connection->xcb);
    connection.reset();
}

void* X11Platform::nativeHandle(platform::Window* handle) {
    if (!connection || handle != window) return nullptr;
    return reinterpret_cast<void*>(static_cast<uintptr_t>(connection->window));
}

Point X11Platform::windowOrigin(platform::Window* handle) {
    if (!connection || handle != window) return {};
    xcb_translate_coordinates_reply_t* reply = xcb_translate_coordinates_reply(
        connection->xcb, xcb_translate_coordinates(connection->xcb, connection->window, connection->screen->root, 0, 0),
        nullptr);
    if (!reply) return {};
    const Point origin{reply->dst_x, reply->dst_y};
    std::free(reply);
    return origin;
}

// Each drawing step outside a paint event ends here: the changed part goes
// to the server.
void X11Platform::releaseWindowDevice(platform::Window* handle, platform::Device* device) {
    RasterPlatform::releaseWindowDevice(handle, device);
    if (handle == window) upload(false);
}

// Uploads the bounding rectangle of what changed since the last upload, or
// the whole window (after an expose, when the server's copy is gone).
void X11Platform::upload(bool everything) {
    if (!connection || !connection->windowAlive) return;
    const RasterImage& image = pixels(window);
    RasterImage& shown = connection->shown;
    const int width = image.width(), height = image.height();
    Rect changed{0, 0, width, height};
    if (!everything && shown.width() == width && shown.height() == height) {
        changed = {width, height, 0, 0};
        for (int y = 0; y < height; ++y) {
            const uint8_t* now = image.row(y);
            const uint8_t* before = shown.row(y);
            if (std::memcmp(now, before, static_cast<size_t>(width) * 3) == 0) continue;
            int left = 0, right = width;
            while (std::memcmp(now + left * 3, before + left * 3, 3) == 0) ++left;
            while (std::memcmp(now + (right - 1) * 3, before + (right - 1) * 3, 3) == 0) --right;
            changed = {std::min(changed.left, left), std::min(changed.top, y), std::max(changed.right, right),
                       y + 1};
        }
        if (changed.left >= changed.right) return;
    }
    connection->put(image, changed, connection->window, changed.topLeft());
    if (everything || shown.width() != width || shown.height() != height) {
        shown = image;
    } else {
        for (int y = changed.top; y < changed.bottom; ++y)
            for (int x = changed.left; x < changed.right; ++x) shown.setPixel(x, y, image.pixel(x, y));
    }
    xcb_flush(connection->xcb);
}

// --- Events ------------------------------------------------------------------------------

// Drains the connection. Inside a click that lets the host run (a knob
// drag's idle pump), and for the pump's paint step, only exposures are
// handled: the rest belongs to the gesture under way.
void X11Platform::drainEvents(bool exposuresOnly) {
    if (!connection) return;
    const bool wasDispatching = dispatching;
    dispatching = true;
    while (connection) {
        xcb_generic_event_t* event = xcb_poll_for_event(connection->xcb);
        if (!event) break;
        handleEvent(event, exposuresOnly);  // may close the window, and the connection with it
        std::free(event);
    }
    dispatching = wasDispatching;
}

void X11Platform::dispatchOnePaint() { drainEvents(true); }
void X11Platform::dispatchEvents() { drainEvents(dispatching); }

void X11Platform::handleEvent(void* raw, bool nested) {
    auto* event = static_cast<xcb_generic_event_t*>(raw);
    platform::WindowEvents* events = window ? eventsOf(window) : nullptr;
    if (!events) return;
    switch (event->response_type & 0x7f) {
        case 0: break;  // an error: the window or the parent may be gone; nothing to do
        case XCB_EXPOSE:
            if (reinterpret_cast<xcb_expose_event_t*>(event)->count == 0) {
                paintNow(window);
                if (editBox) drawEditBox();
                upload(true);
            }
            break;
        case XCB_BUTTON_PRESS: {
            if (nested) break;
            auto* press = reinterpret_cast<xcb_button_press_event_t*>(event);
            const Point where{press->event_x, press->event_y};
            if (press->detail == 4 || press->detail == 5) {
                events->wheel(where, press->detail == 4 ? 1.0f : -1.0f);
                break;
            }
            if (press->detail > 3) break;  // sideways wheel and extra buttons
            if (editBox && editBox->r.containsInclusive(where)) break;  // a click in the entry goes on editing
            xcb_set_input_focus(connection->xcb, XCB_INPUT_FOCUS_PARENT, connection->window, press->time);
            platform::Device* device = acquireWindowDevice(window);
            events->buttonDown(device, where, buttonOf(press->detail) | buttonsOf(press->state));
            if (window) releaseWindowDevice(window, device);
            break;
        }
        case XCB_KEY_PRESS: {
            if (nested) break;
            auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
            handleKey(connection->keysymOf(press->detail, press->state), press->state);
            break;
        }
        case XCB_FOCUS_IN:
        case XCB_FOCUS_OUT: {
            auto* focus = reinterpret_cast<xcb_focus_in_event_t*>(event);
            if (focus->detail == XCB_NOTIFY_DETAIL_POINTER || focus->mode != XCB_NOTIFY_MODE_NORMAL) break;
            const bool focused = (event->response_type & 0x7f) == XCB_FOCUS_IN;
            events->focusChanged(focused);
            if (!focused && editBox && !nested) {
                // Another window took the focus: the entry ends, as a click elsewhere ends it,
                // and the focus stays where it went.
                editBox->previousFocus = XCB_NONE;
                editBox->events->editEnded();
            }
            break;
        }
        case XCB_DESTROY_NOTIFY:
            if (reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window == connection->window) {
                connection->windowAlive = false;
                events->destroyed();
            }
            break;
        case XCB_MAPPING_NOTIFY:
            xcb_refresh_keyboard_mapping(connection->keys, reinterpret_cast<xcb_mapping_notify_event_t*>(event));
            break;
    }
}

// --- Text entry --------------------------------------------------------------------------

platform::EditBox* X11Platform::openEditBox(platform::Window* handle, Rect r, const char* text, const FontSpec& font,
                                            platform::TextAlign align, platform::EditEvents* events) {
    if (!connection || handle != window) return nullptr;
    editBox = std::make_unique<EditBox>();
    EditBox& box = *editBox;
    box.r = r;
    box.text = box.original = text ? text : "";
    if (box.text.size() > kMaxEntryLength) box.text.resize(kMaxEntryLength);
    box.font = font;
    box.align = align;
    box.events = events;
    box.anchor = 0;
    box.caret = box.text.size();  // all of it selected
    if (xcb_get_input_focus_reply_t* focus =
            xcb_get_input_focus_reply(connection->xcb, xcb_get_input_focus(connection->xcb), nullptr)) {
        box.previousFocus = focus->focus;
        std::free(focus);
    }
    xcb_set_input_focus(connection->xcb, XCB_INPUT_FOCUS_PARENT, connection->window, XCB_CURRENT_TIME);
    drawEditBox();
    return reinterpret_cast<platform::EditBox*>(editBox.get());
}

void X11Platform::editBoxText(platform::EditBox* handle, char* out, int capacity) {
    if (capacity <= 0) return;
    out[0] = 0;
    if (!editBox || reinterpret_cast<EditBox*>(handle) != editBox.get()) return;
    const size_t length = std::min(editBox->text.size(), static_cast<size_t>(capacity - 1));
    editBox->text.copy(out, length);
    out[length] = 0;
}

// The keyboard focus goes back where it was (an error, if that window has
// gone meanwhile, only comes back as an event).
void X11Platform::closeEditBox(platform::EditBox* handle) {
    if (!editBox || reinterpret_cast<EditBox*>(handle) != editBox.get()) return;
    if (connection && editBox->previousFocus != XCB_NONE && editBox->previousFocus != connection->window)
        xcb_set_input_focus(connection->xcb, XCB_INPUT_FOCUS_PARENT, editBox->previousFocus, XCB_CURRENT_TIME);
    editBox.reset();
    if (connection) xcb_flush(connection->xcb);
}

void X11Platform::drawEditBox() {
    EditBox& box = *editBox;
    const Color text = box.events->editTextColor(), back = box.events->editBackColor();
    auto widthOf = [&](size_t bytes) { return RasterText::measure(box.font, box.text.substr(0, bytes).c_str()).width; };
    const int total = widthOf(box.text.size());
    int start = box.r.left + 1;
    if (box.align == platform::TextAlign::Center)
        start = box.r.left + (box.r.width() - total) / 2;
    else if (box.align == platform::TextAlign::Right)
        start = box.r.right - 1 - total;
    const Rect line{start, box.r.top, box.r.right, box.r.bottom};

    platform::Device* device = acquireWindowDevice(window);
    platform::Painter* painter = beginDrawing(device);
    setFill(painter, back);
    fillRect(painter, box.r);
    setFont(painter, box.font);
    setTextColor(painter, text);
    drawText(painter, box.text.c_str(), line, false, platform::TextAlign::Left);
    if (box.hasSelection()) {
        // The selection in reverse: the text's colour behind, the background's in front.
        const size_t from = std::min(box.anchor, box.caret), to = std::max(box.anchor, box.caret);
        const Rect marked{std::max(start + widthOf(from), box.r.left), box.r.top + 1,
                          std::min(start + widthOf(to), box.r.right), box.r.bottom - 1};
        setFill(painter, text);
        fillRect(painter, marked);
        setTextColor(painter, back);
        drawText(painter, box.text.substr(from, to - from).c_str(), {start + widthOf(from), box.r.top, marked.right, box.r.bottom},
                 false, platform::TextAlign::Left);
    } else {
        const int x = std::min(std::max(start + widthOf(box.caret), box.r.left), box.r.right - 1);
        setPen(painter, text, false);
        moveTo(painter, {x, box.r.top + 1});
        lineTo(painter, {x, box.r.bottom - 1});
    }
    endDrawing(painter);
    releaseWindowDevice(window, device);
}

void X11Platform::handleKey(uint32_t keysym, uint16_t state) {
    platform::WindowEvents* events = eventsOf(window);
    if (!editBox) {
        if (keysym == kSpace)
            events->key(kVirtualSpace, 0);
        else if (keysym == kTab)
            events->key(kVirtualTab, 0);
        else if (keysym > kSpace && keysym < 0x7f)
            events->key(0, static_cast<int>(keysym));
        return;
    }
    EditBox& box = *editBox;
    const bool shift = (state & XCB_MOD_MASK_SHIFT) != 0;
    auto moveTo = [&](size_t position) {
        box.caret = position;
        if (!shift) box.anchor = position;
    };
    switch (keysym) {
        case kReturn:
        case kKeypadEnter: box.events->editEnded(); return;  // closes the box
        case kEscape:
            box.text = box.original;  // nothing changed, so the listener hears nothing
            box.events->editEnded();
            return;
        case kBackSpace:
            if (!box.hasSelection() && box.caret > 0) box.anchor = box.caret - 1;
            box.replaceSelection("");
            break;
        case kDelete:
            if (!box.hasSelection() && box.caret < box.text.size()) box.anchor = box.caret + 1;
            box.replaceSelection("");
            break;
        case kLeft:
            moveTo(box.hasSelection() && !shift ? std::min(box.anchor, box.caret) : (box.caret > 0 ? box.caret - 1 : 0));
            break;
        case kRight:
            moveTo(box.hasSelection() && !shift ? std::max(box.anchor, box.caret)
                                                : std::min(box.caret + 1, box.text.size()));
            break;
        case kHome: moveTo(0); break;
        case kEnd: moveTo(box.text.size()); break;
        default:
            if (keysym >= kSpace && keysym < 0x7f) box.replaceSelection(std::string(1, static_cast<char>(keysym)));
            else return;
    }
    drawEditBox();
}

// --- Input and time ------------------------------------------------------------------------

// The pointer as the server has it now: its screen position and the
// buttons and modifiers held. False without a connection.
bool X11Platform::queryPointer(Point& at, int& held) {
    if (!connection) return false;
    xcb_query_pointer_reply_t* pointer = xcb_query_pointer_reply(
        connection->xcb, xcb_query_pointer(connection->xcb, connection->screen->root), nullptr);
    if (!pointer) return false;
    at = {pointer->root_x, pointer->root_y};
    held = buttonsOf(pointer->mask);
    std::free(pointer);
    return true;
}

int X11Platform::mouseButtons() {
    Point at;
    int held = 0;
    return queryPointer(at, held) ? held : 0;
}

Point X11Platform::cursorPosition() {
    Point at;
    int held = 0;
    return queryPointer(at, held) ? at : Point{};
}

uint32_t X11Platform::ticks() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u + now.tv_nsec / 1000000);
}

void X11Platform::sleep(int milliseconds) {
    const timespec pause{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}

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
        openLevel(items, screen);
        const uint16_t pointerEvents =
            XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION;
        free(xcb_grab_pointer_reply(c.xcb,
                                    xcb_grab_pointer(c.xcb, 0, levels[0].window, pointerEvents, XCB_GRAB_MODE_ASYNC,
                                                     XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
                                    nullptr));
        free(xcb_grab_keyboard_reply(c.xcb,
                                     xcb_grab_keyboard(c.xcb, 0, levels[0].window, XCB_CURRENT_TIME,
                                                       XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                     nullptr));
        xcb_flush(c.xcb);
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
        // The level hears the pointer itself too, so a click that comes before
        // the grab has taken hold still reaches the menu.
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
