// The pattern window from the main window: the menu item and its tool
// button, a new program, the redisplay after a program was replaced.
#include "kernel/model/workrecord.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QtTest/QTest>

#include "kernel/model/programmodel.h"
#include "kernel/ui/forms.h"
#include "pattern/form_patrone.h"
#include "shell/program_files.h"
#include "shell/program_windows.h"
#include "tests/kernel/tkf/tkf_testing.h"
#include "tests/shell/main_window_fixture.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

namespace {
using PatternMenuTest = MainWindowFixture;

void MakePattern(uint16_t width, uint16_t height, std::initializer_list<int> planes)
{
    ProgrammKopf.SetWidth(width);
    ProgrammKopf.SetHeight(height);
    for (int p : planes) {
        PatternPlane(p)->allocate(height);
        PatternPlane(p)->present = true;
    }
}

QWidget* PaletteWindow()
{
    return FindForm("Zeichenfunktionen");
}

TEST_F(PatternMenuTest, ItemOpensOneWindowOnlyForAPattern)
{
    ProgrammKopf.SetWidth(0);
    A("MnuPatronenansehen")->trigger();
    EXPECT_FALSE(FormExists("Patrone"));

    MakePattern(40, 30, {0});
    A("MnuPatronenansehen")->trigger();
    ASSERT_TRUE(FormExists("Patrone"));
    TFormPatrone* first = FormPatrone;
    A("ToolButtonPatrone")->trigger();
    EXPECT_EQ(FormPatrone, first);
    int windows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        windows += w->objectName() == "Patrone";
    EXPECT_EQ(windows, 1);
    EXPECT_FALSE(FormPatrone->windowIcon().isNull());
}

TEST_F(PatternMenuTest, RedisplayAfterAReplacedProgram)
{
    MakePattern(40, 30, {0});
    A("MnuPatronenansehen")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([] { return FormPatrone && FormPatrone->firstActivation == 0; }));
    EXPECT_EQ(FormPatrone->PictureHeight(), 30);

    // Level 1 stays current even without the needle plane.
    *PatternPlane(0) = T_Patrone{};
    MakePattern(50, 20, {2});
    P_UpdateFenster();
    EXPECT_EQ(FormPatrone->Levels().States(), (std::vector<uint8_t>{3, 0, 1}));
    EXPECT_EQ(FormPatrone->PictureWidth(), 50);
    // Exactly the pattern's rows: none made up above them to fill the screen.
    EXPECT_EQ(FormPatrone->PictureHeight(), 20);

    MakePattern(40, 30, {0});
    A("MnuCreateRamCopy")->trigger();
    A("MnuReadRamCopy")->trigger();
    ASSERT_NE(FormPatrone, nullptr);
    EXPECT_EQ(FormPatrone->PictureWidth(), 40);
    EXPECT_EQ(FormPatrone->PictureHeight(), 30);

    ProgrammKopf.SetWidth(0);
    P_UpdateFenster();
    EXPECT_FALSE(FormExists("Patrone"));
    EXPECT_EQ(FormPatrone, nullptr);
}

TEST_F(PatternMenuTest, NewProgramFreesTheWindowAndPutsThePaletteAway)
{
    MakePattern(40, 30, {0});
    A("MnuPatronenansehen")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([] { return FormPatrone && FormPatrone->firstActivation == 0; }));
    ASSERT_NE(PaletteWindow(), nullptr);
    EXPECT_TRUE(PaletteWindow()->isVisible());

    const WId native = FormPatrone->winId();
    FormPatrone->close();
    EXPECT_FALSE(PaletteWindow()->isVisible());
    A("ToolButtonPatrone")->trigger();
    EXPECT_EQ(FormPatrone->winId(), native);

    A("MnuNeu")->trigger();
    EXPECT_FALSE(FormExists("Patrone"));
    EXPECT_EQ(FormPatrone, nullptr);
    EXPECT_FALSE(PaletteWindow()->isVisible());
    QApplication::processEvents();
}

TEST_F(PatternMenuTest, ALoadRebuildsTheShownWindow)
{
    ScopedRecordingHost host;
    tkftest::FillProgram();
    MakePattern(40, 30, {0, 1});
    const std::string path = TestHome() + "w/LOADED.8DH";
    ASSERT_TRUE(P_MusterSichern(path));

    MakePattern(20, 10, {0});
    A("MnuPatronenansehen")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([] { return FormPatrone && FormPatrone->firstActivation == 0; }));
    EXPECT_EQ(FormPatrone->PictureWidth(), 20);
    TFormPatrone* shown = FormPatrone;

    ASSERT_TRUE(P_MusterLaden(path));
    EXPECT_EQ(FormPatrone, shown);
    EXPECT_EQ(shown->PictureWidth(), 40);
    EXPECT_EQ(shown->PictureHeight(), 30);
    EXPECT_EQ(shown->Levels().States(), (std::vector<uint8_t>{3, 1, 0}));
}

}  // namespace
