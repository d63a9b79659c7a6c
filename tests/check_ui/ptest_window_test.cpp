#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "check/export_options.h"
#include "check/programcheck.h"
#include "check/ui/form_export_erweitert.h"
#include "check/ui/form_gtest_zorit.h"
#include "check/ui/form_ptest.h"
#include "kernel/dispatch/busystate.h"
#include "kernel/services/services.h"
#include "tests/check_ui/check_windows_fixture.h"

namespace {

using ExportSettingsTest = CheckWindowsTest;
using PTestWindowTest = CheckWindowsTest;

std::vector<std::string> MemoLines(const TFormPTest& w)
{
    std::vector<std::string> lines;
    for (const QString& l : w.MemoPTest->toPlainText().split('\n'))
        lines.push_back(l.toStdString());
    return lines;
}

// Runs `then` once the walk has paused (the start button came back).
void WhenPaused(std::function<void()> then)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, then] {
        if (!FormPTest || !FormPTest->ButtonStart->isEnabled())
            return;
        poll->stop();
        poll->deleteLater();
        then();
    });
    poll->start(20);
}

// Runs `then` once the memo holds the text n times and the start button is
// on again.
void WhenMemoHolds(const TFormPTest& w, const QString& text, int n, std::function<void()> then)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, &w, text, n, then] {
        if (w.MemoPTest->toPlainText().count(text) < n || !w.ButtonStart->isEnabled())
            return;
        poll->stop();
        poll->deleteLater();
        then();
    });
    poll->start(20);
}

TEST_F(ExportSettingsTest, CancelKeepsOkTakesRemoteShows)
{
    ASSERT_TRUE(FormExportErweitert);
    ExportFfTypTrans = 1, ExportNListeWs = 0, ExportSListeWs = 0, ExportGgChange = 1;
    TFormExportErweitert& d = *FormExportErweitert;
    auto answer = [&](bool ok) {
        QTimer::singleShot(0, [&d, ok] {
            d.CheckBoxFfTyp->click();
            d.CheckBoxSListeWs->click();
            (ok ? d.ButtonOk : d.ButtonCancel)->click();
        });
        d.exec();
    };
    answer(false);
    EXPECT_EQ((std::array{ExportFfTypTrans, ExportNListeWs, ExportSListeWs, ExportGgChange}),
              (std::array<uint8_t, 4>{1, 0, 0, 1}));
    answer(true);
    EXPECT_EQ((std::array{ExportFfTypTrans, ExportNListeWs, ExportSListeWs, ExportGgChange}),
              (std::array<uint8_t, 4>{0, 0, 1, 1}));

    EXPECT_TRUE(DdeExportExtented("1010"));
    EXPECT_EQ(F_ReadIni("Export", "FfTypTrans", "x"), "1");
    EXPECT_EQ(F_ReadIni("Export", "GgChange", "x"), "0");
    EXPECT_EQ(F_ReadIni("Export", "NListeWs", "x"), "1");
    EXPECT_EQ(F_ReadIni("Export", "SListeWs", "x"), "0");
    QTimer::singleShot(0, [&d] {
        Screenshot(d, "settings.png");
        EXPECT_TRUE(d.CheckBoxFfTyp->isChecked());
        EXPECT_FALSE(d.CheckBoxGauge->isChecked());
        EXPECT_TRUE(d.CheckBoxNListeWs->isChecked());
        EXPECT_FALSE(d.CheckBoxSListeWs->isChecked());
        d.ButtonCancel->click();
    });
    d.exec();

    EXPECT_FALSE(DdeExportExtented("101"));
    ASSERT_FALSE(host.calls.empty());
    EXPECT_EQ(host.calls.back().text, "Befehl EXPORT EXTENTED\r\nDaten falsch\r\n101");
    EXPECT_EQ(ExportFfTypTrans, 1);
    EXPECT_EQ(ExportGgChange, 0);
}

TEST_F(PTestWindowTest, PausesAfterAMessageAndGoesOnByButtonOrKey)
{
    ASSERT_TRUE(Compile("first_row.Skx"));
    MnuPTestClick();
    ASSERT_TRUE(FormPTest);
    TFormPTest& w = *FormPTest;
    EXPECT_EQ(w.windowTitle(), "P-Test");
    EXPECT_EQ(w.ButtonStart->text(), "Start");
    EXPECT_FALSE(w.ButtonExportMaTyp->isVisible());
    EXPECT_FALSE(w.ButtonErweitert->isVisible());
    for (const char* name : {"MnuGTest", "MnuPTest", "MnuExportSkrel", "ToolButtonGTest"})
        EXPECT_FALSE(A(name)->isEnabled()) << name;

    // First by key: one stroke on, then the pause again at row 2.
    WhenPaused([&w] {
        EXPECT_EQ(w.ButtonStart->text(), "&Weiter");
        EXPECT_EQ(w.PanelS->text(), "S0001");
        EXPECT_EQ(w.PanelZ->text(), "Z0001");
        EXPECT_EQ(w.PanelD->text(), "0001");
        EXPECT_EQ(w.MemoPTest->toPlainText().count("erwartet!"), 2);
        Screenshot(w, "ptest.png");
        w.ButtonStart->setEnabled(false);
        QTest::keyClick(w.MemoPTest, Qt::Key_A);
        WhenPaused([&w] {
            QTest::qWait(100);
            EXPECT_EQ(w.PanelZ->text(), "Z0002");
            w.ButtonStart->click();
        });
    });
    QTimer::singleShot(0, [&w] {
        EXPECT_EQ(w.ButtonStart->text(), "&Weiter");
        EXPECT_FALSE(w.ButtonStart->isEnabled()) << "until the walk pauses";
    });
    w.ButtonStartClick();
    QTest::qWait(150);
    EXPECT_EQ(w.ButtonStart->text(), "&Beenden");
    std::vector<std::string> want;
    for (const std::string& line : Expected("first_row.out"))
        want.push_back(line + " ");
    EXPECT_EQ(MemoLines(w), want);
    EXPECT_FALSE(SimDllRecord.module()) << "a program test loads no library";

    w.ButtonStart->click();
    EXPECT_FALSE(w.isVisible());
    for (const char* name : {"MnuGTest", "MnuPTest", "MnuExportSkrel", "ToolButtonExportSkrel"})
        EXPECT_TRUE(A(name)->isEnabled()) << name;
}

// Four pauses in a nested repetition: each shows its own counters, Space
// on the focused button goes on each time, and the end shows the last stroke.
TEST_F(PTestWindowTest, SpaceAtEachPauseGoesOnAndThePanelsFollowEveryCounter)
{
    ASSERT_TRUE(Compile("nested_stop.Skx"));
    MnuPTestClick();
    TFormPTest& w = *FormPTest;
    auto panels = [&w] {
        return (w.PanelSInner->text() + " " + w.PanelDInner->text() + " " + w.PanelS->text() + " " +
                w.PanelZ->text() + " " + w.PanelD->text())
            .toStdString();
    };
    std::vector<std::string> seen;
    std::vector<bool> focusOnWeiter;
    std::function<void()> atPause = [&] {
        QTest::qWait(150);
        seen.push_back(panels());
        focusOnWeiter.push_back(w.focusWidget() == w.ButtonStart);
        QTest::keyClick(w.focusWidget(), Qt::Key_Space);
        if (seen.size() < 4)
            WhenMemoHolds(w, "Maschine Stop!", int(seen.size()) + 1, atPause);
    };
    WhenMemoHolds(w, "Maschine Stop!", 1, atPause);
    w.ButtonStartClick();
    QTest::qWait(150);
    EXPECT_EQ(seen, (std::vector<std::string>{"S0001 0001 S0003 Z0002 0001", "S0001 0001 S0003 Z0002 0002",
                                              "S0001 0002 S0003 Z0002 0001", "S0001 0002 S0003 Z0002 0002"}));
    EXPECT_EQ(focusOnWeiter, std::vector<bool>(4, true));
    EXPECT_EQ(w.MemoPTest->toPlainText().count("Abbruch durch Anwender!"), 0);
    EXPECT_EQ(w.ButtonStart->text(), "&Beenden");
    EXPECT_EQ(panels(), "S0001 0002 S0003 Z0002 0002") << "the line the walk ended on";
}

TEST_F(PTestWindowTest, ExportWindowDefaultsAbortAndTheQuestion)
{
    ASSERT_TRUE(Compile("plain.Skx"));
    MnuExportSkrelClick();
    TFormPTest& w = *FormPTest;
    EXPECT_EQ(w.windowTitle(), "Export");
    EXPECT_TRUE(w.ButtonErweitert->isVisible());
    for (const auto& [key, value] : {std::pair{"NListeWs", "1"}, {"SListeWs", "0"}, {"FfTypTrans", "1"},
                                     {"GgChange", "1"}, {"MaTyp", ""}})
        EXPECT_EQ(F_ReadIni("Export", key, "unset"), value) << key;
    w.SetMaTyp("/w/");
    EXPECT_EQ(w.ButtonExportMaTyp->text(), "");
    WriteTestFile(TestHome() + "T.D10", "!M_TYP:ABC 12;\r\n");
    w.SetMaTyp(TestHome() + "T.D10");
    EXPECT_EQ(w.ButtonExportMaTyp->text(), "--> ABC 12");
    Screenshot(w, "export.png");

    // A cancelled machine dialog leaves the folder.
    w.askMachineFile = [](const QString& folder, const QString& file) -> std::optional<QString> {
        EXPECT_EQ(file, "T.D10");
        EXPECT_EQ(folder.toStdString() + "/", TestHome());
        return std::nullopt;
    };
    w.ButtonExportMaTypClick();
    EXPECT_EQ(w.MaTyp(), TestHome());
    EXPECT_EQ(w.ButtonExportMaTyp->text(), "");

    // "Abbrechen" before the first stroke: the export's end is skipped.
    const std::string log = TestHome() + "sim.log";
    setenv("VPSIMMOD_LOG", log.c_str(), 1);
    QMetaObject::invokeMethod(w.ButtonStop, "click", Qt::QueuedConnection);
    w.ButtonStartClick();
    QTest::qWait(150);
    unsetenv("VPSIMMOD_LOG");
    EXPECT_EQ(MemoLines(w), (std::vector<std::string>{"S0001 Z0001: Abbruch durch Anwender! ", " ",
                                                      "Wandel.Sma wurde nicht geschrieben! "}));
    EXPECT_NE(ReadTestFile(log).find("P_DllInit "), std::string::npos);
    EXPECT_EQ(ReadTestFile(log).find("P_DllInfoEnde"), std::string::npos);
    EXPECT_EQ(w.ButtonStart->text(), "&Beenden");
    w.ButtonStart->click();
    EXPECT_EQ(F_ReadIni("Export", "MaTyp", "unset"), TestHome());

    // A run to the end asks to start the target, which gets "/L" + the file.
    P_WriteIni("Files", "SkrelStart", "/w/rec.sh");
    MnuExportSkrelClick();
    std::vector<std::string> started;
    QString asked;
    bool heldCommands = false;
    w.askStartTarget = [&asked, &heldCommands](const QString& text) {
        asked = text;
        heldCommands = ProgramBusy();
        return true;
    };
    w.runProgram = [&started](const std::string& line) { started.push_back(line); };
    w.ButtonStartClick();
    QTest::qWait(150);
    EXPECT_EQ(asked, "Soll jetzt Skrel mit diesem Muster gestartet werden?");
    EXPECT_TRUE(heldCommands) << "a remote export waits for the answer";
    EXPECT_FALSE(ProgramBusy());
    EXPECT_EQ(started, (std::vector<std::string>{"/w/rec.sh /L" + TempPfad + "Wandel.Sma"}));
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(ReadTestFile(TempPfad + "Wandel.Sma").find("ENDE 2") != std::string::npos);
}

// A good export, then one that stops at a fatal message: the second leaves
// no file under the export's name and says so; the design program still
// hears the end.
TEST_F(PTestWindowTest, AFailedExportLeavesNoEarlierFileAndSaysSo)
{
    const std::string wandel = TempPfad + "Wandel.Sma";
    for (const auto& [program, written] : {std::pair{"plain.Skx", true}, {"racking.Skx", false}}) {
        SCOPED_TRACE(program);
        ASSERT_TRUE(Compile(program));
        MnuExportSkrelClick();
        TFormPTest& w = *FormPTest;
        w.askStartTarget = [](const QString&) { return false; };
        w.ButtonStartClick();
        QTest::qWait(150);
        EXPECT_EQ(std::filesystem::exists(wandel), written);
        EXPECT_EQ(MemoLines(w).back() == "Wandel.Sma wurde nicht geschrieben! ", !written);
        EXPECT_EQ(w.ButtonStart->text(), "&Beenden");
        w.ButtonStart->click();
    }
}

TEST_F(PTestWindowTest, AnOrdalinTargetIsAskedForAndTheWindowCloses)
{
    ASSERT_TRUE(Compile("plain.Skx"));
    P_WriteIni("System", "Skrel", "ordalin");
    shell->main.show();
    for (const bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        MnuExportSkrelClick();
        TFormPTest& w = *FormPTest;
        QString asked;
        int started = 0;
        w.askStartTarget = [&asked, ok](const QString& text) {
            asked = text;
            return ok;
        };
        w.runProgram = [&started](const std::string&) { ++started; };
        w.ButtonStartClick();
        QTest::qWait(150);
        EXPECT_EQ(asked, "Soll jetzt ordalin mit diesem Muster gestartet werden?");
        EXPECT_EQ(started, 0) << "Ordalin is reached by its commands, not started";
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(shell->main.isMinimized(), ok) << "the application gives way to Ordalin";
    }
}

TEST_F(PTestWindowTest, RemoteExportActsOnlyOnTheShownExportWindow)
{
    ASSERT_TRUE(Compile("plain.Skx"));
    EXPECT_FALSE(DdeExportDo()) << "no window";
    A("MnuExportSkrel")->setEnabled(true);
    MnuPTestClick();
    EXPECT_FALSE(DdeExportDo()) << "a program test window";
    FormPTest->hide();
    DdeExportMaFile("/w/X.D10");
    ASSERT_TRUE(FormPTest->isVisible());
    EXPECT_EQ(FormPTest->Mode(), 2);
    EXPECT_EQ(FormPTest->MaTyp(), "/w/X.D10");
    DdeExportMaFile("");
    EXPECT_EQ(FormPTest->MaTyp(), "") << "the shown window takes the new target";
    EXPECT_TRUE(DdeExportDo());
    QTest::qWait(150);
    EXPECT_EQ(FormPTest->ButtonStart->text(), "&Beenden");
    DdeExportMaFile("/w/Y.D10");
    EXPECT_TRUE(FormPTest->isVisible());
    EXPECT_EQ(FormPTest->ButtonStart->text(), "Start") << "a finished window shows afresh";
}

// A remote command is carried out only when it can be: a finished or idle
// checker window is put away first, a running one refuses the command.
TEST_F(PTestWindowTest, RemoteCommandsPutAwayFinishedWindowsAndRefuseRunningOnes)
{
    ASSERT_TRUE(Compile("first_row.Skx"));
    MnuGTestClick();
    ASSERT_TRUE(G_Test && G_Test->isVisible());
    ASSERT_EQ(G_Test->Run().mode(), GTestRunState::Ended);
    EXPECT_TRUE(DdeExportMaFile("/w/T.D10")) << "the finished simulation gives way";
    EXPECT_FALSE(G_Test->isVisible());
    ASSERT_TRUE(FormPTest && FormPTest->isVisible());
    EXPECT_EQ(FormPTest->MaTyp(), "/w/T.D10");

    // The idle export window gives way to a simulation, which ends.
    EXPECT_TRUE(DdeSimulation());
    EXPECT_FALSE(FormPTest->isVisible());
    EXPECT_EQ(G_Test->Run().mode(), GTestRunState::Ended);
    G_Test->close();

    // A paused program test holds its walk: nothing else may start.
    MnuPTestClick();
    TFormPTest& w = *FormPTest;
    std::vector<bool> answers;
    WhenPaused([&] {
        answers = {DdeSimulation(), DdeExportMaFile("/w/T.D10"), DdeExportDo()};
        w.ButtonStopClick();
    });
    w.ButtonStartClick();
    QTest::qWait(100);
    EXPECT_EQ(answers, (std::vector<bool>{false, false, false}));
    EXPECT_EQ(w.Mode(), 0);
    EXPECT_FALSE(G_Test->isVisible());
}

// The argument's length counts characters, as the design program wrote them.
TEST_F(ExportSettingsTest, ExtentedCountsCharactersNotBytes)
{
    EXPECT_TRUE(DdeExportExtented("1\u00e40\u00fc"));
    EXPECT_EQ((std::array{ExportFfTypTrans, ExportGgChange, ExportNListeWs, ExportSListeWs}),
              (std::array<uint8_t, 4>{1, 0, 0, 0}));
    EXPECT_FALSE(DdeExportExtented("1\u00e41"));
    EXPECT_FALSE(DdeExportExtented("\u00e4\u00e4\u00e4\u00e4\u00e4"));
}

// Every checker program, good or bad, runs through both windows to their
// end and gives the items back.
TEST_F(PTestWindowTest, EveryProgramEndsInBothWindows)
{
    for (const char* name : {"carrier", "direction", "first_row", "jacquard", "last_right", "machine_stop", "nested",
                             "no_room", "no_sequence", "overlap", "pattern_overlap", "plain", "racking", "stitches",
                             "wide_division"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(Compile(std::string(name) + ".Skx"));
        MnuGTestClick();
        ASSERT_TRUE(G_Test);
        EXPECT_EQ(G_Test->Run().mode(), GTestRunState::Ended);
        G_Test->close();
        EXPECT_TRUE(A("MnuExportSkrel")->isEnabled());

        MnuExportSkrelClick();
        TFormPTest& w = *FormPTest;
        w.askStartTarget = [](const QString&) { return false; };
        w.ButtonStartClick();
        QTest::qWait(100);
        EXPECT_EQ(w.ButtonStart->text(), "&Beenden");
        EXPECT_FALSE(MemoLines(w).empty());
        w.ButtonStart->click();
        EXPECT_FALSE(w.isVisible());
        EXPECT_TRUE(A("MnuGTest")->isEnabled());
    }
}

TEST_F(PTestWindowTest, ALongExportLooksAtItsEventsOnceAFrame)
{
    ASSERT_TRUE(Compile("long_run.Skx"));
    MnuExportSkrelClick();
    TFormPTest& w = *FormPTest;
    w.askStartTarget = [](const QString&) { return false; };
    // A zero timer fires whenever the window handles its events.
    int looks = 0;
    QTimer look;
    look.setInterval(0);
    QObject::connect(&look, &QTimer::timeout, [&looks] { ++looks; });
    look.start();
    w.ButtonStartClick();
    look.stop();
    EXPECT_EQ(CheckStrokeCount(), 30000u);
    EXPECT_LT(looks, 1500) << "15,000 rows, not a look each";
    EXPECT_TRUE(QTest::qWaitFor([&w] { return w.ButtonStart->text() == "&Beenden"; }));
    w.ButtonStart->click();
}

TEST_F(PTestWindowTest, ManyMessagesAreShownOnceAFrame)
{
    MnuExportSkrelClick();
    TFormPTest& w = *FormPTest;
    int looks = 0;
    QTimer look;
    look.setInterval(0);
    QObject::connect(&look, &QTimer::timeout, [&looks] { ++looks; });
    look.start();
    for (int i = 0; i < 3000; ++i)
        w.P_PTestMeldung("Meldung " + std::to_string(i));
    look.stop();
    EXPECT_LT(looks, 1000) << "3,000 messages, not a look each";
    EXPECT_EQ(w.MemoPTest->toPlainText().count("Meldung "), 3000);
    EXPECT_TRUE(w.MemoPTest->toPlainText().contains("Meldung 2999"));
}

}  // namespace

// One key press goes on one pause, whichever key it is: Space clicks
// "Weiter" only when it is let go, and its press must not go on as well.
TEST_F(PTestWindowTest, OneKeyPressGoesOnOnePause)
{
    ASSERT_TRUE(Compile("nested_stop.Skx"));
    MnuPTestClick();
    TFormPTest& w = *FormPTest;
    const QString stop = "Maschine Stop!";
    auto stops = [&w, stop] { return int(w.MemoPTest->toPlainText().count(stop)); };
    // The stops shown and the stroke the walk stands on.
    auto where = [&] {
        return std::to_string(stops()) + " " + (w.PanelDInner->text() + " " + w.PanelZ->text() + " " + w.PanelD->text()).toStdString();
    };
    std::vector<std::string> settled;
    // After a key: where the walk stands once it had time to run on.
    auto settle = [&](std::function<void()> next) {
        QTimer::singleShot(400, &w, [&, next] {
            settled.push_back(where());
            next();
        });
    };
    std::function<void()> toTheEnd = [&] {
        QTest::keyClick(w.ButtonStart, Qt::Key_Space);
        if (stops() < 4)
            WhenMemoHolds(w, stop, stops() + 1, toTheEnd);
    };
    WhenMemoHolds(w, stop, 1, [&] {
        QTest::keyPress(w.ButtonStart, Qt::Key_Space);
        settle([&] {
            QTest::keyRelease(w.ButtonStart, Qt::Key_Space);
            settle([&] {
                QTest::keyClick(w.ButtonStart, Qt::Key_Return);
                settle(toTheEnd);
            });
        });
    });
    w.ButtonStartClick();
    EXPECT_EQ(settled, (std::vector<std::string>{"1 0001 Z0002 0001", "2 0001 Z0002 0002", "3 0002 Z0002 0001"}));
    EXPECT_TRUE(QTest::qWaitFor([&w] { return w.ButtonStart->text() == "&Beenden"; }, 1000));
}

// "Erweitert..." hands the keys back to the export window when the settings
// close by Return or Esc, so the next Return starts the export.
TEST_F(PTestWindowTest, ExportSettingsGiveTheKeysBackToTheExportWindow)
{
    ASSERT_TRUE(Compile("plain.Skx"));
    MnuExportSkrelClick();
    TFormPTest& w = *FormPTest;
    ASSERT_TRUE(FormExportErweitert);
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        w.ButtonErweitert->setFocus();
        QTimer::singleShot(0, [key] {
            ASSERT_TRUE(FormExportErweitert->isVisible());
            QTest::keyClick(FormExportErweitert->focusWidget() ? FormExportErweitert->focusWidget()
                                                                : FormExportErweitert,
                            key);
        });
        QTest::keyClick(w.ButtonErweitert, Qt::Key_Space);
        EXPECT_FALSE(FormExportErweitert->isVisible());
        EXPECT_TRUE(QTest::qWaitFor([&w] { return QApplication::activeWindow() == &w; })) << key;
        EXPECT_EQ(QApplication::focusWidget(), w.ButtonErweitert) << key;
    }
}
