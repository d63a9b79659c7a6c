// The phrase database on damaged files: empty, one byte, cut after every
// tenth byte, every byte of its first entry flipped. The engine starts
// without an error, the intact entries translate, the rest stand as German
// and are learnt; the damaged bytes stay in front of what is appended, and
// the next start appends nothing more.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kernel/language/language.h"
#include "kernel/model/globals.h"
#include "platform/codepage.h"
#include "tests/support/damaged_files.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

namespace {

struct Entry {
    std::string source, english;
    std::size_t start = 0;  // offset of the entry's "$:" line in the valid file
    std::size_t end = 0;    // offset after its "E:" line's CR LF
};

std::string DbPath()
{
    return TestHome() + "DbLang.Txt";
}

// The block the engine appends for a phrase, with the English line filled in
// as a translator does.
std::string Block(const std::string& source, const std::string& english)
{
    return std::string(78, '-') + "\r\n$:" + source + "\r\nG:" + source + "\r\nE:" + english +
           "\r\nI:\r\nS:\r\nP:\r\nF:\r\nH:\r\nJ:\r\n";
}

std::string ValidFile(std::vector<Entry>& entries)
{
    std::string bytes;
    for (Entry& e : entries) {
        e.start = bytes.size() + 80;
        bytes += Block(e.source, e.english);
        e.end = bytes.find("\r\nI:", e.start) + 2;
    }
    return bytes;
}

void Start()
{
    DoneLanguage();
    InitLanguage(nullptr, nullptr, "DbLang.Txt", 'E');
}

}  // namespace

TEST(LanguageDamaged, EveryDamagedFormStartsAndKeepsWhatIsIntact)
{
    std::vector<Entry> entries = {
        {"Datei \xF6" "ffnen", "Open file"},
        {"&Speichern", "&Save"},
        {"Programm", "Program"},
        {"Fehler in Zeile", "Error in line"},
        {"Abbruch", "Cancel"},
    };
    const std::string valid = ValidFile(entries);
    WriteTestFile(DbPath(), valid);
    Start();
    for (const Entry& e : entries)
        EXPECT_EQ(F_TRANS(Cp1252ToUtf8(e.source)), e.english);
    EXPECT_EQ(ReadTestFile(DbPath()), valid);

    const std::size_t header = entries[1].start - 80;
    for (const DamagedFile& damaged : DamagedVariants(valid, header)) {
        SCOPED_TRACE(damaged.Describe());
        WriteTestFile(DbPath(), damaged.bytes);
        ScopedRecordingHost recording;
        Start();
        EXPECT_TRUE(recording.host.messages().empty());
        ASSERT_TRUE(PhraseFileOpen());
        for (const Entry& e : entries) {
            SCOPED_TRACE(e.english);
            const std::string german = Cp1252ToUtf8(e.source);
            const std::string text = F_TRANS(german);
            switch (damaged.kind) {
            case DamagedFile::Kind::Empty:
            case DamagedFile::Kind::OneByte:
                EXPECT_EQ(text, german);
                break;
            case DamagedFile::Kind::Truncated:
                if (e.end <= damaged.at) {
                    EXPECT_EQ(text, e.english);
                } else {  // a cut translation line gives what it still holds
                    EXPECT_TRUE(text == german || (!text.empty() && e.english.starts_with(text))) << text;
                }
                break;
            case DamagedFile::Kind::HeaderByteFlipped:
                if (&e != &entries.front()) {
                    EXPECT_EQ(text, e.english);
                }
                break;
            }
        }
        // Learning only appends.
        const std::string learnt = ReadTestFile(DbPath());
        EXPECT_EQ(learnt.substr(0, damaged.bytes.size()), damaged.bytes);

        Start();
        for (const Entry& e : entries) {
            const std::string text = F_TRANS(Cp1252ToUtf8(e.source));
            if (damaged.kind == DamagedFile::Kind::Truncated && e.end <= damaged.at) {
                EXPECT_EQ(text, e.english);
            }
        }
        EXPECT_EQ(ReadTestFile(DbPath()), learnt) << "a phrase was learnt twice";
        DoneLanguage();
    }
}

// Found by the fuzzer: a phrase with a blank before its colon is looked up
// without the colon, blank and all, but a stored entry loses that blank when
// it is read back; the phrase was appended anew at every start.
TEST(LanguageDamaged, PhraseWithABlankBeforeItsColonIsNotAppendedAtEveryStart)
{
    WriteTestFile(DbPath(), "$:Datei\r\nE:File\r\n");
    for (int start = 0; start < 3; ++start) {
        Start();
        EXPECT_EQ(F_TRANS("Datei :"), "Datei :");
        EXPECT_EQ(F_TRANS("Datei:"), "File:");
        EXPECT_EQ(F_TRANS("Neu "), "Neu ");
    }
    EXPECT_EQ(ReadTestFile(DbPath()), "$:Datei\r\nE:File\r\n" + Block("Neu", ""));
}
