#pragma once
// The simulation view: the fabric the library builds from the checker's
// strokes, one cell per needle and bed row, drawn with the library's cell
// shapes. The run goes fast or stroke by stroke (GTestRunState).
#include <QPoint>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/frame_pace.h"
#include "check/ui/core/gtest_run_state.h"
#include "check/ui/core/sim_row_cache.h"
#include "check/ui/core/sim_row_painter.h"
#include "check/ui/core/sim_row_source.h"
#include "check/ui/core/sim_status_text.h"
#include "picture/form_bild_kk_zoom.h"

class QAction;

class TFormGTest : public T_FormBildKKZoom {
    Q_OBJECT
public:
    static constexpr uint8_t kZoomSteps = 12;
    // Rows of the carrier bar above the fabric while it is shown.
    static constexpr int kCarrierBarRows = 8;

    explicit TFormGTest(QWidget* parent = nullptr);
    ~TFormGTest() override;

    // --- picture window operations ---
    void ScrollBarChange(T_MyScrollBar* bar) override;
    void ShowBildMouseDown(TFrameBildKK* pane, QMouseEvent* event) override;
    void CellEvent() override;
    uint8_t CellSizeFromZoom(uint8_t step) override;
    uint8_t HandleKey(char32_t key) override;
    void ChooseRenderMode(uint8_t& mode, uint8_t& symbolFlag, uint8_t& gridFlag, uint8_t& accentColour,
                          uint8_t cellWidth, uint8_t cellHeight) override;
    void GetDisplayCell(uint16_t x, uint16_t y, uint32_t& shown, uint8_t& reference, uint8_t& combined) override;
    std::span<const uint8_t> GetCellPointer(int32_t x, int32_t y) override;
    void DrawRowsCustom2(const BandRequest& band) override;

    // --- its own ---
    // Docks the shared tool bar into this window and points it here.
    virtual void AttachToolBar();
    virtual SimCell GetSimCell(int32_t x, int32_t y);
    // A 16-bit value (the stitch density) as the status shows it.
    virtual std::string ValueText(uint16_t) { return {}; }

    // The run.
    GTestRunState& Run() { return run_; }
    void ToolButtonStartClick();
    void ToolButtonSchrittweiseClick();
    // After each stroke (ended false) and at the end of the run.
    void P_SimulationAnzeigen(bool ended);
    // The walk has started and not yet ended.
    bool WalkRunning() const;
    // The library stands: symbol data, picture width, mode 1.
    void LibraryStarted(uint16_t needleStart, std::vector<uint8_t> shapes);
    // Everything of the last run goes: the next show starts anew.
    void DropRun();

    // Where the rows come from (the library unless a test sets a fake).
    void SetRowSource(std::unique_ptr<SimRowSource> source);
    SimRowSource& RowSource() { return *source_; }
    SimRowCache& Cache() { return cache_; }
    void SetShapes(std::vector<uint8_t> shapes) { shapes_ = std::move(shapes); }
    // Rows shown, and those of them that are fabric.
    int32_t ShownRows() const { return shownRows_; }
    int32_t FabricRows() const { return cache_.FabricRows(); }
    // Takes the library's height and draws what is new.
    void RefreshRows(uint16_t height);

    // Display switches (each redraws).
    const SimDisplaySwitches& Switches() const { return cache_.Switches(); }
    void SetSwitches(const SimDisplaySwitches& s);
    bool jacquard = false;
    bool jacquardBack = false;
    bool bigCursor = false;

    // Row marks, in fabric rows.
    SimRowMarks marks;
    // The marks the library is handed (0, 0 while none are set).
    std::pair<uint16_t, uint16_t> MarkedRows() const;
    void ClearMarks();
    // A new library start: the start row word takes the side margin, unless
    // the user has marked a row (the marks outlive the window's runs).
    void TakeSideMargin(uint16_t margin);

    // The colours the fabric is drawn with at every cell size: the
    // window's palette, whose carrier colours the user may change.
    const std::array<uint32_t, 256>& SimColours() const { return Palette().Argb(); }
    // Entry `to` takes the colour of entry `from`.
    void CopyColour(uint8_t from, uint8_t to);
    void RestoreCarrierColours();
    // The carrier colour of the last right click (0: none).
    uint8_t selectedColour = 0;

    // Translated words of the status and the stroke label's system word.
    SimStatusWords statusWords;
    std::string systemWord = "System";
    bool remote = false;

    QAction* ToolButton(const QString& name) const;
    // The activation steps (Qt's activation comes late or not at all).
    virtual void FormActivate() {}

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void DeactivateHook() override;
    // Before the pop-up opens on a fabric cell.
    virtual void PreparePopup(uint8_t) {}
    // The checker's message sinks point here.
    void InstallSinks();
    // The palette file has been read: the drawing colours follow it.
    void TakePaletteColours();

    // The list positions the pointer last sent.
    int32_t listZ = 10000;
    int32_t listField = 0;
    int32_t listS = 10000;

private:
    void ToolButtonClick(QAction* button);
    void ReleaseMarkButtons();
    void PointAt(int32_t x, int32_t y);
    void RunCheckRoutine();
    void EndOfRun();

    GTestRunState run_;
    // The fast run's frames.
    FramePace pace_;
    std::unique_ptr<SimRowSource> source_;
    SimRowCache cache_;
    SimRowPainter painter_;
    std::vector<uint8_t> shapes_;
    // The palette as read, for restoring the carrier colours.
    std::array<uint8_t, kPaletteFileBytes> originalEntries_{};
    int32_t shownRows_ = 0;
    bool silentScroll_ = false;
    // A click has stored a start or end row since the last reset: only such
    // a row switches the marks on, never a word the start filled in.
    bool rowStored_ = false;
    std::string pending_;
    QChar startLetter_ = 'S';
    QChar stepLetter_ = 'E';
};
