#include "tests/support/qt/test_picture_window.h"

#include <QCloseEvent>

TestPictureWindow::TestPictureWindow(const std::string& iniKey, QWidget* parent) : T_FormBildKKZoom(parent, iniKey)
{
    setObjectName("TestPictureWindow");
}

void TestPictureWindow::ChooseRenderMode(uint8_t& mode, uint8_t&, uint8_t&, uint8_t&, uint8_t cellWidth,
                                         uint8_t cellHeight)
{
    if (forcedMode >= 0)
        mode = static_cast<uint8_t>(forcedMode);
    else if (cellWidth == 1 && cellHeight == 1 && mode == 0 && !Levels().ReferencePresent())
        mode = 6;
}

size_t TestPictureWindow::Offset(int32_t x, int32_t y) const
{
    return static_cast<size_t>(y - 1) * PictureWidth() + static_cast<size_t>(x - 1);
}

std::vector<uint8_t>* TestPictureWindow::Plane(int level)
{
    level = std::max(level, 1);
    const size_t w = PictureWidth(), h = PictureHeight();
    if (planes_.size() < static_cast<size_t>(level))
        planes_.resize(level);
    std::vector<uint8_t>& plane = planes_[level - 1];
    if (plane.size() != w * h) {
        plane.resize(w * h);
        for (size_t y = 1; y <= h; ++y)
            for (size_t x = 1; x <= w; ++x)
                plane[(y - 1) * w + x - 1] = static_cast<uint8_t>((7 * x + 13 * y + 5 * (level - 1)) % 42);
    }
    return &plane;
}

uint8_t TestPictureWindow::Cell(int level, int32_t x, int32_t y)
{
    if (!InPicture(x, y) || level < 1)
        return 0;
    return (*Plane(level))[Offset(x, y)];
}

void TestPictureWindow::SetCell(int level, int32_t x, int32_t y, uint8_t value)
{
    if (InPicture(x, y) && level >= 1)
        (*Plane(level))[Offset(x, y)] = value;
}

void TestPictureWindow::GetDisplayCell(uint16_t x, uint16_t y, uint32_t& shown, uint8_t& reference, uint8_t& combined)
{
    ++displayCalls;
    const int current = std::max<int>(1, Levels().CurrentLevel());
    shown = Cell(current, x, y);
    const uint16_t ref = Levels().ReferenceLevel();
    reference = ref == LevelStates::kNoReference ? 255 : Cell(ref, x, y);
    combined = 0;
    uint8_t any = 0;
    bool included = false;
    const auto& states = Levels().States();
    for (size_t i = 0; i < states.size(); ++i)
        if (states[i] == 2) {
            included = true;
            any |= Cell(static_cast<int>(i + 1), x, y);
        }
    if (included)
        combined = static_cast<uint8_t>((any & 15) | 128);
}

std::span<const uint8_t> TestPictureWindow::GetCellPointer(int32_t x, int32_t y)
{
    ++pointerCalls;
    if (!InPicture(x, y))
        return {};
    std::vector<uint8_t>* plane = Plane(std::max<int>(1, Levels().CurrentLevel()));
    return std::span<const uint8_t>(plane->data() + Offset(x, y), static_cast<size_t>(PictureWidth() - x + 1));
}

std::vector<std::span<uint8_t>> TestPictureWindow::GetRowBytes(int32_t i, uint8_t levels)
{
    std::vector<std::span<uint8_t>> rows;
    const int32_t x = std::max(1, markX1), y = std::max(1, markY1) + i;
    if (!InPicture(x, y))
        return rows;
    const auto take = [&](int level) {
        rows.emplace_back(Plane(level)->data() + Offset(x, y), static_cast<size_t>(PictureWidth() - x + 1));
    };
    const int current = std::max<int>(1, Levels().CurrentLevel());
    take(current);
    if (levels <= 1)
        return rows;
    const auto& states = Levels().States();
    for (size_t k = 0; k < states.size(); ++k)
        if (states[k] == 2 && static_cast<int>(k + 1) != current)
            take(static_cast<int>(k + 1));
    return rows;
}

void TestPictureWindow::ApplyLevelStates(const std::vector<uint8_t>& states)
{
    TFormBildKK::ApplyLevelStates(states);
    if (onLevels)
        onLevels();
}

void TestPictureWindow::CellEvent()
{
    if (onCell)
        onCell();
    T_FormBildKKZoom::CellEvent();
}

void TestPictureWindow::closeEvent(QCloseEvent* event)
{
    TFormBildKK::closeEvent(event);
    if (onClose)
        onClose(event->isAccepted());
}
