#pragma once
// The painting form's rules without a display: the shape routines' state,
// the colours and their protect and transparent flags, the level states,
// the motif block, the mouse tool machine and the undo history. It is the
// surface the routines paint on: rows, redraws and feedback go to the
// surface it wraps (the window's level table), the old bytes they save go
// into its own history.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "pattern/paint/cell_input.h"
#include "pattern/paint/motif_block.h"
#include "pattern/paint/paint_hooks.h"
#include "pattern/paint/paint_view.h"
#include "pattern/paint/tool_table.h"
#include "pattern/paint/undo_buffer.h"
#include "pattern/paint/write_rule.h"
#include "pattern/shapes/paint_state.h"
#include "pattern/shapes/paint_surface.h"

enum class FlagPopupItem { Ausschalten, Einschalten, Loeschen, Umkehren };

class PaintCore : public PaintSurface {
public:
    static constexpr uint8_t kDefaultBackground = 6;

    // The routines' state is the core's own unless a window that already
    // keeps one lends it (it must outlive the core).
    PaintCore(PaintSurface& surface, PaintView& view, PaintHooks& hooks,
              uint64_t undoLimit = UndoBuffer::kDefaultLimit, PaintState* state = nullptr);

    // --- picture and levels
    // A new size or new planes: the history belonged to the old ones.
    void SetPictureSize(int32_t width, int32_t height);
    void PlanesReplaced();
    // States per level (index 0 = level 1): current and reference follow.
    void SetLevelStates(const std::vector<uint8_t>& states);
    const std::vector<uint8_t>& LevelStatesNow() const { return levelStates_; }
    bool Included(int level) const;
    // The symbol text: character i stands for colour i; its length is the
    // number of colour panels.
    void SetSymbols(std::u32string symbols);
    size_t PanelCount() const;
    const std::u32string& Symbols() const { return symbols_; }

    // --- the tool machine
    void CellEvent(const CellInput& in);
    // A typed key; true when taken (a colour's symbol).
    bool HandleKey(char32_t key);
    // Whether HandleKey would take the key.
    bool TakesKey(char32_t key) const;
    // A tool window button released over itself with a mouse button.
    void SpeedButtonMouseUp(std::string_view button, MouseButton mouse);
    void P_EinSchalten_SpeedButton(bool on);
    // Chooses a tool as its button would (hint, glyph, button down).
    void SelectTool(uint8_t tool);
    // The tool a new window starts with, quietly, in phase 0.
    void StartWithTool(uint8_t tool);
    // The previous tool again, its button down, phase 0.
    void ReturnToPreviousTool();
    // Hiding the form: no tool, its button up, the undo entry unbound.
    void Hide();

    // --- the motif
    // The work bitmap's file; empty: no motif files.
    std::string workBmp;
    // The colour table the motif files carry (0xffRRGGBB).
    std::array<uint32_t, 256> colours{};
    // A cut fills with the background colour (else the transparent one).
    bool cutFillsWithBackground = false;
    // The motif's colours become the colour table but for the special
    // indices.
    void TakePalette(const std::array<uint32_t, 256>& motifColours);
    // The marking gone: the motif tools give way, the commands unbound.
    void ClearMarking();
    // Stretching, distorting or turning by a drag: the tool until the
    // release, then the tool before it again.
    void BeginTransformDrag(uint8_t tool);
    uint8_t SavedPhase() const { return savedPhase_; }
    // The text tool's text, and whether its last step shows it.
    std::u32string typedText;
    bool textStepShown = false;

    // --- colours
    // Colour n - 1 becomes the foreground (left) or background colour.
    void P_SetzeFarbenInFarbauswahl(MouseButton mouse, int n);
    // A colour panel (panel i stands for colour i - 1) pressed.
    void IkonCol_MouseDown(int panel, MouseButton mouse);
    void ColSchutzTranspPopUp_Click(ColourFlagKind kind, FlagPopupItem item);
    void SetFlag(ColourFlagKind kind, uint8_t colour, bool on);
    uint8_t Foreground() const { return foreground_; }
    uint8_t Background() const { return state_.backgroundColour; }

    // --- write rule over the current flags
    void FilterPaintColour(uint8_t colour, uint8_t& cell) const;
    void FilterPaintRun(uint8_t colour, std::span<uint8_t> cells) const;
    void FilterPaintRow(std::span<const uint8_t> colours, std::span<uint8_t> cells) const;
    // Row y1 + i of the motif rectangle from column x1: mode 1 the current
    // level's, else every included level's, the current level first.
    std::vector<std::span<uint8_t>> GetRowBytes(int32_t i, uint8_t mode);

    // --- undo
    void UndoPosInc();
    void InUndoSchreiben(uint8_t level, int32_t y, int32_t x0, std::span<const uint8_t> bytes);
    void StateInUndoSchreiben();
    void UndoZuruecksetzen();
    void UndoZurueckLesen(bool redraw);
    void EbenenInUndoSchreiben(int32_t y, int32_t x, int32_t h, int32_t w);
    // The edit menu's undo.
    void Rueckgaengig1Click();
    bool UndoBound() const { return undoBound_; }
    const UndoBuffer& Undo() const { return undo_; }
    UndoBuffer& Undo() { return undo_; }

    // --- state the tools share
    PaintState& State() { return state_; }
    const PaintState& State() const { return state_; }
    PaintView& View() { return view_; }
    PaintHooks& Hooks() { return hooks_; }
    const ToolTable& Tools() const { return tools_; }
    MotifBlock& Motif() { return motif_; }
    const MotifBlock& Motif() const { return motif_; }
    uint8_t ToolNow() const { return state_.tool; }
    uint8_t Phase() const { return phase_; }
    uint8_t PreviousTool() const { return previousTool_; }
    uint8_t ButtonFlag() const { return buttonFlag_; }
    void SetPhase(uint8_t phase) { phase_ = phase; }
    void SetPreviousTool(uint8_t tool) { previousTool_ = tool; }
    void SetButtonFlag(uint8_t flag) { buttonFlag_ = flag; }
    void MarkChanged() { changed_ = 1; }
    uint8_t Changed() const { return changed_; }
    // A second point of the multi-stage tools (the polygon's start, the
    // arc's chord end).
    int32_t secondX = 0;
    int32_t secondY = 0;

    bool InPicture(int32_t x, int32_t y) const;
    // The cell's byte on the current level; false outside the picture.
    bool CurrentCell(int32_t x, int32_t y, uint8_t& value);
    // Redraws unless the window redrew the picture itself.
    void RedrawChanged(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // Shows "w:h" of the drag from the anchor.
    std::string DragSize(int32_t x, int32_t y) const;
    // The hourglass while it lives.
    class BusyScope {
    public:
        explicit BusyScope(PaintView& view) : view_(view) { view_.SetBusy(true); }
        ~BusyScope() { view_.SetBusy(false); }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        PaintView& view_;
    };

    // --- PaintSurface: all to the wrapped surface but the saved bytes
    std::span<uint8_t> Row(int level, int32_t y) override;
    void RowChanged(int level, int32_t y) override;
    void SaveUndo(int level, int32_t y, int32_t x0, std::span<const uint8_t> bytes) override;
    void CellWritten(int level, bool motifIsForeground, int32_t x, int32_t y) override;
    void CellsWritten(int level, bool motifIsForeground, int32_t x1, int32_t x2, int32_t y) override;
    bool SubclassRedraws(int flag) override;
    void RedrawCells(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
    void PreviewCell(int32_t x, int32_t y) override;
    void StatusText(int panel, const std::string& text) override;

private:
    void BindUndo(bool bound);
    void UndoRefused();
    void ShowToolHint();
    ColourFlags& Flags(ColourFlagKind kind);
    ColourFlags& SavedFlags(ColourFlagKind kind);
    void ShowMarks(ColourFlagKind kind);
    bool TemporaryPick(const CellInput& in);

    PaintSurface& surface_;
    PaintView& view_;
    PaintHooks& hooks_;
    ToolTable tools_;
    PaintState ownState_;
    PaintState& state_;
    UndoBuffer undo_;
    MotifBlock motif_;
    MotifBlock savedMotif_;
    ColourFlags savedT_{};
    ColourFlags savedP_{};
    std::vector<uint8_t> levelStates_{3, 0, 0};
    std::u32string symbols_;
    uint8_t foreground_ = 0;
    uint8_t previousTool_ = 0;
    uint8_t phase_ = 0;
    uint8_t buttonFlag_ = 0;
    uint8_t savedPhase_ = 0;
    uint8_t changed_ = 0;
    bool guard_ = false;
    bool undoBound_ = false;
    bool refusalShown_ = false;
};
