// The edit box the raster-drawn backends show: its editing keys and its picture.
#include <gtest/gtest.h>

#include "EditBoxModel.h"
#include "RasterText.h"

namespace {

using Key = EditBoxModel::Key;
using Answer = EditBoxModel::Answer;

constexpr Color kInk{250, 220, 0, 0}, kBack{0, 0, 0, 0};

struct Listener : platform::EditEvents {
    void editEnded() override { ++ended; }
    Color editTextColor() override { return kInk; }
    Color editBackColor() override { return kBack; }
    int ended = 0;
};

FontSpec font() { return {kFontTable[0].face, 11, false, false, false, false}; }

}  // namespace

TEST(EditBoxModel, TypingReplacesTheSelectionAndTheKeysEdit) {
    Listener listener;
    EditBoxModel box({10, 10, 60, 22}, "42", font(), platform::TextAlign::Left, &listener);
    EXPECT_EQ(box.anchor(), 0u);
    EXPECT_EQ(box.caret(), 2u);  // all of it selected
    EXPECT_EQ(box.type('7'), Answer::Used);
    EXPECT_EQ(box.type('5'), Answer::Used);
    EXPECT_EQ(box.text(), "75");
    EXPECT_EQ(box.key(Key::Left, false), Answer::Used);
    EXPECT_EQ(box.key(Key::BackSpace, false), Answer::Used);
    EXPECT_EQ(box.text(), "5");
    EXPECT_EQ(box.key(Key::Delete, false), Answer::Used);
    EXPECT_EQ(box.text(), "");
    box.type('1');
    box.type('2');
    box.type('3');
    box.key(Key::Home, false);
    box.key(Key::Right, true);
    box.key(Key::Right, true);  // "12" selected
    EXPECT_EQ(box.anchor(), 0u);
    EXPECT_EQ(box.caret(), 2u);
    box.key(Key::Right, false);  // the selection collapses to its end
    EXPECT_EQ(box.caret(), 2u);
    EXPECT_EQ(box.anchor(), 2u);
    box.key(Key::End, true);
    box.type('9');
    EXPECT_EQ(box.text(), "129");
    EXPECT_EQ(box.type('\n'), Answer::NotUsed);
    EXPECT_EQ(box.type(static_cast<char>(0x7f)), Answer::NotUsed);
    EXPECT_EQ(listener.ended, 0);
    EXPECT_EQ(box.key(Key::Enter, false), Answer::Ended);
    EXPECT_EQ(listener.ended, 1);
    EXPECT_EQ(box.text(), "129");
}

TEST(EditBoxModel, EscapeEndsWithTheTextItBeganWithAndTheLengthIsBounded) {
    Listener listener;
    const std::string longText(400, 'x');
    EditBoxModel box({0, 0, 50, 12}, longText.c_str(), font(), platform::TextAlign::Center, &listener);
    EXPECT_EQ(box.text().size(), EditBoxModel::kMaxLength);
    box.key(Key::End, false);
    box.type('y');
    EXPECT_EQ(box.text().size(), EditBoxModel::kMaxLength);
    box.key(Key::Home, false);
    box.key(Key::Delete, false);
    EXPECT_EQ(box.key(Key::Escape, false), Answer::Ended);
    EXPECT_EQ(listener.ended, 1);
    EXPECT_EQ(box.text(), std::string(EditBoxModel::kMaxLength, 'x'));
    EditBoxModel empty({0, 0, 50, 12}, nullptr, font(), platform::TextAlign::Right, &listener);
    EXPECT_EQ(empty.text(), "");
    EXPECT_EQ(empty.key(Key::BackSpace, false), Answer::Used);
    EXPECT_EQ(empty.key(Key::Left, false), Answer::Used);
    EXPECT_EQ(empty.caret(), 0u);
}

// Without a selection, a caret line in the text's colour stands where the
// caret is; selected text shows in reverse.
TEST(EditBoxModel, DrawsTheCaretAsALine) {
    Listener listener;
    RasterCanvas canvas;
    platform::Device* device = canvas.createDevice(80, 30, kWhite);
    EditBoxModel box({10, 10, 60, 22}, "", font(), platform::TextAlign::Left, &listener);
    box.draw(canvas, device);
    const RasterImage& pixels = RasterCanvas::pixelsOf(device);
    EXPECT_EQ(pixels.pixel(9, 15), kWhite);   // outside the box
    EXPECT_EQ(pixels.pixel(30, 15), kBack);   // the box
    EXPECT_EQ(pixels.pixel(11, 15), kInk);    // the caret at the left, one pixel in
    EXPECT_EQ(pixels.pixel(11, 10), kBack);   // the caret leaves the box's edges
    EXPECT_EQ(RasterCanvas::takeDamage(device), (Rect{10, 10, 60, 22}));
    canvas.destroyDevice(device);
}

TEST(EditBoxModel, DrawsTheSelectionInReverse) {
    if (RasterText::measure(font(), "888").width == 0) GTEST_SKIP() << "this build draws no text";
    Listener listener;
    RasterCanvas canvas;
    platform::Device* device = canvas.createDevice(80, 30, kWhite);
    const RasterImage& pixels = RasterCanvas::pixelsOf(device);
    EditBoxModel selected({10, 10, 60, 22}, "888", font(), platform::TextAlign::Left, &listener);
    selected.draw(canvas, device);
    int inked = 0;
    for (int x = 11; x < 20; ++x) inked += pixels.pixel(x, 11) == kInk;
    EXPECT_GT(inked, 5);  // the selection's background, above the glyphs
    EXPECT_EQ(pixels.pixel(58, 15), kBack);  // past the selected text
    canvas.destroyDevice(device);
}
