// The checker's messages: templates, the table, counting, pausing, the abort
// and the summary line.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <vector>

#include "check/rules/checkmessages.h"
#include "kernel/language/language.h"
#include "tests/check_rules/check_rules_testing.h"
#include "tests/support/test_env.h"

namespace {

using checktest::CheckRulesTest;
using Numbers = std::vector<int32_t>;

std::string Expand(const std::string& templ, const Numbers& numbers, const std::string& text = "")
{
    return ExpandCheckTemplate(templ, text, numbers);
}

class checkMessages : public CheckRulesTest {};

}  // namespace

TEST(checkTemplate, PlaceholdersAreFilledLeftToRight)
{
    const std::string templ = "S$4 Z$4 Sys$1: Zu viele Fadenführer auf der Schiene $1!";
    EXPECT_EQ(Expand(templ, {3, 12, 2, 5}), "S0003 Z0012 Sys2: Zu viele Fadenführer auf der Schiene 5!");
    // Numbers missing at the end leave their places empty.
    EXPECT_EQ(Expand(templ, {3, 12}), "S0003 Z0012 Sys: Zu viele Fadenführer auf der Schiene !");
    EXPECT_EQ(Expand(templ, {}), "S Z Sys: Zu viele Fadenführer auf der Schiene !");
    // Surplus numbers are not shown.
    EXPECT_EQ(Expand("S$4", {1, 2, 3}), "S0001");
}

TEST(checkTemplate, NumbersAreNeverCutAndKeepTheirSign)
{
    EXPECT_EQ(Expand("X$4", {12345}), "X12345");
    EXPECT_EQ(Expand("($3)", {-5}), "(-05)");
    EXPECT_EQ(Expand("($3)", {-1234}), "(-1234)");
    EXPECT_EQ(Expand("$1", {0}), "0");
    EXPECT_EQ(Expand("$0", {7}), "7");
    EXPECT_EQ(Expand("$9", {42}), "000000042");
}

TEST(checkTemplate, TextAndStrayDollars)
{
    EXPECT_EQ(Expand("S$4 Z$4 Sys$1 $$: x", {1, 2, 3}, "hinten"), "S0001 Z0002 Sys3 hinten: x");
    EXPECT_EQ(Expand("($$)", {}, ">>>>"), "(>>>>)");
    EXPECT_EQ(Expand("$$", {}), "");
    // A "$" last or before anything but "$" or a digit stays as it is, and
    // the expansion never reads past the end.
    EXPECT_EQ(Expand("Wert $", {5}), "Wert $");
    EXPECT_EQ(Expand("$", {5}), "$");
    EXPECT_EQ(Expand("$x$1", {5}), "$x5");
    EXPECT_EQ(Expand("$$$1", {5}, "T"), "T5");
    EXPECT_EQ(Expand("a$ b", {}), "a$ b");
}

TEST(checkMessageTable, NumbersFlagsAndTemplates)
{
    std::set<uint16_t> numbers;
    for (const CheckMessageDef& m : kCheckMessages)
        numbers.insert(m.number);
    std::set<uint16_t> expected;
    for (uint16_t n = 1; n <= 30; ++n)
        if (n != 27)
            expected.insert(n);
    EXPECT_EQ(numbers, expected);

    const std::set<uint16_t> fatal = {1, 3, 4, 5, 6, 7, 9, 10, 11, 12, 14, 22, 23, 25, 26};
    for (const CheckMessageDef& m : kCheckMessages)
        EXPECT_EQ(m.fatal, fatal.count(m.number) == 1) << m.number;

    EXPECT_EQ(FindCheckMessage(27), nullptr);
    EXPECT_EQ(FindCheckMessage(0), nullptr);
    ASSERT_NE(FindCheckMessage(30), nullptr);
    EXPECT_STREQ(FindCheckMessage(30)->templ, "S$4 Z$4: In 1. Schemazeile wird ein Warenabzug (Kamm) erwartet!");
    EXPECT_STREQ(FindCheckMessage(8)->templ,
                 "S$4 Z$4 Sys$1 P$4: Farbangabe in P-Liste und Festprogramm in System nicht erlaubt!");
}

TEST_F(checkMessages, FormatWritesTheTextThenAnEmptyOne)
{
    FormatCheckMessage(22, false, "", Numbers{3, 12, 2, 5},
                       "S$4 Z$4 Sys$1: Zu viele Fadenführer auf der Schiene $1!");
    EXPECT_EQ(sink, (std::vector<std::string>{"S0003 Z0012 Sys2: Zu viele Fadenführer auf der Schiene 5!", ""}));
    EXPECT_EQ(CheckState.errorCount, 1);
    EXPECT_EQ(CheckState.messageActive, 1);
}

TEST_F(checkMessages, MessagesByNumber)
{
    CheckMessage(28, ">>>>", {2, 3});
    EXPECT_THROW(CheckMessage(9, "", {1, 1, 101, 100}), ECheckAbort);
    CheckState.abortFlag = 0;  // carry on for the next ones
    CheckMessage(19, "", {1, 4, -5});
    CheckMessage(2, CheckState.sideText[1], {7, 8, 2});
    CheckMessage(17, "", {1, 1, 1});
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "S0002 Z0003: Die Schlittenrichtung (>>>>) ist falsch!",
                           "S0001 N0001 X0101: Die Patrone ist nur 100 Nadeln breit!",
                           "S0001 Z0004: Ungültiger Wert (-05) für Geschwindigkeit!",
                           "S0007 Z0008 Sys2 hinten: Lang- und Kurzauswahl überschneidet sich!",
                           "S0001 Z0001 Sys1: Variable Netzrückseite kann nur auf eine Seite verwendet werden!",
                       }));
}

TEST_F(checkMessages, FatalWithoutNumbers)
{
    EXPECT_THROW(CheckMessage(1, ""), ECheckAbort);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Kein Nadelraum vorhanden!"}));
}

TEST_F(checkMessages, UnknownNumberIsAProgrammingError)
{
    EXPECT_THROW(CheckMessage(27, "", {1, 2}), std::out_of_range);
    EXPECT_THROW(CheckMessage(31, ""), std::out_of_range);
    EXPECT_TRUE(sink.empty());
    EXPECT_EQ(CheckState.errorCount, 0);
}

TEST_F(checkMessages, UnsetSinkDropsTheText)
{
    CheckState.messageSink = nullptr;
    CheckMessage(21, "", {1, 1});
    EXPECT_EQ(CheckState.errorCount, 1);
}

TEST_F(checkMessages, FatalIsWrittenAndCountedBeforeTheAbort)
{
    EXPECT_THROW(CheckMessage(22, "", {3, 12, 2, 5}), ECheckAbort);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"S0003 Z0012 Sys2: Zu viele Fadenführer auf der Schiene 5!"}));
    EXPECT_EQ(CheckState.errorCount, 1);
    EXPECT_EQ(CheckState.abortFlag, 1);
    // Any message after that, fatal or not, ends the run again.
    EXPECT_THROW(CheckMessage(2, "vorne", {1, 1, 1}), ECheckAbort);
    EXPECT_EQ(CheckState.errorCount, 2);
    EXPECT_EQ(Lines().size(), 2u);
    EXPECT_THROW(CheckMessage(20, "", {1, 2}), ECheckAbort);
    EXPECT_EQ(CheckState.errorCount, 2);
}

TEST_F(checkMessages, PauseOnlyAfterNonFatalInProgramTest)
{
    for (int mode : {0, 1, 2}) {
        TestModus = mode;
        ResetCheckMessages();
        CheckMessage(13, "vorne", {1, 1, 1});
        EXPECT_EQ(CheckState.pauseFlag, mode == 0 ? 1 : 0) << mode;
        ResetCheckMessages();
        EXPECT_THROW(CheckMessage(26, "vorne", {1, 1, 1}), ECheckAbort);
        EXPECT_EQ(CheckState.pauseFlag, 0) << mode;
    }
}

TEST_F(checkMessages, MachineStopIsNotCountedButStillMarksAndPauses)
{
    TestModus = 0;
    CheckMessage(20, "", {1, 5});
    EXPECT_EQ(Lines(), (std::vector<std::string>{"S0001 Z0005: Maschine Stop!"}));
    EXPECT_EQ(CheckState.errorCount, 0);
    EXPECT_EQ(CheckState.messageActive, 1);
    EXPECT_EQ(CheckState.pauseFlag, 1);
    EXPECT_EQ(CheckSummaryText(CheckState.errorCount), "Keine Fehler gefunden!");
}

TEST_F(checkMessages, ResetClearsTheMessagePartButKeepsTheSinks)
{
    CheckState.sideText = {"x", "y"};
    EXPECT_THROW(CheckMessage(25, "", {1, 1}), ECheckAbort);
    CheckState.pauseFlag = 1;
    ResetCheckMessages();
    EXPECT_EQ(CheckState.abortFlag, 0);
    EXPECT_EQ(CheckState.errorCount, 0);
    EXPECT_EQ(CheckState.messageActive, 0);
    EXPECT_EQ(CheckState.pauseFlag, 0);
    EXPECT_EQ(CheckState.sideText[0], "vorne");
    EXPECT_EQ(CheckState.sideText[1], "hinten");
    CheckMessage(29, "", {4, 9});
    EXPECT_EQ(Lines().back(), "S0004 Z0009: Der letzte Hub muß ein Hub nach links sein!");
}

TEST_F(checkMessages, SummaryLine)
{
    CheckMessage(21, "", {1, 1});
    EXPECT_EQ(CheckSummaryText(CheckState.errorCount), "1 Fehler gefunden!");
    for (int i = 0; i < 11; ++i)
        CheckMessage(24, "", {1, 1});
    EXPECT_EQ(CheckState.errorCount, 12);
    EXPECT_EQ(CheckSummaryText(CheckState.errorCount), "12 Fehler gefunden!");
    EXPECT_EQ(CheckSummaryText(0), "Keine Fehler gefunden!");
    EXPECT_EQ(CheckSummaryText(65535), "65535 Fehler gefunden!");
}

TEST(checkSummary, TranslationIsNoFormatString)
{
    EXPECT_EQ(FormatSummaryCount(12, "%s %n %d"), "%s %n 12");
    EXPECT_EQ(FormatSummaryCount(12, "%d von %d"), "12 von %d");
    EXPECT_EQ(FormatSummaryCount(12, "Fehler: viele"), "Fehler: viele");
    EXPECT_EQ(FormatSummaryCount(3, "%%d"), "%3");
}

TEST_F(checkMessages, CountStopsAtItsTop)
{
    CheckState.errorCount = 65534;
    CheckMessage(21, "", {1, 1});
    CheckMessage(21, "", {1, 1});
    EXPECT_EQ(CheckState.errorCount, 65535);
    EXPECT_NE(CheckSummaryText(CheckState.errorCount), "Keine Fehler gefunden!");
}

TEST_F(checkMessages, TemplatesSideTextsAndSummaryAreTranslated)
{
    // A phrase database edited by the user: the translations are templates
    // and format strings the checker must not trust.
    const std::string db = WriteTestFile(TestHome() + "DbLang.Txt",
                                         "$:%d Fehler gefunden!\r\nE:%s %n %d\r\n"
                                         "$:1 Fehler gefunden!\r\nE:1 error found!\r\n"
                                         "$:vorne\r\nE:front\r\n"
                                         "$:S$4 Z$4: Maschine Stop!\r\nE:S$4 Z$4: machine stop, $\r\n"
                                         "$:S$4 Z$4 Sys$1 $$: Jacquardauswahl ohne Nadeleinteilung!\r\n"
                                         "E:$$ $1$4 $x: no needle division $\r\n");
    LoadPhraseDatabase(db, 'E');
    ResetCheckMessages();
    EXPECT_EQ(CheckState.sideText[0], "front");
    EXPECT_EQ(CheckState.sideText[1], "hinten");
    CheckMessage(20, "", {1, 2});
    EXPECT_THROW(CheckMessage(26, CheckState.sideText[0], {3, 4, 5}), ECheckAbort);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"S0001 Z0002: machine stop, $", "front 30004 $x: no needle division $"}));
    EXPECT_EQ(CheckSummaryText(12), "%s %n 12");
    EXPECT_EQ(CheckSummaryText(1), "1 error found!");
    EXPECT_EQ(CheckSummaryText(0), "Keine Fehler gefunden!");
}
