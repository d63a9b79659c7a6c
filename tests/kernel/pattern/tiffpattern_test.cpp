// TIFF pattern files in the kernel: bytes written, planes read back, the
// progress box and every failure message.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <tuple>

#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/pattern/lzwcodec.h"
#include "kernel/pattern/tiffpattern.h"
#include "platform/safe_file.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

namespace {

uint8_t* Row(int plane, int row)
{
    return PatternPlane(plane)->rows.data() + size_t(row) * kPatternStride;
}

// A plane of the given size with cells (x * 7 + y * 3 + plane) mod 256.
void FillPlane(int plane, uint16_t width, uint16_t height, unsigned seed = 0)
{
    ProgrammKopf.SetWidth(width);
    ProgrammKopf.SetHeight(height);
    PatternPlane(plane)->allocate(height);
    std::mt19937 rng(seed);
    for (int y = 1; y <= height; ++y)
        for (int x = 0; x < width; ++x)
            Row(plane, y)[x] = static_cast<uint8_t>(seed ? rng() : unsigned(x * 7 + y * 3 + plane));
}

std::vector<std::string> PlaneRows(int plane)
{
    std::vector<std::string> rows;
    for (int y = 0; y <= ProgrammKopf.Height(); ++y)
        rows.emplace_back(reinterpret_cast<const char*>(Row(plane, y)), ProgrammKopf.Width());
    return rows;
}

void ClearProgram()
{
    ProgrammKopf.SetWidth(0);
    ProgrammKopf.SetHeight(0);
    for (int p = 0; p < 3; ++p) {
        PatternPlane(p)->release();
        PatternPlane(p)->present = PatternPlane(p)->second = false;
    }
}

struct Entry {
    uint16_t tag, type;
    uint32_t count, value;
};

// "II", 42, the directory at 8 with the entries, then the tail at
// TailAt(entries.size()).
uint32_t TailAt(size_t entries)
{
    return static_cast<uint32_t>(14 + 12 * entries);
}

std::string Tiff(const std::vector<Entry>& entries, const std::string& tail)
{
    std::string s(TailAt(entries.size()), '\0');
    auto* b = reinterpret_cast<uint8_t*>(s.data());
    b[0] = b[1] = 'I';
    put_u16(b, 2, 42);
    put_u32(b, 4, 8);
    put_u16(b, 8, static_cast<uint16_t>(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        uint8_t* e = b + 10 + 12 * i;
        put_u16(e, 0, entries[i].tag);
        put_u16(e, 2, entries[i].type);
        put_u32(e, 4, entries[i].count);
        put_u32(e, 8, entries[i].value);
    }
    return s + tail;
}

// The tags of a width x height raw file whose one strip is the tail.
std::vector<Entry> Basic(uint32_t width, uint32_t height, uint32_t stripBytes)
{
    return {{256, 4, 1, width}, {257, 4, 1, height}, {258, 3, 1, 8}, {259, 3, 1, 1}, {262, 3, 1, 3},
            {273, 4, 1, TailAt(9)}, {277, 3, 1, 1}, {278, 4, 1, height}, {279, 4, 1, stripBytes}};
}

std::string Cells(size_t n, uint8_t first = 1)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>(first + i);
    return s;
}

class TiffPattern : public testing::Test {
protected:
    void SetUp() override { setKernelHost(&host); }
    void TearDown() override
    {
        setKernelHost(nullptr);
        SetSafeFileFaultForTesting({});
    }

    // Reads file into plane with a fresh host record; the messages shown.
    std::vector<std::string> Read(const std::string& file, int plane = 0, bool* ok = nullptr)
    {
        host.calls.clear();
        const bool r = ReadTiffPattern(file, true, plane);
        if (ok)
            *ok = r;
        return host.messages();
    }
    std::string ReadFailure(const std::string& bytes)
    {
        WriteTestFile(TestHome() + "t.tif", bytes);
        ClearProgram();
        bool ok = true;
        const auto m = Read(TestHome() + "t.tif", 0, &ok);
        EXPECT_FALSE(ok);
        EXPECT_FALSE(BildEbene0.present);
        return m.size() == 1 ? m[0] : "(" + std::to_string(m.size()) + " messages)";
    }

    RecordingKernelHost host;
};

}  // namespace

TEST_F(TiffPattern, OneStripLayoutByteForByte)
{
    FillPlane(0, 4, 3);
    const std::string file = TestHome() + "One.tif";
    ASSERT_TRUE(WriteTiffPattern(false, file, 0, true, true));
    const std::string bytes = ReadTestFile(file);
    ASSERT_EQ(bytes.size(), 158u + 12 + 1536);
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
    EXPECT_EQ(bytes.substr(0, 8), std::string("II\x2a\0\x08\0\0\0", 8));
    EXPECT_EQ(get_u16(b, 8), 12);
    const Entry want[12] = {{254, 4, 1, 0},   {256, 4, 1, 4},   {257, 4, 1, 3},   {258, 3, 1, 8},
                            {259, 3, 1, 1},   {262, 3, 1, 3},   {273, 4, 1, 158}, {277, 3, 1, 1},
                            {278, 4, 1, 3},   {279, 4, 1, 12},  {284, 3, 1, 1},   {320, 3, 768, 170}};
    for (int i = 0; i < 12; ++i) {
        const uint8_t* e = b + 10 + 12 * i;
        EXPECT_EQ(get_u16(e, 0), want[i].tag) << i;
        EXPECT_EQ(get_u16(e, 2), want[i].type) << i;
        EXPECT_EQ(get_u32(e, 4), want[i].count) << i;
        EXPECT_EQ(get_u32(e, 8), want[i].value) << i;
    }
    EXPECT_EQ(get_u32(b, 154), 0u);
    // Highest row first: row 3 is (x * 7 + 9).
    EXPECT_EQ(bytes.substr(158, 12), std::string("\x09\x10\x17\x1e\x06\x0d\x14\x1b\x03\x0a\x11\x18", 12));
    // Colour map: red, green, blue planes of 256 values, value x 256.
    auto rgb = [&](int i) {
        return std::vector<int>{get_u16(b, 170 + 2 * i), get_u16(b, 170 + 512 + 2 * i), get_u16(b, 170 + 1024 + 2 * i)};
    };
    EXPECT_EQ(rgb(0), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(rgb(1), (std::vector<int>{0, 0, 0xff00}));
    EXPECT_EQ(rgb(19), (std::vector<int>{60 * 256, 0, 128 * 256}));
    EXPECT_EQ(rgb(31), (std::vector<int>{190 * 256, 120 * 256, 120 * 256}));
    EXPECT_EQ(rgb(32), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(rgb(213), (std::vector<int>{255 * 256, 195 * 256, 255 * 256}));
    EXPECT_EQ(rgb(221), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(rgb(235), (std::vector<int>{0xff00, 0xff00, 0xff00}));
}

TEST_F(TiffPattern, ThreeStripLayout)
{
    FillPlane(0, 2000, 10);
    const std::string file = TestHome() + "Wide.tif";
    ASSERT_TRUE(WriteTiffPattern(false, file, 0, true, true));
    const std::string bytes = ReadTestFile(file);
    ASSERT_EQ(bytes.size(), 21718u);
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
    EXPECT_EQ(get_u32(b, 10 + 12 * 6 + 4), 3u);
    EXPECT_EQ(get_u32(b, 10 + 12 * 6 + 8), 20158u);
    EXPECT_EQ(get_u32(b, 10 + 12 * 8 + 8), 4u);
    EXPECT_EQ(get_u32(b, 10 + 12 * 9 + 8), 20170u);
    EXPECT_EQ(get_u32(b, 10 + 12 * 11 + 8), 20182u);
    for (int s = 0; s < 3; ++s) {
        EXPECT_EQ(get_u32(b, 20158 + 4 * s), 158u + 8000 * s);
        EXPECT_EQ(get_u32(b, 20170 + 4 * s), s < 2 ? 8000u : 4000u);
    }
    // Row 10 opens the first strip, row 6 the second, row 2 the third.
    EXPECT_EQ(bytes.substr(158, 2000), PlaneRows(0)[10]);
    EXPECT_EQ(bytes.substr(8158, 2000), PlaneRows(0)[6]);
    EXPECT_EQ(bytes.substr(18158, 2000), PlaneRows(0)[1]);
}

TEST_F(TiffPattern, RoundTripsIntoEachPlane)
{
    struct Size {
        uint16_t w, h;
    };
    int n = 0;
    // 2100 rows make a plane big enough to be streamed to memory; an odd
    // width leaves a tail to each streamed row.
    for (Size s : {Size{1, 1}, Size{3, 7}, Size{2000, 10}, Size{17, 1000}, Size{2000, 5}, Size{1000, 30},
                   Size{1999, 2100}}) {
        for (bool compress : {true, false}) {
            for (unsigned seed : {0u, 5u}) {
                const int plane = n++ % 3;
                SCOPED_TRACE(std::to_string(s.w) + "x" + std::to_string(s.h) + (compress ? " lzw" : " plain"));
                ClearProgram();
                FillPlane(plane, s.w, s.h, seed);
                const auto written = PlaneRows(plane);
                const std::string file = TestHome() + "rt.tif";
                ASSERT_TRUE(WriteTiffPattern(compress, file, plane, true, true));
                ClearProgram();
                bool ok = false;
                EXPECT_EQ(Read(TestHome() + "RT.TIF", plane, &ok), std::vector<std::string>{"Patrone erfolgreich geladen"});
                ASSERT_TRUE(ok);
                EXPECT_EQ(ProgrammKopf.Width(), s.w);
                EXPECT_EQ(ProgrammKopf.Height(), s.h);
                auto read = PlaneRows(plane);
                read[0] = written[0];
                EXPECT_EQ(read, written);
                EXPECT_TRUE(PatternPlane(plane)->present);
                EXPECT_TRUE(PatternPlane(plane)->second);
                for (int other = 0; other < 3; ++other) {
                    if (other != plane) {
                        EXPECT_FALSE(PatternPlane(other)->present);
                    }
                }
            }
        }
    }
}

TEST_F(TiffPattern, WritingShowsProgressAndMessages)
{
    FillPlane(0, 2000, 10);
    ASSERT_TRUE(WriteTiffPattern(true, TestHome() + "p.tif", 0, false, true));
    ASSERT_FALSE(host.calls.empty());
    EXPECT_EQ(host.calls.front().what, "infoShow");
    EXPECT_EQ(host.calls.front().text, "Patrone schreiben");
    EXPECT_EQ(host.calls.front().labels, (std::vector<std::string>{"Dateiname", "Breite", "Höhe", "Zeile"}));
    std::vector<std::string> rows;
    for (const auto& c : host.callsOf("infoLine"))
        if (c.a == 4)
            rows.push_back(c.text);
    EXPECT_EQ(rows, (std::vector<std::string>{"10", "9", "8", "7", "6", "5", "4", "3", "2", "1"}));
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Patrone erfolgreich gesichert"});
    EXPECT_EQ(host.callsOf("messageDlg")[0].kind, MsgKind::Information);
    EXPECT_EQ(host.calls.back().what, "infoHide");

    host.calls.clear();
    ASSERT_TRUE(WriteTiffPattern(true, TestHome() + "p.tif", 0, false, false));
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Listen und Patrone erfolgreich gesichert"});
    host.calls.clear();
    ASSERT_TRUE(WriteTiffPattern(true, TestHome() + "p.tif", 0, true, false));
    EXPECT_TRUE(host.messages().empty());
    EXPECT_EQ(host.calls.back().what, "infoHide");
}

TEST_F(TiffPattern, FullDiskKeepsTheOldFile)
{
    FillPlane(0, 2000, 10, 3);
    const std::string file = WriteTestFile(TestHome() + "Keep.tif", "old pattern");
    for (SafeFileFault fault : {SafeFileFault{100, false}, SafeFileFault{10000, false}, SafeFileFault{-1, true}}) {
        SetSafeFileFaultForTesting(fault);
        host.calls.clear();
        EXPECT_FALSE(WriteTiffPattern(true, TestHome() + "KEEP.TIF", 0, false, true));
        EXPECT_EQ(host.messages(), std::vector<std::string>{"Diskette ist voll!"});
        EXPECT_EQ(host.callsOf("messageDlg")[0].kind, MsgKind::Warning);
        EXPECT_EQ(ReadTestFile(file), "old pattern");
    }
    SetSafeFileFaultForTesting({});
    // Nothing left behind but the file itself.
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(TestHome()))
        if (e.is_regular_file())
            names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"Keep.tif"});

    // A folder that does not exist is no full disk.
    host.calls.clear();
    EXPECT_FALSE(WriteTiffPattern(true, TestHome() + "nowhere/x.tif", 0, false, true));
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Unbekannter Fehler am Laufwerk!"});
}

TEST_F(TiffPattern, EmptyOrOversizedPlaneWritesNothing)
{
    const std::string file = TestHome() + "e.tif";
    for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}}) {
        ClearProgram();
        ProgrammKopf.SetWidth(static_cast<uint16_t>(w));
        ProgrammKopf.SetHeight(static_cast<uint16_t>(h));
        host.calls.clear();
        EXPECT_FALSE(WriteTiffPattern(true, file, 0, false, true));
        EXPECT_EQ(host.messages(), std::vector<std::string>{"Die Patrone ist leer!"});
        EXPECT_FALSE(fs::exists(file));
    }
    ProgrammKopf.SetWidth(2001);
    ProgrammKopf.SetHeight(2);
    host.calls.clear();
    EXPECT_FALSE(WriteTiffPattern(true, file, 0, false, true));
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Die Patrone ist zu groß!"});
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(TiffPattern, ReadingShowsRowsCountedDownAndEscStopsAfterAStrip)
{
    FillPlane(0, 2000, 10, 9);
    const auto written = PlaneRows(0);
    ASSERT_TRUE(WriteTiffPattern(true, TestHome() + "esc.tif", 0, true, true));
    ClearProgram();
    host.abortAnswers = {true};
    bool ok = true;
    EXPECT_TRUE(Read(TestHome() + "esc.tif", 0, &ok).empty());
    EXPECT_FALSE(ok);
    EXPECT_FALSE(BildEbene0.present);
    ASSERT_FALSE(host.calls.empty());
    EXPECT_EQ(host.calls.front().text, "Patrone laden");
    EXPECT_EQ(host.calls.front().labels, (std::vector<std::string>{"Dateiname", "Breite", "Höhe", "Zeile"}));
    std::vector<std::string> lines;
    for (const auto& c : host.callsOf("infoLine"))
        lines.push_back(std::to_string(c.a) + ":" + c.text);
    EXPECT_EQ(lines, (std::vector<std::string>{"1:" + TestHome() + "esc.tif", "2:2000", "3:10", "4:10", "4:9", "4:8", "4:7"}));
    EXPECT_EQ(host.calls.back().what, "infoHide");
    // The first strip (rows 10..7) stays; the rest is as the plane was sized.
    const auto read = PlaneRows(0);
    for (int y = 7; y <= 10; ++y)
        EXPECT_EQ(read[y], written[y]);
    for (int y = 1; y <= 6; ++y)
        EXPECT_EQ(read[y], std::string(2000, '\0'));

    // Esc during the last strip stops as well: no message, not marked loaded.
    FillPlane(0, 4, 3);
    ASSERT_TRUE(WriteTiffPattern(true, TestHome() + "one.tif", 0, true, true));
    ClearProgram();
    host.abortAnswers = {true};
    EXPECT_TRUE(Read(TestHome() + "one.tif", 0, &ok).empty());
    EXPECT_FALSE(ok);
    EXPECT_FALSE(BildEbene0.present);
    EXPECT_EQ(host.callsOf("infoAbortRequested").size(), 1u);
    EXPECT_EQ(host.calls.back().what, "infoHide");
    host.abortAnswers.clear();

    // Remote control: no success message.
    ClearProgram();
    Fernsteuerung = true;
    EXPECT_TRUE(Read(TestHome() + "esc.tif", 0, &ok).empty());
    EXPECT_TRUE(ok);
    Fernsteuerung = false;
    ClearProgram();
    host.calls.clear();
    ASSERT_TRUE(ReadTiffPattern(TestHome() + "esc.tif", false, 0));
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Listen und Patrone erfolgreich geladen"});
}

TEST_F(TiffPattern, OtherSizeLeavesPlaneAndHeader)
{
    FillPlane(0, 4, 3);
    ASSERT_TRUE(WriteTiffPattern(true, TestHome() + "small.tif", 0, true, true));
    FillPlane(1, 5, 3);
    FillPlane(0, 5, 3, 4);
    const auto before = PlaneRows(0);
    EXPECT_EQ(Read(TestHome() + "small.tif", 0), std::vector<std::string>{"Die Patronen haben nicht die gleiche Größe!"});
    EXPECT_EQ(PlaneRows(0), before);
    EXPECT_EQ(ProgrammKopf.Width(), 5);
    EXPECT_EQ(ProgrammKopf.Height(), 3);
    EXPECT_EQ(host.callsOf("messageDlg")[0].kind, MsgKind::Warning);
}

TEST_F(TiffPattern, HeaderAndTagFailures)
{
    const std::string cells = Cells(12);
    EXPECT_EQ(ReadFailure("MM" + Tiff(Basic(4, 3, 12), cells).substr(2)), "Kein Intelformat !");
    std::string zero = Tiff(Basic(4, 3, 12), cells);
    zero[4] = 0;
    EXPECT_EQ(ReadFailure(zero), "Fehler beim Diskhandling");
    EXPECT_EQ(ReadFailure("II*"), "Fehler beim Diskhandling");
    // 42 is not checked, and only the first directory is read: its link
    // goes nowhere useful here.
    std::string other = Tiff(Basic(4, 3, 12), cells);
    other[2] = 43;
    put_u32(reinterpret_cast<uint8_t*>(other.data()), 10 + 12 * 9, 0xFFFFFFF0u);
    WriteTestFile(TestHome() + "43.tif", other);
    EXPECT_EQ(Read(TestHome() + "43.tif"), std::vector<std::string>{"Patrone erfolgreich geladen"});

    auto with = [&](std::vector<Entry> e) { return ReadFailure(Tiff(e, cells)); };
    auto basicPlus = [&](Entry extra) {
        auto e = Basic(4, 3, 12);
        e.push_back(extra);
        return e;
    };
    auto basicWith = [&](uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
        auto e = Basic(4, 3, 12);
        for (auto& x : e)
            if (x.tag == tag)
                x = {tag, type, count, value};
        return e;
    };
    EXPECT_EQ(with(basicPlus({254, 4, 1, 1})), "Es handelt sich um keine Vollbild-Auflösung");
    EXPECT_EQ(with(basicPlus({255, 3, 1, 0})), "Es handelt sich um keine Vollbild-Auflösung");
    EXPECT_EQ(with(basicWith(256, 5, 1, 4)), "unbekanntes Tif-Format (ImageWidth DatenTyp)");
    EXPECT_EQ(with(basicWith(257, 4, 2, 4)), "unbekanntes Tif-Format (ImageLength AnzDaten)");
    EXPECT_EQ(with(basicWith(258, 3, 3, 8)), "unbekanntes Tif-Format (BitsPerSamples AnzDaten)");
    EXPECT_EQ(with(basicWith(273, 2, 1, 8)), "Unbekanntes Tif-Format (StripOffsets DatenTyp)");
    EXPECT_EQ(with(basicWith(279, 1, 1, 8)), "unbekanntes Tif-Format (StripByteCounts DatenTyp)");
    EXPECT_EQ(with(basicPlus({320, 3, 3, 0})), "unbekanntes Tif-Format (ColorMap AnzDaten)");
    EXPECT_EQ(with(basicPlus({282, 4, 1, 0})), "unbekanntes Tif-Format (XResolution DatenTyp)");
    EXPECT_EQ(with(basicPlus({317, 3, 1, 2})), "Tag-Predictor(2) nicht möglich");
    EXPECT_EQ(with(basicWith(256, 4, 1, 0)), "Tag-Bildbreite fehlt");
    EXPECT_EQ(with(basicWith(257, 4, 1, 0)), "Tag-Bildhöhe fehlt");
    EXPECT_EQ(with(basicWith(273, 4, 0, 0)), "Tag-StripsOffset fehlt");
    EXPECT_EQ(with(basicWith(279, 4, 0, 0)), "Tag-StripsByteCount fehlt");
    EXPECT_EQ(with(basicWith(279, 3, 2, 0x000c000c)), "Tag-StripsOffset und -StripsByteCount sind ungleich");
    EXPECT_EQ(with(basicWith(259, 3, 1, 32773)), "Tag-Compression(32773) nicht möglich ");
    EXPECT_EQ(with(basicWith(262, 3, 1, 2)), "Tag-BildTyp(2) nicht lesbar");
    EXPECT_EQ(with(basicWith(258, 3, 1, 0)), "Tag-BitsPerSample fehlt");
    EXPECT_EQ(with(basicWith(277, 3, 1, 2)), "Tag-SamplesPerPixel(2) nicht möglich");
    EXPECT_EQ(with(basicWith(277, 3, 1, 0)), "Tag-SamplesPerPixel(0) nicht möglich");
    EXPECT_EQ(with(basicWith(258, 3, 1, 4)), "SmaplesPerPixel=1 u. BitsPerSample<8");
    EXPECT_EQ(with(basicWith(258, 3, 1, 16)), "SmaplesPerPixel=1 u. BitsPerSample>8");
    auto rgb = basicWith(277, 3, 1, 3);
    EXPECT_EQ(with(rgb), "SmaplesPerPixel=3 u. BitsPerSample=8");
    for (auto& x : rgb)
        if (x.tag == 258)
            x.value = 4;
    EXPECT_EQ(with(rgb), "SmaplesPerPixel=3 u. BitsPerSample<8");
    for (auto& x : rgb)
        if (x.tag == 258)
            x.value = 16;
    EXPECT_EQ(with(rgb), "SmaplesPerPixel=3 u. BitsPerSample>8");
    // The first message set is the one shown.
    auto two = basicWith(256, 4, 1, 0);
    two.push_back({317, 3, 1, 2});
    EXPECT_EQ(with(two), "Tag-Bildbreite fehlt");
    // Too big for a pattern, before the plane is touched.
    EXPECT_EQ(with(basicWith(256, 4, 1, 2001)), "Die Patrone ist zu groß!");
    EXPECT_EQ(with(basicWith(257, 4, 1, 65536)), "Die Patrone ist zu groß!");
    EXPECT_EQ(ProgrammKopf.Width(), 0);
    EXPECT_EQ(ReadFailure(""), "Fehler beim Diskhandling");
    ClearProgram();
    EXPECT_EQ(Read(TestHome() + "missing.tif"), std::vector<std::string>{"Fehler beim Diskhandling"});
}

TEST_F(TiffPattern, StripFailuresAndBounds)
{
    const std::string cells = Cells(12);
    auto basicWith = [&](uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
        auto e = Basic(4, 3, 12);
        for (auto& x : e)
            if (x.tag == tag)
                x = {tag, type, count, value};
        return e;
    };
    // A strip that holds fewer rows than it should.
    EXPECT_EQ(ReadFailure(Tiff(basicWith(279, 4, 1, 11), cells)), "Tif-Daten fehlerhaft");
    // A strip past the end of the file.
    EXPECT_EQ(ReadFailure(Tiff(basicWith(273, 4, 1, 1000), cells)), "Fehler beim Diskhandling");
    EXPECT_EQ(ReadFailure(Tiff(basicWith(279, 4, 1, 0xFFFFFFF0u), cells)), "Fehler beim Diskhandling");
    // Counts bounded by the file size before anything is allocated.
    EXPECT_EQ(ReadFailure(Tiff(basicWith(273, 4, 0x40000000u, 8), cells)), "Fehler beim Diskhandling");
    EXPECT_EQ(ReadFailure(Tiff(basicWith(279, 4, 0xFFFFFFFFu, 8), cells)), "Fehler beim Diskhandling");

    // A corrupt LZW strip: clear, then a code above the table.
    auto lzw = basicWith(259, 3, 1, 5);
    for (auto& x : lzw)
        if (x.tag == 279)
            x.value = 5;
    EXPECT_EQ(ReadFailure(Tiff(lzw, std::string("\x80\x10\x64\xB0\x00", 5))), "Tif-Daten fehlerhaft");
    // One that ends early.
    EXPECT_EQ(ReadFailure(Tiff(lzw, std::string("\x80\x10\x60\x20\x00", 5))), "Tif-Daten fehlerhaft");
}

TEST_F(TiffPattern, SurplusRowsStopAtRowOne)
{
    // One raw strip with five rows for a pattern of three: rows 3, 2, 1 are
    // taken; nothing wraps into row 0 of plane 0.
    FillPlane(0, 4, 3, 1);
    const std::string row0 = PlaneRows(0)[0];
    auto e = Basic(4, 3, 20);
    e[7].value = 5;
    WriteTestFile(TestHome() + "surplus.tif", Tiff(e, Cells(20)));
    bool ok = false;
    EXPECT_EQ(Read(TestHome() + "surplus.tif", 2, &ok), std::vector<std::string>{"Patrone erfolgreich geladen"});
    EXPECT_TRUE(ok);
    EXPECT_EQ(PlaneRows(0)[0], row0);
    EXPECT_EQ(PlaneRows(2)[3], Cells(4, 1));
    EXPECT_EQ(PlaneRows(2)[1], Cells(4, 9));

    // The same as an LZW strip, and padded last strips: surplus rows are no
    // corruption, also beyond RowsPerStrip.
    for (auto [rowsPerStrip, cells, good] : {std::tuple{5u, 20u, true}, std::tuple{2u, 16u, true}, std::tuple{2u, 20u, true}}) {
        ClearProgram();
        std::string strips;
        std::vector<uint32_t> counts;
        for (uint32_t at = 0; at < 12; at += 4 * rowsPerStrip) {
            std::vector<uint8_t> raw;
            const std::string part = Cells(cells, 1).substr(at, at + 4 * rowsPerStrip < 12 ? 4 * rowsPerStrip : cells - at);
            raw.assign(part.begin(), part.end());
            LzwCompress(raw);
            counts.push_back(static_cast<uint32_t>(raw.size()));
            strips.append(raw.begin(), raw.end());
        }
        auto z = Basic(4, 3, 0);
        z[3].value = 5;
        z[7].value = rowsPerStrip;
        const uint32_t at = TailAt(9);
        std::string arrays(8 * counts.size(), '\0');
        auto* a = reinterpret_cast<uint8_t*>(arrays.data());
        uint32_t offset = at + static_cast<uint32_t>(arrays.size());
        for (size_t s = 0; s < counts.size(); ++s) {
            put_u32(a, 4 * s, offset);
            put_u32(a, 4 * (counts.size() + s), counts[s]);
            offset += counts[s];
        }
        const uint32_t n = static_cast<uint32_t>(counts.size());
        z[5] = {273, 4, n, n == 1 ? at + 8 : at};
        z[8] = {279, 4, n, n == 1 ? counts[0] : at + 4 * n};
        WriteTestFile(TestHome() + "z.tif", Tiff(z, arrays + strips));
        EXPECT_EQ(Read(TestHome() + "z.tif", 0, &ok),
                  std::vector<std::string>{good ? "Patrone erfolgreich geladen" : "Tif-Daten fehlerhaft"})
            << rowsPerStrip << " " << cells;
        if (good) {
            EXPECT_EQ(PlaneRows(0)[3], Cells(4, 1));
            EXPECT_EQ(PlaneRows(0)[1], Cells(4, 9));
        }
    }

    // More strips than rows: the ones after row 1 are not read at all.
    ClearProgram();
    std::vector<Entry> strips = Basic(4, 3, 0);
    const uint32_t at = TailAt(9);
    strips[5] = {273, 4, 4, at};
    strips[7] = {278, 4, 1, 1};
    strips[8] = {279, 3, 4, at + 16};
    std::string tail(24, '\0');
    auto* t = reinterpret_cast<uint8_t*>(tail.data());
    for (uint32_t s = 0; s < 4; ++s) {
        put_u32(t, 4 * s, s < 3 ? at + 24 + 4 * s : 0xFFFFFF00u);
        put_u16(t, 16 + 2 * s, 4);
    }
    WriteTestFile(TestHome() + "strips.tif", Tiff(strips, tail + Cells(12)));
    EXPECT_EQ(Read(TestHome() + "strips.tif", 0, &ok), std::vector<std::string>{"Patrone erfolgreich geladen"});
    EXPECT_EQ(PlaneRows(0)[3], Cells(4, 1));
    EXPECT_EQ(PlaneRows(0)[1], Cells(4, 9));
}

TEST_F(TiffPattern, StripRowsComeFromTheirBytes)
{
    // Strips of 4-cell rows; RowsPerStrip as given, each strip's bytes as
    // listed: the rows read follow the bytes, up to the plane's height.
    struct Case {
        uint32_t height, rowsPerStrip;
        std::vector<uint32_t> stripBytes;
        bool lzw, loads;
    };
    const Case cases[] = {
        {30, 1, {120}, false, true},     // one strip for all rows
        {30, 1, {120}, true, true},
        {3, 2, {12}, false, true},
        {3, 2, {4, 8}, false, true},     // a short first strip
        {3, 2, {4, 8}, true, true},
        {3, 1, {11}, false, false},      // two rows and a part: row 1 missing
        {3, 1, {4, 4}, true, false},
        {3, 3, {8, 8}, false, true},     // the second strip's last row is surplus
    };
    for (const Case& c : cases) {
        ClearProgram();
        const std::string cells = Cells(4 * c.height + 8);
        std::vector<Entry> e = Basic(4, c.height, 0);
        e[3].value = c.lzw ? 5 : 1;
        e[7].value = c.rowsPerStrip;
        const uint32_t n = static_cast<uint32_t>(c.stripBytes.size());
        const uint32_t at = TailAt(9);
        std::string arrays(8 * n, '\0'), strips;
        auto* a = reinterpret_cast<uint8_t*>(arrays.data());
        uint32_t cell = 0;
        for (uint32_t s = 0; s < n; ++s) {
            std::vector<uint8_t> strip(cells.begin() + cell, cells.begin() + cell + c.stripBytes[s]);
            cell += c.stripBytes[s];
            if (c.lzw)
                LzwCompress(strip);
            put_u32(a, 4 * s, at + static_cast<uint32_t>(arrays.size() + strips.size()));
            put_u32(a, 4 * (n + s), static_cast<uint32_t>(strip.size()));
            strips.append(strip.begin(), strip.end());
        }
        e[5] = {273, 4, n, n == 1 ? at + 8 : at};
        e[8] = {279, 4, n, n == 1 ? get_u32(a, 4) : at + 4 * n};
        WriteTestFile(TestHome() + "rows.tif", Tiff(e, arrays + strips));
        bool ok = false;
        const auto shown = Read(TestHome() + "rows.tif", 0, &ok);
        const std::string what = std::to_string(c.height) + " rows, " + std::to_string(n) + " strips" + (c.lzw ? ", lzw" : "");
        EXPECT_EQ(ok, c.loads) << what;
        EXPECT_EQ(shown, std::vector<std::string>{c.loads ? "Patrone erfolgreich geladen" : "Tif-Daten fehlerhaft"}) << what;
        for (uint32_t r = 0; c.loads && r < c.height; ++r)
            EXPECT_EQ(PlaneRows(0)[c.height - r], cells.substr(4 * r, 4)) << what << ", row " << c.height - r;
    }
}

TEST_F(TiffPattern, RowsOfAnEarlierReadAreClearedWhereNoStripFillsThem)
{
    // A plane of the file's size, every byte set, also behind the width.
    FillPlane(0, 4, 3);
    std::fill(BildEbene0.rows.begin(), BildEbene0.rows.end(), 0xEE);
    // Two whole rows and a part: rows 3 and 2 are read, then it fails.
    WriteTestFile(TestHome() + "part.tif", Tiff(Basic(4, 3, 11), Cells(12)));
    bool ok = true;
    EXPECT_EQ(Read(TestHome() + "part.tif", 0, &ok), std::vector<std::string>{"Tif-Daten fehlerhaft"});
    EXPECT_FALSE(ok);
    std::vector<uint8_t> fresh((3 + 1) * kPatternStride, 0);
    std::copy_n(Cells(4).begin(), 4, fresh.begin() + 3 * kPatternStride);
    std::copy_n(Cells(4, 5).begin(), 4, fresh.begin() + 2 * kPatternStride);
    EXPECT_TRUE(BildEbene0.rows == fresh);
}

TEST_F(TiffPattern, ShortValuesThatFitStandInTheEntry)
{
    // Two strips of SHORT offsets and counts: both fit the value field.
    auto e = Basic(4, 2, 0);
    const uint32_t at = TailAt(9);
    e[5] = {273, 3, 2, at | ((at + 4) << 16)};
    e[7] = {278, 3, 1, 1};
    e[8] = {279, 3, 2, 4 | (4 << 16)};
    WriteTestFile(TestHome() + "short.tif", Tiff(e, Cells(8)));
    bool ok = false;
    EXPECT_EQ(Read(TestHome() + "short.tif", 0, &ok), std::vector<std::string>{"Patrone erfolgreich geladen"});
    EXPECT_EQ(PlaneRows(0)[2], Cells(4, 1));
    EXPECT_EQ(PlaneRows(0)[1], Cells(4, 5));
}
