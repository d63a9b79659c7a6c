#include "kernel/compiler/statementreader.h"

#include <algorithm>
#include <limits>

#include "kernel/compiler/statementfile.h"
#include "kernel/dispatch/errorcodes.h"
#include "kernel/model/workrecord.h"

namespace {

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

bool StartsWith(const std::string& s, const char* prefix)
{
    return s.rfind(prefix, 0) == 0;
}

// The reader's position stays within its fields: the line counts up to the
// largest u16, the column stops at 255 on long lines instead of wrapping.
void NextColumn()
{
    if (ZrVar.ErrorColumn < 255)
        ++ZrVar.ErrorColumn;
}

void NextLine()
{
    if (ZrVar.ErrorLine < std::numeric_limits<uint16_t>::max())
        ++ZrVar.ErrorLine;
}

// One pass over the characters of the text: the state of the statement
// being read.
class TextScanner {
public:
    TextScanner(bool braceText, std::string& statement) : braceText_(braceText), st_(statement) {}

    int32_t Run()
    {
        t_K8_heap_var& z = ZrVar;
        const std::string& text = z.ScriptText;
        if (z.ScriptLength == 0)
            z.ScriptLength = static_cast<int32_t>(std::min<size_t>(text.size(), std::numeric_limits<int32_t>::max()));
        int32_t end = std::min<int32_t>(z.ScriptLength, static_cast<int32_t>(std::min<size_t>(
                                                               text.size(), std::numeric_limits<int32_t>::max())));
        while (!done_ && z.TextPosition >= 1 && z.TextPosition <= end) {
            NextColumn();
            size_t at = size_t(z.TextPosition) - 1;
            ++z.TextPosition;
            Take(text[at], at > 0 ? text[at - 1] : '\0');
            if (!done_ && st_.size() >= kStatementLimit)
                Fail(zerr::kStatementTooLong, false);
        }
        return error_ != 0 ? error_ : (done_ ? 0 : zerr::kUnexpectedEnd);
    }

private:
    void Fail(int32_t code, bool clear)
    {
        error_ = code;
        done_ = true;
        if (clear)
            st_.clear();
    }

    bool DensityStatement() const { return StartsWith(st_, "$FD["); }

    void Take(char c, char previous)
    {
        switch (c) {
        case '[':
            if (depth_ == 0) {
                if (group_)
                    return Fail(zerr::kBrackets, true);
                group_ = true;
                st_ += c;
            }
            return;
        case ']':
            if (depth_ == 0) {
                if (!group_)
                    return Fail(zerr::kBrackets, true);
                group_ = false;
                st_ += c;
            }
            return;
        case '{':
            if (depth_ == 0 && !brace_ && ((braceText_ && st_.empty()) || DensityStatement())) {
                brace_ = true;
                st_ += c;
            } else {
                ++depth_;
            }
            return;
        case '}':
            if (depth_ > 0) {
                --depth_;
            } else if (!brace_) {
                Fail(zerr::kBrackets, true);
            } else if (DensityStatement()) {
                st_ += c;
                brace_ = false;
            } else {
                done_ = true;  // a brace text ends at its brace
            }
            return;
        case '\n':
            ZrVar.ErrorColumn = 1;
            // Files with bare line feeds count their lines as CR LF files do.
            if (previous != '\r')
                NextLine();
            return;
        case '\r':
            NextLine();
            return;
        case ' ':
            // A brace text keeps its blanks, those of a comment nested in it
            // included; everywhere else blanks vanish.
            if (brace_)
                st_ += c;
            return;
        case ';':
            if (brace_) {
                st_ += c;
                return;
            }
            if (depth_ > 0)
                return;
            if (group_)
                Fail(zerr::kBrackets, true);
            else if (!st_.empty())
                done_ = true;
            return;
        default:
            if (depth_ > 0)
                return;
            st_ += (group_ || brace_) ? c : Upper(c);
            if (st_ == "BEGIN")
                done_ = true;
            return;
        }
    }

    bool braceText_;
    std::string& st_;
    int depth_ = 0;
    bool group_ = false;
    bool brace_ = false;
    bool done_ = false;
    int32_t error_ = 0;
};

void ReadFromText(int32_t& error, bool braceText, std::string& statement)
{
    t_K8_heap_var& z = ZrVar;
    statement.clear();
    z.StartPosition = z.TextPosition;
    z.StartLine = static_cast<uint16_t>(z.ErrorLine);
    error = TextScanner(braceText, statement).Run();

    if (!statement.empty() && statement[0] != '{') {
        // The name after MODULSET or MODUL is split off at an "=". The
        // MODULSET form belongs to the header alone: in the modules
        // "MODUL SETUP" names the module SETUP.
        bool header = z.HeaderState != 4;
        if (header && StartsWith(statement, "MODULSET"))
            statement.insert(8, 1, '=');
        else if (StartsWith(statement, "MODUL"))
            statement.insert(5, 1, '=');
        if (statement.size() > kStatementLimit)
            statement.resize(kStatementLimit);
    }
    if (error == zerr::kUnexpectedEnd) {
        statement = kUnexpectedEndStatement;
        z.ScriptLength = 0;
    }
}

void ReadFromFile(int32_t& error, std::string& statement)
{
    t_K8_heap_var& z = ZrVar;
    statement.clear();
    error = 0;
    uint16_t line = 0;
    uint8_t column = 0;
    StatementFile* file = z.Statements.get();
    if (!file || !file->Next(line, column, statement)) {
        error = zerr::kUnexpectedEnd;
        statement = kUnexpectedEndStatement;
        return;
    }
    // Errors of the module statements point at where the statement ended.
    z.ErrorLine = line;
    z.ErrorColumn = column;
}

void Split(std::string& s, size_t cut, size_t skip, size_t max, std::string& head)
{
    head.assign(s, 0, std::min(cut, max));
    s.erase(0, std::min(s.size(), cut + skip));
}
}  // namespace

void ReadStatement(int32_t& error, bool braceText, std::string& statement, bool fromFile)
{
    if (fromFile)
        ReadFromFile(error, statement);
    else
        ReadFromText(error, braceText, statement);
}

void SplitAtEquals(std::string& s, size_t max, std::string& head)
{
    size_t equals = s.find('=');
    if (equals == std::string::npos)
        return Split(s, s.size(), 0, max, head);
    size_t open = s.find('[');
    size_t close = s.find(']');
    if (open < equals && close != std::string::npos && close > equals) {
        size_t after = s.find('=', close);
        if (after == std::string::npos)
            return Split(s, s.size(), 0, max, head);
        equals = after;
    }
    Split(s, equals, 1, max, head);
}

void SplitAtComma(std::string& s, size_t max, std::string& head)
{
    size_t comma = s.find(',');
    if (comma == std::string::npos)
        return Split(s, s.size(), 0, max, head);
    Split(s, comma, 1, max, head);
}

bool TakeNumber(std::string& s, int32_t& value)
{
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    size_t digits = i;
    int64_t magnitude = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        if (magnitude <= std::numeric_limits<int32_t>::max())
            magnitude = magnitude * 10 + (s[i] - '0');
        ++i;
    }
    if (i == digits) {
        value = 0;
        return false;
    }
    magnitude = std::min<int64_t>(magnitude, std::numeric_limits<int32_t>::max());
    value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    s.erase(0, i);
    return true;
}

int32_t TakeNumber(std::string& s)
{
    int32_t value = 0;
    TakeNumber(s, value);
    return value;
}

bool ParseNumber(const std::string& text, int32_t& value)
{
    std::string rest = text;
    return TakeNumber(rest, value) && rest.empty();
}
