#include "kernel/ui/edit_bindings.h"

#include <QAction>

T_ListEditBindung ListEditBindung;
T_EditBindung TextEditBindung;
T_BildEditBindung BildEditBindung;

namespace {
void Rebind(QAction* action, const std::function<void()>& handler)
{
    if (!action)
        return;
    QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
    if (handler)
        QObject::connect(action, &QAction::triggered, action, [handler] { handler(); });
    action->setEnabled(static_cast<bool>(handler));
}
}  // namespace

void T_EditPair::Bind(std::function<void()> handler)
{
    Rebind(item_, handler);
    Rebind(button_, handler);
}

void T_EditPair::Unbind()
{
    Bind({});
}

void T_EditPair::SetEnabled(bool enabled)
{
    if (item_)
        item_->setEnabled(enabled);
    if (button_)
        button_->setEnabled(enabled);
}

void T_EditPair::SetVisible(bool visible)
{
    if (item_)
        item_->setVisible(visible);
    if (button_)
        button_->setVisible(visible);
}

std::vector<T_EditPair*> T_ListEditBindung::pairs()
{
    return {&Rueckgaengig, &Ausschneiden, &Kopieren, &Einfuegen, &Loeschen, &AllesMarkieren, &MarkierungLoeschen};
}

std::vector<T_EditPair*> T_EditBindung::pairs()
{
    return {&Rueckgaengig, &Ausschneiden,   &Kopieren,           &Einfuegen, &KopierenNach, &EinfuegenAus,
            &Loeschen,     &AllesMarkieren, &MarkierungLoeschen, &Suchen,    &Ersetzen};
}

std::vector<T_EditPair*> T_BildEditBindung::pairs()
{
    return {&Rueckgaengig,      &Ausschneiden,      &Kopieren,          &Einfuegen,       &KopierenNach,
            &EinfuegenAus,      &HalbierenBeide,    &HalbierenBreite,   &HalbierenHoehe,  &VerdoppelnBeide,
            &VerdoppelnBreite,  &VerdoppelnHoehe,   &StreckenBeide,     &StreckenBreite,  &StreckenHoehe,
            &KippenLinksRechts, &KippenObenUnten,   &ZerrenLinksRechts, &ZerrenObenUnten, &Drehen90,
            &Drehen180,         &DrehenBeliebig};
}
