#include "pattern/tool_option_buttons.h"

#include <QPointer>
#include <QToolButton>

#include "kernel/ui/form_hold.h"
#include "kernel/ui/forms.h"
#include "pattern/lokal_ins_del_form.h"
#include "pattern/lokal_linien_staerke_form.h"
#include "pattern/lokal_linienart_form.h"
#include "pattern/lokal_stufen_form.h"
#include "pattern/lokal_umranden_form.h"
#include "pattern/zeichenfunktionen.h"

namespace {

// The pop-up sits this far below the tool window's top: over its caption.
constexpr int kBelowToolWindowTop = 12;

ToolOptionPopup* CreatePopup(ToolOption option, QWidget* parent)
{
    switch (option) {
    case ToolOption::Slope: return new TLokalStufen_Form(parent);
    case ToolOption::LineType: return new TLokalLinienart_Form(parent);
    case ToolOption::LineWidth: return new TLokalLinienStaerke_Form(parent);
    case ToolOption::Outline: return new TLokalUmranden_Form(parent);
    case ToolOption::InsertDelete: return new TLokalInsDel_Form(parent);
    }
    return nullptr;
}

QPoint PopupPlace(ToolOption option, QWidget* toolWindow)
{
    const QPoint origin = toolWindow->pos();
    auto* button = toolWindow->findChild<QToolButton*>(ToolOptionPopup::PaletteButtonName(option));
    if (!button)
        return origin + QPoint(0, kBelowToolWindowTop);
    int top = origin.y() + kBelowToolWindowTop;
    if (option == ToolOption::Outline || option == ToolOption::InsertDelete)
        top += button->mapTo(toolWindow, QPoint(0, 0)).y();
    return {origin.x() + button->x() + button->width() - 2, top};
}

}  // namespace

int OpenToolOptionPopup(ToolOption option, QWidget* toolWindow)
{
    ToolOptionPopup* found = qobject_cast<ToolOptionPopup*>(FindForm(ToolOptionPopup::FormName(option)));
    // The tool window may go while the pop-up runs, taking it along.
    QPointer<ToolOptionPopup> popup(found ? found : CreatePopup(option, toolWindow));
    if (toolWindow) {
        popup->move(PopupPlace(option, toolWindow));
        popup->toolWindowName = toolWindow->objectName();
    }
    popup->hide();
    popup->exec();
    if (!popup)
        return 0;
    const int chosen = popup->Chosen();
    delete popup;
    // Left by Esc: the palette button comes up all the same.
    if (chosen == 0 && toolWindow)
        if (auto* button = toolWindow->findChild<QToolButton*>(ToolOptionPopup::PaletteButtonName(option)))
            button->setChecked(false);
    return chosen;
}

void ConnectToolOptionButtons(TZeichenfunktionen* palette, QObject* context,
                              std::function<void(ToolOption, int)> closed)
{
    for (ToolOption option : {ToolOption::Slope, ToolOption::LineType, ToolOption::LineWidth, ToolOption::Outline,
                              ToolOption::InsertDelete}) {
        QToolButton* button = palette->Button(ToolOptionPopup::PaletteButtonName(option));
        if (!button)
            continue;
        QObject::connect(button, &QToolButton::clicked, context, [palette, option, closed, context] {
            // The window the choice is for may be destroyed while the
            // pop-up waits; it is then dropped.
            const FormHold hold(qobject_cast<QWidget*>(context));
            const int chosen = OpenToolOptionPopup(option, palette);
            if (closed && !hold.Destroyed())
                closed(option, chosen);
        });
    }
}
