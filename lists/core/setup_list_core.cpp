#include "lists/core/setup_list_core.h"

#include "kernel/listaccess/selectorlevel.h"
#include "kernel/model/programmodel.h"

int SetupListCore::Level()
{
    return UsableSelectorLevel(RuestSchema.b[T_RuestSchema::kLevel]);
}

void SetupListCore::Begin(const std::string& formKey, const std::string& caption, int lines, int mode, int left,
                          int top, int rowGap)
{
    SetCaption(caption);
    SetMargins(left, top, rowGap);
    SetFormKey(formKey);
    SetRows(lines);
    SetLineCount(lines);
    CreateCells(mode);
}

int SetupListCore::AddCell(const std::string& caption, int x, int top, int width, bool field, int font,
                        CellAlignment alignment, const std::string& hint)
{
    ColumnDef def;
    def.caption = caption;
    def.hint = hint.empty() ? caption : hint;
    def.x = x;
    def.top = top;
    def.width = width;
    def.font = font;
    def.alignment = alignment;
    def.createField = field;
    def.noField = !field;
    return DefineColumn(def);
}

void SetupListCore::Define(int field, int kind, const std::string& characters, int maximum, int digits,
                           const std::string& mask)
{
    DefineEditField(PlainField(field, kind, characters, maximum, digits, mask));
}

int SetupListCore::TextWidth(const std::string& text) const
{
    return host_.TextWidth(text, 4);
}
