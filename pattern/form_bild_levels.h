#pragma once
// The layered painting form: a picture of N levels, each a plane of palette
// indices that the window on top owns and lends out row by row through
// P_AddrBild. This part shows the levels (the current one, the combined view
// of the included ones, the reference level) and keeps the values the
// drawing tools read: transparent and protected colours, the grid option,
// the behaviour bytes, tool and phase. It finds or creates the tool palette.
#include <QFont>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <functional>
#include <optional>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "pattern/form_paint_view.h"
#include "pattern/paint/motif_edit.h"
#include "pattern/paint/paint_core.h"
#include "pattern/shapes/paint_state.h"
#include "pattern/shapes/paint_surface.h"
#include "picture/form_bild_kk_zoom.h"

class TFarbauswahl;
class TZeichenfunktionen;

class TFormBildLevels : public T_FormBildKKZoom, public PaintSurface {
    Q_OBJECT
public:
    // One entry of the level table: the level's current row and whether an
    // edit wrote into it since the subclass last looked.
    struct LevelRow {
        // Empty: the level holds no such row (it reads as zeros and is
        // never written).
        std::span<uint8_t> bytes;
        uint8_t changed = 0;
    };

    explicit TFormBildLevels(QWidget* parent = nullptr, const std::string& iniKey = {});

    // Makes row `row` of `level` current in the level table. The form keeps
    // no cells itself; the subclass points the entry at its own storage.
    virtual void P_AddrBild(int32_t row, int32_t level, uint8_t flag);

    // The table gets one entry per level the names and states both give,
    // plus the unused entry 0, before the tabs are built.
    void BuildLevelTabs(const std::vector<QString>& names, const std::vector<int16_t>& widths,
                        const std::vector<uint8_t>& states, const std::bitset<256>& exclusive) override;
    void ChooseRenderMode(uint8_t& mode, uint8_t& symbolFlag, uint8_t& gridFlag, uint8_t& accentColour,
                          uint8_t cellWidth, uint8_t cellHeight) override;
    void GetDisplayCell(uint16_t x, uint16_t y, uint32_t& shown, uint8_t& reference, uint8_t& combined) override;
    std::span<const uint8_t> GetCellPointer(int32_t x, int32_t y) override;
    // The write rule: a transparent new colour or a protected old one keeps
    // the cell as it is.
    void FilterPaintColour(uint8_t colour, uint8_t& cell) override;

    std::vector<LevelRow>& LevelTable() { return levelTable_; }
    // The row `row` of `level` as the level table gives it after
    // P_AddrBild; empty where the level holds no such row.
    std::span<uint8_t> LevelRowBytes(int32_t level, int32_t row);
    // The same for reading: a row the level does not hold reads as zeros.
    std::span<const uint8_t> ReadLevelRow(int32_t level, int32_t row);

    // The tool palette this form's tools live in.
    TZeichenfunktionen* Zeichenfunktionen = nullptr;

    // What the shape routines read and leave behind; the names below are
    // the form's own view of the same values.
    PaintState paint;
    // Takes picture size, current and reference level and the current
    // pane's visible area into paint, before a routine runs.
    void UpdatePaintState();

    // Grid lines when cells are at least 3 x 3 pixels.
    uint8_t gridFlag = 1;
    // Indexed by the new colour: never written.
    std::array<uint8_t, 256>& transparentFlags = paint.T;
    // Indexed by the old colour: never overwritten.
    std::array<uint8_t, 256>& protectedFlags = paint.P;
    uint8_t& transparentColour = paint.transparentColour;
    uint8_t& currentColour = paint.currentColour;
    // 0: line steps widen with the line width.
    uint8_t& stepByte = paint.stepByte;
    // A cut leaves the background colour (1) or the transparent colour (0).
    uint8_t cutFillsWithBackground = 0;
    uint8_t previousTool = 0;
    uint8_t& currentTool = paint.tool;
    uint8_t phase = 0;
    uint8_t savedPhase = 0;
    // Set after each completed drawing operation.
    uint8_t changed = 0;
    // The fill routine's spill file; empty until the subclass names it.
    std::string& fillFile = paint.fillFile;

    // --- the surface the shape routines paint on ---
    // Empty where the level holds no such row, or a shorter one than the
    // picture is wide.
    std::span<uint8_t> Row(int level, int32_t y) override;
    void RowChanged(int level, int32_t y) override;
    // Undo comes with the tool machine.
    void SaveUndo(int, int32_t, int32_t, std::span<const uint8_t>) override {}
    void RedrawCells(int32_t x1 = -1, int32_t y1 = -1, int32_t x2 = -1, int32_t y2 = -1) override;
    // A frame on the cell in every pane.
    void PreviewCell(int32_t x, int32_t y) override;
    void StatusText(int panel, const std::string& text) override;

    // --- painting: the tool machine, the write rule's run forms and undo
    // (t_form_bild_levels_paint.cpp) ---
    PaintCore& Core() { return *core_; }
    const PaintCore& Core() const { return *core_; }
    void CellEvent() override;
    uint8_t HandleKey(char32_t key) override;
    bool ClaimsKey(const QKeyEvent* event) const override;
    void FilterPaintRow(std::span<const uint8_t> colours, std::span<uint8_t> cells) override;
    std::vector<std::span<uint8_t>> GetRowBytes(int32_t i, uint8_t mode) override;
    // A new size drops the history of the old picture.
    void SetPictureWidth(uint16_t width) override;
    void SetPictureHeight(uint16_t height) override;
    // The Edit menu's undo.
    void Rueckgaengig1Click();
    void SpeedButtonMouseUp(QObject* button, Qt::MouseButton mouse);
    void ColSchutzTranspPopUp_Click(ColourFlagKind kind, int item);

    // --- the motif and the Edit menu (t_form_bild_levels_motif.cpp) ---
    void RunEdit(EditCommand command);
    // The file dialogs, then the exchange.
    virtual void Einfuegenaus1Click();
    virtual void Kopierennach1Click();
    // Rebinds the form's Edit menu entries: paste, copy and cut with on,
    // the motif commands while there is a motif.
    void P_KopierenButtonEnable(bool on);
    void BindMotifCommands(bool on);
    // The file name last used with a motif file dialog.
    QString lastMotifFile;
    // The text tool's font; the form's own until one is chosen.
    std::optional<QFont> textFont;
    // Replaces the font dialog (tests).
    std::function<std::optional<QFont>(const QFont&)> fontChooser;

    // --- the colour window (t_form_bild_levels_colours.cpp) ---
    TFarbauswahl* ColourWindow() const;
    // Creates "Farben" beside the palette when there is none, and shows it
    // with this form's colours and marks.
    void ShowColourWindow();
    // The colour panels in the colours of the palette as it now stands.
    void FarbpaletteamBildschirmaktualisieren();
    void ColourMarkChanged(ColourFlagKind kind, uint8_t colour, bool on);
    void ColourChosen(bool background, uint8_t colour);
    // Below or beside the palette, clear of this window, on the screen.
    void PlaceColourWindow();
    // Places "Farben" when this form has not placed it yet, or when it now
    // lies under this window; otherwise it stays where it stands (where it
    // was placed or where the user moved it), also across hiding and showing.
    void KeepColourWindowClear();

protected:
    // Row bytes of a level entry, or the shared zero row.
    std::span<const uint8_t> EntryBytes(int32_t level);
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void MoveOrSizeEnded() override;

private:
    // Points the palette's buttons and pop-ups at this form.
    void WirePalette();
    // Size, levels, visible area and symbols into the painting core.
    void SyncPaintCore();
    void BindEditEntry(int entry, bool on);
    void BindEditOnShow();

    std::unique_ptr<FormPaintView> paintView_ =
        std::make_unique<FormPaintView>(*this, [this] { Rueckgaengig1Click(); });
    PaintHooks paintHooks_;
    // Paints through this form's level table, with the form's routine state.
    std::unique_ptr<PaintCore> core_ =
        std::make_unique<PaintCore>(*this, *paintView_, paintHooks_, UndoBuffer::kDefaultLimit, &paint);
    bool paletteWired_ = false;
    // Shown, and the colour window not yet with it.
    bool colourWindowDue_ = false;
    void MotifPanelPressed(int n, Qt::MouseButton button);
    QPointer<TFarbauswahl> colourWindow_;
    // The colour window has been placed for this form.
    bool colourPlaced_ = false;
    // Where the last placement put the colour window's frame; the place is
    // made again once the window manager has framed the windows, unless the
    // colour window has been moved since.
    QPoint colourPlacedAt_;
    int framingChecks_ = 0;
    // The three frames at the last check: the place is made again once they
    // have stood still for one check (the window manager may still move a
    // window it has just framed).
    std::array<QRect, 3> framesSeen_;
    QTimer* framingTimer_ = nullptr;
    // The frames of the palette, this window and the colour window are
    // known: all three are on the screen.
    bool ColourWindowsFramed() const;
    void PlaceColourWindowFramed();
    std::vector<LevelRow> levelTable_;
    std::vector<uint8_t> zeroRow_;
};
