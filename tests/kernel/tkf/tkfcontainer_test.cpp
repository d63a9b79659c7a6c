// The machine program file's container: header, text tags, the directory
// and its look-up, checked against hand-computed bytes and libtiff's
// tiffdump, and against damaged directories built byte by byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "kernel/model/bytes.h"
#include "kernel/model/workrecord.h"
#include "kernel/services/stream.h"
#include "kernel/tkf/tkfcontainer.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

namespace {

class TkfContainer : public testing::Test {
protected:
    void TearDown() override { P_DiskClose(); }

    std::string path = TestHome() + "box.8ah";

    void Create()
    {
        bool error = false;
        P_DiskCreate(path, error, true);
        ASSERT_FALSE(error);
        TkfAddTag(0, 0, 0, false, error);  // the header call
        ASSERT_FALSE(error);
    }
    std::string Finish()
    {
        bool error = false;
        TkfAddTag(tkf::kTagEnd, 1, 1, true, error);
        EXPECT_FALSE(error);
        EXPECT_TRUE(P_DiskClose());
        return ReadTestFile(path);
    }
    void Open(const std::string& bytes)
    {
        WriteTestFile(path, bytes);
        bool error = false;
        P_DiskOpen(path, error, true);
        ASSERT_FALSE(error);
    }
    static std::string Tiffdump(const std::string& file)
    {
        std::string out;
        RunCommand("tiffdump '" + file + "' 2>&1", &out);
        return out;
    }
};

// A crafted file: header with the first block offset, then whatever follows.
std::string Header(uint32_t firstBlock, const char* marker = "GH")
{
    std::string h = "II*";
    h += '\0';
    for (int i = 0; i < 4; ++i)
        h += static_cast<char>((firstBlock >> (8 * i)) & 0xFF);
    h += marker;
    return h;
}

std::string Block(const std::vector<TkfEntry>& entries, uint32_t next, uint16_t count = 0)
{
    std::string b(2 + 12 * entries.size() + 4, '\0');
    auto* p = reinterpret_cast<uint8_t*>(b.data());
    put_u16(p, 0, count ? count : static_cast<uint16_t>(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        put_u16(p, 2 + 12 * i, entries[i].tag);
        put_u16(p, 4 + 12 * i, entries[i].type);
        put_u32(p, 6 + 12 * i, entries[i].count);
        put_u32(p, 10 + 12 * i, entries[i].value);
    }
    put_u32(p, 2 + 12 * entries.size(), next);
    return b;
}

}  // namespace

TEST_F(TkfContainer, HeaderTextTagsAndOneDirectoryBlock)
{
    Create();
    bool error = false;
    TkfAddString(tkf::kTagSoftware, tkf::kSoftwareText, error);
    TkfAddString(tkf::kTagFamily, tkf::kFamilyText, error);
    TkfAddTag(tkf::kTagFormat, 1, 3, false, error);
    const std::string bytes = Finish();
    ASSERT_FALSE(error);

    // Header, then "Listeneditor - V2.13" with its NUL and one padding NUL
    // (count 21 is odd), then "Keltaris RK" + NUL (12, even, no padding).
    ASSERT_EQ(bytes.size(), 10u + 22 + 12 + 368);
    EXPECT_EQ(bytes.substr(0, 4), std::string("II*\0", 4));
    EXPECT_EQ(bytes.substr(8, 2), "GH");
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    EXPECT_EQ(get_u32(p, 4), bytes.size() - 368);
    EXPECT_EQ(bytes.substr(10, 22), std::string("Listeneditor - V2.13\0\0", 22));
    EXPECT_EQ(bytes.substr(32, 12), std::string("Keltaris RK\0", 12));

    const size_t dir = get_u32(p, 4);
    EXPECT_EQ(get_u16(p, dir), 4);
    // Entry 1: tag 305, type 2, count 21, value 10.
    EXPECT_EQ(bytes.substr(dir + 2, 12), std::string("\x31\x01\x02\x00\x15\x00\x00\x00\x0a\x00\x00\x00", 12));
    // Entry 3: tag 32769, SHORT, count 1, the number itself as value.
    EXPECT_EQ(bytes.substr(dir + 26, 12), std::string("\x01\x80\x03\x00\x01\x00\x00\x00\x03\x00\x00\x00", 12));
    // The closing tag is in the block, and the next-block field behind it is 0.
    EXPECT_EQ(get_u16(p, dir + 38), 1);
    EXPECT_EQ(get_u32(p, dir + 50), 0u);
    EXPECT_EQ(bytes.substr(dir + 54), std::string(368 - 54, '\0'));

    const std::string dump = Tiffdump(path);
    EXPECT_NE(dump.find("Software (305) ASCII (2) 21<Listeneditor - V2.13\\0>"), std::string::npos) << dump;
    EXPECT_NE(dump.find("(32768) ASCII (2) 12<Keltaris RK\\0>"), std::string::npos) << dump;
    EXPECT_NE(dump.find("32769 (0x8001) SHORT (3) 1<3>"), std::string::npos) << dump;
    EXPECT_NE(dump.find("next 0 (0)"), std::string::npos) << dump;
}

TEST_F(TkfContainer, FullBufferChainsBlocksAndFindsEveryTag)
{
    Create();
    bool error = false;
    for (uint16_t i = 0; i < 40; ++i)
        TkfAddString(tkf::kTagPattern1 + (i % 3), "N" + std::to_string(i), error);
    const std::string bytes = Finish();
    ASSERT_FALSE(error);
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const uint32_t first = get_u32(p, 4);
    EXPECT_EQ(get_u16(p, first), 30);
    const uint32_t second = get_u32(p, first + 2 + 360);
    ASSERT_NE(second, 0u);
    EXPECT_EQ(get_u16(p, second), 11);  // ten names and the closing tag
    // The data of the 31st tag come after the first block, not before it.
    EXPECT_GT(second, first);

    bool openError = false;
    P_DiskOpen(path, openError, true);
    std::vector<TkfEntry> all;
    EXPECT_TRUE(TkfReadDirectory(all));
    ASSERT_EQ(all.size(), 41u);
    EXPECT_EQ(all.back().tag, tkf::kTagEnd);
    EXPECT_EQ(bytes.substr(all[35].value, 4), std::string("N35\0", 4));
    int32_t value = 0, count = 0;
    TkfFindTag(tkf::kTagEnd, value, count);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(count, 1);

    const std::string dump = Tiffdump(path);
    EXPECT_NE(dump.find("Directory 1:"), std::string::npos) << dump;
}

TEST_F(TkfContainer, AbsentTagsAndRefusedHeaders)
{
    Create();
    bool error = false;
    TkfAddTag(tkf::kTagGauge, 1, 8, false, error);
    const std::string bytes = Finish();

    bool e = false;
    P_DiskOpen(path, e, true);
    int32_t value = 0, count = 0;
    TkfFindTag(tkf::kTagGauge, value, count);
    EXPECT_EQ(value, 8);
    EXPECT_EQ(count, 1);
    TkfFindTag(tkf::kTagComment, value, count);
    EXPECT_EQ(value, -1);
    EXPECT_EQ(count, -1);
    P_DiskClose();

    // A valid TIFF header without "GH" is no machine program file.
    std::string gx = bytes;
    gx[8] = 'G';
    gx[9] = 'X';
    Open(gx);
    EXPECT_FALSE(TkfHeaderValid());
    TkfFindTag(tkf::kTagGauge, value, count);
    EXPECT_EQ(value, -1);
    EXPECT_EQ(count, 0);
    std::vector<TkfEntry> none;
    EXPECT_FALSE(TkfReadDirectory(none));
    EXPECT_TRUE(none.empty());
    P_DiskClose();

    std::string mm = bytes;
    mm[0] = mm[1] = 'M';
    Open(mm);
    EXPECT_FALSE(TkfHeaderValid());
    P_DiskClose();
    Open(bytes.substr(0, 6));
    EXPECT_FALSE(TkfHeaderValid());
}

TEST_F(TkfContainer, DamagedDirectoriesEndTheSearch)
{
    const TkfEntry gauge{tkf::kTagGauge, 3, 1, 8};
    const TkfEntry format{tkf::kTagFormat, 3, 1, 3};
    struct Case {
        const char* name;
        std::string bytes;
        bool gaugeFound;
    };
    const std::vector<Case> cases = {
        // The block links back to itself: the chain never reaches 0.
        {"self link", Header(10) + Block({gauge}, 10), true},
        // Two blocks linking to each other.
        {"loop of two", Header(10) + Block({gauge}, 28) + Block({format}, 10), true},
        {"count 65535", Header(10) + Block({gauge}, 0, 65535), false},
        {"count 31", Header(10) + Block({gauge}, 0, 31), false},
        {"count 0", Header(10) + Block({gauge}, 0).replace(0, 2, std::string(2, '\0')), false},
        {"first offset past the end", Header(5000) + Block({gauge}, 0), false},
        {"first offset at the last byte", Header(27) + Block({gauge}, 0), false},
        {"link past the end", Header(10) + Block({gauge}, 90000), true},
        {"block cut short", Header(10) + Block({gauge, format}, 0).substr(0, 20), false},
        {"offset near 4 GiB", Header(0xFFFFFFF0u) + Block({gauge}, 0), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open(c.bytes);
        int32_t value = 0, count = 0;
        TkfFindTag(tkf::kTagReserved, value, count);
        EXPECT_EQ(value, -1);
        EXPECT_EQ(count, -1);
        TkfFindTag(tkf::kTagGauge, value, count);
        EXPECT_EQ(value, c.gaugeFound ? 8 : -1);
        // The whole walk stops too, keeping what stood before the damage.
        std::vector<TkfEntry> entries;
        EXPECT_FALSE(TkfReadDirectory(entries));
        EXPECT_EQ(!entries.empty() && entries[0].tag == tkf::kTagGauge, c.gaugeFound);
        P_DiskClose();
    }
}

TEST_F(TkfContainer, UnknownTagIsEnteredWithoutTypeAndReported)
{
    ScopedRecordingHost host;
    Create();
    bool error = false;
    TkfAddTag(999, 1, 7, false, error);
    const std::string bytes = Finish();
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const uint32_t dir = get_u32(p, 4);
    EXPECT_EQ(get_u16(p, dir + 2), 999);
    EXPECT_EQ(get_u16(p, dir + 4), 0);
    ASSERT_EQ(host.host.messages().size(), 1u);
    EXPECT_EQ(host.host.messages()[0], "Unbekanntes Tag Nummer: 999\r\nTKF-Datei ist falsch");
}

TEST_F(TkfContainer, TypesFollowTheTag)
{
    EXPECT_EQ(TkfTagType(tkf::kTagEnd), tkf::kTypeShort);
    EXPECT_EQ(TkfTagType(tkf::kTagComment), tkf::kTypeAscii);
    EXPECT_EQ(TkfTagType(tkf::kTagArtist), tkf::kTypeAscii);
    EXPECT_EQ(TkfTagType(tkf::kTagSystems), tkf::kTypeShort);
    EXPECT_EQ(TkfTagType(tkf::kTagRights), tkf::kTypeAscii);
    EXPECT_EQ(TkfTagType(tkf::kTagCList), tkf::kTypeSection);
    EXPECT_EQ(TkfTagType(34820), 0);  // no section between F and Z
    EXPECT_EQ(TkfTagType(34826), 0);
    EXPECT_EQ(TkfTagType(tkf::kTagPattern3), tkf::kTypeAscii);
    EXPECT_EQ(TkfTagType(34835), 0);
}

TEST_F(TkfContainer, WritesFailOnAStreamThatIsNotOpen)
{
    P_DiskClose();
    bool error = false;
    TkfAddTag(tkf::kTagFormat, 1, 3, false, error);
    EXPECT_TRUE(error);
    int32_t value = 0, count = 0;
    TkfFindTag(tkf::kTagFormat, value, count);
    EXPECT_EQ(value, -1);
    EXPECT_EQ(count, 0);
}

TEST(TkfDate, ZeroPaddedParts)
{
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 0;
    t.tm_mday = 5;
    t.tm_hour = 7;
    t.tm_min = 3;
    t.tm_sec = 9;
    EXPECT_EQ(TkfDateText(t), "2024:01:05 07:03:09");
    EXPECT_TRUE(std::regex_match(TkfNowText(), std::regex(R"(\d{4}:\d\d:\d\d \d\d:\d\d:\d\d)")));
}
