// The block operations, appending and the syntax colours of TextEditCore.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "textedit/core/text_edit_core.h"

namespace {

// From the 1-based column x on (empty when the text is shorter).
std::string From(const std::string& t, int32_t x)
{
    const auto at = static_cast<size_t>(std::max(1, x) - 1);
    return at < t.size() ? t.substr(at) : std::string();
}

// The first n characters (fewer when the text is shorter).
std::string First(const std::string& t, int32_t n)
{
    return t.substr(0, static_cast<size_t>(std::max(0, n)));
}

// 1-based position of c in t, 0 when missing.
size_t Position(const std::string& t, char c)
{
    const size_t p = t.find(c);
    return p == std::string::npos ? 0 : p + 1;
}

bool HasBracket(const std::string& t)
{
    return t.find_first_of("[]{}") != std::string::npos;
}

// The number of line ends when every one is CR LF already, else npos. A
// paste of megabytes runs through here: memchr finds the bytes.
size_t CrLfLineEnds(const std::string& text)
{
    const char* s = text.data();
    const char* const end = s + text.size();
    size_t lineEnds = 0;
    for (;; ++lineEnds) {
        const auto* feed = static_cast<const char*>(std::memchr(s, '\n', static_cast<size_t>(end - s)));
        if (feed == s || (feed != nullptr && feed[-1] != '\r'))
            return std::string::npos;
        const char* const lineEnd = feed == nullptr ? end : feed - 1;
        if (std::memchr(s, '\r', static_cast<size_t>(lineEnd - s)) != nullptr)
            return std::string::npos;
        if (feed == nullptr)
            return lineEnds;
        s = feed + 1;
    }
}

// Clipboards of other programs end lines with LF or a lone CR: those become
// CR LF. Returns the number of line ends.
size_t MakeCrLf(std::string& text)
{
    if (const size_t lineEnds = CrLfLineEnds(text); lineEnds != std::string::npos)
        return lineEnds;
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    size_t lineEnds = 0;
    size_t start = 0;
    for (size_t p; (p = text.find_first_of("\r\n", start)) != std::string::npos; start = p + 1, ++lineEnds) {
        out.append(text, start, p - start);
        out += "\r\n";
        if (text[p] == '\r' && p + 1 < text.size() && text[p + 1] == '\n')
            ++p;
    }
    out.append(text, start, std::string::npos);
    text = std::move(out);
    return lineEnds;
}

} // namespace

std::string TextEditCore::GetSelectionText(bool toClipboard)
{
    const TextSelection& s = selection_;
    if (!s.present || !s.active || !SelectionInText())
        return {};
    std::string text;
    if (s.y1 == s.y2) {
        text = TrimRightControls(First(From(lines_.Get(s.y1), s.x1), s.x2 - s.x1));
    } else {
        text = From(TrimRightControls(lines_.Get(s.y1)), s.x1) + "\r\n";
        for (int32_t l = s.y1 + 1; l < s.y2; ++l)
            text += TrimRightControls(lines_.Get(l)) + "\r\n";
        text += TrimRightControls(First(lines_.Get(s.y2), s.x2 - 1));
    }
    if (toClipboard)
        clipboard_.SetText(text);
    return text;
}

void TextEditCore::DeleteSelection(bool redraw)
{
    TextSelection s = selection_;
    if (!s.present || !s.active)
        return;
    selection_.present = selection_.active = false;
    if (!SelectionInText())
        return;
    if (s.y1 == s.y2) {
        SpillLongLine(s.y1);
        std::string t = lines_.Get(s.y1);
        const std::string removed = First(From(t, s.x1), s.x2 - s.x1);
        if (!removed.empty())
            t.erase(static_cast<size_t>(s.x1 - 1), removed.size());
        PutLine(s.y1, t);
        if (line_ == s.y1 && column_ >= s.x1)
            column_ = column_ < s.x2 ? s.x1 : column_ - (s.x2 - s.x1);
        if (syntaxDisplay_ && HasBracket(removed))
            RedrawToEnd(s.y1);
        else
            Redraw(s.x1, s.y1, s.y1, kMaxColumn);
        return;
    }

    const bool eventsWere = lines_.EventsEnabled;
    lines_.EventsEnabled = false;
    std::string head = lines_.Get(s.y1);
    head.resize(static_cast<size_t>(s.x1 - 1), ' ');
    std::vector<std::string> pieces;
    WrapLongLine(head + From(lines_.Get(s.y2), s.x2), pieces);
    const auto spilled = static_cast<int32_t>(pieces.size()) - 1;
    DeleteLines(s.y1 + 1, s.y2 - s.y1);
    PutLine(s.y1, pieces.front());
    pieces.erase(pieces.begin());
    ++edits_;
    lines_.InsertLines(s.y1 + 1, std::move(pieces));

    const bool inside = (line_ > s.y1 || (line_ == s.y1 && column_ >= s.x1)) &&
                        (line_ < s.y2 || (line_ == s.y2 && column_ < s.x2));
    if (inside) {
        column_ = s.x1;
        line_ = s.y1;
    } else if (line_ == s.y2) {
        const int32_t joined = s.x1 + column_ - s.x2;
        line_ = s.y1 + (joined - 1) / kMaxColumn;
        column_ = (joined - 1) % kMaxColumn + 1;
    } else if (line_ > s.y2) {
        line_ -= s.y2 - s.y1 - spilled;
    }
    ClampCursor();
    lines_.EventsEnabled = eventsWere;
    TextChanged();
    if (redraw)
        RedrawAll();
}

void TextEditCore::InsertText(bool fromClipboard, std::string text, bool select)
{
    if (fromClipboard)
        text = clipboard_.GetText();
    if (text.size() > kMaxPaste)
        text.resize(kMaxPaste);
    const size_t lineEnds = MakeCrLf(text);
    if (text.empty())
        return;
    port_.HideCaret();
    const bool eventsWere = lines_.EventsEnabled;
    lines_.EventsEnabled = false;
    SpillLongLine(line_);
    selection_ = TextSelection{true, select, column_, line_, column_, line_};

    const std::string padded = PaddedLine(line_, column_ - 1);
    const std::string tail = From(padded, column_);
    size_t lastPieces = 0;
    int32_t endColumn = 1;
    // Cuts the part of text from start to end (npos: the last part) into
    // lines, the cursor's tail behind the last part.
    auto addPart = [&](size_t start, size_t end, std::string part, std::vector<std::string>& out) {
        part.append(text, start, end == std::string::npos ? std::string::npos : end - start);
        if (end == std::string::npos) {
            endColumn = static_cast<int32_t>(part.size()) + 1;
            part += tail;
        }
        lastPieces = WrapLongLine(std::move(part), out);
    };
    const size_t firstEnd = text.find("\r\n");
    std::vector<std::string> head;
    addPart(0, firstEnd, First(padded, column_ - 1), head);
    const int32_t firstLine = line_;
    PutLine(firstLine, head.front());
    size_t added = 0;
    ++edits_;
    lines_.InsertLinesBy(firstLine + 1, lineEnds + head.size(),
                         [&](std::vector<std::string>& out) {
                             const size_t before = out.size();
                             std::move(head.begin() + 1, head.end(), std::back_inserter(out));
                             for (size_t start = firstEnd; start != std::string::npos;) {
                                 start += 2;
                                 const size_t end = text.find("\r\n", start);
                                 addPart(start, end, std::string(), out);
                                 start = end;
                             }
                             added = out.size() - before;
                         });
    MoveCornersBelow(firstLine + 1, static_cast<int32_t>(added));
    const auto lastStart = static_cast<int32_t>(added + 1 - lastPieces);

    // The cursor stays behind the inserted text, in the piece it fell into.
    const int32_t piece = (endColumn - 1) / kMaxColumn;
    if (piece < static_cast<int32_t>(lastPieces)) {
        line_ = firstLine + lastStart + piece;
        column_ = (endColumn - 1) % kMaxColumn + 1;
    } else {
        line_ = firstLine + lastStart + static_cast<int32_t>(lastPieces) - 1;
        column_ = kMaxColumn;
    }
    selection_.x2 = column_;
    selection_.y2 = line_;
    RedrawAll();
    lines_.EventsEnabled = eventsWere;
    TextChanged();
    port_.ShowCaret();
    port_.CursorMoved();
}

void TextEditCore::AppendText(const std::string& text)
{
    const int32_t firstNew = lines_.Count();
    std::string rest = text;
    while (rest.size() > static_cast<size_t>(kMaxColumn)) {
        const size_t blank = rest.rfind(' ', kMaxColumn);
        const size_t cut = blank == std::string::npos ? kMaxColumn : blank + 1;
        lines_.Add(TrimRightControls(rest.substr(0, cut)));
        rest.erase(0, cut);
    }
    if (!rest.empty())
        lines_.Add(rest);
    port_.TextLaidOut();
    if (port_.Visible())
        Redraw(1, std::min(firstNew, LastLine()), LastLine(), kMaxColumn);
}

void TextEditCore::SetSelection(const TextSelection& selection)
{
    const TextSelection old = selection_;
    selection_ = selection;
    if (old.present && old.active)
        RedrawSelectionLines(old);
    if (selection_.present && selection_.active)
        RedrawSelectionLines(selection_);
}

void TextEditCore::RedrawLines(int32_t firstLine, int32_t lastLine)
{
    Redraw(1, std::clamp(firstLine, 0, LastLine()), std::clamp(lastLine, 0, LastLine()), kMaxColumn);
}

// --- syntax colours ---

CharState TextEditCore::LineSyntaxState(int32_t line) const
{
    CharState state;
    if (line < 0 || !syntaxDisplay_ || line > LastLine())
        return state;
    for (int32_t l = line; l >= 0; --l) {
        const std::string& t = lines_.Get(l);
        if (t.find_first_of("{}") == std::string::npos)
            continue;
        if (Position(t, '}') < Position(t, '{')) {
            state.state = kCommentState;
            state.text = kCommentColour;
        }
        break;
    }
    if (state.state != kPlainState)
        return state;
    for (int32_t l = line; l >= 0; --l) {
        const std::string& t = lines_.Get(l);
        if (t.find_first_of("[]") == std::string::npos)
            continue;
        if (Position(t, ']') < Position(t, '['))
            state.state = kSectionState;
        break;
    }
    return state;
}

void TextEditCore::CharColour(unsigned char c, int32_t column, int32_t line, CharState& state)
{
    if (previousChar_ == '}')
        state = CharState{kWindowColour, kWindowTextColour, kAfterBracketState, false};
    previousChar_ = c;
    state.selected = false;
    if (syntaxDisplay_) {
        if (c == '[' && state.state != kCommentState) {
            state = CharState{kWindowColour, kWindowTextColour, kSectionState, false};
        } else if (c == ']' && state.state != kCommentState) {
            state = CharState{kWindowColour, kWindowTextColour, kAfterBracketState, false};
        } else if (c == '{') {
            state = CharState{kWindowColour, kCommentColour, kCommentState, false};
        } else if (state.state == kSectionState) {
            const size_t p = symbolText_.find(static_cast<char>(c));
            if (p != std::string::npos && p < symbolColours_.size()) {
                state.background = TextColour{ColourRole::Rgb, symbolColours_[p].background};
                state.text = TextColour{ColourRole::Rgb, symbolColours_[p].ink};
            } else {
                state.background = kWindowColour;
                state.text = kWindowTextColour;
            }
        }
    }
    const TextSelection& s = selection_;
    if (s.present && s.active)
        state.selected = (line > s.y1 && line < s.y2) ||
                         (line == s.y1 && line == s.y2 && column >= s.x1 && column < s.x2) ||
                         (line == s.y1 && s.y1 < s.y2 && column >= s.x1) ||
                         (line == s.y2 && s.y2 > s.y1 && column < s.x2);
}

std::vector<TextRun> TextEditCore::RowRuns(int32_t line, int32_t firstColumn, int32_t columns, CharState& state)
{
    std::string row = line >= 0 && line <= LastLine() ? lines_.Get(line) : std::string();
    if (row.size() > kDrawnChars)
        row.resize(kDrawnChars);
    auto at = [&row](int32_t column) {
        const auto i = static_cast<size_t>(column - 1);
        return i < row.size() ? static_cast<unsigned char>(row[i]) : static_cast<unsigned char>(' ');
    };
    const int32_t shownFrom = std::clamp<int32_t>(firstColumn, 1, kDrawnChars + 1);
    for (int32_t col = 1; col < shownFrom; ++col)
        CharColour(at(col), col, line, state);
    std::vector<TextRun> runs;
    for (int32_t i = 0; i < columns; ++i) {
        const int32_t col = shownFrom + i;
        const unsigned char c = at(col);
        CharColour(c, col, line, state);
        if (runs.empty() || !(runs.back().colours == state))
            runs.push_back(TextRun{i, {}, state});
        runs.back().text += static_cast<char>(c);
    }
    const auto lastText = static_cast<int32_t>(TrimRightControls(row).size());
    for (int32_t col = shownFrom + columns; col <= lastText; ++col)
        CharColour(at(col), col, line, state);
    return runs;
}
