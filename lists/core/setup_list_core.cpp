#include "lists/core/setup_list_core.h"

#include "kernel/listaccess/selectorlevel.h"
#include "kernel/model/programmodel.h"

int SetupListCore::Level()
{
    return UsableSelectorLevel(RuestSchema.b[T_RuestSchema::kLevel]);
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
    EditFieldDef def;
    def.field = field;
    def.kind = kind;
    def.characters = characters;
    def.mask = mask;
    def.maximum = maximum;
    def.digits = digits;
    DefineEditField(def);
}

int SetupListCore::TextWidth(const std::string& text) const
{
    return host_.TextWidth(text, 4);
}
