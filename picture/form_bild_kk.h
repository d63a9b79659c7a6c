#pragma once
// The cell-grid picture window every picture-like window derives from: W x H
// cells, each a palette index, in side-by-side panes that share one vertical
// scroll bar; level tabs, status bar, palette, symbol glyphs and a placement
// kept in the INI section "Windows". It never knows what the cells mean: it
// asks the window on top through the PictureClient operations.
#include <QImage>
#include <QList>
#include <QString>
#include <QWidget>
#include <bitset>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "kernel/ui/forms.h"
#include "picture/core/auto_scroll.h"
#include "picture/core/level_states.h"
#include "picture/core/palette_file.h"
#include "picture/core/pane_layout.h"
#include "picture/core/picture_client.h"
#include "picture/core/picture_geometry.h"
#include "picture/core/picture_input.h"
#include "picture/core/symbol_glyphs.h"

class QKeyEvent;
class QLabel;
class QTimer;
class MalStatusBar;
class T_MyHintWindow;
class T_MyScrollBar;
class TFrameBildKK;

class TFormBildKK : public QWidget, public PictureClient {
    Q_OBJECT
public:
    static constexpr int kVerScrollBarWidth = 17;
    static constexpr int kStatusBarHeight = 18;
    static constexpr int kLevelTabsHeight = 30;

    // iniKey: where the window keeps its place in section "Windows" (empty:
    // nowhere). A window of another role (the simulation view) says so.
    explicit TFormBildKK(QWidget* parent = nullptr, const std::string& iniKey = {},
                         FormRole role = FormRole::Picture);
    ~TFormBildKK() override;

    // --- operations the windows on top override ---
    // A scroll bar moved (a pane's bar or the vertical one).
    virtual void ScrollBarChange(T_MyScrollBar* bar);
    // A mouse press on a pane's paint box.
    virtual void ShowBildMouseDown(TFrameBildKK* pane, QMouseEvent* event);
    // Repaints part of a pane from its kept image.
    virtual void ShowBildPaint(TFrameBildKK* pane, QPainter& painter, const QRect& rect);
    // At the end of a deactivation.
    virtual void DeactivateHook() {}
    // After a move or resize has ended and the window kept off the margins.
    virtual void MoveOrSizeEnded() {}
    // Fits the status panels to the longest texts they show, so that none is
    // cut: here the largest cell coordinates of the picture.
    virtual void FitStatusPanels();
    // Takes the level states when they fit the tabs, styles the tabs, sets
    // current and reference level, redraws.
    virtual void ApplyLevelStates(const std::vector<uint8_t>& states);
    // Once: one tab per name (as many as names and widths both give); a
    // negative width is the caption's width plus its absolute value. Then
    // ApplyLevelStates(states). Without names nothing changes.
    virtual void BuildLevelTabs(const std::vector<QString>& names, const std::vector<int16_t>& widths,
                                const std::vector<uint8_t>& states, const std::bitset<256>& exclusive);
    // Cell width := size, cell height from the zoom factor; redraws.
    virtual void SetCellSize(uint8_t size);

    // --- PictureClient operations with a body here ---
    // Status panel 0: the view origin's column ":" row; with more panes only ":" row.
    void ShowViewOrigin(int32_t column, int32_t row) override;
    // Status panel 1: the current cell while the mouse is tracked, else empty.
    void ShowMouseCell() override;

    // --- picture size, bounds, panes and levels ---
    virtual void SetPictureWidth(uint16_t width);
    virtual void SetPictureHeight(uint16_t height);
    uint16_t PictureWidth() const { return pictureWidth_; }
    int32_t PictureHeight() const { return pictureHeight_; }
    // Maximum width (height) := primary screen size - n, or the smaller of
    // that and a maximum already set.
    void SetMaxWidthMargin(int32_t n);
    void SetMaxHeightMargin(int32_t n);
    int32_t FirstVisibleColumn() const;
    int WidestPane() const { return panes_.Widest(); }
    int PaneCount() const { return static_cast<int>(frames_.size()); }
    TFrameBildKK* Pane(int i) const { return frames_.at(i); }
    const PaneLayout& Panes() const { return panes_; }
    // A right release over pane p's bar at x / over pane p's splitter.
    bool SplitPane(int p, int x);
    bool JoinPane(int p);

    // --- rendering ---
    // Redraws the rectangle of cells in every pane (x1 = -1: everything visible).
    void RedrawCells(int32_t x1 = -1, int32_t y1 = -1, int32_t x2 = -1, int32_t y2 = -1);
    // Draws one band of cells into pane p's kept image and shows it.
    void RenderBand(int p, const CellBand& band);
    // Geometry and scroll bars of every pane after a size, cell-size or
    // picture-size change.
    void UpdateScrollRanges();
    // Takes the view origin from the bars (pane p, 255 = all).
    void ApplyScrollPosition(int p = 255);
    // n rows were added at the top: the panes that cannot show them all
    // move to the highest rows; the caller renders the new rows.
    void ShiftViewForNewRows(int32_t n);
    // Pane p's geometry as it stands.
    PictureGeometry Geometry(int p) const;
    int32_t FirstVisibleRow() const { return firstVisibleRow; }
    // The marked range's outline in every pane; x1 = -1 clears it.
    void SetMarkedRange(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void CrosshairOn();
    void CrosshairOff();
    // In the current pane's paint-box pixels; -1 takes it down, -2 draws it
    // again where it was.
    void DrawCrosshair(int32_t x, int32_t y);
    // The tool feedback layer: frames drawn over the picture without
    // touching the kept images.
    void FeedbackBegin();
    void FeedbackWipe();
    void FeedbackFrame(int p, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // Lines joining the centres of four cells, in every pane.
    void FeedbackQuad(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t x4, int32_t y4);
    void FeedbackShowAndDrop();
    void FeedbackEnd();
    bool FeedbackActive() const { return feedbackActive_; }
    // The picture of width x rows cells of up to `levels` levels (rows from
    // GetRowBytes) onto the clipboard and into the work bitmap file. Empty,
    // or the reason the file was not written.
    std::string CopyPictureToClipboard(int32_t width, int32_t rows, int32_t levels);
    // The work bitmap file, else the clipboard's picture, into the rows that
    // GetRowBytes gives. False when there was nothing to paste.
    bool PastePictureFromClipboard(int32_t width);
    // Levels of the last copy (0: none yet; a motif may set it).
    int32_t rememberedLevels = 0;

    // --- input ---
    // The one place where the current cell changes: a keyboard step of
    // (dx, dy), else the cell under the last mouse position.
    void CellRoutine(int p, int32_t dx, bool keyboardStep, int32_t dy);
    // True (and the redraw is marked interrupted) when the pointer is now
    // over another cell than the last one handed on.
    bool MouseCellChanged();
    void KeyboardCursorOn();
    void KeyboardCursorOff();
    void TemporaryZoomOn();
    void TemporaryZoomOff();
    // Shows the text as a hint beside the pointer after 100 ms; empty hides it.
    void ShowCellHint(const QString& text);
    // The cell lies in the picture.
    bool InPicture(int32_t x, int32_t y) const;
    // A key the window takes before the menus and focus moves.
    virtual bool ClaimsKey(const QKeyEvent* event) const;
    // The navigation keys; true when the key was the window's.
    virtual bool FormShortCut(const QKeyEvent* event);
    // A typed character, after HandleKey declined it.
    void FormKeyPress(char32_t key);
    // The 50-ms timer's work: a cell test after an interrupted redraw, the
    // pointer leaving the pane, edge auto-scrolling.
    void CursorInsideTest();
    // Monotonic milliseconds and the pointer's screen position (tests
    // replace them).
    std::function<int64_t()> clock;
    std::function<QPoint()> pointerPosition;

    const LevelStates& Levels() const { return levels_; }
    void DemoteCurrentLevel() { levels_.DemoteCurrentLevel(); }
    void MakeLevelCurrent(int i) { levels_.MakeLevelCurrent(i); }
    // As the F keys and a double click on a tab: level i current, the others shown.
    void SelectLevel(int i);
    QLabel* LevelTab(int i) const { return tabs_.value(i); }

    // --- palette, symbols, placement ---
    PaletteLoad LoadPaletteFile(const std::string& name);
    void BuildSymbolTextMap(const std::string& symbolText);
    const PaletteTable& Palette() const { return palette_; }
    // Colours changed in the window (entries as a palette file holds them).
    void SetPaletteEntries(const std::array<uint8_t, kPaletteFileBytes>& entries);
    // A colour table (0xffRRGGBB) taken over, from a motif's colours.
    void SetPaletteColours(const std::array<uint32_t, 256>& argb);
    const GlyphTable& Glyphs() const { return glyphs_; }
    const std::string& SymbolText() const { return symbolText_; }
    // The colour table as an indexed QImage takes it.
    QList<QRgb> ColourTable() const;
    const std::string& IniKey() const { return iniKey_; }
    uint16_t SavedMonitor() const { return savedMonitor_; }

    // --- components ---
    QWidget* PanelToolBar = nullptr;
    QWidget* PanelRegisterGrund = nullptr;
    QWidget* PanelHintergrund = nullptr;
    QWidget* PanelVerScrollBar = nullptr;
    QWidget* PanelVerScrollBarBottom = nullptr;
    QWidget* PanelZoomGrund = nullptr;
    QWidget* PanelHintergrundMalStatusBar = nullptr;
    QWidget* PanelContainerButton = nullptr;
    MalStatusBar* StatusBar = nullptr;
    T_MyScrollBar* VerScrollBar = nullptr;
    QTimer* TimerCursorInsideTest = nullptr;
    QTimer* TimerHint = nullptr;
    T_MyHintWindow* HintWindow = nullptr;

    // --- state the renderer and the input rules share ---
    int32_t lastMouseX = 0;
    int32_t lastMouseY = 0;
    int32_t lastCellX = -1;
    int32_t lastCellY = -1;
    uint16_t wheelDivisor = 65534;
    int32_t markX1 = -1, markY1 = -1, markX2 = -1, markY2 = -1;
    int32_t maxWidthMargin = 0;
    int32_t maxHeightMargin = 0;
    uint8_t temporaryZoom = 0;
    uint8_t savedCellWidth = 0;
    uint8_t savedCellHeight = 0;
    uint8_t keyboardCursor = 0;
    QString pendingHint;
    uint8_t redrawInterrupted = 0;
    uint8_t autoScrollStepX = 1;
    uint8_t autoScrollStepY = 1;
    uint8_t cellRoutineGuard = 0;
    uint8_t mouseMoveBlock = 0;
    int32_t autoScrollStart = 2147483647;
    int32_t autoScrollRunningSince = 0;
    uint8_t keyCtrl = 0, keyShift = 0, keyAlt = 0;
    uint8_t autoScrollEnabled = 1;
    uint8_t autoScrollMaxSteps = 10;
    uint8_t bottomAnchored = 1;
    uint16_t topMargin = 0;
    uint16_t gridPeriod = 10;
    uint8_t zoomStepCount = 0;
    uint8_t zoomStepChosen = 0;
    int32_t currentPane = 0;
    uint8_t interruptible = 0;
    uint8_t splittingAllowed = 1;
    uint8_t closeAllowed = 1;
    int32_t firstVisibleRow = 1;
    uint8_t cellWidth = 1;
    uint8_t cellHeight = 1;
    uint16_t visibleRows = 0;
    uint8_t temporaryZoomCellSize = 0;
    int32_t currentCellX = 1;
    int32_t currentCellY = 1;
    uint8_t buttonState = 0;
    uint8_t mouseTracking = 0;
    uint8_t redrawEnabled = 1;
    uint8_t crosshairOn = 0;
    // The motif file of the clipboard copy; empty: none (never written or deleted).
    std::string workBitmapFile;
    // Where the placement lives (the program's INI file by default).
    std::string iniFileName;

signals:
    // The panes were split, joined or resized.
    void panesChanged();
    // A band was drawn into pane p's kept image.
    void bandRendered(int pane, int mode, int columns, int rows);
    // A status panel's text changed.
    void statusChanged(int panel, const QString& text);
    // The cell size changed.
    void cellSizeChanged(int width, int height);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void LayOut();
    // Sets a bar's position within its range; the bar's change handler runs.
    void SetBarPosition(T_MyScrollBar* bar, int32_t position);
    // Any number of rows: a text of more lines than the pattern windows'
    // 16-bit height must still be reachable to its last line.
    void SetPictureRows(int32_t height);

private:
    void CreateComponents();
    TFrameBildKK* CreatePane(int index);
    void LayOutPanes();
    void ReadPlacement();
    void WritePlacement();
    void EndMoveOrSize();
    void StyleTab(QLabel* tab, uint8_t state);
    void TabPressed(int i, Qt::MouseButton button);
    int TabWidth(const QString& name, int16_t width) const;
    void ShowBildMouseMove(TFrameBildKK* pane, QMouseEvent* event);
    void ShowBildMouseUp(TFrameBildKK* pane, QMouseEvent* event);
    bool InCellArea(int p, const QPoint& point) const;
    void RedrawPaneCells(int p, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void ScrollHorizontally(int p, int32_t oldFirst);
    void ScrollVertically(int32_t oldPosition);
    void ShiftImages(TFrameBildKK* pane, int dx, int dy, int top);
    void SetBarRange(T_MyScrollBar* bar, const ScrollRange& range);
    void PaintOverlays(TFrameBildKK* pane, QPainter& painter);
    void UpdateOutline(int p);
    void GrowFeedback(TFrameBildKK* pane, const QRect& rect);
    void UpdateCrosshairLines(int p);
    KeyContext Context() const;
    void ApplyKeyAction(const KeyAction& action);
    void TimerHintTimer();
    void FollowKeyboardCursor();
    void CentreOnCurrentCell();
    QPoint CellCentre(int p, int32_t x, int32_t y) const;
    void SetStatus(int panel, const QString& text);
    uint32_t BackgroundRgb() const;

    std::string iniKey_;
    uint16_t pictureWidth_ = 1000;
    int32_t pictureHeight_ = 1000;
    PaneLayout panes_;
    std::vector<TFrameBildKK*> frames_;
    LevelStates levels_;
    QList<QLabel*> tabs_;
    PaletteTable palette_;
    GlyphTable glyphs_ = BlankGlyphTable();
    std::string symbolText_;
    uint16_t savedMonitor_ = 0;
    AutoScroll autoScroll_;
    int32_t lastButton_ = -1;
    int32_t lastVerPosition_ = -1;
    bool adjustingBars_ = false;
    bool feedbackActive_ = false;
    bool savedCrosshair_ = false;
    std::vector<int32_t> savedHorPositions_;
    int32_t savedVerPosition_ = 1;
    QTimer* moveEnd_ = nullptr;
    bool keepingOffMargins_ = false;
    // Where the frame belongs, until the window manager has framed the
    // window: a move before that may place the client there instead.
    QPoint wantedFramePos_;
    bool framePending_ = false;
    // Where the frame stood when the program hid the window. A window
    // manager that lets go of a hidden window (metacity) puts the client
    // where the frame was, and the window would come back that much off.
    std::optional<QPoint> hiddenAt_;
    QTimer* frameWait_ = nullptr;
    int frameWaitTicks_ = 0;
    void PlaceFrameOnceFramed();
};
