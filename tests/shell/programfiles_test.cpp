// Program files and the design program's commands, in process: the command
// parser, the name rules, the recent files, loads that fail and saves with
// all three pattern planes.
// Before any Qt header: the work record has a member that Qt's "slots"
// keyword would swallow.
#include "kernel/model/workrecord.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <unistd.h>

#include "kernel/model/globals.h"
#include "kernel/model/machinedata.h"
#include "kernel/model/newprogram.h"
#include "kernel/model/programmodel.h"
#include "kernel/services/debuglog.h"
#include "kernel/services/services.h"
#include "kernel/ui/program_actions.h"
#include "lists/form_fortschritt.h"
#include "platform/paths.h"
#include "platform/save_journal.h"
#include "shell/dde_hndl_zorit.h"
#include "shell/dde_zorit.h"
#include "shell/file_dialogs.h"
#include "shell/form_main.h"
#include "shell/program_files.h"
#include "shell/program_windows.h"
#include "tests/kernel/tkf/tkf_testing.h"
#include "tests/shell/main_window_fixture.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using tkftest::DumpLines;
using tkftest::FillProgram;

TEST(DdeCommands, ParsedInTheirOrder)
{
    struct Case {
        const char* text;
        DdeCommand command;
        const char* argument;
    };
    const Case cases[] = {
        {"LOADPATTERN   a b  ", DdeCommand::LoadPattern, "a b"},
        {"LOADPATTERNX", DdeCommand::LoadPattern, "X"},
        {"LOADORDALINFILES\t/w/X.SMA", DdeCommand::LoadOrdalinFiles, "/w/X.SMA"},
        {"EXPORT MA-FILE  x.D10 ", DdeCommand::ExportMaFile, "x.D10"},
        {"EXPORT EXTENTED 101", DdeCommand::ExportExtented, "101"},
        {"EXPORT DO", DdeCommand::ExportDo, ""},
        {"SIZEMAX", DdeCommand::SizeMax, ""},
        {"RAMDELETE", DdeCommand::RamDelete, ""},
        {"FERNSTEUERUNG", DdeCommand::Fernsteuerung, ""},
        {"SIMULATION", DdeCommand::Simulation, ""},
        {"CLOSE", DdeCommand::Close, ""},
        {"NAME C:\\DIR\\LONGNAME1.SMA", DdeCommand::Name, "C:\\DIR\\LONGNAME1.SMA"},
        {"NAMEX", DdeCommand::Name, ""},
        {"NAME", DdeCommand::Name, ""},
        {"SIZEMAX ", DdeCommand::None, ""},
        {"sizemax", DdeCommand::None, ""},
        {"EXPORT DOX", DdeCommand::None, ""},
        {"SIMULATION ", DdeCommand::None, ""},
        {"close", DdeCommand::None, ""},
    };
    for (const Case& c : cases) {
        const ParsedDdeCommand p = ParseDdeCommand(c.text);
        EXPECT_EQ(p.command, c.command) << c.text;
        EXPECT_EQ(p.argument, c.argument) << c.text;
    }
}

TEST(ProgramFileRules, NamesExtensionsIncrementsAndFilters)
{
    NewProgramModel();
    EXPECT_EQ(ProgramNameOf("/w/ABCDEFGHIJ.8a"), "ABCDEFGH");
    EXPECT_EQ(ProgramNameOf("AB.8"), "");
    EXPECT_EQ(ProgramNameOf("ABCD"), "");
    EXPECT_EQ(ProgramNameOf("/x/M\xc3\xbcllerstr.8DH"), "M\xfcllerst");
    EXPECT_EQ(DdeProgramName("C:\\DIR\\LONGNAME1.SMA"), "LONGNAME");
    EXPECT_EQ(DdeProgramName("/home/u/Kurz"), "Kurz");
    EXPECT_EQ(DdeProgramName("C:\\X\\M\xc3\xbcllerstr.SMA"), "M\xfcllerst");

    // The file "&Speichern" writes.
    EXPECT_EQ(SaveTarget("/a/LONGNAME99.3xh", "", "LONGNAME", "/b", "3XH"), "/a/LONGNAME99.3xh");
    EXPECT_EQ(SaveTarget("/a/LONGNAME99.3XH", "3XH", "LONGNAME", "/b", "8DH"), "/a/LONGNAME99.8DH");
    EXPECT_EQ(SaveTarget("/a.b/RBEDIT.8FH", "8FH", "RBEDIT", "/b", "8GJ"), "/a.b/RBEDIT.8GJ");
    EXPECT_EQ(SaveTarget("/a.b/RBEDITXY", "8FH", "RBED", "/b", "8GJ"), "/a.b/RBEDITXY.8GJ");
    // A name the user gave with another extension stays while the model does.
    EXPECT_EQ(SaveTarget("/a/LONGNAME99.3XH", "3AH", "LONGNAME", "/b", "3AH"), "/a/LONGNAME99.3XH");
    EXPECT_EQ(SaveTarget("/a/LONGNAME99.3XH", "3AH", "LONGNAME", "/b", "8GJ"), "/a/LONGNAME99.8GJ");
    EXPECT_EQ(SaveTarget("/a/LONGNAME99.3XH", "3XH", "NEU2", "/b", "3XH"), "/b/NEU2.3XH");
    EXPECT_EQ(SaveTarget("", "", "M\xfcller", "C:\\b", "3XH"), "C:\\b\\M\xc3\xbcller.3XH");

    EXPECT_EQ(IncrementOf("(3)"), 3);
    EXPECT_EQ(IncrementOf("(2)"), 2);
    EXPECT_EQ(IncrementOf("3"), 2);
    EXPECT_EQ(IncrementOf(""), 2);
    EXPECT_EQ(IncrementOf("(x)"), 2);

    const std::string model = ProgrammKopf.Model();
    const int pos = FindModel(model);
    ASSERT_GT(pos, 0);
    const std::string code = ZrVar.ModelCodes.substr(size_t(pos - 1), 2);
    EXPECT_EQ(code.size(), 2u);
    for (auto [gauge, letter] : {std::pair{2, "A"}, std::pair{8, "H"}, std::pair{10, "J"}, std::pair{25, "B"}}) {
        ProgrammKopf.SetGauge(static_cast<uint8_t>(gauge));
        std::string expected = code + letter;
        for (char& c : expected)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(F_ProgrammExtension(), expected) << gauge;
    }

    EXPECT_EQ(QtNameFilters("Komplettes Programm (3er, 8er)|*.8*;*.3*|Skrel Script|*.Skx|"),
              QStringList({"Komplettes Programm (3er, 8er) (*.8* *.3*)", "Skrel Script (*.Skx)"}));
}

TEST(ProgramFileRules, RecentFilesMoveUpWithoutDuplicates)
{
    EXPECT_EQ(RecentCaption("84", "/w/a&b/P.8DH"), "ZR84  /w/a&b/P.8DH");
    EXPECT_EQ(RecentPath(RecentCaption("84", "/w/a&b/P.8DH")), "/w/a&b/P.8DH");
    RecentList items;
    for (const char* name : {"A", "B", "C", "D"})
        AddRecentEntry(items, name);
    EXPECT_EQ(items, (RecentList{"D", "C", "B", "A"}));
    AddRecentEntry(items, "c");
    EXPECT_EQ(items, (RecentList{"c", "D", "B", "A"}));
    AddRecentEntry(items, "E");
    EXPECT_EQ(items, (RecentList{"E", "c", "D", "B"}));
}

namespace {
class ProgramFilesTest : public MainWindowFixture {
protected:
    // A program with all three planes, saved as path.
    void SaveFullProgram(const std::string& path)
    {
        FillProgram();
        ProgrammKopf.SetWidth(40);
        ProgrammKopf.SetHeight(30);
        for (int p = 0; p <= 2; ++p) {
            T_Patrone* plane = PatternPlane(p);
            plane->allocate(30);
            plane->present = true;
            for (uint16_t row = 1; row <= 30; ++row)
                for (size_t x = 0; x < 40; ++x)
                    plane->rows[row * kPatternStride + x] = static_cast<uint8_t>((row + x + p) % 7);
        }
        ASSERT_TRUE(P_MusterSichern(path));
    }
};
}  // namespace

TEST_F(ProgramFilesTest, AllThreePlanesTravelUnderTheStoredNames)
{
    ScopedRecordingHost host;
    Fernsteuerung = true;
    const std::string path = TestHome() + "w/LONGNAME.8DH";
    SaveFullProgram(path);
    for (const char* name : {"LONGNA_p.TIF", "LONGNA_y.TIF", "LONGNA_q.TIF"})
        EXPECT_TRUE(fs::exists(TestHome() + "w/" + name)) << name;
    EXPECT_FALSE(fs::exists(TestHome() + "w/LONGNA_q.Tif"));
    const std::string saved = DumpLines("ZNWSVFPAB");
    EXPECT_EQ(form->RecentCaptionOf(1).toStdString(), RecentCaption(ProgrammKopf.Model(), path));

    P_NeuesProgramm(false);
    ASSERT_TRUE(form->OpenProgram(path, false));
    for (int p = 0; p <= 2; ++p)
        EXPECT_TRUE(PatternPlane(p)->present) << p;
    EXPECT_EQ(ProgrammKopf.Name(), "LONGNAME");
    EXPECT_EQ(DumpLines("ZNWSVFPAB"), saved);
}

// A folder of any letters: the program saves, shows in the recent files as
// typed and opens again from there. A name the program file cannot store
// for its pattern files is refused with one message, nothing written; a
// file that does not open names itself whole.
TEST_F(ProgramFilesTest, ProgramsInFoldersOfAnyLettersOpenAgain)
{
    ScopedRecordingHost host;
    Fernsteuerung = true;
    const std::string folder = TestHome() + "Клиент Ωμέγα/";
    const std::string path = folder + "PROG.8DH";
    SaveFullProgram(path);
    const std::string saved = DumpLines("ZNWSVFPAB");
    EXPECT_EQ(form->RecentCaptionOf(1).toStdString(), RecentCaption(ProgrammKopf.Model(), path));
    EXPECT_EQ(form->Action("MnuLoadFile1")->text().toStdString(), RecentCaption(ProgrammKopf.Model(), path));
    P_NeuesProgramm(false);
    form->MnuLoadFileClick(1);
    EXPECT_EQ(DumpLines("ZNWSVFPAB"), saved);
    EXPECT_TRUE(host.host.messages().empty());

    const auto files = [&] {
        std::vector<std::string> names;
        for (const auto& f : fs::directory_iterator(folder))
            names.push_back(f.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> before = files();
    EXPECT_FALSE(P_MusterSichern(folder + "Программа.8DH"));
    ASSERT_EQ(host.host.messages().size(), 1u);
    EXPECT_EQ(host.host.messages()[0].substr(host.host.messages()[0].find('\n') + 1), "Програ_p.TIF");
    EXPECT_EQ(files(), before);

    // Without pattern files the name stores nothing: saved, and shown as typed.
    for (int p = 0; p <= 2; ++p)
        PatternPlane(p)->present = false;
    form->askSaveName = [&](const QString&) { return QString::fromStdString(folder + "Ωμέγα.8DH"); };
    form->MnuSpeichernUnterClick();
    EXPECT_EQ(form->PanelName->text().toStdString(), " Ωμέγα");
    P_NeuesProgramm(false);
    ASSERT_TRUE(form->OpenProgram(folder + "Ωμέγα.8DH", false));
    EXPECT_EQ(form->PanelName->text().toStdString(), " Ωμέγα");
    EXPECT_EQ(host.host.messages().size(), 1u);

    const std::string bad = WriteTestFile(folder + "Плохо.8DH", "kein Programm");
    EXPECT_FALSE(form->OpenProgram(bad, false));
    ASSERT_EQ(host.host.messages().size(), 2u);
    const std::string message = host.host.messages()[1];
    EXPECT_EQ(message.substr(0, message.find('\n') + 1), "Плохо.8DH\r\n");
}

TEST_F(ProgramFilesTest, ARefusedOrMissingFileChangesNothing)
{
    ScopedRecordingHost host;
    Fernsteuerung = true;
    const std::string path = TestHome() + "w/GOOD.8DH";
    SaveFullProgram(path);
    std::string bytes = ReadTestFile(path);
    bytes[8] = 'G';
    bytes[9] = 'X';
    const std::string bad = WriteTestFile(TestHome() + "w/BAD.8DH", bytes);

    ProgrammKopf.SetName("VORHER");
    const std::string before = DumpLines("ZNWSVFPAKRB");
    const QString recent = form->RecentCaptionOf(1);
    host.host.calls.clear();

    EXPECT_FALSE(form->OpenProgram(bad, false));
    EXPECT_EQ(DumpLines("ZNWSVFPAKRB"), before);
    EXPECT_EQ(form->RecentCaptionOf(1), recent);
    ASSERT_EQ(host.host.messages().size(), 1u);
    EXPECT_NE(host.host.messages()[0].find("TKF-Datei ist falsch"), std::string::npos);

    EXPECT_FALSE(form->OpenProgram(TestHome() + "w/NOTHERE.8DH", true));
    EXPECT_EQ(DumpLines("ZNWSVFPAKRB"), before);
    EXPECT_EQ(host.host.messages().size(), 2u);

    // A recent item whose file is gone does nothing.
    fs::remove(path);
    form->MnuLoadFileClick(1);
    EXPECT_EQ(DumpLines("ZNWSVFPAKRB"), before);
    EXPECT_EQ(host.host.messages().size(), 2u);
}

// Files the user made read-only are not replaced by a save: it fails with
// the refused-write text naming the file, once, and every file stays as it
// was.
TEST_F(ProgramFilesTest, ReadOnlyFilesStopTheSave)
{
    ScopedRecordingHost host;
    Fernsteuerung = true;
    const std::string path = TestHome() + "w/GUARD.8DH";
    SaveFullProgram(path);
    for (const char* name : {"GUARD.8DH", "GUARD_p.TIF", "GUARD_q.TIF", "GUARD_y.TIF"}) {
        SCOPED_TRACE(name);
        const std::string locked = TestHome() + "w/" + name;
        const std::string message = locked + "\r\nZugriff verweigert!";
        std::map<std::string, std::string> before;
        for (const auto& f : fs::directory_iterator(TestHome() + "w"))
            before[f.path().string()] = ReadTestFile(f.path().string());
        fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        PatternPlane(0)->rows[kPatternStride + 1] ^= 1;
        host.host.calls.clear();
        EXPECT_FALSE(P_MusterSichern(path));
        EXPECT_EQ(host.host.messages(), (std::vector<std::string>{message}));
        std::map<std::string, std::string> after;
        for (const auto& f : fs::directory_iterator(TestHome() + "w"))
            after[f.path().string()] = ReadTestFile(f.path().string());
        EXPECT_EQ(after, before);
        fs::permissions(locked, fs::perms::owner_write, fs::perm_options::add);
    }
}

TEST_F(ProgramFilesTest, SaveWithoutAFolderAsksForTheName)
{
    ProgrammKopf.SetName("NAME1");
    int asked = 0;
    QStringList suggestions;
    form->askSaveName = [&](const QString& suggested) {
        ++asked;
        suggestions << suggested;
        return QString();
    };
    ASSERT_TRUE(form->DialogFolder().isEmpty());
    form->MnuSpeichernClick();
    EXPECT_EQ(asked, 1);
    ProgrammKopf.SetName("");
    form->MnuSpeichernClick();
    EXPECT_EQ(asked, 2);
    const QString extension = QString::fromStdString(F_ProgrammExtension());
    EXPECT_EQ(suggestions, QStringList({"NAME1." + extension, "*." + extension}));
}

TEST_F(ProgramFilesTest, RemoteCommandsOnTheMainWindow)
{
    form->showMinimized();
    DdeHndlZorit->P_DdeBefehlEmpfangen("SIZEMAX");
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(form->windowState() & Qt::WindowMinimized);

    Fernsteuerung = false;
    DdeHndlZorit->P_DdeBefehlEmpfangen("NAME C:\\DIR\\LONGNAME1.SMA");
    EXPECT_EQ(ProgrammKopf.Name(), "LONGNAME");
    EXPECT_FALSE(Fernsteuerung);
    DdeHndlZorit->P_DdeBefehlEmpfangen("NAME");
    EXPECT_EQ(ProgrammKopf.Name(), "");
    DdeHndlZorit->P_DdeBefehlEmpfangen("FERNSTEUERUNG");
    EXPECT_TRUE(Fernsteuerung);
}

TEST_F(ProgramFilesTest, TheCompileDriverTakesABadIncrementAsTwo)
{
    DebugLogStart();
    WriteTestFile(TestHome() + "X.SMA", "");
    WriteTestFile(TestHome() + "X.D10", "!KULIERSHINC:3;\r\n");
    WriteTestFile(TestHome() + "X.Skx", "");
    ScopedRecordingHost host;
    CompileProgramFiles(TestHome() + "X.SMA");
    EXPECT_FALSE(FormFortschritt->isVisible());
    EXPECT_NE(ReadTestFile(DebugLogPath()).find("KULIERSHINC"), std::string::npos);
    EXPECT_TRUE(fs::exists(TempPfad + "Compile.Skx"));
}

TEST_F(ProgramFilesTest, RemoteLoadsLeaveTheRecentItemsUsable)
{
    ScopedRecordingHost host;
    const std::string path = TestHome() + "w/a&b/PAMP.8DH";
    SaveFullProgram(path);
    DdeHndlZorit->P_DdeBefehlEmpfangen("LOADPATTERN " + path);
    DdeHndlZorit->P_DdeBefehlEmpfangen("RAMDELETE");
    QAction* recent = form->Action("MnuLoadFile1");
    EXPECT_TRUE(recent->isVisible());
    EXPECT_TRUE(recent->isEnabled());
    EXPECT_EQ(recent->text().toStdString(), RecentCaption(ProgrammKopf.Model(), path).replace(
                                                 RecentCaption(ProgrammKopf.Model(), path).find('&'), 1, "&&"));
    recent->trigger();
    EXPECT_EQ(ProgrammKopf.Name(), "PAMP");
}

TEST_F(ProgramFilesTest, SaveWritesTheFileLastLoadedOrSavedAs)
{
    ScopedRecordingHost host;
    Fernsteuerung = true;
    const std::string ext = "." + F_ProgrammExtension();
    const std::string longName = TestHome() + "w/LONGNAME99" + ext;
    FillProgram();
    form->askSaveName = [&](const QString&) { return QString::fromStdString(longName); };
    form->MnuSpeichernUnterClick();
    ASSERT_TRUE(fs::exists(longName));
    EXPECT_EQ(ProgrammKopf.Name(), "LONGNAME");

    fs::remove(longName);
    form->askSaveName = [](const QString&) { return QString(); };
    form->MnuSpeichernClick();
    EXPECT_TRUE(fs::exists(longName));
    EXPECT_FALSE(fs::exists(TestHome() + "w/LONGNAME" + ext));

    // A program loaded from another folder goes back where it came from,
    // under its own spelling.
    const std::string loaded = TestHome() + "v/Gemischt12" + ext;
    fs::create_directories(TestHome() + "v");
    fs::copy_file(longName, loaded);
    ASSERT_TRUE(form->OpenProgram(loaded, false));
    fs::remove(loaded);
    form->MnuSpeichernClick();
    EXPECT_TRUE(fs::exists(loaded));
    EXPECT_FALSE(fs::exists(TestHome() + "w/Gemischt" + ext));
    // A load that fails keeps the file of the program that stays.
    WriteTestFile(TestHome() + "v/KAPUTT" + ext, "kein Programm");
    DdeHndlZorit->P_DdeBefehlEmpfangen("LOADPATTERN " + TestHome() + "v/KAPUTT" + ext);
    EXPECT_EQ(ProgrammKopf.Name(), "Gemischt");
    fs::remove(loaded);
    form->MnuSpeichernClick();
    EXPECT_TRUE(fs::exists(loaded));

    // A name given since (the design program's NAME) is saved under that
    // name, in the folder of the last file.
    DdeHndlZorit->P_DdeBefehlEmpfangen("NAME C:\\DIR\\NEU2.SMA");
    form->MnuSpeichernClick();
    EXPECT_TRUE(fs::exists(TestHome() + "v/NEU2" + ext));
}

TEST_F(ProgramFilesTest, SaveAfterAnotherModelWritesTheFileOfThatModel)
{
    ScopedRecordingHost host;
    Fernsteuerung = true;
    FillProgram();
    ProgrammKopf.SetModel("843");
    ProgrammKopf.SetGauge(8);
    P_SetMaschinenDaten();
    ASSERT_EQ(F_ProgrammExtension(), "8FH");
    const std::string old = TestHome() + "v/RBEDIT.8FH";
    fs::create_directories(TestHome() + "v");
    form->askSaveName = [&](const QString&) { return QString::fromStdString(old); };
    form->MnuSpeichernUnterClick();
    ASSERT_TRUE(fs::exists(old));
    form->askSaveName = [](const QString&) { return QString(); };
    ASSERT_TRUE(form->OpenProgram(old, false));
    const std::string before = ReadTestFile(old);

    ProgrammKopf.SetModel("844");
    ProgrammKopf.SetGauge(10);
    P_SetMaschinenDaten();
    ASSERT_EQ(F_ProgrammExtension(), "8GJ");
    form->MnuSpeichernClick();
    EXPECT_TRUE(fs::exists(TestHome() + "v/RBEDIT.8GJ"));
    EXPECT_EQ(ReadTestFile(old), before);

    // The file of the new model is the one written from then on; back on
    // the old model the old file is written again.
    fs::remove(TestHome() + "v/RBEDIT.8GJ");
    form->MnuSpeichernClick();
    EXPECT_TRUE(fs::exists(TestHome() + "v/RBEDIT.8GJ"));
    ProgrammKopf.SetModel("843");
    ProgrammKopf.SetGauge(8);
    P_SetMaschinenDaten();
    fs::remove(old);
    form->MnuSpeichernClick();
    EXPECT_TRUE(fs::exists(old));
}

TEST_F(ProgramFilesTest, APatternFileThatCannotBeReadFailsTheWholeLoad)
{
    ScopedRecordingHost host;
    Fernsteuerung = true;
    const std::string path = TestHome() + "w/JACQ01.8DH";
    SaveFullProgram(path);
    const std::string pattern = TestHome() + "w/JACQ01_p.TIF";
    const std::string good = ReadTestFile(pattern);
    const std::string programBytes = ReadTestFile(path);
    std::string noise(good.size(), '\0');
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 7919 + 13) % 251);
    const struct {
        const char* name;
        std::string bytes;  // empty: the file is missing
        const char* reason;
    } cases[] = {
        {"random bytes", noise, "Kein Intelformat !"},
        {"cut short", good.substr(0, good.size() / 2), ""},
        {"missing", "", "Datei nicht gefunden!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(pattern);
        if (!c.bytes.empty())
            WriteTestFile(pattern, c.bytes);
        P_NeuesProgramm(false);
        FillProgram();
        ProgrammKopf.SetName("VORHER");
        const std::string before = DumpLines("ZNWSVFPAKRB");
        const QString recent = form->RecentCaptionOf(1);
        host.host.calls.clear();

        EXPECT_FALSE(form->OpenProgram(path, false));
        EXPECT_EQ(DumpLines("ZNWSVFPAKRB"), before);
        EXPECT_EQ(ProgrammKopf.Name(), "VORHER");
        EXPECT_EQ(form->RecentCaptionOf(1), recent);
        ASSERT_EQ(host.host.messages().size(), 1u);
        const std::string message = host.host.messages()[0];
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        EXPECT_NE(message.find("JACQ01_p.TIF"), std::string::npos) << message;
        EXPECT_EQ(ReadTestFile(path), programBytes);
    }
    // With its pattern back the program loads.
    WriteTestFile(pattern, good);
    EXPECT_TRUE(form->OpenProgram(path, false));
    EXPECT_EQ(ProgrammKopf.Name(), "JACQ01");
    EXPECT_EQ(ProgrammKopf.Width(), 40);
}

TEST_F(ProgramFilesTest, AtTheStartASaveKilledEarlierIsCompletedInTheProgramsFolders)
{
    const std::string folder = TestHome() + "w/";
    fs::create_directories(folder);
    WriteTestFile(folder + "A.8DH", "alt");
    WriteTestFile(folder + ".A.8DH.99999999-1.tmp", "neu");
    ASSERT_EQ(WriteSaveJournal(folder, {{".A.8DH.99999999-1.tmp", "A.8DH"}}, {}), 0);
    P_WriteIni("System", "LoadFile1", RecentCaption("311", folder + "A.8DH"));

    FormFortschritt = nullptr;
    form.reset();
    form = std::make_unique<TFormMain>();
    FormFortschritt = new TFormFortschritt(form.get());
    EXPECT_EQ(ReadTestFile(folder + "A.8DH"), "neu");
    EXPECT_FALSE(fs::exists(folder + kSaveJournalName));
    EXPECT_FALSE(fs::exists(folder + ".A.8DH.99999999-1.tmp"));
}

TEST_F(ProgramFilesTest, KilledSavesLeaveNoTemporariesAfterTheNextStartOrOpen)
{
    // No process has the pid 99999999: the saves that wrote these are gone,
    // killed before their journals stood.
    const std::string w = TestHome() + "w/";
    const std::string v = TestHome() + "v/";
    fs::create_directories(w);
    fs::create_directories(v);
    const std::string running = ".C.8DH." + std::to_string(::getpid()) + "-1.tmp";
    const std::vector<std::string> atStart = {AppendSeparator(ProgrammPfad) + ".Zorit.INI.99999999-1.tmp",
                                              AppendSeparator(TempPfad) + ".Script.Skx.99999999-2.tmp",
                                              w + ".A.8DH.99999999-3.tmp", w + ".A_p.TIF.99999999-4.tmp"};
    SaveFullProgram(w + "A.8DH");
    P_WriteIni("System", "LoadFile1", RecentCaption("843", w + "A.8DH"));
    for (const std::string& path : atStart)
        WriteTestFile(path, "halb");
    WriteTestFile(w + running, "läuft");

    FormFortschritt = nullptr;
    form.reset();
    form = std::make_unique<TFormMain>();
    FormFortschritt = new TFormFortschritt(form.get());
    for (const std::string& path : atStart)
        EXPECT_FALSE(fs::exists(path)) << path;
    EXPECT_TRUE(fs::exists(w + running));

    // Opening a program clears its folder of them, whatever file they were
    // to replace.
    for (const auto& e : fs::directory_iterator(w))
        if (e.path().filename().string()[0] != '.')
            fs::copy_file(e.path(), v + e.path().filename().string());
    for (const char* name : {".A.8DH.99999999-5.tmp", ".Andere.8DH.99999999-6.tmp", ".A_y.TIF.99999999-7.tmp"})
        WriteTestFile(v + name, "halb");
    ScopedRecordingHost host;
    Fernsteuerung = true;
    ASSERT_TRUE(form->OpenProgram(v + "A.8DH", false));
    for (const auto& e : fs::directory_iterator(v))
        EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
}
