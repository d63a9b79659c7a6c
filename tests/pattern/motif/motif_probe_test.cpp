// motif_probe's files read by other programs: PIL, ImageMagick and netpbm.
#include <gtest/gtest.h>

#include "picture/core/bmp8_file.h"
#include "tests/pattern/motif/motif_files.h"
#include "tests/support/test_env.h"

using namespace motif_files;

namespace {

std::string Probe(const std::string& args, int* status = nullptr)
{
    std::string out;
    const int s = RunCommand(ToolsFolder() + "motif_probe " + args + " 2>/dev/null", &out);
    if (status)
        *status = s;
    return out;
}

std::string Home(const std::string& name)
{
    return TestHome() + name;
}

bool Have(const std::string& tool)
{
    return RunCommand("command -v " + tool + " >/dev/null 2>&1") == 0;
}

// The picture's indices, the top line first, and its palette as PIL reads them.
std::string PilRead(const std::string& python, const std::string& path)
{
    std::string out;
    RunCommand(python + " -c \"from PIL import Image; im = Image.open('" + path +
                   "'); p = im.getpalette(); print(im.mode, im.size, list(im.getdata()), "
                   "all(p[3*i:3*i+3] == [i, 3*i % 256, 255 - i] for i in range(256)))\"",
               &out);
    return out;
}

TEST(MotifProbe, PcxOtherProgramsRead)
{
    ASSERT_EQ(WriteBmp8(Home("in.bmp"), Picture({{7, 7, 7, 62, 63}, {0, 0, 200, 200, 200}})), "");
    EXPECT_EQ(Probe("bmp2pcx " + Home("in.bmp") + " " + Home("m.pcx") + " --default 0"), "OK 5 2\n");
    EXPECT_EQ(ReadTestFile(Home("m.pcx")).size(), 906u);
    const std::string python = PilPython();
    if (python.empty())
        GTEST_SKIP() << "no python3 with PIL";
    EXPECT_EQ(PilRead(python, Home("m.pcx")), "P (5, 2) [7, 7, 7, 62, 63, 255, 255, 200, 200, 200] True\n");
}

TEST(MotifProbe, BmpOtherProgramsRead)
{
    WriteTestFile(Home("in.pcx"), TenByTwoPcx());
    EXPECT_EQ(Probe("pcx2bmp " + Home("in.pcx") + " " + Home("m.bmp") + " --default 9"), "OK 10 2\n");
    if (!Have("identify"))
        GTEST_SKIP() << "no identify";
    std::string out;
    RunCommand("identify " + Home("m.bmp"), &out);
    EXPECT_NE(out.find("BMP3 10x2"), std::string::npos) << out;
    EXPECT_NE(out.find("8-bit"), std::string::npos) << out;
    EXPECT_NE(out.find("256c"), std::string::npos) << out;
}

TEST(MotifProbe, PlanarPcxAsNetpbmShowsIt)
{
    std::string pcx = PcxHeaderBytes(1, 4, 1, 8, 1);
    for (int i = 0; i < 16; ++i)
        pcx.replace(16 + 3 * i, 3, {char(16 * i), char(15 * i), char(255 - 16 * i)});
    pcx += std::string("\xc1\xf0\xc1\xcc\xaa\x00", 6);
    WriteTestFile(Home("planar.pcx"), pcx);
    EXPECT_EQ(Probe("pcx2bmp " + Home("planar.pcx") + " " + Home("planar.bmp")), "OK 8 1\n");
    Bmp8 p;
    std::string error;
    ASSERT_TRUE(ReadBmp8(Home("planar.bmp"), p, error)) << error;
    EXPECT_EQ(Lines(p), (std::vector<std::vector<uint8_t>>{{7, 3, 5, 1, 6, 2, 4, 0}}));
    if (!Have("pcxtoppm") || !Have("bmptoppm"))
        GTEST_SKIP() << "no netpbm";
    std::string theirs, ours;
    RunCommand("pcxtoppm " + Home("planar.pcx") + " 2>/dev/null | pnmtoplainpnm 2>/dev/null", &theirs);
    RunCommand("bmptoppm " + Home("planar.bmp") + " 2>/dev/null | pnmtoplainpnm 2>/dev/null", &ours);
    EXPECT_FALSE(theirs.empty());
    EXPECT_EQ(ours, theirs);
}

TEST(MotifProbe, BadFilesLeaveTheOutput)
{
    const std::string good = TenByTwoPcx();
    std::string bmp = [] {
        EXPECT_EQ(WriteBmp8(Home("good.bmp"), Picture({{1, 2}})), "");
        return ReadTestFile(Home("good.bmp"));
    }();
    std::string rle = bmp;
    rle[30] = 1;
    const struct {
        const char* command;
        std::string bytes;
    } cases[] = {
        {"pcx2bmp", good.substr(0, 130)},
        {"pcx2bmp", std::string(good).replace(136, 1, "\x0b")},
        {"pcx2bmp", std::string(good).replace(66, 1, "\x0d")},
        {"pcx2bmp", PcxHeaderBytes(1, 9, 2, 10, 1) + std::string(18, '\0')},
        {"bmp2pcx", rle},
        {"bmp2pcx", bmp.substr(0, 1078)},
    };
    for (const auto& c : cases) {
        WriteTestFile(Home("bad"), c.bytes);
        WriteTestFile(Home("out"), "kept");
        int status = 0;
        EXPECT_EQ(Probe(std::string(c.command) + " " + Home("bad") + " " + Home("out"), &status).substr(0, 6),
                  "ERROR ");
        EXPECT_EQ(status, 1);
        EXPECT_EQ(RunCommand("echo -n kept | cmp -s - " + Home("out")), 0);
    }
}

TEST(MotifProbe, TransformsAsImageMagickDoes)
{
    ASSERT_EQ(WriteBmp8(Home("t.bmp"), Picture({{1, 2, 3}, {4, 5, 6}})), "");
    ASSERT_EQ(WriteBmp8(Home("r.bmp"), Picture({{1, 2, 3, 4, 5}})), "");
    EXPECT_EQ(Probe("transform " + Home("t.bmp") + " " + Home("q.bmp") + " rotate90"), "OK 2 3\n");
    EXPECT_EQ(Probe("transform " + Home("r.bmp") + " " + Home("s.bmp") + " scale 4 1"), "OK 4 1\n");
    EXPECT_EQ(Probe("transform " + Home("t.bmp") + " " + Home("o.bmp") + " --levels 2 shear 1 h"), "OK 4 2\n");
    EXPECT_EQ(Probe("angle 5 5 15 15 20 10 20 20"), "ANGLE 45.000\n");
    EXPECT_EQ(Probe("angle 5 5 15 15 20 10 10 20"), "ANGLE 90.000\n");
    int status = 0;
    Probe("transform " + Home("t.bmp") + " " + Home("o.bmp") + " spin", &status);
    EXPECT_EQ(status, 2);
    if (!Have("convert"))
        GTEST_SKIP() << "no ImageMagick";
    // Compared as the colours ImageMagick lists.
    auto pixels = [](const std::string& path, const std::string& op) {
        std::string out;
        RunCommand("convert " + path + " " + op + " txt:- | tail -n +2 | cut -d' ' -f2-", &out);
        return out;
    };
    EXPECT_EQ(pixels(Home("q.bmp"), ""), pixels(Home("t.bmp"), "-rotate -90"));
    EXPECT_EQ(pixels(Home("s.bmp"), ""), pixels(Home("r.bmp"), "-sample '4x1!'"));
}

}  // namespace
