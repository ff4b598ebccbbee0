#include "Frame.h"

#include <cstdlib>

#include "DrawContext.h"
#include "GuiEditor.h"

Frame::Frame(Rect bounds, void* parentWindow, GuiEditor* editor)
    : View(bounds), editor(editor), parentWindow(parentWindow) {
    platform::current().initializeDragDrop();
    if (!parentWindow) return;
    window = platform::current().createChildWindow(parentWindow, bounds.width(), bounds.height(), this);
    enableDropTarget(true);
}

Frame::~Frame() {
    enableDropTarget(false);
    removeAll(true);
    if (background) background->release();
    platform::current().uninitializeDragDrop();
    if (window) platform::current().destroyWindow(window);
}

// --- Drawing -------------------------------------------------------------------

// A full repaint leaves a view that waits for an idle redraw still dirty.
void Frame::draw(DrawContext* context) {
    firstDraw = false;
    if (background)
        background->draw(context, {0, 0, background->getWidth(), background->getHeight()});
    for (int i = 0; i < viewCount; ++i) {
        const bool wasDirty = views[i]->isDirty();
        views[i]->draw(context);
        views[i]->setDirty(wasDirty);
    }
}

void Frame::update(DrawContext* context) {
    if (!open) return;
    if (View::isDirty()) {
        draw(context);
        setDirty(false);
        return;
    }
    for (int i = 0; i < viewCount; ++i) views[i]->update(context);
}

bool Frame::anyViewDirty() const {
    if (View::isDirty()) return true;
    for (int i = 0; i < viewCount; ++i)
        if (views[i]->isDirty()) return true;
    return false;
}

// Nothing is redrawn before the first full paint has shown the window.
void Frame::idle() {
    if (!open || firstDraw || !anyViewDirty() || !window) return;
    platform::Device* device = platform::current().acquireWindowDevice(window);
    {
        DrawContext context(this, device, window);
        update(&context);
    }
    platform::current().releaseWindowDevice(window, device);
}

void Frame::drawView(View* view) {
    if (!window) return;
    platform::Device* device = platform::current().acquireWindowDevice(window);
    {
        DrawContext context(this, device, window);
        if (isChild(view))
            view->draw(&context);
        else
            draw(&context);
    }
    platform::current().releaseWindowDevice(window, device);
}

void Frame::setBackground(Bitmap* bitmap) {
    if (background) background->release();
    background = bitmap;
    if (background) background->retain();
}

// --- Input -----------------------------------------------------------------------

View* Frame::viewAt(Point where) const {
    for (int i = viewCount - 1; i >= 0; --i)
        if (views[i]->getMouseEnabled() && views[i]->getBounds().containsInclusive(where)) return views[i];
    return nullptr;
}

// A click anywhere first ends a text entry (which still holds the focus
// while it closes), then goes to the view under it.
void Frame::mouse(DrawContext* context, Point& where) {
    if (focusView) {
        focusView->releaseFocus(nullptr);
        focusView = nullptr;
    }
    if (View* view = viewAt(where)) view->mouse(context, where);
}

bool Frame::onWheel(DrawContext* context, Point& where, float distance) {
    View* view = viewAt(where);
    if (!view) return false;
    Point cursor;
    cursorLocation(cursor);
    if (context) return view->onWheel(context, cursor, distance);
    if (!window) return false;
    platform::Device* device = platform::current().acquireWindowDevice(window);
    bool taken;
    {
        DrawContext temporary(this, device, window);
        taken = view->onWheel(&temporary, cursor, distance);
    }
    platform::current().releaseWindowDevice(window, device);
    return taken;
}

bool Frame::onDrop(void** items, int count, int type, Point where) {
    if (focusView) return false;
    for (int i = viewCount - 1; i >= 0; --i) {
        View* view = views[i];
        if (view->getMouseEnabled() && view->getBounds().containsInclusive(where) &&
            view->onDrop(items, count, type, where))
            return true;
    }
    return false;
}

void Frame::setFocusView(View* view) {
    View* previous = focusView;
    focusView = view;
    if (previous) previous->releaseFocus(nullptr);
}

bool Frame::cursorLocation(Point& p) {
    p = platform::current().cursorPosition();
    if (window) p = p - platform::current().windowOrigin(window);
    return true;
}

uint32_t Frame::tickCount() { return editor ? platform::current().ticks() : 0; }
int Frame::knobMode() const { return GuiEditor::knobMode(); }

void Frame::pumpIdle() {
    if (editor) editor->pumpIdle();
}

GuiEditor* Frame::getEditor() const { return editor; }

bool Frame::enableDropTarget(bool on) {
    if (!dropActive && !on) return true;
    if (!window) return false;
    platform::current().enableDrop(window, on);
    dropActive = on;
    return true;
}

// --- Window events -------------------------------------------------------------------

void Frame::paint(platform::Device* device) {
    DrawContext context(this, device, window);
    draw(&context);
}

void Frame::buttonDown(platform::Device* device, Point where) {
    DrawContext context(this, device, window);
    mouse(&context, where);
}

void Frame::destroyed() {
    open = false;
    parentWindow = nullptr;
}

bool Frame::drop(void** items, int count, int type) {
    Point where;
    cursorLocation(where);
    return onDrop(items, count, type, where);
}

// --- View list -------------------------------------------------------------------------

bool Frame::addView(View* view) {
    if (viewCount == viewCapacity) {
        void* grown = std::realloc(views, sizeof(View*) * static_cast<size_t>(viewCapacity + 10));
        if (!grown) return false;
        views = static_cast<View**>(grown);
        viewCapacity += 10;
    }
    views[viewCount++] = view;
    view->setParentFrame(this);
    view->attached(this);
    return true;
}

bool Frame::removeView(View* view, bool withRelease) {
    for (int i = 0; i < viewCount; ++i) {
        if (views[i] != view) continue;
        view->removed(this);
        if (withRelease) view->release();
        for (int k = i + 1; k < viewCount; ++k) views[k - 1] = views[k];
        --viewCount;
        break;
    }
    return true;
}

bool Frame::removeAll(bool withRelease) {
    if (focusView) {
        focusView->releaseFocus(nullptr);
        focusView = nullptr;
    }
    for (int i = 0; i < viewCount; ++i) {
        views[i]->removed(this);
        if (withRelease) views[i]->release();
    }
    std::free(views);
    views = nullptr;
    viewCount = viewCapacity = 0;
    return true;
}

bool Frame::isChild(View* view) const {
    for (int i = 0; i < viewCount; ++i)
        if (views[i] == view) return true;
    return false;
}
