// The editor's commands through text_probe edit --editor.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/support/test_env.h"

namespace {

std::string Probe(const std::string& args)
{
    std::string out;
    RunCommand(ToolsFolder() + "text_probe --home " + TestHome() + " edit " + args + " 2>&1", &out);
    return out;
}

struct EditorCase {
    const char* name;
    std::string text;
    std::string args;
    std::vector<std::string> expected;
};

TEST(TextEditorProbe, CommandsAndEditTable)
{
    const std::string abc = "ABC x\r\nabc";
    const std::string b255 = std::string(255, 'b') + "a\r\nq";
    const std::string four = "x\r\n\r\n    abcd";
    const std::string block = "--cursor 5,2 C-K B goto:9,2 C-K K ";
    const std::string out = TestHome() + "block.out";
    const EditorCase cases[] = {
        {"read-only block", four, "--readonly " + block,
         {"EDIT undo=01 cut=01 copy=11 paste=01 saveblock=11 insertfile=01 delete=01 selectall=11 clearsel=11 "
          "find=11 replace=11"}},
        {"clipboard text", "a", "--clipboard z", {"paste=11"}},
        {"hidden", four, block + "--clipboard z --hidden",
         {"EDIT undo=01 cut=01 copy=01 paste=01 saveblock=00 insertfile=00 delete=01 selectall=00 clearsel=00 "
          "find=00 replace=00"}},
        {"find case", abc, "--matchcase 1 find:abc", {"SEL 1 1 4 1 1 1", "CURSOR 4:2"}},
        {"find any case", abc, "--matchcase 0 find:abc", {"SEL 1 0 4 0 1 1", "CURSOR 4:1"}},
        {"find past last", abc, "--matchcase 1 find:abc find:abc", {"SEL 1 1 4 1 1 1", "CURSOR 4:2"}},
        {"find empty", abc, "find:", {"SEL 0 0 0 0 0 0", "CURSOR 1:1"}},
        {"umlauts keep case", "\xc4" "B", "--matchcase 0 find:äb", {"SEL 0 0 0 0 0 0"}},
        {"replace all grows", "aaa\r\nq", "replaceall:a=aa", {"[aaaaaa]\n[q]", "REPLACED 3"}},
        {"replace at 256", b255, "find:a replace:a=xy",
         {"[" + std::string(255, 'b') + "x]\n[y]\n[q]", "CURSOR 256:1"}},
        {"replace all at 256", b255, "replaceall:a=aa", {"[" + std::string(255, 'b') + "a]\n[a]\n[q]", "REPLACED 1"}},
        {"replace needs the find", "abc\r\n", "goto:2,0 S-Right replace:x=y", {"[abc]"}},
        {"end before start", four, "--cursor 5,2 C-K B goto:3,2 C-K K", {"SEL 5 2 3 2 0 0"}},
        {"block marked", four, block + "C-K W --block-file " + out, {"SEL 5 2 9 2 1 1"}},
        {"block hidden", four, block + "C-K H", {"[    abcd]", "SEL 5 2 9 2 1 0"}},
        // The K prefix stays set: the command key alone follows.
        {"block copied", four, block + "C", {"[    abcdabcd]", "SEL 9 2 13 2 1 1"}},
        {"block deleted", four, block + "Y", {"[x]\n[]\n[]\nCURSOR"}},
        {"block goto", four, block + "goto:1,0 V", {"CURSOR 5:3"}},
        {"ctrl k is block end", four, block + "goto:1,0 C-K C", {"SEL 5 2 1 0 0 0"}},
        {"prefix cleared", four, block + "Left B", {"[    abcbd]"}},
        {"select all", "ab\r\ncde  ", "selectall copy", {"SEL 1 0 4 1 1 1", "CLIPBOARD [ab\\x0d\\x0acde]"}},
        {"cut", "abc\r\nd", "goto:1,1 S-End cut", {"[abc]\n[]", "CLIPBOARD [d]"}},
        {"paste keeps block", "abc\r\nd", "--clipboard z selectall goto:4,0 paste", {"[abcz]\n[d]", "SEL 4 0 5 0 1 1"}},
        {"delete and clear", "abc\r\nd", "selectall clearsel delete", {"[abc]\n[d]", "SEL 1 0 2 1 0 0"}},
        {"missing block file", "abc\r\n", "C-K R --block-file " + TestHome() + "none.txt",
         {"WARNING 2 Datei nicht gefunden!", "[abc]"}},
    };
    for (const EditorCase& c : cases) {
        WriteTestFile(TestHome() + "edit.txt", c.text);
        const std::string result = Probe(TestHome() + "edit.txt --editor " + c.args);
        for (const std::string& e : c.expected)
            EXPECT_TRUE(result.find(e + "\n") != std::string::npos || result.find(e + " ") != std::string::npos)
                << c.name << ": " << e << "\n" << result;
    }
    EXPECT_EQ(ReadTestFile(out), "abcd");

    // Ctrl+K W onto a file the user made read-only warns and leaves it.
    const std::string locked = WriteTestFile(TestHome() + "locked.out", "keep");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    WriteTestFile(TestHome() + "edit.txt", four);
    const std::string result = Probe(TestHome() + "edit.txt --editor " + block + "C-K W --block-file " + locked);
    EXPECT_NE(result.find("WARNING 5 Zugriff verweigert!\n"), std::string::npos) << result;
    EXPECT_EQ(ReadTestFile(locked), "keep");
}

TEST(TextEditorProbe, InsertedFileSplitsAtEveryLineEnd)
{
    WriteTestFile(TestHome() + "ins.txt", "a\nb\n");
    WriteTestFile(TestHome() + "edit.txt", "xy\r\nq");
    const std::string result =
        Probe(TestHome() + "edit.txt --editor C-K R --block-file " + TestHome() + "ins.txt");
    EXPECT_NE(result.find("[a]\n[b]\n[xy]\n[q]\n"), std::string::npos) << result;
    EXPECT_NE(result.find("SEL 1 0 1 2 1 1\n"), std::string::npos) << result;
}

} // namespace
