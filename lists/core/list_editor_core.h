#pragma once
// What the list editors of the machine lists share: the construction steps,
// reading a line without growing the list, the line exchange with the
// editor's own clipboard, the sub-list lines of the index lists, the
// selector values other lists point to, and the comment column.
#include <cstdint>
#include <string>
#include <vector>

#include "kernel/model/listmodel.h"
#include "lists/core/list_window_core.h"

class ListEditorCore : public ListWindowCore {
public:
    // The editor's global list, looked up at each use: a program model made
    // anew replaces the list objects.
    using ListOf = T_ListenVar& (*)();
    // code: the editor's letter ("V"); clipboard: the editor class's own,
    // kept across its windows.
    ListEditorCore(ListWindowHost& host, ListOf list, char code, std::vector<uint8_t>& clipboard);

    char Code() const { return code_; }
    // Called whenever an editor's clipboard is set (the list harness logs it).
    static std::function<void(char code, const std::vector<uint8_t>& block)> OnClipboardSet;

    // The selector level that indexes a W line (set-up byte 0, 1..8).
    static int SelectorLevel();
    // The W value of a line at the current level; a line past the W list is 0.
    static int16_t SelectorValue(int wLine);
    // A W value as it shows: signed, 0 empty.
    static std::string SelectorText(int16_t value);
    // Stores a W value into a line (1..MaxLines; the W list grows to it).
    static void StoreSelectorValue(int wLine, int value);

protected:
    // Construction, in this order: Begin, columns and fields, End.
    void Begin(const std::string& formKey, const std::string& title);
    int Column(const std::string& caption, const std::string& widthMask, bool field = true);
    void DefineField(int field, int kind, const std::string& characters, int maximum, int digits,
                     const std::string& mask = {});
    void End(int listNumberField, int commentField, int commentOffset);

    // Shows a line's fields (the line count and the code cell are set).
    virtual void ShowFields(int row, int line) = 0;
    // Stores a value into a line's bytes (not the list number, a marker or
    // the comment); false when the field stores nothing. A refused value
    // returns true: the row is shown again with its old values.
    virtual bool StoreField(uint8_t* p, int field, int32_t value, const std::optional<std::string>& text) = 0;
    // What showing a line computes without writing it, written before any
    // cell of the line is stored.
    virtual void NormaliseLine(uint8_t* p) const { (void)p; }

    // The list's line for reading: never grows the list.
    const uint8_t* Peek(int line) const { return List().PeekLine(static_cast<uint16_t>(line)); }
    // A copy of the line, for what showing normalises without writing.
    std::vector<uint8_t> Copy(int line) const;
    // The line for a store: an existing line or the append row (the list
    // grows by that one line); nullptr for any other line.
    uint8_t* LineForStore(int line);
    void SetText(int row, int field, const std::string& text) { FieldCell(row, field).text = text; }
    void SetEntry(int row, int field, uint32_t entry) { Grid().SetLongTag(row, Field(field).column, entry); }
    void SetCode(int row, const std::string& code) { Grid().At(row, 1).text = code; }
    // The letter cell left of a kind-3 field.
    void SetLetter(int row, int field, const std::string& letter) { Grid().At(row, Field(field).column - 1).text = letter; }
    // A row whose fields are locked except keep, or unlocked all.
    void LockAllBut(int row, const std::vector<int>& keep);
    void UnlockAll(int row);

    // Comment fields: ShortString[80] in Windows-1252.
    static std::string CommentText(const uint8_t* p, int offset);
    static void StoreComment(uint8_t* p, int offset, const std::string& utf8);

    // Index lists (A, P, F): the line that a typed list number n leads to;
    // n one above the highest number appends that sub-list, any other n
    // that no line holds leads to the append row.
    int TranslateListNumber(int n);
    // Marker-cell keys: a continuation line inserted below line, or line
    // deleted when it is one.
    bool InsertContinuation(int line);
    bool DeleteContinuation(int line);
    // Insert or Delete on row's marker cell: the continuation line of the
    // row's line inserted or deleted; false for any other key.
    bool ContinuationKey(int row, int key);

    // Moves a linked editor by form name; nothing when it is not open.
    static void Jump(const std::string& form, int line, int field);

    T_ListenVar& List() const { return listOf_(); }

private:
    void ShowLine(int row, int line, int record) final;
    // Hands back the text the stored cell shows once the row is shown again.
    std::optional<std::string> StoreCell(int field, int row, int32_t value, const std::optional<std::string>& text,
                                         int record, int line) final;
    virtual bool IsIndexList() const { return false; }
    T_Kelt8IndexListe& IndexList() { return static_cast<T_Kelt8IndexListe&>(List()); }
    void Exchange(LineOp op, int line, std::vector<uint8_t>& data);
    void ClearIndexLine(int line);
    void StoreIndexLine(int line, const std::vector<uint8_t>& image);

    ListOf listOf_;
    int listNumberField_ = 0;
    int commentField_ = 0;
    int commentOffset_ = 0;
    char code_;
    std::vector<uint8_t>& clipboard_;
};
