#include "TextEdit.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "DrawContext.h"
#include "Frame.h"

TextEdit::TextEdit(Rect bounds, ControlListener* listener, int tag, const char* initial, Bitmap* background,
                   int style)
    : ValueDisplay(bounds, background, style) {
    this->listener = listener;
    this->tag = tag;
    if (initial) std::snprintf(text, sizeof text, "%s", initial);
}

TextEdit::~TextEdit() {
    if (editBox) editBoxOwner->closeEditBox(editBox);
}

void TextEdit::draw(DrawContext* context) {
    char shown[kTextSize] = "";
    if (textFilter2)
        textFilter2(text, shown, userData);
    else if (textFilter)
        textFilter(text, shown);
    else
        std::snprintf(shown, sizeof shown, "%s", text);
    drawText(context, shown, nullptr);
}

void TextEdit::mouse(DrawContext* context, Point&) {
    if (!mouseEnabled || !(context->mouseButtons() & platform::kLeftButton) || !parentFrame ||
        parentFrame->getFocusView() == this)
        return;
    if (style & kDoubleClickEdit) {
        // Unsigned differences, so a double click across the counter's wrap counts.
        const uint32_t now = parentFrame->tickCount();
        if (firstClickSeen && now - lastClickTick < parentFrame->getPlatform().doubleClickTime()) {
            firstClickSeen = false;
        } else {
            firstClickSeen = true;
            lastClickTick = now;
            return;
        }
    }
    parentFrame->setFocusView(this);
    gainFocus(context);
}

// The edit box uses the font's face and the text's size at normal weight;
// the font style of the drawn text does not apply to it.
void TextEdit::gainFocus(DrawContext*) {
    if (!parentFrame || !parentFrame->getWindow()) return;
    const int id = fontId >= 0 && fontId < kFontCount ? fontId : 0;
    const FontSpec font{kFontTable[id].face, fontSize > 0 ? fontSize : kFontTable[id].defaultSize, false, false, false,
                        false};
    const platform::TextAlign align = alignment == 0   ? platform::TextAlign::Left
                                      : alignment == 2 ? platform::TextAlign::Right
                                                       : platform::TextAlign::Center;
    editBoxOwner = &parentFrame->getPlatform();
    editBox = editBoxOwner->openEditBox(parentFrame->getWindow(), bounds, text, font, align, this);
}

void TextEdit::editEnded() {
    releaseFocus(nullptr);
    if (parentFrame) parentFrame->setFocusView(nullptr);
}

void TextEdit::releaseFocus(DrawContext* context) {
    if (!editBox || !parentFrame || parentFrame->getFocusView() != this) return;
    parentFrame->setFocusView(nullptr);  // calls here again, which now stops at once
    char before[kTextSize];
    std::memcpy(before, text, sizeof text);
    editBoxOwner->editBoxText(editBox, text, kTextSize);
    editBoxOwner->closeEditBox(editBox);
    editBox = nullptr;
    std::unique_ptr<WindowDrawContext> temporary;
    if (!context && parentFrame->getWindow()) {
        temporary = std::make_unique<WindowDrawContext>(*parentFrame);
        context = temporary.get();
    }
    if (std::strcmp(text, before) != 0) listener->valueChanged(context, this);
    if (context) draw(context);
}

void TextEdit::setText(const char* newText) {
    if (!newText || std::strcmp(newText, text) == 0) return;
    std::snprintf(text, sizeof text, "%s", newText);
    setDirty(true);
}

void TextEdit::getText(char* out) const {
    if (out) std::memcpy(out, text, sizeof text);
}

void TextEdit::setTextFilter2(TextFilter2 filter, void* data) {
    textFilter2 = filter;
    userData = data;
}

void TextEdit::setTextFilter(TextFilter filter) { textFilter = filter; }
