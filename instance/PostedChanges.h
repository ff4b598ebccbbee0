// Changes posted from any thread for the audio thread to apply: one bit per
// parameter (and one for the bypass), set after the new value is stored and
// taken all at once by the one thread that applies them. Posting never
// waits and never allocates; a value posted twice before it is applied is
// applied once, with its latest value, and none is ever lost.
#pragma once

#include <atomic>
#include <cstdint>

class PostedChanges {
public:
    void post(int bit) { bits.fetch_or(uint64_t{1} << bit, std::memory_order_release); }
    // Every bit posted since the last take.
    uint64_t take() { return bits.exchange(0, std::memory_order_acquire); }

private:
    std::atomic<uint64_t> bits{0};
};
