// Where the keys go when a job or another window had them for a while: the
// compile, loading and saving keep them with the window the person worked
// in, and the main menu's Alt letters reach the menu from every window.
// Before any Qt header: the work record has a member that Qt's "slots"
// keyword would swallow.
#include "kernel/model/workrecord.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <filesystem>
#include <memory>

#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/newprogram.h"
#include "kernel/model/programmodel.h"
#include "kernel/ui/form_info4z.h"
#include "kernel/ui/forms.h"
#include "kernel/ui/qt_kernel_host.h"
#include "lists/form_liste.h"
#include "pattern/farbauswahl.h"
#include "shell/editor_script_source.h"
#include "shell/form_main.h"
#include "shell/program_files.h"
#include "tests/shell/main_window_fixture.h"
#include "tests/shell/pattern_window_fixture.h"
#include "tests/support/test_env.h"
#include "textedit/form_skrel_editor.h"

namespace {

// The program's host: messages recorded, the script and its cursor in the
// editor, the progress box of loading and saving.
class KeysHost : public QtKernelHost {
public:
    int messageDlg(const std::string& text, MsgKind, MsgButtons) override
    {
        messages.push_back(text);
        return 1;
    }
    std::string scriptText() override { return TheScriptSource().text(); }
    void setScriptCursor(int line, int column) override { TheScriptSource().setCursor(line, column); }
    std::vector<std::string> messages;
};

bool ActiveSoon(QWidget* w)
{
    return QTest::qWaitFor([w] { return QApplication::activeWindow() == w; }, 1000);
}

void MakeActive(QWidget* w)
{
    w->activateWindow();
    ASSERT_TRUE(ActiveSoon(w)) << w->objectName().toStdString();
}

class KeysAfterJobsTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        SetScriptSource(std::make_unique<EditorScriptSource>());
        FormInfo4Z = new TFormInfo4Z(form.get());
        setKernelHost(&host);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override
    {
        setKernelHost(nullptr);
        FormInfo4Z = nullptr;
        MainWindowFixture::TearDown();
        SetScriptSource(nullptr);
    }
    QWidget* Shown(const char* action, const char* name)
    {
        A(action)->trigger();
        QApplication::processEvents();
        return FindForm(name);
    }
    KeysHost host;
};

}  // namespace

// The compile and the load show the open lists anew; the keys stay where
// the person was: in the editor (its cursor on the error after a failed
// compile) or in the list the compile was started from.
TEST_F(KeysAfterJobsTest, CompileAndLoadLeaveTheKeysWhereThePersonWas)
{
    auto* scheme = qobject_cast<TFormListe*>(Shown("MnuStrickschema", "Z_Liste"));
    auto* needles = qobject_cast<TFormListe*>(Shown("MnuNadeleinteilung", "N_Liste"));
    QWidget* editor = Shown("MnuSkrelEditor", "SkrelEditor");
    ASSERT_TRUE(scheme && needles && editor);

    const std::string good = ReadTestFile(std::string(ZORIT_CHECK_DATA_DIR) + "plain.Skx");
    const std::string bad = "MODULSET TEST;\r\nBEGIN\r\n\r\n$Y=1;\r\n";
    const std::string saved = TestHome() + "KEYS." + F_ProgrammExtension();
    struct Case {
        const char* what;
        QWidget* from;
        std::string script;  // empty: load the saved program
    };
    const Case cases[] = {
        {"failed compile from the editor", editor, bad},
        {"compile from the editor", editor, good},
        {"compile from a list", needles, good},
        {"load from the editor", editor, ""},
    };
    for (const Case& c : cases) {
        MakeActive(c.from);
        if (c.script.empty()) {
            NewProgramModel();
            ASSERT_TRUE(P_MusterLaden(saved));
        } else {
            ASSERT_TRUE(FormSkrelEditor->LoadText(WriteTestFile(TestHome() + "in.Skx", c.script)));
            host.messages.clear();
            CompileProgramFiles("");
            EXPECT_EQ(host.messages.empty(), c.script == good) << c.what;
            if (c.script == good && !std::filesystem::exists(saved)) {
                ASSERT_TRUE(P_MusterSichern(saved));
            }
        }
        QTest::qWait(50);
        EXPECT_EQ(QApplication::activeWindow(), c.from) << c.what;
        EXPECT_EQ(QApplication::focusWidget() ? QApplication::focusWidget()->window() : nullptr, c.from) << c.what;
        // The lists show the program the job left.
        EXPECT_EQ(scheme->Core().ZeilenAnzahl(), std::max(1, int(ZListe->Count()))) << c.what;
    }
    EXPECT_EQ(FormSkrelEditor->Core().CursorText(), "6:4") << "the failed compile's cursor stays";
}

// The shortcut keys that save keep the keys in the pattern window: the
// progress box goes and hands them back.
class PatternKeysTest : public PatternWindowFixture {
protected:
    void SetUp() override
    {
        PatternWindowFixture::SetUp();
        FormInfo4Z = new TFormInfo4Z(form.get());
        setKernelHost(&host);
    }
    void TearDown() override
    {
        setKernelHost(nullptr);
        FormInfo4Z = nullptr;
        PatternWindowFixture::TearDown();
    }
    KeysHost host;
};

TEST_F(PatternKeysTest, SavingFromThePatternWindowKeepsItsKeys)
{
    const QString file = QString::fromStdString(TestHome() + "MUSTER." + F_ProgrammExtension());
    form->askSaveName = [file](const QString&) { return file; };
    MakeActive(FormPatrone);
    for (int i = 0; i < 2; ++i) {  // "Speichern unter", then "Speichern" to the same file
        QTest::keyClick(FormPatrone, Qt::Key_S, Qt::ControlModifier);
        EXPECT_TRUE(std::filesystem::exists(file.toStdString()));
        EXPECT_FALSE(FormInfo4Z->isVisible());
        QTest::qWait(50);
        EXPECT_EQ(QApplication::activeWindow(), FormPatrone) << i;
    }
}

// Alt and a letter of the main menu opens that menu from the pattern window
// and its tool windows, as from the lists and the editor.
TEST_F(PatternKeysTest, AltLettersOpenTheMainMenuFromThePatternWindows)
{
    FormPatrone->ShowColourWindow();
    QWidget* colours = FormPatrone->ColourWindow();
    ASSERT_TRUE(colours);
    struct Case {
        QWidget* window;
        Qt::Key key;
        const char* menu;
    };
    const Case cases[] = {
        {FormPatrone, Qt::Key_D, "MnuDatei"},
        {FormPatrone, Qt::Key_B, "MnuBearbeiten"},
        {FormPatrone, Qt::Key_L, "MnuListen"},
        {palette, Qt::Key_D, "MnuDatei"},
        {colours, Qt::Key_D, "MnuDatei"},
    };
    for (const Case& c : cases) {
        QWidget* target = c.window->focusWidget() ? c.window->focusWidget() : c.window;
        QTest::keyClick(target, c.key, Qt::AltModifier);
        QMenu* menu = form->Menu(c.menu);
        ASSERT_TRUE(menu) << c.menu;
        EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 1000))
            << c.window->objectName().toStdString() << " " << c.menu;
        menu->close();
        QTest::qWait(20);
    }
    // A letter of no menu does nothing, and the window keeps its keys.
    QTest::keyClick(FormPatrone, Qt::Key_Q, Qt::AltModifier);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}
