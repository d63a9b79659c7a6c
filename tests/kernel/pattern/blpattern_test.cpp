// Design-program layers: plain and run-length rows, the colour table, and
// files that are cut, too wide or missing.
#include <gtest/gtest.h>

#include "kernel/model/bytes.h"
#include "kernel/model/programmodel.h"
#include "kernel/pattern/blpattern.h"
#include "tests/kernel/pattern/pattern_test_util.h"
#include "tests/support/recording_host.h"

namespace {

std::string Words(std::initializer_list<uint16_t> words)
{
    std::string s;
    for (uint16_t w : words) {
        s += static_cast<char>(w & 0xFF);
        s += static_cast<char>(w >> 8);
    }
    return s;
}

std::string Row(int plane, int row)
{
    const uint8_t* p = PatternPlane(plane)->rows.data() + size_t(row) * kPatternStride;
    return std::string(reinterpret_cast<const char*>(p), ProgrammKopf.Width());
}

class BlPattern : public testing::Test {
protected:
    void SetUp() override { setKernelHost(&host); }
    void TearDown() override { setKernelHost(nullptr); }

    bool Load(const std::string& bytes, int plane = 0, bool report = true, bool quiet = false)
    {
        WriteTestFile(TestHome() + "Layer.Bl2", bytes);
        host.calls.clear();
        return LoadBlPattern(TestHome() + "layer.bl2", report, quiet, plane);
    }

    RecordingKernelHost host;
};

}  // namespace

TEST_F(BlPattern, ColourTable)
{
    const int in[] = {0, 1, 15, 16, 17, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 36, 37, 38, 47, 48, 255};
    const int out[] = {31, 0, 14, 31, 15, 21, 31, 22, 23, 31, 24, 31, 25, 26, 31, 27, 30, 31, 32, 41, 31, 31};
    for (size_t i = 0; i < std::size(in); ++i)
        EXPECT_EQ(BlColour(static_cast<uint8_t>(in[i])), out[i]) << in[i];
}

TEST_F(BlPattern, PlainRowsTranslatedFromRowOneUp)
{
    ASSERT_TRUE(Load(Words({2, 3}) + "\x01\x02\x03\x11\x12\x13", 1));
    EXPECT_EQ(ProgrammKopf.Width(), 3);
    EXPECT_EQ(ProgrammKopf.Height(), 2);
    EXPECT_EQ(Row(1, 1), std::string("\x00\x01\x02", 3));
    EXPECT_EQ(Row(1, 2), std::string("\x0f\x10\x11", 3));
    EXPECT_TRUE(BildEbene1.present);
    EXPECT_TRUE(BildEbene1.second);
    EXPECT_FALSE(BildEbene0.present);
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Patrone erfolgreich geladen"});

    // Progress box: caption, labels, numbers four wide, rows counted up.
    ASSERT_FALSE(host.calls.empty());
    EXPECT_EQ(host.calls.front().text, "Patrone laden");
    EXPECT_EQ(host.calls.front().labels, (std::vector<std::string>{"Dateiname", "Breite", "Höhe", "Zeile"}));
    std::vector<std::string> lines;
    for (const auto& c : host.callsOf("infoLine"))
        lines.push_back(std::to_string(c.a) + ":" + c.text);
    EXPECT_EQ(lines, (std::vector<std::string>{"1:" + TestHome() + "layer.bl2", "2:   3", "3:   2", "4:1", "4:2"}));
    // The box goes before the message.
    EXPECT_EQ(host.calls[host.calls.size() - 2].what, "infoHide");

    // Bit 15 of the height word keeps the bytes as they are.
    ASSERT_TRUE(Load(Words({0x8002, 3}) + "\x01\x02\x03\x11\x12\x13"));
    EXPECT_EQ(Row(0, 2), "\x11\x12\x13");

    // Report clear or quiet set: no message.
    ASSERT_TRUE(Load(Words({2, 3}) + "\x01\x02\x03\x11\x12\x13", 0, false, false));
    EXPECT_TRUE(host.messages().empty());
    ASSERT_TRUE(Load(Words({2, 3}) + "\x01\x02\x03\x11\x12\x13", 0, true, true));
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(BlPattern, RunLengthRows)
{
    // C3 05 = three 05, 07 literal; C0 is a literal.
    ASSERT_TRUE(Load(Words({0x8002, 0x8005, 4}) + "\xC3\x05\x07\xC0" + Words({2}) + "\xC1\x09" + Words({0})));
    EXPECT_EQ(Row(0, 1), std::string("\x05\x05\x05\x07\xC0", 5));
    // A short row is filled with zeros.
    EXPECT_EQ(Row(0, 2), std::string("\x09\x00\x00\x00\x00", 5));

    // No more than the width comes out of a row; the rest of its code is skipped.
    ASSERT_TRUE(Load(Words({0x8002, 0x8004, 5}) + "\xFF\x01\x02\x03\x04" + Words({1}) + "\x06" + Words({0})));
    EXPECT_EQ(Row(0, 1), "\x01\x01\x01\x01");
    EXPECT_EQ(Row(0, 2), std::string("\x06\x00\x00\x00", 4));

    // A run byte at the end of a row has no value: the row ends there, and
    // the next length word is not taken as its value.
    ASSERT_TRUE(Load(Words({0x8002, 0x8003, 2}) + "\x01\xC2" + Words({1}) + "\x07" + Words({0})));
    EXPECT_EQ(Row(0, 1), std::string("\x01\x00\x00", 3));
    EXPECT_EQ(Row(0, 2), std::string("\x07\x00\x00", 3));

    // Translated after decoding (0 -> 31), and the last length word may be missing.
    ASSERT_TRUE(Load(Words({1, 0x8003, 2}) + "\xC2\x11"));
    EXPECT_EQ(Row(0, 1), std::string("\x0f\x0f\x1f", 3));
}

TEST_F(BlPattern, BadFiles)
{
    // Too wide: refused before the plane or the header change.
    ProgrammKopf.SetWidth(7);
    EXPECT_FALSE(Load(Words({1, 3000}) + std::string(3000, '\x01')));
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Die Patrone ist zu groß!"});
    EXPECT_EQ(ProgrammKopf.Width(), 7);
    EXPECT_FALSE(Load(Words({1, 0x8000 | 2001, 0})));
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Die Patrone ist zu groß!"});

    // Cut files: the complete rows stay, no success message.
    EXPECT_FALSE(Load(Words({3, 2}) + "\x01\x02\x03"));
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Datei ist unvollständig!"});
    EXPECT_EQ(host.callsOf("messageDlg")[0].kind, MsgKind::Warning);
    EXPECT_EQ(ProgrammKopf.Height(), 3);
    EXPECT_EQ(Row(0, 1), std::string("\x00\x01", 2));
    EXPECT_EQ(Row(0, 2), std::string(2, '\0'));
    EXPECT_FALSE(BildEbene0.present);
    EXPECT_FALSE(Load(Words({0x8003, 0x8002, 2}) + "\x01\x02" + Words({9}) + "\x01"));
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Datei ist unvollständig!"});
    EXPECT_FALSE(Load(Words({0x8003, 0x8002, 2}) + "\x01\x02"));
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Datei ist unvollständig!"});
    EXPECT_FALSE(Load(Words({1}) + "\x01"));
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Datei ist unvollständig!"});
    EXPECT_FALSE(Load(""));

    // Missing file: the box goes, the caller gets false.
    host.calls.clear();
    EXPECT_FALSE(LoadBlPattern(TestHome() + "none.Bl3", true, false, 0));
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Datei nicht gefunden!"});
    EXPECT_EQ(host.callsOf("infoHide").size(), 1u);
}

TEST_F(BlPattern, EscStopsAfterARowWithoutMessage)
{
    host.abortAnswers = {false, true};
    WriteTestFile(TestHome() + "e.Bl4", Words({0x8004, 1}) + "\x01\x02\x03\x04");
    host.calls.clear();
    EXPECT_FALSE(LoadBlPattern(TestHome() + "e.Bl4", true, false, 2));
    EXPECT_TRUE(host.messages().empty());
    EXPECT_EQ(Row(2, 1), "\x01");
    EXPECT_EQ(Row(2, 2), "\x02");
    EXPECT_EQ(Row(2, 3), std::string(1, '\0'));
    EXPECT_FALSE(BildEbene2.present);
    EXPECT_EQ(host.calls.back().what, "infoHide");

    // The last row ends the loading before Esc is asked for: the load stands.
    host.calls.clear();
    host.abortAnswers = {false, false, false, true};
    EXPECT_TRUE(LoadBlPattern(TestHome() + "e.Bl4", true, false, 2));
    EXPECT_EQ(host.callsOf("infoAbortRequested").size(), 3u);
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Patrone erfolgreich geladen"});
    EXPECT_TRUE(BildEbene2.present);
    host.abortAnswers.clear();
}

TEST(BlProbe, ExamplesFromOutside)
{
    std::string out;
    ASSERT_EQ(Fixture("bl a.Bl2 2 3 010203 111213"), 0);
    ASSERT_EQ(Probe("bl-read a.Bl2", &out), 0);
    EXPECT_EQ(out, "MSG Patrone erfolgreich geladen\n3 2 82cdb5befb28db1a\n");

    ASSERT_EQ(Fixture("bl b.Bl2 0x8001 0x8004 w3 c30507 w0"), 0);
    ASSERT_EQ(Probe("bl-read b.Bl2", &out), 0);
    EXPECT_EQ(SplitLines(out).back(), "4 1 587e7e56073ae62b");

    // A lone C0 stays C0.
    ASSERT_EQ(Fixture("bl c.Bl2 0x8001 0x8001 w1 c0 w0"), 0);
    ASSERT_EQ(Probe("bl-read c.Bl2", &out), 0);
    ASSERT_EQ(Shell("python3 -c \"print('1 1 %016x' % (((0xcbf29ce484222325 ^ 0xc0) * 0x100000001b3) % 2**64))\"",
                    &out),
              0);
    std::string read;
    Probe("bl-read c.Bl2", &read);
    EXPECT_EQ(SplitLines(read).back() + "\n", out);

    // The colour table through the file: inputs in one row, hashed by python.
    ASSERT_EQ(Fixture("bl d.Bl2 1 15 00010f101117191c1e2125262f30ff"), 0);
    ASSERT_EQ(Shell("python3 -c \"h = 0xcbf29ce484222325\n"
                    "for v in (31, 0, 14, 31, 15, 21, 22, 24, 25, 27, 31, 32, 41, 31, 31):\n"
                    "    h = ((h ^ v) * 0x100000001b3) % 2**64\n"
                    "print('15 1 %016x' % h)\"",
                    &out),
              0);
    Probe("bl-read d.Bl2", &read);
    EXPECT_EQ(SplitLines(read).back() + "\n", out);

    ASSERT_EQ(Fixture("bl w.Bl2 1 3000 00"), 0);
    EXPECT_EQ(Probe("bl-read w.Bl2", &out), 1);
    EXPECT_EQ(out, "MSG Die Patrone ist zu groß!\nERROR Die Patrone ist zu groß!\n");

    ASSERT_EQ(Fixture("bl cut.Bl2 3 3 01020304050607"), 0);
    EXPECT_EQ(Probe("bl-read cut.Bl2", &out), 1);
    EXPECT_EQ(out, "MSG Datei ist unvollständig!\nERROR Datei ist unvollständig!\n");

    EXPECT_EQ(Probe("bl-read none.Bl2", &out), 1);
    EXPECT_EQ(out, "MSG Datei nicht gefunden!\nERROR Datei nicht gefunden!\n");
    EXPECT_EQ(Probe("bl-read"), 2);
}
