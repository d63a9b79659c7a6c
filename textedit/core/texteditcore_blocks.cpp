// The block operations, appending and the syntax colours of TextEditCore.
#include <algorithm>
#include <utility>

#include "textedit/core/texteditcore.h"

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

// True when every line end is CR LF already.
bool OnlyCrLf(const std::string& text)
{
    const size_t n = text.size();
    for (size_t p = 0; p < n; ++p) {
        if (text[p] == '\n')
            return false;
        if (text[p] == '\r') {
            if (p + 1 >= n || text[p + 1] != '\n')
                return false;
            ++p;
        }
    }
    return true;
}

// Clipboards of other programs end lines with LF or a lone CR.
std::string WithCrLf(std::string text)
{
    if (OnlyCrLf(text))
        return text;
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    size_t start = 0;
    for (size_t p; (p = text.find_first_of("\r\n", start)) != std::string::npos; start = p + 1) {
        out.append(text, start, p - start);
        out += "\r\n";
        if (text[p] == '\r' && p + 1 < text.size() && text[p + 1] == '\n')
            ++p;
    }
    out.append(text, start, std::string::npos);
    return out;
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
    text = WithCrLf(std::move(text));
    if (text.empty())
        return;
    port_.HideCaret();
    const bool eventsWere = lines_.EventsEnabled;
    lines_.EventsEnabled = false;
    SpillLongLine(line_);
    selection_ = TextSelection{true, select, column_, line_, column_, line_};

    const std::string padded = PaddedLine(line_, column_ - 1);
    const std::string tail = From(padded, column_);
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 2);
    size_t lastPieces = 0;
    int32_t endColumn = 1;
    for (size_t start = 0;;) {
        const size_t end = text.find("\r\n", start);
        std::string part = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (start == 0)
            part.insert(0, First(padded, column_ - 1));
        if (end == std::string::npos) {
            endColumn = static_cast<int32_t>(part.size()) + 1;
            part += tail;
        }
        lastPieces = WrapLongLine(std::move(part), lines);
        if (end == std::string::npos)
            break;
        start = end + 2;
    }
    const auto lastStart = static_cast<int32_t>(lines.size() - lastPieces);
    const int32_t firstLine = line_;
    PutLine(firstLine, lines.front());
    InsertLines(firstLine + 1, std::move(lines), 1);

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
