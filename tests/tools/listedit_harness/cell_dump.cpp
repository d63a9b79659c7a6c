#include "tests/tools/listedit_harness/cell_dump.h"

#include <QWidget>
#include <cstdio>
#include <sstream>

#include "kernel/ui/forms.h"
#include "lists/form_liste.h"
#include "lists/panel_color.h"

namespace {
std::string Hex(const QColor& c)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", c.red(), c.green(), c.blue());
    return text;
}

void DumpWindow(std::ostringstream& out, const TFormListe& form)
{
    const ListWindowCore& core = form.Core();
    const MarkedRange& range = core.Range();
    out << "WINDOW " << form.objectName().toStdString() << " offset=" << core.ZeileOffset()
        << " rows=" << core.VisibleRows() << " lines=" << core.ZeilenAnzahl()
        << " append=" << (core.AppendRow() ? 1 : 0) << " cursor=" << core.Zeile() << ","
        << core.Feld() << " range=" << range.first << "," << range.last << "," << range.record << "\n";
    const CellGrid& grid = core.Grid();
    for (int r = 1; r <= grid.Rows(); ++r)
        for (int c = 1; c <= grid.Columns(); ++c) {
            const TPanelColor* panel = form.Panel(r, c);
            if (!panel)
                continue;
            const Cell& cell = grid.At(r, c);
            std::string flags;
            if (panel->isHidden())
                flags += 'h';
            if (cell.readOnly)
                flags += 'r';
            if (panel->hasFocus())
                flags += 'f';
            const QPoint at = panel->mapToGlobal(QPoint(0, 0));
            out << "CELL " << r << " " << c << " " << cell.field << " " << panel->LongTag() << " "
                << (flags.empty() ? "-" : flags) << " " << Hex(panel->Background()) << " "
                << Hex(panel->TextColour()) << " " << at.x() << " " << at.y() << " " << panel->width()
                << " " << panel->height() << " \"" << core.TextWithoutCaret(r, c) << "\"\n";
        }
}
}  // namespace

std::string CellDump()
{
    std::ostringstream out;
    for (const FormEntry& e : Forms())
        if (e.role == FormRole::List)
            if (const auto* form = qobject_cast<const TFormListe*>(e.form))
                DumpWindow(out, *form);
    return out.str();
}
