// The pattern readers on damaged files: empty, one byte, cut after every
// tenth byte, every byte of the header flipped. Each answers with its
// refusal and one warning box, or with its documented partial result; a
// plane that was loaded before stays as it was, and an extracted image is
// written whole or not at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <tuple>
#include <string>
#include <vector>

#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/pattern/blpattern.h"
#include "kernel/pattern/lzwcodec.h"
#include "kernel/pattern/smzfile.h"
#include "kernel/pattern/tiffpattern.h"
#include "tests/kernel/pattern/pattern_test_util.h"
#include "tests/support/damaged_files.h"
#include "tests/support/recording_host.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Generated(size_t count, uint32_t s, int colours = 256)
{
    std::vector<uint8_t> out(count);
    for (auto& b : out) {
        s = s * 1664525u + 1013904223u;
        b = static_cast<uint8_t>((s >> 24) % colours);
    }
    return out;
}

// Cells row 1 first, width bytes a row.
std::vector<uint8_t> Cells(int plane)
{
    const T_Patrone& p = *PatternPlane(plane);
    std::vector<uint8_t> cells;
    for (size_t row = 1; row < p.rowCount(); ++row)
        cells.insert(cells.end(), p.rows.begin() + row * kPatternStride,
                     p.rows.begin() + row * kPatternStride + ProgrammKopf.Width());
    return cells;
}

void FillPlane(int plane, uint16_t width, uint16_t height, uint32_t seed)
{
    ProgrammKopf.SetWidth(width);
    ProgrammKopf.SetHeight(height);
    T_Patrone& p = *PatternPlane(plane);
    p.allocate(height);
    // Few colours, as patterns have: the LZW file stays small.
    const std::vector<uint8_t> cells = Generated(size_t(width) * height, seed, 6);
    for (size_t row = 1; row <= height; ++row)
        std::copy_n(cells.begin() + (row - 1) * width, width, p.rows.begin() + row * kPatternStride);
    p.present = true;
}

void FreshProgram()
{
    for (int p = 0; p < 3; ++p) {
        PatternPlane(p)->release();
        PatternPlane(p)->present = false;
    }
    ProgrammKopf.SetWidth(0);
    ProgrammKopf.SetHeight(0);
}

std::string WrittenTiff(uint16_t width, uint16_t height, bool compress)
{
    FreshProgram();
    FillPlane(0, width, height, 5);
    const std::string path = Here("valid.tif");
    EXPECT_TRUE(WriteTiffPattern(compress, path, 0, true, true));
    return ReadTestFile(path);
}

int Warnings(const RecordingKernelHost& host)
{
    int n = 0;
    for (const HostCall& c : host.callsOf("messageDlg"))
        n += c.kind == MsgKind::Warning;
    return n;
}

void CheckTiff(const std::string& valid, uint16_t width, uint16_t height)
{
    for (const DamagedFile& damaged : DamagedVariants(valid, 158)) {
        SCOPED_TRACE(damaged.Describe());
        const std::string path = WriteTestFile(Here("damaged.tif"), damaged.bytes);

        // Into a fresh program: refused with one warning box, or read whole.
        FreshProgram();
        {
            ScopedRecordingHost recording;
            const bool ok = ReadTiffPattern(path, true, 0);
            EXPECT_EQ(Warnings(recording.host), ok ? 0 : 1);
            if (damaged.kind != DamagedFile::Kind::HeaderByteFlipped) {
                EXPECT_FALSE(ok);
            }
        }

        // Into a program that holds a pattern of the file's size: the other
        // plane and the pattern size stay as they were.
        FreshProgram();
        FillPlane(1, width, height, 9);
        const std::vector<uint8_t> other = Cells(1);
        {
            ScopedRecordingHost recording;
            const bool ok = ReadTiffPattern(path, true, 0);
            EXPECT_EQ(Warnings(recording.host), ok ? 0 : 1);
        }
        EXPECT_EQ(ProgrammKopf.Width(), width);
        EXPECT_EQ(ProgrammKopf.Height(), height);
        EXPECT_EQ(Cells(1), other);
    }
}

std::string Words(std::initializer_list<uint16_t> words)
{
    std::string out;
    for (uint16_t w : words) {
        out += static_cast<char>(w & 0xFF);
        out += static_cast<char>(w >> 8);
    }
    return out;
}

}  // namespace

TEST(PatternDamaged, TiffLzwInStrips)
{
    const std::string valid = WrittenTiff(300, 60, true);
    ASSERT_GT(valid.size(), 158u + 1536u);
    CheckTiff(valid, 300, 60);
}

TEST(PatternDamaged, TiffPlainOneStrip)
{
    CheckTiff(WrittenTiff(100, 50, false), 100, 50);
}

// Found by the fuzzer: an LZW strip of no bytes made the reader copy into
// the empty strip's missing buffer.
TEST(PatternDamaged, TiffEmptyLzwStripIsRefused)
{
    std::string file = WrittenTiff(10, 4, true);
    // The only strip's byte count (entry 279, the tenth) becomes 0.
    const size_t countField = 10 + 9 * 12 + 8;
    ASSERT_EQ(get_u16(reinterpret_cast<const uint8_t*>(file.data()), 10 + 9 * 12), 279);
    file.replace(countField, 4, std::string(4, '\0'));
    const std::string path = WriteTestFile(Here("empty.tif"), file);
    FreshProgram();
    ScopedRecordingHost recording;
    EXPECT_FALSE(ReadTiffPattern(path, true, 0));
    EXPECT_EQ(recording.host.messages(), std::vector<std::string>{"Tif-Daten fehlerhaft"});
}

TEST(PatternDamaged, BlLayers)
{
    // 12 coded rows of width 9, each 6 code bytes behind its length word.
    std::string coded = Words({12, 0x8009});
    for (int r = 0; r < 12; ++r)
        coded += Words({6}) + "\xC5" + static_cast<char>(r + 1) + "\x01\xC0\xC2\x09";
    coded += Words({0});
    std::string plain = Words({5, 7});
    for (int i = 0; i < 35; ++i)
        plain += static_cast<char>(i);

    // The file, the bytes a row takes, the header's size. Row r ends at
    // 4 + r * row bytes in both (a coded row's length word stands before it).
    for (const auto& [valid, rowBytes, header] : {std::tuple{coded, size_t(8), size_t(6)},
                                                  std::tuple{plain, size_t(7), size_t(4)}}) {
        const std::string path = WriteTestFile(Here("valid.Bl2"), valid);
        FreshProgram();
        ASSERT_TRUE(LoadBlPattern(path, false, true, 0));
        const std::vector<uint8_t> rows = Cells(0);
        const size_t width = ProgrammKopf.Width();
        const size_t height = ProgrammKopf.Height();

        for (const DamagedFile& damaged : DamagedVariants(valid, header)) {
            SCOPED_TRACE(damaged.Describe());
            WriteTestFile(path, damaged.bytes);
            FreshProgram();
            ScopedRecordingHost recording;
            const bool ok = LoadBlPattern(path, false, true, 0);
            EXPECT_EQ(Warnings(recording.host), ok ? 0 : 1);
            if (damaged.kind == DamagedFile::Kind::Truncated) {
                // Every row the cut file holds whole is in the plane; only
                // the last length word, which is never used, may be cut.
                const bool whole = 4 + height * rowBytes <= damaged.at;
                EXPECT_EQ(ok, whole);
                if (!whole) {
                    EXPECT_EQ(recording.host.messages(),
                              std::vector<std::string>{"Datei ist unvollst\xC3\xA4ndig!"});
                }
                ASSERT_EQ(ProgrammKopf.Height(), height);
                const std::vector<uint8_t> got = Cells(0);
                for (size_t row = 1; row <= height && 4 + row * rowBytes <= damaged.at; ++row)
                    EXPECT_TRUE(std::equal(rows.begin() + (row - 1) * width, rows.begin() + row * width,
                                           got.begin() + (row - 1) * width))
                        << "row " << row;
            } else if (damaged.kind != DamagedFile::Kind::HeaderByteFlipped) {
                EXPECT_FALSE(ok);
            }
        }
    }
}

TEST(PatternDamaged, SmzContainer)
{
    fs::copy_file(ToolsFolder() + "libVpZik.so", ProgrammPfad + "libVpZik.so");
    ASSERT_EQ(Fixture("smz valid.SMZ"), 0);
    const std::string valid = ReadTestFile(Here("valid.SMZ"));
    std::map<int, std::string> images;
    for (int number : {21, 22, 10}) {
        ASSERT_EQ(Fixture("smzimage " + std::to_string(number) + " image"), 0);
        images[number] = ReadTestFile(Here("image"));
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(valid.data());
    const uint32_t directory = get_u32(bytes, 4);
    const size_t header = directory + 2 + 12 * size_t(get_u16(bytes, directory)) + 4;

    for (const DamagedFile& damaged : DamagedVariants(valid, header)) {
        SCOPED_TRACE(damaged.Describe());
        const std::string path = WriteTestFile(Here("damaged.SMZ"), damaged.bytes);
        for (const auto& [number, image] : images) {
            SCOPED_TRACE(number);
            const std::string out = Here("out" + std::to_string(number));
            fs::remove(out);
            ScopedRecordingHost recording;
            const SmzExtract result = ExtractSmzImage(path, number, out);
            EXPECT_EQ(fs::exists(out), result == SmzExtract::Written);
            // A flipped entry of the first directory may change what image
            // 21 is; all else comes out as stored or not at all.
            if (result == SmzExtract::Written &&
                !(damaged.kind == DamagedFile::Kind::HeaderByteFlipped && number == 21)) {
                EXPECT_EQ(ReadTestFile(out), image);
            }
            if (damaged.kind == DamagedFile::Kind::Empty || damaged.kind == DamagedFile::Kind::OneByte) {
                EXPECT_EQ(result, SmzExtract::NotContainer);
            }
            EXPECT_TRUE(recording.host.messages().empty());
        }
    }
    ReleaseZikLibrary();
}

TEST(PatternDamaged, LzwStrip)
{
    const std::vector<uint8_t> raw = Generated(3000, 11);
    std::vector<uint8_t> codes = raw;
    LzwCompress(codes);
    const std::string valid(codes.begin(), codes.end());
    for (const DamagedFile& damaged : DamagedVariants(valid, 32)) {
        SCOPED_TRACE(damaged.Describe());
        std::vector<uint8_t> buffer(damaged.bytes.begin(), damaged.bytes.end());
        const LzwStatus status = LzwDecompress(buffer, raw.size());
        EXPECT_LE(buffer.size(), raw.size());
        if (damaged.kind == DamagedFile::Kind::Truncated) {
            // The codes before the cut decode as they did.
            EXPECT_EQ(status, LzwStatus::Ok);
            EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), raw.begin()));
            EXPECT_GT(buffer.size(), 0u);
        }
    }
}
