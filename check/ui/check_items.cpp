#include "check/ui/check_items.h"

#include <QAction>

#include "check/ui/check_windows_shell.h"

namespace {
QAction* Item(const char* name)
{
    return CheckShell() ? CheckShell()->action(name) : nullptr;
}
}  // namespace

bool ExportOffered()
{
    QAction* item = Item("MnuExportSkrel");
    return item && item->property("Tag").toInt() == 1;
}

void SetCheckItemsEnabled(bool enabled)
{
    for (const char* name : {"MnuPTest", "MnuGTest", "ToolButtonPTest", "ToolButtonGTest"})
        if (QAction* a = Item(name)) {
            a->setEnabled(enabled);
            if (enabled)
                a->setChecked(false);
        }
    const bool exportOn = !enabled || ExportOffered();
    for (const char* name : {"MnuExportSkrel", "ToolButtonExportSkrel"})
        if (QAction* a = Item(name)) {
            a->setEnabled(enabled && exportOn);
            if (enabled)
                a->setChecked(false);
        }
}
