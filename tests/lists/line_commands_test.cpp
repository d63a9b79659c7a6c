// Marking whole lines and the line commands, on the racking and stitch
// density editors without a display.
#include <gtest/gtest.h>

#include <cstring>

#include "kernel/model/bytes.h"
#include "lists/core/fliste_core.h"
#include "lists/core/list_links.h"
#include "lists/core/vliste_core.h"
#include "lists/core/wliste_core.h"
#include "tests/lists/editor_driver.h"
#include "tests/tools/test_liste/test_liste_core.h"

namespace {
// n V lines, line i holding i in its racking amount and comment byte.
void SeedV(int n)
{
    for (int i = 1; i <= n; ++i) {
        uint8_t* p = VListe->GetLine(static_cast<uint16_t>(i));
        p[0] = 1;
        p[2] = static_cast<uint8_t>(i);
        p[13] = 1;
        p[14] = static_cast<uint8_t>('a' + i);
    }
}

std::vector<uint8_t> LineBytes(T_ListenVar& list, int i)
{
    const uint8_t* p = list.PeekLine(static_cast<uint16_t>(i));
    return {p, p + list.LineSize()};
}

struct MarkStep {
    const char* what;
    int key;  // 16: a Shift press; else the key with Shift held
    int first, last, cursorLine;
};

TEST(LineCommands, MarkingWithShiftAndTheArrowKeys)
{
    SeedV(10);
    EditorDriver<VListeCore> d;
    d.GoToLine(5);
    const MarkStep steps[] = {
        {"Shift marks the cursor line", 16, 5, 5, 5},
        {"Shift+Down", 40, 5, 6, 6},
        {"Shift+Down again", 40, 5, 7, 7},
        {"Shift+Up takes back both", 38, 5, 5, 6},
    };
    d.ShiftPress();
    for (const MarkStep& s : steps) {
        if (s.key != 16)
            d.ShiftKey(s.key);
        EXPECT_EQ(d.core->Range().first, s.first) << s.what;
        EXPECT_EQ(d.core->Range().last, s.last) << s.what;
        EXPECT_EQ(d.core->CursorLine(), s.cursorLine) << s.what;
    }
    d.ShiftUp();
    // Marked cells take the marking colour.
    EXPECT_EQ(d.core->Grid().At(5, VListeCore::Kommentar + 1).background, 0xa0a0ffu);

    // Without a range, two presses mark the cursor line and clear it again.
    d.Key(kCmdClearSelection);
    d.ShiftPress();
    d.ShiftUp();
    EXPECT_EQ(d.core->Range().first, 6);
    d.ShiftPress();
    d.ShiftUp();
    EXPECT_EQ(d.core->Range().first, 0);
}

TEST(LineCommands, DraggingOverRowsMarksThem)
{
    SeedV(10);
    EditorDriver<VListeCore> d;
    const int column = d.core->Field(VListeCore::Haupt).column;
    d.core->MouseDown(5, 5);
    d.core->MouseMove(2, column, 0, 8, false);
    d.core->MouseMove(3, column, 0, 30, false);
    d.core->MouseMove(4, column, 0, 56, false);
    d.core->MouseUp();
    EXPECT_EQ(d.core->Range().first, 2);
    EXPECT_EQ(d.core->Range().last, 4);
}

TEST(LineCommands, CopyPasteAndTheClipboardBlock)
{
    SeedV(12);
    std::vector<uint8_t> clip;
    ListEditorCore::OnClipboardSet = [&](char code, const std::vector<uint8_t>& block) {
        EXPECT_EQ(code, 'V');
        clip = block;
    };
    EditorDriver<VListeCore> d;
    d.GoToLine(3);
    d.ShiftPress();
    d.ShiftKey(40);
    d.ShiftUp();
    d.Key(kCmdCopy);
    ListEditorCore::OnClipboardSet = nullptr;
    ASSERT_EQ(clip.size(), 190u);
    EXPECT_EQ(Hex(clip.data(), 0, 2), "0002");
    EXPECT_EQ(std::vector<uint8_t>(clip.begin() + 2, clip.begin() + 96), LineBytes(*VListe, 3));
    EXPECT_EQ(std::vector<uint8_t>(clip.begin() + 96, clip.end()), LineBytes(*VListe, 4));
    EXPECT_TRUE(d.core->ClipboardFlag());

    d.GoToLine(10);
    d.Key(kCmdPaste);
    EXPECT_EQ(LineBytes(*VListe, 10), LineBytes(*VListe, 3));
    EXPECT_EQ(LineBytes(*VListe, 11), LineBytes(*VListe, 4));
    // The range stays as it was.
    EXPECT_EQ(d.core->Range().first, 3);
    EXPECT_EQ(d.core->Range().last, 4);

    // Two lines from line 12 on run into the append row: the list grows.
    d.GoToLine(12);
    d.Key(kCmdPaste);
    EXPECT_EQ(VListe->Count(), 13);
    EXPECT_EQ(LineBytes(*VListe, 13), LineBytes(*VListe, 4));
}

TEST(LineCommands, PastingThreeLinesOnTheLastLineGrowsTheList)
{
    SeedV(12);
    EditorDriver<VListeCore> d;
    d.GoToLine(1);
    d.ShiftPress();
    d.ShiftKey(40);
    d.ShiftKey(40);
    d.ShiftUp();
    d.Key(kCmdCopy);
    d.GoToLine(12);
    d.Key(kCmdPaste);
    EXPECT_EQ(VListe->Count(), 14);
    EXPECT_EQ(LineBytes(*VListe, 14), LineBytes(*VListe, 3));
}

TEST(LineCommands, CutAndDeleteClearTheRangeAndKeepIt)
{
    SeedV(6);
    EditorDriver<VListeCore> d;
    d.GoToLine(2);
    d.ShiftPress();
    d.ShiftKey(40);
    d.ShiftUp();
    const std::vector<uint8_t> line3 = LineBytes(*VListe, 3);
    d.Key(kCmdCut);
    for (int i : {2, 3})
        EXPECT_EQ(VListe->PeekLine(static_cast<uint16_t>(i))[0], 0) << i;
    EXPECT_EQ(VListe->Count(), 6);
    EXPECT_EQ(d.core->Range().first, 2);
    d.GoToLine(5);
    d.Key(kCmdPaste);
    EXPECT_EQ(LineBytes(*VListe, 6), line3);

    d.Key(kCmdSelectAll);
    EXPECT_EQ(d.core->Range().first, 1);
    EXPECT_EQ(d.core->Range().last, 6);
    d.Key(kCmdDelete);
    EXPECT_EQ(VListe->PeekLine(6)[0], 0);
    EXPECT_EQ(d.core->Range().last, 6);
}

// A block is only trusted as far as it holds whole line images.
TEST(LineCommands, PasteStopsAtTheEndOfAShortBlock)
{
    SeedV(4);
    EditorDriver<VListeCore> d;
    std::vector<uint8_t> block{0, 3};
    const std::vector<uint8_t> image = LineBytes(*VListe, 1);
    block.insert(block.end(), image.begin(), image.end());
    block.insert(block.end(), image.begin(), image.begin() + 50);
    // A block that says three lines and holds one and a half.
    d.core->SetLineExchange(94, [&](LineOp op, int, int line, std::vector<uint8_t>& data) {
        if (op == LineOp::GetClipboard)
            data = block;
        if (op == LineOp::StoreLine) {
            ASSERT_EQ(data.size(), 94u);
            std::memcpy(VListe->GetLine(static_cast<uint16_t>(line)), data.data(), data.size());
        }
    });
    const std::vector<uint8_t> line4 = LineBytes(*VListe, 4);
    d.GoToLine(3);
    d.Key(kCmdPaste);
    EXPECT_EQ(LineBytes(*VListe, 3), image);
    EXPECT_EQ(LineBytes(*VListe, 4), line4);
    EXPECT_EQ(VListe->Count(), 4);
}

TEST(LineCommands, EditMenuBindingFollowsRangeAndClipboard)
{
    SeedV(5);
    EditorDriver<WListeCore> w;  // no W line was copied before in this run
    const EditMenuBinding& b = w.host.binding;
    EXPECT_EQ(b.paste, 0);
    EXPECT_EQ(b.selectAll, kCmdSelectAll);
    EXPECT_EQ(b.undo, 0);
    EXPECT_EQ(b.cut, 0);

    EditorDriver<VListeCore> d;
    d.GoToLine(2);
    d.ShiftPress();
    d.ShiftUp();
    const EditMenuBinding& v = d.host.binding;
    struct Pair {
        const char* what;
        const int& code;
        int ranged;
    };
    const Pair pairs[] = {{"cut", v.cut, kCmdCut},
                          {"copy", v.copy, kCmdCopy},
                          {"delete", v.remove, kCmdDelete},
                          {"clear", v.clearSelection, kCmdClearSelection},
                          {"all", v.selectAll, kCmdSelectAll},
                          {"undo", v.undo, 0}};
    for (const Pair& p : pairs)
        EXPECT_EQ(p.code, p.ranged) << p.what;
    d.Key(kCmdClearSelection);
    for (const Pair& p : pairs)
        EXPECT_EQ(p.code, p.code == v.selectAll ? kCmdSelectAll : 0) << p.what;
    // Without a range, the ranged commands are not used at all.
    EXPECT_FALSE(d.core->HandleKey(kCmdCopy));
    d.core->FormHide();
    EXPECT_EQ(v.selectAll, 0);
    EXPECT_EQ(v.paste, 0);
}

TEST(LineCommands, SelectAllWithoutLineExchangeChangesNothing)
{
    SListe->GetLine(3);
    BindingHost host;
    TestListeCore core(host);
    host.core = &core;
    core.FormActivate();
    EXPECT_TRUE(core.HandleKey(kCmdSelectAll));
    EXPECT_EQ(core.Range().first, 0);
    core.KeyDown(16, true, false, false);
    EXPECT_EQ(core.Range().first, 0);
}

// F: sub-list 1 on lines 1..3, 2 on 4..5, 3 on line 6 with a comment.
void SeedF()
{
    const uint16_t numbers[] = {1, 0, 0, 2, 0, 3};
    for (int i = 1; i <= 6; ++i) {
        uint8_t* p = FListe->GetLine(static_cast<uint16_t>(i));
        put_u16(p, 0, numbers[i - 1]);
        put_u16(p, 4, static_cast<uint16_t>(10 * i));
        if (numbers[i - 1] == 0)
            put_u32(p, 12, 1u << i);
    }
    WriteShortString(FListe->GetLine(6), 16, 80, "drei");
}

void MarkLines(EditorDriver<FListeCore>& d, int first, int last)
{
    d.GoToLine(first);
    d.ShiftPress();
    for (int i = first; i < last; ++i)
        d.ShiftKey(40);
    d.ShiftUp();
}

TEST(LineCommands, IndexListDeleteKeepsTheNextSubList)
{
    SeedF();
    const std::vector<uint8_t> line4 = LineBytes(*FListe, 4), line6 = LineBytes(*FListe, 6);
    {
        EditorDriver<FListeCore> d;
        MarkLines(d, 4, 5);
        d.Key(kCmdDelete);
        EXPECT_EQ(FListe->Count(), 5);
        std::vector<uint8_t> init(100, 0);
        put_u16(init.data(), 0, 2);
        EXPECT_EQ(LineBytes(*FListe, 4), init);
        EXPECT_EQ(LineBytes(*FListe, 5), line6);
    }
    CreateProgramModel();
    SeedF();
    EditorDriver<FListeCore> d;
    MarkLines(d, 2, 3);
    d.Key(kCmdDelete);
    EXPECT_EQ(FListe->Count(), 4);
    EXPECT_EQ(LineBytes(*FListe, 2), line4);
}

TEST(LineCommands, IndexListPasteReplacesOnlyTheTargetSubList)
{
    SeedF();
    const std::vector<uint8_t> old6 = LineBytes(*FListe, 6);
    std::vector<std::vector<uint8_t>> images;
    for (int i = 1; i <= 3; ++i)
        images.push_back(LineBytes(*FListe, i));
    EditorDriver<FListeCore> d;
    MarkLines(d, 1, 3);
    d.Key(kCmdCopy);
    d.GoToLine(4);
    d.Key(kCmdPaste);
    EXPECT_EQ(FListe->Count(), 7);
    std::vector<uint8_t> renumbered = images[0];
    put_u16(renumbered.data(), 0, 2);
    EXPECT_EQ(LineBytes(*FListe, 4), renumbered);
    EXPECT_EQ(LineBytes(*FListe, 5), images[1]);
    EXPECT_EQ(LineBytes(*FListe, 6), images[2]);
    EXPECT_EQ(LineBytes(*FListe, 7), old6);

    // An opening line landing on a continuation line is skipped.
    d.GoToLine(5);
    d.Key(kCmdPaste);
    EXPECT_EQ(LineBytes(*FListe, 5), images[1]);
    EXPECT_EQ(FListe->Count(), 9);
}
}  // namespace
