#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <string>

#include "kernel/language/language.h"
#include "kernel/ui/file_dialog_start.h"
#include "kernel/ui/language_menu.h"
#include "kernel/ui/qt_translation.h"
#include "kernel/ui/translate_form.h"
#include "tests/kernel_ui/ui_test_util.h"

namespace {

struct DialogTexts {
    QString accept;
    QString reject;
    QString fileName;
};

// What Qt's own open dialog shows on its buttons and beside the name field.
DialogTexts OpenDialogTexts()
{
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    auto* box = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
    if (!box || !label)
        return {};
    const auto* open = box->button(QDialogButtonBox::Open);
    const auto* cancel = box->button(QDialogButtonBox::Cancel);
    return {open ? open->text() : QString(), cancel ? cancel->text() : QString(), label->text()};
}

// Qt's translations place the accelerator marks as they like.
QString WithoutMarks(QString text)
{
    return text.remove(QLatin1Char('&'));
}

class QtTranslation : public testing::Test {
protected:
    void TearDown() override
    {
        DoneLanguage();
        InstallQtTranslation(kEnglish);
    }
    // Starts the program's language as the main window does.
    void start(const std::string& language)
    {
        settings.stored = language;
        InitLanguage(nullptr, nullptr, 0, &settings, nullptr, "DbLang.Txt", ' ');
    }
    TestLanguageSettings settings;
};

TEST_F(QtTranslation, FileDialogSpeaksTheProgramsLanguage)
{
    struct Case {
        const char* language;
        const char* accept;
        const char* reject;
        const char* fileName;
    };
    const Case cases[] = {
        {"Deutsch", "\xC3\x96" "ffnen", "Abbrechen", "Dateiname:"},
        {"Englisch", "&Open", "Cancel", "File &name:"},
        {"Franz\xC3\xB6sisch", "&Ouvrir", "Annuler", "&Nom de fichier :"},
        // Back to German after another language: one translation at a time.
        {"Deutsch", "\xC3\x96" "ffnen", "Abbrechen", "Dateiname:"},
    };
    for (const Case& c : cases) {
        start(c.language);
        const DialogTexts texts = OpenDialogTexts();
        EXPECT_EQ(WithoutMarks(texts.accept), WithoutMarks(c.accept)) << c.language;
        EXPECT_EQ(texts.reject, c.reject) << c.language;
        EXPECT_EQ(WithoutMarks(texts.fileName), WithoutMarks(c.fileName)) << c.language;
    }
}

TEST_F(QtTranslation, LanguagesMapToQtsTranslations)
{
    EXPECT_EQ(QtLocaleOfLanguage(2), "de");
    EXPECT_EQ(QtLocaleOfLanguage(3), "");
    EXPECT_EQ(QtLocaleOfLanguage(6), "pt_BR");
    EXPECT_EQ(QtLocaleOfLanguage(9), "ja");
    EXPECT_TRUE(InstallQtTranslation(2));
    EXPECT_FALSE(InstallQtTranslation(3));
    // Qt ships no Greek: its English stays rather than German left over.
    InstallQtTranslation(2);
    EXPECT_FALSE(InstallQtTranslation(8));
    EXPECT_EQ(OpenDialogTexts().reject, "Cancel");
}

// The short-cut key names in menus come from the phrase database, not from
// Qt's translation, whichever was installed last.
TEST_F(QtTranslation, KeyNamesStayThePhraseDatabases)
{
    WriteTestFile(TestHome() + "DbLang.Txt", "$:Strg\r\nG:Strg\r\nE:Ctrl\r\nF:Touche Ctrl\r\n");
    InstallKeyNameTranslator();
    start("Franz\xC3\xB6sisch");
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_S).toString(QKeySequence::NativeText), "Touche Ctrl+S");
    start("Deutsch");
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_S).toString(QKeySequence::NativeText), "Strg+S");
}

// German column texts are wider than Qt's default columns: the program's
// dialogs show them whole.
TEST_F(QtTranslation, FileDialogColumnsShowGermanTextsWhole)
{
    start("Deutsch");
    WriteTestFile(TestHome() + "Muster/ROCK.8AS", "");
    QFileDialog dialog(nullptr, QString(), QString::fromStdString(TestHome()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    FitFileDialogColumns(dialog);
    dialog.show();
    auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(details, nullptr);
    const int folderType = details->fontMetrics().horizontalAdvance(QStringLiteral("Verzeichnis"));
    const int dateHead = details->fontMetrics().horizontalAdvance(QStringLiteral("\u00c4nderungsdatum"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return details->header()->sectionSize(2) > folderType; }))
        << details->header()->sectionSize(2) << " for " << folderType;
    EXPECT_GT(details->header()->sectionSize(3), dateHead);
    // No column pushed out of sight: the name column gives way.
    const QHeaderView* header = details->header();
    EXPECT_LE(header->sectionPosition(3) + header->sectionSize(3), details->viewport()->width());
    EXPECT_GT(header->sectionSize(0), details->fontMetrics().horizontalAdvance(QStringLiteral("ROCK.8AS")));
}

}  // namespace
