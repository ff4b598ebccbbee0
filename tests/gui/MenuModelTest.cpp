// The pop-up menu the raster-drawn backends show: its levels, the pointer
// and the keys.
#include <gtest/gtest.h>

#include "MenuModel.h"

namespace {

using Key = MenuModel::Key;

struct Recorder : MenuModel::Levels {
    void open(int level, Rect bounds) override { opened.push_back({level, bounds}); }
    void close(int level) override { closed.push_back(level); }
    void show(int level, const RasterImage& pixels) override {
        shown.push_back(level);
        lastWidth = pixels.width();
    }
    struct Opened {
        int level;
        Rect bounds;
    };
    std::vector<Opened> opened;
    std::vector<int> closed, shown;
    int lastWidth = 0;
};

Point middle(Rect r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// "one", a separator, a grayed "two", "three", and a sub-menu of "a", "b".
std::vector<MenuItem> items() {
    return {{0, 1, "one", {}},
            {platform::kMenuSeparator, 0, "", {}},
            {platform::kMenuGrayed, 2, "two", {}},
            {0, 3, "three", {}},
            {0, -1, "more", {{0, 10, "a", {}}, {0, 11, "b", {}}}}};
}

}  // namespace

TEST(MenuModel, LaysItemsOutOneUnderAnotherAndStaysOnTheScreen) {
    Recorder levels;
    const std::vector<MenuItem> list = items();
    MenuModel menu(list, {100, 50}, 1024, 768, levels);
    ASSERT_EQ(levels.opened.size(), 1u);
    EXPECT_EQ(levels.opened[0].bounds, menu.levelBounds(0));
    EXPECT_EQ(levels.shown, std::vector<int>{0});
    EXPECT_EQ(levels.lastWidth, menu.levelBounds(0).width());
    EXPECT_EQ(menu.levelBounds(0).topLeft(), (Point{100, 50}));
    EXPECT_EQ(menu.itemBounds(0, 1).height(), 8);   // the separator
    EXPECT_EQ(menu.itemBounds(0, 0).height(), 18);
    EXPECT_EQ(menu.itemBounds(0, 2).top, menu.itemBounds(0, 1).bottom);

    Recorder cornered;
    MenuModel atTheEdge(list, {1020, 760}, 1024, 768, cornered);
    EXPECT_EQ(atTheEdge.levelBounds(0).right, 1024);
    EXPECT_EQ(atTheEdge.levelBounds(0).bottom, 768);

    std::vector<MenuItem> columns = {{0, 1, "a", {}}, {platform::kMenuColumnBreak, 2, "b", {}}};
    Recorder split;
    MenuModel twoColumns(columns, {0, 0}, 1024, 768, split);
    EXPECT_EQ(twoColumns.itemBounds(0, 1).top, twoColumns.itemBounds(0, 0).top);
    EXPECT_EQ(twoColumns.itemBounds(0, 1).left, twoColumns.itemBounds(0, 0).right);
}

TEST(MenuModel, ThePointerLightsChoosesAndDismisses) {
    Recorder levels;
    const std::vector<MenuItem> list = items();
    MenuModel menu(list, {100, 50}, 1024, 768, levels);
    EXPECT_EQ(menu.pointerMoved(middle(menu.itemBounds(0, 0))), MenuModel::kGoOn);
    EXPECT_EQ(menu.highlighted(0), 0);
    EXPECT_EQ(levels.shown.size(), 2u);  // drawn again, lit
    menu.pointerMoved(middle(menu.itemBounds(0, 2)));  // grayed: nothing lit
    EXPECT_EQ(menu.highlighted(0), -1);
    EXPECT_EQ(menu.pointerReleased(middle(menu.itemBounds(0, 2))), MenuModel::kGoOn);
    EXPECT_EQ(menu.pointerPressed(middle(menu.itemBounds(0, 3))), MenuModel::kGoOn);
    EXPECT_EQ(menu.pointerReleased(middle(menu.itemBounds(0, 3))), 3);

    menu.pointerMoved(middle(menu.itemBounds(0, 4)));  // the sub-menu opens beside its item
    ASSERT_EQ(menu.levelCount(), 2);
    EXPECT_EQ(menu.levelBounds(1).left, menu.itemBounds(0, 4).right);
    EXPECT_EQ(menu.pointerReleased(middle(menu.itemBounds(1, 1))), 11);
    menu.pointerMoved(middle(menu.itemBounds(0, 0)));  // back on the first level: the sub-menu closes
    EXPECT_EQ(menu.levelCount(), 1);
    EXPECT_EQ(levels.closed, std::vector<int>{1});
    EXPECT_EQ(menu.pointerPressed({5, 5}), -1);  // outside every level
}

TEST(MenuModel, KeysStepOverWhatCannotBeChosen) {
    Recorder levels;
    const std::vector<MenuItem> list = items();
    MenuModel menu(list, {0, 0}, 1024, 768, levels);
    EXPECT_EQ(menu.key(Key::Enter), MenuModel::kGoOn);  // nothing lit
    menu.key(Key::Down);
    EXPECT_EQ(menu.highlighted(0), 0);
    menu.key(Key::Down);  // past the separator and the grayed item
    EXPECT_EQ(menu.highlighted(0), 3);
    menu.key(Key::Up);
    EXPECT_EQ(menu.highlighted(0), 0);
    menu.key(Key::Up);  // round to the last
    EXPECT_EQ(menu.highlighted(0), 4);
    menu.key(Key::Right);  // into the sub-menu, its first item lit
    ASSERT_EQ(menu.levelCount(), 2);
    EXPECT_EQ(menu.highlighted(1), 0);
    menu.key(Key::Left);
    EXPECT_EQ(menu.levelCount(), 1);
    EXPECT_EQ(menu.key(Key::Enter), MenuModel::kGoOn);  // Enter on a sub-menu's item opens it
    EXPECT_EQ(menu.levelCount(), 2);
    menu.key(Key::Down);
    EXPECT_EQ(menu.key(Key::Enter), 11);
    EXPECT_EQ(menu.key(Key::Escape), MenuModel::kGoOn);  // closes the sub-menu first
    EXPECT_EQ(menu.levelCount(), 1);
    EXPECT_EQ(menu.key(Key::Escape), -1);
}

TEST(MenuStore, KeepsTheMenusItemsAndCountsTheLiveOnes) {
    MenuStore store;
    platform::Menu* top = store.create();
    platform::Menu* sub = store.create();
    store.append(sub, 0, 7, "seven");
    store.append(top, platform::kMenuChecked, 1, nullptr);
    store.appendSub(top, 0, sub, "sub");
    EXPECT_EQ(store.liveMenus(), 2);
    const std::vector<MenuItem>& listed = MenuStore::itemsOf(top);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].label, "");
    EXPECT_EQ(listed[1].sub.size(), 1u);
    EXPECT_EQ(listed[1].sub[0].id, 7);
    store.destroy(top);  // with its sub-menu
    EXPECT_EQ(store.liveMenus(), 0);
}
