#include "OptionMenu.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "DrawContext.h"
#include "Frame.h"

namespace {

bool hasPrefix(const char* text, const char* prefix) { return std::strncmp(text, prefix, 2) == 0; }
bool isSeparator(const char* text) { return std::strcmp(text, "-") == 0; }
bool isTitle(const char* text) { return hasPrefix(text, "-T"); }
bool isSelectable(const std::string& entry) { return !isSeparator(entry.c_str()) && !isTitle(entry.c_str()); }

// Entries keep at most kTextSize - 1 characters, as every text field does.
std::string entryText(const char* text) {
    char cut[kTextSize];
    std::snprintf(cut, sizeof cut, "%s", text ? text : "");
    return cut;
}
void copyOut(char* out, const std::string& entry) { std::snprintf(out, kTextSize, "%s", entry.c_str()); }

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
    if (currentIndex >= 0 && !entries.empty()) drawText(context, entries[currentIndex].c_str(), nullptr);
}

// --- Opening ------------------------------------------------------------------------

void OptionMenu::mouse(DrawContext* context, Point&) {
    if (!mouseEnabled || !parentFrame || !context) return;
    lastButtons = context->mouseButtons();
    if (!(lastButtons & (platform::kLeftButton | platform::kRightButton))) return;
    if (pressedBackground && currentIndex >= 0) drawText(context, entries[currentIndex].c_str(), pressedBackground);
    parentFrame->setFocusView(this);
    gainFocus(context);
}

void OptionMenu::gainFocus(DrawContext* context) {
    if (!parentFrame || !parentFrame->getWindow()) return;
    platform::Platform& backend = parentFrame->getPlatform();
    const Point origin = context ? context->getWindowOrigin() : backend.windowOrigin(parentFrame->getWindow());
    int nextId = 0;
    buildMenu(backend, nextId);
    const Point at{origin.x + bounds.left, origin.y + ((style & kMenuAtTop) ? bounds.top : bounds.bottom)};
    const int chosen = backend.trackMenu(menuHandle, parentFrame->getWindow(), at,
                                         (lastButtons & platform::kRightButton) != 0);
    destroyMenus(backend);
    parentFrame->setFocusView(nullptr);
    if (chosen < 0 && !pressedBackground) return;
    std::unique_ptr<WindowDrawContext> temporary;
    if (!context && chosen >= 0) {
        temporary = std::make_unique<WindowDrawContext>(*parentFrame);
        context = temporary.get();
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
}

void OptionMenu::releaseFocus(DrawContext*) { menuHandle = nullptr; }

// Items get the ids nextId on; sub-menus number theirs after all of their
// parent's. An "-M" entry without a sub-menu left is left out.
platform::Menu* OptionMenu::buildMenu(platform::PopupMenus& backend, int& nextId) {
    menuHandle = backend.createMenu();
    const int count = entryCount();
    int id = nextId;
    nextId += count;
    int column = 0;
    size_t subMenu = 0;
    for (int i = 0; i < count; ++i, ++id) {
        const char* entry = entries[i].c_str();
        if (isSeparator(entry)) {
            backend.appendMenuItem(menuHandle, platform::kMenuSeparator, id, "");
            ++column;
            continue;
        }
        int flags = 0;
        if (count < 160 && columnLength > 0 && column > 0 && column % columnLength == 0)
            flags |= platform::kMenuColumnBreak;
        if (hasPrefix(entry, "-M")) {
            if (subMenu >= subMenus.size()) continue;
            platform::Menu* sub = subMenus[subMenu++]->buildMenu(backend, nextId);
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
void OptionMenu::destroyMenus(platform::PopupMenus& backend) {
    for (OptionMenu* sub : subMenus) sub->menuHandle = nullptr;
    if (menuHandle) backend.destroyMenu(menuHandle);
    menuHandle = nullptr;
}

OptionMenu* OptionMenu::findItemMenu(int id, int& index, int& nextId) {
    const int first = nextId;
    nextId += entryCount();
    if (id < nextId) {
        index = id - first;
        return this;
    }
    for (OptionMenu* sub : subMenus)
        if (OptionMenu* found = sub->findItemMenu(id, index, nextId)) return found;
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

// An entry inserted before others moves their texts, not their check marks.
bool OptionMenu::addEntry(const char* text, int index) {
    if (entryCount() >= kMaxEntries) return false;
    if (index >= 0) {
        if (index > entryCount()) index = entryCount();
        if (currentIndex >= index) ++currentIndex;
    } else {
        index = entryCount();
    }
    entries.insert(entries.begin() + index, entryText(text));
    checked.push_back(false);
    if (currentIndex == -1) currentIndex = 0;
    return true;
}

bool OptionMenu::addSubMenu(OptionMenu* subMenu, const char* title) {
    if (entryCount() >= kMaxEntries || !subMenu || !title) return false;
    addEntry(("-M" + std::string(title)).c_str());
    subMenus.push_back(subMenu);
    subMenu->retain();
    return true;
}

int OptionMenu::getCurrent(char* text, bool countAll) const {
    if (currentIndex < 0) return -1;
    if (text) copyOut(text, entries[currentIndex]);
    if (countAll) return currentIndex;
    int selectable = 0;
    for (int i = 0; i < currentIndex; ++i)
        if (isSelectable(entries[i])) ++selectable;
    return selectable;
}

bool OptionMenu::setCurrent(int index, bool countAll) {
    if (!inRange(index)) return false;
    if (countAll) {
        if (isSeparator(entries[index].c_str())) return false;
        currentIndex = index;
    } else {
        int selectable = -1, i = 0;
        for (; i < entryCount(); ++i) {
            if (isSelectable(entries[i])) ++selectable;
            if (selectable == index) break;
        }
        currentIndex = i < entryCount() ? i : entryCount() - 1;
    }
    setDirty(true);
    return true;
}

bool OptionMenu::getEntry(int index, char* text) const {
    if (!inRange(index)) return false;
    if (text) copyOut(text, entries[index]);
    return true;
}

bool OptionMenu::setEntry(int index, const char* text) {
    if (!inRange(index)) return false;
    if (text) entries[index] = entryText(text);
    return true;
}

bool OptionMenu::removeEntry(int index) {
    if (!inRange(index)) return false;
    entries.erase(entries.begin() + index);
    checked.erase(checked.begin() + index);
    if (currentIndex >= index) --currentIndex;
    if (entries.empty()) currentIndex = -1;
    return true;
}

bool OptionMenu::removeAllEntries() {
    entries.clear();
    checked.clear();
    currentIndex = -1;
    for (OptionMenu* sub : subMenus) sub->release();
    subMenus.clear();
    return true;
}

int OptionMenu::entryCount() const { return static_cast<int>(entries.size()); }

int OptionMenu::findEntry(const char* text) const {
    if (!text) return -1;
    for (int i = 0; i < entryCount(); ++i)
        if (entries[i] == text) return i;
    return -1;
}

bool OptionMenu::checkEntry(int index, bool state) {
    if (!inRange(index)) return false;
    checked[index] = state;
    return true;
}

bool OptionMenu::checkOnly(int index) {
    if (!inRange(index)) return false;
    checked.assign(checked.size(), false);
    checked[index] = true;
    return true;
}

bool OptionMenu::isChecked(int index) const { return inRange(index) && checked[index]; }
void OptionMenu::setItemsPerColumn(int newCount) { columnLength = newCount; }
int OptionMenu::itemsPerColumn() const { return columnLength; }
