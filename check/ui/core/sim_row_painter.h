#pragma once
// Draws bands of simulated rows (render mode 2): every cell is a shape of
// the library's tables, its pixel codes mapped to the cell's colours.
#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "picture/core/picture_client.h"

class SimRowCache;

inline constexpr uint8_t kSimGridColour = 214;
inline constexpr uint8_t kSimMarkedOutColour = 218;

// Rows kept by the marks (state 0: none); rows count in fabric rows.
struct SimRowMarks {
    uint8_t state = 0;
    uint16_t start = 0;
    uint16_t end = 0;
};

struct SimPaintSettings {
    // The shapes of the band's cell width, cellWidth x cellHeight bytes each.
    std::span<const uint8_t> shapes;
    const std::array<uint32_t, 256>* argb = nullptr;
    uint16_t gridPeriod = 10;
    SimRowMarks marks;
    // True when the pointer moved to another cell: the band stops.
    std::function<bool()> interrupted;
};

class SimRowPainter {
public:
    explicit SimRowPainter(SimRowCache& cache) : cache_(cache) {}

    // False when the band was interrupted.
    bool DrawRowsCustom2(const BandRequest& band, const SimPaintSettings& s);

    // The shapes of width w within the library's tables (empty when the
    // tables are too short).
    static std::span<const uint8_t> ShapesOfWidth(std::span<const uint8_t> tables, int w);

private:
    void DrawRow(const BandRequest& band, const SimPaintSettings& s, int32_t r);

    SimRowCache& cache_;
};
