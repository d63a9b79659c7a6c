#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QWidgetAction>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "kernel/language/language.h"
#include "kernel/ui/flag_pictures.h"
#include "kernel/ui/lan_dialogs.h"
#include "kernel/ui/language_menu.h"
#include "kernel/ui/modul_dde_hndl.h"
#include "kernel/ui/qt_kernel_host.h"
#include "kernel/ui/qt_translation.h"
#include "kernel/ui/sprach_menu.h"
#include "platform/registry_ini_file.h"
#include "tests/kernel_ui/ui_test_util.h"
#include "tests/support/dde_partner.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

namespace {

const char* const Message = "Zur Sprach\xC3\xA4nderung wird das Programm neu gestartet!";
const char* const MessageEnglish = "The program restarts to change the language!";
const char* const MessageItalian = "Il programma si riavvia per cambiare la lingua!";

// The phrase database: the restart message in English and Italian.
void WritePhrases()
{
    WriteTestFile(TestHome() + "DbLang.Txt",
                  "$:Zur Sprach\xE4nderung wird das Programm neu gestartet!\r\n"
                  "G:Zur Sprach\xE4nderung wird das Programm neu gestartet!\r\n"
                  "E:The program restarts to change the language!\r\n"
                  "I:Il programma si riavvia per cambiare la lingua!\r\n"
                  "S:\r\nP:\r\nF:\r\nH:\r\nJ:\r\n");
}

class SettingsModule : public TModulDdeHndl {
public:
    SettingsModule() : TModulDdeHndl(nullptr, "Zorit") {}
    void P_DdeBefehlEmpfangen(const std::string&) override {}
};

std::string StoredLanguage()
{
    return RegistryIniFile().ReadString("System", "Language", "<none>");
}

// The main window with its settings menu of two entries.
class LanguageMenu : public testing::Test {
protected:
    void SetUp() override
    {
        WritePhrases();
        form = std::make_unique<QMainWindow>();
        form->setObjectName(QStringLiteral("FormMain"));
        settings = form->menuBar()->addMenu(QStringLiteral("Einstellungen"));
        settings->menuAction()->setObjectName(QStringLiteral("MnuEinstellungen1"));
        settings->addAction(QStringLiteral("Farben"));
        settings->addAction(QStringLiteral("Pfade"));
        // Start in English with an empty store: the system language would
        // otherwise be taken.
        RegistryIniFile().WriteString("System", "Language", "Englisch");
    }
    void TearDown() override
    {
        DoneLanguage();
        form.reset();
        setKernelHost(nullptr);
    }

    void start(LanguageSettings* with = nullptr)
    {
        InitLanguage(form.get(), settings, 1, with, [this](const std::string& letter) { restarts.push_back(letter); },
                     "DbLang.Txt", ' ');
        ASSERT_NE(SprachMenu(), nullptr);
    }

    QWidgetAction* item(int index) { return form->findChild<QWidgetAction*>(QStringLiteral("MnuSprache%1").arg(index)); }

    std::unique_ptr<QMainWindow> form;
    QMenu* settings = nullptr;
    std::vector<std::string> restarts;
};

}  // namespace

TEST_F(LanguageMenu, BuiltIntoTheSettingsMenu)
{
    SettingsModule module;
    start(&module);
    const QList<QAction*> entries = settings->actions();
    ASSERT_EQ(entries.size(), 3);
    QAction* head = entries[1];
    EXPECT_EQ(head->objectName(), "MnuSpracheB");
    EXPECT_EQ(head->text(), "Sprache");
    EXPECT_EQ(head->toolTip(), "Sprache");
    EXPECT_EQ(head->statusTip(), "Sprache");
    EXPECT_EQ(head->property("Tag").toInt(), 0);
    EXPECT_FALSE(head->icon().isNull());
    ASSERT_NE(head->menu(), nullptr);
    EXPECT_EQ(head->menu(), SprachMenu()->menu());

    const QList<QAction*> languages = head->menu()->actions();
    ASSERT_EQ(languages.size(), 8);
    const char* names[] = {"Deutsch", "Englisch", "Italienisch", "Spanisch", "Portugiesisch",
                           "Franz\xC3\xB6sisch", "Griechisch", "Japanisch"};
    for (int i = 2; i <= 9; ++i) {
        auto* entry = qobject_cast<QWidgetAction*>(languages[i - 2]);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->objectName(), QStringLiteral("MnuSprache%1").arg(i));
        EXPECT_EQ(entry->property("Tag").toInt(), 10000 + i);
        EXPECT_EQ(entry->text(), QString::fromUtf8(names[i - 2]));
        EXPECT_EQ(entry->toolTip(), QString::fromUtf8(names[i - 2]));
        EXPECT_EQ(entry->statusTip(), QString::fromUtf8(names[i - 2]));
        EXPECT_TRUE(entry->isCheckable());
        // The Portuguese entry exists but is never visible.
        EXPECT_EQ(entry->isVisible(), i != 6) << i;
        ASSERT_NE(entry->defaultWidget(), nullptr);
        EXPECT_EQ(entry->defaultWidget()->sizeHint(), QSize(60, 26)) << i;
        EXPECT_EQ(entry, item(i));
        EXPECT_EQ(entry, SprachMenu()->item(i));
    }
}

TEST_F(LanguageMenu, InsertedAtTheIndexOrAppended)
{
    QMenu one;
    one.addAction(QStringLiteral("Farben"));
    InitLanguage(form.get(), &one, 1, nullptr, nullptr, "DbLang.Txt", ' ');
    ASSERT_EQ(one.actions().size(), 2);
    EXPECT_EQ(one.actions()[1]->objectName(), "MnuSpracheB");

    QMenu none;
    InitLanguage(form.get(), &none, 1, nullptr, nullptr, "DbLang.Txt", ' ');
    ASSERT_EQ(none.actions().size(), 1);
    EXPECT_EQ(none.actions()[0]->objectName(), "MnuSpracheB");
    // One menu at a time: the earlier one is gone.
    EXPECT_EQ(one.actions().size(), 1);
    EXPECT_EQ(form->findChildren<QWidgetAction*>().size(), 8);
}

TEST_F(LanguageMenu, OpeningChecksTheCurrentLanguage)
{
    RegistryIniFile().WriteString("System", "Language", "Griechisch");
    SettingsModule module;
    start(&module);
    ASSERT_EQ(CurrentLanguage, 8);
    QMenu* menu = SprachMenu()->menu();
    menu->popup(QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    for (int i = 2; i <= 9; ++i)
        EXPECT_EQ(item(i)->isChecked(), i == 8) << i;
    menu->hide();

    CurrentLanguage = 4;
    emit menu->aboutToShow();
    for (int i = 2; i <= 9; ++i)
        EXPECT_EQ(item(i)->isChecked(), i == 4) << i;
}

TEST_F(LanguageMenu, ChoosingALanguageStoresItAndRestarts)
{
    ScopedRecordingHost recording;
    SettingsModule module;
    start(&module);
    ASSERT_EQ(CurrentLanguage, 3);

    item(7)->trigger();
    ASSERT_EQ(recording.host.messages(), std::vector<std::string>{MessageEnglish});
    EXPECT_EQ(recording.host.calls[0].kind, MsgKind::Custom);
    EXPECT_EQ(recording.host.calls[0].buttons, MsgButtons({MsgButton::OK}));
    EXPECT_EQ(StoredLanguage(), "Franz\xC3\xB6sisch");
    EXPECT_EQ(restarts, std::vector<std::string>{"F"});
    EXPECT_EQ(CurrentLanguage, 7);
    // Qt's own dialogs follow at once.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annuler");
    InstallQtTranslation(kEnglish);
}

TEST_F(LanguageMenu, ChoosingTheCurrentLanguageStillRestarts)
{
    ScopedRecordingHost recording;
    SettingsModule module;
    start(&module);
    ASSERT_EQ(CurrentLanguage, 3);
    RegistryIniFile().DeleteValue("System", "Language");
    item(3)->trigger();
    EXPECT_EQ(recording.host.messages(), std::vector<std::string>{MessageEnglish});
    EXPECT_EQ(StoredLanguage(), "Englisch");
    EXPECT_EQ(restarts, std::vector<std::string>{"E"});
    EXPECT_EQ(CurrentLanguage, 3);
}

TEST_F(LanguageMenu, ChoiceThatCannotBeStoredIsToldAndKeepsTheProgram)
{
    ScopedRecordingHost recording;
    SettingsModule module;
    start(&module);
    ASSERT_EQ(CurrentLanguage, 3);
    // A folder in the place of the file: unwritable even for root.
    const std::string registry = RegistryIniFile::DefaultPath();
    std::filesystem::remove(registry);
    std::filesystem::create_directory(registry);

    item(7)->trigger();
    ASSERT_EQ(recording.host.calls.size(), 2u);
    EXPECT_EQ(recording.host.calls[0].text, MessageEnglish);
    EXPECT_EQ(recording.host.calls[1].text, "Unbekannter Fehler am Laufwerk!");
    EXPECT_EQ(recording.host.calls[1].kind, MsgKind::Warning);
    EXPECT_EQ(recording.host.calls[1].buttons, MsgButtons({MsgButton::Cancel}));
    EXPECT_TRUE(restarts.empty());
    // The program goes on in its language; the menu still checks that one.
    EXPECT_EQ(CurrentLanguage, 3);
}

TEST_F(LanguageMenu, WithoutSettingsNothingIsStored)
{
    ScopedRecordingHost recording;
    RegistryIniFile().DeleteValue("System", "Language");
    start(nullptr);
    item(2)->trigger();
    EXPECT_EQ(recording.host.messages().size(), 1u);
    EXPECT_EQ(StoredLanguage(), "<none>");
    EXPECT_EQ(restarts, std::vector<std::string>{"G"});
    EXPECT_EQ(CurrentLanguage, 2);

    // Without a restart callback the choice still takes.
    InitLanguage(form.get(), settings, 1, nullptr, nullptr, "DbLang.Txt", ' ');
    item(9)->trigger();
    EXPECT_EQ(CurrentLanguage, 9);
    EXPECT_EQ(restarts.size(), 1u);
}

TEST_F(LanguageMenu, TagOutsideTheLanguagesGivesEnglish)
{
    EXPECT_EQ(T_SprachMenu::LanguageIndexOfTag(10002), 2);
    EXPECT_EQ(T_SprachMenu::LanguageIndexOfTag(10009), 9);
    for (int tag : {0, 10000, 10001, 10010, 19999, -10005, 9})
        EXPECT_EQ(T_SprachMenu::LanguageIndexOfTag(tag), tag == 9 ? 9 : 3) << tag;
    EXPECT_EQ(T_SprachMenu::FlagIndexOfTag(10010), 9);
    EXPECT_EQ(T_SprachMenu::FlagIndexOfTag(10019), 9);
    EXPECT_EQ(T_SprachMenu::FlagIndexOfTag(10001), 2);

    ScopedRecordingHost recording;
    SettingsModule module;
    start(&module);
    item(5)->setProperty("Tag", 10010);
    item(5)->trigger();
    EXPECT_EQ(CurrentLanguage, 3);
    EXPECT_EQ(StoredLanguage(), "Englisch");
    EXPECT_EQ(restarts, std::vector<std::string>{"E"});
}

TEST_F(LanguageMenu, StoredLanguageChoosesThePhrases)
{
    RegistryIniFile().WriteString("System", "Language", "Italienisch");
    SettingsModule module;
    start(&module);
    EXPECT_EQ(CurrentLanguage, 4);
    EXPECT_EQ(F_TRANS(Message), MessageItalian);

    ScopedRecordingHost recording;
    item(3)->trigger();
    EXPECT_EQ(recording.host.messages(), std::vector<std::string>{MessageItalian});
    EXPECT_EQ(StoredLanguage(), "Englisch");
}

TEST_F(LanguageMenu, MouseAndKeysReachTheEntries)
{
    ScopedRecordingHost recording;
    start(nullptr);
    form->show();
    QMenu* menu = SprachMenu()->menu();

    menu->popup(QPoint(20, 20));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QWidget* flag = item(7)->defaultWidget();
    ASSERT_TRUE(flag->isVisible());
    QTest::mouseClick(flag, Qt::LeftButton, Qt::NoModifier, QPoint(30, 10));
    EXPECT_EQ(restarts, std::vector<std::string>{"F"});
    EXPECT_FALSE(menu->isVisible()) << "the click closes the menu";

    // Down goes to the first entry, Down again to the next; Portuguese is
    // skipped on the way, being invisible.
    menu->popup(QPoint(20, 20));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QTest::keyClick(menu, Qt::Key_Down);
    EXPECT_EQ(menu->activeAction(), item(2));
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(menu, Qt::Key_Down);
    EXPECT_EQ(menu->activeAction(), item(7));
    QTest::keyClick(menu, Qt::Key_Up);
    EXPECT_EQ(menu->activeAction(), item(5));
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_EQ(restarts, (std::vector<std::string>{"F", "S"}));
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(CurrentLanguage, 5);
}

TEST_F(LanguageMenu, EntriesShowOnlyTheirFlag)
{
    start(nullptr);
    CurrentLanguage = 8;
    SprachMenu()->OpenHandler();
    for (int i : {2, 8}) {
        QWidget* widget = item(i)->defaultWidget();
        widget->resize(widget->sizeHint());
        const QImage shot = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage flag = SprachMenu()->flag(i).toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(flag.size(), QSize(24, 16));
        EXPECT_EQ(shot.copy(20, 5, 24, 16), flag) << i;
        const QRgb background = shot.pixel(59, 25);
        // Right of the flag nothing is drawn: no caption.
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 45; x < 60; ++x)
                ASSERT_EQ(shot.pixel(x, y), background) << i << " " << x << "," << y;
    }
}

TEST_F(LanguageMenu, PicturesAreOurOwn)
{
    std::vector<QImage> flags;
    for (const char* name : {"FLAGGE_G", "FLAGGE_E", "FLAGGE_I", "FLAGGE_S", "FLAGGE_P", "FLAGGE_F", "FLAGGE_H",
                             "FLAGGE_J"}) {
        const QPixmap picture = ResourcePicture(name);
        ASSERT_EQ(picture.size(), QSize(24, 16)) << name;
        flags.push_back(picture.toImage());
    }
    for (std::size_t a = 0; a < flags.size(); ++a)
        for (std::size_t b = a + 1; b < flags.size(); ++b)
            EXPECT_NE(flags[a], flags[b]) << a << " " << b;
    const QImage symbol = ResourcePicture("SPRACHE").toImage();
    ASSERT_EQ(symbol.size(), QSize(16, 16));
    EXPECT_EQ(qAlpha(symbol.pixel(0, 15)), 0) << "drawn transparent";
    EXPECT_TRUE(ResourcePicture("FLAGGE_X").isNull());
    EXPECT_TRUE(ResourcePicture("NICHTS").isNull());
}

TEST_F(LanguageMenu, DoneLanguageFreesTheMenu)
{
    start(nullptr);
    DoneLanguage();
    EXPECT_EQ(SprachMenu(), nullptr);
    EXPECT_EQ(settings->actions().size(), 2);
    EXPECT_TRUE(form->findChildren<QWidgetAction*>().isEmpty());

    // A form that goes first takes its entries along; the menu then frees
    // nothing twice.
    start(nullptr);
    form.reset();
    DoneLanguage();
    EXPECT_EQ(SprachMenu(), nullptr);
}

TEST_F(LanguageMenu, MessageGoesThroughTheTranslatedDialog)
{
    QtKernelHost host;
    setKernelHost(&host);
    start(nullptr);
    std::string title, text;
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<TMessageForm*>(w);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle().toStdString();
        text = dialog->MessageLabel()->text().toStdString();
        EXPECT_NE(dialog->findChild<QWidget*>(QStringLiteral("OK")), nullptr);
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    item(7)->trigger();
    EXPECT_EQ(text, MessageEnglish);
    EXPECT_EQ(title, QGuiApplication::applicationDisplayName().toStdString());
    EXPECT_EQ(restarts, std::vector<std::string>{"F"});
}

namespace {

// Pixels of the strip left of the flag that stand out from the strip's
// background as a dark mark on a light ground does. The strip's outer
// pixels are left out: a menu may draw its frame over them.
int ContrastingMarkPixels(const QImage& entry)
{
    const int background = qGray(entry.pixel(2, 2));
    int count = 0;
    for (int y = 2; y < entry.height() - 2; ++y)
        for (int x = 2; x < 18; ++x)
            count += std::abs(qGray(entry.pixel(x, y)) - background) >= 96;
    return count;
}

}  // namespace

TEST_F(LanguageMenu, CheckMarkStandsOutInEveryStyle)
{
    start(nullptr);
    CurrentLanguage = 8;
    form->show();
    const QString savedStyle = QApplication::style()->name();
    QMenu* menu = SprachMenu()->menu();
    for (const char* styleName : {"Fusion", "Windows"}) {
        QApplication::setStyle(styleName);
        for (bool highlighted : {false, true}) {
            menu->popup(QPoint(20, 20));
            ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
            // Down six times: the entries before Greek, Portuguese skipped.
            for (int i = 0; highlighted && i < 6; ++i)
                QTest::keyClick(menu, Qt::Key_Down);
            ASSERT_EQ(menu->activeAction() == item(8), highlighted);
            const QImage shot = menu->grab().toImage().convertToFormat(QImage::Format_RGB32);
            if (const char* dir = std::getenv("ZORIT_SHOT_DIR"))
                shot.scaled(shot.size() * 4).save(QStringLiteral("%1/language-menu-%2-%3.png")
                              .arg(dir, styleName, highlighted ? "highlighted" : "plain"));
            for (int i : {7, 8}) {
                const QImage entry = shot.copy(menu->actionGeometry(item(i)));
                const int marked = ContrastingMarkPixels(entry);
                if (i == 8)
                    EXPECT_GE(marked, 12) << styleName << " highlighted " << highlighted;
                else
                    EXPECT_EQ(marked, 0) << styleName << " highlighted " << highlighted;
            }
            menu->hide();
        }
    }
    QApplication::setStyle(savedStyle);
}
