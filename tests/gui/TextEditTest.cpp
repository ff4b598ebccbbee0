// Text display and entry: the styled box, filters, and the edit flow with
// its native box scripted by the raster backend.
#include "EditorHarness.h"
#include "TextEdit.h"

namespace {

constexpr int L = platform::kLeftButton;

class TextEntries : public EditorTest {
protected:
    TextEdit* addEntry(Rect bounds, const char* text = "30", int style = 0) {
        auto* entry = new TextEdit(bounds, &listener, 1000, text, nullptr, style);
        frame().addView(entry);
        return entry;
    }
    void clickAt(Point where) {
        raster.setMouseButtons(L);
        raster.setCursor(screen(where));
        raster.press(window(), where);
        raster.setMouseButtons(0);
    }
    std::string textOf(TextEdit* entry) {
        char text[kTextSize];
        entry->getText(text);
        return text;
    }

    ListenerProbe listener;
};

// Shows "<text> %" so the drawn text differs from the stored one.
void percentFilter(const char* text, char* shown) { std::snprintf(shown, kTextSize, "%s %%", text); }

}  // namespace

TEST_F(TextEntries, ClickOpensABoxWithAllTextSelected) {
    TextEdit* entry = addEntry({10, 10, 60, 24});
    entry->setFontId(6);
    entry->setAlignment(2);
    clickAt({20, 15});
    const auto* box = raster.editBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->bounds, (Rect{10, 10, 60, 24}));
    EXPECT_EQ(box->text, "30");
    EXPECT_TRUE(box->allSelected);
    EXPECT_EQ(box->font.pixelSize, 9);
    EXPECT_FALSE(box->font.bold);
    EXPECT_EQ(box->align, platform::TextAlign::Right);
    EXPECT_EQ(frame().getFocusView(), entry);
}

TEST_F(TextEntries, TypingAndEnterReplaceTheTextAndNotifyOnce) {
    TextEdit* entry = addEntry({10, 10, 60, 24});
    entry->setTextFilter(percentFilter);
    clickAt({20, 15});
    raster.typeInEditBox("45");
    raster.pressEnterInEditBox();
    EXPECT_EQ(raster.editBox(), nullptr);
    EXPECT_EQ(textOf(entry), "45");
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(listener.lastTag, 1000);
    EXPECT_EQ(frame().getFocusView(), nullptr);
    EXPECT_FALSE(entry->isDirty());  // redrawn at once, through the filter

    clickAt({20, 15});
    raster.pressEnterInEditBox();  // unchanged: no notification
    EXPECT_EQ(listener.calls, 1);
    clickAt({20, 15});
    raster.typeInEditBox("12");
    raster.editBoxLosesFocus();  // losing the focus accepts the text as well
    EXPECT_EQ(textOf(entry), "12");
    EXPECT_EQ(listener.calls, 2);
}

TEST_F(TextEntries, ClickingElsewhereAcceptsTheTextBeforeTheClickActs) {
    std::vector<std::string> order;
    struct OrderListener : ControlListener {
        std::vector<std::string>* order;
        void valueChanged(DrawContext*, Control*) override { order->push_back("text taken"); }
    } orderListener;
    orderListener.order = &order;
    auto* entry = new TextEdit({10, 10, 60, 24}, &orderListener, 1001, "5");
    frame().addView(entry);
    auto* other = new ProbeView({100, 100, 150, 140}, &order, "other");
    frame().addView(other);
    clickAt({20, 15});
    raster.typeInEditBox("7");
    clickAt({120, 120});
    EXPECT_EQ(order, (std::vector<std::string>{"text taken", "other click"}));
    EXPECT_EQ(raster.editBox(), nullptr);
    EXPECT_EQ(textOf(entry), "7");
    frame().removeView(other, true);  // before the log it writes to goes
    frame().removeView(entry, true);
}

TEST_F(TextEntries, DoubleClickEditNeedsTwoClicksWithinTheDoubleClickTime) {
    raster.setDoubleClickTime(300);
    auto* entry = new TextEdit({10, 10, 60, 24}, &listener, 1002, "x", nullptr, kDoubleClickEdit);
    frame().addView(entry);
    raster.setTicks(1000);
    clickAt({20, 15});
    EXPECT_EQ(raster.editBox(), nullptr);
    raster.setTicks(1400);  // too late: this starts a new pair
    clickAt({20, 15});
    EXPECT_EQ(raster.editBox(), nullptr);
    raster.setTicks(1650);
    clickAt({20, 15});
    EXPECT_NE(raster.editBox(), nullptr);
    raster.pressEnterInEditBox();
    raster.setTicks(1700);  // the pair was used up: one click is not enough
    clickAt({20, 15});
    EXPECT_EQ(raster.editBox(), nullptr);
}

TEST_F(TextEntries, TextsAreCutToTheirBuffers) {
    TextEdit* entry = addEntry({10, 10, 60, 24}, std::string(300, 'a').c_str());
    EXPECT_EQ(textOf(entry).size(), 255u);
    entry->setText(std::string(400, 'b').c_str());
    EXPECT_EQ(textOf(entry), std::string(255, 'b'));
    entry->setDirty(false);
    entry->setText(nullptr);
    entry->setText(std::string(255, 'b').c_str());
    EXPECT_FALSE(entry->isDirty());  // the same text: nothing to redraw
}

TEST_F(TextEntries, DisplayBoxFillsFramesAndDrawsThreeDBorders) {
    auto* display = new ValueDisplay({10, 10, 40, 30}, nullptr, k3DIn | kNoText);
    display->setBackColor(kYellow);
    display->setFrameColor(kBlue);
    frame().addView(display);
    auto* plain = new ValueDisplay({50, 10, 80, 30}, nullptr, kNoText);
    plain->setBackColor(kGreen);
    plain->setFrameColor(kRed);
    frame().addView(plain);
    auto* hidden = new ValueDisplay({90, 10, 120, 30}, nullptr, kNoDraw);
    EXPECT_FALSE(hidden->isDirty());
    frame().addView(hidden);
    raster.paintNow(window());
    const RasterImage& shown = raster.pixels(window());
    EXPECT_EQ(shown.pixel(20, 20), kYellow);   // filled
    EXPECT_EQ(shown.pixel(10, 20), kYellow);   // sunken: left edge in the back colour
    EXPECT_EQ(shown.pixel(40, 20), kBlue);     // right edge in the frame colour
    EXPECT_EQ(shown.pixel(25, 30), kBlue);     // bottom edge
    EXPECT_EQ(shown.pixel(60, 20), kGreen);
    EXPECT_EQ(shown.pixel(50, 20), kRed);      // plain box outlined
    EXPECT_EQ(shown.pixel(100, 20), kWhite);   // kNoDraw draws nothing
}
