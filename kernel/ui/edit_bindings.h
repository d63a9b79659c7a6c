#pragma once
// The main window's Edit menu items and tool buttons belong to whichever
// window is active: the three binding records hand them over. The active
// window binds its handlers to the pairs it supports and unbinds them when it
// loses the menu.
#include <QPointer>
#include <functional>
#include <vector>

class QAction;
class QMenu;

// One edit command: its menu item and, where there is one, its tool button.
class T_EditPair {
public:
    T_EditPair() = default;
    T_EditPair(QAction* item, QAction* button) : item_(item), button_(button) {}

    QAction* item() const { return item_; }
    QAction* button() const { return button_; }

    // Connects both to the handler (one connection per action: a handler bound
    // before is dropped) and enables them.
    void Bind(std::function<void()> handler);
    // Drops the handler and disables both.
    void Unbind();
    // Enables or disables item and button together.
    void SetEnabled(bool enabled);
    void SetVisible(bool visible);

private:
    QPointer<QAction> item_;
    QPointer<QAction> button_;
};

struct T_ListEditBindung {
    QPointer<QMenu> MnuBearbeiten;
    T_EditPair Rueckgaengig, Ausschneiden, Kopieren, Einfuegen, Loeschen, AllesMarkieren, MarkierungLoeschen;
    std::vector<T_EditPair*> pairs();
};

struct T_EditBindung {
    QPointer<QMenu> MnuBearbeiten;
    T_EditPair Rueckgaengig, Ausschneiden, Kopieren, Einfuegen, KopierenNach, EinfuegenAus, Loeschen,
        AllesMarkieren, MarkierungLoeschen, Suchen, Ersetzen;
    std::vector<T_EditPair*> pairs();
};

struct T_BildEditBindung {
    QPointer<QMenu> MnuBearbeiten;
    T_EditPair Rueckgaengig, Ausschneiden, Kopieren, Einfuegen, KopierenNach, EinfuegenAus;
    T_EditPair HalbierenBeide, HalbierenBreite, HalbierenHoehe;
    T_EditPair VerdoppelnBeide, VerdoppelnBreite, VerdoppelnHoehe;
    T_EditPair StreckenBeide, StreckenBreite, StreckenHoehe;
    T_EditPair KippenLinksRechts, KippenObenUnten, ZerrenLinksRechts, ZerrenObenUnten;
    T_EditPair Drehen90, Drehen180, DrehenBeliebig;
    std::vector<T_EditPair*> pairs();
};

extern T_ListEditBindung ListEditBindung;
extern T_EditBindung TextEditBindung;
extern T_BildEditBindung BildEditBindung;
