#pragma once
// The rules of a list window without its drawing: the cell grid and the
// edit-field table, the cursor and scrolling, typed input, commit, the
// dialogs' effects and placement. A list editor derives from it, declares
// its columns and fields in its constructor and supplies ShowLine and
// StoreCell; the window (TFormListe) mirrors the cells after every call.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "lists/core/cell_grid.h"
#include "lists/core/edit_field.h"
#include "lists/core/list_window_host.h"

// Command code of a scroll bar change, handled like a key.
inline constexpr int kScrollBarChange = 0x8001;
// The line commands of the edit menu, handled like keys.
inline constexpr int kCmdCut = 0x8008;
inline constexpr int kCmdCopy = 0x8009;
inline constexpr int kCmdPaste = 0x800A;
inline constexpr int kCmdDelete = 0x800B;
inline constexpr int kCmdSelectAll = 0x800E;
inline constexpr int kCmdClearSelection = 0x800F;

// What the line commands ask of an editor's lines: its clipboard block
// (get, set), one line's bytes (read), clearing a line and storing one line
// image of a block into a line (which the editor may decline).
enum class LineOp { GetClipboard, SetClipboard, ReadLine, ClearLine, StoreLine };
using LineExchange = std::function<void(LineOp op, int record, int line, std::vector<uint8_t>& data)>;

struct ColumnDef {
    bool bevel = true;
    int font = 0;
    std::string widthMask;
    std::string hint;
    std::string caption;
    bool createField = true;
    bool noField = false;
    CellAlignment alignment = CellAlignment::Centre;
    int top = 0;
    int x = -1;  // negative: a gap of |x| after the previous column
    int height = 20;
    int width = 40;  // negative: the mask's width plus |width|
};

// The list editors' column: as wide as its mask plus 8, 2 pixels after the
// previous one, in font 4, the caption its hint; with or without a field.
ColumnDef MaskColumn(const std::string& caption, const std::string& widthMask, bool field);

struct EditFieldDef {
    int field = 0;
    int kind = 1;
    std::string mask;
    std::string characters;
    bool downFlag = false;
    int down = 0;
    bool upFlag = false;
    int up = 0;
    int right = 0;
    int left = 0;
    int maximum = 0;
    int digits = 0;
};

// A field with its kind, characters, maximum, digits and mask, its
// neighbours computed.
inline EditFieldDef PlainField(int field, int kind, const std::string& characters, int maximum, int digits,
                               const std::string& mask = {})
{
    EditFieldDef def;
    def.field = field;
    def.kind = kind;
    def.characters = characters;
    def.mask = mask;
    def.maximum = maximum;
    def.digits = digits;
    return def;
}

// Lines marked for the line commands; first 0 = none.
struct MarkedRange {
    int first = 0;
    int last = 0;
    int record = 0;
};

class ListWindowCore {
public:
    explicit ListWindowCore(ListWindowHost& host);
    virtual ~ListWindowCore() = default;
    ListWindowCore(const ListWindowCore&) = delete;
    ListWindowCore& operator=(const ListWindowCore&) = delete;

    // Construction protocol, in this order.
    void SetFormKey(const std::string& key);
    void SetRows(int n);
    void SetLineCount(int n);
    void CreateCells(int mode);
    int DefineColumn(const ColumnDef& def);
    void DefineEditField(const EditFieldDef& def);
    void FinishLayout(int enterField, int homeField, bool resizable);
    void SetMargins(int left, int top, int rowGap);

    // Locking cells of a row from ShowLine.
    void LockFields(int row, const std::vector<int>& fields);
    void UnlockFields(int row, const std::vector<int>& fields);

    // Window events.
    void FormResize();
    void FormActivate();
    // What the activation shows anew (limits, page, cell), for a window that
    // is not being activated: the keys and the edit menu stay where they are.
    void Redisplay();
    void FormDeactivate();
    void FormHide();
    void RefreshPlacement();
    void FormDestroy();

    // Keys: true when used.
    bool HandleKey(int key);
    // The key HandleKey gets for a pressed key: Ctrl+Del is the Edit menu's
    // delete (shown as "Strg+Entf") while lines are marked.
    int KeyCode(int key, bool ctrl) const;
    // The cell's key-down handling after no shortcut took the key.
    bool KeyDown(int key, bool shift, bool alt, bool ctrl);
    void KeyUp(bool shift);
    // A typed character (Backspace 8, Return 13, Esc 27).
    void CellEditor(char32_t c);
    // The cell editor's refresh (the old code 254) and clear (255) commands.
    void RefreshEditor();
    void ClearCell();

    void OnEnter(int row, int column);
    void OnExit(int row, int column);
    void MouseDown(int x, int y);
    void MouseUp();
    // Pointer at (screen x, y) over the given cell with a button held.
    void MouseMove(int row, int column, int dx, int dy, bool cellHasFocus);
    void DoubleClick();
    void Wheel(int delta, bool ctrl, bool shift);
    void ScrollBarMoved(int position);
    void Blink(bool stop);
    void GotoLine(int line, int field);
    void InputDialog();
    void ShowPage();
    // A subclass that changes the cursor cell itself calls this, so that the
    // cell is stored when it is left.
    void MarkCellChanged() { cellChanged_ = true; }
    // Where the cursor starts (after FinishLayout, before the window shows).
    void SetCursorField(int field) { Feld_ = field; }

    // State the window and the tests read.
    const CellGrid& Grid() const { return grid_; }
    CellGrid& Grid() { return grid_; }
    const EditField& Field(int f) const { return fields_[static_cast<size_t>(f)]; }
    EditField& Field(int f) { return fields_[static_cast<size_t>(f)]; }
    int Rows() const { return Rows_; }
    int VisibleRows() const { return visibleRows_; }
    int Feld() const { return Feld_; }
    int Zeile() const { return Zeile_; }
    int ZeileOffset() const { return ZeileOffset_; }
    int FelderAnzahl() const { return static_cast<int>(fields_.size()) - 1; }
    int SpaltenAnzahl() const { return grid_.Columns(); }
    int ZeilenAnzahl() const { return ZeilenAnzahl_; }
    bool AppendRow() const { return appendRow_; }
    int ShownRecord() const { return shownRecord_; }
    int LayoutMode() const { return layoutMode_; }
    int ColourIndex() const { return colourIndex_; }
    int TypingState() const { return typingState_; }
    bool Inactive() const { return inactive_; }
    const std::string& FormKey() const { return formKey_; }
    const std::string& Placement() const { return placement_; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption) { caption_ = caption; }
    const MarkedRange& Range() const { return range_; }
    int CursorLine() const { return ZeileOffset_ + Zeile_ - 1; }
    // A cell's text without the blinking caret.
    std::string TextWithoutCaret(int row, int column) const;
    int CursorColumn() const;
    // Scroll bar: 1 .. maximum, page, position.
    int ScrollMax() const { return scrollMax_; }
    int ScrollPage() const { return visibleRows_; }
    int ScrollPosition() const { return scrollPos_; }
    bool Resizable() const { return resizable_; }
    // Height range of the window; maximum 0 = unlimited.
    int MinHeight() const { return minHeight_; }
    int MaxHeight() const { return maxHeight_; }
    // Width of the cells with the scroll bar's place beside them.
    int CellsRight() const { return cellsRight_; }
    int RowGap() const { return rowGap_; }
    // The top and bottom of a row's cells (rows 1 .. Rows).
    int RowTop(int row) const;
    int RowBottom(int row) const;
    // Colour table entry: text and background.
    static uint32_t TextColourOf(int index);
    static uint32_t BackgroundOf(int index);
    static constexpr uint32_t kWindowText = 0x000000;

    // The editor's lines for the line commands, each line lineSize bytes;
    // without it a window has no marking and no line commands.
    void SetLineExchange(std::size_t lineSize, LineExchange exchange);
    // Whether something can be pasted (the editor's clipboard holds lines).
    bool ClipboardFlag() const { return clipboardFlag_; }
    void SetClipboardFlag(bool flag) { clipboardFlag_ = flag; }
    // The pairs' commands for the current range and clipboard.
    EditMenuBinding EditBinding(bool release) const;

    // Line-number translation (typed numbers, GotoLine); unset by default.
    std::function<int(int)> LineNumberTranslation;

protected:
    ListWindowHost& host_;

    // Operations of a list editor.
    virtual void ShowLine(int row, int line, int record) = 0;
    // Stores an edited cell; returns the cell's new text, or nullopt for
    // the standard text. The text is nullopt where the kind passes none.
    virtual std::optional<std::string> StoreCell(int field, int row, int32_t value,
                                                 const std::optional<std::string>& text,
                                                 int record, int line) = 0;
    virtual void EditSpecialField() {}
    virtual void UpdateFieldLimits() {}
    virtual void OpenLinkedList(int line, int field) { (void)line, (void)field; }
    virtual void SetCellColour(int row, int field, uint32_t rgb);
    virtual void CellTextChanged(int line, int field, int row, const std::string& text)
    {
        (void)line, (void)field, (void)row, (void)text;
    }
    virtual bool InsertDeleteKey(int field, int row, char32_t c, int key)
    {
        (void)field, (void)row, (void)c, (void)key;
        return false;
    }
    virtual void AdjustFieldKind(int line, int field, int row) { (void)line, (void)field, (void)row; }
    // Line marking (direction -1, 0, +1), the line commands (true when the
    // code was used) and the edit-menu binding.
    virtual void MarkLine(int row, int direction);
    virtual bool LineCommand(int key);
    virtual void BindEditMenu(bool release, bool hide);
    virtual bool HasLineExchange() const { return static_cast<bool>(lineExchange_); }

    // The cell of a field in a row.
    Cell& FieldCell(int row, int field) { return grid_.At(row, Field(field).column); }
    // A store the list cannot take: a beep, and the text in the status bar
    // until the cell after the next is entered (the move that committed the
    // store enters a cell whose hint would otherwise hide it at once).
    void RefuseStore(const std::string& text);
    // Scrolls so that the cursor row shows the line, and shows the page.
    void ShowLineAtCursor(int line);
    // Formatting after a LongTag change (kinds 4, 5, 6).
    void FormatCell(int row, int column);
    MarkedRange range_;

private:
    std::string refusal_;
    // Layout.
    void ComputeNeighbours();
    void AddGridRow();
    void SetCellHidden(int row, int column, bool hidden);
    void ApplyStoredPlacement(bool onActivation);
    // Moves the window only when it stands beyond the bounds a window opens
    // in; a place within them stays as it is.
    void KeepPlaceWithinBounds();
    // Cursor.
    int FieldOfColumn(int column) const;
    bool LocateCell(int row, int column);
    bool CursorCellValid() const;
    Cell& CursorCell() { return grid_.At(Zeile_, CursorColumn()); }
    bool CursorReadOnly() const;
    void CursorColouring(std::optional<int> fixed = std::nullopt);
    void RowColouring(int row, int column = 0);
    void ColourAllRows();
    void Commit();
    void RowMove(int fieldStep, int rowStep, bool leftwards);
    bool MovementKey(int key);
    void Settle(int lineBefore, int fieldBefore);
    void RecordStep(int step);
    void EnterLine(int target);
    void SetCursorText(const std::string& text);
    void RemoveCaret();
    void ScrollBy(int steps);
    // Typed input per kind.
    void TypeDigit(char32_t c, std::u32string& t, size_t digits) const;
    void EditNumber(char32_t c, int kind, std::u32string& t);
    void EditSignLetter(char32_t c, std::u32string& t);
    void EditLetterNumber(char32_t c, std::u32string& t);
    void EditChoice(char32_t c);
    void EditSymbols(char32_t c, std::u32string& t);
    void Edit(char32_t c);
    std::string StandardText(int kind, int32_t value, const std::string& t) const;
    void StepLetterCell(bool blank, char32_t typed);
    // The line commands.
    void CopyRange(bool cut);
    void PasteBlock();
    void DeleteRange();
    void ShowChangedLines();

    CellGrid grid_;
    std::vector<EditField> fields_{EditField{}};
    int Rows_ = 1;
    int visibleRows_ = 1;
    int Feld_ = 1;
    int Zeile_ = 1;
    int ZeileOffset_ = 1;
    int enterField_ = 0;
    int homeField_ = 0;
    int ZeilenAnzahl_ = 1;
    bool appendRow_ = false;
    int shownRecord_ = 1;
    int layoutMode_ = 0;
    bool dirty_ = false;
    bool resizable_ = true;
    std::string formKey_;
    std::string placement_;
    // The placement was taken from the window on the screen, and the window
    // has stayed shown since: a place it has now was chosen by the person
    // (a window manager's drag takes the activation while it lasts).
    bool placementFromScreen_ = false;
    std::string caption_;
    std::string columnFonts_;
    int rowGap_ = 5;
    int nextX_ = 0;
    int leftMargin_ = 1;
    int firstTop_ = 1;
    int scrollMax_ = 1;
    int scrollPos_ = 1;
    int minHeight_ = 0;
    int maxHeight_ = 0;
    int cellsRight_ = 0;
    int cellsBottom_ = 0;
    int blockTop_ = 0;
    int blockHeight_ = 0;

    int colourIndex_ = 0;
    int typingState_ = 1;
    std::string remembered_;
    bool cellChanged_ = false;
    bool shift_ = false;
    bool inactive_ = false;
    int pressX_ = -1;
    int pressY_ = -1;
    int lastDragRow_ = 65535;
    int wheelStep_ = 65534;
    int markedField_ = 65535;
    bool caretShown_ = false;
    std::string caretlessText_;
    bool inPageRedisplay_ = false;

    LineExchange lineExchange_;
    std::size_t lineSize_ = 0;
    bool clipboardFlag_ = false;
    int lastDirection_ = 0;
};
