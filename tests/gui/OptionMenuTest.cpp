// Option menus: entry editing, counting, the pop-up's structure, numbering
// of sub-menu items, and what a choice does.
#include "EditorHarness.h"
#include "OptionMenu.h"

namespace {

constexpr int L = platform::kLeftButton, R = platform::kRightButton;

class Menus : public EditorTest {
protected:
    OptionMenu* addMenu(int style = 0) {
        auto* menu = new OptionMenu({20, 40, 83, 52}, &listener, 7, nullptr, nullptr, style);
        frame().addView(menu);
        return menu;
    }
    void clickMenu(int buttons = L) {
        raster.setMouseButtons(buttons);
        raster.press(window(), {30, 45});
        raster.setMouseButtons(0);
    }
    std::string current(OptionMenu* menu) {
        char text[kTextSize];
        menu->getCurrent(text);
        return text;
    }

    struct MenuListener : ControlListener {
        void valueChanged(DrawContext*, Control* control) override {
            ++calls;
            menu = static_cast<OptionMenu*>(control);
            value = control->getValue();
        }
        int calls = 0;
        OptionMenu* menu = nullptr;
        float value = -1;
    } listener;
};

}  // namespace

TEST_F(Menus, SeparatorsAndTitlesAreNotSelectablePositions) {
    OptionMenu* menu = addMenu();
    for (const char* entry : {"A", "-", "-TB", "C"}) menu->addEntry(entry);
    EXPECT_EQ(menu->getCurrent(), 0);  // the first entry added is current
    raster.chooseNextMenuItem(3);
    clickMenu();
    const auto& shown = raster.lastShownMenu().items;
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].label, "A");
    EXPECT_EQ(shown[1].flags, platform::kMenuSeparator);
    EXPECT_EQ(shown[2].label, "B");
    EXPECT_EQ(shown[2].flags, platform::kMenuDisabled);
    EXPECT_EQ(shown[3].id, 3);
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(listener.menu, menu);
    EXPECT_EQ(menu->getCurrent(), 3);
    EXPECT_EQ(menu->getValue(), 3.0f);
    EXPECT_EQ(menu->getCurrent(nullptr, false), 1);
    EXPECT_FALSE(menu->setCurrent(1, true));  // a separator
    EXPECT_TRUE(menu->setCurrent(0, true));
    EXPECT_TRUE(menu->setCurrent(1, false));  // the second selectable entry: C
    EXPECT_EQ(menu->getCurrent(), 3);
    EXPECT_EQ(raster.liveMenus(), 0);  // the pop-up is gone after the choice
    EXPECT_EQ(frame().getFocusView(), nullptr);
}

TEST_F(Menus, NothingChosenCallsNoListener) {
    OptionMenu* menu = addMenu();
    menu->addEntry("A");
    clickMenu();
    EXPECT_EQ(listener.calls, 0);
    raster.press(window(), {30, 45});  // no button held: not even opened
    EXPECT_EQ(raster.lastShownMenu().items.size(), 1u);
}

TEST_F(Menus, InsertingKeepsTheCurrentEntry) {
    OptionMenu* menu = addMenu();
    menu->addEntry("A");
    menu->addEntry("B");
    menu->setCurrent(1);
    EXPECT_TRUE(menu->addEntry("X", 0));
    EXPECT_EQ(menu->getCurrent(), 2);
    EXPECT_EQ(current(menu), "B");
    EXPECT_TRUE(menu->addEntry("Y", 99));  // clamped to the end
    char text[kTextSize];
    ASSERT_TRUE(menu->getEntry(3, text));
    EXPECT_STREQ(text, "Y");
    EXPECT_EQ(menu->findEntry("A"), 1);
    EXPECT_EQ(menu->findEntry("none"), -1);
    EXPECT_EQ(menu->findEntry(nullptr), -1);
    EXPECT_TRUE(menu->removeEntry(0));
    EXPECT_EQ(current(menu), "B");
    EXPECT_FALSE(menu->removeEntry(3));
    EXPECT_FALSE(menu->getEntry(-1, text));
    EXPECT_FALSE(menu->setEntry(5, "Z"));
    EXPECT_TRUE(menu->setEntry(0, std::string(300, 'q').c_str()));
    menu->getEntry(0, text);
    EXPECT_EQ(std::string(text), std::string(255, 'q'));
}

TEST_F(Menus, SetValueSelectsByTruncationWithinRange) {
    OptionMenu* menu = addMenu();
    for (const char* key : {"SPACE", "TAB", "CTRL1", "CTRL64", "CTRL66", "CTRL67"}) menu->addEntry(key);
    menu->setValue(5.7f);
    EXPECT_EQ(menu->getCurrent(), 5);
    menu->setValue(6.0f);
    EXPECT_EQ(menu->getCurrent(), 5);
    menu->setValue(-1.0f);
    EXPECT_EQ(menu->getCurrent(), 5);
}

TEST_F(Menus, ColumnsChecksAndPlacement) {
    OptionMenu* menu = addMenu(kCheckCurrent | kMenuAtTop);
    for (int i = 0; i < 7; ++i) menu->addEntry(("item" + std::to_string(i)).c_str());
    menu->setItemsPerColumn(3);
    menu->setCurrent(4);
    clickMenu(R);
    const auto& shown = raster.lastShownMenu();
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ((shown.items[i].flags & platform::kMenuColumnBreak) != 0, i == 3 || i == 6) << i;
        EXPECT_EQ((shown.items[i].flags & platform::kMenuChecked) != 0, i == 4) << i;
    }
    EXPECT_TRUE(shown.rightButton);
    EXPECT_EQ(shown.screen, (Point{300 + 20, 200 + 40}));  // the top edge with kMenuAtTop
}

TEST_F(Menus, MultipleChecksToggleOnChoice) {
    OptionMenu* menu = addMenu(kMultipleCheck);
    menu->addEntry("a");
    menu->addEntry("b");
    EXPECT_TRUE(menu->checkEntry(0, true));
    EXPECT_FALSE(menu->checkEntry(2, true));
    raster.chooseNextMenuItem(1);
    clickMenu();
    EXPECT_TRUE(menu->isChecked(0));
    EXPECT_TRUE(menu->isChecked(1));
    EXPECT_TRUE(menu->checkOnly(1));
    EXPECT_FALSE(menu->isChecked(0));
    EXPECT_FALSE(menu->checkOnly(9));
    EXPECT_TRUE(menu->isChecked(1));
    EXPECT_FALSE(menu->isChecked(-1));
}

TEST_F(Menus, SubMenuItemsAreNumberedAfterTheirParents) {
    OptionMenu* menu = addMenu();
    auto* first = new OptionMenu({0, 0, 1, 1}, nullptr, -1);
    auto* second = new OptionMenu({0, 0, 1, 1}, nullptr, -1);
    first->addEntry("f0");
    first->addEntry("f1");
    second->addEntry("s0");
    menu->addEntry("top");
    EXPECT_TRUE(menu->addSubMenu(first, "First"));
    EXPECT_TRUE(menu->addSubMenu(second, "Second"));
    EXPECT_FALSE(menu->addSubMenu(nullptr, "x"));
    first->release();
    second->release();  // the menu keeps its own references
    EXPECT_EQ(first->refCount(), 1);

    int index = -1, next = 0;
    EXPECT_EQ(menu->findItemMenu(1, index, next), menu);  // the "-M" entry's own id
    next = 0;
    EXPECT_EQ(menu->findItemMenu(4, index, next), first);  // ids 3 and 4 after the parent's 0..2
    EXPECT_EQ(index, 1);
    next = 0;
    EXPECT_EQ(menu->findItemMenu(5, index, next), second);
    EXPECT_EQ(index, 0);
    next = 0;
    EXPECT_EQ(menu->findItemMenu(6, index, next), nullptr);

    raster.chooseNextMenuItem(4);
    clickMenu();
    const auto& shown = raster.lastShownMenu().items;
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1].label, "First");
    ASSERT_EQ(shown[1].sub.size(), 2u);
    EXPECT_EQ(shown[1].sub[1].id, 4);
    EXPECT_EQ(listener.menu, first);
    EXPECT_EQ(listener.value, 1.0f);
    EXPECT_EQ(first->getCurrent(), 1);
    EXPECT_EQ(raster.liveMenus(), 0);
}

TEST_F(Menus, AtMostAThousandAndTwentyFourEntries) {
    OptionMenu* menu = addMenu();
    for (int i = 0; i < OptionMenu::kMaxEntries; ++i) ASSERT_TRUE(menu->addEntry("x"));
    EXPECT_FALSE(menu->addEntry("one too many"));
    EXPECT_EQ(menu->entryCount(), OptionMenu::kMaxEntries);
    EXPECT_TRUE(menu->removeAllEntries());
    EXPECT_EQ(menu->getCurrent(), -1);
}
