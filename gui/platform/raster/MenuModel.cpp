#include "MenuModel.h"

#include <algorithm>

#include "RasterText.h"

namespace {

constexpr int kItemHeight = 18, kSeparatorHeight = 8, kMargin = 3, kCheckWidth = 18, kArrowWidth = 16;

struct StoredMenu {
    std::vector<MenuItem> items;
    std::vector<StoredMenu*> children;  // destroyed with this menu
};
StoredMenu* menuOf(platform::Menu* menu) { return reinterpret_cast<StoredMenu*>(menu); }

bool selectable(const MenuItem& item) {
    return !(item.flags & (platform::kMenuSeparator | platform::kMenuGrayed | platform::kMenuDisabled));
}

FontSpec menuFont() { return {kFontTable[0].face, 13, false, false, false, false}; }

}  // namespace

// --- The menus a backend builds ---------------------------------------------------------

MenuStore::~MenuStore() = default;

platform::Menu* MenuStore::create() {
    ++live;
    return reinterpret_cast<platform::Menu*>(new StoredMenu);
}

void MenuStore::append(platform::Menu* menu, int flags, int id, const char* label) {
    menuOf(menu)->items.push_back({flags, id, label ? label : "", {}});
}

void MenuStore::appendSub(platform::Menu* menu, int flags, platform::Menu* sub, const char* label) {
    menuOf(menu)->items.push_back({flags, -1, label ? label : "", menuOf(sub)->items});
    menuOf(menu)->children.push_back(menuOf(sub));
}

void MenuStore::destroy(platform::Menu* menu) {
    for (StoredMenu* child : menuOf(menu)->children) destroy(reinterpret_cast<platform::Menu*>(child));
    delete menuOf(menu);
    --live;
}

const std::vector<MenuItem>& MenuStore::itemsOf(platform::Menu* menu) { return menuOf(menu)->items; }

// --- One shown menu -----------------------------------------------------------------------

MenuModel::MenuModel(const std::vector<MenuItem>& items, Point at, int screenWidth, int screenHeight, Levels& levels)
    : levels(levels), screenWidth(screenWidth), screenHeight(screenHeight) {
    openLevel(items, at);
}

MenuModel::~MenuModel() {
    while (!shown.empty()) closeLevel();
}

// Items one under another; an item flagged as a column break starts a new
// column to the right.
void MenuModel::layout(Level& level) const {
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
        const int labelWidth = RasterText::measure(menuFont(), item.label.c_str()).width;
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

// Kept on the screen: moved left or up where it would run off.
void MenuModel::openLevel(const std::vector<MenuItem>& items, Point at) {
    Level level{&items, {at.x, at.y, at.x, at.y}, {}, -1};
    layout(level);
    const int dx = std::min(0, screenWidth - level.bounds.right), dy = std::min(0, screenHeight - level.bounds.bottom);
    const int left = std::max(0, level.bounds.left + dx), top = std::max(0, level.bounds.top + dy);
    level.bounds = {left, top, left + level.bounds.width(), top + level.bounds.height()};
    shown.push_back(level);
    levels.open(levelCount() - 1, level.bounds);
    draw(levelCount() - 1);
}

void MenuModel::closeLevel() {
    levels.close(levelCount() - 1);
    shown.pop_back();
}

void MenuModel::redraw(int level) {
    if (level >= 0 && level < levelCount()) draw(level);
}

void MenuModel::draw(int index) {
    const Level& level = shown[static_cast<size_t>(index)];
    const int w = level.bounds.width(), h = level.bounds.height();
    platform::Device* device = canvas.createDevice(w, h, kBlack);
    platform::Painter* painter = canvas.beginDrawing(device);
    const Color face{212, 208, 200, 0}, shadow{128, 128, 128, 0}, lit{10, 36, 106, 0};
    canvas.setFill(painter, face);
    canvas.fillRect(painter, {0, 0, w, h});
    canvas.setPen(painter, shadow, false);
    canvas.moveTo(painter, {0, h - 1});
    canvas.lineTo(painter, {w - 1, h - 1});
    canvas.lineTo(painter, {w - 1, 0});
    canvas.setPen(painter, kWhite, false);
    canvas.lineTo(painter, {0, 0});
    canvas.lineTo(painter, {0, h - 1});
    canvas.setFont(painter, menuFont());
    for (size_t i = 0; i < level.items->size(); ++i) {
        const MenuItem& item = (*level.items)[i];
        const Rect r = level.itemRects[i];
        if (item.flags & platform::kMenuSeparator) {
            const int y = (r.top + r.bottom) / 2;
            canvas.setPen(painter, shadow, false);
            canvas.moveTo(painter, {r.left + 1, y});
            canvas.lineTo(painter, {r.right - 1, y});
            canvas.setPen(painter, kWhite, false);
            canvas.moveTo(painter, {r.left + 1, y + 1});
            canvas.lineTo(painter, {r.right - 1, y + 1});
            continue;
        }
        const bool isLit = static_cast<int>(i) == level.highlighted;
        if (isLit) {
            canvas.setFill(painter, lit);
            canvas.fillRect(painter, r);
        }
        const Color ink = (item.flags & platform::kMenuGrayed) ? shadow : isLit ? kWhite : kBlack;
        canvas.setTextColor(painter, ink);
        canvas.drawText(painter, item.label.c_str(), {r.left + kCheckWidth, r.top, r.right, r.bottom}, false,
                        platform::TextAlign::Left);
        canvas.setPen(painter, ink, false);
        const int cy = (r.top + r.bottom) / 2;
        if (item.flags & platform::kMenuChecked) {  // a tick
            canvas.moveTo(painter, {r.left + 5, cy});
            canvas.lineTo(painter, {r.left + 8, cy + 3});
            canvas.lineTo(painter, {r.left + 14, cy - 4});
        }
        if (!item.sub.empty() || item.id < 0) {  // a sub-menu's arrow
            for (int k = 0; k < 4; ++k) {
                canvas.moveTo(painter, {r.right - 10 + k, cy - 3 + k});
                canvas.lineTo(painter, {r.right - 10 + k, cy + 4 - k});
            }
        }
    }
    canvas.endDrawing(painter);
    levels.show(index, RasterCanvas::pixelsOf(device));
    canvas.destroyDevice(device);
}

Rect MenuModel::itemBounds(int level, int item) const {
    const Level& l = shown[static_cast<size_t>(level)];
    const Rect r = l.itemRects[static_cast<size_t>(item)];
    return {l.bounds.left + r.left, l.bounds.top + r.top, l.bounds.left + r.right, l.bounds.top + r.bottom};
}

// The level and item under a screen point (innermost level first).
bool MenuModel::itemAt(Point screen, int& levelIndex, int& item) const {
    for (int l = levelCount() - 1; l >= 0; --l) {
        const Level& level = shown[static_cast<size_t>(l)];
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

void MenuModel::highlight(int levelIndex, int item) {
    while (levelCount() > levelIndex + 1) closeLevel();
    Level& level = shown[static_cast<size_t>(levelIndex)];
    if (item >= 0 && !selectable((*level.items)[static_cast<size_t>(item)])) item = -1;
    if (level.highlighted != item) {
        level.highlighted = item;
        draw(levelIndex);
    }
}

void MenuModel::openSubMenu() {
    const Level& level = shown.back();
    if (level.highlighted < 0) return;
    const MenuItem& item = (*level.items)[static_cast<size_t>(level.highlighted)];
    if (item.sub.empty()) return;
    const Rect& r = level.itemRects[static_cast<size_t>(level.highlighted)];
    openLevel(item.sub, {level.bounds.left + r.right, level.bounds.top + r.top});
}

void MenuModel::step(int direction) {
    const Level& level = shown.back();
    const int count = static_cast<int>(level.items->size());
    int i = level.highlighted;
    for (int tries = 0; tries < count; ++tries) {
        i = (i + direction + count) % count;
        if (selectable((*level.items)[static_cast<size_t>(i)])) {
            highlight(levelCount() - 1, i);
            return;
        }
    }
}

int MenuModel::choose() {
    const Level& level = shown.back();
    if (level.highlighted < 0) return kGoOn;
    const MenuItem& item = (*level.items)[static_cast<size_t>(level.highlighted)];
    if (!item.sub.empty()) {
        openSubMenu();
        step(+1);
        return kGoOn;
    }
    return item.id;
}

int MenuModel::pointerMoved(Point screen) {
    int levelIndex, item;
    if (itemAt(screen, levelIndex, item)) {
        highlight(levelIndex, item);
        if (item >= 0) openSubMenu();
    }
    return kGoOn;
}

// A press outside every level dismisses the menu.
int MenuModel::pointerPressed(Point screen) {
    int levelIndex, item;
    return itemAt(screen, levelIndex, item) ? kGoOn : -1;
}

int MenuModel::pointerReleased(Point screen) {
    int levelIndex, item;
    if (!itemAt(screen, levelIndex, item) || item < 0) return kGoOn;
    highlight(levelIndex, item);
    const Level& level = shown[static_cast<size_t>(levelIndex)];
    if (level.highlighted < 0) return kGoOn;
    return (*level.items)[static_cast<size_t>(item)].sub.empty() ? choose() : kGoOn;
}

int MenuModel::key(Key key) {
    switch (key) {
        case Key::Down: step(+1); break;
        case Key::Up: step(-1); break;
        case Key::Right:
            openSubMenu();
            if (shown.back().highlighted < 0) step(+1);
            break;
        case Key::Left:
            if (levelCount() > 1) closeLevel();
            break;
        case Key::Enter: return choose();
        case Key::Escape:
            if (levelCount() == 1) return -1;
            closeLevel();
            break;
    }
    return kGoOn;
}
