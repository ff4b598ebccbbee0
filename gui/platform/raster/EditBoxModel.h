// The edit box of a text field for backends without a native one, drawn by
// the raster renderer: its text with a selection (anchor to caret, in
// bytes), the editing keys, and its picture in the field's font and
// colours. The backend shows it over the field and feeds it the keys.
#pragma once

#include <string>

#include "RasterCanvas.h"
#include "platform/TextEntry.h"

class EditBoxModel {
public:
    static constexpr size_t kMaxLength = 255;

    enum class Key { Enter, Escape, BackSpace, Delete, Left, Right, Home, End };
    enum class Answer {
        NotUsed,
        Used,   // the box changed: draw it again
        Ended,  // the listener heard that the entry ended, and may have closed the box
    };

    // Opens with all of `text` selected (cut to kMaxLength bytes).
    EditBoxModel(Rect bounds, const char* text, const FontSpec& font, platform::TextAlign align,
                 platform::EditEvents* events);

    // Enter ends the entry; Escape ends it with the text it began with.
    Answer key(Key key, bool shift);
    // A printable character replaces the selection.
    Answer type(char character);
    // Draws the box, with its selection or caret, on `device`.
    void draw(RasterCanvas& canvas, platform::Device* device) const;

    Rect bounds() const { return r; }
    const std::string& text() const { return value; }
    size_t anchor() const { return anchorAt; }
    size_t caret() const { return caretAt; }
    platform::EditEvents* events() const { return listener; }

private:
    bool hasSelection() const { return anchorAt != caretAt; }
    void replaceSelection(const std::string& with);
    void moveCaret(size_t position, bool shift);

    Rect r;
    std::string value;
    std::string original;
    FontSpec font;
    platform::TextAlign align;
    platform::EditEvents* listener;
    size_t anchorAt = 0;
    size_t caretAt = 0;
};
