// The script editor in the program: the Tools menu, the compiler's road
// through its text and cursor, the Edit menu and a new program.
// Before any Qt header: the work record has a member that Qt's "slots"
// keyword would swallow.
#include "kernel/model/workrecord.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "kernel/model/globals.h"
#include "lists/form_fortschritt.h"
#include "picture/mal_status_bar.h"
#include "shell/editor_script_source.h"
#include "shell/form_main.h"
#include "tests/shell/main_window_fixture.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"
#include "textedit/find_replace_dialog.h"
#include "textedit/form_skrel_editor.h"

namespace fs = std::filesystem;

namespace {

// Records like the test host and, like the program's host, reads the
// script's text and hands the compiler's cursor to it.
class ScriptHost : public RecordingKernelHost {
public:
    std::string scriptText() override { return TheScriptSource().text(); }
    void setScriptCursor(int line, int column) override
    {
        RecordingKernelHost::setScriptCursor(line, column);
        TheScriptSource().setCursor(line, column);
    }
};

class ScriptEditorTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        SetScriptSource(std::make_unique<EditorScriptSource>());
        setKernelHost(&host);
    }
    void TearDown() override
    {
        setKernelHost(nullptr);
        MainWindowFixture::TearDown();
        SetScriptSource(nullptr);
    }
    TFormSkrelEditor* ShownEditor()
    {
        A("MnuSkrelEditor")->trigger();
        QApplication::processEvents();
        return FormSkrelEditor;
    }
    void Activate(QWidget* w)
    {
        QEvent e(QEvent::WindowActivate);
        QApplication::sendEvent(w, &e);
    }
    ScriptHost host;
};

TEST_F(ScriptEditorTest, MenuShowsTheOneEditorOnTheWorkingCopy)
{
    EXPECT_EQ(FormSkrelEditor, nullptr);
    EXPECT_EQ(A("MnuSkrelEditor")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F9));
    EXPECT_EQ(A("MnuSkrelCompiler")->shortcut(), QKeySequence(Qt::Key_F9));
    for (const char* name : {"MnuSkrelEditor", "MnuSkrelCompiler", "ToolButtonSkrelEditor"})
        EXPECT_TRUE(A(name)->isEnabled()) << name;
    TFormSkrelEditor* editor = ShownEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->objectName(), "SkrelEditor");
    EXPECT_EQ(editor->windowTitle(), "Skrel Editor");
    EXPECT_EQ(editor->BoundFile(), TempPfad + "Script.Skx");
    EXPECT_TRUE(editor->FileBound());
    EXPECT_EQ(editor->TimerAutoSave->interval(), 3000);
    EXPECT_TRUE(editor->Core().SyntaxDisplay());
    A("ToolButtonSkrelEditor")->trigger();
    EXPECT_EQ(FormSkrelEditor, editor);

    // Esc hides it; the text lives on.
    editor->hide();
    EXPECT_EQ(ShownEditor(), editor);
}

TEST_F(ScriptEditorTest, CompileErrorPlacesTheEditorsCursor)
{
    std::string script = "MODULSET TEST;\r\nBEGIN\r\n";
    for (int i = 0; i < 9; ++i)
        script += "\r\n";
    script += "$Y=1;\r\n";
    TFormSkrelEditor* editor = ShownEditor();
    ASSERT_TRUE(editor->LoadText(WriteTestFile(TestHome() + "in.Skx", script)));
    A("MnuSkrelCompiler")->trigger();
    EXPECT_EQ(ReadTestFile(TempPfad + "Compile.Skx"), editor->Text());
    EXPECT_EQ(host.messages(), (std::vector<std::string>{"Zeile: 12\r\nSpalte: 6\r\n$Y=1\r\nunbekannter Befehl"}));
    EXPECT_EQ(editor->StatusBar->StatusText(0), "6:12");
    const TextViewGeometry view = editor->Geometry();
    EXPECT_LE(view.topLine, 11);
    EXPECT_GT(view.topLine + view.rows, 11);
    EXPECT_FALSE(FormFortschritt->isVisible());

    host.calls.clear();
    ASSERT_TRUE(editor->LoadText(std::string(ZORIT_CHECK_DATA_DIR) + "plain.Skx"));
    A("MnuSkrelCompiler")->trigger();
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(ScriptEditorTest, CursorOfTheCompilerIsClampedAndNeedsTheEditor)
{
    TheScriptSource().setCursor(3, 4);  // no editor: nothing happens
    EXPECT_EQ(FormSkrelEditor, nullptr);
    EXPECT_EQ(TheScriptSource().text(), "");
    TheScriptSource().ensure();
    ASSERT_NE(FormSkrelEditor, nullptr);
    EXPECT_FALSE(FormSkrelEditor->isVisible());
    FormSkrelEditor->LoadText(WriteTestFile(TestHome() + "three.Skx", "a\r\nb\r\nc\r\n"));
    TheScriptSource().setCursor(-1, 5);
    EXPECT_EQ(FormSkrelEditor->Core().CursorText(), "5:1");
    TheScriptSource().setCursor(999, 300);
    EXPECT_EQ(FormSkrelEditor->Core().CursorText(), "256:3");
}

TEST_F(ScriptEditorTest, EditMenuFollowsTheActiveEditor)
{
    TFormSkrelEditor* editor = ShownEditor();
    editor->LoadText(WriteTestFile(TestHome() + "ab.Skx", "ab\r\ncd\r\n"));
    Activate(editor);
    editor->SelectAll();
    for (const char* name :
         {"MnuAusschneiden", "MnuKopieren", "MnuLoeschen", "MnuKopierenNach", "MnuMarkierungloeschen",
          "ToolButtonKopieren", "ToolButtonAusschneiden"})
        EXPECT_TRUE(A(name)->isEnabled()) << name;
    EXPECT_FALSE(A("MnuRueckgaengig")->isEnabled());
    EXPECT_FALSE(A("ToolButtonRueckgaengig")->isEnabled());
    EXPECT_TRUE(A("MnuSuchen")->isVisible());
    EXPECT_TRUE(A("MnuErsetzen")->isVisible());
    for (QAction* a : form->MnuBearbeiten->actions()) {
        if (a->menu()) {
            EXPECT_FALSE(a->isVisible()) << a->text().toStdString();
        }
    }

    for (int i = 0; i < 100; ++i)
        editor->UpdateEditCommands(false, true);
    QSignalSpy copies(QGuiApplication::clipboard(), &QClipboard::dataChanged);
    A("MnuKopieren")->trigger();
    EXPECT_EQ(copies.count(), 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "ab\r\ncd");

    editor->hide();
    for (const char* name : {"MnuAusschneiden", "MnuKopieren", "MnuLoeschen", "MnuKopierenNach",
                             "MnuMarkierungloeschen", "MnuSuchen", "MnuErsetzen", "ToolButtonKopieren"})
        EXPECT_FALSE(A(name)->isEnabled()) << name;
    EXPECT_FALSE(A("MnuSuchen")->isVisible());
    EXPECT_FALSE(A("MnuErsetzen")->isVisible());
}

// Each key hides the Edit menu's other items; find and replace still answer
// their keys, and the key types nothing into the script.
TEST_F(ScriptEditorTest, FindAndReplaceKeysWorkAfterTyping)
{
    TFormSkrelEditor* editor = ShownEditor();
    editor->activateWindow();
    editor->setFocus();
    Activate(editor);
    QTest::keyClicks(editor, "x");
    ASSERT_FALSE(A("MnuSuchen")->isVisible());
    QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
    ASSERT_NE(editor->FindDialog, nullptr);
    EXPECT_TRUE(editor->FindDialog->isVisible());
    EXPECT_EQ(editor->FindDialog->windowTitle(), "Suchen");
    editor->FindDialog->hide();

    QTest::keyClicks(editor, "y");
    QTest::keyClick(editor, Qt::Key_R, Qt::ControlModifier);
    ASSERT_NE(editor->ReplaceDialog, nullptr);
    EXPECT_TRUE(editor->ReplaceDialog->isVisible());
    editor->ReplaceDialog->hide();
    EXPECT_EQ(editor->Lines().Get(0), "xy");
}

TEST_F(ScriptEditorTest, NewProgramEmptiesTheScript)
{
    TheScriptSource().ensure();
    TFormSkrelEditor* editor = FormSkrelEditor;
    editor->LoadText(WriteTestFile(TestHome() + "x.Skx", "BEGIN\r\nEND;\r\n"));
    ASSERT_TRUE(fs::exists(TempPfad + "Script.Skx"));
    form->MnuNeuClick();
    EXPECT_EQ(editor->Lines().Count(), 1);
    EXPECT_TRUE(IsBlankLine(editor->Lines().Get(0)));
    EXPECT_FALSE(fs::exists(TempPfad + "Script.Skx"));
    // The next tick writes the empty text again.
    editor->TimerAutoSaveTimer();
    EXPECT_EQ(ReadTestFile(TempPfad + "Script.Skx"), " \r\n");
}

TEST_F(ScriptEditorTest, OpenWithTheScriptFilterLoadsTheEditor)
{
    const std::string file = WriteTestFile(TestHome() + "s.Skx", "BEGIN\r\nEND;\r\n");
    form->askOpenName = [&file] { return QPair<QString, int>(QString::fromStdString(file), 2); };
    form->MnuOeffnenClick();
    ASSERT_NE(FormSkrelEditor, nullptr);
    EXPECT_FALSE(FormSkrelEditor->isVisible());
    EXPECT_EQ(FormSkrelEditor->Text(), "BEGIN\r\nEND;\r\n");
    EXPECT_EQ(ReadTestFile(TempPfad + "Script.Skx"), "BEGIN\r\nEND;\r\n");
}

} // namespace
