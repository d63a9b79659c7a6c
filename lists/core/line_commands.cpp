// Marking whole lines and the line commands of the edit menu. The window
// never knows a line's layout: the lines travel through the editor's line
// exchange as byte images of its line size.
#include <algorithm>

#include "lists/core/list_window_core.h"

namespace {
// The block keeps its line count in two bytes, high byte first; a list
// holds at most 20,000 lines, so any range fits.
constexpr std::size_t kCountBytes = 2;
}  // namespace

void ListWindowCore::SetLineExchange(std::size_t lineSize, LineExchange exchange)
{
    lineSize_ = lineSize;
    lineExchange_ = std::move(exchange);
}

void ListWindowCore::MarkLine(int row, int direction)
{
    const int line = ZeileOffset_ + row + direction - 1;
    if (line < 1 || line > ZeilenAnzahl_ || !lineExchange_)
        return;
    const MarkedRange before = range_;
    if (shownRecord_ != range_.record)
        range_ = {};
    MarkedRange& r = range_;
    if (r.first == 0) {
        r.first = r.last = line;
    } else {
        if (line == r.first && r.first == r.last)
            r = {};
        else if (line == r.first + 1 && direction == 1 && lastDirection_ == -1)
            r.first = std::min(r.first + 2, r.last);
        else if (line == r.last - 1 && direction == -1 && lastDirection_ == 1)
            r.last = std::max(r.last - 2, r.first);
        else if (line == r.first && r.first != r.last)
            ++r.first;
        else if (line == r.first - 1)
            --r.first;
        else if (line == r.last)
            --r.last;
        else if (line == r.last + 1)
            ++r.last;
        else
            r.first = r.last = line;
        if (r.first > r.last)
            std::swap(r.first, r.last);
        lastDirection_ = direction;
    }
    r.record = shownRecord_;
    BindEditMenu(false, false);
    if (r.first != before.first || r.last != before.last)
        ColourAllRows();
}

bool ListWindowCore::LineCommand(int key)
{
    const bool ranged = range_.first > 0;
    switch (key) {
    case kCmdCut:
    case kCmdCopy:
    case kCmdDelete:
    case kCmdClearSelection:
        if (!ranged)
            return false;
        break;
    case kCmdPaste:
    case kCmdSelectAll:
        break;
    default:
        return false;
    }
    if (!lineExchange_)
        return true;
    // A cell edited before the command is stored first, so the command
    // works on what the user sees.
    Commit();
    RemoveCaret();
    switch (key) {
    case kCmdCut:
    case kCmdCopy:
        CopyRange(key == kCmdCut);
        break;
    case kCmdPaste:
        PasteBlock();
        break;
    case kCmdDelete:
        DeleteRange();
        break;
    case kCmdSelectAll:
        range_ = {1, ZeilenAnzahl_, shownRecord_};
        BindEditMenu(false, false);
        ColourAllRows();
        CursorColouring();
        break;
    case kCmdClearSelection:
        range_ = {};
        ColourAllRows();
        break;
    }
    BindEditMenu(false, false);
    // A command from the main window's menu leaves the list window active,
    // which shows its page again.
    host_.ActivateWindow();
    if (CursorCellValid())
        host_.FocusCell(Zeile_, CursorColumn());
    return true;
}

// Read from the last line to the first: a cut that deletes continuation
// lines of an index list then never moves a line not yet read.
void ListWindowCore::CopyRange(bool cut)
{
    const int count = range_.last - range_.first + 1;
    std::vector<std::vector<uint8_t>> lines(static_cast<std::size_t>(count));
    for (int i = count - 1; i >= 0; --i) {
        const int line = range_.first + i;
        lineExchange_(LineOp::ReadLine, range_.record, line, lines[static_cast<std::size_t>(i)]);
        if (cut) {
            std::vector<uint8_t> none;
            lineExchange_(LineOp::ClearLine, range_.record, line, none);
        }
    }
    std::vector<uint8_t> block{static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count & 0xff)};
    for (const std::vector<uint8_t>& l : lines)
        block.insert(block.end(), l.begin(), l.end());
    lineExchange_(LineOp::SetClipboard, 0, 0, block);
    clipboardFlag_ = true;
    if (cut)
        ShowChangedLines();
}

// Each line image is taken whole or not at all: a block shorter than it
// says ends the paste, and a line the editor declines still uses its bytes.
void ListWindowCore::PasteBlock()
{
    std::vector<uint8_t> block;
    lineExchange_(LineOp::GetClipboard, 0, 0, block);
    if (block.size() < kCountBytes || lineSize_ == 0)
        return;
    const int count = block[0] << 8 | block[1];
    std::size_t at = kCountBytes;
    const int cursorLine = CursorLine();
    for (int i = 0; i < count && at + lineSize_ <= block.size(); ++i, at += lineSize_) {
        const int target = cursorLine + i;
        if (target > ZeilenAnzahl_ && !appendRow_)
            continue;
        std::vector<uint8_t> image(block.begin() + static_cast<std::ptrdiff_t>(at),
                                   block.begin() + static_cast<std::ptrdiff_t>(at + lineSize_));
        lineExchange_(LineOp::StoreLine, shownRecord_, target, image);
    }
    ShowChangedLines();
}

// From the last line to the first, so that a line an index list deletes
// never moves one below the range into it.
void ListWindowCore::DeleteRange()
{
    for (int line = range_.last; line >= range_.first; --line) {
        std::vector<uint8_t> none;
        lineExchange_(LineOp::ClearLine, range_.record, line, none);
    }
    ShowChangedLines();
}

EditMenuBinding ListWindowCore::EditBinding(bool release) const
{
    EditMenuBinding b;
    if (release)
        return b;
    if (clipboardFlag_)
        b.paste = kCmdPaste;
    if (range_.first > 0) {
        b.cut = kCmdCut;
        b.copy = kCmdCopy;
        b.remove = kCmdDelete;
        b.clearSelection = kCmdClearSelection;
    }
    if (lineExchange_)
        b.selectAll = kCmdSelectAll;
    return b;
}

void ListWindowCore::BindEditMenu(bool release, bool hide)
{
    host_.ApplyEditBinding(EditBinding(release), release, hide);
}

// The page shows the new lines (and with them the new line count), then
// the rows are laid out again for that count.
void ListWindowCore::ShowChangedLines()
{
    ShowPage();
    FormResize();
}
