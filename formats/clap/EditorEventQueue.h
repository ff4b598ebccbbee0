// The parameter changes and gestures the editor makes on the user-interface
// thread, on their way to the host: the next process or flush call sends
// them as output events. One thread pushes and one pops (the host never runs
// process and flush at once), so a ring of atomics carries them without a lock.
#pragma once

#include <atomic>
#include <cstdint>

struct EditorEvent {
    uint16_t type;  // a parameter value, or a gesture's begin or end
    uint32_t parameter;
    double value;   // in display units; values only
};

class EditorEventQueue {
public:
    // False, and the event is dropped, when the host has not taken the
    // events for so long that the ring is full. The last few places are
    // kept for the events that close a gesture (`closing`), so a long drag
    // while the host takes nothing loses values in between, never its end.
    bool push(const EditorEvent& event, bool closing = false) {
        const uint32_t tail = written.load(std::memory_order_relaxed);
        if (tail - taken.load(std::memory_order_acquire) >= (closing ? kCapacity : kCapacity - kReserve)) return false;
        ring[tail % kCapacity] = event;
        written.store(tail + 1, std::memory_order_release);
        return true;
    }

    bool pop(EditorEvent& event) {
        const uint32_t head = taken.load(std::memory_order_relaxed);
        if (head == written.load(std::memory_order_acquire)) return false;
        event = ring[head % kCapacity];
        taken.store(head + 1, std::memory_order_release);
        return true;
    }

    static constexpr uint32_t kCapacity = 1024;  // a divisor of 2^32, so the counters may wrap
    static constexpr uint32_t kReserve = 16;

private:
    EditorEvent ring[kCapacity] = {};
    std::atomic<uint32_t> written{0};
    std::atomic<uint32_t> taken{0};
};
