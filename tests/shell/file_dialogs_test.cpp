#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>

#include "kernel/model/globals.h"
#include "kernel/ui/file_dialog_start.h"
#include "tests/shell/main_window_fixture.h"
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
