#pragma once
// A concrete picture window for tests and picture_probe: one plane of cells
// per level, kept in memory (level k starts as (7x + 13y + 5(k - 1)) mod 42);
// every cell step, level change, close and pane change can be watched, and
// the cell questions of each band are counted.
#include <functional>
#include <vector>

#include "picture/form_bild_kk_zoom.h"

class TestPictureWindow : public T_FormBildKKZoom {
    Q_OBJECT
public:
    explicit TestPictureWindow(const std::string& iniKey = {}, QWidget* parent = nullptr);

    void ChooseRenderMode(uint8_t& mode, uint8_t& symbolFlag, uint8_t& gridFlag, uint8_t& accentColour,
                          uint8_t cellWidth, uint8_t cellHeight) override;
    void GetDisplayCell(uint16_t x, uint16_t y, uint32_t& shown, uint8_t& reference, uint8_t& combined) override;
    std::span<const uint8_t> GetCellPointer(int32_t x, int32_t y) override;
    // Row y1 + i of the marked range from column x1: the current level's,
    // then (levels > 1) each included level's.
    std::vector<std::span<uint8_t>> GetRowBytes(int32_t i, uint8_t levels) override;
    void ApplyLevelStates(const std::vector<uint8_t>& states) override;
    void CellEvent() override;

    // Cell (x, y) of level (1-based); x, y from 1. Out of range reads 0.
    uint8_t Cell(int level, int32_t x, int32_t y);
    void SetCell(int level, int32_t x, int32_t y, uint8_t value);
    // Level k's plane, row 1 first.
    const std::vector<uint8_t>& PlaneBytes(int level) { return *Plane(level); }

    // -1: the window's own choice; else the mode both calls set.
    int forcedMode = -1;
    // Cell questions since the last reset.
    int displayCalls = 0;
    int pointerCalls = 0;

    std::function<void()> onLevels;
    std::function<void()> onCell;
    // true when the close was allowed.
    std::function<void(bool)> onClose;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::vector<uint8_t>* Plane(int level);
    size_t Offset(int32_t x, int32_t y) const;

    std::vector<std::vector<uint8_t>> planes_;
};
