// The INI profile on damaged files: empty, one byte, cut after every tenth
// byte, every byte of the first section flipped. Reads give what the intact
// lines hold and the default for the rest; a later write keeps every line
// that was readable and leaves no temporary file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ini_profile.h"
#include "tests/support/damaged_files.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

namespace {

struct Entry {
    std::string section, key, value;
    std::size_t lineStart = 0;  // offset of the key's line in the valid file
    std::size_t lineEnd = 0;    // offset after its CR LF
};

const std::string kDefault = " default";

std::vector<Entry> Entries()
{
    return {
        {"System", "WorkingLevel", "1"},
        {"System", "Language", "Englisch"},
        {"System", "Pfad", "/home/strick/M\xC3\xBCster"},
        {"Windows", "FormMain", "0,0,800,600,1"},
        {"Windows", "FormPatrone", "12,40,640,480,0"},
        {"Exe", "Path", "/opt/zorit"},
    };
}

std::string IniPath()
{
    return TestHome() + "Zorit.INI";
}

// The file as the profile writes it, and where each entry's line lies.
std::string ValidFile(std::vector<Entry>& entries)
{
    IniProfile ini(IniPath());
    for (const Entry& e : entries)
        EXPECT_TRUE(ini.WriteString(e.section, e.key, e.value));
    const std::string bytes = ReadTestFile(IniPath());
    for (Entry& e : entries) {
        const std::string line = e.key + "=" + e.value + "\r\n";
        e.lineStart = bytes.find(line);
        EXPECT_NE(e.lineStart, std::string::npos) << line;
        e.lineEnd = e.lineStart + line.size();
    }
    return bytes;
}

int LeftoverTempFiles()
{
    int count = 0;
    for (const auto& entry : fs::directory_iterator(TestHome()))
        if (entry.path().filename().string().find(".tmp") != std::string::npos)
            ++count;
    return count;
}

}  // namespace

TEST(IniProfileDamaged, EveryDamagedFormReadsWhatIsIntactAndTakesAWrite)
{
    std::vector<Entry> entries = Entries();
    const std::string valid = ValidFile(entries);
    ASSERT_EQ(valid.substr(0, 10), "[System]\r\n");
    // The first section, header line included, is the file's head.
    const std::size_t header = valid.find("\r\n\r\n[Windows]") + 2;

    for (const DamagedFile& damaged : DamagedVariants(valid, header)) {
        SCOPED_TRACE(damaged.Describe());
        WriteTestFile(IniPath(), damaged.bytes);
        IniProfile ini(IniPath());
        std::vector<std::pair<const Entry*, std::string>> readable;
        for (const Entry& e : entries) {
            SCOPED_TRACE(e.key);
            const std::string value = ini.ReadString(e.section, e.key, kDefault);
            switch (damaged.kind) {
            case DamagedFile::Kind::Empty:
            case DamagedFile::Kind::OneByte:
                EXPECT_EQ(value, kDefault);
                break;
            case DamagedFile::Kind::Truncated:
                if (e.lineEnd <= damaged.at) {
                    EXPECT_EQ(value, e.value);
                } else if (e.lineStart >= damaged.at) {
                    EXPECT_EQ(value, kDefault);
                } else {  // the line is cut: its key is gone or its value shorter
                    EXPECT_TRUE(value == kDefault || e.value.starts_with(value)) << value;
                }
                break;
            case DamagedFile::Kind::HeaderByteFlipped:
                // A flipped line end joins a line to the next one.
                if (damaged.at + 1 < e.lineStart || damaged.at >= e.lineEnd) {
                    if (e.section == "System") {
                        EXPECT_TRUE(value == e.value || value == kDefault) << value;
                    } else {
                        EXPECT_EQ(value, e.value);
                    }
                }
                break;
            }
            if (value != kDefault)
                readable.emplace_back(&e, value);
        }
        EXPECT_EQ(ini.SectionExists("Exe"),
                  damaged.kind == DamagedFile::Kind::HeaderByteFlipped ||
                      (damaged.kind == DamagedFile::Kind::Truncated &&
                       damaged.at >= valid.find("[Exe]") + 4));

        // Nothing that could be read is lost by the next write.
        ASSERT_TRUE(ini.WriteString("Recent", "File1", "Pullover.ZPR"));
        EXPECT_EQ(ini.ReadString("Recent", "File1", kDefault), "Pullover.ZPR");
        for (const auto& [e, value] : readable)
            EXPECT_EQ(ini.ReadString(e->section, e->key, kDefault), value) << e->key;
        EXPECT_EQ(LeftoverTempFiles(), 0);
    }
}

// Found by the fuzzer: a file that starts with two byte order marks. Only
// the first was dropped, so "[system]" behind the second was no header;
// the write dropped the marks, and the key written into the next "[SYSTEM]"
// was then hidden behind the header that had appeared.
TEST(IniProfileDamaged, EveryByteOrderMarkInFrontIsDropped)
{
    WriteTestFile(IniPath(), "\xEF\xBB\xBF\xEF\xBB\xBF[system]\r\nA=1\r\n[SYSTEM]\r\nB=2\r\n");
    IniProfile ini(IniPath());
    EXPECT_EQ(ini.ReadString("System", "A", kDefault), "1");
    EXPECT_EQ(ini.ReadString("System", "B", kDefault), kDefault);
    ASSERT_TRUE(ini.WriteString("System", "C", "3"));
    EXPECT_EQ(ini.ReadString("System", "C", kDefault), "3");
    EXPECT_EQ(ini.ReadString("System", "A", kDefault), "1");
    EXPECT_EQ(ReadTestFile(IniPath()), "[system]\r\nA=1\r\nC=3\r\n[SYSTEM]\r\nB=2\r\n");
}
