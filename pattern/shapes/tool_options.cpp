#include "pattern/shapes/tool_options.h"

namespace {

constexpr int kSlopeSide = 4;

bool SetSlope(ShapeSettings& s, int tag)
{
    const int x = tag / 10;
    const int y = tag % 10;
    if (x < 1 || x > kSlopeSide || y < 1 || y > kSlopeSide)
        return false;
    s.slopeX = x;
    s.slopeY = y;
    return true;
}

// The first button gives free lines, the second snapped ones, the third
// staircases.
void SetLineType(ShapeSettings& s, int button)
{
    s.snap = button == 2;
    s.staircase = button == 3;
    s.free = button == 1;
}

}  // namespace

int ToolOptionButtonCount(ToolOption option)
{
    switch (option) {
    case ToolOption::Slope: return kSlopeSide * kSlopeSide;
    case ToolOption::LineType: return 3;
    case ToolOption::LineWidth: return 4;
    case ToolOption::Outline: return static_cast<int>(kOutlineModes.size());
    case ToolOption::InsertDelete: return static_cast<int>(InsertDeleteButtons().size());
    }
    return 0;
}

int SlopeTag(int button)
{
    const int column = (button - 1) % kSlopeSide;
    const int row = (button - 1) / kSlopeSide;
    return 10 * (column + 1) + row + 1;
}

bool ApplyToolOption(ShapeSettings& settings, ToolOption option, int button)
{
    if (option == ToolOption::Slope)
        return SetSlope(settings, button);
    if (button < 1 || button > ToolOptionButtonCount(option))
        return false;
    switch (option) {
    case ToolOption::LineType: SetLineType(settings, button); break;
    case ToolOption::LineWidth: settings.lineWidth = static_cast<uint8_t>(button - 1); break;
    case ToolOption::Outline: settings.outlineMode = kOutlineModes[button - 1]; break;
    case ToolOption::InsertDelete: settings.insertDeleteCode = InsertDeleteButtons()[button - 1].code; break;
    case ToolOption::Slope: break;
    }
    return true;
}

const std::array<InsertDeleteButton, 8>& InsertDeleteButtons()
{
    static const std::array<InsertDeleteButton, 8> buttons{{
        {"Spalten einf\u00fcgen", 2},
        {"Zeilen einf\u00fcgen", 1},
        {"Spalten einf\u00fcgen (im Motiv)", 10},
        {"Zeilen einf\u00fcgen (im Motiv)", 9},
        {"Spalten l\u00f6schen", 4},
        {"Zeilen l\u00f6schen", 3},
        {"Spalten l\u00f6schen (im Motiv)", 12},
        {"Zeilen l\u00f6schen (im Motiv)", 11},
    }};
    return buttons;
}
