#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "kernel/services/services.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

namespace {

std::array<uint16_t, 20> Row(std::initializer_list<uint16_t> head)
{
    std::array<uint16_t, 20> row;
    row.fill(65535);
    std::copy(head.begin(), head.end(), row.begin());
    return row;
}

}  // namespace

TEST(ReadIni, MissingOrMarkedKeyGetsDefaultWrittenOnce)
{
    const std::string ini = TestHome() + "Zorit.INI";
    EXPECT_EQ(F_ReadIni("System", "WorkingLevel", "1"), "1");
    EXPECT_EQ(ReadTestFile(ini), "[System]\r\nWorkingLevel=1\r\n");
    EXPECT_EQ(F_ReadIni("System", "WorkingLevel", "2"), "1");
    EXPECT_EQ(ReadTestFile(ini), "[System]\r\nWorkingLevel=1\r\n");

    WriteTestFile(ini, "[Paths]\r\nTemp=#678\r\n");
    EXPECT_EQ(F_ReadIni("Paths", "Temp", "C:\\Temp\\"), "C:\\Temp\\");
    EXPECT_EQ(ReadTestFile(ini), "[Paths]\r\nTemp=C:\\Temp\\\r\n");
}

TEST(ReadIni, ExistingFileInOtherLetterCaseIsUsed)
{
    WriteTestFile(TestHome() + "ZORIT.Ini", "[SYSTEM]\r\nworkinglevel=2\r\n");
    EXPECT_EQ(F_ReadIni("System", "WorkingLevel", "1"), "2");
    EXPECT_TRUE(P_WriteIni("System", "Language", "Deutsch"));
    EXPECT_EQ(ReadTestFile(TestHome() + "ZORIT.Ini"), "[SYSTEM]\r\nworkinglevel=2\r\nLanguage=Deutsch\r\n");
    EXPECT_FALSE(fs::exists(TestHome() + "Zorit.INI"));
}

TEST(ReadIni, UnwritableFileGivesDefault)
{
    fs::create_directory(TestHome() + "Zorit.INI");
    EXPECT_EQ(F_ReadIni("System", "WorkingLevel", "1"), "1");
    EXPECT_FALSE(P_WriteIni("System", "WorkingLevel", "2"));
}

TEST(NumberTexts, Padding)
{
    EXPECT_EQ(F_ZeroPadNum(7, 3), "007");
    EXPECT_EQ(F_ZeroPadNum(-5, 4), "-005");
    EXPECT_EQ(F_ZeroPadNum(INT32_MIN, 1), "-2147483648");
    EXPECT_EQ(F_NumOrEmpty(0, 3), "");
    EXPECT_EQ(F_NumOrEmpty(42, 4), "0042");
    EXPECT_EQ(F_SignedZeroPadNum(5, 4), "+005");
    EXPECT_EQ(F_SignedZeroPadNum(-12, 5), "-0012");
    EXPECT_EQ(F_Sign(0), 1);
    EXPECT_EQ(F_Sign(-1), -1);
}

TEST(Messages, DiskErrorTextsAndWarningBox)
{
    EXPECT_EQ(F_DiskErrorText(13), "Diskette ist voll!");
    EXPECT_EQ(F_DiskErrorText(12), "nicht erlaubter Zugriffsmodus!");
    EXPECT_EQ(F_DiskErrorText(7), "Unbekannter Fehler am Laufwerk!");

    ScopedRecordingHost rec;
    P_WarningBox("Datei: x.8a\r\nDll hat falsche Version");
    ASSERT_EQ(rec.host.calls.size(), 1u);
    EXPECT_EQ(rec.host.calls[0].what, "messageDlg");
    EXPECT_EQ(rec.host.calls[0].text, "Datei: x.8a\r\nDll hat falsche Version");
    EXPECT_EQ(rec.host.calls[0].kind, MsgKind::Warning);
    EXPECT_EQ(rec.host.calls[0].buttons, MsgButtons({MsgButton::Cancel}));
}

TEST(KeyValueFiles, FirstLineWithKeyGivesValue)
{
    const std::string file = WriteTestFile(TestHome() + "Typ.mas",
                                           "!NAME=Typ \xe4:x;;\r\n"
                                           "!LEER\r\n"
                                           "!LEER:not this one\r\n"
                                           "!KULIERVARFRONT:(1,5,9);\r\n"
                                           "!LANG:" + std::string(300, 'a') + "\n");
    // First separator only, one ";" removed, the file's Windows-1252 read as such.
    EXPECT_EQ(F_ReadKeyValue(file, "!NAME", '='), "Typ ä:x;");
    EXPECT_EQ(F_ReadKeyValue(file, "!NAME", ':'), "x;");
    EXPECT_EQ(F_ReadKeyValue(file, "!LEER", ':'), "");
    EXPECT_EQ(F_ReadKeyValue(file, "!LANG", ':'), std::string(256, 'a'));
    EXPECT_EQ(F_ReadKeyValue(TestHome() + "none.mas", "!NAME", '='), "");

    KulierVarTable t{};
    P_ReadKulierVar(file, t);
    EXPECT_EQ(t[0], Row({1, 5, 9}));
    EXPECT_EQ(t[1], Row({}));
}

TEST(KulierVar, EntriesAndBadValues)
{
    KulierVarTable t{};
    P_ParseKulierVar("(1,,3)", 1, t);
    EXPECT_EQ(t[1], Row({1, 0, 3}));
    P_ParseKulierVar("", 1, t);
    EXPECT_EQ(t[1], Row({}));
    EXPECT_NO_THROW(P_ParseKulierVar("(7,x,65536,99999999999999999999,65535,4)", 1, t));
    EXPECT_EQ(t[1], Row({7, 65535, 65535, 65535, 65535, 4}));

    std::string many = "(1";
    for (int i = 2; i <= 25; ++i)
        many += "," + std::to_string(i);
    P_ParseKulierVar(many + ")", 0, t);
    EXPECT_EQ(t[0][19], 20);
}
