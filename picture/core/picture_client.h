#pragma once
// What a picture window's renderer and input rules ask of the window that
// knows what its cells mean. The picture window base supplies the operations
// with a body; a concrete window supplies the render mode and the cells, and
// overrides the rest where it does more.
#include <cstdint>
#include <span>
#include <vector>

#include "picture/core/picture_geometry.h"

// A block of 32-bit pixels (0xffRRGGBB) that a band is drawn into.
struct PixelView {
    uint32_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    // Pixels from the start of one line to the start of the next.
    int32_t stride = 0;

    uint32_t* Line(int32_t y) const { return pixels + static_cast<std::ptrdiff_t>(y) * stride; }
};

// One band of cells to draw into the target: from the first column and row
// (rows count upward), at the band's left and top pixel of the pane's kept
// image.
struct BandRequest : CellBand {
    int32_t pane = 0;
    uint8_t cellWidth = 1;
    uint8_t cellHeight = 1;
    uint8_t accentColour = 200;
    PixelView target;
};

class PictureClient {
public:
    virtual ~PictureClient() = default;

    // Asked twice per band: mode 0 plain cells, 1 symbols, 2 and 7 drawn by
    // the window itself (DrawRowsCustom2, DrawRowsCustom), 5 blended levels,
    // 6 one pixel per cell.
    virtual void ChooseRenderMode(uint8_t& mode, uint8_t& symbolFlag, uint8_t& gridFlag, uint8_t& accentColour,
                                  uint8_t cellWidth, uint8_t cellHeight) = 0;
    // The palette index to show, that of the reference level's cell (255 =
    // none) and the combined-view value (0 = none).
    virtual void GetDisplayCell(uint16_t x, uint16_t y, uint32_t& shown, uint8_t& reference, uint8_t& combined) = 0;

    // After every step of the cell cursor, with the current cell set.
    virtual void CellEvent() { ShowMouseCell(); }
    // The cell height for a cell width.
    virtual uint8_t CellSizeFromZoom(uint8_t step);
    // Sees every typed key first (Enter U+000D, Esc U+001B); non-zero when handled.
    virtual uint8_t HandleKey(char32_t) { return 0; }
    // Reports the view's origin (column, row).
    virtual void ShowViewOrigin(int32_t, int32_t) {}
    // Reports the current cell.
    virtual void ShowMouseCell() {}
    // Stores a colour into a cell unless the window refuses it.
    virtual void FilterPaintColour(uint8_t colour, uint8_t& cell) { cell = colour; }
    // The same for a row of cells, cell i offered colours[i] (the shorter
    // length counts); a window with a rule of its own may do it faster.
    virtual void FilterPaintRow(std::span<const uint8_t> colours, std::span<uint8_t> cells)
    {
        for (size_t i = 0; i < colours.size() && i < cells.size(); ++i)
            FilterPaintColour(colours[i], cells[i]);
    }

    // The cell bytes of the shown level from (x, y) to the end of its row.
    virtual std::span<const uint8_t> GetCellPointer(int32_t, int32_t) { return {}; }
    // Row `row` of each level that takes part, the current level first;
    // levels 1 asks for the current level only.
    virtual std::vector<std::span<uint8_t>> GetRowBytes(int32_t, uint8_t) { return {}; }
    // Mode 7 and mode 2: the window draws the band itself.
    virtual void DrawRowsCustom(const BandRequest&) {}
    virtual void DrawRowsCustom2(const BandRequest&) {}

    // The ratio of cell height to cell width.
    double zoomFactor = 1.0;
};
