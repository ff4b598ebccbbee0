#include "vstevents.h"

void VstEventList::attach(VstEvents* list) {
    events = list;
    entries = list ? list->events : nullptr;
    if (list) {
        count = list->numEvents > 0 ? list->numEvents : 0;
        index = -1;
    } else {
        count = 0;
        index = 0;
    }
}

bool VstEventList::next() {
    if (index >= count) return false;
    for (;;) {
        ++index;
        if (index >= count) return false;
        const VstEvent* event = entries[index];
        if (event && event->type == kVstMidiType) return true;
    }
}

VstEvent* VstEventList::current() const {
    if (index < 0 || index >= count) return nullptr;
    return entries[index];
}
