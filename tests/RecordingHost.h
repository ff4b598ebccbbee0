// A host callback that records every call the effect makes and answers the
// version query; one instance is active at a time.
#pragma once

#include <functional>
#include <vector>

#include "VstInterface.h"

struct HostCall {
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
};

class RecordingHost {
public:
    RecordingHost() { active = this; }
    ~RecordingHost() { active = nullptr; }

    static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                              void* ptr, float opt) {
        if (!active) return 0;
        active->calls.push_back({effect, opcode, index, value, ptr, opt});
        if (active->reaction) active->reaction(opcode);
        if (opcode == audioMasterVersion) return active->versionAnswer;
        return active->answer;
    }

    std::vector<HostCall> callsOf(VstInt32 opcode) const {
        std::vector<HostCall> found;
        for (const HostCall& call : calls)
            if (call.opcode == opcode) found.push_back(call);
        return found;
    }

    std::vector<HostCall> calls;
    VstIntPtr versionAnswer = 2400;
    VstIntPtr answer = 0;  // to every other opcode
    // What the host does when it is called, after recording the call.
    std::function<void(VstInt32 opcode)> reaction;

private:
    static inline RecordingHost* active = nullptr;
};
