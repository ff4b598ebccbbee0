// A control that shows its value as text in a styled box: a background
// image or a filled and outlined box, an optional 3-D border, and text with
// an optional shadow. The base of the text entry and the option menu.
#pragma once

#include "Control.h"

// Style bits.
enum ValueDisplayStyle : int {
    kMultipleCheck = 0x0001,    // option menu: each entry has its own check mark
    kShadowText = 0x0004,       // text drawn twice, first in the shadow colour one pixel down and right
    k3DIn = 0x0080,             // sunken 3-D border
    k3DOut = 0x0100,            // raised 3-D border
    kMenuAtTop = 0x0200,        // option menu: pop-up at the top edge instead of the bottom
    kCheckCurrent = 0x0400,     // option menu: the current entry is checked
    kNoText = 0x0800,           // no text
    kNoDraw = 0x1000,           // nothing drawn at all
    kDoubleClickEdit = 0x2000,  // text entry: opens on a double click only
};

// Text buffers of the text controls hold 255 characters and the terminator.
constexpr int kTextSize = 256;

using ValueToText = void (*)(float value, char* text);
using ValueToText2 = void (*)(float value, char* text, void* userData);
using TextToValue = float (*)(const char* text);

class ValueDisplay : public Control {
public:
    ValueDisplay(Rect bounds, Bitmap* background, int style);

    void draw(DrawContext* context) override;

    virtual void setFontId(int id);
    // The text's pixel size; 0 (the default) takes the font's size from the table.
    void setFontSize(int pixels);
    virtual void setTextColor(Color c);
    virtual void setBackColor(Color c);
    virtual void setFrameColor(Color c);
    virtual void setShadowColor(Color c);
    virtual void setAlignment(int newAlignment);
    virtual void setBackOffset(Point offset);
    virtual void setValueToText2(ValueToText2 convert, void* data);
    virtual void setValueToText(ValueToText convert);
    virtual void setTextToValue(TextToValue convert);
    virtual void setStyle(int newStyle);
    virtual void setFontStyle(int newFontStyle);
    virtual void setTextTransparent(bool flag);

protected:
    // Draws the box and `text` in it; `image`, when given, replaces the background.
    void drawText(DrawContext* context, const char* text, Bitmap* image);

    ValueToText valueToText = nullptr;
    ValueToText2 valueToText2 = nullptr;
    TextToValue textToValue = nullptr;
    void* userData = nullptr;
    int alignment = 1;
    int style;
    int fontId = 3;
    int fontSize = 0;
    int fontStyle = 0;
    Color textColor = kWhite;
    Color backColor = kBlack;
    Color frameColor = kBlack;
    Color shadowColor = kRed;
    Point backOffset;
    bool textTransparent = true;
};
