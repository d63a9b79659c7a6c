#include "lists/core/list_window_core.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "kernel/language/language.h"
#include "kernel/services/services.h"
#include "lists/core/list_placement.h"
#include "lists/core/list_tools.h"

namespace {
// The editor's refresh and clear commands travel beside the characters.
constexpr char32_t kRefresh = 0xfffffffe;
constexpr char32_t kClear = 0xffffffff;

constexpr int kEscape = 27, kReturn = 13, kShift = 16, kInsert = 45, kDelete = 46;
constexpr int kPrior = 33, kNext = 34, kEnd = 35, kHome = 36;
constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kF4 = 115;

struct ColourEntry {
    uint32_t text;
    uint32_t background;
};
constexpr ColourEntry kColours[8] = {
    {ListWindowCore::kWindowText, 0xc0c0c0}, {0x808080, 0x00ffff},
    {0xffffff, 0x000080},                    {ListWindowCore::kWindowText, 0xffffff},
    {ListWindowCore::kWindowText, 0xe0e0e0}, {ListWindowCore::kWindowText, 0xffff00},
    {ListWindowCore::kWindowText, 0xffffff}, {ListWindowCore::kWindowText, 0xa0a0ff},
};

bool IsDigit(char32_t c)
{
    return c >= '0' && c <= '9';
}
char32_t Upper(char32_t c)
{
    return c >= 'a' && c <= 'z' ? c - 32 : c;
}
char32_t Lower(char32_t c)
{
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
}
std::u32string UpperText(std::u32string t)
{
    for (char32_t& c : t)
        c = Upper(c);
    return t;
}
// A position without a mask character counts as allowed.
bool MaskAllows(const std::string& mask, size_t i)
{
    return i >= mask.size() || mask[i] != '0';
}
}  // namespace

uint32_t ListWindowCore::TextColourOf(int index)
{
    return kColours[std::clamp(index, 0, 7)].text;
}
uint32_t ListWindowCore::BackgroundOf(int index)
{
    return kColours[std::clamp(index, 0, 7)].background;
}

ListWindowCore::ListWindowCore(ListWindowHost& host) : host_(host)
{
    grid_.OnLongTagChanged = [this](int row, int column) { FormatCell(row, column); };
    host_.ShowProgress(F_TRANS("Bitte warten"), 0);
}

// ---- construction ---------------------------------------------------------

void ListWindowCore::SetFormKey(const std::string& key)
{
    formKey_ = key;
    if (!key.empty())
        placement_ = host_.ReadPlacement(key);
}

void ListWindowCore::SetRows(int n)
{
    Rows_ = layoutMode_ == 2 ? std::max(Rows_, n) : 1;
}

void ListWindowCore::SetLineCount(int n)
{
    if (n == 0)
        appendRow_ = true;
    // An empty list counts as one line, so 0 meets a count of 1 as unchanged
    // and the cursor may rest on the append row of an empty list.
    if (std::max(1, n) == ZeilenAnzahl_)
        return;
    ZeilenAnzahl_ = std::max(1, n);
    scrollMax_ = ZeilenAnzahl_;
    if (CursorLine() > ZeilenAnzahl_ + (appendRow_ ? 1 : 0)) {
        ZeileOffset_ = 1;
        Zeile_ = 1;
    }
}

void ListWindowCore::CreateCells(int mode)
{
    layoutMode_ = mode;
}

void ListWindowCore::SetMargins(int left, int top, int rowGap)
{
    leftMargin_ = left;
    firstTop_ = top;
    rowGap_ = rowGap;
    nextX_ = left;
}

int ListWindowCore::DefineColumn(const ColumnDef& def)
{
    if (grid_.Columns() == 0)
        nextX_ = std::max(nextX_, leftMargin_);
    columnFonts_.push_back(static_cast<char>('0' + def.font));
    Cell cell;
    cell.width = def.width < 0 ? host_.TextWidth(def.widthMask, def.font) - def.width : def.width;
    cell.x = def.x < 0 ? nextX_ - def.x : def.x;
    cell.y = firstTop_ + def.top;
    cell.height = def.height;
    cell.text = def.caption;
    cell.hint = F_TRANS(def.hint);
    cell.bevel = def.bevel;
    cell.alignment = def.alignment;
    cell.font = def.font;
    cell.hidden = false;
    cell.field = def.noField ? 0 : FelderAnzahl() + 1;
    grid_.AddColumn(cell, rowGap_);
    nextX_ = cell.x + cell.width;
    host_.ShowProgress(F_TRANS("Bitte warten"), grid_.Columns());
    if (!def.createField)
        return grid_.Columns();
    EditField field;
    field.column = grid_.Columns();
    const int number = FelderAnzahl() + 1;
    field.right = field.left = field.up = field.down = number;
    fields_.push_back(field);
    dirty_ = true;
    return number;
}

void ListWindowCore::ComputeNeighbours()
{
    const int n = FelderAnzahl();
    auto cellOf = [this](int f) -> const Cell& { return grid_.At(1, Field(f).column); };
    for (int f = 1; f <= n; ++f) {
        const Cell& c = cellOf(f);
        EditField& field = Field(f);
        field.edgeBits = 0;
        int left = 0, right = 0, wrapLeft = 0, wrapRight = 0, up = 0, down = 0, lowest = 0,
            highest = 0;
        for (int g = 1; g <= n; ++g) {
            const Cell& o = cellOf(g);
            if (o.y == c.y) {
                if (g != f && o.x < c.x && (!left || o.x > cellOf(left).x))
                    left = g;
                if (g != f && o.x > c.x && (!right || o.x < cellOf(right).x))
                    right = g;
                if (!wrapLeft || o.x > cellOf(wrapLeft).x)
                    wrapLeft = g;
                if (!wrapRight || o.x < cellOf(wrapRight).x)
                    wrapRight = g;
            }
            if (!RangesOverlap(c.x, c.width, o.x, o.width))
                continue;
            if (o.y < c.y && (!up || o.y > cellOf(up).y))
                up = g;
            if (o.y > c.y && (!down || o.y < cellOf(down).y))
                down = g;
            if (!lowest || o.y > cellOf(lowest).y)
                lowest = g;
            if (!highest || o.y < cellOf(highest).y)
                highest = g;
        }
        field.left = left ? left : wrapLeft;
        field.right = right ? right : wrapRight;
        field.up = up ? up : lowest;
        if (!up)
            field.edgeBits |= 2;
        field.down = down ? down : highest;
        if (!down)
            field.edgeBits |= 1;
    }
}

void ListWindowCore::DefineEditField(const EditFieldDef& def)
{
    if (dirty_) {
        ComputeNeighbours();
        dirty_ = false;
    }
    if (def.field < 1 || def.field > FelderAnzahl())
        return;
    EditField& field = Field(def.field);
    if (def.kind == 6)
        for (int r = 1; r <= grid_.Rows(); ++r)
            grid_.At(r, field.column).symbolMode = true;
    if (field.kind != 0) {
        host_.ShowFatalMessage("Editfeld wurde bereits definiert!\r" + caption_ + " Nr. " +
                               std::to_string(def.field));
        // A construction fault: nothing half built is torn down on the way out.
        std::fflush(nullptr);
        std::_Exit(99);
    }
    field.kind = static_cast<uint8_t>(def.kind);
    field.digits = def.digits;
    field.maximum = def.maximum;
    field.characters = def.characters;
    field.mask = def.mask;
    if (def.right > 0)
        field.right = def.right;
    if (def.left > 0)
        field.left = def.left;
    if (def.up > 0) {
        field.up = def.up;
        field.edgeBits = def.upFlag ? field.edgeBits | 1 : field.edgeBits & ~1;
    }
    if (def.down > 0) {
        field.down = def.down;
        field.edgeBits = def.downFlag ? field.edgeBits | 2 : field.edgeBits & ~2;
    }
}

void ListWindowCore::FinishLayout(int enterField, int homeField, bool resizable)
{
    enterField_ = enterField;
    homeField_ = homeField;
    resizable_ = resizable;
    if (dirty_) {
        ComputeNeighbours();
        dirty_ = false;
    }
    int right = 0, bottom = 0, top = grid_.Columns() > 0 ? grid_.At(1, 1).y : 0;
    for (int c = 1; c <= grid_.Columns(); ++c) {
        right = std::max(right, grid_.At(1, c).x + grid_.At(1, c).width);
        bottom = std::max(bottom, grid_.At(1, c).y + grid_.At(1, c).height);
        top = std::min(top, grid_.At(1, c).y);
    }
    blockTop_ = top;
    blockHeight_ = bottom - top;
    cellsRight_ = right + rowGap_;
    cellsBottom_ = bottom;
    minHeight_ = bottom + rowGap_;
    ApplyStoredPlacement(false);
    FormResize();
    host_.HideProgress();
}

void ListWindowCore::ApplyStoredPlacement(bool onActivation)
{
    const std::optional<ListPlacement> stored = ParseListPlacement(placement_);
    if (!stored) {
        if (!onActivation)
            host_.MoveWindow({-1, -1, 250});
        return;
    }
    const std::vector<ScreenArea> screens = host_.Screens();
    const ScreenArea primary = screens.empty() ? ScreenArea{0, 0, 1024, 768} : screens.front();
    int left = std::min(stored->left, primary.width - 100);
    if (onActivation && screens.size() > 1) {
        int monitor = host_.ScreenOfWindow();
        if (stored->monitor < static_cast<int>(screens.size()) && host_.Place().left < primary.width)
            monitor = stored->monitor;
        if (monitor > 0 && monitor < static_cast<int>(screens.size())) {
            const ScreenArea& m = screens[static_cast<size_t>(monitor)];
            if (m.left > 0)
                left = left % m.left + m.left;
            else if (left < m.left || left >= m.left + m.width)
                left = m.left;
        }
    }
    host_.MoveWindow({left, std::min(stored->top, primary.height - 100), stored->height});
}

void ListWindowCore::KeepPlaceWithinBounds()
{
    const WindowPlace place = host_.Place();
    const std::vector<ScreenArea> screens = host_.Screens();
    const ScreenArea primary = screens.empty() ? ScreenArea{0, 0, 1024, 768} : screens.front();
    const size_t monitor = static_cast<size_t>(host_.ScreenOfWindow());
    const int edge = monitor < screens.size() ? screens[monitor].left : primary.left;
    const int left = std::min(place.left, edge + primary.width - 100);
    const int top = std::min(place.top, primary.height - 100);
    // The window manager may have moved the window and not yet told: a
    // request to where the window stood before would put it back there.
    if (left != place.left || top != place.top)
        host_.MoveWindow({left, top, -1});
}

void ListWindowCore::RefreshPlacement()
{
    const WindowPlace place = host_.Place();
    const std::vector<ScreenArea> screens = host_.Screens();
    const int monitor = host_.ScreenOfWindow();
    int left = place.left;
    if (!screens.empty() && screens.front().width > 0 && left >= screens.front().width)
        left %= screens.front().width;
    placement_ = FormatListPlacement({left, place.top, place.height, SpaltenAnzahl(), monitor});
}

void ListWindowCore::FormDestroy()
{
    if (!formKey_.empty() && !placement_.empty())
        host_.WritePlacement(formKey_, placement_);
}

void ListWindowCore::LockFields(int row, const std::vector<int>& fields)
{
    for (int f : fields) {
        if (f < 1 || f > FelderAnzahl() || !grid_.Contains(row, Field(f).column))
            continue;
        Cell& cell = FieldCell(row, f);
        cell.readOnly = true;
        if (Field(f).kind == 0)
            continue;
        // The LongTag first: its formatting would fill the text again.
        grid_.SetLongTag(row, Field(f).column, 0);
        cell.text.clear();
        if (Field(f).kind == 3 && Field(f).column > 1)
            grid_.At(row, Field(f).column - 1).text.clear();
    }
}

void ListWindowCore::UnlockFields(int row, const std::vector<int>& fields)
{
    for (int f : fields)
        if (f >= 1 && f <= FelderAnzahl() && grid_.Contains(row, Field(f).column))
            FieldCell(row, f).readOnly = false;
}

void ListWindowCore::FormatCell(int row, int column)
{
    int f = 1;
    while (f <= FelderAnzahl() && Field(f).column != column)
        ++f;
    if (f > FelderAnzahl())
        return;
    const EditField& field = Field(f);
    Cell& cell = grid_.At(row, column);
    const uint32_t value = cell.LongTag;
    if (field.kind == 6) {
        const std::u32string chars = ToU32(field.characters);
        std::u32string set, clear;
        if (!field.mask.empty())
            clear = ToU32(field.mask).substr(0, 1);
        for (size_t i = 0; i < chars.size() && i < 32; ++i)
            (value >> i & 1 ? set : clear).push_back(chars[i]);
        std::u32string shown = !field.mask.empty() && clear.size() < set.size() ? clear : set;
        if (field.digits == 1)
            shown = shown.substr(0, 1);
        cell.text = ToU8(shown);
        if (shown.size() > 5)
            cell.hint = PipeField(0, cell.hint) + "|[" + cell.text + "]";
    } else if (field.kind == 4) {
        cell.text = ChoiceCode(field.characters, static_cast<int>(value));
    } else if (field.kind == 5) {
        std::string text;
        for (int bit = 0; bit < 32; ++bit)
            if (value >> bit & 1 && bit < ChoiceEntryCount(field.characters))
                text += ChoiceCode(field.characters, bit) + field.mask;
        if (!text.empty() && !field.mask.empty())
            text.erase(text.size() - field.mask.size());
        cell.text = text;
    }
}

// ---- layout on resizing ---------------------------------------------------

// In block layout a row is the block of all its cells, one block below the
// other; otherwise the first cell stands for its row.
int ListWindowCore::RowTop(int row) const
{
    if (layoutMode_ == 1)
        return blockTop_ + (row - 1) * (blockHeight_ + rowGap_);
    return grid_.At(row, 1).y;
}

int ListWindowCore::RowBottom(int row) const
{
    if (layoutMode_ == 1)
        return RowTop(row) + blockHeight_;
    return grid_.At(row, 1).y + grid_.At(row, 1).height;
}

void ListWindowCore::SetCellHidden(int row, int column, bool hidden)
{
    Cell& cell = grid_.At(row, column);
    if (hidden && !cell.hidden && host_.CellHasFocus(row, column) && FelderAnzahl() > 0 &&
        !(row == 1 && column == Field(1).column))
        host_.FocusCell(1, Field(1).column);
    cell.hidden = hidden;
}

void ListWindowCore::FormResize()
{
    if (grid_.Columns() == 0)
        return;
    visibleRows_ = 1;
    scrollMax_ = std::max(1, ZeilenAnzahl_);
    const int clientHeight = host_.ClientHeight();
    const int recordColumns = layoutMode_ == 2 && homeField_ > 0 ? Field(homeField_).column : 0;
    bool allLines = false;
    int r = 1;
    for (;; ++r) {
        if (r > grid_.Rows())
            grid_.AddRow(rowGap_, layoutMode_ == 1 ? blockHeight_ + rowGap_ : 0);
        Rows_ = std::max(Rows_, grid_.Rows());
        const bool fits = r == 1 || RowBottom(r) + rowGap_ <= clientHeight;
        for (int c = 1; c <= grid_.Columns(); ++c)
            SetCellHidden(r, c, !fits || (r > 1 && c <= recordColumns));
        if (!fits)
            break;
        visibleRows_ = r;
        if (r >= ZeilenAnzahl_) {
            allLines = true;
            break;
        }
    }
    for (int hide = r + 1; hide <= grid_.Rows(); ++hide)
        for (int c = 1; c <= grid_.Columns(); ++c)
            SetCellHidden(hide, c, true);
    if (allLines) {
        maxHeight_ = std::max(RowTop(1), rowGap_) + RowBottom(visibleRows_) + 1;
        if (maxHeight_ <= minHeight_) {
            maxHeight_ = minHeight_ + 1;
            host_.MoveWindow({-1, -1, minHeight_});
        }
    } else {
        maxHeight_ = 0;
    }
    if (ZeileOffset_ + visibleRows_ - 1 > ZeilenAnzahl_)
        ZeileOffset_ = std::max(1, ZeilenAnzahl_ - visibleRows_ + 1);
    Zeile_ = std::clamp(Zeile_, 1, visibleRows_);
    ShowPage();
    RefreshEditor();
}

// ---- page and colours -----------------------------------------------------

void ListWindowCore::ShowPage()
{
    if (grid_.Columns() == 0)
        return;
    // Never past the append row, so no line above ZeilenAnzahl + 1 is asked for.
    const int lastLine = ZeilenAnzahl_ + (appendRow_ ? 1 : 0);
    ZeileOffset_ = std::max(1, std::min(ZeileOffset_, lastLine - visibleRows_ + 1));
    for (int r = 1; r <= visibleRows_; ++r) {
        RowColouring(r);
        const int line = ZeileOffset_ + r - 1;
        if (line > ZeilenAnzahl_ + 1)
            continue;
        ShowLine(r, line, shownRecord_);
        grid_.At(r, 1).line = line;
    }
    scrollPos_ = ZeileOffset_;
    if (caretShown_)
        caretlessText_ = grid_.Contains(Zeile_, CursorColumn()) ? CursorCell().text : caretlessText_;
}

void ListWindowCore::RowColouring(int row, int column)
{
    if (row < 1 || row > grid_.Rows())
        return;
    const int line = ZeileOffset_ + row - 1;
    const bool cursorRow = row == Zeile_ && CursorCellValid();
    const bool cursorFocused =
        cursorRow && (inactive_ || host_.CellHasFocus(Zeile_, CursorColumn()));
    for (int c = column ? column : 1; c <= (column ? column : grid_.Columns()); ++c) {
        const bool marked = range_.first > 0 && line >= range_.first && line <= range_.last &&
                            grid_.At(1, c).bevel && shownRecord_ == range_.record;
        uint32_t background = BackgroundOf(marked ? 7 : 0);
        if (cursorFocused && c == CursorColumn())
            background = BackgroundOf(colourIndex_);
        grid_.At(row, c).background = background;
    }
}

void ListWindowCore::ColourAllRows()
{
    for (int r = 1; r <= visibleRows_; ++r)
        RowColouring(r);
}

void ListWindowCore::CursorColouring(std::optional<int> fixed)
{
    if (!CursorCellValid())
        return;
    const int column = CursorColumn();
    int index;
    if (fixed) {
        index = *fixed;
    } else if (inactive_) {
        index = 1;
    } else if (!host_.CellHasFocus(Zeile_, column)) {
        RemoveCaret();
        index = 0;
    } else if (CursorReadOnly()) {
        index = 4;
    } else if (IsTypingKind(Field(Feld_).kind)) {
        host_.SetBlinking(true);
        index = typingState_ == 1 ? 2 : 3;
    } else {
        index = 6;
    }
    Cell& cell = CursorCell();
    cell.textColour = TextColourOf(index);
    cell.background = BackgroundOf(index);
    colourIndex_ = index;
    if (host_.IsVisible()) {
        if (index == 1)
            OpenLinkedList(0, 0);
        else
            OpenLinkedList(CursorLine(), Feld_);
    }
}

void ListWindowCore::SetCellColour(int row, int field, uint32_t rgb)
{
    (void)row, (void)field, (void)rgb;
}

// ---- cursor ---------------------------------------------------------------

int ListWindowCore::CursorColumn() const
{
    return Feld_ >= 1 && Feld_ <= FelderAnzahl() ? Field(Feld_).column : 1;
}

bool ListWindowCore::CursorCellValid() const
{
    return Feld_ >= 1 && Feld_ <= FelderAnzahl() && Zeile_ >= 1 && Zeile_ <= visibleRows_ &&
           grid_.Contains(Zeile_, CursorColumn());
}

bool ListWindowCore::CursorReadOnly() const
{
    return !CursorCellValid() || grid_.At(Zeile_, CursorColumn()).readOnly;
}

int ListWindowCore::FieldOfColumn(int column) const
{
    for (int f = 1; f <= FelderAnzahl(); ++f)
        if (Field(f).column >= column)
            return f;
    return 0;
}

bool ListWindowCore::LocateCell(int row, int column)
{
    const int field = FieldOfColumn(column);
    if (!field || row < 1 || row > visibleRows_)
        return false;
    Zeile_ = row;
    Feld_ = field;
    return true;
}

void ListWindowCore::OnEnter(int row, int column)
{
    RemoveCaret();
    if (!LocateCell(row, column))
        return;
    typingState_ = 1;
    remembered_ = CursorCell().text;
    cellChanged_ = false;
    RefreshEditor();
    host_.ShowStatusHint(refusal_.empty() ? CursorCell().hint : refusal_);
    refusal_.clear();
    CellTextChanged(CursorLine(), Feld_, Zeile_, CursorCell().text);
}

void ListWindowCore::ShowLineAtCursor(int line)
{
    ZeileOffset_ = std::max(1, line - Zeile_ + 1);
    ShowPage();
}

int ListWindowCore::KeyCode(int key, bool ctrl) const
{
    constexpr int kDeleteKey = 46;  // VK_DELETE
    return key == kDeleteKey && ctrl && range_.first != 0 && HasLineExchange() ? kCmdDelete : key;
}

void ListWindowCore::RefuseStore(const std::string& text)
{
    refusal_ = text;
    host_.ShowStatusHint(text);
    host_.Beep();
}

void ListWindowCore::OnExit(int row, int column)
{
    RemoveCaret();
    if (!LocateCell(row, column))
        return;
    CursorColouring();
    Commit();
    RowColouring(Zeile_, CursorColumn());
}

void ListWindowCore::FormActivate()
{
    UpdateFieldLimits();
    BindEditMenu(false, true);
    inactive_ = false;
    if (CursorCellValid()) {
        if (host_.CellHasFocus(Zeile_, CursorColumn()))
            OnEnter(Zeile_, CursorColumn());
        else
            host_.FocusCell(Zeile_, CursorColumn());
    }
    if (placementFromScreen_) {
        RefreshPlacement();
        KeepPlaceWithinBounds();
    } else {
        ApplyStoredPlacement(true);
    }
    ShowPage();
    RefreshEditor();
}

void ListWindowCore::Redisplay()
{
    UpdateFieldLimits();
    ShowPage();
    RefreshEditor();
}

void ListWindowCore::FormDeactivate()
{
    inactive_ = true;
    Blink(true);
    if (CursorCellValid())
        OnExit(Zeile_, CursorColumn());
    RefreshPlacement();
    placementFromScreen_ = host_.IsVisible();
}

void ListWindowCore::FormHide()
{
    placementFromScreen_ = false;
    BindEditMenu(true, true);
    host_.SetBlinking(false);
}

// ---- keys -----------------------------------------------------------------

bool ListWindowCore::HandleKey(int key)
{
    Blink(true);
    bool used = InsertDeleteKey(Feld_, Zeile_, 0, key);
    if (!used)
        used = MovementKey(key);
    if (!used)
        used = LineCommand(key);
    if (!used) {
        if (key == kEscape) {
            host_.HideWindow();
            used = true;
        } else if (key == kInsert) {
            InputDialog();
            used = true;
        } else if (key == kDelete && !shift_) {
            ClearCell();
            used = true;
        } else if (key == kShift && shift_) {
            used = true;
        }
    }
    if (CursorCellValid() && IsTypingKind(Field(Feld_).kind) && !CursorReadOnly())
        host_.SetBlinking(true);
    return used;
}

bool ListWindowCore::KeyDown(int key, bool shift, bool alt, bool ctrl)
{
    shift_ = shift;
    if (shift)
        MarkLine(Zeile_, 0);
    if (alt && key == kF4) {
        host_.CloseMainWindow();
        return true;
    }
    if (ctrl && key == kF4) {
        host_.CloseWindow();
        return true;
    }
    return HandleKey(key);
}

void ListWindowCore::KeyUp(bool shift)
{
    shift_ = shift;
}

bool ListWindowCore::MovementKey(int key)
{
    if (FelderAnzahl() == 0)
        return false;
    const int lineBefore = CursorLine();
    const int fieldBefore = Feld_;
    const EditField& field = Field(std::clamp(Feld_, 1, FelderAnzahl()));
    const bool recordHome = layoutMode_ == 2 && Feld_ == homeField_;
    bool used = true;
    switch (key) {
    case kReturn:
        Commit();
        if (Feld_ == enterField_) {
            EnterLine(LeadingNumber(CursorCell().text));
        } else if (Feld_ == FelderAnzahl()) {
            Feld_ = enterField_;
            RowMove(0, 1, false);
        } else {
            RowMove(1, 0, false);
        }
        break;
    case kRight:
        RowMove(field.right - Feld_, 0, false);
        break;
    case kLeft:
        RowMove(field.left - Feld_, 0, true);
        break;
    case kUp:
    case kDown: {
        const int step = key == kUp ? -1 : 1;
        if (recordHome) {
            RecordStep(step);
        } else if (shift_) {
            MarkLine(Zeile_, step);
            RowMove(0, step, false);
        } else {
            const int next = key == kUp ? field.up : field.down;
            const bool changesLine = Field(next).edgeBits & (key == kUp ? 1 : 2);
            RowMove(next - Feld_, changesLine ? step : 0, false);
        }
        break;
    }
    case kPrior:
    case kNext:
        if (shift_)
            used = false;
        else
            RowMove(0, key == kPrior ? -visibleRows_ : visibleRows_, false);
        break;
    case kHome:
    case kEnd:
        RowMove(0, key == kHome ? -ZeilenAnzahl_ : ZeilenAnzahl_, false);
        break;
    case kScrollBarChange:
        if (shift_) {
            used = false;
        } else {
            Commit();
            ZeileOffset_ = scrollPos_;
            ShowPage();
        }
        break;
    default:
        used = false;
    }
    Settle(lineBefore, fieldBefore);
    return used;
}

void ListWindowCore::EnterLine(int target)
{
    if (LineNumberTranslation)
        target = LineNumberTranslation(target);
    Zeile_ += target - CursorLine();
    ++Feld_;
    ShowPage();
}

void ListWindowCore::RowMove(int fieldStep, int rowStep, bool leftwards)
{
    Commit();
    Feld_ += fieldStep;
    Zeile_ += rowStep;
    if (Zeile_ < 1 || Zeile_ > visibleRows_ || Feld_ < 1 || Feld_ > FelderAnzahl())
        return;
    const bool goLeft = leftwards || (rowStep == 0 && fieldStep < 0);
    for (int guard = 0; guard < FelderAnzahl() && grid_.At(Zeile_, CursorColumn()).hidden; ++guard)
        Feld_ = goLeft ? Field(Feld_).left : Field(Feld_).right;
}

void ListWindowCore::Settle(int lineBefore, int fieldBefore)
{
    if (Feld_ > FelderAnzahl())
        Feld_ = 1;
    if (Feld_ < 1)
        Feld_ = FelderAnzahl();
    if (Zeile_ > visibleRows_) {
        Commit();
        ZeileOffset_ += Zeile_ - visibleRows_;
        if (ZeileOffset_ + visibleRows_ - 1 > ZeilenAnzahl_)
            ZeileOffset_ = ZeilenAnzahl_ - visibleRows_ + (appendRow_ ? 2 : 1);
        ZeileOffset_ = std::max(1, ZeileOffset_);
        Zeile_ = visibleRows_;
        ShowPage();
    } else if (Zeile_ < 1) {
        Commit();
        ZeileOffset_ = std::max(1, ZeileOffset_ - (1 - Zeile_));
        Zeile_ = 1;
        ShowPage();
    }
    const int column = CursorColumn();
    if (inactive_)
        OnEnter(Zeile_, column);
    else if (!host_.CellHasFocus(Zeile_, column))
        host_.FocusCell(Zeile_, column);
    else if (CursorLine() != lineBefore || Feld_ != fieldBefore)
        OnEnter(Zeile_, column);  // the cell kept the focus but shows another line now
    scrollPos_ = ZeileOffset_;
    ColourAllRows();
    RefreshEditor();
}

void ListWindowCore::RecordStep(int step)
{
    Commit();
    Cell& home = FieldCell(1, homeField_);
    const bool negative = static_cast<int32_t>(home.LongTag) < 0;
    const int number = negative ? -static_cast<int32_t>(home.LongTag) : LeadingNumber(home.text);
    const int next = std::min(std::max(number + step, 1), Field(homeField_).maximum);
    if (next == shownRecord_)
        return;
    if (negative)
        grid_.SetLongTag(1, Field(homeField_).column, static_cast<uint32_t>(-next));
    else
        home.text = F_ZeroPadNum(next, Field(homeField_).digits);
    shownRecord_ = next;
    ShowPage();
}

// ---- mouse, wheel, scroll bar, caret --------------------------------------

void ListWindowCore::MouseDown(int x, int y)
{
    pressX_ = x;
    pressY_ = y;
    lastDragRow_ = 65535;
}

void ListWindowCore::MouseUp()
{
    pressX_ = pressY_ = -1;
    lastDragRow_ = 65535;
}

void ListWindowCore::MouseMove(int row, int column, int dx, int dy, bool cellHasFocus)
{
    if (!cellHasFocus)
        host_.FocusCell(row, column);
    if (pressX_ >= 0 && Zeile_ != lastDragRow_ && (std::abs(dx) > 6 || std::abs(dy) > 6)) {
        MarkLine(Zeile_, 0);
        lastDragRow_ = Zeile_;
    }
}

void ListWindowCore::DoubleClick()
{
    InputDialog();
}

void ListWindowCore::Wheel(int delta, bool ctrl, bool shift)
{
    if (delta == 0)
        return;
    wheelStep_ = std::min(wheelStep_, std::abs(delta));
    const int notches = delta / wheelStep_;
    const int large = std::max(1, visibleRows_);
    int step = std::max(1, large / 3);
    if (ctrl && !shift)
        step = large;
    else if (shift && !ctrl)
        step = 1;
    // The scroll-bar code is ignored while the last key held Shift (a
    // Shift+arrow marks lines instead); the wheel's own Shift picks its
    // step and must still scroll.
    const bool shiftKey = std::exchange(shift_, false);
    ScrollBarMoved(scrollPos_ - notches * step);
    shift_ = shiftKey;
}

void ListWindowCore::ScrollBarMoved(int position)
{
    const int lastOffset = ZeilenAnzahl_ + (appendRow_ ? 1 : 0) - visibleRows_ + 1;
    scrollPos_ = std::clamp(position, 1, std::max(1, lastOffset));
    HandleKey(kScrollBarChange);
}

void ListWindowCore::Blink(bool stop)
{
    if (stop) {
        host_.SetBlinking(false);
        RemoveCaret();
        return;
    }
    if (!CursorCellValid() || CursorReadOnly() || !IsTypingKind(Field(Feld_).kind))
        return;
    if (caretShown_) {
        RemoveCaret();
        return;
    }
    Cell& cell = CursorCell();
    caretlessText_ = cell.text;
    cell.text = cell.alignment == CellAlignment::Centre ? "|" + cell.text + " " : cell.text + "|";
    caretShown_ = true;
}

std::string ListWindowCore::TextWithoutCaret(int row, int column) const
{
    if (caretShown_ && row == Zeile_ && column == CursorColumn())
        return caretlessText_;
    return grid_.At(row, column).text;
}

void ListWindowCore::RemoveCaret()
{
    if (!caretShown_)
        return;
    caretShown_ = false;
    if (CursorCellValid())
        CursorCell().text = caretlessText_;
}

// ---- GotoLine and the dialogs ---------------------------------------------

void ListWindowCore::GotoLine(int line, int field)
{
    if (!host_.IsVisible())
        return;
    if (LineNumberTranslation && line > 0)
        line = LineNumberTranslation(line);
    if (markedField_ != 65535) {
        SetCellColour(Zeile_, markedField_, 0xc0c0c0);
        markedField_ = 65535;
    }
    // Showing never grows a list: a line past it is no line.
    if (layoutMode_ != 2 && line > ZeilenAnzahl_)
        line = 0;
    if (line <= 0) {
        CursorColouring(1);
        return;
    }
    CursorColouring(0);
    if (enterField_ > 0)
        Feld_ = enterField_;
    if (layoutMode_ == 2) {
        if (homeField_ > 0 && line <= Field(homeField_).maximum)
            shownRecord_ = line;
        Zeile_ = 1;
    } else if (line >= ZeileOffset_ && line < ZeileOffset_ + visibleRows_) {
        Zeile_ = line - ZeileOffset_ + 1;
    } else if (line < ZeileOffset_) {
        ZeileOffset_ = line;
        Zeile_ = 1;
    } else {
        ZeileOffset_ = line - visibleRows_ + 1;
        Zeile_ = visibleRows_;
    }
    scrollPos_ = ZeileOffset_;
    ShowPage();
    CursorColouring(5);
    RemoveCaret();
    markedField_ = field;
    if (field != 65535)
        SetCellColour(Zeile_, field, 0xffff00);
}

void ListWindowCore::InputDialog()
{
    if (!CursorCellValid() || CursorReadOnly())
        return;
    const EditField& field = Field(Feld_);
    const int column = field.column;
    Cell& cell = CursorCell();
    ChoiceRequest request{field.characters, field.mask, static_cast<int>(cell.LongTag), Zeile_, column};
    switch (field.kind) {
    case 3: {
        const std::u32string chars = ToU32(field.characters);
        Cell& letter = grid_.At(Zeile_, column - 1);
        request.choices.clear();
        request.mask.clear();
        request.preselected = static_cast<int>(UpperText(chars).find(UpperText(ToU32(letter.text)).substr(0, 1)));
        for (char32_t c : chars)
            request.choices += ToU8(c) + "||" + ToU8(c) + "|";
        if (const std::optional<int> chosen = host_.SelectEntry(request)) {
            letter.text = ToU8(chars.substr(static_cast<size_t>(*chosen), 1));
            cellChanged_ = true;
            Commit();
        }
        break;
    }
    case 4:
        if (const std::optional<int> chosen = host_.SelectEntry(request)) {
            cellChanged_ = true;
            grid_.SetLongTag(Zeile_, column, static_cast<uint32_t>(*chosen));
            Commit();
            CellTextChanged(CursorLine(), Feld_, Zeile_, CursorCell().text);
        }
        break;
    case 5:
        request.mask.clear();
        if (const std::optional<uint32_t> chosen = host_.SelectEntries(request)) {
            cellChanged_ = true;
            grid_.SetLongTag(Zeile_, column, *chosen);
            Commit();
            CellTextChanged(CursorLine(), Feld_, Zeile_, CursorCell().text);
        }
        break;
    case 6: {
        request.choices.clear();
        request.mask = "FARBE";
        for (char32_t c : ToU32(field.characters))
            request.choices += " " + ToU8(c) + "||" + ToU8(c) + "|";
        std::optional<uint32_t> value;
        if (field.digits == 1) {
            request.preselected = -1;
            if (const std::optional<int> k = host_.SelectEntry(request); k && *k < 32)
                value = 1u << *k;
        } else {
            value = host_.SelectEntries(request);
        }
        if (value) {
            cellChanged_ = true;
            grid_.SetLongTag(Zeile_, column, *value);
            Commit();
        }
        break;
    }
    case 7:
        if (const std::optional<std::string> text = host_.EditText(cell.text, Zeile_, column)) {
            CursorCell().text = *text;
            cellChanged_ = true;
            Commit();
        }
        break;
    case 10:
        EditSpecialField();
        cellChanged_ = true;
        Commit();
        break;
    default:
        break;
    }
}

// ---- commit ---------------------------------------------------------------

std::string ListWindowCore::StandardText(int kind, int32_t value, const std::string& t) const
{
    const EditField& field = Field(Feld_);
    if (kind == 2) {
        const std::u32string u = ToU32(t);
        if (u.size() < 2)
            return {};
        return TrimBlanks(ToU8(u[0])) + F_ZeroPadNum(value, field.digits - 1);
    }
    if (kind == 7)
        return t;
    return value < 0 ? std::string() : F_ZeroPadNum(value, field.digits);
}

void ListWindowCore::Commit()
{
    // Only a cell changed since it was entered is stored: passing over a
    // cell must not write back values the editor cannot show.
    if (!cellChanged_ || !CursorCellValid() || CursorReadOnly())
        return;
    cellChanged_ = false;
    RemoveCaret();
    const int line = grid_.At(Zeile_, 1).line;
    // The append row takes a store: that is how a line is added at the end.
    if ((line == 0 || line > ZeilenAnzahl_ + (appendRow_ ? 1 : 0)) && enterField_ != 0)
        return;
    AdjustFieldKind(line, Feld_, Zeile_);
    const EditField& field = Field(Feld_);
    const int kind = field.kind;
    const std::string t = CursorCell().text;
    const int column = field.column;
    auto numberOf = [&](const std::string& text, int empty) {
        int32_t value = text.empty() ? empty : LeadingNumber(text);
        if (value > field.maximum)
            value = LeadingNumber(remembered_);
        return value;
    };
    std::optional<std::string> result;
    int32_t value = 0;
    switch (kind) {
    case 1:
    case 8:
    case 9:
        value = numberOf(t, kind == 9 ? -1 : 0);
        result = StoreCell(Feld_, Zeile_, value, std::nullopt, shownRecord_, line);
        break;
    case 2: {
        const std::u32string u = ToU32(t);
        const std::u32string chars = ToU32(field.characters);
        std::string letter;
        if (t == "0") {
            value = 0;
        } else if (!u.empty() && chars.find(u[0]) != std::u32string::npos) {
            letter = ToU8(u[0]);
            value = u.size() == 1 ? 0 : LeadingNumber(ToU8(u.substr(1)));
        } else if (!chars.empty() && chars[0] == ' ') {
            letter = " ";
            value = LeadingNumber(TrimBlanks(t));
        }
        if (value > field.maximum) {
            CursorCell().text = remembered_;
            return;
        }
        result = StoreCell(Feld_, Zeile_, value, letter, shownRecord_, line);
        break;
    }
    case 3:
        value = numberOf(t, 0);
        result = StoreCell(Feld_, Zeile_, value, grid_.At(Zeile_, column - 1).text, shownRecord_, line);
        break;
    case 4:
    case 5:
        value = static_cast<int32_t>(CursorCell().LongTag);
        result = StoreCell(Feld_, Zeile_, value, std::nullopt, shownRecord_, line);
        if (!result)
            FormatCell(Zeile_, column);
        break;
    case 6: {
        const std::u32string u = ToU32(t);
        const std::u32string chars = ToU32(field.characters);
        const std::u32string lead = ToU32(field.mask).substr(0, 1);
        const bool complement = !lead.empty() && !u.empty() && u[0] == lead[0];
        uint32_t set = 0;
        for (size_t i = 0; i < chars.size() && i < 32; ++i)
            if ((u.find(chars[i]) != std::u32string::npos) != complement)
                set |= 1u << i;
        StoreCell(Feld_, Zeile_, static_cast<int32_t>(set), std::nullopt, shownRecord_, line);
        grid_.SetLongTag(Zeile_, column, set);
        return;
    }
    case 7:
        result = StoreCell(Feld_, Zeile_, 0, t, shownRecord_, line);
        break;
    default:
        return;
    }
    if (result)
        CursorCell().text = *result;
    else if (kind != 4 && kind != 5)
        CursorCell().text = StandardText(kind, value, t);
}

// ---- the cell editor ------------------------------------------------------

void ListWindowCore::RefreshEditor()
{
    Edit(kRefresh);
}

void ListWindowCore::ClearCell()
{
    Edit(kClear);
}

void ListWindowCore::CellEditor(char32_t c)
{
    Edit(c);
}

void ListWindowCore::Edit(char32_t c)
{
    if (c == kRefresh) {
        CursorColouring();
        return;
    }
    RemoveCaret();
    if (CursorCellValid() && !CursorReadOnly() &&
        !InsertDeleteKey(Feld_, Zeile_, c == kClear ? char32_t{255} : c, 0)) {
        const int kind = Field(Feld_).kind;
        if (kind == 4) {
            EditChoice(c);
        } else {
            const std::string before = CursorCell().text;
            std::u32string t = ToU32(before);
            if (kind == 1 || kind == 9)
                EditNumber(c, kind, t);
            else if (kind == 2)
                EditSignLetter(c, t);
            else if (kind == 3)
                EditLetterNumber(c, t);
            else if (kind == 6)
                EditSymbols(c, t);
            else if (kind == 7 && c == kClear)
                t.clear();
            CursorCell().text = ToU8(t);
            if (CursorCell().text != before)
                cellChanged_ = true;
        }
    }
    if (c != '\r')
        typingState_ = 2;
    CursorColouring();
}

// A digit replaces a cell just entered, else is appended up to the digits.
void ListWindowCore::TypeDigit(char32_t c, std::u32string& t, size_t digits) const
{
    if (typingState_ == 1)
        t = std::u32string(1, c);
    else if (t.size() < digits)
        t.push_back(c);
}

void ListWindowCore::EditNumber(char32_t c, int kind, std::u32string& t)
{
    bool zeros = false, backspace = false, blank = false;
    while (!t.empty() && t[0] == '0') {
        t.erase(0, 1);
        zeros = true;
    }
    const size_t digits = static_cast<size_t>(std::max(0, Field(Feld_).digits));
    if (IsDigit(c)) {
        TypeDigit(c, t, digits);
    } else if (c == 8) {
        backspace = true;
        if (typingState_ != 1 && !t.empty())
            t.pop_back();
    } else if (c == ' ' && kind == 9) {
        t.clear();
        blank = true;
    } else if (c == kClear) {
        t.clear();
    }
    if (t.empty() && (kind == 1 || ((zeros || backspace) && !blank)))
        t = U"0";
    if (t.size() >= 2 && t[0] == '0')
        t.erase(0, 1);
}

void ListWindowCore::EditSignLetter(char32_t c, std::u32string& t)
{
    const EditField& field = Field(Feld_);
    const std::u32string chars = ToU32(field.characters);
    const size_t digits = static_cast<size_t>(std::max(0, field.digits));
    auto dropZeros = [&t] {
        while (t.size() > 2 && t[1] == '0')
            t.erase(1, 1);
    };
    auto letterChanged = [&] {
        cellChanged_ = true;
        CellTextChanged(CursorLine(), Feld_, Zeile_, ToU8(t));
    };
    dropZeros();
    if (IsDigit(c)) {
        TypeDigit(c, t, digits);
    } else if (c == 8) {
        if (typingState_ != 1) {
            if (!t.empty())
                t.pop_back();
            if (t.size() == 1)
                t.clear();
        }
    } else if (c == kClear) {
        t = U"0";
    } else if (c == ' ' && !t.empty()) {
        // An empty text has no first character to step.
        const size_t current = t.empty() ? std::u32string::npos : chars.find(t[0]);
        const size_t start = current == std::u32string::npos ? 0 : current + 1;
        // One cycle at most: a mask of nothing but "0" leaves the text.
        for (size_t k = 0; k < chars.size(); ++k) {
            const size_t i = (start + k) % chars.size();
            if (!MaskAllows(field.mask, i))
                continue;
            if (t.size() == 1)
                t.insert(t.begin(), chars[i]);
            else
                t[0] = chars[i];
            letterChanged();
            break;
        }
    } else if (c != ' ' && c != '\r' && c != 27) {
        const size_t at = UpperText(chars).find(Upper(c));
        if (at != std::u32string::npos && !t.empty()) {
            t[0] = chars[at];
            if (t.size() == 1)
                t.push_back('0');
            letterChanged();
        }
    }
    dropZeros();
    if (t.size() == 2 && t[0] == '0') {
        t.erase(0, 1);
    } else if (t.empty() || t == U"0") {
        t = U"0";
    } else if (t.size() == 1) {
        for (size_t i = 0; i < chars.size(); ++i)
            if (i >= field.mask.size() || field.mask[i] == '1') {
                t = ToU32(TrimBlanks(ToU8(chars[i]))) + t;
                break;
            }
    }
}

void ListWindowCore::EditLetterNumber(char32_t c, std::u32string& t)
{
    const EditField& field = Field(Feld_);
    if (IsDigit(c) || c == 8 || c == kClear) {
        EditNumber(c, 1, t);
        return;
    }
    while (!t.empty() && t[0] == '0')
        t.erase(0, 1);
    const std::u32string chars = ToU32(field.characters);
    Cell& letter = grid_.At(Zeile_, field.column - 1);
    size_t next = std::u32string::npos;
    if (c == ' ' && !chars.empty()) {
        const std::u32string shown = UpperText(ToU32(letter.text));
        const size_t at = shown.empty() ? std::u32string::npos : UpperText(chars).find(shown[0]);
        next = at == std::u32string::npos || at + 1 >= chars.size() ? 0 : at + 1;
    } else if (c != '\r' && c != 27) {
        next = UpperText(chars).find(Upper(c));
    }
    if (next != std::u32string::npos) {
        letter.text = ToU8(chars[next]);
        cellChanged_ = true;
        CellTextChanged(CursorLine(), Feld_, Zeile_, letter.text);
    }
    if (t.empty())
        t = U"0";
    if (t.size() >= 2 && t[0] == '0')
        t.erase(0, 1);
}

void ListWindowCore::EditChoice(char32_t c)
{
    if (c != ' ')
        return;
    const EditField& field = Field(Feld_);
    const int count = ChoiceEntryCount(field.characters);
    // An entry past the list stands after the last one: the first comes next.
    const uint32_t tag = CursorCell().LongTag;
    const int current = tag < static_cast<uint32_t>(count) ? static_cast<int>(tag) : -1;
    // One cycle at most: with every entry masked the cell stays as it is.
    for (int k = 1; k <= count; ++k) {
        const int entry = ((current + k) % count + count) % count;
        if (!MaskAllows(field.mask, static_cast<size_t>(entry)))
            continue;
        cellChanged_ = true;
        grid_.SetLongTag(Zeile_, field.column, static_cast<uint32_t>(entry));
        Commit();
        CellTextChanged(CursorLine(), Feld_, Zeile_, CursorCell().text);
        return;
    }
}

void ListWindowCore::EditSymbols(char32_t c, std::u32string& t)
{
    const EditField& field = Field(Feld_);
    if (c == 8) {
        if (typingState_ != 1 && !t.empty())
            t.pop_back();
        return;
    }
    if (c == kClear) {
        t.clear();
        return;
    }
    const std::u32string chars = ToU32(field.characters);
    const bool upper = std::any_of(chars.begin(), chars.end(), [](char32_t ch) { return ch >= 'A' && ch <= 'Z'; });
    c = upper ? Upper(c) : Lower(c);
    const std::u32string lead = ToU32(field.mask).substr(0, 1);
    if (chars.find(c) != std::u32string::npos) {
        const size_t at = t.find(c);
        if (at != std::u32string::npos)
            t.erase(at, 1);
        else if (t.size() < static_cast<size_t>(std::max(0, field.digits)))
            t.push_back(c);
        else if (field.digits == 1)
            t = std::u32string(1, c);
    } else if (!lead.empty() && c == lead[0]) {
        if (!t.empty() && t[0] == c)
            t.erase(0, 1);
        else
            t.insert(t.begin(), c);
    }
}

ColumnDef MaskColumn(const std::string& caption, const std::string& widthMask, bool field)
{
    ColumnDef def;
    def.caption = caption;
    def.hint = caption;
    def.widthMask = widthMask;
    def.width = -8;
    def.x = -2;
    def.font = 4;
    def.createField = field;
    def.noField = !field;
    return def;
}
