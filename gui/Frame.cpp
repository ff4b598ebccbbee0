#include "Frame.h"

#include "DrawContext.h"
#include "GuiEditor.h"

Frame::Frame(Rect bounds, void* parentWindow, GuiEditor* editor, platform::Platform& platform)
    : View(bounds), editor(editor), parentWindow(parentWindow), backend(platform) {
    backend.initializeDragDrop();
    if (!parentWindow) return;
    window = backend.createChildWindow(parentWindow, bounds.width(), bounds.height(), this);
    enableDropTarget(true);
}

Frame::~Frame() {
    enableDropTarget(false);
    removeAll(true);
    if (background) background->release();
    backend.uninitializeDragDrop();
    if (window) backend.destroyWindow(window);
}

// --- Drawing -------------------------------------------------------------------

// A full repaint leaves a view that waits for an idle redraw still dirty.
void Frame::draw(DrawContext* context) {
    firstDraw = false;
    if (background)
        background->draw(context, {0, 0, background->getWidth(), background->getHeight()});
    for (View* view : views) {
        const bool wasDirty = view->isDirty();
        view->draw(context);
        view->setDirty(wasDirty);
    }
}

void Frame::update(DrawContext* context) {
    if (!open) return;
    if (View::isDirty()) {
        draw(context);
        setDirty(false);
        return;
    }
    for (View* view : views) view->update(context);
}

bool Frame::anyViewDirty() const {
    if (View::isDirty()) return true;
    for (const View* view : views)
        if (view->isDirty()) return true;
    return false;
}

// Nothing is redrawn before the first full paint has shown the window.
void Frame::idle() {
    if (!open || firstDraw || !anyViewDirty() || !window) return;
    WindowDrawContext context(*this);
    update(&context);
}

void Frame::drawView(View* view) {
    if (!window) return;
    WindowDrawContext context(*this);
    if (isChild(view))
        view->draw(&context);
    else
        draw(&context);
}

void Frame::setBackground(Bitmap* bitmap) {
    if (background) background->release();
    background = bitmap;
    if (background) background->retain();
}

void Frame::setBackdrop(Color colour) {
    if (window) backend.setWindowBackdrop(window, colour);
}

// --- Input -----------------------------------------------------------------------

View* Frame::viewAt(Point where) const {
    for (auto it = views.rbegin(); it != views.rend(); ++it)
        if ((*it)->getMouseEnabled() && (*it)->getBounds().containsInclusive(where)) return *it;
    return nullptr;
}

// A click anywhere first ends a text entry (which still holds the focus
// while it closes), then goes to the view under it.
void Frame::mouse(DrawContext* context, Point& where) {
    if (focusView) {
        focusView->releaseFocus(nullptr);
        focusView = nullptr;
    }
    if (View* view = viewAt(where))
        view->mouse(context, where);
    else if (editor)
        editor->backgroundClicked(context, where, context->mouseButtons());
}

bool Frame::onWheel(DrawContext* context, Point& where, float distance) {
    View* view = viewAt(where);
    if (!view) return false;
    Point cursor;
    cursorLocation(cursor);
    if (context) return view->onWheel(context, cursor, distance);
    if (!window) return false;
    WindowDrawContext temporary(*this);
    return view->onWheel(&temporary, cursor, distance);
}

bool Frame::onDrop(void** items, int count, int type, Point where) {
    if (focusView) return false;
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        View* view = *it;
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
    p = backend.cursorPosition();
    if (window) p = p - backend.windowOrigin(window);
    return true;
}

uint32_t Frame::tickCount() { return editor ? backend.ticks() : 0; }
int Frame::knobMode() const { return GuiEditor::knobMode(); }

void Frame::pumpIdle() {
    if (editor) editor->pumpIdle();
}

GuiEditor* Frame::getEditor() const { return editor; }

bool Frame::enableDropTarget(bool on) {
    if (!dropActive && !on) return true;
    if (!window) return false;
    backend.enableDrop(window, on);
    dropActive = on;
    return true;
}

// --- Window events -------------------------------------------------------------------

void Frame::paint(platform::Device* device) {
    DrawContext context(backend, this, device, window);
    draw(&context);
}

// A press while a click is still being handled (a backend that dispatches
// events from the idle a dragging control runs) belongs to that gesture.
void Frame::buttonDown(platform::Device* device, Point where, int buttons) {
    if (clicksInProgress > 0) return;
    ++clicksInProgress;
    {
        DrawContext context(backend, this, device, window);
        context.answerFirstPollWith(buttons);
        mouse(&context, where);
    }
    if (--clicksInProgress == 0 && closing) delete this;
}

void Frame::wheel(Point where, float notches) {
    Point at = where;
    onWheel(nullptr, at, notches);
}

bool Frame::key(const platform::KeyPress& press) {
    return editor && editor->onWindowKey(press) == 1;
}

void Frame::focusChanged(bool focused) { keyboardFocus = focused; }

void Frame::idleTimer() {
    if (editor) editor->idle();
}

void Frame::setSize(int width, int height) {
    bounds = {0, 0, width, height};
    if (window) backend.setWindowSize(window, width, height);
    setDirty(true);
}

void Frame::dispose() {
    if (clicksInProgress > 0)
        closing = true;
    else
        delete this;
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
    if (getViewCount() == viewCapacity) {
        viewCapacity += 10;
        views.reserve(static_cast<size_t>(viewCapacity));
    }
    views.push_back(view);
    view->setParentFrame(this);
    view->attached(this);
    return true;
}

bool Frame::removeView(View* view, bool withRelease) {
    for (auto it = views.begin(); it != views.end(); ++it) {
        if (*it != view) continue;
        view->removed(this);
        if (withRelease) view->release();
        views.erase(it);
        break;
    }
    return true;
}

bool Frame::removeAll(bool withRelease) {
    if (focusView) {
        focusView->releaseFocus(nullptr);
        focusView = nullptr;
    }
    for (View* view : views) {
        view->removed(this);
        if (withRelease) view->release();
    }
    views.clear();
    viewCapacity = 0;
    return true;
}

bool Frame::isChild(View* view) const {
    for (const View* child : views)
        if (child == view) return true;
    return false;
}
