// The MIDI events the host handed over for the next processing call. The
// list is the host's own record, neither owned nor copied; it is forgotten
// after that one call.
#pragma once

#include "VstInterface.h"

class VstEventList {
public:
    // Keeps the host's record (null detaches). A negative event count is read as 0.
    void attach(VstEvents* list);
    // Steps to the next MIDI event; false when there is none left. Other event
    // types and null entries are stepped over.
    bool next();
    // The event at the current position, or null before the first and after the last.
    VstEvent* current() const;

    VstEvents* events = nullptr;
    // The host's array of event pointers, read from its first entry: the
    // record declares two entries, but the array runs on to its count.
    VstEvent* const* entries = nullptr;
    VstInt32 count = 0;
    VstInt32 index = 0;  // -1 right after attaching, 0 when detached
};
