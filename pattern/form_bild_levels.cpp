#include "pattern/form_bild_levels.h"

#include <algorithm>

#include "kernel/ui/forms.h"
#include "kernel/ui/shell_values.h"
#include "pattern/zeichenfunktionen.h"
#include "picture/frame_bild_kk.h"
#include "picture/mal_status_bar.h"

namespace {

// The palette belongs to the application, not to one painting form: a second
// form finds the first one's.
TZeichenfunktionen* FindOrCreatePalette()
{
    if (auto* found = qobject_cast<TZeichenfunktionen*>(FindForm("Zeichenfunktionen")))
        return found;
    return new TZeichenfunktionen(MainForm);
}

}  // namespace

TFormBildLevels::TFormBildLevels(QWidget* parent, const std::string& iniKey)
    : T_FormBildKKZoom(parent, iniKey), Zeichenfunktionen(FindOrCreatePalette()), levelTable_(2)
{
    transparentColour = 255;
    transparentFlags[255] = 1;
}

void TFormBildLevels::P_AddrBild(int32_t, int32_t, uint8_t) {}

void TFormBildLevels::BuildLevelTabs(const std::vector<QString>& names, const std::vector<int16_t>& widths,
                                     const std::vector<uint8_t>& states, const std::bitset<256>& exclusive)
{
    levelTable_.assign(std::min(names.size(), states.size()) + 1, LevelRow{});
    T_FormBildKKZoom::BuildLevelTabs(names, widths, states, exclusive);
}

void TFormBildLevels::ChooseRenderMode(uint8_t& mode, uint8_t&, uint8_t& grid, uint8_t&, uint8_t cellWidth,
                                       uint8_t cellHeight)
{
    if (mode == 0 && !Levels().ReferencePresent() && cellWidth == 1 && cellHeight == 1)
        mode = 6;
    if (cellWidth >= 3 && cellHeight >= 3)
        grid = gridFlag;
}

std::span<const uint8_t> TFormBildLevels::EntryBytes(int32_t level)
{
    const size_t width = PictureWidth();
    if (zeroRow_.size() < width)
        zeroRow_.assign(width, 0);
    if (level >= 0 && static_cast<size_t>(level) < levelTable_.size() && !levelTable_[level].bytes.empty())
        return levelTable_[level].bytes;
    return std::span<const uint8_t>(zeroRow_);
}

std::span<const uint8_t> TFormBildLevels::ReadLevelRow(int32_t level, int32_t row)
{
    P_AddrBild(row, level, 1);
    return EntryBytes(level);
}

std::span<uint8_t> TFormBildLevels::LevelRowBytes(int32_t level, int32_t row)
{
    if (level < 0 || static_cast<size_t>(level) >= levelTable_.size())
        return {};
    P_AddrBild(row, level, 1);
    return levelTable_[level].bytes;
}

void TFormBildLevels::GetDisplayCell(uint16_t x, uint16_t y, uint32_t& shown, uint8_t& reference,
                                     uint8_t& combined)
{
    shown = 0;
    if (x == 0 || y == 0)
        return;
    const auto cell = [&](int32_t level) -> uint8_t {
        const std::span<const uint8_t> row = ReadLevelRow(level, y);
        return x <= row.size() ? row[x - 1] : 0;
    };
    shown = cell(Levels().CurrentLevel());
    combined = 0;
    const std::vector<uint8_t>& states = Levels().States();
    bool included = false;
    for (size_t i = 0; i < states.size(); ++i)
        if (states[i] == 2) {
            included = true;
            combined |= cell(static_cast<int32_t>(i + 1));
        }
    if (included)
        combined = static_cast<uint8_t>((combined & 15) | 128);
    const uint16_t ref = Levels().ReferenceLevel();
    reference = ref == LevelStates::kNoReference ? 255 : cell(ref);
}

std::span<const uint8_t> TFormBildLevels::GetCellPointer(int32_t x, int32_t y)
{
    const std::span<const uint8_t> row = ReadLevelRow(Levels().CurrentLevel(), y);
    if (x < 1 || static_cast<size_t>(x) > row.size())
        return {};
    return row.subspan(static_cast<size_t>(x - 1));
}

void TFormBildLevels::FilterPaintColour(uint8_t colour, uint8_t& cell)
{
    if (!transparentFlags[colour] && !protectedFlags[cell])
        cell = colour;
}

void TFormBildLevels::UpdatePaintState()
{
    paint.width = PictureWidth();
    paint.height = PictureHeight();
    paint.currentLevel = Levels().CurrentLevel();
    paint.referenceLevel = Levels().ReferenceLevel();
    const TFrameBildKK* pane = Pane(std::clamp<int>(currentPane, 0, PaneCount() - 1));
    paint.visible = {pane->firstVisibleColumn, pane->visibleColumns, firstVisibleRow, visibleRows};
}

std::span<uint8_t> TFormBildLevels::Row(int level, int32_t y)
{
    const std::span<uint8_t> row = LevelRowBytes(level, y);
    return row.size() < PictureWidth() ? std::span<uint8_t>() : row.first(PictureWidth());
}

void TFormBildLevels::RowChanged(int level, int32_t)
{
    if (level >= 0 && static_cast<size_t>(level) < levelTable_.size())
        levelTable_[level].changed = 1;
}

void TFormBildLevels::RedrawCells(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    T_FormBildKKZoom::RedrawCells(x1, y1, x2, y2);
}

void TFormBildLevels::PreviewCell(int32_t x, int32_t y)
{
    for (int p = 0; p < PaneCount(); ++p)
        FeedbackFrame(p, x, y, x, y);
}

void TFormBildLevels::StatusText(int panel, const std::string& text)
{
    StatusBar->SetStatusText(panel, QString::fromStdString(text));
}
