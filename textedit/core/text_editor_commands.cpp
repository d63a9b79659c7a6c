#include "textedit/core/text_editor_commands.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <vector>

#include "kernel/services/stream.h"
#include "platform/paths.h"
#include "platform/safe_file.h"
#include "platform/stored_file.h"
#include "textedit/core/my_string_list.h"
#include "textedit/core/text_editor_host.h"

namespace {
constexpr int32_t kMaxColumn = TextEditCore::kMaxColumn;

int DiskCode(int err)
{
    const int code = DiskErrorCode(err);
    return code != 0 ? code : 100;
}

// Where a replacement of length characters from (column, line) ends once
// the line is broken into pieces of 256: the next search starts there.
TextPos AfterReplacement(int32_t column, int32_t line, int32_t length)
{
    const int32_t offset = column - 1 + length;
    if (offset <= 0)
        return {column, line};
    return {(offset - 1) % kMaxColumn + 2, line + (offset - 1) / kMaxColumn};
}
} // namespace

char UpperAZ(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameUpper(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperAZ(a[i]) != UpperAZ(b[i]))
            return false;
    return true;
}

std::string UpperAZ(std::string text)
{
    for (char& c : text)
        c = UpperAZ(c);
    return text;
}

bool TextEditorCommands::Block() const
{
    const TextSelection& s = core_.Selection();
    return s.present && s.active;
}

EditCommandInput TextEditorCommands::EditInput(bool clipboardText, bool disable) const
{
    return EditCommandInput{Block(), core_.ReadOnly(), clipboardText, disable};
}

// --- Edit menu commands ---

void TextEditorCommands::Cut()
{
    if (!Block())
        return;
    core_.GetSelectionText(true);
    if (!core_.ReadOnly())
        core_.DeleteSelection(true);
}

void TextEditorCommands::Copy()
{
    if (Block())
        core_.GetSelectionText(true);
}

void TextEditorCommands::Paste()
{
    if (!core_.ReadOnly())
        core_.InsertText(true, {}, true);
}

void TextEditorCommands::Delete()
{
    if (!core_.ReadOnly())
        core_.DeleteSelection(true);
}

void TextEditorCommands::SelectAll()
{
    const T_MyStringList& lines = core_.Lines();
    const int32_t last = lines.Count() - 1;
    const auto end = static_cast<int32_t>(TrimRightControls(lines.Get(last)).size()) + 1;
    core_.SetSelection(TextSelection{true, true, 1, 0, std::min(end, kMaxColumn + 1), last});
    core_.RedrawLines(0, last);
}

void TextEditorCommands::ClearSelection()
{
    TextSelection s = core_.Selection();
    s.present = s.active = false;
    core_.SetSelection(s);
    core_.RedrawLines(0, core_.Lines().Count() - 1);
}

// --- find and replace ---

void TextEditorCommands::SelectFound(int32_t column, int32_t line, int32_t length)
{
    core_.SetSelection(TextSelection{true, true, column, line, column + length, line});
    core_.SetTextCursor(column + length, line);
}

bool TextEditorCommands::FindPosition(const std::string& find, bool matchCase, TextPos& at) const
{
    if (find.empty())
        return false;
    const std::string key = matchCase ? find : UpperAZ(find);
    const T_MyStringList& lines = core_.Lines();
    for (int32_t l = std::max(at.line, 0); l < lines.Count(); ++l) {
        const std::string& text = lines.Get(l);
        const size_t start = l == at.line ? static_cast<size_t>(std::max(at.column, 1) - 1) : 0;
        if (start >= text.size())
            continue;
        const size_t found = matchCase ? text.find(key, start) : UpperAZ(text).find(key, start);
        if (found != std::string::npos) {
            at = TextPos{static_cast<int32_t>(found) + 1, l};
            return true;
        }
    }
    return false;
}

bool TextEditorCommands::FindFrom(const std::string& find, bool matchCase, int32_t column, int32_t line)
{
    TextPos at{column, line};
    if (!FindPosition(find, matchCase, at))
        return false;
    SelectFound(at.column, at.line, static_cast<int32_t>(find.size()));
    return true;
}

bool TextEditorCommands::FindNext(const std::string& find, bool matchCase)
{
    return FindFrom(find, matchCase, core_.CursorColumn(), core_.CursorLine());
}

int32_t TextEditorCommands::ReplaceAt(TextPos at, size_t length, const std::string& replace)
{
    T_MyStringList& lines = core_.Lines();
    const std::string& text = lines.Get(at.line);
    const auto from = static_cast<size_t>(at.column - 1);
    std::string changed;
    changed.reserve(text.size() + replace.size());
    changed.append(text, 0, from).append(replace);
    if (from + length < text.size())
        changed.append(text, from + length, std::string::npos);
    if (changed.size() <= static_cast<size_t>(kMaxColumn)) {
        lines.Put(at.line, changed);
        return 0;
    }
    // What passes column 256 goes to new lines below, as typing does it.
    std::vector<std::string> pieces;
    WrapLongLine(std::move(changed), pieces);
    lines.Put(at.line, pieces.front());
    const auto spilled = static_cast<int32_t>(pieces.size()) - 1;
    lines.InsertLines(at.line + 1, std::move(pieces), 1);
    return spilled;
}

void TextEditorCommands::SelectReplaced(TextPos at, size_t length, int32_t spilled)
{
    const int32_t end = std::min(kMaxColumn + 1, at.column + static_cast<int32_t>(length));
    core_.SetSelection(TextSelection{true, true, at.column, at.line, end, at.line});
    core_.RedrawLines(at.line, at.line + spilled);
    core_.SetTextCursor(std::min(end, kMaxColumn), at.line);
}

bool TextEditorCommands::ReplaceSelection(const std::string& find, const std::string& replace)
{
    const TextSelection s = core_.Selection();
    if (!s.present || !s.active || s.y1 != s.y2 || s.x1 >= s.x2 || s.x1 < 1)
        return false;
    // The cursor can stand at 256 at most: a hit that ends the line ends at 257.
    if (core_.CursorLine() != s.y1 || core_.CursorColumn() != std::min(s.x2, kMaxColumn))
        return false;
    const std::string& text = core_.Lines().Get(s.y1);
    const auto from = static_cast<size_t>(s.x1 - 1);
    const auto length = static_cast<size_t>(s.x2 - s.x1);
    if (from >= text.size() || !SameUpper(std::string_view(text).substr(from, length), find))
        return false;
    const TextPos at{s.x1, s.y1};
    SelectReplaced(at, replace.size(), ReplaceAt(at, length, replace));
    return true;
}

int TextEditorCommands::ReplaceAll(const std::string& find, const std::string& replace, bool matchCase)
{
    const auto length = static_cast<int32_t>(replace.size());
    int count = 0;
    TextPos resume{core_.CursorColumn(), core_.CursorLine()};
    if (ReplaceSelection(find, replace)) {
        ++count;
        resume = AfterReplacement(core_.Selection().x1, core_.Selection().y1, length);
    }
    // The hits in between change only their lines; the last one ends as
    // the block with the cursor behind it, as one replacement would.
    TextPos at = resume;
    TextPos last{0, -1};
    int32_t lastSpilled = 0;
    while (FindPosition(find, matchCase, at)) {
        lastSpilled = ReplaceAt(at, find.size(), replace);
        last = at;
        ++count;
        at = AfterReplacement(at.column, at.line, length);
    }
    if (last.line >= 0) {
        core_.RedrawLines(0, core_.Lines().Count() - 1);
        SelectReplaced(last, replace.size(), lastSpilled);
    }
    return count;
}

// --- two-key commands ---

void TextEditorCommands::CheckBlock()
{
    TextSelection s = core_.Selection();
    const bool after = s.y2 > s.y1 || (s.y2 == s.y1 && s.x2 > s.x1);
    s.present = s.active = after && s.y1 >= 0;
    core_.SetSelection(s);
    if (s.present)
        core_.RedrawLines(0, core_.Lines().Count() - 1);
}

bool TextEditorCommands::ShortCut(int key, bool ctrl)
{
    TextSelection s = core_.Selection();
    switch (prefixes_.Feed(key, ctrl)) {
    case PrefixCommand::None:
    case PrefixCommand::Modifier:
        return false;
    case PrefixCommand::SetPrefix:
    case PrefixCommand::Nothing:
        break;
    case PrefixCommand::ShowFind:
        host_.ShowFindDialog();
        break;
    case PrefixCommand::ShowReplace:
        host_.ShowReplaceDialog();
        break;
    case PrefixCommand::BlockStart:
        s.x1 = core_.CursorColumn();
        s.y1 = core_.CursorLine();
        core_.SetSelection(TextSelection{false, false, s.x1, s.y1, s.x2, s.y2});
        CheckBlock();
        break;
    case PrefixCommand::BlockEnd:
        s.x2 = core_.CursorColumn();
        s.y2 = core_.CursorLine();
        core_.SetSelection(TextSelection{false, false, s.x1, s.y1, s.x2, s.y2});
        CheckBlock();
        break;
    case PrefixCommand::CopyBlock:
        if (Block())
            core_.InsertText(false, core_.GetSelectionText(false), true);
        break;
    case PrefixCommand::GotoBlock:
        if (Block())
            core_.SetTextCursor(s.x1, s.y1);
        break;
    case PrefixCommand::DeleteBlock:
        if (Block())
            core_.DeleteSelection(true);
        break;
    case PrefixCommand::HideBlock:
        // Used up here: passed on, the key would type or delete a character.
        s.active = false;
        core_.SetSelection(s);
        break;
    case PrefixCommand::InsertFile:
        host_.InsertFileAtCursor();
        break;
    case PrefixCommand::SaveBlock:
        host_.SaveSelectionAs();
        break;
    }
    return true;
}

// --- block files ---

int TextEditorCommands::SaveBlockToFile(const std::string& path)
{
    const std::string text = core_.GetSelectionText(false);
    SafeFileWriter file;
    if (file.Create(path) && file.Write(text.data(), text.size()) && file.Commit())
        return 0;
    return DiskCode(file.error());
}

int TextEditorCommands::InsertFile(const std::string& path, const std::function<void(std::string&)>& filter)
{
    const std::string existing = FindExisting(path);
    std::string text;
    if (!ReadStoredFile(existing.empty() ? path : existing, T_MyStringList::kMaxTextFileBytes, text))
        return DiskCode(errno);
    if (filter)
        filter(text);
    core_.InsertText(false, std::move(text), true);
    return 0;
}
