// The paged record store: page and slot arithmetic, put and get, the dump,
// and pages released on reset.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "kernel/dispatch/recordstore.h"
#include "tests/support/test_env.h"

namespace {

using Record = std::array<uint8_t, kStoreRecordSize>;

Record Numbered(uint32_t i)
{
    Record r{};
    for (size_t k = 0; k < r.size(); ++k)
        r[k] = static_cast<uint8_t>(i * 31 + k + 1);
    return r;
}

class RecordStore : public testing::Test {
protected:
    void SetUp() override { StoreReset(false); }
    void TearDown() override { StoreReset(false); }

    // Dumps the store into a file of the test folder and gives its bytes.
    static std::string Dump(int32_t count, bool* ok = nullptr)
    {
        const std::string path = TestHome() + "dump.bin";
        std::FILE* f = std::fopen(path.c_str(), "wb+");
        // Something longer already there: the dump starts at position 0.
        std::fwrite("previous", 1, 8, f);
        const bool result = StoreDump(f, count);
        std::fclose(f);
        if (ok)
            *ok = result;
        std::string bytes = ReadTestFile(path);
        return bytes;
    }
};

}  // namespace

TEST_F(RecordStore, PositionAllocatesThePagesUpToTheIndex)
{
    EXPECT_EQ(StorePageCount(), 0u);
    StorePosition(250);
    EXPECT_EQ(StorePageCount(), 3u);
    EXPECT_EQ(StorePage(), 2u);
    EXPECT_EQ(StoreSlot(), 50u);
    StorePosition(99);
    EXPECT_EQ(StorePageCount(), 3u);
    EXPECT_EQ(StoreSlot(), 99u);
    StorePosition(300);
    EXPECT_EQ(StorePageCount(), 4u);
    EXPECT_EQ(StoreSlot(), 0u);
}

TEST_F(RecordStore, PutAndGetWalkTheSlots)
{
    StoreReset(true);
    EXPECT_TRUE(StoreMemoryMode());
    EXPECT_EQ(StorePageCount(), 1u);
    for (uint32_t i = 0; i < 250; ++i) {
        const Record r = Numbered(i);
        StorePut(r.data());
    }
    EXPECT_EQ(StoreIndex(), 250u);
    StorePosition(98);
    for (uint32_t i = 98; i < 103; ++i) {
        Record r{};
        StoreGet(r.data());
        EXPECT_EQ(r, Numbered(i)) << i;
    }
    EXPECT_EQ(StoreIndex(), 103u);
    // Slots never written read as zeros.
    StorePosition(400);
    Record r;
    r.fill(0xee);
    StoreGet(r.data());
    EXPECT_EQ(r, Record{});
}

TEST_F(RecordStore, DumpWritesCountPlusOneRecordsInOrder)
{
    StoreReset(true);
    for (uint32_t i = 0; i < 250; ++i) {
        const Record r = Numbered(i);
        StorePut(r.data());
    }
    bool ok = false;
    const std::string bytes = Dump(249, &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(bytes.size(), 6000u);
    for (uint32_t i = 0; i < 250; ++i) {
        const Record r = Numbered(i);
        ASSERT_EQ(bytes.compare(i * 24, 24, reinterpret_cast<const char*>(r.data()), 24), 0) << i;
    }
    // Every page is released afterwards.
    EXPECT_EQ(StorePageCount(), 0u);
    EXPECT_EQ(StoreIndex(), 0u);
}

TEST_F(RecordStore, DumpPastTheWrittenRecordsWritesZeros)
{
    StoreReset(true);
    for (uint32_t i = 0; i < 100; ++i) {
        const Record r = Numbered(i);
        StorePut(r.data());
    }
    const std::string bytes = Dump(149);
    ASSERT_EQ(bytes.size(), 3600u);
    const Record r99 = Numbered(99);
    EXPECT_EQ(bytes.compare(99 * 24, 24, reinterpret_cast<const char*>(r99.data()), 24), 0);
    EXPECT_EQ(bytes.substr(2400), std::string(1200, '\0'));
}

TEST_F(RecordStore, DumpOfAnEmptyStoreAndNegativeCounts)
{
    EXPECT_EQ(Dump(0), std::string(24, '\0'));
    EXPECT_EQ(Dump(-1), "previous");  // nothing written over the old bytes
}

TEST_F(RecordStore, ResetReleasesThePages)
{
    StoreReset(true);
    StorePosition(1000);
    EXPECT_EQ(StorePageCount(), 11u);
    StoreReset(false);
    EXPECT_FALSE(StoreMemoryMode());
    EXPECT_EQ(StorePageCount(), 0u);
    StoreReset(true);
    EXPECT_EQ(StorePageCount(), 1u);
    EXPECT_EQ(StoreIndex(), 0u);
    // Pages come back zero-filled after a reset.
    Record r;
    r.fill(1);
    StoreGet(r.data());
    EXPECT_EQ(r, Record{});
}
