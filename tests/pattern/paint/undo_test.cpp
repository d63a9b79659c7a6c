// The undo history: steps, snapshots of rectangles and of the motif block,
// its limit, and records that outlive their rows.
#include <gtest/gtest.h>

#include "paint_fixture.h"

namespace {

const std::vector<uint8_t> kByte7{7};

void Save(PaintFixture& f, int level, int32_t x, int32_t y)
{
    const std::span<uint8_t> row = f.grid.Row(level, y);
    f.core.InUndoSchreiben(static_cast<uint8_t>(level), y, x - 1, row.subspan(static_cast<size_t>(x - 1), 1));
}

TEST(Undo, FreshBufferUndoesNothingAndStartsAgain)
{
    UndoBuffer u;
    EXPECT_EQ(u.StepIndex(), 0);
    int handed = 0;
    auto count = [&](const UndoRecord&, std::span<const uint8_t>) { ++handed; };
    EXPECT_TRUE(u.PopStep(count));
    EXPECT_EQ(u.StepIndex(), -1);
    EXPECT_FALSE(u.PopStep(count));
    u.PosInc();
    EXPECT_EQ(u.StepIndex(), 0);
    EXPECT_TRUE(u.Append(1, 2, 3, kByte7));
    EXPECT_TRUE(u.PopStep(count));
    EXPECT_EQ(handed, 1);
    EXPECT_EQ(u.RecordCount(), 0u);
    EXPECT_EQ(u.PoolSize(), 0u);
}

TEST(Undo, ACellSavedTwiceInAStepGetsItsOlderByte)
{
    PaintFixture f;
    f.core.UndoPosInc();
    Save(f, 1, 4, 4);
    f.grid.SetCell(1, 4, 4, 8);
    Save(f, 1, 4, 4);
    f.grid.SetCell(1, 4, 4, 9);
    f.core.Rueckgaengig1Click();
    EXPECT_EQ(f.At(4, 4), 0);
    EXPECT_EQ(f.core.Undo().StepIndex(), 0);
    EXPECT_TRUE(f.view.Has("UNDO 0"));
}

TEST(Undo, StepsUndoneAndANewStepBetween)
{
    PaintFixture f;
    for (uint8_t v : {uint8_t{1}, uint8_t{2}}) {
        f.core.UndoPosInc();
        Save(f, 1, 2, 2);
        f.grid.SetCell(1, 2, 2, v);
    }
    f.core.UndoZurueckLesen(true);
    f.core.UndoPosInc();
    Save(f, 1, 2, 2);
    f.grid.SetCell(1, 2, 2, 3);
    f.core.UndoZurueckLesen(true);
    f.core.UndoZurueckLesen(true);
    EXPECT_EQ(f.At(2, 2), 0);
}

TEST(Undo, RectangleSnapshotOfEveryIncludedLevel)
{
    PaintFixture f(20, 20, {3, 2, 1});
    for (int level = 1; level <= 3; ++level)
        for (int32_t x = 1; x <= 20; ++x)
            for (int32_t y = 1; y <= 20; ++y)
                f.grid.SetCell(level, x, y, static_cast<uint8_t>(level * 10 + x));
    f.core.UndoPosInc();
    f.core.EbenenInUndoSchreiben(3, 5, 2, 4);
    const std::vector<UndoRecord>& r = f.core.Undo().Records();
    ASSERT_EQ(r.size(), 4u);
    const int expected[4][2] = {{1, 3}, {2, 3}, {1, 4}, {2, 4}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(r[i].level, expected[i][0]);
        EXPECT_EQ(r[i].y, expected[i][1]);
        EXPECT_EQ(r[i].x0, 4);
        EXPECT_EQ(r[i].length, 4);
    }
    for (int level = 1; level <= 3; ++level)
        for (int32_t x = 5; x <= 8; ++x)
            for (int32_t y = 3; y <= 4; ++y)
                f.grid.SetCell(level, x, y, 0);
    f.grid.redraws.clear();
    f.core.UndoZurueckLesen(true);
    EXPECT_EQ(f.At(5, 3, 1), 15);
    EXPECT_EQ(f.At(8, 4, 2), 28);
    EXPECT_EQ(f.At(8, 4, 3), 0);  // not included, not saved
    ASSERT_EQ(f.grid.redraws.size(), 1u);
    const GridSurface::Redraw& d = f.grid.redraws[0];
    EXPECT_EQ(std::vector<int32_t>({d.x1, d.y1, d.x2, d.y2}), std::vector<int32_t>({5, 3, 8, 4}));
    EXPECT_EQ(f.core.State().anchorX, 5);
    EXPECT_EQ(f.core.State().anchorY, 3);
}

TEST(Undo, EmptyAndOneColumnSnapshots)
{
    PaintFixture f(20, 20, {3, 0, 0});
    f.core.EbenenInUndoSchreiben(3, 5, 0, 4);
    EXPECT_EQ(f.core.Undo().RecordCount(), 0u);
    f.core.EbenenInUndoSchreiben(3, 5, 2, 0);
    ASSERT_EQ(f.core.Undo().RecordCount(), 2u);
    EXPECT_EQ(f.core.Undo().Records()[1].length, 1);
    // Past the picture: nothing saved.
    f.core.EbenenInUndoSchreiben(19, 18, 4, 5);
    EXPECT_EQ(f.core.Undo().RecordCount(), 2u);
}

TEST(Undo, MotifRecordRestoresTheWholeBlockAndRedrawsNothing)
{
    PaintFixture f;
    MotifBlock& m = f.core.Motif();
    m = {2, 5, 3, 6, 4, 4, 1, 2, 3, 4, 5, 6, 1};
    f.core.UndoPosInc();
    f.core.StateInUndoSchreiben();
    m = MotifBlock{};
    f.grid.redraws.clear();
    f.core.UndoZurueckLesen(true);
    EXPECT_EQ(m.x2, 5);
    EXPECT_EQ(m.grabY, 2);
    EXPECT_EQ(m.originY, 6);
    EXPECT_EQ(m.allLevels, 1);
    EXPECT_TRUE(f.grid.redraws.empty());
    EXPECT_TRUE(f.view.Has("MARK 2,3,5,6"));
}

TEST(Undo, RecordsOutsideTheNewPictureAreSkipped)
{
    PaintFixture f;
    f.core.UndoPosInc();
    Save(f, 1, 15, 15);
    f.grid.SetCell(1, 15, 15, 4);
    f.core.State().width = 10;  // the planes shrank under the history
    f.core.UndoZurueckLesen(true);
    EXPECT_EQ(f.At(15, 15), 4);
    EXPECT_TRUE(f.grid.redraws.empty());
}

TEST(Undo, NewSizeOrPlanesClearTheHistory)
{
    PaintFixture f;
    f.core.UndoPosInc();
    Save(f, 1, 1, 1);
    ASSERT_TRUE(f.core.UndoBound());
    f.core.SetPictureSize(30, 30);
    EXPECT_FALSE(f.core.UndoBound());
    EXPECT_EQ(f.core.Undo().RecordCount(), 0u);
    f.core.UndoPosInc();
    Save(f, 1, 1, 1);
    f.core.PlanesReplaced();
    EXPECT_EQ(f.core.Undo().StepIndex(), 0);
}

TEST(Undo, LimitRefusesRecordsWithOneMessageAStep)
{
    PaintFixture f(20, 20, {3, 0, 0}, 130);
    f.core.UndoPosInc();
    for (int32_t x = 1; x <= 15; ++x)
        Save(f, 1, x, 1);
    EXPECT_EQ(f.core.Undo().RecordCount(), 10u);
    EXPECT_EQ(f.core.Undo().PoolSize(), 10u);
    EXPECT_EQ(f.view.Count("MSG UndoPufferGröße: 11"), 1u);
    f.core.UndoPosInc();
    Save(f, 1, 1, 2);
    EXPECT_EQ(f.view.Count("MSG UndoPufferGröße: 11"), 2u);
}

TEST(Undo, GetRowBytesCurrentLevelFirst)
{
    PaintFixture f(20, 20, {2, 3, 2});
    for (int level = 1; level <= 3; ++level)
        f.grid.SetCell(level, 4, 2, static_cast<uint8_t>(level));
    MotifBlock& m = f.core.Motif();
    m.x1 = 4;
    m.y1 = 2;
    const std::vector<std::span<uint8_t>> rows = f.core.GetRowBytes(0, 2);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][0], 2);
    EXPECT_EQ(rows[1][0], 1);
    EXPECT_EQ(rows[2][0], 3);
    EXPECT_EQ(rows[0].size(), 17u);
    EXPECT_EQ(f.core.GetRowBytes(0, 1).size(), 1u);
}

}  // namespace
