// The file-bound editor window: binding, saving, failed saves, the two-key
// commands and the dialogs, driven offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <sys/stat.h>

#include "picture/mal_status_bar.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"
#include "textedit/find_replace_dialog.h"
#include "textedit/form_text_edit.h"
#include "textedit/form_text_edit_skrel.h"

namespace {

uint64_t InodeOf(const std::string& path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_ino) : 0;
}

struct Editor {
    TFormTextEdit form;
    std::string dir = TestHome() + "DIR/";
    std::string file = dir + "t.txt";

    explicit Editor(const std::string& bytes = "A\r\nB\r\n")
    {
        WriteTestFile(file, bytes);
        form.resize(500, 300);
        form.SetBoundFile(file);
        form.SetFileBound(true);
        form.show();
        QApplication::processEvents();
    }
    void Send(QEvent::Type type)
    {
        QEvent e(type);
        QApplication::sendEvent(&form, &e);
    }
    void Activate() { Send(QEvent::WindowActivate); }
    void Deactivate() { Send(QEvent::WindowDeactivate); }
    void Type(const QString& text)
    {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(&form, &press);
        }
    }
    std::vector<std::string> Lines() { return form.Lines().Lines(); }
    QString Panel(int i) const { return form.StatusBar->StatusText(i); }
};

TEST(TextEditor, SavesOnDeactivationAndEveryTick)
{
    Editor e;
    e.form.SetTextCursor(1, 0);
    e.Type("Z");
    e.Deactivate();
    EXPECT_EQ(ReadTestFile(e.file), "ZA\r\nB\r\n");
    EXPECT_EQ(e.Panel(2), "");

    // Unchanged, it is written all the same: a new file takes the old one's place.
    const uint64_t inode = InodeOf(e.file);
    e.Deactivate();
    EXPECT_EQ(ReadTestFile(e.file), "ZA\r\nB\r\n");
    EXPECT_NE(InodeOf(e.file), inode);

    e.form.SetAutoSaveSeconds(2);
    EXPECT_TRUE(e.form.TimerAutoSave->isActive());
    EXPECT_EQ(e.form.TimerAutoSave->interval(), 2000);
    // The tick saves whatever the file binding and the visibility say.
    e.form.hide();
    e.form.SetFileBound(false);
    e.form.Lines().Put(1, "Y");
    e.form.TimerAutoSaveTimer();
    EXPECT_EQ(ReadTestFile(e.file), "ZA\r\nY\r\n");
    e.form.SetAutoSaveSeconds(0);
    EXPECT_FALSE(e.form.TimerAutoSave->isActive());
}

TEST(TextEditor, ReloadsOnlyWhatChangedBehindItsBack)
{
    Editor e;
    e.Deactivate();
    // Replace all while inactive (the dialog has the focus): the text stays.
    e.form.ShowReplaceDialog();
    e.form.ReplaceDialog->EditFind->setText("B");
    e.form.ReplaceDialog->EditReplace->setText("C");
    QTest::mouseClick(e.form.ReplaceDialog->ButtonReplaceAll, Qt::LeftButton);
    e.form.ReplaceDialog->hide();
    e.Activate();
    EXPECT_EQ(e.Lines(), (std::vector<std::string>{"A", "C"}));

    ASSERT_EQ(RunCommand("python3 -c \"open('" + e.file + "', 'wb').write(b'Q\\r\\nR\\r\\n')\""), 0);
    e.Activate();
    EXPECT_EQ(e.Lines(), (std::vector<std::string>{"Q", "R"}));

    std::filesystem::remove(e.file);
    e.Activate();
    ASSERT_EQ(e.form.Lines().Count(), 1);
    EXPECT_TRUE(IsBlankLine(e.Lines()[0]));

    // A file loaded into the hidden editor goes to the bound file at once.
    e.form.hide();
    const std::string other = WriteTestFile(TestHome() + "other.txt", "x\ny\rz");
    ASSERT_TRUE(e.form.LoadText(other));
    T_MyStringList reference;
    ASSERT_EQ(reference.LoadFromFile(other), 0);
    EXPECT_EQ(ReadTestFile(e.file), reference.Text());
    e.form.show();
    EXPECT_EQ(e.Lines(), (std::vector<std::string>{"x", "y", "z"}));
    EXPECT_FALSE(e.form.LoadText(TestHome() + "none.txt"));
}

TEST(TextEditor, FailedSaveWarnsOnceAndKeepsTheText)
{
    ScopedRecordingHost recording;
    Editor e;
    e.form.SetTextCursor(1, 0);
    e.Type("Z");
    std::filesystem::remove_all(e.dir);
    e.Deactivate();
    for (int tick = 0; tick < 3; ++tick)
        e.form.TimerAutoSaveTimer();
    EXPECT_EQ(recording.host.messages(), (std::vector<std::string>{e.file + "\r\nDatei nicht gefunden!"}));
    EXPECT_EQ(e.Panel(2), "Geändert");
    e.Activate();
    EXPECT_EQ(e.Lines(), (std::vector<std::string>{"ZA", "B"}));

    std::filesystem::create_directories(e.dir);
    e.form.TimerAutoSaveTimer();
    EXPECT_EQ(ReadTestFile(e.file), "ZA\r\nB\r\n");
    EXPECT_EQ(e.Panel(2), "");
    EXPECT_FALSE(e.form.SaveFailing());
}

TEST(TextEditor, ReadOnlyFileIsNotReplacedBySaves)
{
    ScopedRecordingHost recording;
    Editor e;
    e.form.SetTextCursor(1, 0);
    e.Type("Z");
    std::filesystem::permissions(e.file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    e.Deactivate();
    for (int tick = 0; tick < 3; ++tick)
        e.form.TimerAutoSaveTimer();
    EXPECT_EQ(recording.host.messages(), (std::vector<std::string>{e.file + "\r\nZugriff verweigert!"}));
    EXPECT_EQ(ReadTestFile(e.file), "A\r\nB\r\n");
    EXPECT_EQ(e.Panel(2), "Geändert");
    EXPECT_TRUE(e.form.SaveFailing());
    std::filesystem::permissions(e.file, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
}

TEST(TextEditor, UnsavedTextIsWrittenWhenTheWindowGoes)
{
    const std::string file = TestHome() + "end.txt";
    {
        Editor e;
        e.form.SetBoundFile(file);
        e.form.SetTextCursor(1, 0);
        e.Type("W");
    }
    EXPECT_EQ(ReadTestFile(file), "WA\r\nB\r\n");
}

TEST(TextEditor, PrefixKeysOpenTheFindDialogUntilAnotherKey)
{
    Editor e;
    e.form.activateWindow();
    e.form.setFocus();
    QTest::keyClick(&e.form, Qt::Key_Q, Qt::ControlModifier);
    QTest::keyClick(&e.form, Qt::Key_F);
    ASSERT_NE(e.form.FindDialog, nullptr);
    EXPECT_TRUE(e.form.FindDialog->isVisible());
    EXPECT_EQ(e.form.FindDialog->windowTitle(), "Suchen");
    EXPECT_TRUE(e.form.FindDialog->CheckMatchCase->isChecked());
    e.form.FindDialog->hide();
    QTest::keyClick(&e.form, Qt::Key_F);
    EXPECT_TRUE(e.form.FindDialog->isVisible());
    e.form.FindDialog->hide();
    QTest::keyClick(&e.form, Qt::Key_Left);
    QTest::keyClick(&e.form, Qt::Key_F);
    EXPECT_FALSE(e.form.FindDialog->isVisible());
    EXPECT_EQ(e.Lines()[0], "fA");

    // Ctrl+K H hides the block and is used up: nothing is typed or deleted.
    e.form.SelectAll();
    QTest::keyClick(&e.form, Qt::Key_K, Qt::ControlModifier);
    QTest::keyClick(&e.form, Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(e.Lines(), (std::vector<std::string>{"fA", "B"}));
    EXPECT_FALSE(e.form.Core().Selection().active);
    EXPECT_TRUE(e.form.Core().Selection().present);
}

TEST(TextEditor, FindDialogFindsAndKeepsTheCaretDrawn)
{
    Editor e("ABC x\r\nabc\r\n");
    e.form.ShowFindDialog();
    EXPECT_FALSE(e.form.CaretTimer->isActive());
    EXPECT_TRUE(e.form.CaretPhase());
    e.form.FindDialog->EditFind->setText("abc");
    QTest::mouseClick(e.form.FindDialog->ButtonFindNext, Qt::LeftButton);
    EXPECT_EQ(e.form.Core().CursorText(), "4:2");
    e.form.FindDialog->CheckMatchCase->setChecked(false);
    e.form.SetTextCursor(1, 0);
    QTest::mouseClick(e.form.FindDialog->ButtonFindNext, Qt::LeftButton);
    EXPECT_EQ(e.form.Core().CursorText(), "4:1");
}

struct Asked {
    std::vector<FileDialogRequest> requests;
    std::vector<FileDialogAnswer> answers;
    std::function<FileDialogAnswer(const FileDialogRequest&)> Provider()
    {
        return [this](const FileDialogRequest& r) {
            requests.push_back(r);
            FileDialogAnswer a = answers.empty() ? FileDialogAnswer{} : answers.front();
            if (!answers.empty())
                answers.erase(answers.begin());
            return a;
        };
    }
};

TEST(TextEditor, BlockDialogsAskAndRemember)
{
    ScopedRecordingHost recording;
    Editor e;
    Asked asked;
    e.form.askFile = asked.Provider();
    const QString sub = QString::fromStdString(TestHome() + "sub/");
    std::filesystem::create_directories(sub.toStdString());
    asked.answers = {{sub + "block.txt", 2}, {QString::fromStdString(TestHome() + "no/x.txt"), 1}};

    e.form.SaveSelectionAs();  // no block: no dialog
    EXPECT_TRUE(asked.requests.empty());
    e.form.SelectAll();
    e.form.SaveSelectionAs();
    ASSERT_EQ(asked.requests.size(), 1u);
    const FileDialogRequest& r = asked.requests[0];
    EXPECT_TRUE(r.save);
    EXPECT_EQ(r.title, "Speichern unter");
    EXPECT_EQ(r.suffix, "TXT");
    EXPECT_EQ(r.filters, (QStringList{"Textdateien (*.Txt)", "Alle Dateien (*)"}));
    EXPECT_EQ(r.index, 1);
    EXPECT_EQ(r.folder.toStdString(), QDir::homePath().toStdString());
    EXPECT_EQ(ReadTestFile(sub.toStdString() + "block.txt"), "A\r\nB");

    const T_OpenSaveVar& v = e.form.OpenSaveVar();
    EXPECT_EQ(v.DefaultExt, ".TXT");
    EXPECT_EQ(v.Filter, "Textdateien (*.Txt)|*.Txt|Alle Dateien (*.*)|*.*|");
    EXPECT_EQ(v.SaveOptions, 4230u);
    EXPECT_EQ(v.OpenOptions, 900u);

    // The next dialog opens where the last ended; a failed write warns.
    e.form.SaveSelectionAs();
    ASSERT_EQ(asked.requests.size(), 2u);
    EXPECT_EQ(asked.requests[1].folder, sub);
    EXPECT_EQ(asked.requests[1].index, 2);
    EXPECT_EQ(recording.host.messages(),
              (std::vector<std::string>{TestHome() + "no/x.txt\r\nDatei nicht gefunden!"}));

    TFormTextEditSkrel script;
    Asked scriptAsked;
    script.askFile = scriptAsked.Provider();
    script.SelectAll();
    script.SaveSelectionAs();
    ASSERT_EQ(scriptAsked.requests.size(), 1u);
    EXPECT_EQ(scriptAsked.requests[0].suffix, "Skx");
    EXPECT_EQ(scriptAsked.requests[0].index, 3);
    EXPECT_EQ(scriptAsked.requests[0].filters.value(2), "Skrel-Script (*.Skx)");
}

TEST(TextEditor, InsertedFileBecomesTheBlock)
{
    ScopedRecordingHost recording;
    Editor e("xy\r\nq\r\n");
    Asked asked;
    e.form.askFile = asked.Provider();
    const std::string lf = WriteTestFile(TestHome() + "lf.txt", "a\nb\n");
    asked.answers = {{QString::fromStdString(lf), 1}, {QString::fromStdString(TestHome() + "none.txt"), 1}};
    e.form.SetTextCursor(1, 0);
    e.form.InsertFileAtCursor();
    EXPECT_FALSE(asked.requests.at(0).save);
    EXPECT_EQ(asked.requests.at(0).title, "Öffnen");
    EXPECT_EQ(e.Lines(), (std::vector<std::string>{"a", "b", "xy", "q"}));
    e.form.InsertFileAtCursor();
    EXPECT_EQ(recording.host.messages(), (std::vector<std::string>{TestHome() + "none.txt\r\nDatei nicht gefunden!"}));
    EXPECT_EQ(e.Lines(), (std::vector<std::string>{"a", "b", "xy", "q"}));
}

// A pipe or a device chosen as the file to insert is told at once and
// changes nothing.
TEST(TextEditor, InsertingWhatIsNoFileIsRefused)
{
    const std::string fifo = NoFilePaths("pipe.txt")[0];
    for (const std::string& name : {fifo, std::string("/dev/zero")}) {
        ScopedRecordingHost recording;
        Editor e("xy\r\n");
        Asked asked;
        e.form.askFile = asked.Provider();
        asked.answers = {{QString::fromStdString(name), 1}};
        const std::vector<std::string> before = e.Lines();
        e.form.InsertFileAtCursor();
        EXPECT_EQ(recording.host.messages(), (std::vector<std::string>{name + "\r\nDatei nicht gefunden!"})) << name;
        EXPECT_EQ(e.Lines(), before) << name;
    }
}

// Return finds the next, as the default button does, from wherever the
// focus is in the dialog; Esc closes it.
TEST(FindReplaceDialog, ReturnFindsNextAndEscCloses)
{
    FindReplaceDialog dialog(FindReplaceDialog::Kind::Replace, nullptr);
    int found = 0, replaced = 0, closed = 0;
    QObject::connect(&dialog, &FindReplaceDialog::findNext, [&] { ++found; });
    QObject::connect(&dialog, &FindReplaceDialog::replaceOne, [&] { ++replaced; });
    QObject::connect(&dialog, &FindReplaceDialog::closed, [&] { ++closed; });
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QWidget* const fields[] = {dialog.EditFind, dialog.EditReplace, dialog.CheckMatchCase};
    for (QWidget* field : fields) {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
    }
    EXPECT_EQ(found, 3);
    EXPECT_EQ(replaced, 0);
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(dialog.EditFind, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(closed, 1);
}

} // namespace
