#include "RasterPlatform.h"

#include <algorithm>

struct RasterPlatform::RasterWindow {
    void* parent;
    platform::WindowEvents* events;
    platform::Device* backing;
    Point origin;
    bool dropEnabled = false;
    bool paintPending = false;
};

RasterPlatform::RasterPlatform() = default;

RasterPlatform::~RasterPlatform() {
    for (RasterWindow* window : windows) {
        canvas.destroyDevice(window->backing);
        delete window;
    }
    delete openBox;
}

RasterPlatform::RasterWindow* RasterPlatform::find(platform::Window* window) const {
    auto* wanted = reinterpret_cast<RasterWindow*>(window);
    return std::find(windows.begin(), windows.end(), wanted) != windows.end() ? wanted : nullptr;
}

// --- Windows ------------------------------------------------------------------------

platform::Window* RasterPlatform::createChildWindow(void* parent, int width, int height,
                                                    platform::WindowEvents* events) {
    if (!parent) return nullptr;
    auto* window = new RasterWindow{parent, events, canvas.createDevice(width, height, kWhite), {}};
    window->paintPending = true;
    windows.push_back(window);
    return reinterpret_cast<platform::Window*>(window);
}

void RasterPlatform::setWindowSize(platform::Window* handle, int width, int height) {
    RasterWindow* window = find(handle);
    if (!window) return;
    canvas.destroyDevice(window->backing);
    window->backing = canvas.createDevice(width, height, kWhite);
    window->paintPending = true;
}

void RasterPlatform::destroyWindow(platform::Window* handle) {
    RasterWindow* window = find(handle);
    if (!window) return;
    windows.erase(std::find(windows.begin(), windows.end(), window));
    canvas.destroyDevice(window->backing);
    delete window;
}

void RasterPlatform::destroyFromOutside(platform::Window* handle) {
    RasterWindow* window = find(handle);
    if (!window) return;
    window->events->destroyed();
    destroyWindow(handle);
}

void* RasterPlatform::nativeHandle(platform::Window* window) { return find(window); }

Point RasterPlatform::windowOrigin(platform::Window* handle) {
    RasterWindow* window = find(handle);
    return window ? window->origin : Point{};
}

void RasterPlatform::setWindowOrigin(platform::Window* handle, Point screen) {
    if (RasterWindow* window = find(handle)) window->origin = screen;
}

void RasterPlatform::enableDrop(platform::Window* handle, bool on) {
    if (RasterWindow* window = find(handle)) window->dropEnabled = on;
}

void RasterPlatform::initializeDragDrop() { ++dropUsers; }
void RasterPlatform::uninitializeDragDrop() { --dropUsers; }

void RasterPlatform::invalidate(platform::Window* handle) {
    if (RasterWindow* window = find(handle)) window->paintPending = true;
}

void RasterPlatform::paintNow(platform::Window* handle) {
    RasterWindow* window = find(handle);
    if (!window) return;
    window->paintPending = false;
    window->events->paint(window->backing);
}

void RasterPlatform::dispatchOnePaint() {
    for (RasterWindow* window : windows)
        if (window->paintPending) {
            paintNow(reinterpret_cast<platform::Window*>(window));
            return;
        }
}

void RasterPlatform::press(platform::Window* handle, Point where) {
    if (RasterWindow* window = find(handle)) window->events->buttonDown(window->backing, where, mouseButtons());
}

void RasterPlatform::press(platform::Window* handle, Point where, int pressButtons) {
    if (RasterWindow* window = find(handle)) window->events->buttonDown(window->backing, where, pressButtons);
}

void RasterPlatform::turnWheel(platform::Window* handle, Point where, float notches) {
    if (RasterWindow* window = find(handle)) window->events->wheel(where, notches);
}

bool RasterPlatform::pressKey(platform::Window* handle, int key, int character, int modifiers) {
    RasterWindow* window = find(handle);
    return window && window->events->key({character, key, modifiers});
}

void RasterPlatform::changeFocus(platform::Window* handle, bool focused) {
    if (RasterWindow* window = find(handle)) window->events->focusChanged(focused);
}

bool RasterPlatform::dropText(platform::Window* handle, const std::string& text) {
    RasterWindow* window = find(handle);
    if (!window || !window->dropEnabled) return false;
    void* items[1] = {const_cast<char*>(text.c_str())};
    return window->events->drop(items, static_cast<int>(text.size() + 1), platform::kDropText);
}

bool RasterPlatform::dropFiles(platform::Window* handle, const std::vector<std::string>& names) {
    RasterWindow* window = find(handle);
    if (!window || !window->dropEnabled) return false;
    std::vector<void*> items;
    for (const std::string& name : names) items.push_back(const_cast<char*>(name.c_str()));
    return window->events->drop(items.data(), static_cast<int>(items.size()), platform::kDropFiles);
}

const RasterImage& RasterPlatform::pixels(platform::Window* handle) const {
    static const RasterImage none;
    RasterWindow* window = find(handle);
    return window ? RasterCanvas::pixelsOf(window->backing) : none;
}

// --- Devices --------------------------------------------------------------------------

platform::Device* RasterPlatform::acquireWindowDevice(platform::Window* handle) {
    RasterWindow* window = find(handle);
    if (window) ++windowDrawingCount;
    return window ? window->backing : nullptr;
}

void RasterPlatform::releaseWindowDevice(platform::Window*, platform::Device*) {}

// --- Edit box -----------------------------------------------------------------------------

platform::EditBox* RasterPlatform::openEditBox(platform::Window*, Rect r, const char* text, const FontSpec& font,
                                               platform::TextAlign align, platform::EditEvents* events) {
    delete openBox;
    openBox = new EditBoxState{r, text ? text : "", font, align, true, events};
    return reinterpret_cast<platform::EditBox*>(openBox);
}

void RasterPlatform::editBoxText(platform::EditBox* box, char* out, int capacity) {
    if (capacity <= 0) return;
    const std::string& text = reinterpret_cast<EditBoxState*>(box)->text;
    const size_t length = std::min(text.size(), static_cast<size_t>(capacity - 1));
    text.copy(out, length);
    out[length] = 0;
}

void RasterPlatform::closeEditBox(platform::EditBox* box) {
    if (reinterpret_cast<EditBoxState*>(box) != openBox) return;
    delete openBox;
    openBox = nullptr;
}

void RasterPlatform::typeInEditBox(const std::string& typed) {
    if (!openBox) return;
    if (openBox->allSelected) openBox->text.clear();
    openBox->allSelected = false;
    openBox->text += typed;
}

void RasterPlatform::pressEnterInEditBox() {
    if (openBox) openBox->events->editEnded();
}

void RasterPlatform::editBoxLosesFocus() {
    if (openBox) openBox->events->editEnded();
}

// --- Pop-up menus ------------------------------------------------------------------------------

platform::Menu* RasterPlatform::createMenu() { return menus.create(); }

void RasterPlatform::appendMenuItem(platform::Menu* menu, int flags, int id, const char* label) {
    menus.append(menu, flags, id, label);
}

void RasterPlatform::appendSubMenu(platform::Menu* menu, int flags, platform::Menu* sub, const char* label) {
    menus.appendSub(menu, flags, sub, label);
}

int RasterPlatform::trackMenu(platform::Menu* menu, platform::Window*, Point screen, bool rightButton) {
    shownMenu = {MenuStore::itemsOf(menu), screen, rightButton};
    const int chosen = nextChoice;
    nextChoice = -1;
    return chosen;
}

void RasterPlatform::destroyMenu(platform::Menu* menu) { menus.destroy(menu); }

int RasterPlatform::mouseButtons() {
    if (!script.empty()) {
        buttons = script.front().buttons;
        cursor = script.front().cursor;
        script.pop_front();
    }
    return buttons;
}
