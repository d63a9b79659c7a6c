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

// One loaded row as the drawing walks it, and the cell rule over it.
struct SimRowView {
    const uint8_t* shape = nullptr;
    const uint8_t* colour = nullptr;
    const int8_t* third = nullptr;
    size_t count = 0;
    uint8_t background = 0;
    uint8_t xOffset = 0;
    bool grid = false;
    bool oldYarn = false;
    // c2 takes the passing yarn (the carrier bar above the fabric).
    bool passingYarn = false;

    // Cell i (0-based); cells past the row are empty fabric.
    SimCell Cell(size_t i) const
    {
        SimCell cell;
        const uint8_t c0 = background;
        cell.c = {c0, c0, c0, 255, 255};
        cell.xOffset = grid ? 0 : xOffset;
        if (i >= count) {
            cell.shape = grid ? 128 : 0;
            return cell;
        }
        // Shapes above 127 are the library's own grid forms: the grid adds
        // its 128 to the plain shape, never past the table.
        cell.shape = grid ? static_cast<uint8_t>((shape[i] & 127) + 128) : shape[i];
        cell.c[1] = colour[i];
        const int8_t t = third[i];
        if (oldYarn && t == -2)
            cell.c[2] = 254;
        else if (!oldYarn && !passingYarn)
            cell.c[2] = c0;
        else
            cell.c[2] = t == -1 ? c0 : static_cast<uint8_t>(t);
        return cell;
    }
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
    // Row y for walking its cells (valid until another row is loaded).
    SimRowView View(int32_t y);

private:
    void Load(int32_t y);

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
