#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "kernel/model/globals.h"
#include "kernel/ui/file_dialog_start.h"
#include "tests/shell/main_window_fixture.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

namespace {

using MainFileDialogs = MainWindowFixture;

QString Absolute(const std::string& path)
{
    return QDir(QString::fromStdString(path)).absolutePath();
}

TEST_F(MainFileDialogs, OpenAndSaveStartInTheProgramFolderThenTheLastOneUsed)
{
    QString seen;
    auto watch = [&](const QString& choose = QString()) {
        QTimer::singleShot(0, [&seen, choose] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen = QDir(dialog->directory()).absolutePath();
            if (choose.isEmpty())
                dialog->reject();
            else {
                // The script filter: a script only goes into the editor.
                if (dialog->nameFilters().size() > 1)
                    dialog->selectNameFilter(dialog->nameFilters().at(1));
                dialog->selectFile(choose);
                static_cast<QDialog*>(dialog)->accept();
            }
        });
    };
    watch();
    form->MnuOeffnenClick();
    EXPECT_EQ(seen, Absolute(ProgrammPfad));

    // A script chosen in another folder: the next dialogs open there.
    const std::string scripts = TestHome() + "Muster/";
    WriteTestFile(scripts + "ROCK.Skx", "{leer}\r\n");
    watch(QString::fromStdString(scripts + "ROCK.Skx"));
    form->MnuOeffnenClick();
    watch();
    form->MnuSpeichernUnterClick();
    EXPECT_EQ(seen, Absolute(scripts));
    watch();
    form->MnuOeffnenClick();
    EXPECT_EQ(seen, Absolute(scripts));
}

// "Speichern unter" with a name the file system cannot take: the dialog
// says so and stays open for another name (Qt's own stays open without a
// word). A Cyrillic letter counts its two bytes.
TEST_F(MainFileDialogs, SaveAsSaysANameIsTooLong)
{
    ScopedRecordingHost host;
    const QString cyrillic = QString::fromUtf8("й");
    const QStringList names = {QString(300, 'x'), QString(100, 'x') + cyrillic.repeated(100)};
    for (const QString& name : names) {
        bool stillOpen = false;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(edit, nullptr);
            edit->clear();
            // Typed letter by letter; QTest's own typing knows ASCII only.
            for (const QChar c : name)
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::keyClick(edit, Qt::Key_Return);
            stillOpen = dialog->isVisible();
            static_cast<QDialog*>(dialog)->reject();
        });
        host.host.calls.clear();
        form->MnuSpeichernUnterClick();
        EXPECT_TRUE(stillOpen);
        ASSERT_EQ(host.host.messages().size(), 1u);
        EXPECT_EQ(host.host.messages()[0].substr(0, 37), "Der Dateiname oder Pfad ist zu lang!\r");
    }
}

TEST(DialogStartFolder, NamedThenLastThenProgramFolder)
{
    const std::string named = TestHome() + "Eigen/";
    WriteTestFile(named + "x", "");
    EXPECT_EQ(DialogStartFolder(QString::fromStdString(named)), QString::fromStdString(named));
    // A named folder that is gone gives way.
    RememberDialogFile(QString::fromStdString(TestHome() + "Letzte/ROCK.8AS"));
    EXPECT_EQ(DialogStartFolder(QString::fromStdString(TestHome() + "weg/")), QString::fromStdString(ProgrammPfad));
    WriteTestFile(TestHome() + "Letzte/ROCK.8AS", "");
    EXPECT_EQ(DialogStartFolder(QString::fromStdString(TestHome() + "weg/")),
              QString::fromStdString(TestHome() + "Letzte"));
}

}  // namespace
