// A text field: shows its string through an optional filter, and on a click
// (or a double click with kDoubleClickEdit) lays a native edit box over
// itself with all the text selected. Enter, a click elsewhere in the frame
// or the loss of focus closes the box and takes its text; the listener hears
// once when the text changed.
#pragma once

#include "ValueDisplay.h"
#include "platform/TextEntry.h"

using TextFilter = void (*)(const char* text, char* shown);
using TextFilter2 = void (*)(const char* text, char* shown, void* userData);

class TextEdit : public ValueDisplay, private platform::EditEvents {
public:
    TextEdit(Rect bounds, ControlListener* listener, int tag, const char* text = nullptr,
             Bitmap* background = nullptr, int style = 0);
    ~TextEdit() override;

    void draw(DrawContext* context) override;
    void mouse(DrawContext* context, Point& where) override;
    void releaseFocus(DrawContext* context) override;
    void gainFocus(DrawContext* context) override;

    // Copies and redraws a different text; longer texts are cut to 255 characters.
    virtual void setText(const char* newText);
    virtual void getText(char* out) const;
    virtual void setTextFilter2(TextFilter2 filter, void* data);
    virtual void setTextFilter(TextFilter filter);

private:
    void editEnded() override;
    Color editTextColor() override { return textColor; }
    Color editBackColor() override { return backColor; }

    platform::EditBox* editBox = nullptr;
    platform::TextEntry* editBoxOwner = nullptr;  // the platform that opened editBox
    char text[kTextSize] = "";
    bool firstClickSeen = false;  // a click that a second one may make a double click
    uint32_t lastClickTick = 0;
    TextFilter textFilter = nullptr;
    TextFilter2 textFilter2 = nullptr;
};
