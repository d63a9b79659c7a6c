#include "check/ui/form_tool_bar_sim.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QToolBar>

#include "kernel/ui/translate_form.h"

TFormToolBarSim* FormToolBarSim = nullptr;

QIcon SimButtonIcon(const QString& letters, bool on)
{
    QPixmap pixmap(20, 20);
    pixmap.fill(on ? QColor(0xff, 0xe0, 0x80) : QColor(0xe0, 0xe0, 0xe0));
    QPainter p(&pixmap);
    p.setPen(Qt::darkGray);
    p.drawRect(0, 0, 19, 19);
    QFont font = p.font();
    font.setPixelSize(letters.size() > 1 ? 9 : 13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(pixmap.rect(), Qt::AlignCenter, letters);
    return QIcon(pixmap);
}

TFormToolBarSim::TFormToolBarSim(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setObjectName("FormToolBarSim");
    PanelToolBar = new QWidget(this);
    PanelToolBar->setObjectName("PanelToolBar");
    auto* layout = new QHBoxLayout(PanelToolBar);
    layout->setContentsMargins(0, 0, 0, 0);
    ToolBarSim = new QToolBar(PanelToolBar);
    ToolBarSim->setObjectName("ToolBarSim");
    ToolBarSim->setIconSize(QSize(20, 20));
    layout->addWidget(ToolBarSim);

    AddButton("ToolButtonStart", "S - Schnelldurchlauf", "S", false);
    AddButton("ToolButtonSchrittweise", "E - Einzelschritt", "E", false);
    ToolBarSim->addSeparator();
    AddButton("ToolButtonGitter", "Gitter", "#", true);
    AddButton("ToolButtonFadenfuehrer", "Fadenführer", "Ff", true);
    AddButton("ToolButtonFehler", "Fehler und Meldungen", "!", true)->setEnabled(false);
    AddButton("ToolButtonAltesGarn", "Altes Garn darstellen", "aG", true);
    AddButton("ToolButtonFestigkeit", "Festigkeit", "Fe", true);
    AddButton("ToolButtonCursor", "Großer Cursor ein-/ausschalten", "+", true);
    AddButton("ToolButtonDarstellungsArt", "Darstellung als Fadenlauf oder als Jacquard", "J", true);
    AddButton("ToolButtonJacquardSeite", "", "v", true);
    ToolBarSim->addSeparator();
    AddButton("ToolButtonTrindelStart", "Startzeile für Trindel", "T1", true);
    AddButton("ToolButtonTrindelEnde", "Schlusszeile für Trindel", "T2", true);

    PopupMnuSim = new QMenu(this);
    PopupMnuSim->setObjectName("PopupMnuSim");
    MnuFarbenOriginal = PopupMnuSim->addAction("Ff-Farben Original");
    MnuFarbenOriginal->setObjectName("MnuFarbenOriginal");
    MnuLeerZeile = PopupMnuSim->addSeparator();
    MnuLeerZeile->setObjectName("MnuLeerZeile");
    TranslateForm(this);
}

QAction* TFormToolBarSim::AddButton(const char* name, const char* hint, const QString& picture, bool checkable)
{
    auto* a = new QAction(SimButtonIcon(picture, false), QString(), ToolBarSim);
    a->setObjectName(name);
    a->setToolTip(QString::fromUtf8(hint));
    a->setCheckable(checkable);
    a->setProperty("Picture", picture);
    ToolBarSim->addAction(a);
    return a;
}

QAction* TFormToolBarSim::Button(const QString& name) const
{
    return ToolBarSim->findChild<QAction*>(name);
}

void TFormToolBarSim::ShowState(const QString& name, bool on)
{
    if (QAction* a = Button(name)) {
        a->setChecked(on);
        a->setIcon(SimButtonIcon(a->property("Picture").toString(), on));
    }
}

TFormToolBarSim::~TFormToolBarSim()
{
    if (FormToolBarSim == this)
        FormToolBarSim = nullptr;
}
