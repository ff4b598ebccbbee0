#include "RasterPlatform.h"

#include <algorithm>
#include <cstdlib>

#include "RasterText.h"
#include "platform/EmbeddedImages.h"

namespace {

struct RasterDevice {
    RasterImage image;
};

struct RasterPainter {
    RasterImage* image = nullptr;
    Color pen = kBlack;
    bool dotted = false;
    Color fill = kWhite;  // also the background of opaque text
    Color text = kBlack;
    Point position;
    int dashPosition = 0;
    FontSpec font{kFontTable[0].face, kFontTable[0].defaultSize, true, false, false, false};
};

RasterDevice* deviceOf(platform::Device* d) { return reinterpret_cast<RasterDevice*>(d); }
platform::Device* handleOf(RasterDevice* d) { return reinterpret_cast<platform::Device*>(d); }
RasterPainter* painterOf(platform::Painter* p) { return reinterpret_cast<RasterPainter*>(p); }
RasterImage* imageOf(platform::Image* i) { return reinterpret_cast<RasterImage*>(i); }

// A dotted cosmetic pen: three pixels on, three off, restarting at each move.
constexpr int kDotLength = 3;

// Copies dest's size from `from` at `source` to `to` at dest's top-left;
// with a key, pixels of that colour leave the destination as it was.
void blit(const RasterImage& from, RasterImage& to, Rect dest, Point source, const Color* key) {
    if (!key) {
        to.copyFrom(from, dest, source);
        return;
    }
    for (int y = 0; y < dest.height(); ++y)
        for (int x = 0; x < dest.width(); ++x) {
            const int sx = source.x + x, sy = source.y + y;
            if (!from.contains(sx, sy)) continue;
            const Color c = from.pixel(sx, sy);
            if (key && c.red == key->red && c.green == key->green && c.blue == key->blue) continue;
            to.setPixel(dest.left + x, dest.top + y, c);
        }
}

}  // namespace

struct RasterPlatform::RasterWindow {
    void* parent;
    platform::WindowEvents* events;
    RasterDevice backing;
    Point origin;
    bool dropEnabled = false;
    bool paintPending = false;
};

RasterPlatform::RasterPlatform() = default;

RasterPlatform::~RasterPlatform() {
    for (RasterWindow* window : windows) delete window;
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
    auto* window = new RasterWindow{parent, events, {RasterImage(width, height, kWhite)}, {}};
    window->paintPending = true;
    windows.push_back(window);
    return reinterpret_cast<platform::Window*>(window);
}

void RasterPlatform::destroyWindow(platform::Window* handle) {
    RasterWindow* window = find(handle);
    if (!window) return;
    windows.erase(std::find(windows.begin(), windows.end(), window));
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
    window->events->paint(handleOf(&window->backing));
}

void RasterPlatform::dispatchOnePaint() {
    for (RasterWindow* window : windows)
        if (window->paintPending) {
            paintNow(reinterpret_cast<platform::Window*>(window));
            return;
        }
}

void RasterPlatform::press(platform::Window* handle, Point where) {
    if (RasterWindow* window = find(handle)) window->events->buttonDown(handleOf(&window->backing), where, mouseButtons());
}

void RasterPlatform::press(platform::Window* handle, Point where, int pressButtons) {
    if (RasterWindow* window = find(handle)) window->events->buttonDown(handleOf(&window->backing), where, pressButtons);
}

void RasterPlatform::turnWheel(platform::Window* handle, Point where, float notches) {
    if (RasterWindow* window = find(handle)) window->events->wheel(where, notches);
}

bool RasterPlatform::pressKey(platform::Window* handle, int key, int character) {
    RasterWindow* window = find(handle);
    return window && window->events->key(key, character);
}

void RasterPlatform::changeFocus(platform::Window* handle, bool focused) {
    if (RasterWindow* window = find(handle)) window->events->focusChanged(focused);
}

platform::WindowEvents* RasterPlatform::eventsOf(platform::Window* handle) const {
    RasterWindow* window = find(handle);
    return window ? window->events : nullptr;
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
    return window ? window->backing.image : none;
}

const RasterImage& RasterPlatform::pixelsOf(platform::Device* device) { return deviceOf(device)->image; }

// --- Devices --------------------------------------------------------------------------

platform::Device* RasterPlatform::acquireWindowDevice(platform::Window* handle) {
    RasterWindow* window = find(handle);
    if (window) ++windowDrawingCount;
    return window ? handleOf(&window->backing) : nullptr;
}

void RasterPlatform::releaseWindowDevice(platform::Window*, platform::Device*) {}

platform::Device* RasterPlatform::createOffscreen(platform::Window*, int width, int height) {
    return handleOf(new RasterDevice{RasterImage(width, height, kBlack)});
}

void RasterPlatform::destroyOffscreen(platform::Device* device) { delete deviceOf(device); }

void RasterPlatform::copyDevice(platform::Device* from, platform::Device* to, Rect dest, Point source) {
    if (from && to) blit(deviceOf(from)->image, deviceOf(to)->image, dest, source, nullptr);
}

// --- Drawing ------------------------------------------------------------------------------

platform::Painter* RasterPlatform::beginDrawing(platform::Device* device) {
    auto* painter = new RasterPainter;
    painter->image = &deviceOf(device)->image;
    return reinterpret_cast<platform::Painter*>(painter);
}

void RasterPlatform::endDrawing(platform::Painter* painter) { delete painterOf(painter); }

void RasterPlatform::setPen(platform::Painter* painter, Color color, bool dotted) {
    painterOf(painter)->pen = color;
    painterOf(painter)->dotted = dotted;
}

void RasterPlatform::setFill(platform::Painter* painter, Color color) { painterOf(painter)->fill = color; }
void RasterPlatform::setTextColor(platform::Painter* painter, Color color) { painterOf(painter)->text = color; }
void RasterPlatform::setFont(platform::Painter* painter, const FontSpec& font) { painterOf(painter)->font = font; }

void RasterPlatform::moveTo(platform::Painter* painter, Point p) {
    painterOf(painter)->position = p;
    painterOf(painter)->dashPosition = 0;
}

// Bresenham's line from the current position, leaving out the end point.
void RasterPlatform::lineTo(platform::Painter* handle, Point p) {
    RasterPainter* painter = painterOf(handle);
    Point at = painter->position;
    const int dx = std::abs(p.x - at.x), dy = std::abs(p.y - at.y);
    const int stepX = p.x > at.x ? 1 : -1, stepY = p.y > at.y ? 1 : -1;
    int error = (dx > dy ? dx : -dy) / 2;
    while (!(at == p)) {
        const bool on = !painter->dotted || (painter->dashPosition / kDotLength) % 2 == 0;
        if (on) painter->image->setPixel(at.x, at.y, painter->pen);
        ++painter->dashPosition;
        const int before = error;
        if (before > -dx) {
            error -= dy;
            at.x += stepX;
        }
        if (before < dy) {
            error += dx;
            at.y += stepY;
        }
    }
    painter->position = p;
}

void RasterPlatform::fillRect(platform::Painter* handle, Rect r) {
    RasterPainter* painter = painterOf(handle);
    painter->image->fill(r, painter->fill);
}

void RasterPlatform::drawText(platform::Painter* handle, const char* text, Rect r, bool opaque,
                              platform::TextAlign align) {
    RasterPainter* painter = painterOf(handle);
    const TextMetrics metrics = RasterText::measure(painter->font, text);
    int x = r.left;
    if (align == platform::TextAlign::Center)
        x = r.left + (r.width() - metrics.width) / 2;
    else if (align == platform::TextAlign::Right)
        x = r.right - metrics.width;
    const int y = r.top + (r.height() - metrics.height) / 2;
    if (opaque) {
        const Rect box{std::max(x, r.left), std::max(y, r.top), std::min(x + metrics.width, r.right),
                       std::min(y + metrics.height, r.bottom)};
        for (int py = box.top; py < box.bottom; ++py)
            for (int px = box.left; px < box.right; ++px) painter->image->setPixel(px, py, painter->fill);
    }
    RasterText::draw(*painter->image, painter->font, text, x, y, painter->text, r);
}

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

namespace {
struct RasterMenu {
    std::vector<RasterPlatform::MenuItem> items;
    std::vector<RasterMenu*> children;  // destroyed with this menu
};
RasterMenu* menuOf(platform::Menu* menu) { return reinterpret_cast<RasterMenu*>(menu); }
}  // namespace

platform::Menu* RasterPlatform::createMenu() {
    ++menuCount;
    return reinterpret_cast<platform::Menu*>(new RasterMenu);
}

void RasterPlatform::appendMenuItem(platform::Menu* menu, int flags, int id, const char* label) {
    menuOf(menu)->items.push_back({flags, id, label ? label : "", {}});
}

void RasterPlatform::appendSubMenu(platform::Menu* menu, int flags, platform::Menu* sub, const char* label) {
    menuOf(menu)->items.push_back({flags, -1, label ? label : "", menuOf(sub)->items});
    menuOf(menu)->children.push_back(menuOf(sub));
}

int RasterPlatform::trackMenu(platform::Menu* menu, platform::Window*, Point screen, bool rightButton) {
    shownMenu = {menuOf(menu)->items, screen, rightButton};
    const int chosen = nextChoice;
    nextChoice = -1;
    return chosen;
}

const std::vector<RasterPlatform::MenuItem>& RasterPlatform::itemsOf(platform::Menu* menu) {
    return menuOf(menu)->items;
}

void RasterPlatform::destroyMenu(platform::Menu* menu) {
    for (RasterMenu* child : menuOf(menu)->children) destroyMenu(reinterpret_cast<platform::Menu*>(child));
    delete menuOf(menu);
    --menuCount;
}

int RasterPlatform::mouseButtons() {
    if (!script.empty()) {
        buttons = script.front().buttons;
        cursor = script.front().cursor;
        script.pop_front();
    }
    return buttons;
}

// --- Images -------------------------------------------------------------------------------

platform::Image* RasterPlatform::loadImage(int id, int& width, int& height) {
    const EmbeddedImage* embedded = findEmbeddedImage(id);
    if (!embedded) return nullptr;
    auto* image = new RasterImage;
    if (!image->decodeBmp(embedded->bytes, embedded->size)) {
        delete image;
        return nullptr;
    }
    width = image->width();
    height = image->height();
    return reinterpret_cast<platform::Image*>(image);
}

void RasterPlatform::destroyImage(platform::Image* image) { delete imageOf(image); }

void RasterPlatform::drawImage(platform::Painter* painter, platform::Image* image, Rect dest, Point source) {
    blit(*imageOf(image), *painterOf(painter)->image, dest, source, nullptr);
}

void RasterPlatform::drawImageKeyed(platform::Painter* painter, platform::Image* image, Rect dest, Point source,
                                    Color key) {
    blit(*imageOf(image), *painterOf(painter)->image, dest, source, &key);
}
