// Platform contract, text entry: a single-line edit box over part of a
// window, one at a time. Part of the contract described in Platform.h.
#pragma once

#include "Drawing.h"
#include "Fonts.h"
#include "Geometry.h"

namespace platform {

// A single-line edit box over part of a window.
struct EditBox;

// What an edit box reports to the toolkit.
class EditEvents {
public:
    virtual ~EditEvents() = default;
    // Enter was pressed in the box, or the box lost the keyboard focus.
    virtual void editEnded() = 0;
    // The colours the box draws its text and background in.
    virtual Color editTextColor() = 0;
    virtual Color editBackColor() = 0;
};

class TextEntry {
public:
    virtual ~TextEntry() = default;

    // Opens a box on `r` of the window with the text, all of it selected, and
    // gives it the keyboard focus.
    virtual EditBox* openEditBox(Window* window, Rect r, const char* text, const FontSpec& font, TextAlign align,
                                 EditEvents* events) = 0;
    // Copies at most capacity - 1 characters of the box's text, terminated.
    virtual void editBoxText(EditBox* box, char* out, int capacity) = 0;
    virtual void closeEditBox(EditBox* box) = 0;
};

}  // namespace platform
