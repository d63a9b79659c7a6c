#pragma once
// Everything of the text view that needs no pixels: the cursor and its
// modes, the key table, character input, the stream selection and block
// operations, appending, syntax colours and keeping the cursor in view. The
// window on top reaches it with Windows virtual-key numbers and typed bytes
// and answers through TextViewPort and TextClipboard.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "textedit/core/my_string_list.h"
#include "textedit/core/text_clipboard.h"
#include "textedit/core/text_colours.h"
#include "textedit/core/text_view_port.h"

// Start (x1, y1) inclusive, end (x2, y2) exclusive, start first in reading order.
struct TextSelection {
    bool present = false;
    bool active = false;
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// The Windows virtual-key numbers the key table knows.
namespace TextKey {
inline constexpr int Tab = 9;
inline constexpr int Escape = 27;
inline constexpr int Prior = 33;
inline constexpr int Next = 34;
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int Insert = 45;
inline constexpr int Delete = 46;
inline constexpr int Y = 0x59;
} // namespace TextKey

struct KeyModifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

class TextEditCore {
public:
    static constexpr int32_t kMaxColumn = 256;
    static constexpr size_t kMaxPaste = 3840000;
    static constexpr size_t kDrawnChars = 4096;

    TextEditCore(TextViewPort& port, TextClipboard& clipboard);
    TextEditCore(const TextEditCore&) = delete;
    TextEditCore& operator=(const TextEditCore&) = delete;

    T_MyStringList& Lines() { return lines_; }
    const T_MyStringList& Lines() const { return lines_; }

    // --- cursor and modes ---
    int32_t CursorColumn() const { return column_; }
    int32_t CursorLine() const { return line_; }
    // Clamped to the text (line) and to 1..256 (column).
    void SetTextCursor(int32_t column, int32_t line);
    bool InsertMode() const { return insertMode_; }
    bool ReadOnly() const { return readOnly_; }
    // Read-only also means overwrite.
    void SetReadOnly(bool readOnly);
    bool SyntaxDisplay() const { return syntaxDisplay_; }
    void SetSyntaxDisplay(bool on) { syntaxDisplay_ = on; }
    // Characters of a section take the colour of their place in the symbol text.
    void SetSymbolText(const std::string& symbolText) { symbolText_ = symbolText; }
    void SetSymbolColours(const std::array<SymbolColour, 256>& colours) { symbolColours_ = colours; }
    const TextSelection& Selection() const { return selection_; }
    // Status panel 0 ("column:line", the line counted from 1) and panel 1 (UTF-8).
    std::string CursorText() const;
    std::string ModeText() const;
    // "Überschreiben", "Einfügen", "Nur lesen", translated once for each
    // loading of the phrases.
    static const std::array<std::string, 3>& ModeTexts();

    // --- keys ---
    // True when the key table takes the key (it is then not a shortcut).
    bool ClaimsKey(int key, KeyModifiers mods) const;
    // The key table; false for a key it leaves to the menus.
    bool KeyDown(int key, KeyModifiers mods);
    // A typed character (Windows-1252): Backspace 8, Enter 13, the rest printable.
    void HandleKey(uint8_t c);
    // The left button over cell (column, row), rows counting upward; first
    // says it is the press itself.
    void MouseCell(int32_t cellColumn, int32_t cellRow, bool first);

    // --- block operations ---
    std::string GetSelectionText(bool toClipboard);
    void DeleteSelection(bool redraw);
    // A paste of more than 3,840,000 characters is cut there; LF and lone CR
    // count as CR LF.
    void InsertText(bool fromClipboard, std::string text, bool select);
    // New lines at the end, broken at blanks to at most 256 characters.
    void AppendText(const std::string& text);
    // Takes the selection as it is given; the lines of the old and the new
    // one are redrawn.
    void SetSelection(const TextSelection& selection);
    // Whole lines, first to last (clamped to the text).
    void RedrawLines(int32_t firstLine, int32_t lastLine);

    // --- layout and colours ---
    // The store's change notice.
    void TextChanged();
    void ScrollCursorIntoView();
    CharState LineSyntaxState(int32_t line) const;
    void CharColour(unsigned char c, int32_t column, int32_t line, CharState& state);
    // At the start of every band.
    void ResetPreviousChar() { previousChar_ = ' '; }
    // The visible part of a line in runs of equal colours; state carries the
    // syntax state from the line above on to the next line.
    std::vector<TextRun> RowRuns(int32_t line, int32_t firstColumn, int32_t columns, CharState& state);

private:
    // key table parts
    void DeactivateSelection();
    bool Navigate(int key, KeyModifiers mods);
    void PageUp(bool ctrl);
    void PageDown(bool ctrl);
    void AlignTab(bool backward);
    void ExtendSelection(bool shift, int32_t prevColumn, int32_t prevLine);
    void DeleteKey();
    void DeleteCursorLine();
    // character input parts
    void Backspace();
    void Enter();
    void Type(unsigned char c);
    void AfterLineEdit(unsigned char changed, int32_t fromColumn);
    void FinishEdit(int32_t prevColumn, int32_t prevLine, uint64_t editsBefore);

    // edits through here count for the line cap
    void PutLine(int32_t line, const std::string& text);
    void InsertLines(int32_t at, std::vector<std::string> lines, size_t from = 0);
    void DeleteLine(int32_t line);
    void DeleteLines(int32_t line, int32_t count);
    std::string PaddedLine(int32_t line, int32_t length) const;
    // A line over 256 characters keeps 256; the rest goes to new lines below it.
    void SpillLongLine(int32_t line);
    void CapCursorLine();

    // selection corners
    void ShiftSelectionColumns(int32_t column, int32_t line, int32_t delta);
    void JoinSelectionCorners(int32_t line, int32_t column);
    void SplitSelectionCorners(int32_t column, int32_t line, int32_t newColumn);
    void MoveCornersBelow(int32_t line, int32_t delta);
    void DropEmptySelection();
    void RedrawSelectionLines(const TextSelection& s);
    bool SelectionInText() const;

    void Redraw(int32_t firstColumn, int32_t firstLine, int32_t lastLine, int32_t lastColumn);
    void RedrawAll() { Redraw(-1, -1, -1, -1); }
    void RedrawToEnd(int32_t line);
    void ClampCursor();
    int32_t LastLine() const { return lines_.Count() - 1; }

    TextViewPort& port_;
    TextClipboard& clipboard_;
    T_MyStringList lines_;
    int32_t column_ = 1;
    int32_t line_ = 0;
    bool insertMode_ = true;
    bool readOnly_ = false;
    bool syntaxDisplay_ = false;
    TextSelection selection_;
    std::string symbolText_;
    std::array<SymbolColour, 256> symbolColours_{};
    unsigned char previousChar_ = ' ';
    uint64_t edits_ = 0;
};

// Appends the text to out in pieces of 256 characters, each without trailing
// blanks, so that nothing past column 256 is lost. Returns the number of pieces.
size_t WrapLongLine(std::string text, std::vector<std::string>& out);
