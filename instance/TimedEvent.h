// What a host hands the plug-in instance for one block, in no plug-in
// format's terms: the audio, the events timed within it, and where the
// instance reports what the block did.
#pragma once

#include <cstdint>

// Two input and two output channels of `frames` samples; the outputs may be
// the inputs. A null input is heard as silence.
struct AudioBlock {
    const float* in[2];
    float* out[2];
    uint32_t frames;
};

enum class EventKind : uint8_t {
    Value,        // parameter `index` to `normalized`
    Midi,         // a MIDI message of `size` bytes (1 to 3)
    SpeedSwitch,  // the speed controller's switch already read by the host: fast when `normalized` >= 0.5
    Bypass,       // the bypass on when `normalized` >= 0.5
    Program,      // factory program `index`
};

struct TimedEvent {
    uint32_t frame;  // from the block's start
    EventKind kind;
    int index;
    double normalized;
    uint8_t midi[3];
    uint8_t size;
};

// The block's events in the order the host lists them.
class EventSource {
public:
    virtual bool next(TimedEvent& event) = 0;

protected:
    ~EventSource() = default;
};

// What a block did that the host hears of, on the audio thread.
class ProcessReport {
public:
    // A MIDI switch changed the speed toggle, from `frame` on.
    virtual void speedSwitched(uint32_t frame, bool fast) = 0;

protected:
    ~ProcessReport() = default;
};
