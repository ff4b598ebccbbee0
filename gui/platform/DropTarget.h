// Platform contract, drag and drop: a window registered as a drop target
// reports dropped text and file names through WindowEvents::drop. Part of
// the contract described in Platform.h.
#pragma once

#include "WindowSystem.h"

namespace platform {

// Kinds of dropped data handed to WindowEvents::drop.
enum DropType : int { kDropFiles = 0, kDropText = 1 };

class DropTarget {
public:
    virtual ~DropTarget() = default;

    // Registers (true) or revokes (false) the window as a drop target.
    virtual void enableDrop(Window* window, bool on) = 0;
    // Process-wide set-up of the drag-and-drop machinery, counted.
    virtual void initializeDragDrop() = 0;
    virtual void uninitializeDragDrop() = 0;
};

}  // namespace platform
