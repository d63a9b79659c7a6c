#include "check/ui/form_gtest_farben.h"

#include <QAction>
#include <QMenu>
#include <QPixmap>

#include "check/ui/form_tool_bar_sim.h"

T_FormGTestFarben::T_FormGTestFarben(QWidget* parent) : TFormGTest(parent)
{
    AttachToolBar();
}

void T_FormGTestFarben::BuildColourItems()
{
    QMenu* popup = FormToolBarSim->PopupMnuSim;
    for (int n = 1; n <= kColourItems; ++n) {
        const QString name = QString("MnuFarben%1").arg(n);
        QAction* item = popup->findChild<QAction*>(name);
        if (!item) {
            item = popup->addAction(QString("Name %1").arg(n));
            item->setObjectName(name);
            item->setProperty("Tag", -n);
        }
        QPixmap swatch(16, 16);
        swatch.fill(QColor::fromRgb(SimColours()[size_t(n)]));
        item->setIcon(QIcon(swatch));
    }
}

void T_FormGTestFarben::AttachToolBar()
{
    TFormGTest::AttachToolBar();
    BuildColourItems();
    QMenu* popup = FormToolBarSim->PopupMnuSim;
    for (QAction* item : popup->actions()) {
        disconnect(item, &QAction::triggered, nullptr, nullptr);
        const int tag = item->property("Tag").toInt();
        if (tag < 0)
            connect(item, &QAction::triggered, this, [this, tag] { MnuFarbenClick(-tag); });
    }
    connect(FormToolBarSim->MnuFarbenOriginal, &QAction::triggered, this, [this] { RestoreCarrierColours(); });
}

void T_FormGTestFarben::PreparePopup(uint8_t colour)
{
    BuildColourItems();
    for (QAction* item : FormToolBarSim->PopupMnuSim->actions())
        if (item->property("Tag").toInt() < 0)
            item->setEnabled(colour != 0);
}

void T_FormGTestFarben::MnuFarbenClick(int n)
{
    if (selectedColour == 0 || n < 1 || n > kColourItems)
        return;
    CopyColour(static_cast<uint8_t>(n), selectedColour);
}
