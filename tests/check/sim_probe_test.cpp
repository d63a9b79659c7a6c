// sim_probe from outside: the loader's paths, the init block as the library
// receives it, the demo fabric and the export.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "kernel/model/bytes.h"
#include "tests/check/simlib_test_util.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

namespace {

std::string Home()
{
    return TestHome() + "home";
}

std::string LogFile()
{
    return TestHome() + "calls.log";
}

std::vector<std::string> Lines(const std::string& out)
{
    return SplitLines(out);
}

std::vector<std::string> Starting(const std::vector<std::string>& lines, const std::string& prefix)
{
    std::vector<std::string> out;
    for (const auto& l : lines)
        if (l.compare(0, prefix.size(), prefix) == 0)
            out.push_back(l);
    return out;
}

}  // namespace

TEST(SimProbe, UsageErrorsExitTwo)
{
    std::string out;
    EXPECT_EQ(RunSimProbe("", &out), 2);
    EXPECT_EQ(RunSimProbe("nosuch", &out), 2);
    EXPECT_EQ(RunSimProbe("start --mode test", &out), 2);
    EXPECT_EQ(RunSimProbe("demo --ff 2", &out), 2);
    EXPECT_EQ(RunSimProbe("start --gauge", &out), 2);
    EXPECT_EQ(RunSimProbe("start --bogus", &out), 2);
}

TEST(SimProbe, StartLogsVersionAndInitOnly)
{
    std::string out;
    ASSERT_EQ(RunSimProbe("--home " + Home() + " start --mode sim --gauge 7 --systems 2", &out, LogFile()), 0);
    EXPECT_EQ(out, "OK\n");
    auto log = ReadLogLines(LogFile());
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "P_DllVersNummer 060000000000 => 240000000000");
    EXPECT_EQ(log[1].substr(0, 14), "P_DllInit 5100");

    // The init block as the library got it.
    LogLine init = ParseLogLine(log[1]);
    ASSERT_EQ(init.block.size(), 81u);
    const uint8_t* b = init.block.data();
    EXPECT_EQ(init.fields.at(8), "01");
    EXPECT_EQ(init.fields.at(12), std::string(35, '0') + "1000300002");
    EXPECT_EQ(init.fields.at(17), " MmFfUuNnGgSS");
    EXPECT_EQ(init.fields.at(36), "KELTARIS ZR843");
    EXPECT_EQ(init.fields.at(32), "");
    EXPECT_EQ(init.fields.at(28), Home() + "/Temp/Wandel.Sma");
    EXPECT_EQ(ToHex(b + 46, 2), "0900");
    EXPECT_EQ(ToHex(b + 21, 3), "010002");
    EXPECT_EQ(get_u16(b, 2), 40);
}

TEST(SimProbe, InitBlockForGauge8AndExport)
{
    std::string out;
    ASSERT_EQ(RunSimProbe("--home " + Home() + " start --model 312", &out, LogFile()), 0);
    LogLine g8 = ParseLogLine(ReadLogLines(LogFile()).at(1));
    const std::string& marker = g8.fields.at(12);
    ASSERT_EQ(marker.size(), 51u);
    EXPECT_EQ(marker[40], '1');
    EXPECT_EQ(marker[45], '3');
    EXPECT_EQ(marker[50], '2');
    EXPECT_EQ(ToHex(g8.block.data() + 46, 2), "0a00");
    EXPECT_EQ(g8.fields.at(36), "KELTARIS ZR312");
    EXPECT_EQ(g8.block[23], 1);

    fs::remove(LogFile());
    ASSERT_EQ(RunSimProbe("--home " + Home() + " start --mode export --target /x/T.D10 --needles 300", &out,
                          LogFile()),
              0);
    LogLine ex = ParseLogLine(ReadLogLines(LogFile()).at(1));
    EXPECT_EQ(ToHex(ex.block.data() + 21, 2), "0001");
    EXPECT_EQ(ex.fields.at(28), Home() + "/Temp/Wandel.Sma");
    EXPECT_EQ(ex.fields.at(32), "/x/T.D10");
    EXPECT_EQ(get_u16(ex.block.data(), 2), 300);
}

TEST(SimProbe, WrongVersionsAreRefused)
{
    for (const char* variant : {"v35", "v37"}) {
        fs::remove(LogFile());
        PlaceLibrary(SimVariant(variant), Home());
        std::string out;
        EXPECT_EQ(RunSimProbe("--home " + Home() + " start", &out, LogFile()), 1) << variant;
        EXPECT_EQ(out, "MSG Datei:libVpSimMod.so\nMSG Dll hat falsche Version\nERROR start\n") << variant;
        auto log = ReadLogLines(LogFile());
        ASSERT_EQ(log.size(), 1u) << variant;
        EXPECT_EQ(log[0].substr(0, 16), "P_DllVersNummer ");
    }
}

TEST(SimProbe, MissingEntryOrNoLibraryGiveTheLoadMessage)
{
    PlaceLibrary(SimVariant("nozeilefertig"), Home());
    std::string out;
    EXPECT_EQ(RunSimProbe("--home " + Home() + " start", &out, LogFile()), 1);
    EXPECT_EQ(Starting(Lines(out), "MSG "),
              (std::vector<std::string>{"MSG Datei:libVpSimMod.so", "MSG Fehler beim Laden der Dll"}));
    EXPECT_FALSE(fs::exists(LogFile()) && !ReadTestFile(LogFile()).empty());

    // A copy of the probe in an empty folder, the program folder another
    // one: nothing to load anywhere.
    const std::string bin = TestHome() + "bin/";
    fs::create_directories(bin);
    fs::copy_file(ToolsFolder() + "sim_probe", bin + "sim_probe");
    EXPECT_EQ(RunSimProbe("--home " + TestHome() + "empty start", &out, LogFile(), bin + "sim_probe"), 1);
    EXPECT_EQ(out, "MSG Datei:libVpSimMod.so\nMSG Fehler beim Laden der Dll\nERROR start\n");

    // The variant without the jacquard switch starts.
    PlaceLibrary(SimVariant("nojacquard"), Home());
    EXPECT_EQ(RunSimProbe("--home " + Home() + " demo --strokes 1", &out), 0);
    EXPECT_EQ(Starting(Lines(out), "OK").size(), 2u);
}

TEST(SimProbe, DemoFabric)
{
    std::string out;
    ASSERT_EQ(RunSimProbe("--home " + Home() + " demo --mode sim --needles 40 --strokes 5", &out), 0);
    EXPECT_EQ(out, "OK\nSTROKES 5 USABLE 0\nROWS 10\nOK\n");
    ASSERT_EQ(RunSimProbe("--home " + Home() + " demo --mode sim --needles 40 --strokes 5 --ff 1", &out), 0);
    EXPECT_EQ(Starting(Lines(out), "ROWS"), std::vector<std::string>{"ROWS 18"});

    std::string dump1, dump2;
    ASSERT_EQ(RunSimProbe("--home " + Home() + " demo --needles 40 --strokes 5 --dump", &dump1), 0);
    ASSERT_EQ(RunSimProbe("--home " + Home() + " demo --needles 40 --strokes 5 --dump", &dump2), 0);
    EXPECT_EQ(dump1, dump2);
    auto rows = Starting(Lines(dump1), "ROW ");
    ASSERT_EQ(rows.size(), 10u);
    const std::string all01 = [] {
        std::string s;
        for (int i = 0; i < 40; ++i)
            s += "01";
        return s;
    }();
    std::string all20, all00;
    for (int i = 0; i < 40; ++i) {
        all20 += "20";
        all00 += "00";
    }
    EXPECT_EQ(rows[0], "ROW 1 " + all01 + " " + all20 + " " + all20);
    EXPECT_EQ(rows[1].substr(0, 6 + 80), "ROW 2 " + all00);
}

TEST(SimProbe, ExportWritesTheSameFileTwice)
{
    std::string out;
    ASSERT_EQ(RunSimProbe("--home " + Home() + " demo --mode export --strokes 3", &out, LogFile()), 0);
    auto lines = Lines(out);
    EXPECT_EQ(Starting(lines, "STROKES"), std::vector<std::string>{"STROKES 3 USABLE 1"});
    const std::string file = Home() + "/Temp/Wandel.Sma";
    const std::string first = ReadTestFile(file);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.substr(0, 14), "WANDEL.SMA 1\r\n");
    EXPECT_EQ(first.substr(first.size() - 8), "ENDE 3\r\n");
    // Every line ends in CR LF.
    size_t lf = 0, crlf = 0;
    for (size_t i = 0; i < first.size(); ++i)
        if (first[i] == '\n') {
            ++lf;
            crlf += (i > 0 && first[i - 1] == '\r');
        }
    EXPECT_EQ(lf, crlf);

    // The progress the library reported reached the probe unchanged.
    std::vector<std::string> cb;
    for (const auto& l : ReadLogLines(LogFile()))
        if (l.compare(0, 12, "CB progress ") == 0)
            cb.push_back("PROGRESS " + l.substr(12));
    ASSERT_FALSE(cb.empty());
    EXPECT_EQ(cb.back(), "PROGRESS 0 0 0");
    EXPECT_EQ(Starting(lines, "PROGRESS "), cb);

    fs::copy_file(file, TestHome() + "first.sma");
    ASSERT_EQ(RunSimProbe("--home " + Home() + " demo --mode export --strokes 3", &out), 0);
    EXPECT_EQ(RunCommand("cmp -s " + file + " " + TestHome() + "first.sma"), 0);

    ASSERT_EQ(RunSimProbe("--home " + Home() + " demo --mode export --strokes 0", &out), 0);
    EXPECT_EQ(Starting(Lines(out), "STROKES"), std::vector<std::string>{"STROKES 0 USABLE 0"});
    EXPECT_EQ(ReadTestFile(file).substr(ReadTestFile(file).size() - 8), "ENDE 0\r\n");
}

TEST(SimProbe, ExportThatCannotBeWrittenIsReported)
{
    const std::string file = Home() + "/Temp/Wandel.Sma";
    fs::create_directories(file + "/inside");
    std::string out;
    ASSERT_EQ(RunSimProbe("--home " + Home() + " demo --mode export --strokes 3", &out, LogFile()), 0);
    auto lines = Lines(out);
    EXPECT_EQ(Starting(lines, "STROKES"), std::vector<std::string>{"STROKES 3 USABLE 0"});
    EXPECT_EQ(Starting(lines, "MESSAGE"),
              std::vector<std::string>{"MESSAGE Wandel.Sma kann nicht geschrieben werden!"});
    auto cb = Starting(ReadLogLines(LogFile()), "CB ");
    ASSERT_GE(cb.size(), 2u);
    EXPECT_EQ(cb[cb.size() - 2],
              "CB translate \"Wandel.Sma kann nicht geschrieben werden!\" "
              "\"Wandel.Sma kann nicht geschrieben werden!\"");
    EXPECT_EQ(cb.back(), "CB message \"Wandel.Sma kann nicht geschrieben werden!\"");
    // The folder is still there and no temporary file is left.
    EXPECT_TRUE(fs::is_directory(file + "/inside"));
    EXPECT_FALSE(fs::exists(file + ".tmp"));
}
