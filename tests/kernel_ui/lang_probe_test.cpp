// lang_probe from outside, as reviewers drive it: the phrase file's bytes
// and the printed results.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/test_env.h"

namespace fs = std::filesystem;

namespace {

// Single-quoted for the shell.
std::string Quote(const std::string& s)
{
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

int Probe(const std::string& args, std::string* out = nullptr)
{
    return RunCommand(ToolsFolder() + "lang_probe --home " + Quote(TestHome()) + " " + args + " 2>/dev/null", out);
}

std::string Db()
{
    return ReadTestFile(TestHome() + "DbLang.Txt");
}

void WriteDb(const std::string& bytes)
{
    WriteTestFile(TestHome() + "DbLang.Txt", bytes);
}

std::string NewBlock(const std::string& cp1252)
{
    return std::string(78, '-') + "\r\n$:" + cp1252 + "\r\nG:" + cp1252 +
           "\r\nE:\r\nI:\r\nS:\r\nP:\r\nF:\r\nH:\r\nJ:\r\n";
}

}  // namespace

TEST(LangProbe, NewPhraseFile)
{
    std::string out;
    EXPECT_EQ(Probe("translate " + Quote("Datei \u00f6ffnen"), &out), 0);
    EXPECT_EQ(out, "Datei \u00f6ffnen\n");
    const std::string db = Db();
    EXPECT_EQ(db.size(), 140u);
    EXPECT_EQ(db, NewBlock("Datei \xF6" "ffnen"));
    EXPECT_EQ(Probe("translate " + Quote("Datei \u00f6ffnen")), 0);
    EXPECT_EQ(Db().size(), 140u);
}

TEST(LangProbe, BlanksColonMarksAndNumbers)
{
    WriteDb("$:Datei\r\nE:File\r\n$:&Ende\r\nE:&End\r\n");
    std::string out;
    EXPECT_EQ(Probe("--language Englisch translate " + Quote("  Datei: ") + " Ende '&Ende' 'E&nde' -12 +7 '$1F' 0x1F 1.5",
                    &out),
              0);
    EXPECT_EQ(out, "  File: \nEnd\n&End\nE&nde\n-12\n+7\n$1F\n0x1F\n1.5\n");
    EXPECT_EQ(Db(), "$:Datei\r\nE:File\r\n$:&Ende\r\nE:&End\r\n" + NewBlock("E&nde") + NewBlock("1.5"));
}

TEST(LangProbe, Hints)
{
    WriteDb("$:A\r\nE:One\r\n$:B\r\nE:Two\r\n$:Klicken\r\nE:Click\r\n");
    std::string out;
    EXPECT_EQ(Probe("--language Englisch hint " + Quote("A\u00BFB"), &out), 0);
    EXPECT_EQ(out, "One\r\nTwo|One  Two  \n");
    EXPECT_EQ(Probe("--language Englisch hint " + Quote("\"LT\"Klicken"), &out), 0);
    EXPECT_EQ(out, "\"LT\": Click|\"LT\": Click  \n");
}

TEST(LangProbe, ChoiceOfLanguage)
{
    WriteDb("$:Datei\r\nE:File\r\nF:Fichier\r\n");
    std::string out;
    EXPECT_EQ(Probe("--language " + Quote("Franz\u00f6sisch") + " translate Datei", &out), 0);
    EXPECT_EQ(out, "Fichier\n");
    EXPECT_EQ(Probe("--language Klingonisch translate Datei", &out), 0);
    EXPECT_EQ(out, "File\n");
    EXPECT_EQ(Probe("translate Datei", &out), 0);
    EXPECT_EQ(out, "File\n");
}

TEST(LangProbe, WithoutFileAndWithAFolderInItsPlace)
{
    std::string out;
    EXPECT_EQ(Probe("--language Englisch translate Datei Ende", &out), 0);
    EXPECT_EQ(out, "Datei\nEnde\n");
    EXPECT_EQ(Db(), NewBlock("Datei") + NewBlock("Ende"));

    fs::remove(TestHome() + "DbLang.Txt");
    fs::create_directories(TestHome() + "DbLang.Txt");
    EXPECT_EQ(Probe("--language Englisch translate Datei Datei Ende", &out), 0);
    EXPECT_EQ(out, "MSG Error during language initialization\nDatei\nDatei\nEnde\n");
}

TEST(LangProbe, MendedFaults)
{
    WriteDb(NewBlock("Datei").substr(0, 138) + "$:Ende\r\nE:End\r\nE:Later\r\n");
    std::string out;
    // A phrase with CR LF is answered but not written.
    EXPECT_EQ(Probe("--language Englisch translate \"$(printf 'Zeile\\r\\nZwei')\" Ende", &out), 0);
    EXPECT_EQ(out, "Zeile\r\nZwei\nEnd\n");
    EXPECT_EQ(Db(), NewBlock("Datei").substr(0, 138) + "$:Ende\r\nE:End\r\nE:Later\r\n");

    WriteDb(NewBlock("Datei").substr(0, 138));
    EXPECT_EQ(Probe("translate Neu"), 0);
    EXPECT_EQ(Db(), NewBlock("Datei") + NewBlock("Neu"));
}

TEST(LangProbe, BadUsageExitsTwo)
{
    EXPECT_EQ(Probe(""), 2);
    EXPECT_EQ(Probe("nosuch"), 2);
    EXPECT_EQ(Probe("translate"), 2);
    EXPECT_EQ(Probe("hint a b"), 2);
    EXPECT_EQ(Probe("dialog warning yes"), 2);
    EXPECT_EQ(Probe("dialog bogus yes Text"), 2);
    EXPECT_EQ(Probe("dialog warning yes,maybe Text"), 2);
    EXPECT_EQ(Probe("dialog warning yes Text --pos 1"), 2);
    EXPECT_EQ(Probe("dialog warning yes Text --pos a 1"), 2);
    EXPECT_EQ(RunCommand(ToolsFolder() + "lang_probe --home 2>/dev/null"), 2);
}

TEST(LangProbe, FreshFolderIsRemoved)
{
    const std::string tmp = TestHome() + "tmp";
    fs::create_directories(tmp);
    std::string out;
    EXPECT_EQ(RunCommand("TMPDIR=" + tmp + " " + ToolsFolder() + "lang_probe translate Datei", &out), 0);
    EXPECT_EQ(out, "Datei\n");
    EXPECT_TRUE(fs::is_empty(tmp));
}
