// The base of everything placed in the editor window: bounds, dirty state,
// whether it takes the mouse, and the hooks the frame calls.
#pragma once

#include "Geometry.h"
#include "ReferenceCounted.h"

class DrawContext;
class Frame;
class GuiEditor;

class View : public ReferenceCounted {
public:
    explicit View(Rect bounds);

    virtual void draw(DrawContext* context);
    virtual void mouse(DrawContext* context, Point& where);
    // Draws the view if it is dirty, and cleans it.
    virtual void update(DrawContext* context);
    virtual bool onDrop(void** items, int count, int type, Point where);
    virtual bool onWheel(DrawContext* context, Point& where, float distance);
    virtual void releaseFocus(DrawContext* context);
    virtual void gainFocus(DrawContext* context);
    virtual bool isDirty() const;
    virtual void setDirty(bool flag);
    virtual void setMouseEnabled(bool enabled);
    virtual bool getMouseEnabled() const;
    virtual void setMouseArea(Rect area);
    virtual Rect& getMouseArea(Rect& out) const;
    virtual void setTransparent(bool flag);
    virtual bool getTransparent() const;
    virtual void setBounds(Rect newBounds);
    virtual void setParentFrame(Frame* frame);
    virtual GuiEditor* getEditor() const;
    virtual bool removed(View* parent);
    virtual bool attached(View* parent);

    const Rect& getBounds() const { return bounds; }
    Frame* getParentFrame() const { return parentFrame; }

protected:
    Rect bounds;
    Rect mouseArea;
    Frame* parentFrame = nullptr;
    bool dirty = true;
    bool mouseEnabled = true;
    bool transparent = false;
};
