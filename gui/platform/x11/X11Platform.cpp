#include "X11Platform.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "X11Connection.h"

using namespace x11;

namespace {

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

// The Xft.dpi resource of the root window's resources (the lines
// "name:\tvalue" that xrdb loads), or 0 when it has none.
double xftDpi(xcb_connection_t* xcb, xcb_window_t root) {
    constexpr uint32_t kMaxWords = 1 << 16;  // 256 KiB of resources at most
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        xcb, xcb_get_property(xcb, 0, root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, kMaxWords), nullptr);
    if (!reply) return 0;
    const char* text = static_cast<const char*>(xcb_get_property_value(reply));
    const std::string resources(text, static_cast<size_t>(xcb_get_property_value_length(reply)));
    std::free(reply);
    double dpi = 0;
    for (size_t line = 0; line < resources.size();) {
        size_t end = resources.find('\n', line);
        if (end == std::string::npos) end = resources.size();
        const std::string entry = resources.substr(line, end - line);
        if (entry.rfind("Xft.dpi:", 0) == 0) {
            const double value = std::strtod(entry.c_str() + 8, nullptr);
            if (value > 0 && value < 10000) dpi = value;
        }
        line = end + 1;
    }
    return dpi;
}

// The window's one size, as its minimum and maximum, for hosts and
// embedding toolkits that read the size hints (ICCCM WM_NORMAL_HINTS).
void setSizeHints(xcb_connection_t* xcb, xcb_window_t window, int width, int height) {
    constexpr uint32_t kMinSize = 1u << 4, kMaxSize = 1u << 5;
    const auto w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height);
    const uint32_t hints[18] = {kMinSize | kMaxSize, 0, 0, 0, 0, w, h, w, h};
    xcb_change_property(xcb, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18,
                        hints);
}

}  // namespace

X11Platform::X11Platform() = default;

double X11Platform::displayScale(void*) {
    if (const char* gdk = std::getenv("GDK_SCALE")) {
        const int whole = std::atoi(gdk);
        if (whole >= 1 && whole <= 3 && std::strlen(gdk) == 1) return whole;
    }
    xcb_connection_t* xcb = connection ? connection->xcb : nullptr;
    xcb_screen_t* screen = connection ? connection->screen : nullptr;
    int screenNumber = 0;
    xcb_connection_t* ownConnection = xcb ? nullptr : connectToDisplay(screenNumber);
    if (ownConnection) {
        xcb = ownConnection;
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(xcb));
        for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
        screen = screens.data;
    }
    const double dpi = xcb && screen ? xftDpi(xcb, screen->root) : 0;
    if (ownConnection) xcb_disconnect(ownConnection);
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

X11Platform::~X11Platform() {
    if (window) destroyWindow(window);
}

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
                               XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                               XCB_EVENT_MASK_FOCUS_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    // What the window shows stays in its corner when a host resizes it.
    const uint32_t values[] = {XCB_GRAVITY_NORTH_WEST, eventMask};
    xcb_void_cookie_t made = xcb_create_window_checked(
        fresh->xcb, XCB_COPY_FROM_PARENT, id, static_cast<xcb_window_t>(reinterpret_cast<uintptr_t>(parent)), 0, 0,
        static_cast<uint16_t>(width), static_cast<uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
        fresh->screen->root_visual, XCB_CW_BIT_GRAVITY | XCB_CW_EVENT_MASK, values);
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
    setSizeHints(fresh->xcb, id, width, height);
    xcb_map_window(fresh->xcb, id);
    xcb_flush(fresh->xcb);

    connection = std::move(fresh);
    this->events = events;
    backing = canvas.createDevice(width, height, kWhite);
    window = reinterpret_cast<platform::Window*>(connection.get());
    return window;
}

void X11Platform::setWindowSize(platform::Window* handle, int width, int height) {
    if (!window || handle != window || !connection->windowAlive) return;
    canvas.destroyDevice(backing);
    backing = canvas.createDevice(width, height, kWhite);
    connection->unshareMemory();
    connection->shareMemory(width, height);
    setSizeHints(connection->xcb, connection->window, width, height);
    const uint32_t size[] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
    xcb_configure_window(connection->xcb, connection->window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    xcb_clear_area(connection->xcb, 1, connection->window, 0, 0, 0, 0);  // an exposure for the new size
    xcb_flush(connection->xcb);
}

void X11Platform::destroyWindow(platform::Window* handle) {
    if (!window || handle != window) return;
    stopIdleTimer(handle);
    editBox.reset();
    canvas.destroyDevice(backing);
    backing = nullptr;
    events = nullptr;
    window = nullptr;
    if (connection->windowAlive) xcb_destroy_window(connection->xcb, connection->window);
    xcb_free_gc(connection->xcb, connection->gc);
    xcb_flush(connection->xcb);
    connection.reset();
}

// The server fills what the host adds to the window with the backdrop, at once.
void X11Platform::setWindowBackdrop(platform::Window* handle, Color colour) {
    if (!connection || handle != window) return;
    const uint32_t pixel = pixelOf(colour);
    xcb_change_window_attributes(connection->xcb, connection->window, XCB_CW_BACK_PIXEL, &pixel);
    xcb_flush(connection->xcb);
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

platform::Device* X11Platform::acquireWindowDevice(platform::Window* handle) {
    return handle && handle == window ? backing : nullptr;
}

// Each drawing step outside a paint event ends here: what it drew goes to
// the server.
void X11Platform::releaseWindowDevice(platform::Window* handle, platform::Device*) {
    if (handle && handle == window) upload(false);
}

// The whole window, as the toolkit paints it, with the edit box over it.
void X11Platform::paintWindow() {
    events->paint(backing);
    if (editBox) editBox->draw(canvas, backing);
}

// Uploads the part drawn on since the last upload, or the whole window
// (after an expose, when the server's copy is gone).
void X11Platform::upload(bool everything) {
    if (!connection || !connection->windowAlive) return;
    const RasterImage& image = RasterCanvas::pixelsOf(backing);
    const Rect drawn = RasterCanvas::takeDamage(backing);
    const Rect area = everything ? Rect{0, 0, image.width(), image.height()} : drawn;
    if (area.left >= area.right || area.top >= area.bottom) return;
    connection->put(image, area, connection->window, area.topLeft());
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
void X11Platform::dispatchEvents() {
    uint64_t expirations = 0;
    if (idleTimer >= 0 && read(idleTimer, &expirations, sizeof expirations) < 0) expirations = 0;  // none due
    drainEvents(dispatching);
}

bool X11Platform::startIdleTimer(platform::Window* handle, int milliseconds) {
    if (!window || handle != window || milliseconds <= 0) return false;
    if (idleTimer >= 0) return true;
    const int ticks = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (ticks < 0) return false;
    const timespec period{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
    const itimerspec every{period, period};
    if (timerfd_settime(ticks, 0, &every, nullptr) != 0) {
        close(ticks);
        return false;
    }
    idleTimer = ticks;
    return true;
}

void X11Platform::stopIdleTimer(platform::Window*) {
    if (idleTimer >= 0) close(idleTimer);
    idleTimer = -1;
}

int X11Platform::eventDescriptor() { return connection ? xcb_get_file_descriptor(connection->xcb) : -1; }

void X11Platform::handleEvent(void* raw, bool nested) {
    auto* event = static_cast<xcb_generic_event_t*>(raw);
    if (!events) return;
    switch (event->response_type & 0x7f) {
        case 0: break;  // an error: the window or the parent may be gone; nothing to do
        case XCB_EXPOSE:
            if (reinterpret_cast<xcb_expose_event_t*>(event)->count == 0) {
                paintWindow();
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
            if (editBox && editBox->bounds().containsInclusive(where)) break;  // a click in the entry goes on editing
            rememberWhereKeysGo();
            xcb_set_input_focus(connection->xcb, XCB_INPUT_FOCUS_PARENT, connection->window, press->time);
            xcb_flush(connection->xcb);  // the focus moves before whatever the click does
            platform::Device* device = acquireWindowDevice(window);
            events->buttonDown(device, where, buttonOf(press->detail) | buttonsOf(press->state));
            if (window) releaseWindowDevice(window, device);
            break;
        }
        case XCB_KEY_PRESS: {
            if (nested) break;
            auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
            if (!handleKey(connection->keysymOf(press->detail, press->state), press->state)) handOn(press, true);
            break;
        }
        case XCB_KEY_RELEASE: {
            auto* release = reinterpret_cast<xcb_key_release_event_t*>(event);
            if (connection->handedOn[release->detail]) handOn(release, false);
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
                focusBeforeEditing = XCB_NONE;
                editBox->events()->editEnded();
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
                                            platform::TextAlign align, platform::EditEvents* listener) {
    if (!connection || handle != window) return nullptr;
    editBox = std::make_unique<EditBoxModel>(r, text, font, align, listener);
    focusBeforeEditing = XCB_NONE;
    if (xcb_get_input_focus_reply_t* focus =
            xcb_get_input_focus_reply(connection->xcb, xcb_get_input_focus(connection->xcb), nullptr)) {
        focusBeforeEditing = focus->focus;
        std::free(focus);
    }
    xcb_set_input_focus(connection->xcb, XCB_INPUT_FOCUS_PARENT, connection->window, XCB_CURRENT_TIME);
    drawEditBox();
    return reinterpret_cast<platform::EditBox*>(editBox.get());
}

void X11Platform::editBoxText(platform::EditBox* handle, char* out, int capacity) {
    if (capacity <= 0) return;
    out[0] = 0;
    if (!editBox || reinterpret_cast<EditBoxModel*>(handle) != editBox.get()) return;
    const std::string& text = editBox->text();
    const size_t length = std::min(text.size(), static_cast<size_t>(capacity - 1));
    text.copy(out, length);
    out[length] = 0;
}

// The keyboard focus goes back where it was (an error, if that window has
// gone meanwhile, only comes back as an event).
void X11Platform::closeEditBox(platform::EditBox* handle) {
    if (!editBox || reinterpret_cast<EditBoxModel*>(handle) != editBox.get()) return;
    if (connection && focusBeforeEditing != XCB_NONE && focusBeforeEditing != connection->window)
        xcb_set_input_focus(connection->xcb, XCB_INPUT_FOCUS_PARENT, focusBeforeEditing, XCB_CURRENT_TIME);
    editBox.reset();
    if (connection) xcb_flush(connection->xcb);
}

void X11Platform::drawEditBox() {
    editBox->draw(canvas, backing);
    upload(false);
}

// Answers whether the editor (or the edit box) used the key.
bool X11Platform::handleKey(uint32_t keysym, uint16_t state) {
    const int modifiers = (state & XCB_MOD_MASK_SHIFT ? platform::kModifierShift : 0) |
                          (state & XCB_MOD_MASK_CONTROL ? platform::kModifierControl : 0) |
                          (state & XCB_MOD_MASK_1 ? platform::kModifierAlt : 0) |
                          (state & XCB_MOD_MASK_4 ? platform::kModifierSuper : 0);
    if (!editBox) {
        if (keysym == kSpace) return events->key({0, platform::kKeySpace, modifiers});
        if (keysym == kTab) return events->key({0, platform::kKeyTab, modifiers});
        if (keysym > kSpace && keysym < 0x7f) return events->key({static_cast<int>(keysym), platform::kKeyNone, modifiers});
        return false;
    }
    if (platform::isShortcut(modifiers)) return false;
    using Key = EditBoxModel::Key;
    struct Editing {
        uint32_t keysym;
        Key key;
    };
    static const Editing kEditingKeys[] = {{kReturn, Key::Enter}, {kKeypadEnter, Key::Enter},
                                           {kEscape, Key::Escape}, {kBackSpace, Key::BackSpace},
                                           {kDelete, Key::Delete}, {kLeft, Key::Left},
                                           {kRight, Key::Right},   {kHome, Key::Home},
                                           {kEnd, Key::End}};
    EditBoxModel::Answer answer = EditBoxModel::Answer::NotUsed;
    if (keysym >= kSpace && keysym < 0x7f) answer = editBox->type(static_cast<char>(keysym));
    for (const Editing& editing : kEditingKeys)
        if (editing.keysym == keysym) answer = editBox->key(editing.key, (state & XCB_MOD_MASK_SHIFT) != 0);
    if (answer == EditBoxModel::Answer::Used) drawEditBox();  // an ended entry may have closed the box
    return answer != EditBoxModel::Answer::NotUsed;
}

// Asked on each click, before the editor takes the focus.
void X11Platform::rememberWhereKeysGo() {
    xcb_get_input_focus_reply_t* focus =
        xcb_get_input_focus_reply(connection->xcb, xcb_get_input_focus(connection->xcb), nullptr);
    const xcb_window_t focused = focus ? focus->focus : XCB_NONE;
    std::free(focus);
    if (focused == connection->window) return;  // the editor's already: the keys go where they went
    if (focused != XCB_NONE && focused != XCB_INPUT_FOCUS_POINTER_ROOT) {
        connection->keysGoTo = focused;
        return;
    }
    // No window had it: the host's top-level window, the editor's ancestor just below the root.
    xcb_window_t at = connection->window;
    for (;;) {
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection->xcb, xcb_query_tree(connection->xcb, at), nullptr);
        if (!tree) break;
        const xcb_window_t parent = tree->parent, root = tree->root;
        std::free(tree);
        if (parent == root || parent == XCB_NONE) break;
        at = parent;
    }
    connection->keysGoTo = at == connection->window ? XCB_NONE : at;
}

// The key event goes on to the host's window as the server gave it, marked
// as sent (X11 says so of every event a client sends).
void X11Platform::handOn(const void* keyEvent, bool press) {
    auto event = *static_cast<const xcb_key_press_event_t*>(keyEvent);
    connection->handedOn[event.detail] = press;
    if (connection->keysGoTo == XCB_NONE) return;
    event.event = connection->keysGoTo;
    event.child = XCB_NONE;
    xcb_send_event(connection->xcb, 1, connection->keysGoTo,
                   press ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE, reinterpret_cast<const char*>(&event));
    xcb_flush(connection->xcb);
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

