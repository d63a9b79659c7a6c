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

// The real dialog on an X server, answered with keys as a user would.
TEST(LangProbe, DialogOnAnXServer)
{
    if (RunCommand("command -v Xvfb >/dev/null && command -v xdotool >/dev/null") != 0)
        GTEST_SKIP() << "Xvfb or xdotool missing";
    WriteDb("$:Warnung\r\nE:Warning\r\n$:&Ja\r\nE:&Yes\r\n");
    const std::string script = WriteTestFile(TestHome() + "e2e.sh", R"sh(
probe() {  # home folder, arguments
    home=$1
    shift
    QT_QPA_PLATFORM=xcb timeout 20 "$PROBE" --home "$home" "$@" > "$HOME_DIR/out" 2>/dev/null &
    pid=$!
}
answer() {  # window title, key
    win=$(timeout 15 xdotool search --sync --name "^$1\$" | head -n 1)
    echo "title $(xdotool getwindowname "$win")"
    xdotool windowfocus --sync "$win" 2>/dev/null
    xdotool key "$2"
    sleep 0.2
    kill -0 $pid 2>/dev/null && xdotool key "$3"
    wait $pid
    echo "result $? $(cat "$HOME_DIR/out")"
}
probe "$HOME_DIR/empty" dialog warning yes,no,cancel Speichern
answer Warnung Return
probe "$HOME_DIR" dialog warning yes,no Speichern
answer Warning Escape
probe "$HOME_DIR" --language Deutsch dialog error abort,retry,ignore Laufwerk
answer Fehler Escape Return
probe "$HOME_DIR" dialog custom ok Fertig --pos 10 20
answer ZORIT Escape
)sh");
    std::string out;
    const std::string cmd = "PROBE=" + ToolsFolder() + "lang_probe HOME_DIR=" + TestHome() +
                            " timeout 100 python3 " ZORIT_SOURCE_DIR "/tests/e2e/x_server.py 1024x768 bash " + script + " 2>/dev/null";
    ASSERT_EQ(RunCommand(cmd, &out), 0) << out;
    EXPECT_EQ(out,
              "title Warnung\nresult 0 6\n"
              "title Warning\nresult 0 7\n"
              "title Fehler\nresult 0 4\n"
              "title ZORIT\nresult 0 1\n");
}
