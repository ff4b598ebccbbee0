// An offline host for one plug-in instance: creates it through the library's
// entry point, sets parameters, schedules speed switches as MIDI
// control changes, and runs stereo audio through it in blocks.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "PluginLibrary.h"

class RenderSession {
public:
    RenderSession(const PluginLibrary& library, float sampleRate, int blockSize);
    ~RenderSession();
    RenderSession(const RenderSession&) = delete;
    RenderSession& operator=(const RenderSession&) = delete;

    bool ready() const { return effect != nullptr; }

    std::string parameterName(int index) const;
    std::string parameterDisplay(int index) const;
    float parameter(int index) const;
    void setParameter(int index, float normalized);

    // A speed switch at `seconds` from the start, sent as a control change of
    // `controller` (value 127 for fast, 0 for slow).
    void scheduleSpeed(double seconds, bool fast, int controller);

    // Runs the stereo input through the plug-in, `frames` frames in all,
    // calling `progress` with the fraction done after each block.
    void render(const float* left, const float* right, float* outLeft, float* outRight, long frames,
                const std::function<void(double)>& progress);

private:
    struct SpeedSwitch {
        long frame;
        bool fast;
        int controller;
    };

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) const;

    AEffect* effect = nullptr;
    float sampleRate;
    int blockSize;
    std::vector<SpeedSwitch> switches;
};
