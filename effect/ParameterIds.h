// The ids CLAP and VST 3 hosts know the table's parameters by. They never
// move, as hosts store automation by them: the table's first 23 rows are
// ids 0 to 22, and rows the table gains later take ids from 100 on. Ids 23
// to 99 are each format's own (its readings, bypass, program change).
#pragma once

#include <cstdint>

#include "SpeakerDescriptor.h"

namespace parameterids {

constexpr int kRowsNumberedInPlace = 23;
constexpr uint32_t kFirstLaterRow = 100;
static_assert(kNumCabinetParameters >= kRowsNumberedInPlace, "the first rows hold their ids");

// The table row of an id, or -1 for an id that names none.
inline int rowOf(uint32_t id) {
    if (id < static_cast<uint32_t>(kRowsNumberedInPlace)) return static_cast<int>(id);
    const uint32_t later = static_cast<uint32_t>(kNumCabinetParameters - kRowsNumberedInPlace);
    if (id < kFirstLaterRow || id - kFirstLaterRow >= later) return -1;
    return static_cast<int>(id - kFirstLaterRow) + kRowsNumberedInPlace;
}

inline uint32_t idOfRow(int row) {
    return row < kRowsNumberedInPlace ? static_cast<uint32_t>(row)
                                      : kFirstLaterRow + static_cast<uint32_t>(row - kRowsNumberedInPlace);
}

}  // namespace parameterids
