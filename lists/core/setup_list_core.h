#pragma once
// What the editors of the set-up record share (needle room, yarn carriers,
// set-up sheet): cells placed where they stand, and a record that is always
// there, so showing reads it and storing writes it in place.
#include <string>

#include "lists/core/list_window_core.h"

class SetupListCore : public ListWindowCore {
public:
    using ListWindowCore::ListWindowCore;

    // The selector level per-level values are shown for (set-up byte 0,
    // outside 1..8 taken as 1).
    static int Level();

protected:
    // Construction: caption, margins and row gap, form key, a fixed number
    // of lines (no append row) and the layout mode.
    void Begin(const std::string& formKey, const std::string& caption, int lines, int mode, int left, int top,
               int rowGap);
    // A cell at (x, top); a negative x leaves a gap after the previous one.
    // Returns the field number, or the column number of a cell without field.
    int AddCell(const std::string& caption, int x, int top, int width, bool field, int font = 4,
             CellAlignment alignment = CellAlignment::Centre, const std::string& hint = {});
    void Define(int field, int kind, const std::string& characters, int maximum, int digits,
                const std::string& mask = {});
    // The width of a text in the cells' font.
    int TextWidth(const std::string& text) const;
    void SetText(int row, int field, const std::string& text) { FieldCell(row, field).text = text; }
    void SetEntry(int row, int field, uint32_t entry) { Grid().SetLongTag(row, Field(field).column, entry); }
};
