#include <gtest/gtest.h>

#include "text_fakes.h"
#include "textedit/core/text_edit_core.h"

namespace {

using Lines = std::vector<std::string>;

struct Editor {
    RecordingTextView view{80, 10};
    RecordingClipboard clipboard;
    TextEditCore core{view, clipboard};

    explicit Editor(const Lines& lines = {})
    {
        view.Attach(&core.Lines());
        core.Lines().Clear();
        for (const std::string& line : lines)
            core.Lines().Add(line);
        core.Lines().SetModified(false);
    }
    void Key(int key, KeyModifiers mods = {}) { core.KeyDown(key, mods); }
    void Type(const std::string& text)
    {
        for (char c : text)
            core.HandleKey(static_cast<uint8_t>(c));
    }
};

TEST(TextEditCore, StatusNoticesFromTheStart)
{
    Editor e;
    EXPECT_EQ(e.view.modified.front(), true);
    EXPECT_EQ(e.core.CursorText(), "1:1");
    e.Key(TextKey::Insert);
    EXPECT_EQ(e.core.ModeText(), "Überschreiben");
    e.core.SetReadOnly(true);
    EXPECT_EQ(e.core.ModeText(), "Nur lesen");
    EXPECT_FALSE(e.core.ClaimsKey(TextKey::Insert, {}));
    EXPECT_TRUE(e.core.ClaimsKey(TextKey::Tab, {}));
    EXPECT_FALSE(e.core.ClaimsKey(TextKey::Delete, {.ctrl = true}));
    EXPECT_FALSE(e.core.ClaimsKey(TextKey::Insert, {.alt = true}));
    EXPECT_FALSE(e.core.ClaimsKey(0x70, {}));
}

TEST(TextEditCore, HiddenClearDropsTheSelection)
{
    Editor e({"one", "two", "three", "four", "five", "six"});
    e.core.SetTextCursor(1, 0);
    for (int i = 0; i < 5; ++i)
        e.Key(TextKey::Down, {.shift = true});
    ASSERT_TRUE(e.core.Selection().active);
    e.view.visible = false;
    e.view.redraws.clear();
    e.core.Lines().Clear();
    EXPECT_FALSE(e.core.Selection().present);
    EXPECT_FALSE(e.core.Selection().active);
    EXPECT_EQ(e.core.CursorLine(), 0);
    EXPECT_TRUE(e.view.redraws.empty());
    e.Key(TextKey::Insert, {.ctrl = true});
    e.Key(TextKey::Delete);
    e.Type("\b");
    EXPECT_EQ(e.clipboard.sets, 0);
    EXPECT_EQ(e.core.Lines().Lines(), Lines{" "});
}

TEST(TextEditCore, InsertModePushesPastColumn256Off)
{
    Editor e({std::string(256, 'a'), "b"});
    e.core.SetTextCursor(256, 0);
    e.Type("xy");
    EXPECT_EQ(e.core.Lines().Get(0), std::string(255, 'a') + "y");
    EXPECT_EQ(e.core.CursorColumn(), 256);
    e.core.SetTextCursor(5, 1);
    e.Type("\b");
    EXPECT_EQ(e.core.Lines().Get(1), "b");
    EXPECT_EQ(e.core.CursorColumn(), 4);
}

TEST(TextEditCore, MultiLineDeleteMovesTheCursorWithTheText)
{
    Editor e({"abcdef", "ghijkl", "mnopqr", "stu"});
    e.core.SetTextCursor(3, 0);
    e.Key(TextKey::Down, {.shift = true});
    e.Key(TextKey::Down, {.shift = true});
    EXPECT_EQ(e.core.GetSelectionText(false), "cdef\r\nghijkl\r\nmn");
    // The cursor sits at the end, on line 2 column 3: it joins line 0.
    e.core.DeleteSelection(true);
    EXPECT_EQ(e.core.Lines().Lines(), (Lines{"abopqr", "stu"}));
    EXPECT_EQ(e.core.CursorLine(), 0);
    EXPECT_EQ(e.core.CursorColumn(), 3);
    EXPECT_EQ(e.view.redraws.back(), (RedrawRequest{-1, -1, -1, -1}));
}

TEST(TextEditCore, CtrlYMovesSelectionCornersUp)
{
    Editor e({"aa", "bb", "cc", "dd"});
    e.core.SetTextCursor(2, 1);
    e.Key(TextKey::Down, {.shift = true});
    e.Key(TextKey::Down, {.shift = true});
    e.core.SetTextCursor(1, 0);
    e.Key(TextKey::Y, {.ctrl = true});
    const TextSelection& s = e.core.Selection();
    EXPECT_EQ(e.core.Lines().Lines(), (Lines{"bb", "cc", "dd"}));
    EXPECT_EQ((std::vector<int32_t>{s.x1, s.y1, s.x2, s.y2}), (std::vector<int32_t>{2, 0, 2, 2}));
    EXPECT_FALSE(s.active);
}

TEST(TextEditCore, AppendTextBreaksAtBlanks)
{
    Editor e;
    e.view.redraws.clear();
    e.core.AppendText(std::string(250, 'a') + " " + std::string(10, 'b') + " c");
    e.core.AppendText(std::string(300, 'x'));
    EXPECT_EQ(e.core.Lines().Lines(),
              (Lines{std::string(250, 'a'), std::string(10, 'b') + " c", std::string(256, 'x'), std::string(44, 'x')}));
    EXPECT_EQ(e.core.CursorLine(), 0);
}

TEST(TextEditCore, MouseCellsAndDragSelection)
{
    Editor e({"abc", "def", "ghi"});
    // A short text stands at the top: the first visible row is cell row 10.
    e.core.MouseCell(5, 9, true);
    EXPECT_EQ(e.core.CursorText(), "5:2");
    e.core.MouseCell(300, 3, true);
    EXPECT_EQ(e.core.CursorText(), "256:3");
    e.core.MouseCell(1, 10, true);
    e.core.MouseCell(4, 10, false);
    const TextSelection& s = e.core.Selection();
    EXPECT_EQ((std::vector<int32_t>{s.x1, s.y1, s.x2, s.y2, s.present, s.active}),
              (std::vector<int32_t>{1, 0, 4, 0, 1, 1}));
    e.core.MouseCell(2, 10, true);
    EXPECT_FALSE(e.core.Selection().active);
}

std::string Colours(const std::vector<TextRun>& runs)
{
    // One letter per character: c comment, s symbol colour, h highlighted, . default.
    std::string out;
    for (const TextRun& r : runs) {
        char k = '.';
        if (r.colours.selected)
            k = 'h';
        else if (r.colours.text == kCommentColour)
            k = 'c';
        else if (r.colours.background.role == ColourRole::Rgb)
            k = 's';
        out += std::string(r.text.size(), k);
    }
    return out;
}

std::vector<std::string> Band(TextEditCore& core, int32_t first, int32_t last, int32_t columns = 6)
{
    core.ResetPreviousChar();
    CharState state = core.LineSyntaxState(first - 1);
    std::vector<std::string> rows;
    for (int32_t l = first; l <= last; ++l)
        rows.push_back(Colours(core.RowRuns(l, 1, columns, state)));
    return rows;
}

TEST(TextEditCore, SyntaxColours)
{
    Editor e({"{ text", "x", "} y"});
    e.core.SetSyntaxDisplay(true);
    EXPECT_EQ(Band(e.core, 0, 2), (std::vector<std::string>{"cccccc", "cccccc", "c....."}));
    // A band that starts below the comment's opening line finds it above.
    EXPECT_EQ(Band(e.core, 2, 2), (std::vector<std::string>{"c....."}));
    EXPECT_EQ(e.core.LineSyntaxState(0).state, kCommentState);
    EXPECT_EQ(e.core.LineSyntaxState(2).state, kPlainState);

    Editor closed({"{a}", "b"});
    closed.core.SetSyntaxDisplay(true);
    EXPECT_EQ(Band(closed.core, 0, 1, 4), (std::vector<std::string>{"ccc.", "...."}));

    Editor section({"[b", "ab]a", "b"});
    section.core.SetSyntaxDisplay(true);
    section.core.SetSymbolText("ab");
    std::array<SymbolColour, 256> colours{};
    colours[1] = SymbolColour{0xc8dc28, 0x000000};
    section.core.SetSymbolColours(colours);
    EXPECT_EQ(Band(section.core, 0, 2, 4), (std::vector<std::string>{".s..", "ss..", "...."}));
    EXPECT_EQ(section.core.LineSyntaxState(0).state, kSectionState);
    section.core.SetSyntaxDisplay(false);
    EXPECT_EQ(Band(section.core, 0, 0, 4), std::vector<std::string>{"...."});

    e.core.SetSyntaxDisplay(false);
    e.core.SetTextCursor(2, 0);
    e.Key(TextKey::Down, {.shift = true});
    EXPECT_EQ(Band(e.core, 0, 1), (std::vector<std::string>{".hhhhh", "h....."}));
}

} // namespace
