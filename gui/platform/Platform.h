// The contract between the portable GUI toolkit and a platform backend.
//
// A backend only translates: the toolkit's drawing calls become native
// drawing, native window messages become calls on a WindowEvents object.
// Every decision (hit testing, focus, dirty tracking, when to redraw) lives in
// the toolkit. Handles are opaque; native handles cross as void*.
//
// Everything here is called on the user-interface thread only.
#pragma once

#include <cstdint>

#include "Fonts.h"
#include "Geometry.h"

namespace platform {

// A device to draw on: a window's, or an off-screen image's. Owned by whoever
// obtained it (a window's paint event, acquireWindowDevice, createOffscreen).
struct Device;
// The drawing state one DrawContext keeps on a device: pen, brush, font,
// text colour, and what the device had selected before. Made by
// beginDrawing, undone and freed by endDrawing.
struct Painter;
// An image loaded from the library's resources.
struct Image;
// A child window in a host-given parent.
struct Window;
// A native single-line edit box over part of a window.
struct EditBox;
// A native pop-up menu.
struct Menu;

enum class TextAlign { Left, Center, Right };

// Kinds of dropped data handed to WindowEvents::drop.
enum DropType : int { kDropFiles = 0, kDropText = 1 };

// Bits of mouseButtons().
enum MouseButtons : int {
    kLeftButton = 1,
    kMiddleButton = 2,
    kRightButton = 4,
    kShiftKey = 8,
    kControlKey = 16,
    kAltKey = 32,
};

// What a window reports to the toolkit. The device passed to paint and
// buttonDown is valid for the duration of the call.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    virtual void paint(Device* device) = 0;
    // A left, middle or right button went down at `where` (client pixels).
    virtual void buttonDown(Device* device, Point where) = 0;
    // The window is being destroyed (by its owner or by the host).
    virtual void destroyed() = 0;
    // Text (one item, count = byte size) or file names (count = number of
    // names) were dropped on the window; answers whether a view took them.
    virtual bool drop(void** items, int count, int type) = 0;
};

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

// Flags of pop-up menu items.
enum MenuItemFlags : int {
    kMenuSeparator = 1,
    kMenuGrayed = 2,       // disabled and dimmed
    kMenuDisabled = 4,     // disabled, not dimmed (a title)
    kMenuChecked = 8,
    kMenuColumnBreak = 16, // starts a new column
};

class Platform {
public:
    virtual ~Platform() = default;

    // --- Windows -------------------------------------------------------------
    // A visible child window of width x height at (0, 0) in `parent` (a native
    // window handle). Null parent: no window.
    virtual Window* createChildWindow(void* parent, int width, int height, WindowEvents* events) = 0;
    // Detaches the events object and destroys the window.
    virtual void destroyWindow(Window* window) = 0;
    // The native handle, for hosts and tests.
    virtual void* nativeHandle(Window* window) = 0;
    // Screen position of the window's top-left corner.
    virtual Point windowOrigin(Window* window) = 0;
    // Registers (true) or revokes (false) the window as a drop target.
    virtual void enableDrop(Window* window, bool on) = 0;
    // Process-wide set-up of the drag-and-drop machinery, counted.
    virtual void initializeDragDrop() = 0;
    virtual void uninitializeDragDrop() = 0;

    // --- Devices --------------------------------------------------------------
    virtual Device* acquireWindowDevice(Window* window) = 0;
    virtual void releaseWindowDevice(Window* window, Device* device) = 0;
    // An off-screen image of width x height, compatible with the window.
    virtual Device* createOffscreen(Window* window, int width, int height) = 0;
    virtual void destroyOffscreen(Device* device) = 0;
    // Copies `dest`'s size from `from` at `source` to `to` at dest's top-left.
    virtual void copyDevice(Device* from, Device* to, Rect dest, Point source) = 0;

    // --- Drawing ----------------------------------------------------------------
    // Remembers the device's selected objects and sets transparent text background.
    virtual Painter* beginDrawing(Device* device) = 0;
    // Selects the remembered objects back and frees what the painter made.
    virtual void endDrawing(Painter* painter) = 0;
    virtual void setPen(Painter* painter, Color color, bool dotted) = 0;
    virtual void setFill(Painter* painter, Color color) = 0;
    virtual void setTextColor(Painter* painter, Color color) = 0;
    virtual void setFont(Painter* painter, const FontSpec& font) = 0;
    virtual void moveTo(Painter* painter, Point p) = 0;
    // A line from the current position up to, not including, `p`.
    virtual void lineTo(Painter* painter, Point p) = 0;
    // Fills left <= x < right, top <= y < bottom with the fill colour.
    virtual void fillRect(Painter* painter, Rect r) = 0;
    // One line of text, vertically centred in `r`.
    virtual void drawText(Painter* painter, const char* text, Rect r, bool opaque, TextAlign align) = 0;

    // --- Images -----------------------------------------------------------------
    // The image with this resource number, or null; its size in width, height.
    virtual Image* loadImage(int id, int& width, int& height) = 0;
    virtual void destroyImage(Image* image) = 0;
    // Copies dest's size from the image at `source` to the device at dest's top-left.
    virtual void drawImage(Painter* painter, Image* image, Rect dest, Point source) = 0;
    // The same, leaving the device unchanged where the image has the key colour.
    virtual void drawImageKeyed(Painter* painter, Image* image, Rect dest, Point source, Color key) = 0;

    // --- Edit box (one at a time) --------------------------------------------------
    // Opens a box on `r` of the window with the text, all of it selected, and
    // gives it the keyboard focus.
    virtual EditBox* openEditBox(Window* window, Rect r, const char* text, const FontSpec& font,
                                 TextAlign align, EditEvents* events) = 0;
    // Copies at most capacity - 1 characters of the box's text, terminated.
    virtual void editBoxText(EditBox* box, char* out, int capacity) = 0;
    virtual void closeEditBox(EditBox* box) = 0;
    // Milliseconds within which a second click makes a double click.
    virtual uint32_t doubleClickTime() = 0;

    // --- Pop-up menus -------------------------------------------------------------------
    virtual Menu* createMenu() = 0;
    virtual void appendMenuItem(Menu* menu, int flags, int id, const char* label) = 0;
    virtual void appendSubMenu(Menu* menu, int flags, Menu* sub, const char* label) = 0;
    // Shows the menu with its top-left at `screen`, tracking the right button
    // or the left one, and answers the chosen item's id or -1. The click that
    // closed the menu does not reach the window.
    virtual int trackMenu(Menu* menu, Window* owner, Point screen, bool rightButton) = 0;
    // Destroys the menu with its sub-menus.
    virtual void destroyMenu(Menu* menu) = 0;

    // --- Input and time -------------------------------------------------------------
    // MouseButtons bits of what is held down now.
    virtual int mouseButtons() = 0;
    // The cursor in screen pixels.
    virtual Point cursorPosition() = 0;
    virtual uint32_t ticks() = 0;  // milliseconds
    virtual void sleep(int milliseconds) = 0;
    // Dispatches one pending paint message, if any.
    virtual void dispatchOnePaint() = 0;
};

// The backend the toolkit uses; the default one of the build unless set.
Platform& current();
void setCurrent(Platform* backend);

}  // namespace platform
