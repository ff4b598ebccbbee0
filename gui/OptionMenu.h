// A field that shows one of up to 1024 text entries and on a click opens a
// native pop-up menu of them, with separators ("-"), sub-menus ("-M" title),
// greyed items ("-G" title), titles ("-T" title), check marks and columns.
// The chosen entry becomes the value of the menu that holds it.
#pragma once

#include <string>
#include <vector>

#include "ValueDisplay.h"
#include "platform/PopupMenus.h"

class OptionMenu : public ValueDisplay {
public:
    static constexpr int kMaxEntries = 1024;

    OptionMenu(Rect bounds, ControlListener* listener, int tag, Bitmap* background = nullptr,
               Bitmap* pressedBackground = nullptr, int style = 0);
    ~OptionMenu() override;

    void draw(DrawContext* context) override;
    void mouse(DrawContext* context, Point& where) override;
    void releaseFocus(DrawContext* context) override;
    void gainFocus(DrawContext* context) override;
    void setValue(float newValue) override;

    // Inserts at `index` (keeping the current entry current) or appends for -1.
    virtual bool addEntry(const char* text, int index = -1);
    virtual bool addSubMenu(OptionMenu* subMenu, const char* title);
    // The current entry's position, counting every entry or only the
    // selectable ones (no separators, no titles); -1 without one.
    virtual int getCurrent(char* text = nullptr, bool countAll = true) const;
    virtual bool setCurrent(int index, bool countAll = true);
    virtual bool getEntry(int index, char* text) const;
    virtual bool setEntry(int index, const char* text);
    virtual bool removeEntry(int index);
    virtual bool removeAllEntries();
    virtual int entryCount() const;
    virtual int findEntry(const char* text) const;
    virtual bool checkEntry(int index, bool state);
    virtual bool checkOnly(int index);
    virtual bool isChecked(int index) const;
    virtual void setItemsPerColumn(int count);
    virtual int itemsPerColumn() const;

    // The menu (this one or a sub-menu) whose items include `id`, numbered
    // from `nextId` on as the pop-up numbers them, and the index within it.
    OptionMenu* findItemMenu(int id, int& index, int& nextId);

private:
    platform::Menu* buildMenu(platform::PopupMenus& backend, int& nextId);
    void destroyMenus(platform::PopupMenus& backend);
    bool inRange(int index) const { return index >= 0 && index < entryCount(); }

    platform::Menu* menuHandle = nullptr;
    std::vector<std::string> entries;
    std::vector<bool> checked;          // one per entry
    std::vector<OptionMenu*> subMenus;  // retained, in the order of their "-M" entries
    int currentIndex = -1;
    Bitmap* pressedBackground;
    int lastButtons = platform::kRightButton;
    int columnLength = -1;
};
