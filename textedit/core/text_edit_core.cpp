#include "textedit/core/text_edit_core.h"

#include <algorithm>
#include <utility>

#include "kernel/language/language.h"
#include "textedit/core/text_words.h"

namespace {

bool IsBracket(unsigned char c)
{
    return c == '[' || c == ']' || c == '{' || c == '}';
}

bool IsNavigationKey(int key)
{
    return key == TextKey::Tab || key == TextKey::Escape || (key >= TextKey::Prior && key <= TextKey::Down);
}

} // namespace

size_t WrapLongLine(std::string text, std::vector<std::string>& out)
{
    constexpr size_t width = TextEditCore::kMaxColumn;
    if (text.size() <= width) {
        size_t end = text.size();
        while (end > 0 && static_cast<unsigned char>(text[end - 1]) < 33)
            --end;
        text.resize(end);
        out.push_back(std::move(text));
        return 1;
    }
    size_t pieces = 0;
    for (size_t p = 0; p < text.size(); p += width, ++pieces)
        out.push_back(TrimRightControls(text.substr(p, width)));
    return pieces;
}

TextEditCore::TextEditCore(TextViewPort& port, TextClipboard& clipboard) : port_(port), clipboard_(clipboard)
{
    lines_.OnTextChange = [this] { TextChanged(); };
    lines_.OnModifiedChange = [this](bool modified) { port_.ModifiedChanged(modified); };
    lines_.Clear();
    // A new store starts modified; the status shows it from the start.
    port_.ModifiedChanged(lines_.Modified());
}

const std::array<std::string, 3>& TextEditCore::ModeTexts()
{
    // "Einfügen" alone is the Edit menu's word, which English calls Paste:
    // the typing mode has a key of its own, shown as "Einfügen" in German.
    static std::array<std::string, 3> texts;
    // Looked up again only when the phrases were loaded anew (another language).
    static std::uint32_t generation = 0;
    static bool made = false;
    if (!made || generation != PhraseListGeneration()) {
        texts = {F_TRANS("Überschreiben"), F_TRANSKEY("Einfügen (Schreibmodus)", "Einfügen"), F_TRANS("Nur lesen")};
        generation = PhraseListGeneration();
        made = true;
    }
    return texts;
}

std::string TextEditCore::CursorText() const
{
    return std::to_string(column_) + ":" + std::to_string(line_ + 1);
}

std::string TextEditCore::ModeText() const
{
    return ModeTexts()[readOnly_ ? 2 : (insertMode_ ? 1 : 0)];
}

void TextEditCore::SetReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    if (readOnly)
        insertMode_ = false;
    port_.ModeChanged();
}

void TextEditCore::ClampCursor()
{
    line_ = std::clamp(line_, 0, LastLine());
    column_ = std::clamp(column_, 1, kMaxColumn);
}

void TextEditCore::SetTextCursor(int32_t column, int32_t line)
{
    column = std::clamp(column, 1, kMaxColumn);
    line = std::clamp(line, 0, LastLine());
    if (column == column_ && line == line_)
        return;
    port_.HideCaret();
    column_ = column;
    line_ = line;
    ScrollCursorIntoView();
    port_.ShowCaret();
    port_.CursorMoved();
}

// --- edits ---

void TextEditCore::PutLine(int32_t line, const std::string& text)
{
    ++edits_;
    lines_.Put(line, text);
}

void TextEditCore::InsertLines(int32_t at, std::vector<std::string> lines, size_t from)
{
    if (lines.size() <= from)
        return;
    ++edits_;
    const auto n = static_cast<int32_t>(lines.size() - from);
    lines_.InsertLines(at, std::move(lines), from);
    MoveCornersBelow(at, n);
}

void TextEditCore::DeleteLine(int32_t line)
{
    ++edits_;
    lines_.Delete(line);
}

void TextEditCore::DeleteLines(int32_t line, int32_t count)
{
    ++edits_;
    lines_.DeleteLines(line, count);
}

std::string TextEditCore::PaddedLine(int32_t line, int32_t length) const
{
    std::string t = lines_.Get(line);
    if (static_cast<int32_t>(t.size()) < length)
        t.resize(static_cast<size_t>(length), ' ');
    return t;
}

void TextEditCore::SpillLongLine(int32_t line)
{
    if (lines_.Get(line).size() <= static_cast<size_t>(kMaxColumn))
        return;
    std::vector<std::string> pieces;
    WrapLongLine(lines_.Get(line), pieces);
    PutLine(line, pieces.front());
    pieces.erase(pieces.begin());
    InsertLines(line + 1, std::move(pieces));
}

void TextEditCore::CapCursorLine()
{
    const std::string& t = lines_.Get(line_);
    if (t.size() > static_cast<size_t>(kMaxColumn))
        PutLine(line_, t.substr(0, kMaxColumn));
}

// --- selection corners ---

void TextEditCore::ShiftSelectionColumns(int32_t column, int32_t line, int32_t delta)
{
    auto shift = [&](int32_t& x, int32_t y) {
        if (y == line && x >= column)
            x = std::clamp(x + delta, 1, kMaxColumn);
    };
    shift(selection_.x1, selection_.y1);
    shift(selection_.x2, selection_.y2);
}

void TextEditCore::JoinSelectionCorners(int32_t line, int32_t column)
{
    auto join = [&](int32_t& x, int32_t& y) {
        if (y == line + 1) {
            y = line;
            x = std::min(kMaxColumn, x + column - 1);
        } else if (y > line + 1) {
            --y;
        } else if (y == line) {
            x = std::min(x, column);
        }
    };
    join(selection_.x1, selection_.y1);
    join(selection_.x2, selection_.y2);
}

void TextEditCore::SplitSelectionCorners(int32_t column, int32_t line, int32_t newColumn)
{
    auto split = [&](int32_t& x, int32_t& y) {
        if (y > line) {
            ++y;
        } else if (y == line && x >= column) {
            ++y;
            x = newColumn + x - column;
        }
    };
    split(selection_.x1, selection_.y1);
    split(selection_.x2, selection_.y2);
}

void TextEditCore::MoveCornersBelow(int32_t line, int32_t delta)
{
    if (selection_.y1 >= line)
        selection_.y1 += delta;
    if (selection_.y2 >= line)
        selection_.y2 += delta;
}

void TextEditCore::DropEmptySelection()
{
    if (selection_.x1 == selection_.x2 && selection_.y1 == selection_.y2)
        selection_.present = selection_.active = false;
}

bool TextEditCore::SelectionInText() const
{
    const int32_t last = LastLine();
    return selection_.y1 >= 0 && selection_.y2 >= 0 && selection_.y1 <= last && selection_.y2 <= last;
}

void TextEditCore::RedrawSelectionLines(const TextSelection& s)
{
    if (s.y1 == s.y2)
        Redraw(std::min(s.x1, s.x2), s.y1, s.y2, std::max(s.x1, s.x2));
    else
        Redraw(1, std::min(s.y1, s.y2), std::max(s.y1, s.y2), kMaxColumn);
}

void TextEditCore::DeactivateSelection()
{
    if (!selection_.active)
        return;
    selection_.active = false;
    RedrawSelectionLines(selection_);
}

void TextEditCore::ExtendSelection(bool shift, int32_t prevColumn, int32_t prevLine)
{
    if (!shift)
        return;
    const TextSelection old = selection_;
    TextSelection& s = selection_;
    if (s.present && s.active && prevColumn == s.x1 && prevLine == s.y1) {
        s.x1 = column_;
        s.y1 = line_;
    } else if (s.present && s.active && prevColumn == s.x2 && prevLine == s.y2) {
        s.x2 = column_;
        s.y2 = line_;
    } else {
        s = TextSelection{true, true, prevColumn, prevLine, column_, line_};
    }
    if (s.y1 == s.y2 && s.x1 > s.x2)
        std::swap(s.x1, s.x2);
    if (s.y2 < s.y1) {
        std::swap(s.x1, s.x2);
        std::swap(s.y1, s.y2);
    }
    DropEmptySelection();

    TextSelection covered = old.present && old.active ? old : TextSelection{true, true, column_, line_, prevColumn,
                                                                             prevLine};
    const int32_t top = std::min({covered.y1, covered.y2, s.y1, s.y2, line_});
    const int32_t bottom = std::max({covered.y1, covered.y2, s.y1, s.y2, line_});
    if (top == bottom)
        Redraw(std::min({covered.x1, covered.x2, s.x1, s.x2, column_}), top, bottom,
               std::max({covered.x1, covered.x2, s.x1, s.x2, column_}));
    else
        Redraw(1, top, bottom, kMaxColumn);
}

// --- redraws ---

void TextEditCore::Redraw(int32_t firstColumn, int32_t firstLine, int32_t lastLine, int32_t lastColumn)
{
    port_.RedrawTextRows(firstColumn, firstLine, lastLine, lastColumn);
}

void TextEditCore::RedrawToEnd(int32_t line)
{
    Redraw(1, line, LastLine(), kMaxColumn);
}

// --- the key table ---

bool TextEditCore::ClaimsKey(int key, KeyModifiers mods) const
{
    switch (key) {
    case TextKey::Tab:
        return !mods.alt;
    case TextKey::Insert:
        return !mods.alt && !readOnly_ && !(mods.ctrl && mods.shift);
    case TextKey::Delete:
        return !mods.alt && !readOnly_ && !mods.ctrl;
    case TextKey::Y:
        return mods.ctrl && !readOnly_;
    default:
        return IsNavigationKey(key);
    }
}

bool TextEditCore::KeyDown(int key, KeyModifiers mods)
{
    if (!ClaimsKey(key, mods))
        return false;
    const int32_t prevColumn = column_;
    const int32_t prevLine = line_;
    const uint64_t editsBefore = edits_;
    port_.HideCaret();
    if (!mods.shift && IsNavigationKey(key))
        DeactivateSelection();

    if (key >= TextKey::Prior && key <= TextKey::Down) {
        Navigate(key, mods);
        ClampCursor();
        ScrollCursorIntoView();
        ExtendSelection(mods.shift, prevColumn, prevLine);
    } else if (key == TextKey::Tab) {
        AlignTab(mods.ctrl);
    } else if (key == TextKey::Escape) {
        port_.EscapePressed();
    } else if (key == TextKey::Insert && mods.shift) {
        DeleteSelection(true);
        InsertText(true, {}, false);
    } else if (key == TextKey::Insert && mods.ctrl) {
        if (selection_.present && selection_.active)
            GetSelectionText(true);
    } else if (key == TextKey::Insert) {
        insertMode_ = !insertMode_;
        port_.ModeChanged();
    } else if (key == TextKey::Delete && mods.shift) {
        if (selection_.present && selection_.active) {
            GetSelectionText(true);
            DeleteSelection(true);
        }
    } else if (key == TextKey::Delete) {
        DeleteKey();
    } else if (key == TextKey::Y) {
        DeleteCursorLine();
    }
    FinishEdit(prevColumn, prevLine, editsBefore);
    return true;
}

void TextEditCore::FinishEdit(int32_t prevColumn, int32_t prevLine, uint64_t editsBefore)
{
    ClampCursor();
    // Only a line the key changed is cut: moving onto a long line from a
    // file must not lose its end.
    if (edits_ != editsBefore)
        CapCursorLine();
    port_.ShowCaret();
    if (column_ != prevColumn || line_ != prevLine)
        port_.CursorMoved();
}

bool TextEditCore::Navigate(int key, KeyModifiers mods)
{
    const TextViewGeometry g = port_.Geometry();
    const int32_t last = LastLine();
    switch (key) {
    case TextKey::Prior:
        PageUp(mods.ctrl);
        break;
    case TextKey::Next:
        PageDown(mods.ctrl);
        break;
    case TextKey::End:
        if (mods.ctrl)
            line_ = last;
        column_ = std::min<int32_t>(static_cast<int32_t>(TrimRightControls(lines_.Get(line_)).size()) + 1,
                                    kMaxColumn);
        break;
    case TextKey::Home:
        column_ = 1;
        if (mods.ctrl)
            line_ = 0;
        break;
    case TextKey::Left:
        column_ = mods.ctrl ? WordLeft(lines_.Get(line_), column_) : std::max(1, column_ - 1);
        break;
    case TextKey::Right:
        column_ = mods.ctrl ? WordRight(lines_.Get(line_), column_) : std::min(kMaxColumn, column_ + 1);
        break;
    case TextKey::Up:
        if (mods.ctrl && line_ > 0) {
            line_ = std::max(0, std::min(last - 2, line_ - 1));
            port_.SetTopLine(std::max(g.vertMin, g.topLine - 1));
        } else if (!mods.ctrl && line_ > 0) {
            --line_;
        }
        break;
    case TextKey::Down:
        if (mods.ctrl && line_ < last) {
            line_ = std::min(last, std::max(2, line_ + 1));
            port_.SetTopLine(std::min(g.vertMax, g.topLine + 1));
        } else if (!mods.ctrl && line_ < last) {
            ++line_;
        }
        break;
    default:
        return false;
    }
    return true;
}

void TextEditCore::PageUp(bool ctrl)
{
    if (ctrl) {
        column_ = 1;
        line_ = 0;
        return;
    }
    if (line_ == 0)
        return;
    const TextViewGeometry g = port_.Geometry();
    if (line_ == LastLine())
        --line_;
    line_ = std::max(0, line_ - g.pageStep);
    port_.SetTopLine(std::max(g.vertMin, g.topLine - g.pageStep));
}

void TextEditCore::PageDown(bool ctrl)
{
    const int32_t last = LastLine();
    if (ctrl) {
        line_ = last;
        column_ = std::min<int32_t>(static_cast<int32_t>(lines_.Get(last).size()) + 1, kMaxColumn);
        return;
    }
    if (line_ == last)
        return;
    const TextViewGeometry g = port_.Geometry();
    if (line_ == 0)
        line_ = 1;
    line_ = std::min(last, line_ + g.pageStep);
    port_.SetTopLine(std::min(g.vertMax, g.topLine + g.pageStep));
}

void TextEditCore::AlignTab(bool backward)
{
    int32_t target = column_;
    if (backward) {
        int32_t reference = -1;
        for (int32_t l = line_ - 1; l >= 1 && reference < 0; --l) {
            const std::string& t = lines_.Get(l);
            const size_t leading = t.find_first_not_of(' ');
            if (!IsBlankLine(t) && leading <= static_cast<size_t>(column_))
                reference = l;
        }
        if (reference < 0 && line_ >= 2)
            reference = 1;
        if (reference >= 0)
            target = BackwardTabTarget(lines_.Get(reference), column_);
    } else {
        for (int32_t l = line_ - 1; l >= 1; --l) {
            const std::string t = TrimRightControls(lines_.Get(l));
            if (static_cast<int32_t>(t.size()) > column_) {
                target = ForwardTabTarget(t, column_);
                break;
            }
        }
    }
    target = std::clamp(target, 1, kMaxColumn);
    if (target == column_)
        return;
    if (insertMode_ && !readOnly_ && target > column_) {
        SpillLongLine(line_);
        std::string t = PaddedLine(line_, column_ - 1);
        t.insert(static_cast<size_t>(column_ - 1), static_cast<size_t>(target - column_), ' ');
        PutLine(line_, t);
        ShiftSelectionColumns(column_, line_, target - column_);
        Redraw(column_, line_, line_, kMaxColumn);
    }
    column_ = target;
    ScrollCursorIntoView();
}

void TextEditCore::DeleteKey()
{
    if (selection_.present && selection_.active) {
        DeleteSelection(true);
        return;
    }
    SpillLongLine(line_);
    const std::string trimmed = TrimRightControls(lines_.Get(line_));
    if (column_ <= static_cast<int32_t>(trimmed.size())) {
        std::string t = lines_.Get(line_);
        const auto removed = static_cast<unsigned char>(t[static_cast<size_t>(column_ - 1)]);
        t.erase(static_cast<size_t>(column_ - 1), 1);
        PutLine(line_, t);
        ShiftSelectionColumns(column_ + 1, line_, -1);
        AfterLineEdit(removed, column_);
        return;
    }
    if (line_ >= LastLine())
        return;
    std::string joined = trimmed;
    joined.resize(static_cast<size_t>(column_ - 1), ' ');
    joined += lines_.Get(line_ + 1);
    JoinSelectionCorners(line_, column_);
    PutLine(line_, joined);
    DeleteLine(line_ + 1);
    SpillLongLine(line_);
    RedrawToEnd(line_);
}

void TextEditCore::DeleteCursorLine()
{
    TextSelection& s = selection_;
    if (s.y1 == line_ && s.y2 == line_) {
        s.present = s.active = false;
    } else {
        for (auto [x, y] : {std::pair<int32_t*, int32_t*>{&s.x1, &s.y1}, {&s.x2, &s.y2}}) {
            if (*y == line_)
                *x = 1;
            else if (*y > line_)
                --*y;
        }
    }
    DeleteLine(line_);
    line_ = std::min(line_, LastLine());
    s.active = false;
    RedrawToEnd(line_);
}

// --- character input ---

void TextEditCore::HandleKey(uint8_t c)
{
    if (readOnly_)
        return;
    // Control codes would break the file and the compiler's input.
    if ((c < 32 && c != 8 && c != 13) || c == 127)
        return;
    const int32_t prevColumn = column_;
    const int32_t prevLine = line_;
    const uint64_t editsBefore = edits_;
    port_.HideCaret();
    if (c == 8)
        Backspace();
    else if (c == 13)
        Enter();
    else
        Type(c);
    if (selection_.present)
        DropEmptySelection();
    FinishEdit(prevColumn, prevLine, editsBefore);
}

void TextEditCore::AfterLineEdit(unsigned char changed, int32_t fromColumn)
{
    if (syntaxDisplay_ && IsBracket(changed))
        RedrawToEnd(line_);
    else
        Redraw(fromColumn, line_, line_, kMaxColumn);
}

void TextEditCore::Backspace()
{
    if (selection_.present && selection_.active) {
        DeleteSelection(true);
        return;
    }
    if (column_ == 1) {
        if (line_ == 0)
            return;
        const int32_t above = line_ - 1;
        const std::string head = TrimRightControls(lines_.Get(above));
        const int32_t joinColumn = static_cast<int32_t>(head.size()) + 1;
        JoinSelectionCorners(above, joinColumn);
        PutLine(above, head + lines_.Get(line_));
        DeleteLine(line_);
        SpillLongLine(above);
        line_ = above;
        column_ = std::min(joinColumn, kMaxColumn);
        RedrawToEnd(above);
        return;
    }
    SpillLongLine(line_);
    std::string t = PaddedLine(line_, column_ - 1);
    const auto removed = static_cast<unsigned char>(t[static_cast<size_t>(column_ - 2)]);
    t.erase(static_cast<size_t>(column_ - 2), 1);
    PutLine(line_, t);
    ShiftSelectionColumns(column_, line_, -1);
    --column_;
    AfterLineEdit(removed, column_);
}

void TextEditCore::Enter()
{
    if (selection_.present && selection_.active)
        DeleteSelection(true);
    SpillLongLine(line_);
    const std::string t = lines_.Get(line_);
    // On a blank line the text starts after its blanks.
    const size_t firstText = t.find_first_not_of(' ');
    const int32_t textColumn = static_cast<int32_t>(firstText == std::string::npos ? t.size() : firstText) + 1;
    const int32_t newColumn = std::min(column_, textColumn);
    if (!insertMode_) {
        if (line_ < LastLine())
            ++line_;
        column_ = newColumn;
        return;
    }
    const std::string padded = PaddedLine(line_, column_ - 1);
    const std::string left = padded.substr(0, static_cast<size_t>(column_ - 1));
    const std::string right = padded.substr(static_cast<size_t>(column_ - 1));
    const int32_t oldLine = line_;
    PutLine(line_, left);
    ++edits_;
    lines_.Insert(line_ + 1, std::string(static_cast<size_t>(newColumn - 1), ' ') + right);
    SplitSelectionCorners(column_, line_, newColumn);
    line_ = oldLine + 1;
    column_ = newColumn;
    RedrawToEnd(oldLine);
}

void TextEditCore::Type(unsigned char c)
{
    int32_t redrawFrom = column_;
    if (selection_.present && selection_.active) {
        redrawFrom = selection_.x1;
        DeleteSelection(true);
        redrawFrom = std::min(redrawFrom, column_);
    }
    SpillLongLine(line_);
    std::string t = PaddedLine(line_, column_ - 1);
    const auto at = static_cast<size_t>(column_ - 1);
    unsigned char changed = c;
    if (insertMode_) {
        t.insert(at, 1, static_cast<char>(c));
        ShiftSelectionColumns(column_ + 1, line_, 1);
    } else if (at < t.size()) {
        changed = IsBracket(static_cast<unsigned char>(t[at])) ? static_cast<unsigned char>(t[at]) : c;
        t[at] = static_cast<char>(c);
    } else {
        t += static_cast<char>(c);
    }
    PutLine(line_, t);
    column_ = std::min(column_ + 1, kMaxColumn);
    AfterLineEdit(changed, redrawFrom);
}

// --- mouse ---

void TextEditCore::MouseCell(int32_t cellColumn, int32_t cellRow, bool first)
{
    const int32_t prevColumn = column_;
    const int32_t prevLine = line_;
    const int32_t count = lines_.Count();
    const int32_t rows = port_.Geometry().rows;
    port_.HideCaret();
    column_ = std::clamp(cellColumn, 1, kMaxColumn);
    line_ = count < rows ? std::min(count - 1, rows - cellRow) : count - cellRow;
    ClampCursor();
    if (first)
        DeactivateSelection();
    else if (column_ != prevColumn || line_ != prevLine)
        ExtendSelection(true, prevColumn, prevLine);
    port_.ShowCaret();
    port_.CursorMoved();
}

// --- layout ---

void TextEditCore::TextChanged()
{
    // Also while hidden: an outside Clear or a shorter reload must not
    // leave the cursor or the selection beyond the text.
    line_ = std::clamp(line_, 0, LastLine());
    if (selection_.present && !SelectionInText())
        selection_ = TextSelection{};
    port_.TextLaidOut();
    if (!port_.Visible())
        return;
    ScrollCursorIntoView();
    RedrawAll();
}

void TextEditCore::ScrollCursorIntoView()
{
    const TextViewGeometry g = port_.Geometry();
    const int32_t f = g.firstColumn;
    const int32_t w = g.columns;
    int32_t first = f;
    if (f < column_ && column_ >= f + w - 1) {
        first = std::min(g.horzMax - w + 1, f + w * 25 / 100);
        if (column_ >= first + w - 1)
            first = column_ - w + 1;
    } else if (column_ <= f) {
        first = std::max(g.horzMin, column_ - 1);
    }
    if (first != f)
        port_.SetFirstColumn(first);

    const int32_t v = g.rows;
    const int32_t bottom = g.topLine + v - 1;
    int32_t top = g.topLine;
    if (line_ < bottom && line_ <= bottom - v + 1)
        top = line_ - 1;
    else if (line_ >= bottom)
        top = line_ - v + 2;
    top = std::clamp(top, g.vertMin, std::max(g.vertMin, g.vertMax));
    if (top != g.topLine)
        port_.SetTopLine(top);
}
