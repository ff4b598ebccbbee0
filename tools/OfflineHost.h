// What the offline tools share as a host: a callback that answers the
// version query and nothing else, and parameter names matched loosely.
#pragma once

#include <cctype>
#include <string>

#include "VstInterface.h"

inline VstIntPtr offlineHostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// A parameter name without case, spaces, '-' or '_': "speed-toggle" finds
// "speed toggle".
inline std::string simplifiedName(const std::string& name) {
    std::string out;
    for (char c : name)
        if (c != ' ' && c != '-' && c != '_') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}
