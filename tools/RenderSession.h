// An offline host for one plug-in instance, of whichever format the library
// is (a VST 2 library or a CLAP plug-in, told apart by their entry points):
// it creates the instance through the entry point, sets parameters, sends
// speed switches as MIDI control changes at their frames, and runs stereo
// audio through it in blocks. Parameters are numbered and valued as in the
// effect's table (normalised 0..1); a build has the table's first
// parameterCount() of them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "PluginLibrary.h"

class RenderSession {
public:
    // A session on the library's plug-in, or null with the reason in `error`.
    static std::unique_ptr<RenderSession> open(const PluginLibrary& library, const std::string& path,
                                               float sampleRate, int blockSize, std::string& error);
    virtual ~RenderSession() = default;

    virtual const char* formatName() const = 0;
    virtual int parameterCount() const = 0;
    virtual std::string parameterName(int index) const = 0;
    virtual std::string parameterDisplay(int index) const = 0;
    virtual float parameter(int index) const = 0;
    virtual void setParameter(int index, float normalized) = 0;

    // A speed switch at `seconds` from the start, sent as a control change of
    // `controller` (value 127 for fast, 0 for slow).
    void scheduleSpeed(double seconds, bool fast, int controller);

    // Runs the stereo input through the plug-in, `frames` frames in all,
    // calling `progress` with the fraction done after each block.
    void render(const float* left, const float* right, float* outLeft, float* outRight, long frames,
                const std::function<void(double)>& progress);

protected:
    RenderSession(float sampleRate, int blockSize)
        : sampleRate(sampleRate), blockSize(blockSize > 0 ? blockSize : 512) {}

    // A MIDI control change at a frame of the block.
    struct MidiMessage {
        int frame;
        unsigned char bytes[3];
    };
    // One block through the plug-in: `inputs` may be overwritten.
    virtual void process(float* const inputs[2], float* const outputs[2], int frames,
                         const std::vector<MidiMessage>& midi) = 0;

    float sampleRate;
    int blockSize;

private:
    struct SpeedSwitch {
        long frame;
        bool fast;
        int controller;
    };
    std::vector<SpeedSwitch> switches;
};
