#include "check/ui/form_ptest.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QToolBar>
#include <filesystem>

#include "check/export_options.h"
#include "check/programcheck.h"
#include "check/rules/checkstate.h"
#include "check/simdll.h"
#include "check/simlibrary.h"
#include "check/ui/check_items.h"
#include "check/ui/check_windows_shell.h"
#include "check/ui/core/export_end_plan.h"
#include "check/ui/core/ma_typ_caption.h"
#include "check/ui/core/ptest_panel_texts.h"
#include "check/ui/form_export_erweitert.h"
#include "lists/dialog_tools.h"
#include "check/ui/list_cursor.h"
#include "check/ui/ptest_check_host.h"
#include "check/ui/wait_loop.h"
#include "kernel/dispatch/busystate.h"
#include "kernel/language/language.h"
#include "kernel/model/globals.h"
#include "kernel/services/services.h"
#include "kernel/ui/dialog_focus.h"
#include "kernel/ui/fonts.h"
#include "kernel/ui/forms.h"
#include "kernel/ui/lan_dialogs.h"
#include "kernel/ui/modul_dde_hndl.h"
#include "kernel/ui/shell_values.h"
#include "kernel/ui/translate_form.h"
#include "lists/form_fortschritt.h"
#include "platform/paths.h"
#include "platform/qt/processes.h"

TFormPTest* FormPTest = nullptr;

namespace {

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

QLabel* Panel(QWidget* parent, const char* name)
{
    auto* p = new QLabel(parent);
    p->setObjectName(name);
    p->setFrameShape(QFrame::Panel);
    p->setFrameShadow(QFrame::Sunken);
    p->setAlignment(Qt::AlignCenter);
    p->setMinimumWidth(60);
    SetFont(3, *p);
    return p;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption)
{
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(name);
    // Enter presses the focused button, as Space does.
    b->setAutoDefault(true);
    SetFont(4, *b);
    return b;
}

// Whether the key, sent to the watched widget, clicks it as a button does.
bool ClicksButton(QObject* watched, const QKeyEvent& key)
{
    const auto* button = qobject_cast<QPushButton*>(watched);
    if (!button || !button->isEnabled())
        return false;
    switch (key.key()) {
    case Qt::Key_Space:
    case Qt::Key_Select:
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return button->autoDefault() || button->isDefault();
    default:
        return false;
    }
}

const char* const kOptionKeys[] = {"NListeWs", "SListeWs", "FfTypTrans", "GgChange"};
uint8_t* const kOptionValues[] = {&ExportNListeWs, &ExportSListeWs, &ExportFfTypTrans, &ExportGgChange};
const char* const kOptionDefaults[] = {"1", "0", "1", "1"};

// Where the library writes the export.
std::string WandelPath()
{
    return TempPfad + "Wandel.Sma";
}

}  // namespace

TFormPTest::TFormPTest(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setObjectName("FormPTest");
    setWindowTitle("P-Test");
    if (ToolFormStyle == 3)
        setWindowFlag(Qt::WindowStaysOnTopHint);
    auto* grid = new QGridLayout(this);
    PanelSInner = Panel(this, "PanelSInner");
    PanelDInner = Panel(this, "PanelDInner");
    PanelS = Panel(this, "PanelS");
    PanelZ = Panel(this, "PanelZ");
    PanelD = Panel(this, "PanelD");
    auto* panels = new QHBoxLayout;
    for (QLabel* p : {PanelSInner, PanelDInner, PanelS, PanelZ, PanelD})
        panels->addWidget(p);
    grid->addLayout(panels, 0, 0, 1, 4);
    MemoPTest = new QPlainTextEdit(this);
    MemoPTest->setObjectName("MemoPTest");
    MemoPTest->setReadOnly(true);
    MemoPTest->setMinimumSize(460, 220);
    SetFont(4, *MemoPTest);
    grid->addWidget(MemoPTest, 1, 0, 1, 4);
    ProgressBarMain = new QProgressBar(this);
    ProgressBarMain->setObjectName("ProgressBarMain");
    ProgressBarSub = new QProgressBar(this);
    ProgressBarSub->setObjectName("ProgressBarSub");
    grid->addWidget(ProgressBarMain, 2, 0, 1, 4);
    grid->addWidget(ProgressBarSub, 3, 0, 1, 4);
    ButtonStart = Button(this, "ButtonStart", "Start");
    ButtonStop = Button(this, "ButtonStop", "Abbrechen");
    ButtonExportMaTyp = Button(this, "ButtonExportMaTyp", "");
    ButtonExportMaTyp->setToolTip("In diese Maschine wird gewandelt");
    ButtonErweitert = Button(this, "ButtonErweitert", "Erweitert...");
    grid->addWidget(ButtonStart, 4, 0);
    grid->addWidget(ButtonStop, 4, 1);
    grid->addWidget(ButtonExportMaTyp, 4, 2);
    grid->addWidget(ButtonErweitert, 4, 3);
    TimerPTest = new QTimer(this);
    TimerPTest->setObjectName("TimerPTest");
    TimerPTest->setInterval(70);

    connect(ButtonStart, &QPushButton::clicked, this, &TFormPTest::ButtonStartClick);
    connect(ButtonStop, &QPushButton::clicked, this, &TFormPTest::ButtonStopClick);
    connect(ButtonExportMaTyp, &QPushButton::clicked, this, &TFormPTest::ButtonExportMaTypClick);
    connect(ButtonErweitert, &QPushButton::clicked, this, &TFormPTest::ButtonErweitertClick);
    connect(TimerPTest, &QTimer::timeout, this, &TFormPTest::TimerPTestTimer);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);

    askMachineFile = [this](const QString& folder, const QString& file) -> std::optional<QString> {
        QFileDialog dialog(this, QString(), folder, Q(F_TRANS("Maschine")) + " (*.D10 *.d10)");
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (!file.isEmpty())
            dialog.selectFile(file);
        if (ExecReturningFocus(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().first();
    };
    askStartTarget = [](const QString& text) {
        return LanDialogs::MessageDlg(text, MsgKind::Confirmation, {MsgButton::OK, MsgButton::Cancel}) == mrOk;
    };
    runProgram = [](const std::string& commandLine) { P_RunProgram(commandLine, false, false); };

    TranslateForm(this);
    RegisterForm(this, FormRole::Other);
    // The library reports to this window from now on.
    SetSimProgressSink([this](bool sub, uint16_t max, uint16_t pos) { P_PTestFortschritt(sub, max, pos); });
    SetSimMessageSink([this](const std::string& text) { P_PTestMeldung(text); });
}

TFormPTest::~TFormPTest()
{
    SetSimProgressSink(nullptr);
    SetSimMessageSink(nullptr);
    if (FormPTest == this)
        FormPTest = nullptr;
}

bool TFormPTest::Finished() const
{
    return runStarted_ && CheckState.checkFinished;
}

void TFormPTest::P_PTestMeldung(const std::string& text)
{
    MemoPTest->appendPlainText(Q(pending_ + text + " "));
    pending_.clear();
    if (messagePace_.Due())
        QCoreApplication::processEvents();
}

void TFormPTest::P_PTestFortschritt(bool subBar, uint16_t maximum, uint16_t position)
{
    QProgressBar* bar = subBar ? ProgressBarSub : ProgressBarMain;
    bar->setVisible(maximum != 0);
    bar->setMaximum(maximum);
    bar->setValue(std::min(position, maximum));
}

void TFormPTest::SetMaTyp(const std::string& file)
{
    maTyp_ = file;
    ButtonExportMaTyp->setText(Q(MaTypCaption(maTyp_)));
}

void TFormPTest::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormPTest::PlaceBelowToolBars()
{
    if (placed_)
        return;
    QWidget* main = CheckShell() ? CheckShell()->mainWindow() : nullptr;
    if (!main)
        return;
    placed_ = true;
    // Measured now: a window manager moves the main window down by its
    // title bar after the tool bars were laid out.
    int bottom = 0;
    for (const QWidget* bar : main->findChildren<QToolBar*>())
        if (bar->isVisibleTo(main))
            bottom = std::max(bottom, bar->mapTo(main, QPoint(0, bar->height())).y());
    if (const QWidget* menu = main->findChild<QMenuBar*>(); menu && menu->isVisibleTo(main))
        bottom = std::max(bottom, menu->mapTo(main, QPoint(0, menu->height())).y());
    // The frame below the tool bars at the main window's left, all of it on
    // the screen: a window manager that puts the main window's border past
    // the screen's edge would put this one's there too. The frame is known
    // only once the window manager has framed the window; it is placed
    // again then.
    const QScreen* screen = main->screen();
    const QRect area = screen ? screen->geometry() : QRect(main->frameGeometry().topLeft(), QSize(1 << 20, 1 << 20));
    PlaceFrameWithin(*this, QPoint(main->frameGeometry().left(), main->mapToGlobal(QPoint(0, bottom)).y()), area);
}

void TFormPTest::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        FormHide();
}

bool TFormPTest::eventFilter(QObject* watched, QEvent* event)
{
    // Any key lets a paused walk go on one stroke; the key itself goes on.
    // A key that presses the focused button is left to the button's click:
    // Space clicks on its release, by when the walk has gone on to the next
    // pause, so both would go past two pauses.
    if (event->type() == QEvent::KeyPress && !ClicksButton(watched, *static_cast<QKeyEvent*>(event)))
        CheckState.continueFlag = 1;
    return QWidget::eventFilter(watched, event);
}

void TFormPTest::FormShow()
{
    mode_ = TestModus == 2 ? 2 : 0;
    const bool exporting = mode_ == 2;
    QAction* item = CheckShell() ? CheckShell()->action(exporting ? "MnuExportSkrel" : "MnuPTest") : nullptr;
    setWindowTitle(exporting ? "Export" : Q(F_TRANS("P-Test")));
    if (item)
        setWindowIcon(item->icon());
    ButtonErweitert->setVisible(exporting);
    ButtonExportMaTyp->setVisible(exporting);
    if (exporting) {
        for (size_t i = 0; i < 4; ++i)
            *kOptionValues[i] = F_ReadIni("Export", kOptionKeys[i], kOptionDefaults[i]) == "1" ? 1 : 0;
        SetMaTyp(F_ReadIni("Export", "MaTyp", ""));
    }
    MemoPTest->clear();
    for (QPushButton* b : {ButtonStart, ButtonStop, ButtonExportMaTyp, ButtonErweitert})
        b->setEnabled(true);
    ButtonStart->setText(Q(F_TRANS("Start")));
    ProgressBarMain->hide();
    ProgressBarSub->hide();
    lastZ_ = lastS_ = -1;
    strokePosition_ = {};
    shownPanels_ = {};
    runStarted_ = false;
    hidePending_ = false;
    pending_.clear();
    for (QLabel* p : {PanelSInner, PanelDInner, PanelS, PanelZ, PanelD})
        p->clear();
    CheckState.carrierReportSink = [this](const std::string& piece) { pending_ += piece; };
    CheckState.messageSink = [this](const std::string& text) { P_PTestMeldung(text); };
    ButtonStart->setFocus();
    SetCheckItemsEnabled(false);
}

std::string TFormPTest::TargetForLibrary() const
{
    if (maTyp_.empty() || IsMaTypFolder(maTyp_))
        return {};
    const std::string normal = NormalizePath(maTyp_);
    const std::string found = FindExisting(normal);
    return found.empty() ? normal : found;
}

void TFormPTest::ButtonStartClick()
{
    if (!runStarted_) {
        TestModus = mode_;
        if (mode_ == 2) {
            // A run that writes no file must not leave the last program's
            // file behind under the name the export target reads.
            std::error_code ignored;
            std::filesystem::remove(WandelPath(), ignored);
            SetSimLibrary(nullptr);
            if (!StartSimDll(TargetForLibrary(), F_NadelStart())) {
                close();
                return;
            }
        }
        ButtonStart->setText(Q(F_TRANS("&Weiter")));
        for (QPushButton* b : {ButtonStart, ButtonExportMaTyp, ButtonErweitert})
            b->setEnabled(false);
        CheckState.checkFinished = 0;
        TimerPTest->start();
        runStarted_ = true;
        {
            PTestCheckHost host(strokePosition_);
            RunProgramCheck();
        }
        if (hidePending_)
            FinishHide();
    } else if (CheckState.checkFinished) {
        hide();
    }
    CheckState.pauseFlag = 0;
    CheckState.continueFlag = 1;
}

void TFormPTest::ButtonStopClick()
{
    if (!runStarted_ || CheckState.checkFinished) {
        close();
        return;
    }
    CheckState.userAbort = 1;
    CheckState.continueFlag = 1;
}

void TFormPTest::ButtonExportMaTypClick()
{
    const bool folder = maTyp_.empty() || IsMaTypFolder(maTyp_);
    std::string start = folder ? maTyp_ : FolderPart(maTyp_);
    if (!start.empty() && (start.back() == '/' || start.back() == '\\'))
        start.pop_back();
    const QString startFolder = Q(NormalizePath(start));
    const QString startFile = folder ? QString() : Q(FileNamePart(maTyp_));
    if (const auto picked = askMachineFile(startFolder, startFile))
        SetMaTyp(picked->toStdString());
    else
        SetMaTyp(startFolder.toStdString() + "/");
}

void TFormPTest::ButtonErweitertClick()
{
    // The dialog belongs to the main window: without this the keys would go
    // there when it closes, and Return would no longer start the export.
    if (FormExportErweitert)
        ExecReturningFocus(*FormExportErweitert);
}

void TFormPTest::ShowPosition()
{
    const T_CheckPosition& p = strokePosition_;
    if (p.zRow != lastZ_)
        MoveListCursor("Z_Liste", p.zRow, 65535);
    if (p.sLine != lastS_)
        MoveListCursor("S_Liste", p.sLine, 65535);
    lastZ_ = p.zRow;
    lastS_ = p.sLine;
    // The repetition counters change while the S line and Z row stay.
    const PTestPanelTexts t = MakePTestPanelTexts(p);
    if (t == shownPanels_)
        return;
    shownPanels_ = t;
    PanelS->setText(Q(t.s));
    PanelZ->setText(Q(t.z));
    PanelD->setText(Q(t.d));
    PanelSInner->setText(Q(t.sInner));
    PanelDInner->setText(Q(t.dInner));
}

void TFormPTest::TimerPTestTimer()
{
    ShowPosition();
    if (CheckState.pauseFlag && !ButtonStart->isEnabled()) {
        ButtonStart->setEnabled(true);
        // Disabling it moved the focus on to "Abbrechen": Space or Enter
        // must go on, not abort.
        ButtonStart->setFocus();
    }
    if (!CheckState.checkFinished)
        return;
    TimerPTest->stop();
    {
        // The design program hears the end before the question and may send
        // its next export at once: remote commands wait for the answer.
        ProgramBusyScope busy;
        ExportEnd();
    }
    if (mode_ == 2 && !std::filesystem::exists(WandelPath()))
        P_PTestMeldung(F_TRANS("Wandel.Sma wurde nicht geschrieben!"));
    ButtonStart->setText(Q(F_TRANS("&Beenden")));
    ButtonStart->setEnabled(true);
}

void TFormPTest::ExportEnd()
{
    ExportEndInput in;
    in.exportMode = mode_ == 2;
    in.userAborted = CheckState.userAbort != 0;
    in.remote = Fernsteuerung;
    if (!ExportEndRuns(in))
        return;
    in.usable = CheckExportEnd().usable;
    in.startEntry = F_ReadIni("Files", "SkrelStart", "");
    in.target = F_ReadIni("System", "Skrel", "Skrel");
    in.wandelPath = WandelPath();
    const ExportEndPlan plan = MakeExportEndPlan(in, F_TRANS("Soll jetzt $ mit diesem Muster gestartet werden?"));
    TModulDdeHndl* dde = CheckShell() ? CheckShell()->dde() : nullptr;
    if (plan.sendFertig && dde) {
        dde->SendDdeCommand("Derodi", "EXPORT FERTIG", false);
        dde->CloseDdeLink();
    }
    if (!plan.ask)
        return;
    const bool ok = askStartTarget(Q(plan.question));
    if (ok && plan.onOk == ExportEndPlan::OnOk::StartProgram)
        runProgram(plan.commandLine);
    if (ok && plan.onOk == ExportEndPlan::OnOk::Ordalin) {
        close();
        if (QWidget* main = CheckShell() ? CheckShell()->mainWindow() : nullptr)
            main->showMinimized();
        if (dde) {
            for (const std::string& command : plan.ordalinCommands)
                dde->SendDdeCommand("Ordalin", command, false);
            dde->CloseDdeLink();
        }
    }
    close();
}

void TFormPTest::FormHide()
{
    TimerPTest->stop();
    if (runStarted_ && !CheckState.checkFinished) {
        // The walk still uses the library: it is only told to stop here,
        // the rest follows once it has.
        CheckState.userAbort = 1;
        CheckState.continueFlag = 1;
        hidePending_ = true;
        return;
    }
    FinishHide();
}

void TFormPTest::FinishHide()
{
    hidePending_ = false;
    WaitNote note;
    if (mode_ == 2) {
        if (SimDllRecord.usable())
            SimDllSpeicherFrei();
        P_WriteIni("Export", "MaTyp", maTyp_);
        for (size_t i = 0; i < 4; ++i)
            P_WriteIni("Export", kOptionKeys[i], *kOptionValues[i] ? "1" : "0");
    }
    ProgressBarMain->setValue(0);
    ProgressBarSub->setValue(0);
    if (QWidget* main = CheckShell() ? CheckShell()->mainWindow() : nullptr)
        main->activateWindow();
    SetCheckItemsEnabled(true);
}
