// Every reader of a stored file refuses what is no file at once: a named
// pipe would wait for a writer for good, /dev/zero never ends. The reader
// reports as for a file that cannot be opened and the program stays as it
// was.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "kernel/compiler/scriptfile.h"
#include "kernel/compiler/statementfile.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/ramcopy.h"
#include "kernel/pattern/blpattern.h"
#include "kernel/services/services.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

namespace {
int Probe(const std::string& args, std::string* out)
{
    // Before the readers refused them, these waited or grew for good.
    return RunCommand("timeout 5 " + ToolsFolder() + "kernel_probe " + args + " 2>&1", out);
}
// What the user reads for a name that is no file: a pipe or a device is not
// found; a folder is a failure of its own.
std::string NoFileText(const std::string& name)
{
    return name.ends_with(".d") ? "Unbekannter Fehler am Laufwerk!" : "Datei nicht gefunden!";
}
}  // namespace

TEST(StoredReaders, ProbeCommandsRefuseWhatIsNoFile)
{
    for (const std::string& name : NoFilePaths("pipe.Bl2")) {
        const std::string text = NoFileText(name);
        const std::pair<std::string, std::string> cases[] = {
            {"compile", "ERROR " + text + "\n"},
            {"check", "ERROR " + text + "\n"},
            {"bl-read", "MSG " + text + "\nERROR " + text + "\n"},
            {"load", "ERROR 301 Datei ist nicht geöffnet\n"},
        };
        for (const auto& [command, output] : cases) {
            std::string out;
            EXPECT_EQ(Probe(command + " " + name, &out), 1) << command << " " << name;
            EXPECT_EQ(out, output) << command << " " << name;
        }
    }
}

TEST(StoredReaders, KernelReadersRefuseWhatIsNoFile)
{
    for (const std::string& name : NoFilePaths("pipe.Bl2")) {
        ScopedRecordingHost recording;
        std::string text = "old";
        EXPECT_NE(ReadScriptFile(name, text), 0) << name;
        EXPECT_EQ(text, "") << name;

        EXPECT_FALSE(LoadBlPattern(name, true, false, 0)) << name;
        EXPECT_EQ(recording.host.messages(), std::vector<std::string>{NoFileText(name)}) << name;
        EXPECT_FALSE(PatternPlane(0)->present) << name;

        EXPECT_EQ(F_ReadKeyValue(name, "!KULIERSHINC", ':'), "") << name;

        ProgrammKopf.SetWidth(7);
        EXPECT_FALSE(ReadRamCopy(name)) << name;
        EXPECT_EQ(ProgrammKopf.Width(), 7) << name;
    }
}

TEST(StoredReaders, StatementFileIsNoPipe)
{
    StatementFile file;
    EXPECT_FALSE(file.Create(NoFilePaths("STR_PHS6.TMP")[0]));
    EXPECT_TRUE(file.Create(TestHome() + "Temp/STR_PHS6.TMP"));
}
