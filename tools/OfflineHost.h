// What the offline tools share as a host: a callback that answers the
// version query and nothing else.
#pragma once

#include "VstInterface.h"

inline VstIntPtr offlineHostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}
