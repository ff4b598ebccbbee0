#include "OptionMenu.h"

#include <cstdio>
#include <cstring>

#include "DrawContext.h"
#include "Frame.h"

namespace {

bool hasPrefix(const char* text, const char* prefix) { return std::strncmp(text, prefix, 2) == 0; }
bool isSeparator(const char* text) { return std::strcmp(text, "-") == 0; }
bool isTitle(const char* text) { return hasPrefix(text, "-T"); }

void copyEntry(char* entry, const char* text) { std::snprintf(entry, kTextSize, "%s", text ? text : ""); }

}  // namespace

OptionMenu::OptionMenu(Rect bounds, ControlListener* listener, int tag, Bitmap* background,
                       Bitmap* pressedBackground, int style)
    : ValueDisplay(bounds, background, style), pressedBackground(pressedBackground) {
    this->listener = listener;
    this->tag = tag;
    if (pressedBackground) pressedBackground->retain();
}

OptionMenu::~OptionMenu() {
    removeAllEntries();
    if (pressedBackground) pressedBackground->release();
}

void OptionMenu::draw(DrawContext* context) {
    if (currentIndex >= 0 && count > 0) drawText(context, entries[currentIndex], nullptr);
}

// --- Opening ------------------------------------------------------------------------

void OptionMenu::mouse(DrawContext* context, Point&) {
    if (!mouseEnabled || !parentFrame || !context) return;
    lastButtons = context->mouseButtons();
    if (!(lastButtons & (platform::kLeftButton | platform::kRightButton))) return;
    if (pressedBackground && currentIndex >= 0) drawText(context, entries[currentIndex], pressedBackground);
    parentFrame->setFocusView(this);
    gainFocus(context);
}

void OptionMenu::gainFocus(DrawContext* context) {
    if (!parentFrame || !parentFrame->getWindow()) return;
    platform::Platform& backend = platform::current();
    const Point origin = context ? context->getWindowOrigin() : backend.windowOrigin(parentFrame->getWindow());
    int nextId = 0;
    buildMenu(nextId);
    const Point at{origin.x + bounds.left, origin.y + ((style & kMenuAtTop) ? bounds.top : bounds.bottom)};
    const int chosen = backend.trackMenu(menuHandle, parentFrame->getWindow(), at,
                                         (lastButtons & platform::kRightButton) != 0);
    destroyMenus();
    parentFrame->setFocusView(nullptr);
    if (chosen < 0 && !pressedBackground) return;
    platform::Device* device = nullptr;
    DrawContext* temporary = nullptr;
    if (!context && chosen >= 0) {
        device = backend.acquireWindowDevice(parentFrame->getWindow());
        temporary = new DrawContext(parentFrame, device, parentFrame->getWindow());
        context = temporary;
    }
    if (chosen >= 0) {
        int index = 0;
        int firstId = 0;
        if (OptionMenu* holder = findItemMenu(chosen, index, firstId)) {
            holder->setValue(static_cast<float>(index));
            listener->valueChanged(context, holder);
        }
    }
    pumpIdle();
    if (temporary) {
        delete temporary;
        backend.releaseWindowDevice(parentFrame->getWindow(), device);
    }
}

void OptionMenu::releaseFocus(DrawContext*) { menuHandle = nullptr; }

// Items get the ids nextId on; sub-menus number theirs after all of their
// parent's. An "-M" entry without a sub-menu left is left out.
platform::Menu* OptionMenu::buildMenu(int& nextId) {
    platform::Platform& backend = platform::current();
    menuHandle = backend.createMenu();
    int id = nextId;
    nextId += count;
    int column = 0;
    int subMenu = 0;
    for (int i = 0; i < count; ++i, ++id) {
        const char* entry = entries[i];
        if (isSeparator(entry)) {
            backend.appendMenuItem(menuHandle, platform::kMenuSeparator, id, "");
            ++column;
            continue;
        }
        int flags = 0;
        if (count < 160 && columnLength > 0 && column > 0 && column % columnLength == 0)
            flags |= platform::kMenuColumnBreak;
        if (hasPrefix(entry, "-M")) {
            if (subMenu >= subMenuCount) continue;
            platform::Menu* sub = subMenus[subMenu++]->buildMenu(nextId);
            if (!sub) continue;
            backend.appendSubMenu(menuHandle, flags, sub, entry + 2);
            ++column;
            continue;
        }
        const char* label = entry;
        if (hasPrefix(entry, "-G")) {
            flags |= platform::kMenuGrayed;
            label = entry + 2;
        } else if (isTitle(entry)) {
            flags |= platform::kMenuDisabled;
            label = entry + 2;
        } else if (((style & kMultipleCheck) && checked[i]) || (!(style & kMultipleCheck) && (style & kCheckCurrent) && i == currentIndex)) {
            flags |= platform::kMenuChecked;
        }
        backend.appendMenuItem(menuHandle, flags, id, label);
        ++column;
    }
    return menuHandle;
}

// The platform destroys a menu with its sub-menus; these only forget theirs.
void OptionMenu::destroyMenus() {
    for (int i = 0; i < subMenuCount; ++i) subMenus[i]->menuHandle = nullptr;
    if (menuHandle) platform::current().destroyMenu(menuHandle);
    menuHandle = nullptr;
}

OptionMenu* OptionMenu::findItemMenu(int id, int& index, int& nextId) {
    const int first = nextId;
    nextId += count;
    if (id < nextId) {
        index = id - first;
        return this;
    }
    for (int i = 0; i < subMenuCount; ++i)
        if (OptionMenu* found = subMenus[i]->findItemMenu(id, index, nextId)) return found;
    return nullptr;
}

// --- Value and entries ----------------------------------------------------------------------

void OptionMenu::setValue(float newValue) {
    const int i = static_cast<int>(newValue);
    if (!inRange(i)) return;
    currentIndex = i;
    if (style & kMultipleCheck) checked[i] = !checked[i];
    value = newValue;
    setDirty(true);
}

bool OptionMenu::addEntry(const char* text, int index) {
    if (count >= kMaxEntries) return false;
    entries[count] = new char[kTextSize];
    if (index >= 0 && index < count) {
        for (int i = count; i > index; --i) std::memcpy(entries[i], entries[i - 1], kTextSize);
    }
    if (index >= 0) {
        if (index > count) index = count;
        if (currentIndex >= index) ++currentIndex;
    } else {
        index = count;
    }
    copyEntry(entries[index], text);
    ++count;
    if (currentIndex == -1) currentIndex = 0;
    return true;
}

bool OptionMenu::addSubMenu(OptionMenu* subMenu, const char* title) {
    if (count >= kMaxEntries || !subMenu || !title) return false;
    char entry[kTextSize];
    std::snprintf(entry, sizeof entry, "-M%s", title);
    addEntry(entry);
    subMenus[subMenuCount++] = subMenu;
    subMenu->retain();
    return true;
}

int OptionMenu::getCurrent(char* text, bool countAll) const {
    if (currentIndex < 0) return -1;
    if (text) std::memcpy(text, entries[currentIndex], kTextSize);
    if (countAll) return currentIndex;
    int selectable = 0;
    for (int i = 0; i < currentIndex; ++i)
        if (!isSeparator(entries[i]) && !isTitle(entries[i])) ++selectable;
    return selectable;
}

bool OptionMenu::setCurrent(int index, bool countAll) {
    if (!inRange(index)) return false;
    if (countAll) {
        if (isSeparator(entries[index])) return false;
        currentIndex = index;
    } else {
        int selectable = -1, i = 0;
        for (; i < count; ++i) {
            if (!isSeparator(entries[i]) && !isTitle(entries[i])) ++selectable;
            if (selectable == index) break;
        }
        currentIndex = i < count ? i : count - 1;
    }
    setDirty(true);
    return true;
}

bool OptionMenu::getEntry(int index, char* text) const {
    if (!inRange(index)) return false;
    if (text) std::memcpy(text, entries[index], kTextSize);
    return true;
}

bool OptionMenu::setEntry(int index, const char* text) {
    if (!inRange(index)) return false;
    if (text) copyEntry(entries[index], text);
    return true;
}

bool OptionMenu::removeEntry(int index) {
    if (!inRange(index)) return false;
    --count;
    for (int i = index; i < count; ++i) {
        std::memcpy(entries[i], entries[i + 1], kTextSize);
        checked[i] = checked[i + 1];
    }
    if (currentIndex >= index) --currentIndex;
    delete[] entries[count];
    entries[count] = nullptr;
    checked[count] = false;
    if (count == 0) currentIndex = -1;
    return true;
}

bool OptionMenu::removeAllEntries() {
    for (int i = 0; i < count; ++i) {
        delete[] entries[i];
        entries[i] = nullptr;
    }
    for (bool& mark : checked) mark = false;
    count = 0;
    currentIndex = -1;
    for (int i = 0; i < subMenuCount; ++i) {
        subMenus[i]->release();
        subMenus[i] = nullptr;
    }
    subMenuCount = 0;
    return true;
}

int OptionMenu::entryCount() const { return count; }

int OptionMenu::findEntry(const char* text) const {
    if (!text) return -1;
    for (int i = 0; i < count; ++i)
        if (std::strcmp(entries[i], text) == 0) return i;
    return -1;
}

bool OptionMenu::checkEntry(int index, bool state) {
    if (!inRange(index)) return false;
    checked[index] = state;
    return true;
}

bool OptionMenu::checkOnly(int index) {
    if (!inRange(index)) return false;
    for (bool& mark : checked) mark = false;
    checked[index] = true;
    return true;
}

bool OptionMenu::isChecked(int index) const { return inRange(index) && checked[index]; }
void OptionMenu::setItemsPerColumn(int newCount) { columnLength = newCount; }
int OptionMenu::itemsPerColumn() const { return columnLength; }
