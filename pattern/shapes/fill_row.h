#pragma once
// One row as the flood fill scans it: the current and reference level's
// bytes and the fill's marks over its area, indexed from the area's first
// column (index 0).
#include <array>
#include <cstdint>

// Which bytes join the region: a byte below 128 that is the start colour or
// transparent, on both levels, where the cell is not marked yet.
struct FillMatch {
    FillMatch(uint8_t c0, uint8_t r0, const std::array<uint8_t, 256>& T, bool sameLevel);

    std::array<uint8_t, 256> currentOk{};
    std::array<uint8_t, 256> referenceOk{};
    uint8_t c0;
    uint8_t r0;
    bool sameLevel;
    // Only the start colours join: eight cells are tested at once.
    bool plain;
    // Cells taken are marked; not needed when every cell painted takes a
    // colour that does not join.
    bool marks = true;
};

class FillRow {
public:
    FillRow(const uint8_t* current, const uint8_t* reference, uint8_t* marks, const FillMatch& match)
        : current_(current), reference_(reference), marks_(marks), match_(&match)
    {
    }

    bool Fillable(int64_t i) const
    {
        if ((match_->marks && marks_[i] != 0) || match_->currentOk[current_[i]] == 0)
            return false;
        return match_->sameLevel || match_->referenceOk[reference_[i]] != 0;
    }
    // The first index from i towards end (step 1 or -1) whose fillability
    // is not `fillable`; end + step when there is none.
    int64_t Scan(int64_t i, int64_t end, int step, bool fillable) const;
    void Mark(int64_t i1, int64_t i2);

private:
    const uint8_t* current_;
    const uint8_t* reference_;
    uint8_t* marks_;
    const FillMatch* match_;
};
