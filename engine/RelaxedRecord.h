// A plain record shared between threads as relaxed 8-byte words: readers
// take a copy of the whole record, writers change a copy and publish the
// words they changed. Each word is read and written atomically, so no value
// of 8 bytes or less is ever torn; two writers that change different words
// never undo each other's changes. Groups that different threads write must
// therefore not share a word (align them to 8 bytes).
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>
#include <type_traits>

template <typename Record>
class RelaxedRecord {
    static_assert(std::is_trivially_copyable<Record>::value, "a record is copied as bytes");
    static_assert(sizeof(Record) % sizeof(uint64_t) == 0, "a record is a whole number of words");
    static constexpr size_t kWords = sizeof(Record) / sizeof(uint64_t);

public:
    explicit RelaxedRecord(const Record& initial = Record()) {
        uint64_t bits[kWords];
        std::memcpy(bits, &initial, sizeof bits);
        for (size_t i = 0; i < kWords; ++i) words[i].store(bits[i], std::memory_order_relaxed);
    }

    Record load() const {
        uint64_t bits[kWords];
        for (size_t i = 0; i < kWords; ++i) bits[i] = words[i].load(std::memory_order_relaxed);
        Record record;
        std::memcpy(&record, bits, sizeof record);
        return record;
    }

    // Runs change(record) on a copy and stores the words it changed.
    template <typename Change>
    void update(Change&& change) {
        const Record before = load();
        Record after = before;
        change(after);
        uint64_t oldBits[kWords], newBits[kWords];
        std::memcpy(oldBits, &before, sizeof oldBits);
        std::memcpy(newBits, &after, sizeof newBits);
        for (size_t i = 0; i < kWords; ++i)
            if (newBits[i] != oldBits[i]) words[i].store(newBits[i], std::memory_order_relaxed);
    }

private:
    std::atomic<uint64_t> words[kWords];
};
