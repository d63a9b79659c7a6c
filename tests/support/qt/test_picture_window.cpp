#include "tests/support/qt/test_picture_window.h"

#include <QCloseEvent>

TestPictureWindow::TestPictureWindow(const std::string& iniKey, QWidget* parent) : TFormBildKK(parent, iniKey)
{
    setObjectName("TestPictureWindow");
}

void TestPictureWindow::ChooseRenderMode(uint8_t&, uint8_t&, uint8_t&, uint8_t&, uint8_t, uint8_t)
{
}

bool TestPictureWindow::Inside(int32_t x, int32_t y) const
{
    return x >= 1 && y >= 1 && x <= PictureWidth() && y <= PictureHeight();
}

size_t TestPictureWindow::Offset(int32_t x, int32_t y) const
{
    return static_cast<size_t>(y - 1) * PictureWidth() + static_cast<size_t>(x - 1);
}

std::vector<uint8_t>* TestPictureWindow::Plane(int level)
{
    if (level < 1)
        return nullptr;
    const size_t size = static_cast<size_t>(PictureWidth()) * PictureHeight();
    if (planes_.size() < static_cast<size_t>(level))
        planes_.resize(level);
    std::vector<uint8_t>& plane = planes_[level - 1];
    if (plane.size() != size)
        plane.assign(size, 0);
    return &plane;
}

uint8_t TestPictureWindow::Cell(int level, int32_t x, int32_t y) const
{
    if (!Inside(x, y) || level < 1 || static_cast<size_t>(level) > planes_.size())
        return 0;
    const std::vector<uint8_t>& plane = planes_[level - 1];
    return Offset(x, y) < plane.size() ? plane[Offset(x, y)] : 0;
}

void TestPictureWindow::SetCell(int level, int32_t x, int32_t y, uint8_t value)
{
    std::vector<uint8_t>* plane = Plane(level);
    if (plane && Inside(x, y))
        (*plane)[Offset(x, y)] = value;
}

void TestPictureWindow::GetDisplayCell(uint16_t x, uint16_t y, uint32_t& shown, uint8_t& reference, uint8_t& combined)
{
    shown = Cell(Levels().CurrentLevel(), x, y);
    const uint16_t ref = Levels().ReferenceLevel();
    reference = ref == LevelStates::kNoReference ? 255 : Cell(ref, x, y);
    combined = 0;
}

std::span<const uint8_t> TestPictureWindow::GetCellPointer(int32_t x, int32_t y)
{
    std::vector<uint8_t>* plane = Plane(Levels().CurrentLevel());
    if (!plane || !Inside(x, y))
        return {};
    return std::span<const uint8_t>(plane->data() + Offset(x, y), static_cast<size_t>(PictureWidth() - x + 1));
}

std::vector<std::span<uint8_t>> TestPictureWindow::GetRowBytes(int32_t row, uint8_t levels)
{
    std::vector<std::span<uint8_t>> rows;
    if (row < 1 || row > PictureHeight())
        return rows;
    const auto take = [&](int level) {
        if (std::vector<uint8_t>* plane = Plane(level))
            rows.emplace_back(plane->data() + Offset(1, row), PictureWidth());
    };
    const int current = Levels().CurrentLevel();
    take(current);
    if (levels == 1)
        return rows;
    const auto& states = Levels().States();
    for (size_t i = 0; i < states.size(); ++i)
        if (states[i] == 2 && static_cast<int>(i + 1) != current)
            take(static_cast<int>(i + 1));
    return rows;
}

void TestPictureWindow::ApplyLevelStates(const std::vector<uint8_t>& states)
{
    TFormBildKK::ApplyLevelStates(states);
    if (onLevels)
        onLevels();
}

void TestPictureWindow::closeEvent(QCloseEvent* event)
{
    TFormBildKK::closeEvent(event);
    if (onClose)
        onClose(event->isAccepted());
}
