#include "View.h"

#include "Frame.h"

View::View(Rect bounds) : bounds(bounds), mouseArea(bounds) {}

void View::draw(DrawContext*) {}
void View::mouse(DrawContext*, Point&) {}

void View::update(DrawContext* context) {
    if (isDirty()) {
        draw(context);
        setDirty(false);
    }
}

bool View::onDrop(void**, int, int, Point) { return false; }
bool View::onWheel(DrawContext*, Point&, float) { return false; }
void View::releaseFocus(DrawContext*) {}
void View::gainFocus(DrawContext*) {}
bool View::isDirty() const { return dirty; }
void View::setDirty(bool flag) { dirty = flag; }
void View::setMouseEnabled(bool enabled) { mouseEnabled = enabled; }
bool View::getMouseEnabled() const { return mouseEnabled; }
void View::setMouseArea(Rect area) { mouseArea = area; }

Rect& View::getMouseArea(Rect& out) const {
    out = mouseArea;
    return out;
}

void View::setTransparent(bool flag) { transparent = flag; }
bool View::getTransparent() const { return transparent; }

void View::setBounds(Rect newBounds) {
    bounds = newBounds;
    setDirty(true);
}

void View::setParentFrame(Frame* frame) { parentFrame = frame; }
GuiEditor* View::getEditor() const { return parentFrame ? parentFrame->getEditor() : nullptr; }
bool View::removed(View*) { return true; }
bool View::attached(View*) { return true; }
