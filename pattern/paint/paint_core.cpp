#include "pattern/paint/paint_core.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "pattern/motif/take_over_palette.h"
#include "pattern/paint/motif_edit.h"
#include "pattern/paint/paint_tool.h"
#include "pattern/shapes/shape_settings.h"

namespace {

// Keeps events that arrive while the machine runs (a nested event loop)
// out of it.
class GuardScope {
public:
    explicit GuardScope(bool& guard) : guard_(guard) { guard_ = true; }
    ~GuardScope() { guard_ = false; }
    GuardScope(const GuardScope&) = delete;
    GuardScope& operator=(const GuardScope&) = delete;

private:
    bool& guard_;
};

bool IsMotifTool(uint8_t tool)
{
    return tool >= 25 && tool <= 29;
}

}  // namespace

PaintCore::PaintCore(PaintSurface& surface, PaintView& view, PaintHooks& hooks, uint64_t undoLimit,
                     PaintState* state)
    : surface_(surface), view_(view), hooks_(hooks), state_(state ? *state : ownState_), undo_(undoLimit)
{
    state_.backgroundColour = kDefaultBackground;
    state_.tool = 0;
}

// ---------------------------------------------------------------- picture

void PaintCore::SetPictureSize(int32_t width, int32_t height)
{
    state_.width = std::max(width, 0);
    state_.height = std::max(height, 0);
    UndoZuruecksetzen();
}

void PaintCore::PlanesReplaced()
{
    UndoZuruecksetzen();
}

void PaintCore::SetLevelStates(const std::vector<uint8_t>& states)
{
    levelStates_ = states;
    state_.currentLevel = 0;
    int included = 0;
    uint16_t reference = PaintState::kNoReference;
    for (size_t i = 0; i < states.size(); ++i) {
        if (states[i] == 3)
            state_.currentLevel = static_cast<uint16_t>(i + 1);
        if (states[i] == 2) {
            ++included;
            reference = static_cast<uint16_t>(i + 1);
        }
    }
    state_.referenceLevel = included == 1 ? reference : PaintState::kNoReference;
}

bool PaintCore::Included(int level) const
{
    return level >= 1 && static_cast<size_t>(level) <= levelStates_.size() &&
           static_cast<uint8_t>(levelStates_[static_cast<size_t>(level - 1)] - 2) < 2;
}

void PaintCore::SetSymbols(std::u32string symbols)
{
    symbols_ = std::move(symbols);
}

size_t PaintCore::PanelCount() const
{
    return std::min<size_t>(symbols_.size(), 256);
}

bool PaintCore::InPicture(int32_t x, int32_t y) const
{
    return x >= 1 && x <= state_.width && y >= 1 && y <= state_.height;
}

bool PaintCore::CurrentCell(int32_t x, int32_t y, uint8_t& value)
{
    if (!InPicture(x, y))
        return false;
    const std::span<uint8_t> row = surface_.Row(state_.currentLevel, y);
    if (row.size() < static_cast<size_t>(x))
        return false;
    value = row[static_cast<size_t>(x - 1)];
    return true;
}

void PaintCore::RedrawChanged(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (!surface_.SubclassRedraws(1))
        surface_.RedrawCells(x1, y1, x2, y2);
}

std::string PaintCore::DragSize(int32_t x, int32_t y) const
{
    const int64_t w = std::abs(int64_t{x} - state_.anchorX) + 1;
    const int64_t h = std::abs(int64_t{y} - state_.anchorY) + 1;
    return std::to_string(w) + ":" + std::to_string(h);
}

// ---------------------------------------------------------------- machine

void PaintCore::CellEvent(const CellInput& in)
{
    if (guard_)
        return;
    GuardScope guard(guard_);
    state_.settings = PaintUnitSettings();
    const uint8_t tool = state_.tool;
    PaintTool* handler = tools_.Tool(tool);
    // While the zoom bar places its frame it owns the feedback layer, which
    // it wiped of any tool preview before drawing that frame.
    if (in.zoomPending) {
        if (in.B == 0 && phase_ == 1 && handler)
            phase_ = handler->AbandonedPhase(phase_);
        return;
    }
    if (TemporaryPick(in) || !handler)
        return;
    handler->Event(*this, in);
}

// The middle button (or Ctrl with left) picks the colour under the cursor
// as the foreground colour and leaves tool, phase and previous tool as they
// were. The mark tool and the polygon use that button themselves; the
// pipette picks by any button.
bool PaintCore::TemporaryPick(const CellInput& in)
{
    const uint8_t tool = state_.tool;
    if (in.B != 3 || tool == 0 || tool == 4 || tool == 16 || tool == 19)
        return false;
    uint8_t colour = 0;
    if (CurrentCell(in.x, in.y, colour))
        P_SetzeFarbenInFarbauswahl(MouseButton::Left, colour + 1);
    return true;
}

bool PaintCore::TakesKey(char32_t key) const
{
    if (state_.tool == 31)
        return key == 8 || key >= 32;
    if (key >= U'0' && key <= U'9')
        return false;
    const size_t p = symbols_.find(key);
    return p != std::u32string::npos && p < 256;
}

bool PaintCore::HandleKey(char32_t key)
{
    if (!TakesKey(key))
        return false;
    // Typing draws the text anew where it was placed.
    if (state_.tool == 31) {
        if (key == 8) {
            if (!typedText.empty())
                typedText.pop_back();
        } else {
            typedText += key;
        }
        TextMotif(*this, typedText, true);
        return true;
    }
    P_SetzeFarbenInFarbauswahl(MouseButton::Left, static_cast<int>(symbols_.find(key)) + 1);
    return true;
}

void PaintCore::P_EinSchalten_SpeedButton(bool on)
{
    const std::string_view button = ToolTable::ButtonOf(state_.tool);
    if (!button.empty())
        view_.SetToolButtonDown(std::string(button), on);
    if (on)
        ShowToolHint();
}

void PaintCore::ShowToolHint()
{
    const ToolInfo* info = tools_.Info(state_.tool);
    if (state_.tool == 24)
        view_.SetToolHint(InsertDeleteHint(PaintUnitSettings().insertDeleteCode), {});
    else if (info)
        view_.SetToolHint(std::string(info->hint), std::string(info->hint2));
    else
        view_.SetToolHint({}, {});
}

void PaintCore::SelectTool(uint8_t tool)
{
    P_EinSchalten_SpeedButton(false);
    previousTool_ = state_.tool;
    state_.tool = tool;
    phase_ = 0;
    const ToolInfo* info = tools_.Info(tool);
    if (info && info->glyph >= 0)
        view_.SetButtonGlyph(std::string(info->button), info->glyph);
    P_EinSchalten_SpeedButton(true);
    view_.TakeFocus();
}

void PaintCore::StartWithTool(uint8_t tool)
{
    state_.tool = tool;
    phase_ = 0;
}

void PaintCore::ReturnToPreviousTool()
{
    P_EinSchalten_SpeedButton(false);
    state_.tool = previousTool_;
    phase_ = 0;
    P_EinSchalten_SpeedButton(true);
}

void PaintCore::Hide()
{
    P_EinSchalten_SpeedButton(false);
    state_.tool = 0;
    phase_ = 0;
    BindUndo(false);
}

void PaintCore::SpeedButtonMouseUp(std::string_view button, MouseButton mouse)
{
    if (button == "BereichMarkieren_SpeedButton" && mouse == MouseButton::Right) {
        ClearMarking();
        view_.TakeFocus();
        return;
    }
    // The text button: left starts a new text in a font chosen now; right,
    // while texting, draws the running text in another font.
    if (button == "Letter_SpeedButton") {
        if (mouse == MouseButton::Right) {
            if (state_.tool == 31 && view_.ChooseFont())
                TextMotif(*this, typedText, true);
            view_.TakeFocus();
            return;
        }
        typedText.clear();
        textStepShown = false;
        view_.ChooseFont();
    }
    const ToolInfo* info = tools_.ByButton(button, mouse);
    if (!info) {
        view_.TakeFocus();
        return;
    }
    // The pipette and the two flag tools give the previous tool back when
    // chosen again.
    const uint8_t t = info->tool;
    // The placing tools lift the marked region at once, unless a placing
    // tool already holds it.
    if ((t == 25 || t == 26 || t == 27 || t == 28) && !(state_.tool >= 25 && state_.tool <= 28) && !motif_.Empty())
        CopyRegionToMotif(*this);
    if ((t == 19 || t == 20 || t == 21) && state_.tool == t) {
        ReturnToPreviousTool();
        view_.TakeFocus();
        return;
    }
    SelectTool(t);
}

// ---------------------------------------------------------------- motif

void PaintCore::ClearMarking()
{
    view_.ClearFeedback();
    motif_.Clear();
    view_.SetMarkedRange(0, 0, 0, 0);
    if (IsMotifTool(state_.tool)) {
        if (IsMotifTool(previousTool_))
            previousTool_ = 1;
        ReturnToPreviousTool();
    }
    if (!state_.motifIsForeground)
        view_.P_KopierenButtonEnable(false);
    hooks_.P_SymbolCopyZuruecksetzen(false);
}

void PaintCore::TakePalette(const std::array<uint32_t, 256>& motifColours)
{
    PaletteTakeOver how;
    how.count = static_cast<int32_t>(PanelCount());
    how.transparent = state_.transparentColour;
    TakeOverPalette(motifColours, colours, how);
    view_.PaletteChanged(colours);
}

void PaintCore::BeginTransformDrag(uint8_t tool)
{
    P_EinSchalten_SpeedButton(false);
    previousTool_ = state_.tool;
    savedPhase_ = phase_;
    state_.tool = tool;
    phase_ = 0;
    ShowToolHint();
}

// ---------------------------------------------------------------- colours

void PaintCore::P_SetzeFarbenInFarbauswahl(MouseButton mouse, int n)
{
    if (n < 1 || n > 256)
        return;
    const auto colour = static_cast<uint8_t>(n - 1);
    if (mouse == MouseButton::Right) {
        state_.backgroundColour = colour;
        view_.BackgroundChanged(colour);
    } else {
        foreground_ = colour;
        view_.ForegroundChanged(colour);
    }
}

void PaintCore::IkonCol_MouseDown(int panel, MouseButton mouse)
{
    if (panel < 1 || static_cast<size_t>(panel) > PanelCount())
        return;
    const auto colour = static_cast<uint8_t>(panel - 1);
    if (state_.tool == 20 || state_.tool == 21) {
        const ColourFlagKind kind = state_.tool == 20 ? ColourFlagKind::Protected : ColourFlagKind::Transparent;
        SetFlag(kind, colour, Flags(kind)[colour] == 0);
        return;
    }
    P_SetzeFarbenInFarbauswahl(mouse, panel);
    view_.TakeFocus();
}

ColourFlags& PaintCore::Flags(ColourFlagKind kind)
{
    return kind == ColourFlagKind::Protected ? state_.P : state_.T;
}

ColourFlags& PaintCore::SavedFlags(ColourFlagKind kind)
{
    return kind == ColourFlagKind::Protected ? savedP_ : savedT_;
}

void PaintCore::SetFlag(ColourFlagKind kind, uint8_t colour, bool on)
{
    Flags(kind)[colour] = on ? 1 : 0;
    if (colour < PanelCount())
        view_.FlagMarkChanged(kind, colour, on);
}

void PaintCore::ShowMarks(ColourFlagKind kind)
{
    const ColourFlags& flags = Flags(kind);
    for (size_t i = 0; i < PanelCount(); ++i)
        view_.FlagMarkChanged(kind, static_cast<uint8_t>(i), flags[i] != 0);
}

void PaintCore::ColSchutzTranspPopUp_Click(ColourFlagKind kind, FlagPopupItem item)
{
    ColourFlags& flags = Flags(kind);
    ColourFlags& saved = SavedFlags(kind);
    switch (item) {
    case FlagPopupItem::Ausschalten:
        // Switching off twice must not lose what the first time kept.
        if (AnyFlag(flags))
            saved = flags;
        flags.fill(0);
        break;
    case FlagPopupItem::Einschalten:
        flags = saved;
        break;
    case FlagPopupItem::Loeschen:
        flags.fill(0);
        saved = flags;
        break;
    case FlagPopupItem::Umkehren:
        saved = flags;
        for (uint8_t& f : flags)
            f = f ? 0 : 1;
        break;
    }
    ShowMarks(kind);
}

// ---------------------------------------------------------------- rule

void PaintCore::FilterPaintColour(uint8_t colour, uint8_t& cell) const
{
    ::FilterPaintColour(state_.T, state_.P, colour, cell);
}

void PaintCore::FilterPaintRun(uint8_t colour, std::span<uint8_t> cells) const
{
    ::FilterPaintRun(state_.T, state_.P, colour, cells);
}

void PaintCore::FilterPaintRow(std::span<const uint8_t> colours, std::span<uint8_t> cells) const
{
    ::FilterPaintRow(state_.T, state_.P, colours, cells);
}

std::vector<std::span<uint8_t>> PaintCore::GetRowBytes(int32_t i, uint8_t mode)
{
    std::vector<std::span<uint8_t>> rows;
    const int32_t y = motif_.y1 + i;
    const int32_t x = std::max(motif_.x1, 1);
    auto add = [&](int level) {
        const std::span<uint8_t> row = surface_.Row(level, y);
        rows.push_back(row.size() >= static_cast<size_t>(x) ? row.subspan(static_cast<size_t>(x - 1))
                                                            : std::span<uint8_t>{});
    };
    add(state_.currentLevel);
    if (mode == 1)
        return rows;
    for (size_t l = 1; l <= levelStates_.size(); ++l)
        if (l != state_.currentLevel && Included(static_cast<int>(l)))
            add(static_cast<int>(l));
    return rows;
}

// ---------------------------------------------------------------- undo

void PaintCore::BindUndo(bool bound)
{
    if (bound == undoBound_)
        return;
    undoBound_ = bound;
    view_.BindUndo(bound);
}

// One message a step: a fill that runs out of room would otherwise ask
// once for every cell it paints.
void PaintCore::UndoRefused()
{
    if (refusalShown_)
        return;
    refusalShown_ = true;
    view_.Warning("UndoPufferGröße: " + std::to_string(undo_.RefusedCount()));
}

void PaintCore::UndoPosInc()
{
    undo_.PosInc();
    refusalShown_ = false;
    hooks_.P_SymbolUndoPosInc();
}

void PaintCore::InUndoSchreiben(uint8_t level, int32_t y, int32_t x0, std::span<const uint8_t> bytes)
{
    BindUndo(true);
    if (y < 0 || y > UINT16_MAX || x0 < 0 || x0 > UINT16_MAX ||
        !undo_.Append(level, static_cast<uint16_t>(y), static_cast<uint16_t>(x0), bytes))
        UndoRefused();
    hooks_.P_SymbolInUndoSchreiben(level, y, static_cast<int32_t>(bytes.size()), x0);
}

void PaintCore::StateInUndoSchreiben()
{
    BindUndo(true);
    if (!undo_.AppendMotif(motif_))
        UndoRefused();
}

void PaintCore::UndoZuruecksetzen()
{
    textStepShown = false;
    undo_.Reset();
    refusalShown_ = false;
    BindUndo(false);
    hooks_.P_SymbolUndoZurueckSetzen();
}

void PaintCore::UndoZurueckLesen(bool redraw)
{
    int32_t x1 = 60000, y1 = 60000, x2 = 0, y2 = 0;
    // The anchor ends on the step's first record, whichever order the
    // records come back in.
    uint32_t anchorOffset = UINT32_MAX;
    const bool popped = undo_.PopStep([&](const UndoRecord& r, std::span<const uint8_t> bytes) {
        if (r.kind == UndoKind::Motif) {
            if (bytes.size() == sizeof motif_)
                std::memcpy(&motif_, bytes.data(), sizeof motif_);
            return;
        }
        // Planes may have shrunk since the record was written.
        const std::span<uint8_t> row = InPicture(1, r.y) ? surface_.Row(r.level, r.y) : std::span<uint8_t>{};
        const size_t end = size_t{r.x0} + r.length;
        if (end > row.size() || end > static_cast<size_t>(state_.width))
            return;
        std::memcpy(row.data() + r.x0, bytes.data(), r.length);
        surface_.RowChanged(r.level, r.y);
        if (r.offset <= anchorOffset) {
            anchorOffset = r.offset;
            state_.anchorX = r.x0 + 1;
            state_.anchorY = r.y;
        }
        x1 = std::min<int32_t>(x1, r.x0 + 1);
        y1 = std::min<int32_t>(y1, r.y);
        x2 = std::max<int32_t>(x2, static_cast<int32_t>(end));
        y2 = std::max<int32_t>(y2, r.y);
    });
    if (!popped)
        return;
    hooks_.P_SymbolUndoZurueckLesen(redraw, x1, y1, x2, y2);
    if (!redraw)
        return;
    view_.SetMarkedRange(motif_.x1, motif_.y1, motif_.x2, motif_.y2);
    if (x2 >= x1)
        surface_.RedrawCells(x1, y1, x2, y2);
}

void PaintCore::EbenenInUndoSchreiben(int32_t y, int32_t x, int32_t h, int32_t w)
{
    BindUndo(true);
    const size_t length = static_cast<size_t>(std::max(w, 1));
    for (int32_t r = y; r < y + h; ++r) {
        for (size_t l = 1; l <= levelStates_.size(); ++l) {
            if (!Included(static_cast<int>(l)))
                continue;
            const std::span<uint8_t> row = InPicture(1, r) ? surface_.Row(static_cast<int>(l), r)
                                                           : std::span<uint8_t>{};
            if (x < 1 || x - 1 + length > row.size() || r > UINT16_MAX || x - 1 > UINT16_MAX)
                continue;
            if (!undo_.Append(static_cast<uint8_t>(l), static_cast<uint16_t>(r), static_cast<uint16_t>(x - 1),
                              row.subspan(static_cast<size_t>(x - 1), length)))
                UndoRefused();
        }
    }
    hooks_.P_SymbolEbenenInUndoSchreiben(y, x, h, w);
}

void PaintCore::Rueckgaengig1Click()
{
    UndoZurueckLesen(true);
    // The ruler's frame may stand over cells the undo changed.
    if (state_.tool == 30)
        surface_.RedrawCells(1, 1, state_.width, state_.height);
    if (undo_.StepIndex() < 1)
        BindUndo(false);
}

// ---------------------------------------------------------------- surface

std::span<uint8_t> PaintCore::Row(int level, int32_t y)
{
    return surface_.Row(level, y);
}

void PaintCore::RowChanged(int level, int32_t y)
{
    surface_.RowChanged(level, y);
}

// The routines hand neighbouring cells over together; the history keeps a
// record per cell, as each cell was painted on its own.
void PaintCore::SaveUndo(int level, int32_t y, int32_t x0, std::span<const uint8_t> bytes)
{
    for (size_t i = 0; i < bytes.size(); ++i)
        InUndoSchreiben(static_cast<uint8_t>(level), y, x0 + static_cast<int32_t>(i), bytes.subspan(i, 1));
}

void PaintCore::CellWritten(int level, bool motifIsForeground, int32_t x, int32_t y)
{
    surface_.CellWritten(level, motifIsForeground, x, y);
}

void PaintCore::CellsWritten(int level, bool motifIsForeground, int32_t x1, int32_t x2, int32_t y)
{
    surface_.CellsWritten(level, motifIsForeground, x1, x2, y);
}

bool PaintCore::SubclassRedraws(int flag)
{
    return surface_.SubclassRedraws(flag);
}

void PaintCore::RedrawCells(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    surface_.RedrawCells(x1, y1, x2, y2);
}

void PaintCore::PreviewCell(int32_t x, int32_t y)
{
    surface_.PreviewCell(x, y);
}

void PaintCore::StatusText(int panel, const std::string& text)
{
    surface_.StatusText(panel, text);
}
