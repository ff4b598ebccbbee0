// The contract between the portable GUI toolkit and a platform backend.
//
// A backend only translates: the toolkit's drawing calls become native
// drawing, native window messages become calls on a WindowEvents object.
// Every decision (hit testing, focus, dirty tracking, when to redraw) lives in
// the toolkit. Handles are opaque; native handles cross as void*.
//
// The contract comes in concerns, each an interface of its own:
//   WindowSystem.h  the child window, its events, polled input and time;
//   Drawing.h       window and off-screen devices and what is drawn on them;
//   Images.h        the library's bitmap resources;
//   TextEntry.h     the edit box of a text field;
//   PopupMenus.h    pop-up menus;
//   DropTarget.h    drag and drop onto the window.
// A Platform offers all of them. Each editor has one Platform object, and the
// frame it opens and every view in that frame use that one object, so a
// backend may keep per-window resources (a display connection) in it.
//
// Everything here is called on the user-interface thread only.
#pragma once

#include <memory>

#include "DropTarget.h"
#include "Drawing.h"
#include "Images.h"
#include "PopupMenus.h"
#include "TextEntry.h"
#include "WindowSystem.h"

namespace platform {

class Platform : public WindowSystem,
                 public Drawing,
                 public Images,
                 public TextEntry,
                 public PopupMenus,
                 public DropTarget {};

// A new object of the build's default backend: Win32 in Windows builds,
// X11 in Linux builds, the headless raster one where neither is built.
std::unique_ptr<Platform> createDefaultPlatform();

}  // namespace platform
