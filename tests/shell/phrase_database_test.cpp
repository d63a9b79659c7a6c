// The shipped phrase database as a user who picked "Englisch" meets it:
// every window's texts come out in English, and no window shows a text the
// database lacks (a text the engine does not find is appended to the file).
#include "kernel/model/workrecord.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <set>
#include <string>

#include "check/ui/form_gtest_text.h"
#include "check/ui/form_gtest_zorit.h"
#include "check/ui/form_tool_bar_sim.h"
#include "check/ui/install_check_windows.h"
#include "kernel/language/language.h"
#include "kernel/model/globals.h"
#include "kernel/ui/forms.h"
#include "pattern/form_patrone.h"
#include "picture/mal_status_bar.h"
#include "platform/registry_ini_file.h"
#include "tests/shell/pattern_window_fixture.h"
#include "tests/support/test_env.h"
#include "textedit/form_skrel_editor.h"

namespace {

// The phrases appended to the file since it held the shipped bytes.
std::set<std::string> LearntPhrases(const std::string& shipped, const std::string& now)
{
    std::set<std::string> learnt;
    for (const std::string& line : SplitLines(now.substr(std::min(shipped.size(), now.size()))))
        if (line.rfind("$:", 0) == 0)
            learnt.insert(line.substr(2, line.find_last_not_of('\r') - 1));
    return learnt;
}

// The main window with the pattern window open over a 40 x 30 pattern.
class ShippedPhrases : public PatternWindowFixture {
protected:
    void SetUp() override
    {
        shipped = ReadTestFile(ZORIT_DB_LANG);
        ASSERT_FALSE(shipped.empty()) << ZORIT_DB_LANG;
        WriteTestFile(TestHome() + "DbLang.Txt", shipped);
        RegistryIniFile().WriteString("System", "Language", Language());
        PatternWindowFixture::SetUp();
    }
    void TearDown() override
    {
        PatternWindowFixture::TearDown();
        DoneLanguage();
    }
    // Opens every other window the main window's menus open.
    void OpenEveryWindow()
    {
        for (const char* item : {"MnuVersatz", "MnuWarenabzug", "MnuWahlschalter", "MnuFFPosition", "MnuFestigkeit",
                                 "MnuNadeleinteilung", "MnuSchemaablauf", "MnuStrickschema", "MnuNadelraum",
                                 "MnuFadenfuehrer", "MnuRuestblatt", "MnuSkrelEditor"}) {
            SCOPED_TRACE(item);
            ASSERT_NE(A(item), nullptr);
            A(item)->trigger();
        }
        P_ShowPTest();
        QApplication::processEvents();
    }
    virtual const char* Language() const { return "Englisch"; }
    std::set<std::string> Learnt() const { return LearntPhrases(shipped, ReadTestFile(TestHome() + "DbLang.Txt")); }
    std::string title(const char* formName)
    {
        QWidget* w = FindForm(formName);
        return w ? w->windowTitle().toStdString() : std::string("<no window>");
    }
    std::string shipped;
};

TEST_F(ShippedPhrases, EveryWindowShowsOnlyTextsTheDatabaseHolds)
{
    OpenEveryWindow();
    const std::set<std::string> learnt = LearntPhrases(shipped, ReadTestFile(TestHome() + "DbLang.Txt"));
    std::string listed;
    for (const std::string& phrase : learnt)
        listed += phrase + "\n";
    EXPECT_TRUE(learnt.empty()) << learnt.size() << " texts without an entry:\n" << listed;
}

TEST_F(ShippedPhrases, EveryWindowSpeaksEnglish)
{
    OpenEveryWindow();
    QStringList menus;
    for (QAction* a : form->menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus.join('|'), "&File|&Edit|&Lists|&Pattern|&Test|&Settings|T&ools");
    EXPECT_EQ(A("MnuSpeichernunter")->text(), "Save &as");
    // Alt and a letter still reach one item each, as the German menus do.
    QList<QList<QAction*>> menuItems{form->menuBar()->actions()};
    for (QMenu* m : form->findChildren<QMenu*>())
        menuItems << m->actions();
    for (const QList<QAction*>& items : menuItems) {
        QMap<QChar, QString> letters;
        for (QAction* a : items) {
            const qsizetype amp = a->text().indexOf('&');
            if (!a->isVisible() || amp < 0 || amp + 1 >= a->text().size())
                continue;
            const QChar letter = a->text().at(amp + 1).toLower();
            EXPECT_FALSE(letters.contains(letter))
                << a->text().toStdString() << " and " << letters.value(letter).toStdString();
            letters.insert(letter, a->text());
        }
    }
    EXPECT_EQ(A("MnuFFPosition")->text(), "Yarn carrier &position");

    struct Window {
        const char* form;
        const char* title;
    };
    const Window windows[] = {
        {"V_Liste", "Racking"},         {"A_Liste", "Take-down"},        {"W_Liste", "Selector"},
        {"P_Liste", "Yarn carrier position"}, {"F_Liste", "Stitch density"}, {"N_Liste", "Needle division"},
        {"S_Liste", "Scheme sequence"}, {"Z_Liste", "Knitting scheme"},  {"Nr_Liste", "Needle room"},
        {"Ff_Liste", "Yarn carrier"},   {"Ruestblatt", "Set-up sheet"},
        {"Zeichenfunktionen", "Tools"}, {"FormPTest", "P-Test"},
    };
    for (const Window& w : windows)
        EXPECT_EQ(title(w.form), w.title) << w.form;
    EXPECT_EQ(FormPatrone->windowTitle(), "Pattern");

    // A tool's hint on the drawing palette, a list column's hint.
    QStringList hints;
    for (QToolButton* b : FindForm("Zeichenfunktionen")->findChildren<QToolButton*>())
        hints << b->toolTip();
    EXPECT_TRUE(hints.join('|').contains("Filled ellipse")) << hints.join('|').toStdString();
    QStringList labels;
    for (QWidget* w : FindForm("V_Liste")->findChildren<QWidget*>())
        labels << w->toolTip();
    EXPECT_TRUE(labels.contains("Main racking")) << labels.join('|').toStdString();
}

TEST_F(ShippedPhrases, SimulationWindowSpeaksEnglish)
{
    TestModus = 1;
    P_ShowGTest(-1);
    ASSERT_NE(G_Test, nullptr);
    QStringList hints;
    for (QAction* a : G_Test->findChildren<QAction*>())
        hints << a->toolTip();
    for (const char* hint : {"Grid", "S - Fast run", "Stitch density", "Yarn carrier", "Show the old yarn"})
        EXPECT_TRUE(hints.contains(hint)) << hint << " in " << hints.join('|').toStdString();
    ASSERT_NE(GTestText, nullptr);
    EXPECT_EQ(GTestText->windowTitle(), "Errors and messages");
    ASSERT_NE(FormToolBarSim, nullptr);
    EXPECT_EQ(FormToolBarSim->MnuFarbenOriginal->text(), "Original carrier colours");
    // Each text is looked up once, in German: a translation looked up again
    // would be learnt as a new phrase.
    EXPECT_EQ(Learnt(), std::set<std::string>());
}

// "Einfügen" is the Edit menu's Paste and the editor's typing mode, Insert.
TEST_F(ShippedPhrases, PasteInTheMenuInsertAsTheTypingMode)
{
    A("MnuSkrelEditor")->trigger();
    ASSERT_NE(FormSkrelEditor, nullptr);
    EXPECT_EQ(FormSkrelEditor->StatusBar->StatusText(1), "Insert");
    EXPECT_EQ(A("MnuEinfuegen")->text(), "&Paste");
    EXPECT_EQ(F_TRANS("Einfügen"), "Paste");
    EXPECT_EQ(Learnt(), std::set<std::string>());
}

// German shows its own words: the typing mode's key shows "Einfügen", and
// the windows that look their texts up learn nothing either.
class ShippedPhrasesGerman : public ShippedPhrases {
protected:
    const char* Language() const override { return "Deutsch"; }
};

TEST_F(ShippedPhrasesGerman, EveryWindowShowsItsGermanTextsAndLearnsNothing)
{
    OpenEveryWindow();
    ASSERT_NE(FormSkrelEditor, nullptr);
    EXPECT_EQ(FormSkrelEditor->StatusBar->StatusText(1), "Einfügen");
    EXPECT_EQ(A("MnuEinfuegen")->text(), "&Einfügen");
    TestModus = 1;
    P_ShowGTest(-1);
    ASSERT_NE(GTestText, nullptr);
    EXPECT_EQ(GTestText->windowTitle(), "Fehler und Meldungen");
    EXPECT_EQ(title("Ruestblatt"), "Rüstblatt");
    EXPECT_EQ(Learnt(), std::set<std::string>());
}

// Messages come from the compiler, the checker, the file routines and the
// message dialogs rather than from a window's make-up.
TEST_F(ShippedPhrases, MessagesSpeakEnglish)
{
    const std::pair<const char*, const char*> phrases[] = {
        {"Unbekannte Maschine", "Unknown machine"},
        {"'END' fehlt!", "'END' missing!"},
        {"Y-Startwert  vorne  ist ungültig", "Y start value  front  is invalid"},
        {"S$4 Z$4: Maschine Stop!", "S$4 Z$4: Machine stop!"},
        {"Keine Fehler gefunden!", "No errors found!"},
        {"Diskette ist voll!", "Disk is full!"},
        {"Die Patrone ist zu groß!", "The pattern is too large!"},
        {"Die Programmdatei kann den Namen dieser Musterdatei nicht speichern: er enthält Zeichen außerhalb von "
         "Windows-1252. Bitte einen Programmnamen ohne solche Zeichen wählen!",
         "The program file cannot store the name of this pattern file: it holds characters outside Windows-1252. "
         "Please choose a program name without such characters!"},
        {"Der Dateiname oder Pfad ist zu lang!", "The file name or path is too long!"},
        {"Zur Sprachänderung wird das Programm neu gestartet!", "The program restarts to change the language!"},
        {"Abbrechen", "Cancel"},
        {"&Ja", "&Yes"},
        {"Zeile:", "Line:"},
        // The program file's sections, as the progress box names them.
        {"SF-Liste", "SF list"},
        {"S-Liste ", "S list "},
    };
    for (const auto& [german, english] : phrases)
        EXPECT_EQ(F_TRANS(german), english) << german;
    EXPECT_EQ(ReadTestFile(TestHome() + "DbLang.Txt"), shipped);
}

}  // namespace
