// Exchange containers and libVpZik.so: what the library promises, how the
// kernel finds it, and containers good and bad.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/pattern/smzfile.h"
#include "kernel/services/stream.h"
#include "platform/dynamic_library.h"
#include "tests/kernel/pattern/pattern_test_util.h"
#include "tests/support/recording_host.h"
#include "ziklib/vpzik.h"

namespace fs = std::filesystem;

namespace {

const char* const kLoadFailure = "Datei:libVpZik.so\nFehler beim Laden der Dll";

// libVpZik.so as built, called directly.
struct Zik {
    Zik()
    {
        EXPECT_TRUE(lib.Load("libVpZik.so", {ToolsFolder()})) << lib.error();
        compress = lib.Resolve<ZCompressFunc>("ZCompress");
        decompress = lib.Resolve<ZDecompressFunc>("ZDecompress");
        freeMem = lib.Resolve<P_FreeMemFunc>("P_FreeMem");
    }
    std::string Compress(const std::string& data, int32_t level = 6) const
    {
        uint8_t* out = nullptr;
        int32_t n = 0;
        EXPECT_EQ(compress(reinterpret_cast<const uint8_t*>(data.data()), static_cast<int32_t>(data.size()), &out, &n, level), 0);
        std::string s(reinterpret_cast<char*>(out), static_cast<size_t>(n));
        freeMem(&out, 0);
        return s;
    }
    // The result code; the bytes in text.
    int32_t Decompress(const std::string& in, std::string& text, int32_t reserved = 0) const
    {
        uint8_t* out = reinterpret_cast<uint8_t*>(&text);  // must be replaced
        int32_t n = -5;
        const int32_t rc = decompress(reinterpret_cast<const uint8_t*>(in.data()), static_cast<int32_t>(in.size()), &out, &n, reserved);
        if (rc != 0) {
            EXPECT_EQ(out, nullptr);
            EXPECT_EQ(n, 0);
            text.clear();
            return rc;
        }
        text.assign(reinterpret_cast<char*>(out), static_cast<size_t>(n));
        freeMem(&out, 12345);
        EXPECT_EQ(out, nullptr);
        return rc;
    }

    DynamicLibrary lib;
    ZCompressFunc compress = nullptr;
    ZDecompressFunc decompress = nullptr;
    P_FreeMemFunc freeMem = nullptr;
};

// Compressed by the library, which is released again: while anyone holds
// it, a search by bare name would find it.
std::string Pack(const std::string& data)
{
    Zik zik;
    return zik.Compress(data);
}

std::string U32(uint32_t v)
{
    std::string s(4, '\0');
    put_u32(reinterpret_cast<uint8_t*>(s.data()), 0, v);
    return s;
}

std::string Sample(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * i / 7) % 251);
    return s;
}

struct Image {
    int number;
    int compression;  // -1: no tag (compressed by default)
    std::string stored;
    uint32_t countDelta = 0;
};

// Header 0, 32768, 8; one directory per image with a description placed
// before it; the last links to linkLast.
std::string Container(const std::vector<Image>& images, uint16_t mark = 32768, bool linkBack = false)
{
    std::string out(8, '\0');
    auto* h = reinterpret_cast<uint8_t*>(out.data());
    put_u16(h, 2, mark);
    std::vector<uint32_t> dirs;
    std::vector<size_t> links;
    for (const Image& im : images) {
        const std::string text = "Bild " + std::to_string(im.number);
        const uint32_t textAt = static_cast<uint32_t>(out.size());
        out += text;
        dirs.push_back(static_cast<uint32_t>(out.size()));
        std::vector<std::array<uint32_t, 4>> e;
        if (im.compression >= 0)
            e.push_back({259, 3, 1, uint32_t(im.compression)});
        e.push_back({270, 2, uint32_t(text.size()), textAt});
        e.push_back({279, 4, 1, uint32_t(im.stored.size()) + im.countDelta});
        e.push_back({317, 3, 1, uint32_t(im.number)});
        std::string d(2 + 12 * e.size() + 4, '\0');
        auto* b = reinterpret_cast<uint8_t*>(d.data());
        put_u16(b, 0, static_cast<uint16_t>(e.size()));
        for (size_t i = 0; i < e.size(); ++i) {
            put_u16(b, 2 + 12 * i, static_cast<uint16_t>(e[i][0]));
            put_u16(b, 4 + 12 * i, static_cast<uint16_t>(e[i][1]));
            put_u32(b, 6 + 12 * i, e[i][2]);
            put_u32(b, 10 + 12 * i, e[i][3]);
        }
        links.push_back(out.size() + d.size() - 4);
        out += d + im.stored;
    }
    auto* b = reinterpret_cast<uint8_t*>(out.data());
    put_u32(b, 4, dirs.empty() ? 0 : dirs[0]);
    for (size_t i = 0; i < links.size(); ++i)
        put_u32(b, links[i], i + 1 < dirs.size() ? dirs[i + 1] : (linkBack ? dirs[0] : 0));
    return out;
}

class Smz : public testing::Test {
protected:
    void SetUp() override
    {
        ReleaseZikLibrary();
        setKernelHost(&host);
    }
    void TearDown() override
    {
        setKernelHost(nullptr);
        ReleaseZikLibrary();
        P_DiskClose();
    }
    static void LibraryInProgramFolder()
    {
        fs::copy_file(ToolsFolder() + "libVpZik.so", ProgrammPfad + "libVpZik.so", fs::copy_options::overwrite_existing);
    }
    SmzExtract Extract(const std::string& container, int number, const std::string& out = "out.bin")
    {
        host.calls.clear();
        return ExtractSmzImage(TestHome() + container, number, TestHome() + out);
    }

    RecordingKernelHost host;
    const std::string script = "MODULE A\r\n" + Sample(3000);
    const std::string layer = Sample(20000);
};

}  // namespace

TEST_F(Smz, LibraryRoundTripsAndRefusesBadStreams)
{
    Zik zik;
    std::string text;
    for (size_t n : {0u, 1u, 100u, 300000u}) {
        const std::string data = Sample(n);
        const std::string packed = zik.Compress(data);
        EXPECT_EQ(packed.substr(0, 4), U32(static_cast<uint32_t>(n)));
        ASSERT_EQ(zik.Decompress(packed, text), 0) << n;
        EXPECT_EQ(text, data);
    }
    const std::string good = zik.Compress(layer, 9);
    const std::string body = good.substr(4);
    // Stated length too big, too small, beyond 256 MiB; trailing bytes; a
    // bad checksum; cut; too short for the length; reserved not 0.
    EXPECT_EQ(zik.Decompress(U32(20001) + body, text), VPZIK_CORRUPT);
    EXPECT_EQ(zik.Decompress(U32(19999) + body, text), VPZIK_CORRUPT);
    EXPECT_EQ(zik.Decompress(U32(0x80000000u) + body, text), VPZIK_TOO_LARGE);
    EXPECT_EQ(zik.Decompress(U32((256u << 20) + 1) + body, text), VPZIK_TOO_LARGE);
    EXPECT_EQ(zik.Decompress(good + "x", text), VPZIK_CORRUPT);
    std::string bad = good;
    bad.back() = static_cast<char>(bad.back() ^ 1);
    EXPECT_EQ(zik.Decompress(bad, text), VPZIK_CORRUPT);
    EXPECT_EQ(zik.Decompress(good.substr(0, good.size() - 5), text), VPZIK_CORRUPT);
    EXPECT_EQ(zik.Decompress("abc", text), VPZIK_CORRUPT);
    EXPECT_EQ(zik.Decompress(good, text, 1), VPZIK_BAD_ARGUMENT);
    EXPECT_EQ(zik.Decompress(U32(5) + "no zlib at all", text), VPZIK_CORRUPT);

    uint8_t* out = nullptr;
    int32_t n = 7;
    EXPECT_EQ(zik.decompress(nullptr, 4, &out, &n, 0), VPZIK_BAD_ARGUMENT);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(zik.decompress(reinterpret_cast<const uint8_t*>(good.data()), -1, &out, &n, 0), VPZIK_BAD_ARGUMENT);
    EXPECT_EQ(zik.compress(reinterpret_cast<const uint8_t*>(good.data()), 4, &out, &n, 10), VPZIK_BAD_ARGUMENT);
    EXPECT_EQ(out, nullptr);
    zik.freeMem(&out, 0);
    zik.freeMem(nullptr, 0);
}

TEST_F(Smz, ExtractsRawAndCompressedImages)
{
    LibraryInProgramFolder();
    WriteTestFile(TestHome() + "Set.SMZ",
                  Container({{21, 1, script}, {22, 2, Pack(layer)}, {10, -1, Pack("!KULIERVARFRONT:[1,2]")}}));
    EXPECT_EQ(Extract("set.smz", 21, "Set.Skx"), SmzExtract::Written);
    EXPECT_EQ(ReadTestFile(TestHome() + "Set.Skx"), script);
    EXPECT_EQ(Extract("Set.SMZ", 22, "Set.Bl2"), SmzExtract::Written);
    EXPECT_EQ(ReadTestFile(TestHome() + "Set.Bl2"), layer);
    // Without tag 259 an image counts as compressed.
    EXPECT_EQ(Extract("Set.SMZ", 10, "Set.D10"), SmzExtract::Written);
    EXPECT_EQ(ReadTestFile(TestHome() + "Set.D10"), "!KULIERVARFRONT:[1,2]");
    EXPECT_TRUE(host.messages().empty());

    // No image 23: true, no file.
    EXPECT_TRUE(ReadSmzFile(TestHome() + "Set.SMZ", 23, TestHome() + "Set.Bl3"));
    EXPECT_FALSE(fs::exists(TestHome() + "Set.Bl3"));
    // An existing output is replaced.
    WriteTestFile(TestHome() + "old.bin", "old");
    EXPECT_TRUE(ReadSmzFile(TestHome() + "Set.SMZ", 21, TestHome() + "OLD.BIN"));
    EXPECT_EQ(ReadTestFile(TestHome() + "old.bin"), script);
}

TEST_F(Smz, OnlySmzContainers)
{
    const std::string bytes = Container({{21, 1, script}});
    for (const char* name : {"Set.SMA", "Set", "Set.SMZ.bak"}) {
        WriteTestFile(TestHome() + name, bytes);
        EXPECT_EQ(Extract(name, 21), SmzExtract::NotContainer) << name;
        EXPECT_FALSE(ReadSmzFile(TestHome() + name, 21, TestHome() + "out.bin"));
    }
    WriteTestFile(TestHome() + "Mark.SMZ", Container({{21, 1, script}}, 32767));
    EXPECT_EQ(Extract("Mark.SMZ", 21), SmzExtract::NotContainer);
    EXPECT_EQ(Extract("Missing.SMZ", 21), SmzExtract::NotContainer);
    WriteTestFile(TestHome() + "Tiny.SMZ", std::string("\0\0\0\x80", 4));
    EXPECT_EQ(Extract("Tiny.SMZ", 21), SmzExtract::NotContainer);
    EXPECT_FALSE(fs::exists(TestHome() + "out.bin"));
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(Smz, MissingLibraryIsReportedOncePerCallAndRawImagesStillCome)
{
    WriteTestFile(TestHome() + "Set.SMZ", Container({{21, 1, script}, {22, 2, Pack(layer)}}));
    EXPECT_EQ(Extract("Set.SMZ", 22), SmzExtract::Unreadable);
    EXPECT_EQ(host.messages(), std::vector<std::string>{kLoadFailure});
    EXPECT_EQ(host.callsOf("messageDlg")[0].kind, MsgKind::Warning);
    EXPECT_FALSE(fs::exists(TestHome() + "out.bin"));
    // The next call reports it again.
    EXPECT_FALSE(ReadSmzFile(TestHome() + "Set.SMZ", 22, TestHome() + "out.bin"));
    EXPECT_EQ(host.messages(), (std::vector<std::string>{kLoadFailure, kLoadFailure}));
    EXPECT_EQ(Extract("Set.SMZ", 21), SmzExtract::Written);
    EXPECT_TRUE(host.messages().empty());

    // A library without ZDecompress and P_FreeMem counts as missing.
    fs::copy_file(std::string(ZORIT_ZIK_LACKING_DIR) + "libVpZik.so", ProgrammPfad + "libVpZik.so");
    EXPECT_EQ(Extract("Set.SMZ", 22), SmzExtract::Unreadable);
    EXPECT_EQ(host.messages(), std::vector<std::string>{kLoadFailure});

    // Once it is there, the next use loads it.
    LibraryInProgramFolder();
    EXPECT_EQ(Extract("Set.SMZ", 22), SmzExtract::Written);
    EXPECT_EQ(ReadTestFile(TestHome() + "out.bin"), layer);
}

TEST_F(Smz, DamagedContainers)
{
    LibraryInProgramFolder();
    // A chain that links back ends; without the image that is "not found".
    WriteTestFile(TestHome() + "Loop.SMZ", Container({{21, 1, script}, {22, 2, Pack(layer)}}, 32768, true));
    EXPECT_EQ(Extract("Loop.SMZ", 23), SmzExtract::NotFound);
    EXPECT_EQ(Extract("Loop.SMZ", 22, "loop.bin"), SmzExtract::Written);

    // A data count past the file, and a stated length of 2^31: nothing written.
    WriteTestFile(TestHome() + "Count.SMZ", Container({{22, 1, script, 1000000}}));
    EXPECT_EQ(Extract("Count.SMZ", 22), SmzExtract::Unreadable);
    WriteTestFile(TestHome() + "Huge.SMZ", Container({{22, 2, U32(0x80000000u) + Pack(layer).substr(4)}}));
    EXPECT_EQ(Extract("Huge.SMZ", 22), SmzExtract::Unreadable);
    EXPECT_FALSE(fs::exists(TestHome() + "out.bin"));

    // An entry count past the file ends the walk.
    std::string many = Container({{21, 1, script}});
    put_u16(reinterpret_cast<uint8_t*>(many.data()), get_u32(reinterpret_cast<uint8_t*>(many.data()), 4), 0xFFFF);
    WriteTestFile(TestHome() + "Many.SMZ", many);
    EXPECT_EQ(Extract("Many.SMZ", 21), SmzExtract::NotFound);

    // A description past the file ends the walk too.
    std::string desc = Container({{21, 1, script}});
    const uint32_t dir = get_u32(reinterpret_cast<uint8_t*>(desc.data()), 4);
    put_u32(reinterpret_cast<uint8_t*>(desc.data()), dir + 2 + 12 + 8, 0x7FFFFFF0u);
    WriteTestFile(TestHome() + "Desc.SMZ", desc);
    EXPECT_EQ(Extract("Desc.SMZ", 21), SmzExtract::NotFound);

    // An output that cannot be written.
    EXPECT_EQ(Extract("Loop.SMZ", 22, "no/such/folder/out.bin"), SmzExtract::Unreadable);
    EXPECT_EQ(host.messages().size(), 1u);
}

TEST_F(Smz, OnlyTheWantedImageIsUnpacked)
{
    // Without the library: the compressed images before the wanted raw one
    // are passed over, so nothing is missed and nothing is reported.
    WriteTestFile(TestHome() + "Order.SMZ",
                  Container({{22, 2, Pack(layer)}, {10, -1, Pack("D10")}, {21, 1, script}}));
    EXPECT_EQ(Extract("Order.SMZ", 21), SmzExtract::Written);
    EXPECT_TRUE(host.messages().empty());
    EXPECT_EQ(ReadTestFile(TestHome() + "out.bin"), script);
    EXPECT_EQ(Extract("Order.SMZ", 23), SmzExtract::NotFound);
    EXPECT_TRUE(host.messages().empty());

    // One extractor over the container reports the missing library once,
    // for both compressed images.
    host.calls.clear();
    SmzExtractor extractor;
    EXPECT_EQ(extractor.Extract(TestHome() + "Order.SMZ", 22, TestHome() + "a.bin"), SmzExtract::Unreadable);
    EXPECT_EQ(extractor.Extract(TestHome() + "Order.SMZ", 10, TestHome() + "b.bin"), SmzExtract::Unreadable);
    EXPECT_EQ(extractor.Extract(TestHome() + "Order.SMZ", 21, TestHome() + "c.bin"), SmzExtract::Written);
    EXPECT_EQ(host.messages(), std::vector<std::string>{kLoadFailure});

    // With it, an image on the way that does not unpack is passed over.
    LibraryInProgramFolder();
    WriteTestFile(TestHome() + "Bad.SMZ", Container({{22, 2, "not packed"}, {21, 1, script}}));
    EXPECT_EQ(Extract("Bad.SMZ", 21, "bad.bin"), SmzExtract::Written);
    EXPECT_EQ(ReadTestFile(TestHome() + "bad.bin"), script);
    EXPECT_TRUE(host.messages().empty());

    // Data on the way that end past the file end the walk: the image behind
    // them is not reached, which is "not found".
    WriteTestFile(TestHome() + "Past.SMZ", Container({{22, 1, layer, 1000000}, {21, 1, script}}));
    EXPECT_EQ(Extract("Past.SMZ", 21, "past.bin"), SmzExtract::NotFound);
    EXPECT_TRUE(ReadSmzFile(TestHome() + "Past.SMZ", 21, TestHome() + "past.bin"));
    EXPECT_FALSE(fs::exists(TestHome() + "past.bin"));
    EXPECT_TRUE(host.messages().empty());
}

TEST(SmzProbe, ExtractsTheSetAndRefusesOthers)
{
    std::string out;
    ASSERT_EQ(Fixture("smz Set.SMZ"), 0);
    ASSERT_EQ(Shell("mkdir -p out lower other mark loop count huge"), 0);
    // The probe finds the library beside itself.
    ASSERT_EQ(Probe("smz-extract Set.SMZ out", &out), 0);
    EXPECT_EQ(out, "Set.Skx 620\nSet.Bl2 124\nSet.D10 750\nOK\n");
    for (auto [number, ext] : {std::pair{21, "Skx"}, std::pair{22, "Bl2"}, std::pair{10, "D10"}}) {
        ASSERT_EQ(Fixture("smzimage " + std::to_string(number) + " orig." + ext), 0);
        EXPECT_EQ(Shell(std::string("cmp orig.") + ext + " out/Set." + ext), 0) << ext;
    }
    ASSERT_EQ(Shell("cp Set.SMZ set.smz && cp Set.SMZ Set.SMA"), 0);
    ASSERT_EQ(Probe("smz-extract set.smz lower", &out), 0);
    EXPECT_EQ(out, "set.Skx 620\nset.Bl2 124\nset.D10 750\nOK\n");
    EXPECT_EQ(Probe("smz-extract Set.SMA other", &out), 1);
    EXPECT_EQ(out, "ERROR not an SMZ container\n");
    ASSERT_EQ(Fixture("smz Mark.SMZ mark=32767"), 0);
    EXPECT_EQ(Probe("smz-extract Mark.SMZ mark", &out), 1);
    EXPECT_EQ(out, "ERROR not an SMZ container\n");
    EXPECT_TRUE(fs::is_empty(TestHome() + "other"));
    EXPECT_TRUE(fs::is_empty(TestHome() + "mark"));

    ASSERT_EQ(Fixture("smz Loop.SMZ selflink"), 0);
    EXPECT_EQ(Shell("timeout 10 " + ToolsFolder() + "kernel_probe smz-extract Loop.SMZ loop", &out), 0) << out;
    ASSERT_EQ(Fixture("smz Count.SMZ badcount"), 0);
    EXPECT_EQ(Probe("smz-extract Count.SMZ count", &out), 1);
    // Image 22's data end past the file: the walk ends there, so image 10
    // behind it is not reached either.
    EXPECT_EQ(out, "Count.Skx 620\nERROR unreadable images: 22\n");
    ASSERT_EQ(Fixture("smz Huge.SMZ huge"), 0);
    EXPECT_EQ(Probe("smz-extract Huge.SMZ huge", &out), 1);
    EXPECT_FALSE(fs::exists(TestHome() + "huge/Huge.Bl2"));
    EXPECT_FALSE(fs::exists(TestHome() + "count/Count.Bl2"));
    EXPECT_EQ(Probe("smz-extract Set.SMZ"), 2);
}

TEST(SmzProbe, NoLibraryReachable)
{
    // A copy of the probe in an empty folder, its program folder another.
    ASSERT_EQ(Fixture("smz Set.SMZ"), 0);
    ASSERT_EQ(Shell("mkdir lone home out && cp " + ToolsFolder() + "kernel_probe lone/"), 0);
    std::string out;
    const int rc = Shell("lone/kernel_probe --home home smz-extract Set.SMZ out 2>/dev/null", &out);
    EXPECT_EQ(rc, 1);
    // Images 22 and 10 need the library: it is reported once for the container.
    EXPECT_EQ(out, "Set.Skx 620\nMSG Datei:libVpZik.so\nMSG Fehler beim Laden der Dll\n"
                   "ERROR unreadable images: 22 10\n");
    ASSERT_EQ(Fixture("smzimage 21 orig.Skx"), 0);
    EXPECT_EQ(Shell("cmp orig.Skx out/Set.Skx"), 0);
    EXPECT_FALSE(fs::exists(TestHome() + "out/Set.Bl2"));

    // In the program folder it is found.
    ASSERT_EQ(Shell("cp " + ToolsFolder() + "libVpZik.so home/ && rm -r out && mkdir out"), 0);
    EXPECT_EQ(Shell("lone/kernel_probe --home home smz-extract Set.SMZ out 2>/dev/null", &out), 0);
    EXPECT_EQ(out, "Set.Skx 620\nSet.Bl2 124\nSet.D10 750\nOK\n");
}
