#include "EditBoxModel.h"

#include <algorithm>

#include "RasterText.h"

EditBoxModel::EditBoxModel(Rect bounds, const char* text, const FontSpec& font, platform::TextAlign align,
                           platform::EditEvents* events)
    : r(bounds), value(text ? text : ""), font(font), align(align), listener(events) {
    if (value.size() > kMaxLength) value.resize(kMaxLength);
    original = value;
    caretAt = value.size();
}

void EditBoxModel::replaceSelection(const std::string& with) {
    const size_t from = std::min(anchorAt, caretAt), to = std::max(anchorAt, caretAt);
    value.replace(from, to - from, with);
    if (value.size() > kMaxLength) value.resize(kMaxLength);
    caretAt = anchorAt = std::min(from + with.size(), value.size());
}

void EditBoxModel::moveCaret(size_t position, bool shift) {
    caretAt = position;
    if (!shift) anchorAt = position;
}

// Ending the entry is the last thing done: the listener may close the box.
EditBoxModel::Answer EditBoxModel::key(Key key, bool shift) {
    switch (key) {
        case Key::Enter: listener->editEnded(); return Answer::Ended;
        case Key::Escape:
            value = original;  // nothing changed, so the listener hears nothing
            listener->editEnded();
            return Answer::Ended;
        case Key::BackSpace:
            if (!hasSelection() && caretAt > 0) anchorAt = caretAt - 1;
            replaceSelection("");
            break;
        case Key::Delete:
            if (!hasSelection() && caretAt < value.size()) anchorAt = caretAt + 1;
            replaceSelection("");
            break;
        case Key::Left:
            moveCaret(hasSelection() && !shift ? std::min(anchorAt, caretAt) : (caretAt > 0 ? caretAt - 1 : 0), shift);
            break;
        case Key::Right:
            moveCaret(hasSelection() && !shift ? std::max(anchorAt, caretAt) : std::min(caretAt + 1, value.size()),
                      shift);
            break;
        case Key::Home: moveCaret(0, shift); break;
        case Key::End: moveCaret(value.size(), shift); break;
    }
    return Answer::Used;
}

EditBoxModel::Answer EditBoxModel::type(char character) {
    if (character < ' ' || character >= 0x7f) return Answer::NotUsed;
    replaceSelection(std::string(1, character));
    return Answer::Used;
}

// The selection in reverse (the text's colour behind, the background's in
// front), or a one-pixel caret.
void EditBoxModel::draw(RasterCanvas& canvas, platform::Device* device) const {
    const Color ink = listener->editTextColor(), back = listener->editBackColor();
    auto widthOf = [&](size_t bytes) { return RasterText::measure(font, value.substr(0, bytes).c_str()).width; };
    const int total = widthOf(value.size());
    int start = r.left + 1;
    if (align == platform::TextAlign::Center)
        start = r.left + (r.width() - total) / 2;
    else if (align == platform::TextAlign::Right)
        start = r.right - 1 - total;
    const Rect line{start, r.top, r.right, r.bottom};

    platform::Painter* painter = canvas.beginDrawing(device);
    canvas.setFill(painter, back);
    canvas.fillRect(painter, r);
    canvas.setFont(painter, font);
    canvas.setTextColor(painter, ink);
    canvas.drawText(painter, value.c_str(), line, false, platform::TextAlign::Left);
    if (hasSelection()) {
        const size_t from = std::min(anchorAt, caretAt), to = std::max(anchorAt, caretAt);
        const Rect marked{std::max(start + widthOf(from), r.left), r.top + 1, std::min(start + widthOf(to), r.right),
                          r.bottom - 1};
        canvas.setFill(painter, ink);
        canvas.fillRect(painter, marked);
        canvas.setTextColor(painter, back);
        canvas.drawText(painter, value.substr(from, to - from).c_str(),
                        {start + widthOf(from), r.top, marked.right, r.bottom}, false, platform::TextAlign::Left);
    } else {
        const int x = std::min(std::max(start + widthOf(caretAt), r.left), r.right - 1);
        canvas.setPen(painter, ink, false);
        canvas.moveTo(painter, {x, r.top + 1});
        canvas.lineTo(painter, {x, r.bottom - 1});
    }
    canvas.endDrawing(painter);
}
