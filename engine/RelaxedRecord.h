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

    Record load() const { return loadPart<Record>(0); }

    // Runs change(record) on a copy and stores the words it changed.
    template <typename Change>
    void update(Change&& change) {
        updatePart<Record>(0, change);
    }

    // The same for one member of the record: the Part at `offset` (its
    // offsetof, which must be a multiple of 8).
    template <typename Part>
    Part loadPart(size_t offset) const {
        static_assert(std::is_trivially_copyable<Part>::value, "a part is copied as bytes");
        static_assert(sizeof(Part) % sizeof(uint64_t) == 0, "a part is a whole number of words");
        uint64_t bits[sizeof(Part) / sizeof(uint64_t)];
        const size_t first = offset / sizeof(uint64_t);
        for (size_t i = 0; i < sizeof bits / sizeof bits[0]; ++i)
            bits[i] = words[first + i].load(std::memory_order_relaxed);
        Part part;
        std::memcpy(&part, bits, sizeof part);
        return part;
    }

    template <typename Part, typename Change>
    void updatePart(size_t offset, Change&& change) {
        const Part before = loadPart<Part>(offset);
        Part after = before;
        change(after);
        constexpr size_t kPartWords = sizeof(Part) / sizeof(uint64_t);
        uint64_t oldBits[kPartWords], newBits[kPartWords];
        std::memcpy(oldBits, &before, sizeof oldBits);
        std::memcpy(newBits, &after, sizeof newBits);
        const size_t first = offset / sizeof(uint64_t);
        for (size_t i = 0; i < kPartWords; ++i)
            if (newBits[i] != oldBits[i]) words[first + i].store(newBits[i], std::memory_order_relaxed);
    }

private:
    std::atomic<uint64_t> words[kWords];
};
