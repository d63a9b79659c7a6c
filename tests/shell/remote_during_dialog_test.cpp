// The design program's commands arriving while a window's own dialog waits:
// the window outlives its dialog even when the command destroys it, and the
// answer given afterwards, Return or Esc, writes nothing into the program
// that replaced the one the dialog was opened for.
// Before any Qt header: the work record has a member that Qt's "slots"
// keyword would swallow.
#include "kernel/model/workrecord.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "kernel/model/programmodel.h"
#include "kernel/ui/forms.h"
#include "lists/form_liste.h"
#include "lists/form_rustliste.h"
#include "lists/panel_color.h"
#include "shell/dde_hndl_zorit.h"
#include "shell/editor_script_source.h"
#include "shell/program_files.h"
#include "tests/kernel/tkf/tkf_testing.h"
#include "tests/shell/pattern_window_fixture.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"
#include "textedit/form_skrel_editor.h"

namespace fs = std::filesystem;
using tkftest::DumpLines;

namespace {

class RemoteDuringDialogTest : public PatternWindowFixture {
protected:
    void SetUp() override
    {
        PatternWindowFixture::SetUp();
        // A program with lists and a pattern, loaded as the design program
        // loads it.
        tkftest::FillProgram();
        ProgrammKopf.SetWidth(40);
        ProgrammKopf.SetHeight(30);
        for (uint16_t row = 1; row <= 30; ++row)
            for (int32_t x = 1; x <= 40; ++x)
                Cell(x, row) = static_cast<uint8_t>((row + x) % 7);
        path = TestHome() + "REMOTE." + F_ProgrammExtension();
        ASSERT_TRUE(P_MusterSichern(path));
    }
    void Remote(const std::string& command) { DdeHndlZorit->P_DdeBefehlEmpfangen(command); }
    static std::string Program() { return DumpLines("ZNWSVFPAB") + ProgrammKopf.Name(); }
    std::string Plane()
    {
        std::string cells;
        for (uint16_t row = 1; row <= ProgrammKopf.Height(); ++row)
            for (int32_t x = 1; x <= ProgrammKopf.Width(); ++x)
                cells += static_cast<char>(Cell(x, row));
        return cells;
    }

    // Runs `open`, which brings up a modal dialog of `opener`. While it
    // waits, the command arrives; the opener must still exist afterwards,
    // whatever the command did to it, until the dialog is answered by
    // `answer`. Gives what the command left of the program, taken before
    // the answer, to compare with what stands after it.
    std::string CommandWhileDialogWaits(QWidget* opener, const std::string& command,
                                        const std::function<void(QWidget*)>& answer,
                                        const std::function<void()>& open)
    {
        QPointer<QWidget> window(opener);
        std::string left;
        bool answered = false;
        QTimer::singleShot(0, [&] {
            // The tool option pop-ups are pop-ups, the others modal dialogs.
            const auto waiting = [] {
                return QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                         : QApplication::activeModalWidget();
            };
            if (!QTest::qWaitFor([&] { return waiting() != nullptr; }))
                return;
            QPointer<QWidget> dialog = waiting();
            Remote(command);
            left = Program() + Plane();
            // Whatever the command posted has been delivered.
            QTest::qWait(20);
            EXPECT_FALSE(window.isNull()) << "destroyed while its dialog waits";
            if (dialog && dialog->isVisible())
                answer(dialog);
            answered = true;
        });
        open();
        EXPECT_TRUE(answered);
        return left;
    }
    std::string path;
};

// Answers the dialog with a choice that differs from the cell's: the first
// entry other than the current one in "Auswahl", a new text in
// "Texteingabe", one more colour in the multiple choice, then Return.
void ChooseAndReturn(QWidget* dialog)
{
    if (auto* edit = dialog->findChild<QLineEdit*>())
        edit->setText(edit->text() + "X");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

// Answers a file dialog with the file, as OK does.
std::function<void(QWidget*)> ChooseFile(const std::string& path)
{
    return [path](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(files, nullptr);
        files->selectFile(QString::fromStdString(path));
        static_cast<QDialog*>(files)->accept();
    };
}

void Escape(QWidget*)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
}

// The first cell of the first line whose field opens the dialog: the
// choices (kinds 3 to 6) or the text input (7).
TPanelColor* DialogCell(TFormListe& list, bool textInput)
{
    const CellGrid& grid = list.Core().Grid();
    for (int column = 1; column <= grid.Columns(); ++column) {
        const int field = grid.At(1, column).field;
        if (field <= 0)
            continue;
        const int kind = list.Core().Field(field).kind;
        if (textInput ? kind == 7 : kind >= 3 && kind <= 6)
            return list.Panel(1, column);
    }
    return nullptr;
}

TEST_F(RemoteDuringDialogTest, ListWindowsOutliveTheirDialogAndDropItsAnswer)
{
    const auto shifted = [this](Qt::Key key) {
        return [this, key] {
            form->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
            QTest::keyClick(form.get(), key, Qt::ShiftModifier);
        };
    };
    struct Case {
        std::function<void()> show;
        const char* window;
        bool textInput;
        const char* command;
        void (*answer)(QWidget*);
        bool destroyed;
    };
    const Case cases[] = {
        {shifted(Qt::Key_F6), "A_Liste", false, "LOADPATTERN", ChooseAndReturn, true},
        {shifted(Qt::Key_F6), "A_Liste", false, "RAMDELETE", Escape, true},
        {shifted(Qt::Key_F6), "A_Liste", true, "LOADPATTERN", ChooseAndReturn, true},
        {shifted(Qt::Key_F3), "Z_Liste", false, "RAMDELETE", ChooseAndReturn, true},
        {shifted(Qt::Key_F3), "Z_Liste", true, "LOADPATTERN", Escape, true},
        // The set-up sheet stays, but its program went.
        {[] { P_ShowRustListe(0); }, "Ruestblatt", false, "LOADPATTERN", ChooseAndReturn, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.window << (c.textInput ? " Texteingabe " : " Auswahl ") << c.command);
        Remote("LOADPATTERN " + path);
        c.show();
        auto* list = qobject_cast<TFormListe*>(FindForm(c.window));
        ASSERT_NE(list, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
        list->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(list));
        TPanelColor* cell = DialogCell(*list, c.textInput);
        ASSERT_NE(cell, nullptr);
        QPointer<TFormListe> window(list);
        const std::string command = c.command == std::string("LOADPATTERN") ? "LOADPATTERN " + path : c.command;
        const std::string left = CommandWhileDialogWaits(list, command, c.answer, [&] {
            QTest::mouseDClick(cell, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        });
        EXPECT_EQ(Program() + Plane(), left);
        EXPECT_EQ(QTest::qWaitFor([&] { return window.isNull(); }, 200), c.destroyed);
        EXPECT_EQ(FormExists(c.window), !c.destroyed);
    }
}

// "Multiples Kopieren" asked for a motif placement: the count given after a
// new program came in places nothing into it; the tool option pop-ups of a
// pattern window destroyed meanwhile leave it alone.
TEST_F(RemoteDuringDialogTest, PatternWindowDropsTheAnswersOfAProgramThatWent)
{
    QTest::mouseClick(palette->Button("BereichMarkieren_SpeedButton"), Qt::LeftButton);
    Drag(2, 2, 6, 6);
    QTest::mouseClick(palette->Button("Kopieren_SpeedButton"), Qt::RightButton);
    ASSERT_EQ(FormPatrone->Core().ToolNow(), 28);
    // The placement asks for the count at the click; the window it is for
    // goes with the new program.
    const std::string left = CommandWhileDialogWaits(
        FormPatrone, "LOADPATTERN " + path,
        [](QWidget* dialog) {
            auto* count = dialog->findChild<QLineEdit*>();
            count->setText("4");
            QTest::keyClick(count, Qt::Key_Return);
        },
        [&] {
            Send(QEvent::MouseMove, Pixel(10, 10), Qt::NoButton, Qt::NoButton);
            Send(QEvent::MouseButtonPress, Pixel(10, 10), Qt::LeftButton, Qt::LeftButton);
            QWidget* box = Box();
            QMouseEvent release(QEvent::MouseButtonRelease, pointer, box->mapToGlobal(pointer), Qt::LeftButton,
                                Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(box, &release);
        });
    EXPECT_EQ(Program() + Plane(), left);

    A("MnuPatronenansehen")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([] { return FormPatrone && FormPatrone->firstActivation == 0; }));
    QPointer<QWidget> patrone(FormPatrone);
    QToolButton* width = FormPatrone->Zeichenfunktionen->Button("LinienStaerke_SpeedButton");
    ASSERT_NE(width, nullptr);
    CommandWhileDialogWaits(FormPatrone, "RAMDELETE", Escape, [&] { QTest::mouseClick(width, Qt::LeftButton); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return patrone.isNull(); }, 200));
}

// The main window's "Speichern unter" does not save the program that came in
// under the name meant for the one before; CLOSE while a list window's
// dialog waits ends the program with the answer dropped.
TEST_F(RemoteDuringDialogTest, SaveAsAndCloseWhileADialogWaits)
{
    const std::string other = TestHome() + "ANDERS." + F_ProgrammExtension();
    CommandWhileDialogWaits(
        form.get(), "RAMDELETE",
        ChooseFile(other),
        [&] { form->MnuSpeichernUnterClick(); });
    EXPECT_FALSE(fs::exists(other));

    P_ShowRustListe(0);
    auto* sheet = qobject_cast<TFormListe*>(FindForm("Ruestblatt"));
    ASSERT_NE(sheet, nullptr);
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    const std::string left = CommandWhileDialogWaits(sheet, "CLOSE", ChooseAndReturn, [&] {
        QTest::mouseDClick(DialogCell(*sheet, false), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    });
    EXPECT_EQ(Program() + Plane(), left);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }));
}

// The script editor's "Kopieren nach": the block of a script that RAMDELETE
// emptied meanwhile is not written.
TEST_F(RemoteDuringDialogTest, ScriptEditorWritesNoBlockOfAScriptThatWent)
{
    SetScriptSource(std::make_unique<EditorScriptSource>());
    A("MnuSkrelEditor")->trigger();
    TFormSkrelEditor* editor = FormSkrelEditor;
    ASSERT_NE(editor, nullptr);
    editor->LoadText(WriteTestFile(TestHome() + "x.Skx", "BEGIN\r\nEND;\r\n"));
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
    editor->SelectAll();
    const std::string block = TestHome() + "BLOCK.Skx";
    CommandWhileDialogWaits(
        editor, "RAMDELETE",
        ChooseFile(block),
        [&] { editor->SaveSelectionAs(); });
    EXPECT_FALSE(fs::exists(block));
    SetScriptSource(nullptr);
}

}  // namespace
