#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/test_env.h"

namespace {

std::string Probe(const std::string& args, int* rc = nullptr)
{
    std::string out;
    const int status = RunCommand(ToolsFolder() + "text_probe --home " + TestHome() + " " + args + " 2>&1", &out);
    if (rc)
        *rc = status;
    return out;
}

std::string Repeat(char c, size_t n)
{
    return std::string(n, c);
}

struct LoadCase {
    std::string bytes;
    std::string lines;
};

TEST(TextProbe, LoadSplitsLinesAndDropsLeadingBlanks)
{
    const LoadCase cases[] = {
        {"A", "[ ]\n[A]\n"},
        {"A\r\nB", "[A]\n[B]\n"},
        {"\r\n\r\nC\r\nD", "[C]\n[D]\n"},
        {"\nB", "[]\n[B]\n"},
        {"", "[ ]\n"},
        {"A\rB", "[A]\n[B]\n"},
        {"A\nB", "[A]\n[B]\n"},
        {std::string("A\0B\r\nC", 6), "[A\\x00B]\n[C]\n"},
        {"\xe4\x80", "[ ]\n[\xc3\xa4\xe2\x82\xac]\n"},
    };
    for (const LoadCase& c : cases) {
        WriteTestFile(TestHome() + "in.txt", c.bytes);
        EXPECT_EQ(Probe("load " + TestHome() + "in.txt"), c.lines + "MODIFIED 0\nTEXTCHANGE 1\n") << c.bytes;
    }
    int rc = 0;
    EXPECT_EQ(Probe("load " + TestHome() + "none.txt", &rc), "ERROR 2 Datei nicht gefunden!\n");
    EXPECT_EQ(rc, 1);
}

TEST(TextProbe, SaveWritesCrLfAndRoundTripsEveryByte)
{
    WriteTestFile(TestHome() + "ab.txt", "ab\r\nc");
    EXPECT_EQ(Probe("save " + TestHome() + "ab.txt " + TestHome() + "out.txt"), "OK\n");
    EXPECT_EQ(ReadTestFile(TestHome() + "out.txt"), "ab\r\nc\r\n");

    // 1,000 lines of every byte but LF and CR, NUL included.
    ASSERT_EQ(RunCommand("python3 -c \"import sys\n"
                         "b = bytes(x for x in range(256) if x not in (10, 13))\n"
                         "lines = [b'first'] + [b[(i * 7) % 254:] + b[:(i * 7) % 254] for i in range(999)]\n"
                         "open(sys.argv[1], 'wb').write(b''.join(l + b'\\r\\n' for l in lines))\" " +
                         TestHome() + "all.txt"),
              0);
    EXPECT_EQ(Probe("save " + TestHome() + "all.txt " + TestHome() + "all2.txt"), "OK\n");
    EXPECT_EQ(RunCommand("cmp -s " + TestHome() + "all.txt " + TestHome() + "all2.txt"), 0);

    int rc = 0;
    EXPECT_EQ(Probe("save " + TestHome() + "ab.txt " + TestHome() + "missing/out.txt", &rc),
              "ERROR 2 Datei nicht gefunden!\n");
    EXPECT_EQ(rc, 1);

    // A file the user made read-only keeps its bytes and its mode.
    const std::string locked = WriteTestFile(TestHome() + "locked.txt", "keep\r\n");
    ASSERT_EQ(RunCommand("chmod 444 " + locked), 0);
    EXPECT_EQ(Probe("save " + TestHome() + "ab.txt " + locked, &rc), "ERROR 5 Zugriff verweigert!\n");
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(ReadTestFile(locked), "keep\r\n");
    std::string mode;
    RunCommand("stat -c %a " + locked, &mode);
    EXPECT_EQ(mode, "444\n");
}

struct EditCase {
    const char* name;
    std::string text;
    std::string args;
    std::vector<std::string> expected;
};

std::string Lines100()
{
    std::string t;
    for (int i = 0; i < 100; ++i)
        t += "line " + std::to_string(i) + "\r\n";
    return t;
}

TEST(TextProbe, EditKeyTable)
{
    const std::string first = "z\r\nIF  A  THEN\r\nxyz";
    const std::string ten = "0\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n";
    const std::string v20 = "--view 120x20 ";
    const EditCase cases[] = {
        {"fresh", "", "-", {"[ ]", "CURSOR 1:1", "MODE Einfügen"}},
        {"enter splits", "    abc\r\nq", "--cursor 6,0 Enter", {"[    a]\n[    bc]\n[q]", "CURSOR 5:2"}},
        {"enter overwrite", "    abc\r\nq", "--overwrite --cursor 6,0 Enter", {"[    abc]\n[q]", "CURSOR 5:2"}},
        {"enter blank line", "      \r\nq", "--cursor 9,0 Enter", {"CURSOR 7:2"}},
        {"tab aligns", first, "--cursor 1,2 Tab", {"[    xyz]", "CURSOR 5:3"}},
        {"tab skips line 0", "IF  A  THEN\r\n\r\nxyz", "--cursor 1,2 Tab", {"CURSOR 1:3", "MODIFIED 0"}},
        {"ctrl tab 1", first, "--cursor 9,2 C-Tab", {"CURSOR 8:3"}},
        {"ctrl tab 3", first, "--cursor 9,2 C-Tab C-Tab C-Tab", {"CURSOR 1:3", "MODIFIED 0"}},
        {"word right", "ab=cd\r\nq", "C-Right C-Right C-Right C-Right", {"CURSOR 5:1"}},
        {"word right 2", "ab=cd\r\nq", "C-Right C-Right", {"CURSOR 4:1"}},
        {"word left", "ab=cd\r\nq", "--cursor 5,0 C-Left", {"CURSOR 4:1"}},
        {"word left 2", "ab=cd\r\nq", "--cursor 5,0 C-Left C-Left", {"CURSOR 1:1"}},
        {"shift select copy", "ab=cd\r\nq", "S-Right S-Right S-Right C-Ins", {"SEL 1 0 4 0 1 1", "CLIPBOARD [ab=]"}},
        {"shift back drops", "ab=cd\r\nq", "S-Right S-Right S-Right S-Left S-Left S-Left", {"SEL 1 0 1 0 0 0"}},
        {"page down", Lines100(), v20 + "PgDn", {"CURSOR 1:21"}},
        {"page down twice", Lines100(), v20 + "PgDn PgDn", {"CURSOR 1:40"}},
        {"page up", Lines100(), v20 + "PgDn PgDn PgUp", {"CURSOR 1:21"}},
        {"ctrl down", Lines100(), v20 + "C-Down", {"CURSOR 1:3"}},
        {"ctrl page down", Lines100(), v20 + "C-PgDn", {"CURSOR 8:100"}},
        {"scroll down", Lines100(), v20 + "goto:1,50", {"VIEW 32 1"}},
        {"scroll up", Lines100(), v20 + "goto:1,50 goto:1,10", {"VIEW 9 1"}},
        {"scroll right", Lines100(), "--view 80x20 goto:80,0", {"VIEW 0 21"}},
        {"scroll left", Lines100(), "--view 80x20 goto:80,0 goto:10,0", {"VIEW 0 9"}},
        {"typing stops at 256", "", "- type:" + Repeat('x', 300), {"[" + Repeat('x', 256) + "]", "CURSOR 256:1"}},
        {"control codes", "a", "char:0 char:1 char:27 char:127", {"[ ]\n[a]", "MODIFIED 0"}},
        {"bracket redraws on", ten, "--syntax --redraws type:{", {"REDRAW 1 0 9 256\n[{0]"}},
        {"letter redraws line", ten, "--syntax --redraws type:a", {"REDRAW 1 0 0 256\n[a0]"}},
        {"long line kept", "a\r\n" + Repeat('x', 200) + Repeat('y', 100), "Down End Up", {"MODIFIED 0"}},
        {"join spills", Repeat('x', 200) + "\r\n" + Repeat('y', 100), "--cursor 1,1 BS",
         {"[" + Repeat('x', 200) + Repeat('y', 56) + "]\n[" + Repeat('y', 44) + "]\nCURSOR 201:1"}},
        {"delete joins and spills", Repeat('x', 200) + "\r\n" + Repeat('y', 100), "--cursor 201,0 Del",
         {"[" + Repeat('x', 200) + Repeat('y', 56) + "]\n[" + Repeat('y', 44) + "]\nCURSOR 201:1"}},
        {"first edit spills", Repeat('x', 300), "--cursor 1,1 type:a",
         {"[a" + Repeat('x', 255) + "]\n[" + Repeat('x', 44) + "]"}},
        {"cursor clamped", "a\r\nb\r\nc", "--cursor 300,50", {"CURSOR 256:3"}},
        {"paste spills", "", "- --clipboard " + Repeat('x', 300) + " S-Ins",
         {"[" + Repeat('x', 256) + "]\n[" + Repeat('x', 44) + "]\nCURSOR 45:2"}},
        {"paste crlf", "", "- --clipboard 'a\\r\\nb\\r\\nc' S-Ins", {"[a]\n[b]\n[c]", "CURSOR 2:3", "SEL 1 0 2 2 1 0"}},
        {"paste lf", "", "- --clipboard 'a\\nb\\nc' S-Ins", {"[a]\n[b]\n[c]", "CURSOR 2:3", "SEL 1 0 2 2 1 0"}},
        {"paste cr", "", "- --clipboard 'a\\rb\\rc' S-Ins", {"[a]\n[b]\n[c]", "CURSOR 2:3", "SEL 1 0 2 2 1 0"}},
        {"paste mixed ends", "", "- --clipboard 'a\r\nb\nc\r\r\nd\n' S-Ins",
         {"[a]\n[b]\n[c]\n[]\n[d]\n[]", "CURSOR 1:6", "SEL 1 0 1 5 1 0"}},
        {"paste inside text", "abc\r\ndef\r\nghi", "--cursor 2,0 --clipboard 'x\r\ny' S-Ins",
         {"[ax]\n[ybc]\n[def]\n[ghi]", "CURSOR 2:2", "SEL 2 0 2 1 1 0"}},
        {"read-only", "a\r\nb", "--readonly --clipboard zz S-Down C-Ins S-Ins S-Del type:q",
         {"[a]\n[b]", "MODE Nur lesen", "MODIFIED 0"}},
        {"cut and ctrl y", "abc\r\ndef\r\nghi", "S-Right S-Down S-Del C-Y",
         {"[ghi]\nCURSOR 1:1", "CLIPBOARD [abc\\x0d\\x0ad]"}},
    };
    for (const EditCase& c : cases) {
        std::string args = c.args;
        if (args.rfind("- ", 0) != 0 && args != "-") {
            WriteTestFile(TestHome() + "edit.txt", c.text);
            args = TestHome() + "edit.txt " + args;
        }
        const std::string out = Probe("edit " + args);
        for (const std::string& e : c.expected)
            EXPECT_NE(out.find(e + "\n"), std::string::npos) << c.name << ": " << e << "\n" << out;
        if (std::string(c.name) == "read-only") {
            EXPECT_EQ(out.find("CLIPBOARD"), std::string::npos) << out;
        }
    }
}

} // namespace
