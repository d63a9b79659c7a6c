#pragma once
// The text view: a monospaced editor on the cell-grid picture window, one
// cell per character and one cell row per line. Its rules live in
// TextEditCore; the view draws the rows, the caret and the status panels,
// and hands keys, mouse and clipboard to the core.
#include <QFont>
#include <memory>
#include <string>

#include "picture/form_bild_kk.h"
#include "textedit/core/text_edit_core.h"

class QTimer;

class TFormTextEditShow : public TFormBildKK, public TextViewPort, public TextClipboard {
    Q_OBJECT
public:
    explicit TFormTextEditShow(QWidget* parent = nullptr, const std::string& iniKey = {},
                               FormRole role = FormRole::Other);
    ~TFormTextEditShow() override;

    // "Courier" 11 pt through the font map, drawn without antialiasing.
    static const QFont& EditorFont();

    TextEditCore& Core() { return *core_; }
    T_MyStringList& Lines() { return core_->Lines(); }

    // --- the operations the editor windows call ---
    void SetTextCursor(int32_t column, int32_t line) { core_->SetTextCursor(column, line); }
    void SetReadOnly(bool readOnly) { core_->SetReadOnly(readOnly); }
    void SetSyntaxDisplay(bool on);
    void AppendText(const std::string& text) { core_->AppendText(text); }
    std::string GetSelectionText(bool toClipboard) { return core_->GetSelectionText(toClipboard); }
    void DeleteSelection(bool redraw) { core_->DeleteSelection(redraw); }
    void InsertText(bool fromClipboard, const std::string& text, bool select)
    {
        core_->InsertText(fromClipboard, text, select);
    }
    void ScrollCursorIntoView() { core_->ScrollCursorIntoView(); }
    // The symbol text and the palette's colours for the sections.
    void UpdateSymbolColours();
    void ShowCursorPos();
    // One blink: the caret phase flips.
    void BlinkCaret();
    bool CaretPhase() const { return caretPhase_; }
    void SetCaretPhase(bool on);
    // The text's key table instead of the picture's navigation keys: a key
    // it does not take stays a shortcut of the menus.
    bool ClaimsKey(const QKeyEvent* event) const override;
    bool FormShortCut(const QKeyEvent* event) override;

    // --- picture window operations ---
    void ChooseRenderMode(uint8_t& mode, uint8_t& symbolFlag, uint8_t& gridFlag, uint8_t& accentColour,
                          uint8_t cellWidth, uint8_t cellHeight) override;
    void GetDisplayCell(uint16_t x, uint16_t y, uint32_t& shown, uint8_t& reference, uint8_t& combined) override;
    void ShowViewOrigin(int32_t, int32_t) override {}
    void ShowMouseCell() override {}
    void FitStatusPanels() override;
    uint8_t HandleKey(char32_t c) override;
    void DrawRowsCustom(const BandRequest& band) override;
    void CellEvent() override;
    void ShowBildMouseDown(TFrameBildKK* pane, QMouseEvent* event) override;
    void ShowBildPaint(TFrameBildKK* pane, QPainter& painter, const QRect& rect) override;

    // --- TextViewPort ---
    using TFormBildKK::Geometry;
    TextViewGeometry Geometry() const override;
    void SetFirstColumn(int32_t column) override;
    void SetTopLine(int32_t line) override;
    bool Visible() const override { return isVisible(); }
    void RedrawTextRows(int32_t firstColumn, int32_t firstLine, int32_t lastLine, int32_t lastColumn) override;
    void HideCaret() override;
    void ShowCaret() override;
    void CursorMoved() override { ShowCursorPos(); }
    void ModeChanged() override;
    void ModifiedChanged(bool modified) override;
    void TextLaidOut() override;
    void EscapePressed() override;

    // --- TextClipboard: plain text, Windows-1252 with CR LF ---
    std::string GetText() override;
    void SetText(const std::string& bytes) override;

    QTimer* CaretTimer = nullptr;
    // Esc closes the window.
    bool closeOnEsc = false;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QRect CaretRect() const;
    void UpdateCaret();
    QColor Colour(const TextColour& colour) const;
    // The picture is as high as the text or the pane, whichever is more, so
    // that a short text stands at the top; the view keeps topLine. True when
    // the picture or its place changed and the view needs a full redraw.
    bool LayOutText(int32_t topLine);
    // The line at the pane's top, from the view's first row.
    int32_t TopLine() const;
    // The picture's row of a line (rows count upward).
    int32_t RowOfLine(int32_t line) const { return PictureHeight() - line; }
    int32_t VisibleColumns() const;
    int32_t VisibleTextRows() const;

    std::unique_ptr<TextEditCore> core_;
    bool caretPhase_ = true;
    // Between HideCaret and ShowCaret around every edit, and while inactive.
    bool caretShown_ = true;
    // The left button is down since the last cell event.
    bool dragging_ = false;
};
