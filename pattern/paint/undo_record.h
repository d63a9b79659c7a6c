#pragma once
// One saved run of an undo step: the old bytes of a row run of one level,
// or the motif block.
#include <cstdint>

enum class UndoKind : uint8_t { RowRun = 0, Motif = 1 };

struct UndoRecord {
    // Column of the first saved byte, counted from 0.
    uint16_t x0 = 0;
    uint16_t y = 0;
    // Level number from 1; 'c' for a motif record.
    uint8_t level = 0;
    UndoKind kind = UndoKind::RowRun;
    uint16_t length = 0;
    // Where the saved bytes start in the pool.
    uint32_t offset = 0;
};

static_assert(sizeof(UndoRecord) == 12);
