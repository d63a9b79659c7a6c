#pragma once
// The simulated row the window looks at, fetched once per row change, and
// the colours and shape of one cell as the drawing takes them.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "check/simdll_blocks.h"

class SimRowSource;

// Shape, x offset and the colours c0 .. c4 of one cell.
struct SimCell {
    uint8_t shape = 0;
    uint8_t xOffset = 0;
    std::array<uint8_t, 5> c{};
};

struct SimDisplaySwitches {
    bool grid = false;
    bool oldYarn = false;
    bool carriers = false;
    bool density = false;
};

class SimRowCache {
public:
    explicit SimRowCache(SimRowSource& source) : source_(&source) {}
    // Another source: the cached row goes.
    void SetSource(SimRowSource& source)
    {
        source_ = &source;
        Drop();
    }

    // Every change of what a row returns drops the cached row.
    void SetSwitches(const SimDisplaySwitches& s);
    const SimDisplaySwitches& Switches() const { return switches_; }
    void SetCellWidth(uint16_t w);
    // Rows available, and the fabric's rows (the carrier bar lies above).
    void SetHeight(uint16_t rows) { height_ = rows; }
    void SetFabricRows(int32_t rows) { fabricRows_ = rows; }
    int32_t FabricRows() const { return fabricRows_; }
    void Drop() { cachedRow_ = -1; }
    int32_t CachedRow() const { return cachedRow_; }

    SimCell GetSimCell(int32_t x, int32_t y);
    // The row's background byte.
    uint8_t Background(int32_t y);
    // Replaces row y's background byte until the row is fetched again.
    void SetBackground(int32_t y, uint8_t colour);
    // Cells from column x to the row's end as one pixel each shows them:
    // c1 where a shape is, else c2.
    std::span<const uint8_t> DisplayCells(int32_t x, int32_t y);
    // The row as it came (loaded when needed).
    const SimDllRow& Row(int32_t y);

private:
    void Load(int32_t y);
    SimCell CellOf(size_t i, int32_t y) const;

    SimRowSource* source_;
    SimDisplaySwitches switches_;
    uint16_t cellWidth_ = 1;
    uint16_t height_ = 0;
    int32_t fabricRows_ = 0;
    int32_t cachedRow_ = -1;
    SimDllRow row_;
    std::vector<uint8_t> display_;
    int32_t displayRow_ = -1;
};
