#include "textedit/core/my_string_list.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <stdexcept>
#include <string_view>

#include "kernel/language/language.h"
#include "kernel/services/stream.h"
#include "platform/safe_file.h"
#include "platform/stored_file.h"

namespace {

std::string& SharedModifiedText()
{
    static std::string text;
    return text;
}

bool IsControlOrBlank(char c)
{
    return static_cast<unsigned char>(c) < 33;
}

// Splits as the class library's load does, except that a NUL is kept as a
// byte of its line: cutting the file there would lose the rest of it.
std::vector<std::string> SplitLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    const size_t n = bytes.size();
    while (start < n) {
        size_t end = start;
        while (end < n && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        lines.emplace_back(bytes, start, end - start);
        if (end < n && bytes[end] == '\r' && end + 1 < n && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

int ErrorCode(int err)
{
    const int code = DiskErrorCode(err);
    // An error the table does not name must still not read as success.
    return code != 0 ? code : 100;
}

std::string_view TrimmedView(std::string_view text)
{
    size_t end = text.size();
    while (end > 0 && IsControlOrBlank(text[end - 1]))
        --end;
    return text.substr(0, end);
}

} // namespace

std::string TrimRightControls(const std::string& text)
{
    size_t end = text.size();
    while (end > 0 && IsControlOrBlank(text[end - 1]))
        --end;
    return text.substr(0, end);
}

bool IsBlankLine(const std::string& text)
{
    for (char c : text)
        if (!IsControlOrBlank(c))
            return false;
    return true;
}

T_MyStringList::T_MyStringList()
{
    Add(" ");
    DropBlankFirstLine = true;
    if (SharedModifiedText().empty())
        SharedModifiedText() = F_TRANS("Geändert");
}

const std::string& T_MyStringList::ModifiedText()
{
    if (SharedModifiedText().empty())
        SharedModifiedText() = F_TRANS("Geändert");
    return SharedModifiedText();
}

void T_MyStringList::TextChange()
{
    if (OnTextChange && EventsEnabled)
        OnTextChange();
}

void T_MyStringList::SetModified(bool value)
{
    if (value == modified_)
        return;
    modified_ = value;
    if (OnModifiedChange)
        OnModifiedChange(value);
}

void T_MyStringList::Put(int index, const std::string& text)
{
    if (index < 0 || index >= Count())
        return;
    std::string& line = lines_[static_cast<size_t>(index)];
    // Views instead of trimmed copies: a replace all puts every changed line.
    if (std::string_view(text) == TrimmedView(line))
        return;
    const std::string_view trimmed = TrimmedView(text);
    line.assign(trimmed.data(), trimmed.size());
    SetModified(true);
}

int T_MyStringList::Add(const std::string& text)
{
    if (DropBlankFirstLine && Count() > 0 && IsBlankLine(lines_[0]))
        Delete(0);
    lines_.push_back(text);
    SetModified(true);
    TextChange();
    return Count() - 1;
}

void T_MyStringList::Clear()
{
    lines_.clear();
    Add(" ");
    DropBlankFirstLine = true;
    SetModified(true);
    TextChange();
}

void T_MyStringList::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("T_MyStringList::Delete");
    lines_.erase(lines_.begin() + index);
    if (lines_.empty()) {
        Add(" ");
        DropBlankFirstLine = true;
    }
    SetModified(true);
    TextChange();
}

void T_MyStringList::DeleteLines(int index, int count)
{
    if (count <= 0)
        return;
    if (index < 0 || count > Count() - index)
        throw std::out_of_range("T_MyStringList::DeleteLines");
    lines_.erase(lines_.begin() + index, lines_.begin() + index + count);
    if (lines_.empty()) {
        Add(" ");
        DropBlankFirstLine = true;
    }
    SetModified(true);
    TextChange();
}

void T_MyStringList::Insert(int index, const std::string& text)
{
    if (index < 0 || index > Count())
        throw std::out_of_range("T_MyStringList::Insert");
    lines_.insert(lines_.begin() + index, text);
    SetModified(true);
    TextChange();
}

void T_MyStringList::InsertLines(int index, std::vector<std::string> lines, size_t from)
{
    if (index < 0 || index > Count())
        throw std::out_of_range("T_MyStringList::InsertLines");
    if (from >= lines.size())
        return;
    lines_.insert(lines_.begin() + index, std::make_move_iterator(lines.begin() + static_cast<std::ptrdiff_t>(from)),
                  std::make_move_iterator(lines.end()));
    SetModified(true);
    TextChange();
}

void T_MyStringList::InsertLinesBy(int index, size_t expected,
                                   const std::function<void(std::vector<std::string>&)>& fill)
{
    if (index < 0 || index > Count())
        throw std::out_of_range("T_MyStringList::InsertLinesBy");
    const size_t before = lines_.size();
    // Growing by half at least keeps many small pastes from copying the table each time.
    if (before + expected > lines_.capacity())
        lines_.reserve(std::max(before + expected, lines_.capacity() + lines_.capacity() / 2));
    fill(lines_);
    if (lines_.size() <= before)
        return;
    std::rotate(lines_.begin() + index, lines_.begin() + static_cast<std::ptrdiff_t>(before), lines_.end());
    SetModified(true);
    TextChange();
}

int T_MyStringList::LoadFromFile(const std::string& fileName)
{
    std::string bytes;
    if (!ReadStoredFile(fileName, kMaxTextFileBytes, bytes))
        return ErrorCode(errno);

    const bool eventsWere = EventsEnabled;
    EventsEnabled = false;
    Clear();
    for (const std::string& line : SplitLines(bytes))
        Add(line);
    if (lines_.empty()) {
        Add(" ");
        DropBlankFirstLine = true;
    }
    SetModified(false);
    EventsEnabled = eventsWere;
    TextChange();
    return 0;
}

std::string T_MyStringList::Text() const
{
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

int T_MyStringList::SaveToFile(const std::string& fileName) const
{
    SafeFileWriter writer;
    const std::string text = Text();
    if (writer.Create(fileName) && writer.Write(text.data(), text.size()) && writer.Commit())
        return 0;
    return ErrorCode(writer.error());
}
