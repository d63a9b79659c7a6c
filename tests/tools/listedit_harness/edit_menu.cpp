#include "tests/tools/listedit_harness/edit_menu.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <iostream>

#include "kernel/ui/edit_bindings.h"

namespace {
struct Item {
    const char* name;
    const char* caption;
    QKeySequence key;
    int tag;
    const char* button;
};
}  // namespace

void CreateEditMenu(QMainWindow& main)
{
    QMenu* menu = main.menuBar()->addMenu("&Bearbeiten");
    menu->setObjectName("MnuBearbeiten");
    auto* bar = new QToolBar(&main);
    bar->setObjectName("ToolBarEdit");
    main.addToolBar(bar);
    const Item items[] = {
        {"MnuRueckgaengig", "&Rückgängig", QKeySequence(Qt::ALT | Qt::Key_Backspace), 3, "ToolButtonRueckgaengig"},
        {"MnuAusschneiden", "&Ausschneiden", QKeySequence(Qt::CTRL | Qt::Key_X), 3, "ToolButtonAusschneiden"},
        {"MnuKopieren", "&Kopieren", QKeySequence(Qt::CTRL | Qt::Key_C), 3, "ToolButtonKopieren"},
        {"MnuEinfuegen", "&Einfügen", QKeySequence(Qt::CTRL | Qt::Key_V), 3, "ToolButtonEinfuegen"},
        {"MnuLoeschen", "&Löschen", QKeySequence(Qt::CTRL | Qt::Key_Delete), 3, "ToolButtonLoeschen"},
        {"MnuAllesmarkieren", "Alles &markieren", QKeySequence(Qt::CTRL | Qt::Key_A), 0, nullptr},
        {"MnuMarkierungloeschen", "Markierung ent&fernen", QKeySequence(), 0, nullptr}};
    std::vector<T_EditPair> pairs;
    for (const Item& i : items) {
        auto* item = new QAction(i.caption, &main);
        item->setObjectName(i.name);
        item->setShortcut(i.key);
        item->setShortcutContext(Qt::ApplicationShortcut);
        item->setProperty("Tag", i.tag);
        item->setEnabled(false);
        menu->addAction(item);
        QAction* button = nullptr;
        if (i.button) {
            button = bar->addAction(QString(i.caption).remove('&'));
            button->setObjectName(i.button);
            button->setEnabled(false);
        }
        pairs.emplace_back(item, button);
    }
    T_ListEditBindung& l = ListEditBindung;
    l.MnuBearbeiten = menu;
    l.Rueckgaengig = pairs[0];
    l.Ausschneiden = pairs[1];
    l.Kopieren = pairs[2];
    l.Einfuegen = pairs[3];
    l.Loeschen = pairs[4];
    l.AllesMarkieren = pairs[5];
    l.MarkierungLoeschen = pairs[6];
}

void PrintEditBinding()
{
    T_ListEditBindung& l = ListEditBindung;
    auto on = [](const T_EditPair& p) { return p.item() && p.item()->isEnabled() ? 1 : 0; };
    std::cout << "BIND undo=" << on(l.Rueckgaengig) << " cut=" << on(l.Ausschneiden) << " copy=" << on(l.Kopieren)
              << " paste=" << on(l.Einfuegen) << " delete=" << on(l.Loeschen) << " all=" << on(l.AllesMarkieren)
              << " clear=" << on(l.MarkierungLoeschen) << std::endl;
}
