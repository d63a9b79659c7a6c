// Before any Qt header: the work record has a member that Qt's "slots"
// keyword would swallow.
#include "kernel/model/workrecord.h"

#include "shell/form_main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <system_error>
#include <tuple>

#include "check/ui/install_check_windows.h"
#include "kernel/dispatch/busystate.h"
#include "kernel/dispatch/kernel_host.h"
#include "kernel/language/language.h"
#include "kernel/model/family_data.h"
#include "kernel/model/globals.h"
#include "kernel/model/machinedata.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/ramcopy.h"
#include "kernel/services/debuglog.h"
#include "kernel/services/free_resources.h"
#include "kernel/services/services.h"
#include "kernel/ui/edit_bindings.h"
#include "kernel/ui/file_dialog_start.h"
#include "kernel/ui/form_hold.h"
#include "kernel/ui/forms.h"
#include "kernel/ui/icon.h"
#include "kernel/ui/language_menu.h"
#include "kernel/ui/mouse_pictures.h"
#include "kernel/ui/my_hint_window.h"
#include "kernel/ui/program_actions.h"
#include "kernel/ui/shell_values.h"
#include "kernel/ui/sprach_menu.h"
#include "kernel/ui/status_panel.h"
#include "kernel/ui/translate_form.h"
#include "lists/core/symbol_farben.h"
#include "lists/list_editors.h"
#include "lists/list_globals.h"
#include "pattern/form_patrone.h"
#include "pattern/pattern_tool_windows.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/save_journal.h"
#include "platform/qt/processes.h"
#include "shell/check_windows_link.h"
#include "shell/dde_hndl_zorit.h"
#include "shell/edit_separators.h"
#include "shell/file_dialogs.h"
#include "shell/image_lists.h"
#include "shell/program_files.h"
#include "shell/program_windows.h"
#include "shell/ram_copy_at_exit.h"
#include "shell/save_name_dialog.h"
#include "shell/script_source.h"
#include "shell/signal_end.h"
#include "textedit/form_skrel_editor.h"

TFormMain* FormMain = nullptr;

// The two status bar panels, each drawn with its own text.
class StatusPanels : public QWidget {
public:
    explicit StatusPanels(QWidget* parent) : QWidget(parent)
    {
        setObjectName("StatusPanels");
        texts_[1] = "Version 1.09";
        setMinimumHeight(fontMetrics().height() + 6);
    }
    void setText(int panel, const QString& text)
    {
        texts_[panel] = text;
        update();
    }
    QString text(int panel) const { return texts_[panel]; }
    void setFirstWidth(int width)
    {
        firstWidth_ = std::max(0, width);
        update();
    }
    int firstWidth() const { return firstWidth_; }
    QRect panelRect(int panel) const
    {
        return panel == 0 ? QRect(0, 0, firstWidth_, height())
                          : QRect(firstWidth_ + 2, 0, std::max(0, width() - firstWidth_ - 2), height());
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        for (int panel = 0; panel < 2; ++panel)
            P_StatusPanelZeichnen(p, texts_[panel], panelRect(panel));
    }

private:
    QString texts_[2];
    int firstWidth_ = 0;
};

namespace {
constexpr int kCloseWhenIdle = 1;
constexpr int kLevelButtonTag = 31;

// "Mnu" + the caption's letters: no "&", blanks or signs; umlauts spelt out.
QString LettersOf(const QString& caption)
{
    QString out;
    for (QChar c : caption) {
        switch (c.unicode()) {
        case u'ä': out += "ae"; break;
        case u'ö': out += "oe"; break;
        case u'ü': out += "ue"; break;
        case u'Ä': out += "Ae"; break;
        case u'Ö': out += "Oe"; break;
        case u'Ü': out += "Ue"; break;
        case u'ß': out += "ss"; break;
        default:
            if (c.isLetterOrNumber() && c.unicode() < 128)
                out += c;
        }
    }
    return out;
}

// Handlers that change or replace the program do nothing while a job runs
// and are a job themselves.
void ProgramChange(const std::function<void()>& work)
{
    if (ProgramBusy())
        return;
    ProgramBusyScope busy;
    work();
}

QString Local(const std::string& cp1252)
{
    return QString::fromStdString(Cp1252ToUtf8(cp1252));
}
}  // namespace

TFormMain::TFormMain(QWidget* parent) : QMainWindow(parent)
{
    FormMain = this;
    FormCreate();
}

TFormMain::~TFormMain()
{
    if (checkWindowsLink && CheckShell() == checkWindowsLink.get())
        UninstallCheckWindows();
    qApp->removeEventFilter(this);
    if (StatusTextProc && MainForm == this) {
        StatusTextProc = {};
        ShowProgrammKopfProc = {};
        MainForm = nullptr;
    }
    if (FormMain == this)
        FormMain = nullptr;
    if (restartWanted_)
        P_RestartProgram();
}

QAction* TFormMain::Action(const QString& name) const
{
    return actions_.value(name, nullptr);
}

QMenu* TFormMain::Menu(const QString& name) const
{
    return menus_.value(name, nullptr);
}

QAction* TFormMain::AddItem(QMenu* menu, const QString& name, const QString& caption, int picture,
                            const QKeySequence& key)
{
    auto* a = new QAction(caption, this);
    a->setObjectName(name.isEmpty() ? "Mnu" + LettersOf(caption) : name);
    if (picture >= 0)
        a->setIcon(MnuBildIcon(picture));
    if (!key.isEmpty()) {
        a->setShortcut(key);
        a->setShortcutContext(Qt::ApplicationShortcut);
    }
    menu->addAction(a);
    actions_.insert(a->objectName(), a);
    return a;
}

QAction* TFormMain::AddButton(QToolBar* bar, const QString& name, const QString& hint, int picture)
{
    auto* a = new QAction(MnuBildIcon(picture), QString(), this);
    a->setObjectName(name);
    a->setToolTip(hint);
    a->setProperty("ImageIndex", picture);
    bar->addAction(a);
    actions_.insert(name, a);
    return a;
}

QAction* TFormMain::AddSeparator(QMenu* menu, int tag)
{
    QAction* s = menu->addSeparator();
    s->setObjectName(QString("MnuSep%1").arg(++separators_));
    s->setProperty("Tag", tag);
    actions_.insert(s->objectName(), s);
    return s;
}

void TFormMain::CreateMenus()
{
    auto menu = [this](QMenu* parent, const QString& name, const QString& caption) {
        QMenu* m = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
        m->setObjectName(name.isEmpty() ? "Mnu" + LettersOf(caption) : name);
        m->menuAction()->setObjectName(m->objectName());
        menus_.insert(m->objectName(), m);
        return m;
    };

    QMenu* datei = menu(nullptr, {}, "&Datei");
    connect(AddItem(datei, {}, "&Neu", kBildNeu), &QAction::triggered, this,
            [this] { ProgramChange([this] { MnuNeuClick(); }); });
    connect(AddItem(datei, "MnuOeffnen", "Ö&ffnen", kBildOeffnen), &QAction::triggered, this,
            [this] { ProgramChange([this] { MnuOeffnenClick(); }); });
    connect(AddItem(datei, {}, "&Speichern", kBildSpeichern, QKeySequence(Qt::CTRL | Qt::Key_S)), &QAction::triggered,
            this, [this] { ProgramChange([this] { MnuSpeichernClick(); }); });
    connect(AddItem(datei, {}, "Speichern &unter", kBildSpeichernUnter), &QAction::triggered, this,
            [this] { ProgramChange([this] { MnuSpeichernUnterClick(); }); });
    AddSeparator(datei);
    connect(AddItem(datei, "MnuReadRamCopy", "RAM-Kopie &zurück holen", kBildRamLesen), &QAction::triggered, this,
            [this] { ProgramChange([this] { MnuReadRamCopyClick(); }); });
    connect(AddItem(datei, "MnuCreateRamCopy", "RAM-Kopie &erstellen", kBildRamSchreiben), &QAction::triggered,
            this, [this] { ProgramChange([this] { MnuCreateRamCopyClick(); }); });
    AddSeparator(datei);
    for (int n = 1; n <= 4; ++n) {
        QAction* recent = AddItem(datei, QString("MnuLoadFile%1").arg(n), QString());
        recent->setVisible(false);
        connect(recent, &QAction::triggered, this, [this, n] { ProgramChange([this, n] { MnuLoadFileClick(n); }); });
    }
    connect(AddItem(datei, {}, "&Beenden", kBildBeenden), &QAction::triggered, this, &QWidget::close);

    MnuBearbeiten = menu(nullptr, "MnuBearbeiten", "&Bearbeiten");
    connect(MnuBearbeiten, &QMenu::aboutToShow, this, &TFormMain::MnuBearbeitenClick);
    auto editItem = [this](QMenu* m, const QString& name, const QString& caption, int picture, QKeySequence key,
                           int tag) {
        QAction* a = AddItem(m, name, caption, picture, key);
        a->setProperty("Tag", tag);
        a->setEnabled(false);
        return a;
    };
    QMenu* e = MnuBearbeiten;
    editItem(e, "MnuRueckgaengig", "&Rückgängig", kBildRueckgaengig, QKeySequence(Qt::ALT | Qt::Key_Backspace), 3);
    AddSeparator(e, 4);
    editItem(e, "MnuAusschneiden", "&Ausschneiden", kBildAusschneiden, QKeySequence(Qt::CTRL | Qt::Key_X), 3);
    editItem(e, "MnuKopieren", "&Kopieren", kBildKopieren, QKeySequence(Qt::CTRL | Qt::Key_C), 3);
    editItem(e, "MnuEinfuegen", "&Einfügen", kBildEinfuegen, QKeySequence(Qt::CTRL | Qt::Key_V), 3);
    editItem(e, "MnuLoeschen", "&Löschen", kBildLoeschen, QKeySequence(Qt::CTRL | Qt::Key_Delete), 3);
    AddSeparator(e, 4);
    editItem(e, "MnuKopierenNach", "Kopieren &nach…", -1, {}, 0);
    editItem(e, "MnuEinfuegenAus", "Einfügen a&us…", -1, {}, 0);
    AddSeparator(e, 4);
    editItem(e, "MnuAllesmarkieren", "Alles &markieren", -1, QKeySequence(Qt::CTRL | Qt::Key_A), 0);
    editItem(e, "MnuMarkierungloeschen", "Markierung ent&fernen", -1, {}, 0);
    AddSeparator(e, 4);
    editItem(e, "MnuSuchen", "&Suchen", kBildSuchen, QKeySequence(Qt::CTRL | Qt::Key_F), 0);
    editItem(e, "MnuErsetzen", "Erse&tzen", kBildErsetzen, QKeySequence(Qt::CTRL | Qt::Key_R), 0);
    AddSeparator(e, 4);
    auto threeWays = [&](const QString& caption, const QString& word, QKeySequence bothKey) {
        QMenu* sub = menu(e, {}, caption);
        sub->menuAction()->setEnabled(false);
        editItem(sub, "Mnu" + word + "Beide", "&Beide", -1, bothKey, 0);
        editItem(sub, "Mnu" + word + "Breite", "B&reite", -1, {}, 0);
        editItem(sub, "Mnu" + word + "Hoehe", "&Höhe", -1, {}, 0);
    };
    threeWays("&Halbieren", "Halbieren", QKeySequence(Qt::CTRL | Qt::Key_H));
    threeWays("&Verdoppeln", "Verdoppeln", {});
    threeWays("Stre&cken", "Strecken", {});
    AddSeparator(e, 4);
    QMenu* kippen = menu(e, {}, "Kip&pen");
    kippen->menuAction()->setEnabled(false);
    editItem(kippen, "MnuKippenLinksRechts", "&Links-Rechts", -1, QKeySequence(Qt::CTRL | Qt::Key_L), 0);
    editItem(kippen, "MnuKippenObenUnten", "&Oben-Unten", -1, QKeySequence(Qt::CTRL | Qt::Key_Y), 0);
    QMenu* zerren = menu(e, {}, "&Zerren");
    zerren->menuAction()->setEnabled(false);
    editItem(zerren, "MnuZerrenLinksRechts", "&Links-Rechts", -1, {}, 0);
    editItem(zerren, "MnuZerrenObenUnten", "&Oben-Unten", -1, {}, 0);
    QMenu* drehen = menu(e, {}, "&Drehen");
    drehen->menuAction()->setEnabled(false);
    editItem(drehen, "MnuDrehen90", "&90°", -1, QKeySequence(Qt::CTRL | Qt::Key_D), 0);
    editItem(drehen, "MnuDrehen180", "&180°", -1, {}, 0);
    editItem(drehen, "MnuDrehenBeliebig", "&Beliebig", -1, {}, 0);

    QMenu* listen = menu(nullptr, {}, "&Listen");
    AddItem(listen, {}, "FF-&Position", kBildFFPosition, QKeySequence(Qt::CTRL | Qt::Key_F6));
    AddItem(listen, {}, "&Nadeleinteilung", kBildNadeleinteilung, QKeySequence(Qt::SHIFT | Qt::Key_F2));
    AddItem(listen, {}, "&Strickschema", kBildStrickschema, QKeySequence(Qt::SHIFT | Qt::Key_F3));
    AddItem(listen, {}, "Schema&ablauf", kBildSchemaablauf, QKeySequence(Qt::SHIFT | Qt::Key_F4));
    AddItem(listen, {}, "Fes&tigkeit", kBildFestigkeit, QKeySequence(Qt::SHIFT | Qt::Key_F5));
    AddItem(listen, {}, "Waren&abzug", kBildWarenabzug, QKeySequence(Qt::SHIFT | Qt::Key_F6));
    AddItem(listen, {}, "&Versatz", kBildVersatz, QKeySequence(Qt::SHIFT | Qt::Key_F7));
    AddItem(listen, {}, "&Wahlschalter", kBildWahlschalter, QKeySequence(Qt::SHIFT | Qt::Key_F8));
    QMenu* ruest = menu(listen, {}, "&Rüstschema");
    AddItem(ruest, {}, "&Nadelraum", kBildNadelraum, QKeySequence(Qt::CTRL | Qt::Key_F3));
    AddItem(ruest, {}, "&Fadenführer", kBildFadenfuehrer, QKeySequence(Qt::CTRL | Qt::Key_F5));
    // Ctrl+F6 belongs to "FF-&Position": two items with one shortcut would
    // make neither fire.
    AddItem(ruest, {}, "&Rüstblatt", kBildRuestblatt);

    QMenu* patrone = menu(nullptr, {}, "&Patrone");
    AddItem(patrone, {}, "&Patronen ansehen", kBildPatrone);
    AddItem(patrone, {}, "Patrone ver&knüpfen");

    QMenu* test = menu(nullptr, {}, "&Test");
    AddItem(test, "MnuGTest", "&G-Test", kBildGTest, QKeySequence(Qt::CTRL | Qt::Key_F7));
    AddItem(test, "MnuPTest", "&P-Test", kBildPTest, QKeySequence(Qt::CTRL | Qt::Key_F8));

    MnuEinstellungen1 = menu(nullptr, "MnuEinstellungen1", "&Einstellungen");
    connect(AddItem(MnuEinstellungen1, {}, "&Arbeitsebene umschalten", kBildEbene1), &QAction::triggered, this,
            [this] { ProgramChange([this] { MnuArbeitsebeneClick(); }); });
    QMenu* maschine = menu(MnuEinstellungen1, {}, "&Maschine");
    maschine->menuAction()->setIcon(MnuBildIcon(kBildMaschine));
    connect(maschine, &QMenu::aboutToShow, this, &TFormMain::MnuMaschineOpen);
    const std::string& table = ZrVar.ModelTable;
    for (size_t pos = 0; pos + 3 <= table.size(); pos += 4) {
        const QString model = QString::fromStdString(table.substr(pos, 3));
        QAction* item = AddItem(maschine, "MnuZr" + model, "ZR " + model);
        item->setCheckable(true);
        item->setData(model);
        connect(item, &QAction::triggered, this, [this, item] { ProgramChange([this, item] { MnuMaschineClick(item); }); });
    }
    for (const char* sibling : {"Zorak", "Zoril"}) {
        const QString name = sibling;
        connect(AddItem(MnuEinstellungen1, "Mnu" + name, name), &QAction::triggered, this,
                [this, name] { ProgramChange([this, name] { MnuSiblingClick(name); }); });
    }

    QMenu* werkzeuge = menu(nullptr, {}, "&Werkzeuge");
    connect(AddItem(werkzeuge, {}, "&Skrel Editor", kBildSkrelEditor, QKeySequence(Qt::CTRL | Qt::Key_F9)),
            &QAction::triggered, this, [] { P_ShowSkrelEditor(kBildSkrelEditor, true); });
    connect(AddItem(werkzeuge, {}, "Skrel &Compiler", kBildCompiler, QKeySequence(Qt::Key_F9)), &QAction::triggered,
            this, [] { ProgramChange([] { CompileProgramFiles(""); }); });
    AddItem(werkzeuge, "MnuExportSkrel", "&Export Skrel", kBildExport, QKeySequence(Qt::CTRL | Qt::Key_F10));
}

void TFormMain::CreateToolBars()
{
    auto bar = [this](const QString& name) {
        auto* b = new QToolBar(this);
        b->setObjectName(name);
        b->setWindowTitle(name);
        b->setMovable(false);
        b->setIconSize(QSize(16, 16));
        addToolBar(Qt::TopToolBarArea, b);
        return b;
    };
    ToolBarDisk = bar("ToolBarDisk");
    connect(AddButton(ToolBarDisk, "ToolButtonNeu", "Neues Programm", kBildNeu), &QAction::triggered, this,
            [this] { ProgramChange([this] { MnuNeuClick(); }); });
    connect(AddButton(ToolBarDisk, "ToolButtonOeffnen", "Programm öffnen", kBildOeffnen), &QAction::triggered, this,
            [this] { ProgramChange([this] { MnuOeffnenClick(); }); });
    connect(AddButton(ToolBarDisk, "ToolButtonSpeichern", "Programm speichern", kBildSpeichern), &QAction::triggered,
            this, [this] { ProgramChange([this] { MnuSpeichernClick(); }); });

    ToolBarEdit = bar("ToolBarEdit");
    for (auto [name, hint, picture] : {std::tuple{"ToolButtonRueckgaengig", "Rückgängig", kBildRueckgaengig},
                                       std::tuple{"ToolButtonAusschneiden", "Ausschneiden", kBildAusschneiden},
                                       std::tuple{"ToolButtonKopieren", "Kopieren", kBildKopieren},
                                       std::tuple{"ToolButtonEinfuegen", "Einfügen", kBildEinfuegen},
                                       std::tuple{"ToolButtonLoeschen", "Löschen", kBildLoeschen}})
        AddButton(ToolBarEdit, name, hint, picture)->setEnabled(false);

    ToolBarTest = bar("ToolBarTest");
    AddButton(ToolBarTest, "ToolButtonGTest", "Graphischer Test", kBildGTest);
    AddButton(ToolBarTest, "ToolButtonPTest", "Programm-Test", kBildPTest);
    connect(AddButton(ToolBarTest, "ToolButtonSkrelEditor", "Skrel Editor", kBildSkrelEditor), &QAction::triggered,
            this, [] { P_ShowSkrelEditor(kBildSkrelEditor, true); });
    AddButton(ToolBarTest, "ToolButtonExportSkrel", "Export Skrel", kBildExport);

    ToolBarListen = bar("ToolBarListen");
    QAction* level = AddButton(ToolBarListen, "ToolButtonarbeitsEbene", "Arbeitsebene umschalten", kBildEbene1);
    level->setProperty("Tag", kLevelButtonTag);
    connect(level, &QAction::triggered, this, [this] { ProgramChange([this] { MnuArbeitsebeneClick(); }); });
    for (auto [letters, hint, picture] :
         {std::tuple{"FFPosition", "FF-Position", kBildFFPosition},
          std::tuple{"Nadeleinteilung", "Nadeleinteilung", kBildNadeleinteilung},
          std::tuple{"Strickschema", "Strickschema", kBildStrickschema},
          std::tuple{"Schemaablauf", "Schemaablauf", kBildSchemaablauf},
          std::tuple{"Festigkeit", "Festigkeit", kBildFestigkeit},
          std::tuple{"Warenabzug", "Warenabzug", kBildWarenabzug}, std::tuple{"Versatz", "Versatz", kBildVersatz},
          std::tuple{"Wahlschalter", "Wahlschalter", kBildWahlschalter},
          std::tuple{"Nadelraum", "Nadelraum", kBildNadelraum},
          std::tuple{"Fadenfuehrer", "Fadenführer", kBildFadenfuehrer},
          std::tuple{"Ruestblatt", "Rüstblatt", kBildRuestblatt}})
        AddButton(ToolBarListen, QString("ToolButton") + letters, hint, picture);
    AddButton(ToolBarListen, "ToolButtonPatrone", "Patronen ansehen", kBildPatrone);
    // Item and tool button share the show routine, with the item's icon.
    for (auto [letters, show, picture] :
         {std::tuple{"FFPosition", &P_ShowPListe, kBildFFPosition},
          std::tuple{"Nadeleinteilung", &P_ShowNListe, kBildNadeleinteilung},
          std::tuple{"Schemaablauf", &P_ShowSListe, kBildSchemaablauf},
          std::tuple{"Festigkeit", &P_ShowFListe, kBildFestigkeit},
          std::tuple{"Warenabzug", &P_ShowAListe, kBildWarenabzug}, std::tuple{"Versatz", &P_ShowVListe, kBildVersatz},
          std::tuple{"Wahlschalter", &P_ShowWListe, kBildWahlschalter},
          std::tuple{"Strickschema", &P_ShowZListe, kBildStrickschema},
          std::tuple{"Nadelraum", &P_ShowNrListe, kBildNadelraum},
          std::tuple{"Fadenfuehrer", &P_ShowFfListe, kBildFadenfuehrer},
          std::tuple{"Ruestblatt", &P_ShowRustListe, kBildRuestblatt}})
        for (const char* prefix : {"Mnu", "ToolButton"})
            connect(Action(prefix + QString(letters)), &QAction::triggered, this,
                    [show = show, picture = picture] { show(picture); });
    // An empty pattern has nothing to show.
    for (const char* name : {"MnuPatronenansehen", "ToolButtonPatrone"})
        connect(Action(name), &QAction::triggered, this, [] {
            if (ProgrammKopf.Width() != 0 && ProgrammKopf.Height() != 0)
                ShowPatternWindow(kBildPatrone);
        });
}

void TFormMain::CreateStatus()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    panels_ = new StatusPanels(StatusBar1);
    StatusBar1->addWidget(panels_, 1);
    setStatusBar(StatusBar1);

    auto* central = new QWidget(this);
    central->setObjectName("CentralWidget");
    setCentralWidget(central);
    PanelStatus = new QFrame(central);
    PanelStatus->setObjectName("PanelStatus");
    PanelStatus->setFrameShape(QFrame::StyledPanel);
    PanelStatus->setFrameShadow(QFrame::Raised);
    PanelStatus->setAutoFillBackground(true);
    auto* grid = new QGridLayout(PanelStatus);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setHorizontalSpacing(6);
    const char* captions[] = {" Maschine:", " Feinheit:", " Name:"};
    const char* names[] = {"PanelMaschine", "PanelGauge", "PanelName"};
    QLabel** values[] = {&PanelMaschine, &PanelGauge, &PanelName};
    for (int i = 0; i < 3; ++i) {
        auto* caption = new QLabel(captions[i], PanelStatus);
        caption->setObjectName(QString("LabelStatus%1").arg(i + 1));
        auto* value = new QLabel(PanelStatus);
        value->setObjectName(names[i]);
        value->setFrameShape(QFrame::Panel);
        value->setFrameShadow(QFrame::Sunken);
        value->setMinimumWidth(110);
        value->installEventFilter(this);
        grid->addWidget(caption, i, 0);
        grid->addWidget(value, i, 1);
        *values[i] = value;
    }
    PanelStatus->adjustSize();
}

void TFormMain::FormCreate()
{
    setObjectName("FormMain");
    setWindowTitle("ZORIT");

    // 1 (the program folder was set before the debug log started)
    P_NeuesProgramm(false);
    // 3: only level 2 is level 2.
    const std::string level = F_ReadIni("System", "WorkingLevel", std::to_string(Arbeitsebene));
    Arbeitsebene = level == "2" ? 2 : 1;
    // 4
    TempPfad = AppendSeparator(NormalizePath(F_ReadIni("Directorys", "Temp", ProgrammPfad + "Temp")));
    // 5, 6
    SetDefaults();
    std::error_code ec;
    std::filesystem::create_directories(TempPfad, ec);
    // 7
    if (!DdeHndlZorit)
        DdeHndlZorit = new TDdeHndlZorit(qApp);

    CreateMenus();
    CreateToolBars();
    CreateStatus();
    // 8, 9
    // "Sprache" is the second entry of the settings menu, below the working
    // level and above the machines.
    InitLanguage(this, MnuEinstellungen1, 1, DdeHndlZorit,
                 [this](const std::string&) { P_RestartCallback(); }, "DbLang.Txt", ' ');
    TranslateForm(this);
    // 10
    for (const char* sibling : {"Zorak", "Zoril"})
        if (DdeHndlZorit->ReadProgramPath(sibling).empty())
            Action(QString("Mnu") + sibling)->setEnabled(false);

    for (const char* name :
         {"MnuNeu", "ToolButtonNeu", "MnuOeffnen", "ToolButtonOeffnen", "MnuSpeichern", "ToolButtonSpeichern",
          "MnuSpeichernunter", "MnuLoadFile1", "MnuLoadFile2", "MnuLoadFile3", "MnuLoadFile4", "MnuReadRamCopy",
          "MnuCreateRamCopy", "MnuArbeitsebeneumschalten", "ToolButtonarbeitsEbene", "MnuZorak", "MnuZoril",
          "MnuSkrelCompiler"})
        RegisterProgramAction(Action(name));
    for (QAction* a : Menu("MnuMaschine")->actions())
        RegisterProgramAction(a);
    if (T_SprachMenu* sprache = SprachMenu())
        for (QAction* a : sprache->menu()->actions())
            RegisterProgramAction(a);

    // 11
    dialogFilter_ = QString::fromStdString(F_TRANS("Komplettes Programm") + " (3er, 8er)|*.8*;*.3*|" +
                                           F_TRANS("Skrel Script") + "|*.Skx|");
    // 12, 13
    MnuReadRamCopyClick();
    P_ShowProgrammKopf();
    // 14: counting down keeps the stored order.
    for (int n = 4; n >= 1; --n)
        P_AddLoadFile(F_ReadIni("System", "LoadFile" + std::to_string(n), ""));
    CompleteInterruptedSaves();
    // 15
    for (const char* model : kTandemModels)
        if (QAction* a = Action(QString("MnuZr") + model)) {
            a->setToolTip(QString::fromStdString(F_TRANS("Tandem")));
            a->setStatusTip(a->toolTip());
        }
    // 16
    P_SetEditBindungen();
    // 17, 18
    ListWindowLeft = 0;
    PublishToolBarArea();
    ToolFormStyle = 3;
    SetHintMousePictures(ImageListMaus());
    // 19
    const std::string target = F_ReadIni("System", "Skrel", "Pelsavo");
    if (AsciiUpper(target) == "PELSAVO") {
        const QString hint = QString::fromStdString(F_TRANS("Export Pelsavo"));
        Action("MnuExportSkrel")->setText(QString::fromStdString(F_TRANS("&Export Pelsavo")));
        Action("MnuExportSkrel")->setToolTip(hint);
        Action("ToolButtonExportSkrel")->setToolTip(hint);
    }
    // The test items open the checker windows.
    checkWindowsLink = std::make_unique<MainCheckWindowsShell>(*this);
    InstallCheckWindows(*checkWindowsLink);
    // 20
    SettingsPath = IniFilePath();
    MainFormName = objectName();
    MainForm = this;
    StatusTextProc = [this](const QString& text) { SetStatusText(text); };
    SetPatternSymbolColours();
    CloseMainWindowProc = [this] { close(); };
    ListWindowIcon = [](int index) { return F_GetIcon(ImageListMnuBild(), index); };
    ShowProgrammKopfProc = [this] { P_ShowProgrammKopf(); };
    MainClientWidth = static_cast<uint16_t>(std::max(0, width()));
    MainClientHeight = static_cast<uint16_t>(std::max(0, height()));

    // Installed first, so that this window's filter sees a hint event before it.
    InstallHintEventFilter();
    qApp->installEventFilter(this);
}

void TFormMain::P_SetEditBindungen()
{
    auto pair = [this](const char* item, const char* button) { return T_EditPair(Action(item), button ? Action(button) : nullptr); };
    T_ListEditBindung& l = ListEditBindung;
    l.MnuBearbeiten = MnuBearbeiten;
    l.Rueckgaengig = pair("MnuRueckgaengig", "ToolButtonRueckgaengig");
    l.Ausschneiden = pair("MnuAusschneiden", "ToolButtonAusschneiden");
    l.Kopieren = pair("MnuKopieren", "ToolButtonKopieren");
    l.Einfuegen = pair("MnuEinfuegen", "ToolButtonEinfuegen");
    l.Loeschen = pair("MnuLoeschen", "ToolButtonLoeschen");
    l.AllesMarkieren = pair("MnuAllesmarkieren", nullptr);
    l.MarkierungLoeschen = pair("MnuMarkierungloeschen", nullptr);

    T_EditBindung& t = TextEditBindung;
    t.MnuBearbeiten = MnuBearbeiten;
    t.Rueckgaengig = l.Rueckgaengig;
    t.Ausschneiden = l.Ausschneiden;
    t.Kopieren = l.Kopieren;
    t.Einfuegen = l.Einfuegen;
    t.KopierenNach = pair("MnuKopierenNach", nullptr);
    t.EinfuegenAus = pair("MnuEinfuegenAus", nullptr);
    t.Loeschen = l.Loeschen;
    t.AllesMarkieren = l.AllesMarkieren;
    t.MarkierungLoeschen = l.MarkierungLoeschen;
    t.Suchen = pair("MnuSuchen", nullptr);
    t.Ersetzen = pair("MnuErsetzen", nullptr);

    T_BildEditBindung& b = BildEditBindung;
    b.MnuBearbeiten = MnuBearbeiten;
    b.Rueckgaengig = l.Rueckgaengig;
    b.Ausschneiden = l.Ausschneiden;
    b.Kopieren = l.Kopieren;
    b.Einfuegen = l.Einfuegen;
    b.KopierenNach = t.KopierenNach;
    b.EinfuegenAus = t.EinfuegenAus;
    b.HalbierenBeide = pair("MnuHalbierenBeide", nullptr);
    b.HalbierenBreite = pair("MnuHalbierenBreite", nullptr);
    b.HalbierenHoehe = pair("MnuHalbierenHoehe", nullptr);
    b.VerdoppelnBeide = pair("MnuVerdoppelnBeide", nullptr);
    b.VerdoppelnBreite = pair("MnuVerdoppelnBreite", nullptr);
    b.VerdoppelnHoehe = pair("MnuVerdoppelnHoehe", nullptr);
    b.StreckenBeide = pair("MnuStreckenBeide", nullptr);
    b.StreckenBreite = pair("MnuStreckenBreite", nullptr);
    b.StreckenHoehe = pair("MnuStreckenHoehe", nullptr);
    b.KippenLinksRechts = pair("MnuKippenLinksRechts", nullptr);
    b.KippenObenUnten = pair("MnuKippenObenUnten", nullptr);
    b.ZerrenLinksRechts = pair("MnuZerrenLinksRechts", nullptr);
    b.ZerrenObenUnten = pair("MnuZerrenObenUnten", nullptr);
    b.Drehen90 = pair("MnuDrehen90", nullptr);
    b.Drehen180 = pair("MnuDrehen180", nullptr);
    b.DrehenBeliebig = pair("MnuDrehenBeliebig", nullptr);
}

void TFormMain::P_ShowProgrammKopf()
{
    if (!PanelMaschine)
        return;
    PanelMaschine->setText(" ZR" + Local(ProgrammKopf.Model()));
    PanelGauge->setText(" " + QString::number(ProgrammKopf.Gauge()));
    PanelName->setText(" " + QString::fromStdString(ShownProgramName(programFile_, ProgrammKopf.Name())));
    P_RedisplayRustListe();
}

void TFormMain::SetStatusText(const QString& text)
{
    panels_->setText(0, text);
}

QString TFormMain::PanelText(int panel) const
{
    return panels_->text(panel);
}

QString TFormMain::RamCopyPath() const
{
    return QString::fromStdString(::RamCopyPath());
}

void TFormMain::MnuCreateRamCopyClick()
{
    WriteRamCopy(RamCopyPath().toStdString());
}

void TFormMain::MnuReadRamCopyClick()
{
    ReadRamCopy(RamCopyPath().toStdString(), [] { P_NeuesProgramm(false); });
    // The snapshot's program came from no file this run knows of.
    programFile_.clear();
    ShowLevelPicture();
    P_ShowProgrammKopf();
    P_UpdateFenster();
}

void TFormMain::CompleteInterruptedSaves()
{
    // A save the last run did not finish is completed in the folders this
    // program keeps its files in, before a program is opened from them.
    std::vector<std::string> folders = {AppendSeparator(ProgrammPfad), AppendSeparator(TempPfad)};
    for (int n = 1; n <= 4; ++n)
        if (const std::string path = RecentPath(RecentCaptionOf(n).toStdString()); !path.empty())
            folders.push_back(FolderPart(FindExisting(path).empty() ? path : FindExisting(path)));
    for (const std::string& folder : folders)
        if (!folder.empty())
            CompleteInterruptedSave(folder);
}

void TFormMain::ShowLevelPicture()
{
    QAction* level = Action("ToolButtonarbeitsEbene");
    level->setIcon(MnuBildIcon(level->property("Tag").toInt() + Arbeitsebene));
    level->setProperty("ImageIndex", level->property("Tag").toInt() + Arbeitsebene);
}

void TFormMain::MnuNeuClick()
{
    // Closing the program windows hides the pattern window: whether it was
    // up is asked before.
    QPointer<QWidget> patrone = FindForm("Patrone");
    const bool patroneShown = patrone && patrone->isVisible();
    P_NeuesProgramm(true);
    programFile_.clear();
    P_CloseProgrammFenster();
    if (patrone && patroneShown) {
        DestroyForm(patrone);
        FormPatrone = nullptr;
        // Its palette would otherwise stay up for a window that is gone.
        HidePatternToolWindows();
    }
}

bool TFormMain::OpenProgram(const std::string& file, bool viaNew)
{
    const std::string path = FindExisting(NormalizePath(file));
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec)) {
        P_WarningBox(F_TRANS("Datei nicht gefunden!"));
        return false;
    }
    // A refused file must not cost the program it was to replace.
    const std::string before = SerializeProgram();
    const std::string beforeFile = programFile_;
    const std::string beforeExtension = programFileExtension_;
    const std::string model = ProgrammKopf.Model();
    if (viaNew)
        MnuNeuClick();
    else
        P_NeuesProgramm(false);
    if (!P_MusterLaden(path)) {
        DeserializeProgram(before);
        programFile_ = beforeFile;
        programFileExtension_ = beforeExtension;
        P_ShowProgrammKopf();
        return false;
    }
    programFile_ = path;
    programFileExtension_ = F_ProgrammExtension();
    if (!viaNew && ProgrammKopf.Model() != model)
        P_CloseProgrammFenster();
    P_UpdateFenster();
    return true;
}

void TFormMain::MnuOeffnenClick()
{
    QString file;
    int filter = 0;
    if (askOpenName) {
        std::tie(file, filter) = askOpenName();
    } else {
        QFileDialog dialog(this, QString::fromStdString(F_TRANS("Öffnen")), DialogStartFolder(dialogFolder_));
        dialog.setObjectName("OpenDialog1");
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        FitFileDialogColumns(dialog);
        dialog.setFileMode(QFileDialog::ExistingFile);
        const QStringList filters = QtNameFilters(dialogFilter_);
        dialog.setNameFilters(filters);
        if (ExecHeld(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        file = dialog.selectedFiles().first();
        RememberDialogFile(file);
        filter = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    }
    // Filter 2 puts a script into the editor without showing it; 3 does nothing.
    if (filter == 1 && !file.isEmpty())
        OpenProgram(file.toStdString(), false);
    else if (filter == 2 && !file.isEmpty() && !FindExisting(file.toStdString()).empty())
        TheScriptSource().loadFile(FindExisting(file.toStdString()));
}

void TFormMain::MnuLoadFileClick(int n)
{
    const std::string path = RecentPath(RecentCaptionOf(n).toStdString());
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(FindExisting(path), ec))
        return;
    OpenProgram(path, false);
}

void TFormMain::MnuSpeichernClick()
{
    const std::string name = Cp1252ToUtf8(ProgrammKopf.Name());
    const bool plainName = !name.empty() && name.find_first_of("/\\:") == std::string::npos;
    if (!plainName || dialogFolder_.isEmpty()) {
        MnuSpeichernUnterClick();
        return;
    }
    SaveProgram(SaveTarget(programFile_, programFileExtension_, ProgrammKopf.Name(), dialogFolder_.toStdString(),
                           F_ProgrammExtension()));
}

void TFormMain::MnuSpeichernUnterClick()
{
    const QString extension = QString::fromStdString(F_ProgrammExtension());
    const QString name = QString::fromStdString(ShownProgramName(programFile_, ProgrammKopf.Name()));
    const QString suggested = (name.isEmpty() ? QString("*") : name) + "." + extension;
    QString file;
    if (askSaveName) {
        file = askSaveName(suggested);
    } else {
        SaveNameDialog dialog(this, QString::fromStdString(F_TRANS("Speichern unter")),
                              DialogStartFolder(dialogFolder_));
        dialog.setObjectName("SaveDialog");
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        FitFileDialogColumns(dialog);
        dialog.setDefaultSuffix(extension);
        dialog.setNameFilters(QtNameFilters(dialogFilter_.section('|', 0, 0) + "|*." + extension + "|"));
        dialog.selectFile(suggested);
        if (ExecHeld(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        file = dialog.selectedFiles().first();
        RememberDialogFile(file);
    }
    if (!file.isEmpty())
        SaveProgram(file.toStdString());
}

void TFormMain::SaveProgram(const std::string& file)
{
    if (P_MusterSichern(file)) {
        programFile_ = ResolveForWrite(file);
        programFileExtension_ = F_ProgrammExtension();
        // The name as it was typed, now that the file that gave it is known.
        P_ShowProgrammKopf();
    }
}

QString TFormMain::RecentCaptionOf(int n) const
{
    const QAction* item = Action(QString("MnuLoadFile%1").arg(n));
    return item ? item->data().toString() : QString();
}

void TFormMain::P_AddLoadFile(const std::string& name)
{
    if (name.empty())
        return;
    const std::string caption = name.rfind("ZR", 0) == 0 ? name : RecentCaption(ProgrammKopf.Model(), name);
    RecentList items;
    for (int n = 1; n <= 4; ++n)
        items[size_t(n - 1)] = RecentCaptionOf(n).toStdString();
    AddRecentEntry(items, caption);
    for (int n = 1; n <= 4; ++n) {
        QAction* item = Action(QString("MnuLoadFile%1").arg(n));
        const QString text = QString::fromStdString(items[size_t(n - 1)]);
        item->setData(text);
        item->setText(QString(text).replace("&", "&&"));
        item->setVisible(!text.isEmpty());
    }
    dialogFolder_ = QString::fromStdString(FolderPart(RecentPath(caption)));
}

void TFormMain::MnuArbeitsebeneClick()
{
    MnuCreateRamCopyClick();
    P_NeuesProgramm(true);
    Arbeitsebene = 3 - Arbeitsebene;
    P_CloseProgrammFenster();
    MnuReadRamCopyClick();
    P_WriteIni("System", "WorkingLevel", std::to_string(Arbeitsebene));
}

void TFormMain::MnuMaschineOpen()
{
    for (QAction* a : Menu("MnuMaschine")->actions())
        a->setChecked(false);
    if (QAction* current = Action("MnuZr" + Local(ProgrammKopf.Model())))
        current->setChecked(true);
}

void TFormMain::MnuMaschineClick(QAction* item)
{
    const std::string model = item->data().toString().toStdString();
    const bool changed = model != ProgrammKopf.Model();
    ProgrammKopf.SetModel(model);
    if (changed)
        P_CloseProgrammFenster();
    P_SetMaschinenDaten();
    P_ShowProgrammKopf();
}

void TFormMain::MnuSiblingClick(const QString& programName)
{
    const std::string path = DdeHndlZorit ? DdeHndlZorit->ReadProgramPath(programName.toStdString()) : std::string();
    std::string file;
    std::error_code ec;
    if (!path.empty() && std::filesystem::is_regular_file(path, ec))
        file = path;
    else if (!path.empty())
        file = FindExisting(path + ".EXE");
    if (file.empty() || !P_RunProgram("\"" + file + "\"", false, false)) {
        P_WarningBox(F_TRANS("Datei nicht gefunden!"));
        return;
    }
    close();
}

void TFormMain::MnuBearbeitenClick()
{
    ApplyEditSeparators(MnuBearbeiten);
}

void TFormMain::P_RestartCallback()
{
    restartWanted_ = true;
    close();
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    if (ProgramBusy()) {
        event->ignore();
        // A running walk ends at its next stroke; the close follows it.
        StopCheckWalk();
        RunWhenIdle(kCloseWhenIdle, [this] { close(); });
        return;
    }
    if (!closing_) {
        CloseCheckWindowsForShutdown();
        if (!KeepRamCopyForClose()) {
            event->ignore();
            return;
        }
        closing_ = true;
        WriteRecentFiles();
    }
    if (signalEnd_) {
        signalEnd_->stop();
        // Ended from outside (a logout): a language change answered on the
        // way starts no new program.
        restartWanted_ = false;
    }
    event->accept();
    QCoreApplication::quit();
}

bool TFormMain::KeepRamCopyForClose()
{
    int code = 0;
    if (StoreRamCopy(::RamCopyPath(), code))
        return true;
    // A signal (logout, shutdown) leaves no one to answer: the log says it.
    if (ramCopyWaived_ || (signalEnd_ && signalEnd_->started()))
        return true;
    // The copy is what brings the program back at the next start: without
    // it the work lives only in this window, so the window stays until the
    // technician has saved it elsewhere or closes again.
    ramCopyWaived_ = true;
    restartWanted_ = false;
    kernelHost().messageDlg(F_DiskErrorText(code) + "\r\n" +
                                F_TRANS("Der Stand des Programms wurde nicht gesichert (RAM-Kopie)!") + "\r\n" +
                                F_TRANS("Das Programm bleibt offen: bitte an anderer Stelle speichern.") + "\r\n" +
                                F_TRANS("Erneutes Beenden beendet es ohne RAM-Kopie."),
                            MsgKind::Warning, {MsgButton::OK});
    return false;
}

void TFormMain::WriteRecentFiles()
{
    for (int n = 1; n <= 4; ++n)
        P_WriteIni("System", "LoadFile" + std::to_string(n), RecentCaptionOf(n).toStdString());
}

void TFormMain::EndOnSignal(int signal)
{
    DebugLog({"Signal", signal});
    if (!signalEnd_)
        signalEnd_ = new SignalEnd([this] { close(); }, [this, signal] { EndAfterSignal(signal); }, this);
    signalEnd_->start();
}

void TFormMain::EndAfterSignal(int signal)
{
    if (closing_)
        return;
    if (ProgramBusy()) {
        // Half a program would replace the last whole copy: that one stays.
        DebugLog({"Signal", signal, "Auftrag läuft: RAM-Kopie nicht geschrieben"});
        DisarmRamCopyAtExit();
        endProcess(0);
        return;
    }
    DebugLog({"Signal", signal, "Fenster ohne Antwort: Programmende"});
    closing_ = true;
    CloseCheckWindowsForShutdown();
    KeepRamCopyForClose();
    WriteRecentFiles();
    DisarmRamCopyAtExit();
    endProcess(0);
}

void TFormMain::paintEvent(QPaintEvent* event)
{
    QMainWindow::paintEvent(event);
    if (firstPaint_) {
        firstPaint_ = false;
        // Told once the window stands, so that the message is seen above it.
        QTimer::singleShot(0, this, [] {
            if (DdeHndlZorit)
                DdeHndlZorit->ReportServerNotStarted();
        });
        // Command line "1": the design program's exchange file, compiled once
        // the window stands.
        const QStringList args = QCoreApplication::arguments();
        if (args.size() > 1 && args[1] == "1")
            QTimer::singleShot(0, this, [] {
                if (!ProgramBusy())
                    CompileProgramFiles(NormalizePath("c:\\ordalin\\temp\\comp.Smz"));
            });
    }
    Q_EMIT painted();
}

void TFormMain::LayoutPanels()
{
    panels_->setFirstWidth(width() - 150);
    QWidget* client = centralWidget();
    PanelStatus->adjustSize();
    PanelStatus->move(client->width() - PanelStatus->width() - 30, client->height() - PanelStatus->height() - 30);
    MainClientWidth = static_cast<uint16_t>(std::max(0, width()));
    MainClientHeight = static_cast<uint16_t>(std::max(0, client->height()));
}

void TFormMain::PublishToolBarArea()
{
    int top = -1;
    int bottom = 0;
    for (QToolBar* b : {ToolBarDisk, ToolBarEdit, ToolBarTest, ToolBarListen}) {
        if (!b || b->isHidden())
            continue;
        top = top < 0 ? b->y() : std::min(top, b->y());
        bottom = std::max(bottom, b->y() + b->height());
    }
    if (top < 0)
        top = bottom = menuBar()->height();
    CoolBarMainHeight = bottom - top;
    CoolBarMainBottom = mapToGlobal(QPoint(0, bottom)).y();
    ListWindowTop = static_cast<int16_t>(CoolBarMainBottom);
}

void TFormMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    LayoutPanels();
    PublishToolBarArea();
}

void TFormMain::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    PublishToolBarArea();
}

void TFormMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    LayoutPanels();
    PublishToolBarArea();
}

bool TFormMain::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        SetStatusText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    if (event->type() == QEvent::LayoutRequest) {
        const bool handled = QMainWindow::event(event);
        LayoutPanels();
        PublishToolBarArea();
        return handled;
    }
    return QMainWindow::event(event);
}

bool TFormMain::OpenMenuOfAltLetter(QObject* watched, const QKeyEvent& key)
{
    // Qt gives a menu bar's Alt letters only to the window that holds it and
    // to tool windows over it, not to the pattern window, a window of its
    // own; so every other window of the program is served here alike. A key
    // that reaches a window was taken by no shortcut there, so a letter a
    // window uses itself is not taken from it.
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    if (mods != Qt::AltModifier || key.isAutoRepeat())
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() == this || qobject_cast<QDialog*>(widget->window()) ||
        QApplication::activeModalWidget() || QApplication::activePopupWidget() || !isVisible())
        return false;
    const QKeySequence pressed(QKeyCombination(Qt::AltModifier, Qt::Key(key.key())));
    for (QAction* item : menuBar()->actions()) {
        if (!item->isVisible() || !item->isEnabled() || !item->menu())
            continue;
        if (QKeySequence::mnemonic(item->text()) == pressed) {
            menuBar()->setActiveAction(item);
            return true;
        }
    }
    return false;
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        return OpenMenuOfAltLetter(watched, *static_cast<QKeyEvent*>(event));
    case QEvent::StatusTip:
        SetStatusText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    case QEvent::ToolTip: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->toolTip().isEmpty())
            return false;
        // The hint itself is shown by the application's hint filter.
        panels_->setText(1, QString::number(FreeResources(0)) + "%");
        return false;
    }
    case QEvent::MouseButtonDblClick:
        // The program header's panels open the set-up sheet.
        if (watched == PanelMaschine || watched == PanelGauge || watched == PanelName) {
            P_ShowRustListe(kBildRuestblatt);
            return true;
        }
        return false;
    default:
        return false;
    }
}
