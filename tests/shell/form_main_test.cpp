// The main window as a user meets it: menus, shortcuts, panels, the working
// level, the machine model, windows closed with a program, busy jobs.
// Before any Qt header: the work record has a member that Qt's "slots"
// keyword would swallow.
#include "kernel/model/workrecord.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QElapsedTimer>
#include <QToolBar>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

#include "kernel/dispatch/busystate.h"
#include "kernel/dispatch/kernel_host.h"
#include "kernel/model/family_data.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/services/debuglog.h"
#include "platform/safe_file.h"
#include "kernel/ui/forms.h"
#include "kernel/ui/qt_kernel_host.h"
#include "kernel/ui/program_actions.h"
#include "lists/core/list_editor_core.h"
#include "lists/form_liste.h"
#include "lists/form_rustliste.h"
#include "shell/dde_hndl_zorit.h"
#include "shell/edit_separators.h"
#include "shell/form_main.h"
#include "shell/image_lists.h"
#include "shell/program_windows.h"
#include "shell/signal_end.h"
#include "shell/zorit_application.h"
#include "tests/shell/main_window_fixture.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

namespace {
using FormMainTest = MainWindowFixture;

// A stand-in for a program window of the given role.
QWidget* FakeForm(const char* name, FormRole role)
{
    auto* w = new QWidget(nullptr, Qt::Window);
    w->setObjectName(name);
    RegisterForm(w, role);
    w->show();
    return w;
}
}  // namespace

TEST_F(FormMainTest, ShortcutsAreUniqueAndTheLaterWindowsItemsWait)
{
    std::map<QString, QString> owner;
    for (QAction* a : form->findChildren<QAction*>()) {
        if (a->shortcut().isEmpty())
            continue;
        const QString key = a->shortcut().toString();
        EXPECT_EQ(owner.count(key), 0u) << key.toStdString() << " on " << a->objectName().toStdString() << " and "
                                        << owner[key].toStdString();
        owner[key] = a->objectName();
        EXPECT_EQ(a->shortcutContext(), Qt::ApplicationShortcut);
    }
    EXPECT_EQ(owner[QKeySequence(Qt::CTRL | Qt::Key_F6).toString()], "MnuFFPosition");
    EXPECT_TRUE(A("MnuRuestblatt")->shortcut().isEmpty());

    for (const char* name : {"ToolButtonRueckgaengig", "ToolButtonAusschneiden", "ToolButtonKopieren",
                             "ToolButtonEinfuegen", "ToolButtonLoeschen", "MnuRueckgaengig", "MnuSuchen"})
        EXPECT_FALSE(A(name)->isEnabled()) << name;
    for (const char* name : {"MnuGTest", "MnuPTest", "MnuExportSkrel", "ToolButtonExportSkrel", "MnuNeu",
                             "ToolButtonNeu", "MnuReadRamCopy", "MnuArbeitsebeneumschalten", "MnuOeffnen", "MnuSpeichern", "MnuSpeichernunter", "ToolButtonOeffnen", "ToolButtonSpeichern"})
        EXPECT_TRUE(A(name)->isEnabled()) << name;
    for (int n = 1; n <= 4; ++n)
        EXPECT_FALSE(A(qPrintable(QString("MnuLoadFile%1").arg(n)))->isVisible());
    // Unregistered siblings cannot be started.
    EXPECT_FALSE(A("MnuZorak")->isEnabled());
    EXPECT_FALSE(A("MnuZoril")->isEnabled());
    EXPECT_EQ(A("ToolButtonarbeitsEbene")->property("Tag").toInt(), 31);
    EXPECT_EQ(A("MnuKopieren")->property("Tag").toInt(), 3);
    EXPECT_EQ(A("MnuExportSkrel")->text(), "&Export Pelsavo");
}

TEST_F(FormMainTest, PanelsShowTheHeaderLevelAndStatus)
{
    ProgrammKopf.SetName("ALT");
    A("MnuNeu")->trigger();
    EXPECT_EQ(form->PanelMaschine->text(), QString(" ZR") + kDefaultModel);
    EXPECT_EQ(form->PanelGauge->text(), " 8");
    EXPECT_EQ(form->PanelName->text(), " ");
    EXPECT_EQ(form->PanelText(1), "Version 1.09");

    EXPECT_EQ(A("ToolButtonarbeitsEbene")->property("ImageIndex").toInt(), 32);
    A("ToolButtonarbeitsEbene")->trigger();
    EXPECT_EQ(Arbeitsebene, 2);
    EXPECT_EQ(A("ToolButtonarbeitsEbene")->property("ImageIndex").toInt(), 33);

    form->resize(1000, 700);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QTest::qWait(20);
    QWidget* panels = form->StatusBar1->findChild<QWidget*>("StatusPanels");
    ASSERT_NE(panels, nullptr);
    QWidget* client = form->centralWidget();
    EXPECT_EQ(form->width() - 150, 850);
    EXPECT_EQ(client->width() - form->PanelStatus->geometry().right() - 1, 30);
    EXPECT_EQ(client->height() - form->PanelStatus->geometry().bottom() - 1, 30);
    EXPECT_EQ(client->mapTo(form.get(), QPoint(0, client->height())).y(), form->StatusBar1->y());

    QStatusTipEvent tip("Ein Hinweis");
    QApplication::sendEvent(form->PanelGauge, &tip);
    EXPECT_EQ(form->PanelText(0), "Ein Hinweis");

    QWidget* button = form->ToolBarDisk->widgetForAction(A("ToolButtonNeu"));
    ASSERT_NE(button, nullptr);
    QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), button->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(button, &help);
    EXPECT_EQ(form->PanelText(1), "101%");
}

TEST_F(FormMainTest, ProgramWindowsFollowTheMachineModel)
{
    QWidget* nListe = FakeForm("N_Liste", FormRole::List);
    FakeForm("Ruestblatt", FormRole::List);
    QWidget* patrone = FakeForm("Patrone", FormRole::Picture);

    P_NeuesProgramm(false);
    EXPECT_TRUE(FormExists("N_Liste"));
    EXPECT_TRUE(patrone->isVisible());

    ProgrammKopf.SetModel(kTandemModels[0] == std::string(kDefaultModel) ? kTandemModels[1] : kTandemModels[0]);
    P_NeuesProgramm(false);
    EXPECT_FALSE(FormExists("N_Liste"));
    EXPECT_FALSE(nListe->isVisible());
    EXPECT_TRUE(FormExists("Ruestblatt"));
    EXPECT_FALSE(patrone->isVisible());
    EXPECT_TRUE(FormExists("Patrone"));

    ProgrammKopf.SetWidth(0);
    P_UpdateFenster();
    EXPECT_FALSE(FormExists("Patrone"));

    // The machine menu checks the current model alone.
    QMenu* maschine = form->Menu("MnuMaschine");
    form->MnuMaschineOpen();
    int checked = 0;
    for (QAction* a : maschine->actions())
        checked += a->isChecked();
    EXPECT_EQ(checked, 1);
    EXPECT_TRUE(A(qPrintable(QString("MnuZr") + kDefaultModel))->isChecked());
    int tandem = 0;
    for (QAction* a : maschine->actions())
        tandem += a->toolTip() == "Tandem";
    EXPECT_EQ(tandem, 9);
}

TEST_F(FormMainTest, AnotherModelFromTheMenuKeepsTheGaugeData)
{
    const std::string other = kFamilyModels[0].number == std::string(kDefaultModel) ? kFamilyModels[1].number
                                                                                     : kFamilyModels[0].number;
    const std::array<uint8_t, 4> before = {ProgrammKopf.data()[6], ProgrammKopf.data()[7], ProgrammKopf.data()[8],
                                           ProgrammKopf.data()[9]};
    A(qPrintable(QString::fromStdString("MnuZr" + other)))->trigger();
    EXPECT_EQ(ProgrammKopf.Model(), other);
    EXPECT_EQ(form->PanelMaschine->text().toStdString(), " ZR" + other);
    const std::array<uint8_t, 4> after = {ProgrammKopf.data()[6], ProgrammKopf.data()[7], ProgrammKopf.data()[8],
                                          ProgrammKopf.data()[9]};
    EXPECT_EQ(before, after);
}

TEST(EditSeparators, ShowOnlyBetweenVisibleGroups)
{
    struct Case {
        std::vector<EditMenuItem> items;
        std::vector<bool> visible;
    };
    const std::vector<Case> cases = {
        {{{0, true}, {4, true}, {0, false}, {4, true}, {0, true}}, {true, false, false, true, true}},
        {{{0, true}, {4, true}, {0, false}, {0, false}}, {true, false, false, false}},
        {{{0, true}, {-4, true}, {0, true}}, {true, true, true}},
        {{{0, true}, {4, true}, {4, true}, {4, true}, {0, true}}, {true, false, false, true, true}},
    };
    for (const Case& c : cases) {
        std::vector<EditMenuItem> items = c.items;
        ApplyEditSeparators(items);
        std::vector<bool> visible;
        for (const EditMenuItem& i : items)
            visible.push_back(i.visible);
        EXPECT_EQ(visible, c.visible);
    }
}

TEST_F(FormMainTest, EditMenuWithOnlyTheListItemsHasNoStraySeparators)
{
    for (QAction* a : form->MnuBearbeiten->actions())
        if (!a->isSeparator())
            a->setVisible(a->property("Tag").toInt() == 3);
    form->MnuBearbeitenClick();
    QList<QAction*> shown;
    for (QAction* a : form->MnuBearbeiten->actions())
        if (a->isVisible())
            shown.push_back(a);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_FALSE(shown.last()->isSeparator());
    for (int i = 1; i < shown.size(); ++i)
        EXPECT_FALSE(shown[i]->isSeparator() && shown[i - 1]->isSeparator());
    EXPECT_EQ(shown.size(), 6);
}

TEST_F(FormMainTest, WhileBusyCommandsWaitActionsRestAndClosingWaits)
{
    A("MnuReadRamCopy")->setEnabled(false);
    form->show();
    {
        ProgramBusyScope job;
        EXPECT_TRUE(DdeHndlZorit->DdeServer1.commandsHeld());
        EXPECT_FALSE(A("MnuNeu")->isEnabled());
        EXPECT_FALSE(A(qPrintable(QString("MnuZr") + kDefaultModel))->isEnabled());
        // A program change is refused while the job runs.
        Arbeitsebene = 1;
        A("MnuArbeitsebeneumschalten")->trigger();
        EXPECT_EQ(Arbeitsebene, 1);
        form->close();
        EXPECT_TRUE(form->isVisible());
        EXPECT_FALSE(fs::exists(TempPfad + "Saveram.Tmp"));
    }
    EXPECT_FALSE(DdeHndlZorit->DdeServer1.commandsHeld());
    EXPECT_TRUE(A("MnuNeu")->isEnabled());
    EXPECT_FALSE(A("MnuReadRamCopy")->isEnabled());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(fs::file_size(TempPfad + "Saveram.Tmp"), 2627u);
}

TEST_F(FormMainTest, RamCopyFailuresKeepTheProgram)
{
    ScopedRecordingHost host;
    fs::create_directories(TempPfad + "Saveram.Tmp");
    form->MnuCreateRamCopyClick();
    EXPECT_EQ(host.host.messages().size(), 1u);

    fs::remove_all(TempPfad + "Saveram.Tmp");
    WriteTestFile(TempPfad + "Saveram.Tmp", std::string(100, '\x01'));
    ProgrammKopf.SetName("BLEIBT");
    A("MnuReadRamCopy")->trigger();
    EXPECT_EQ(ProgrammKopf.Name(), "BLEIBT");
    EXPECT_EQ(host.host.messages().size(), 1u);
}

TEST(ZoritApplication, AnExceptionIsLoggedAndIgnored)
{
    DebugLogStart();
    EXPECT_FALSE(DeliverGuarded([]() -> bool { throw std::runtime_error("Testfehler"); }));
    EXPECT_TRUE(DeliverGuarded([] { return true; }));
    const std::string log = ReadTestFile(DebugLogPath());
    EXPECT_NE(log.find("Exception Testfehler \r\n"), std::string::npos) << log;
}

namespace {
TEST_F(FormMainTest, ListenItemsAndButtonsOpenTheListEditors)
{
    struct Case {
        const char* letters;
        QKeySequence key;
        const char* form;
        const char* title;
    };
    const Case cases[] = {
        {"Versatz", QKeySequence(Qt::SHIFT | Qt::Key_F7), "V_Liste", "Versatz"},
        {"Warenabzug", QKeySequence(Qt::SHIFT | Qt::Key_F6), "A_Liste", "Warenabzug"},
        {"Wahlschalter", QKeySequence(Qt::SHIFT | Qt::Key_F8), "W_Liste", "Wahlschalter"},
        {"FFPosition", QKeySequence(Qt::CTRL | Qt::Key_F6), "P_Liste", "FF-Position"},
        {"Festigkeit", QKeySequence(Qt::SHIFT | Qt::Key_F5), "F_Liste", "Festigkeit"},
        {"Nadeleinteilung", QKeySequence(Qt::SHIFT | Qt::Key_F2), "N_Liste", "Nadeleinteilung"},
        {"Schemaablauf", QKeySequence(Qt::SHIFT | Qt::Key_F4), "S_Liste", "Schemaablauf"},
        {"Strickschema", QKeySequence(Qt::SHIFT | Qt::Key_F3), "Z_Liste", "Strickschema"},
        {"Nadelraum", QKeySequence(Qt::CTRL | Qt::Key_F3), "Nr_Liste", "Nadelraum"},
        {"Fadenfuehrer", QKeySequence(Qt::CTRL | Qt::Key_F5), "Ff_Liste", "Fadenführer"},
        {"Ruestblatt", QKeySequence(), "Ruestblatt", "Rüstblatt"},
    };
    form->show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        EXPECT_TRUE(A(qPrintable(QString("Mnu") + c.letters))->isEnabled());
        EXPECT_TRUE(A(qPrintable(QString("ToolButton") + c.letters))->isEnabled());
        EXPECT_FALSE(FormExists(c.form));
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        if (c.key.isEmpty())
            A(qPrintable(QString("Mnu") + c.letters))->trigger();
        else
            QTest::keySequence(form.get(), c.key);
        QWidget* editor = FindForm(c.form);
        ASSERT_NE(editor, nullptr);
        EXPECT_TRUE(editor->isVisible());
        EXPECT_EQ(editor->windowTitle(), c.title);
        EXPECT_FALSE(editor->windowIcon().isNull());
        // The button's picture shows the letter code the window shows.
        QAction* button = A(qPrintable(QString("ToolButton") + c.letters));
        auto* list = qobject_cast<TFormListe*>(editor);
        if (auto* core = list ? dynamic_cast<ListEditorCore*>(&list->Core()) : nullptr) {
            EXPECT_EQ(MnuBildSign(button->property("ImageIndex").toInt()), QString(QChar(core->Code())));
        }
        editor->hide();
        A(qPrintable(QString("ToolButton") + c.letters))->trigger();
        EXPECT_TRUE(editor->isVisible());
        EXPECT_EQ(FindForm(c.form), editor);
    }
}

// The header's panels open the set-up sheet; a model chosen there closes the
// other list windows, keeps the sheet and shows the new model.
TEST_F(FormMainTest, HeaderPanelsOpenTheSetUpSheet)
{
    QtKernelHost host;
    host.onCloseProgramWindows = [] { P_CloseProgrammFenster(); };
    setKernelHost(&host);
    form->show();
    for (const char* panel : {"PanelMaschine", "PanelGauge", "PanelName"}) {
        SCOPED_TRACE(panel);
        if (QWidget* sheet = FindForm("Ruestblatt"))
            sheet->hide();
        auto* label = form->findChild<QLabel*>(panel);
        ASSERT_NE(label, nullptr);
        QTest::mouseDClick(label, Qt::LeftButton);
        ASSERT_NE(FindForm("Ruestblatt"), nullptr);
        EXPECT_TRUE(FindForm("Ruestblatt")->isVisible());
    }
    A("MnuStrickschema")->trigger();
    ASSERT_NE(FindForm("Z_Liste"), nullptr);
    auto* sheet = qobject_cast<TFormRustListe*>(FindForm("Ruestblatt"));
    ASSERT_NE(sheet, nullptr);
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    const std::string before = ProgrammKopf.Model();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_NE(ProgrammKopf.Model(), before);
    EXPECT_EQ(FindForm("Z_Liste"), nullptr);
    EXPECT_EQ(FindForm("Ruestblatt"), sheet);
    EXPECT_EQ(form->findChild<QLabel*>("PanelMaschine")->text().toStdString(), " ZR" + ProgrammKopf.Model());
    setKernelHost(nullptr);
}
}  // namespace

TEST_F(FormMainTest, LanguageIsTheSecondEntryOfTheSettingsMenu)
{
    const QList<QAction*> entries = form->MnuEinstellungen1->actions();
    ASSERT_GE(entries.size(), 3);
    EXPECT_EQ(entries[0]->text(), "&Arbeitsebene umschalten");
    EXPECT_EQ(entries[1]->objectName(), "MnuSpracheB");
    ASSERT_TRUE(entries[1]->menu());
    EXPECT_EQ(entries[1]->menu()->actions().first()->objectName(), "MnuSprache2");
    EXPECT_EQ(entries[2]->text(), "&Maschine");
}

// The RAM copy that cannot be written at a close keeps the program open,
// whichever way the close came, and says the program's state was not kept;
// the next close ends without it. The old copy stays as it was.
TEST_F(FormMainTest, AClosedWithoutItsRamCopyStaysOpenOnce)
{
    const std::string path = TempPfad + "Saveram.Tmp";
    const std::map<std::string, std::function<void(TFormMain&)>> ways = {
        {"Beenden",
         [](TFormMain& f) {
             for (QAction* a : f.findChildren<QAction*>())
                 if (a->text() == "&Beenden")
                     a->trigger();
         }},
        {"close button", [](TFormMain& f) { f.close(); }},
        {"CLOSE", [](TFormMain&) { DdeHndlZorit->P_DdeBefehlEmpfangen("CLOSE"); }},
        {"language restart", [](TFormMain& f) { f.P_RestartCallback(); }},
    };
    for (const auto& [way, closeBy] : ways) {
        SCOPED_TRACE(way);
        WriteTestFile(path, "older copy");
        form.reset();
        delete DdeHndlZorit;
        DdeHndlZorit = nullptr;
        form = std::make_unique<TFormMain>();
        FormFortschritt = new TFormFortschritt(form.get());
        form->show();
        ScopedRecordingHost host;
        struct FaultOff {
            ~FaultOff() { SetSafeFileFaultForTesting({}); }
        } off;
        SetSafeFileFaultForTesting({100});
        closeBy(*form);
        // CLOSE closes once its answer is out.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !host.host.messages().empty(); }));
        ASSERT_EQ(host.host.messages().size(), 1u);
        EXPECT_TRUE(form->isVisible());
        EXPECT_FALSE(form->RestartWanted());
        const std::string message = host.host.messages()[0];
        EXPECT_EQ(message.rfind("Diskette ist voll!\r\nDer Stand des Programms wurde nicht gesichert", 0), 0u)
            << message;
        EXPECT_EQ(ReadTestFile(path), "older copy");

        form->close();
        SetSafeFileFaultForTesting({});
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(host.host.messages().size(), 1u);
        EXPECT_EQ(ReadTestFile(path), "older copy");
    }
}

// A termination signal ends the program from inside a job's message: the
// message is answered, the job returns, the window closes with the RAM copy
// well before the grace time. A job that does not return is not waited for
// past it, and half a program never replaces the last copy.
TEST_F(FormMainTest, ASignalEndsTheProgramWhateverWaits)
{
    QtKernelHost qtHost;
    setKernelHost(&qtHost);
    const std::string path = TempPfad + "Saveram.Tmp";
    std::vector<int> ended;
    form->endProcess = [&](int status) { ended.push_back(status); };
    form->show();
    ProgrammKopf.SetName("SIGNAL");
    int answer = -1;
    QTimer::singleShot(0, form.get(), [&] {
        ProgramBusyScope job;
        answer = kernelHost().messageDlg("Listen und Patrone erfolgreich geladen", MsgKind::Information,
                                         {MsgButton::OK});
    });
    QTimer::singleShot(0, form.get(), [&] {
        EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }));
        form->EndOnSignal(SIGTERM);
    });
    // Should the message stay, the test fails instead of waiting forever.
    bool rescued = false;
    QTimer::singleShot(3 * SignalEnd::kGraceMs, form.get(), [&] { rescued = AnswerWaitingWindow(); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }));
    EXPECT_FALSE(rescued);
    EXPECT_EQ(answer, mrOk);
    EXPECT_EQ(ReadTestFile(path).substr(12, 7), std::string("\x06SIGNAL", 7));
    QTest::qWait(SignalEnd::kGraceMs);
    EXPECT_TRUE(ended.empty());

    // A job that never returns.
    fs::remove(path);
    form = std::make_unique<TFormMain>();
    FormFortschritt = new TFormFortschritt(form.get());
    bool copyAtEnd = true;
    form->endProcess = [&](int status) {
        ended.push_back(status);
        copyAtEnd = fs::exists(path);
    };
    form->show();
    QTimer::singleShot(0, form.get(), [&] {
        ProgramBusyScope job;
        QElapsedTimer limit;
        limit.start();
        while (ended.empty() && limit.elapsed() < 3 * SignalEnd::kGraceMs)
            QTest::qWait(10);
    });
    QTimer::singleShot(0, form.get(), [&] {
        EXPECT_TRUE(QTest::qWaitFor([] { return ProgramBusy(); }));
        form->EndOnSignal(SIGTERM);
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ended.empty(); }, 3 * SignalEnd::kGraceMs));
    EXPECT_TRUE(QTest::qWaitFor([] { return !ProgramBusy(); }));
    EXPECT_EQ(ended, std::vector<int>{0});
    EXPECT_FALSE(copyAtEnd);
    EXPECT_NE(ReadTestFile(DebugLogPath()).find("Auftrag l\xe4uft: RAM-Kopie nicht geschrieben"), std::string::npos);
    setKernelHost(nullptr);
}
