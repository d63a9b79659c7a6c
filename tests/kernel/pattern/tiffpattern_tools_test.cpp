// Our TIFF files seen by libtiff's tools, and libtiff's files read by us.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <sstream>

#include "tests/kernel/pattern/pattern_test_util.h"

namespace {

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// "<tag> ..." lines of tiffdump in order.
std::vector<int> DumpTags(const std::string& dump)
{
    std::vector<int> tags;
    for (const auto& line : SplitLines(dump)) {
        const size_t open = line.find(" (");
        const size_t close = line.find(") ");
        if (open == std::string::npos || close == std::string::npos || close < open)
            continue;
        if (line.compare(0, 9, "Directory") == 0 || line.compare(0, 5, "Magic") == 0)
            continue;
        tags.push_back(std::stoi(line.substr(open + 2, close - open - 2)));
    }
    return tags;
}

// Pixels of two files compared through uncompressed copies.
int SamePixels(const std::string& a, const std::string& b, std::string* out = nullptr)
{
    return Shell("tiffcp -c none " + a + " cmp_a.tif && tiffcp -c none " + b + " cmp_b.tif && tiffcmp cmp_a.tif cmp_b.tif",
                 out);
}

}  // namespace

TEST(TiffTools, OneStripLayout)
{
    std::string out;
    ASSERT_EQ(Probe("tiff-write b.tif --size 100x50 --plain --bands", &out), 0);
    EXPECT_EQ(out, "MSG Patrone erfolgreich gesichert\nOK\n");
    EXPECT_EQ(FileSize(Here("b.tif")), 6694);
    ASSERT_EQ(Shell("tiffdump b.tif", &out), 0) << out;
    EXPECT_EQ(DumpTags(out), (std::vector<int>{254, 256, 257, 258, 259, 262, 273, 277, 278, 279, 284, 320}));
    EXPECT_TRUE(Contains(out, "StripOffsets (273) LONG (4) 1<158>")) << out;
    EXPECT_TRUE(Contains(out, "StripByteCounts (279) LONG (4) 1<5000>")) << out;
    EXPECT_TRUE(Contains(out, "RowsPerStrip (278) LONG (4) 1<50>")) << out;
    ASSERT_EQ(Shell("xxd -s 8 -l 2 -p b.tif; xxd -s 142 -l 12 -p b.tif; xxd -s 158 -l 1 -p b.tif", &out), 0);
    // 12 entries; ColorMap SHORT 768 at 5158 (0x1426); row 50 first: 50 / 4 = 12.
    EXPECT_EQ(out, "0c00\n400103000003000026140000\n0c\n");
}

TEST(TiffTools, ThreeStripLayoutAndColourMap)
{
    ASSERT_EQ(Probe("tiff-write c.tif --size 2000x10 --plain"), 0);
    EXPECT_EQ(FileSize(Here("c.tif")), 21718);
    std::string out;
    ASSERT_EQ(Shell("tiffdump c.tif", &out), 0);
    EXPECT_TRUE(Contains(out, "StripOffsets (273) LONG (4) 3<158 8158 16158>")) << out;
    EXPECT_TRUE(Contains(out, "StripByteCounts (279) LONG (4) 3<8000 8000 4000>")) << out;
    ASSERT_EQ(Shell("xxd -s 90 -l 4 -p c.tif; xxd -s 126 -l 4 -p c.tif; xxd -s 150 -l 4 -p c.tif", &out), 0);
    EXPECT_EQ(out, "be4e0000\nca4e0000\nd64e0000\n");  // 20158, 20170, 20182
    ASSERT_EQ(Shell("tiffinfo -c c.tif", &out), 0);
    std::map<int, std::string> map;
    for (const auto& line : SplitLines(out)) {
        int index;
        char rest[64];
        if (sscanf(line.c_str(), " %d: %63[0-9 ]", &index, rest) == 2 && line.find(':') != std::string::npos)
            map[index] = rest;
    }
    auto entry = [&](int i) {
        std::istringstream in(map[i]);
        int r, g, b;
        in >> r >> g >> b;
        return std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b);
    };
    ASSERT_EQ(map.size(), 256u) << out;
    EXPECT_EQ(entry(1), "0 0 65280");
    EXPECT_EQ(entry(24), "47872 0 0");
    EXPECT_EQ(entry(210), "18688 18688 65280");
    for (int i : {0, 32, 221, 228})
        EXPECT_EQ(entry(i), "0 0 0") << i;
    for (int i = 236; i <= 255; ++i)
        EXPECT_EQ(entry(i), "0 0 0") << i;
}

TEST(TiffTools, LibtiffReadsBandedLzw)
{
    ASSERT_EQ(Probe("tiff-write d.tif --size 200x100 --bands"), 0);
    ASSERT_EQ(Probe("tiff-write dp.tif --size 200x100 --bands --plain"), 0);
    EXPECT_EQ(FileSize(Here("d.tif")), 2943);
    std::string out;
    ASSERT_EQ(Shell("tiffdump d.tif", &out), 0);
    EXPECT_TRUE(Contains(out, "StripByteCounts (279) LONG (4) 3<490 490 245>")) << out;
    ASSERT_EQ(Shell("tiffinfo d.tif", &out), 0);
    EXPECT_TRUE(Contains(out, "Compression Scheme: LZW")) << out;
    EXPECT_TRUE(Contains(out, "Photometric Interpretation: palette color (RGB from colormap)")) << out;
    EXPECT_TRUE(Contains(out, "Rows/Strip: 40")) << out;
    EXPECT_EQ(SamePixels("d.tif", "dp.tif", &out), 0) << out;

    // libtiff's own LZW of the plain file has byte-identical strips.
    ASSERT_EQ(Shell("tiffcp -c lzw dp.tif dl.tif"), 0);
    ASSERT_EQ(Shell("python3 -c \"import struct\n"
                    "def strips(n):\n"
                    "    d = open(n, 'rb').read(); o = struct.unpack_from('<I', d, 4)[0]; t = {}\n"
                    "    for i in range(struct.unpack_from('<H', d, o)[0]):\n"
                    "        tag, typ, cnt, val = struct.unpack_from('<HHII', d, o + 2 + 12 * i)\n"
                    "        f = '<H' if typ == 3 else '<I'; s = struct.calcsize(f)\n"
                    "        at = o + 10 + 12 * i if cnt * s <= 4 else val\n"
                    "        t[tag] = [struct.unpack_from(f, d, at + k * s)[0] for k in range(cnt)]\n"
                    "    return [d[a:a + c] for a, c in zip(t[273], t[279])]\n"
                    "print(strips('d.tif') == strips('dl.tif'), len(strips('dl.tif')))\"",
                    &out),
              0);
    EXPECT_EQ(out, "True 3\n");
}

TEST(TiffTools, WhichOfOurStripsLibtiffReads)
{
    std::string out;
    // 3,838 data codes: all within 12 bits.
    ASSERT_EQ(Probe("tiff-write e.tif --size 1973x2 --seed 4"), 0);
    ASSERT_EQ(Probe("tiff-write ep.tif --size 1973x2 --seed 4 --plain"), 0);
    EXPECT_EQ(SamePixels("e.tif", "ep.tif", &out), 0) << out;
    // 3,840: the last codes are 13 bits wide and libtiff misreads them.
    ASSERT_EQ(Probe("tiff-write f.tif --size 1974x2 --seed 4"), 0);
    ASSERT_EQ(Probe("tiff-write fp.tif --size 1974x2 --seed 4 --plain"), 0);
    EXPECT_EQ(SamePixels("f.tif", "fp.tif", &out), 1);
    EXPECT_TRUE(Contains(out, "Scanline 1, pixel 1972")) << out;
    // Noisy full strips: libtiff gives up.
    ASSERT_EQ(Probe("tiff-write g.tif --size 2000x10 --seed 1"), 0);
    EXPECT_EQ(FileSize(Here("g.tif")), 30170);
    ASSERT_EQ(Shell("tiffdump g.tif", &out), 0);
    EXPECT_TRUE(Contains(out, "StripByteCounts (279) LONG (4) 3<11534 11436 5482>")) << out;
    EXPECT_NE(Shell("tiffcp -c none g.tif gn.tif", &out), 0);
    EXPECT_TRUE(Contains(out, "Using code not yet in table")) << out;
    // We read all of them back.
    ASSERT_EQ(Probe("tiff-read g.tif", &out), 0);
    EXPECT_EQ(out, "MSG Patrone erfolgreich geladen\n2000 10 3d58aa3240ef6c5d\n");
}

TEST(TiffTools, WhichLibtiffStripsWeRead)
{
    std::string out;
    ASSERT_EQ(Probe("tiff-write p.tif --size 2000x10 --seed 1 --plain"), 0);
    ASSERT_EQ(Probe("tiff-read p.tif", &out), 0);
    EXPECT_EQ(out, "MSG Patrone erfolgreich geladen\n2000 10 3d58aa3240ef6c5d\n");
    // Noisy 8000-byte strips with libtiff's table-full clear at 12 bits.
    ASSERT_EQ(Shell("tiffcp -c lzw p.tif l.tif && tiffcp -c lzw -r 1 p.tif l1.tif"), 0);
    ASSERT_EQ(Shell("tiffdump l.tif", &out), 0);
    EXPECT_TRUE(Contains(out, "RowsPerStrip (278) SHORT (3) 1<4>")) << out;
    for (const char* f : {"l.tif", "l1.tif"}) {
        ASSERT_EQ(Probe(std::string("tiff-read ") + f, &out), 0) << f;
        EXPECT_EQ(out, "MSG Patrone erfolgreich geladen\n2000 10 3d58aa3240ef6c5d\n") << f;
    }
    ASSERT_EQ(Shell("tiffcp -c lzw:2 p.tif l2.tif && tiffcp -B p.tif mm.tif"), 0);
    EXPECT_EQ(Probe("tiff-read l2.tif", &out), 1);
    EXPECT_EQ(out, "MSG Tag-Predictor(2) nicht möglich\nERROR Tag-Predictor(2) nicht möglich\n");
    EXPECT_EQ(Probe("tiff-read mm.tif", &out), 1);
    EXPECT_EQ(out, "MSG Kein Intelformat !\nERROR Kein Intelformat !\n");
}

TEST(TiffTools, ReaderMessagesOfPythonFiles)
{
    struct Case {
        const char* args;
        const char* message;
    };
    const Case cases[] = {
        {"compression=7", "Tag-Compression(7) nicht möglich "},
        {"photometric=2", "Tag-BildTyp(2) nicht lesbar"},
        {"width=2500", "Die Patrone ist zu groß!"},
        {"omit=278", "Tag-RowsPerStrips fehlt"},
        {"predictor=3", "Tag-Predictor(3) nicht möglich"},
        {"samples=4", "Tag-SamplesPerPixel(4) nicht möglich"},
        {"magic=MM", "Kein Intelformat !"},
    };
    std::string out;
    for (const Case& c : cases) {
        ASSERT_EQ(Fixture(std::string("tiff t.tif ") + c.args), 0);
        EXPECT_EQ(Probe("tiff-read t.tif", &out), 1) << c.args;
        EXPECT_EQ(out, std::string("MSG ") + c.message + "\nERROR " + c.message + "\n") << c.args;
    }
    ASSERT_EQ(Fixture("tiff t.tif width=5 height=2"), 0);
    ASSERT_EQ(Probe("tiff-read T.TIF", &out), 0);
    // Rows (x + y) mod 32, the file's first row on top: row 1 is y = 1.
    ASSERT_EQ(Shell("python3 -c \"h = 0xcbf29ce484222325\n"
                    "for y in (1, 0):\n"
                    "    for x in range(5):\n"
                    "        h = ((h ^ ((x + y) % 32)) * 0x100000001b3) % 2**64\n"
                    "print('5 2 %016x' % h)\"",
                    &out),
              0);
    std::string read;
    Probe("tiff-read t.tif", &read);
    EXPECT_EQ(SplitLines(read).back() + "\n", out);
    EXPECT_EQ(Probe("tiff-write x.tif --size 2001x1"), 2);
    EXPECT_EQ(Probe("tiff-write x.tif --size 1x65536"), 2);
    EXPECT_EQ(Probe("tiff-write x.tif --size 0x5"), 2);
    EXPECT_EQ(Probe("tiff-write x.tif"), 2);
    EXPECT_EQ(Probe("tiff-read"), 2);
}

TEST(TiffTools, ANamedPipeIsRefusedAtOnce)
{
    const std::string fifo = TestHome() + "pipe.tif";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string out;
    EXPECT_EQ(Probe("tiff-read " + fifo, &out), 1);
    EXPECT_NE(out.find("ERROR"), std::string::npos) << out;
}
