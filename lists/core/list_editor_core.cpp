#include "lists/core/list_editor_core.h"

#include <algorithm>
#include <cstring>

#include "kernel/language/language.h"
#include "kernel/listaccess/selectorlevel.h"
#include "kernel/model/bytes.h"
#include "kernel/model/programmodel.h"
#include "kernel/services/services.h"
#include "lists/core/list_links.h"
#include "platform/codepage.h"

namespace {
constexpr int kCommentSize = 80;
}  // namespace

std::function<void(char, const std::vector<uint8_t>&)> ListEditorCore::OnClipboardSet;

ListEditorCore::ListEditorCore(ListWindowHost& host, ListOf list, char code, std::vector<uint8_t>& clipboard)
    : ListWindowCore(host), listOf_(list), code_(code), clipboard_(clipboard)
{
    SetLineExchange(List().LineSize(), [this](LineOp op, int, int line, std::vector<uint8_t>& data) {
        Exchange(op, line, data);
    });
    SetClipboardFlag(!clipboard_.empty());
}

// ---- construction ---------------------------------------------------------

void ListEditorCore::Begin(const std::string& formKey, const std::string& title)
{
    SetCaption(title);
    SetMargins(10, 10, 6);
    SetFormKey(formKey);
    SetRows(1);
    SetLineCount(0);
    SetLineCount(List().Count());
    CreateCells(0);
    Column(std::string(1, code_), "W", false);
}

int ListEditorCore::Column(const std::string& caption, const std::string& widthMask, bool field)
{
    return DefineColumn(MaskColumn(caption, widthMask, field));
}

void ListEditorCore::DefineField(int field, int kind, const std::string& characters, int maximum,
                                 int digits, const std::string& mask)
{
    DefineEditField(PlainField(field, kind, characters, maximum, digits, mask));
}

void ListEditorCore::End(int listNumberField, int commentField, int commentOffset)
{
    listNumberField_ = listNumberField;
    commentField_ = commentField;
    commentOffset_ = commentOffset;
    FinishLayout(listNumberField, listNumberField, true);
}

// ---- lines ----------------------------------------------------------------

std::vector<uint8_t> ListEditorCore::Copy(int line) const
{
    const uint8_t* p = Peek(line);
    return std::vector<uint8_t>(p, p + List().LineSize());
}

uint8_t* ListEditorCore::LineForStore(int line)
{
    if (line < 1 || line > List().Count() + 1 || line > List().MaxLines())
        return nullptr;
    return List().GetLine(static_cast<uint16_t>(line));
}

void ListEditorCore::LockAllBut(int row, const std::vector<int>& keep)
{
    std::vector<int> fields;
    for (int f = 1; f <= FelderAnzahl(); ++f)
        if (std::find(keep.begin(), keep.end(), f) == keep.end())
            fields.push_back(f);
    LockFields(row, fields);
}

void ListEditorCore::UnlockAll(int row)
{
    std::vector<int> fields;
    for (int f = 1; f <= FelderAnzahl(); ++f)
        fields.push_back(f);
    UnlockFields(row, fields);
}

void ListEditorCore::ShowLine(int row, int line, int record)
{
    (void)record;
    SetLineCount(List().Count());
    SetCode(row, std::string(1, code_));
    ShowFields(row, line);
}

// The list number only leads to a line, and a marker cell only takes keys.
std::optional<std::string> ListEditorCore::StoreCell(int field, int row, int32_t value,
                                                     const std::optional<std::string>& text, int record, int line)
{
    if (field == listNumberField_ || Field(field).kind == 0)
        return std::nullopt;
    // An empty list counts as one line, so its append row is line 2:
    // typing there begins line 1, which the row then shows.
    const int target = List().Count() == 0 && line == 2 ? 1 : line;
    uint8_t* p = LineForStore(target);
    if (!p) {
        // A full list takes no further line: the refusal is heard and read,
        // and the row shows what the list holds, not what was typed.
        RefuseStore(F_TRANS("Die Liste ist voll"));
        ShowLine(row, line, record);
        return FieldCell(row, field).text;
    }
    NormaliseLine(p);
    if (field == commentField_)
        StoreComment(p, commentOffset_, text.value_or(""));
    else if (!StoreField(p, field, value, text))
        return std::nullopt;
    if (target != line)
        ShowLineAtCursor(target);
    else
        ShowLine(row, line, record);
    return FieldCell(row, field).text;
}

std::string ListEditorCore::CommentText(const uint8_t* p, int offset)
{
    return Cp1252ToUtf8(ReadShortString(p, static_cast<size_t>(offset), kCommentSize));
}

void ListEditorCore::StoreComment(uint8_t* p, int offset, const std::string& utf8)
{
    WriteShortString(p, static_cast<size_t>(offset), kCommentSize, Utf8ToCp1252(utf8));
}

// ---- the W values other lists show ----------------------------------------

int ListEditorCore::SelectorLevel()
{
    return UsableSelectorLevel(RuestSchema.b[T_RuestSchema::kLevel]);
}

int16_t ListEditorCore::SelectorValue(int wLine)
{
    if (!WListe || wLine < 1 || wLine > WListe->Count())
        return 0;
    return get_i16(WListe->PeekLine(static_cast<uint16_t>(wLine)), static_cast<size_t>(2 * (SelectorLevel() - 1)));
}

std::string ListEditorCore::SelectorText(int16_t value)
{
    return value == 0 ? std::string() : F_ZeroPadNum(value, 4);
}

void ListEditorCore::StoreSelectorValue(int wLine, int value)
{
    if (!WListe || wLine < 1 || wLine > WListe->MaxLines())
        return;
    put_i16(WListe->GetLine(static_cast<uint16_t>(wLine)), static_cast<size_t>(2 * (SelectorLevel() - 1)),
            static_cast<int16_t>(value));
}

void ListEditorCore::Jump(const std::string& form, int line, int field)
{
    if (GotoListWindow)
        GotoListWindow(form, line, field);
}

// ---- sub-lists ------------------------------------------------------------

int ListEditorCore::TranslateListNumber(int n)
{
    T_Kelt8IndexListe& index = IndexList();
    const int appendRow = index.Count() + 1;
    if (n < 1 || n > 0xffff)
        return appendRow;
    if (const uint16_t found = index.FindSubList(static_cast<uint16_t>(n)))
        return found;
    if (n == index.NextListNumberInit(static_cast<uint16_t>(appendRow)) && appendRow <= index.MaxLines()) {
        index.GetLine(static_cast<uint16_t>(appendRow));
        return appendRow;
    }
    return appendRow;
}

bool ListEditorCore::ContinuationKey(int row, int key)
{
    constexpr int kInsert = 45, kDelete = 46;  // VK_INSERT, VK_DELETE
    if (key != kInsert && key != kDelete)
        return false;
    const int line = Grid().At(row, 1).line;
    if (key == kInsert)
        InsertContinuation(line);
    else
        DeleteContinuation(line);
    return true;
}

bool ListEditorCore::InsertContinuation(int line)
{
    if (line < 1 || line > List().Count() || List().Count() >= List().MaxLines())
        return false;
    List().InsertLine(static_cast<uint16_t>(line + 1));
    put_u16(List().GetLine(static_cast<uint16_t>(line + 1)), 0, 0);
    ShowPage();
    return true;
}

bool ListEditorCore::DeleteContinuation(int line)
{
    if (line < 1 || line > List().Count() || get_u16(Peek(line), 0) != 0)
        return false;
    List().DeleteLine(static_cast<uint16_t>(line));
    ShowPage();
    return true;
}

// ---- line exchange --------------------------------------------------------

void ListEditorCore::Exchange(LineOp op, int line, std::vector<uint8_t>& data)
{
    switch (op) {
    case LineOp::GetClipboard:
        data = clipboard_;
        break;
    case LineOp::SetClipboard:
        clipboard_ = data;
        if (OnClipboardSet)
            OnClipboardSet(code_, clipboard_);
        break;
    case LineOp::ReadLine:
        data = Copy(line);
        break;
    case LineOp::ClearLine:
        if (line < 1 || line > List().Count())
            break;
        if (IsIndexList())
            ClearIndexLine(line);
        else
            List().InitLine(static_cast<uint16_t>(line));
        break;
    case LineOp::StoreLine:
        if (data.size() != List().LineSize())
            break;
        if (IsIndexList())
            StoreIndexLine(line, data);
        else if (uint8_t* p = LineForStore(line))
            std::memcpy(p, data.data(), data.size());
        break;
    }
}

// A continuation line goes; a line that opens a sub-list is cleared and
// keeps its number, so the sub-lists below keep theirs and their lines.
void ListEditorCore::ClearIndexLine(int line)
{
    const uint16_t number = get_u16(Peek(line), 0);
    if (number == 0) {
        List().DeleteLine(static_cast<uint16_t>(line));
        return;
    }
    List().InitLine(static_cast<uint16_t>(line));
    put_u16(List().GetLine(static_cast<uint16_t>(line)), 0, number);
}

// Only a pasted opening line replaces the sub-list at the target; a pasted
// continuation line is inserted there and removes nothing.
void ListEditorCore::StoreIndexLine(int line, const std::vector<uint8_t>& image)
{
    T_Kelt8IndexListe& index = IndexList();
    if (line < 1 || line > index.Count() + 1 || line > index.MaxLines())
        return;
    const bool opening = get_u16(image.data(), 0) != 0;
    if (!opening) {
        // Line 1 opens the first sub-list: a continuation line cannot go there.
        if (line == 1 || index.Count() >= index.MaxLines())
            return;
        index.InsertLine(static_cast<uint16_t>(line));
        std::memcpy(index.GetLine(static_cast<uint16_t>(line)), image.data(), image.size());
        return;
    }
    if (line <= index.Count() && index.ListNumber(static_cast<uint16_t>(line)) == 0)
        return;
    while (line < index.Count() && index.ListNumber(static_cast<uint16_t>(line + 1)) == 0)
        index.DeleteLine(static_cast<uint16_t>(line + 1));
    const uint16_t number = line <= index.Count() ? index.ListNumber(static_cast<uint16_t>(line))
                                                  : index.NextListNumber(static_cast<uint16_t>(line));
    uint8_t* p = index.GetLine(static_cast<uint16_t>(line));
    std::memcpy(p, image.data(), image.size());
    put_u16(p, 0, number);
}
