#pragma once
// A concrete picture window for tests and picture_probe: one plane of cells
// per level, kept in memory, shown as plain cells; every level change, close
// and pane change can be watched.
#include <functional>
#include <vector>

#include "pattern/t_form_bild_kk.h"

class TestPictureWindow : public TFormBildKK {
    Q_OBJECT
public:
    explicit TestPictureWindow(const std::string& iniKey = {}, QWidget* parent = nullptr);

    void ChooseRenderMode(uint8_t& mode, uint8_t& symbolFlag, uint8_t& gridFlag, uint8_t& accentColour,
                          uint8_t cellWidth, uint8_t cellHeight) override;
    void GetDisplayCell(uint16_t x, uint16_t y, uint32_t& shown, uint8_t& reference, uint8_t& combined) override;
    std::span<const uint8_t> GetCellPointer(int32_t x, int32_t y) override;
    std::vector<std::span<uint8_t>> GetRowBytes(int32_t row, uint8_t levels) override;
    void ApplyLevelStates(const std::vector<uint8_t>& states) override;

    // Cell (x, y) of level (1-based); x, y from 1. Out of range reads 0.
    uint8_t Cell(int level, int32_t x, int32_t y) const;
    void SetCell(int level, int32_t x, int32_t y, uint8_t value);

    std::function<void()> onLevels;
    // true when the close was allowed.
    std::function<void(bool)> onClose;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::vector<uint8_t>* Plane(int level);
    size_t Offset(int32_t x, int32_t y) const;
    bool Inside(int32_t x, int32_t y) const;

    std::vector<std::vector<uint8_t>> planes_;
};
