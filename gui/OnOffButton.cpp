#include "OnOffButton.h"

#include "DrawContext.h"

void OnOffButton::draw(DrawContext* context) {
    const int y = value != 0.0f && background ? background->getHeight() / 2 : 0;
    drawImage(context, background, {0, y});
    setDirty(false);
}

// Any value that truncates to 0 counts as off, so 0.7 set from code turns on.
void OnOffButton::mouse(DrawContext* context, Point&) {
    if (!mouseEnabled || !(context->mouseButtons() & platform::kLeftButton)) return;
    value = static_cast<int>(value) != 0 ? 0.0f : 1.0f;
    pumpIdle();
    listener->valueChanged(context, this);
}
