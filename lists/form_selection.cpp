#include "lists/form_selection.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTableWidget>
#include <QVBoxLayout>

#include "kernel/language/language.h"
#include "kernel/ui/dialog_focus.h"
#include "kernel/ui/fonts.h"
#include "kernel/ui/shell_values.h"
#include "kernel/ui/translate_form.h"
#include "lists/dialog_tools.h"

TFormSelection* FormSelection = nullptr;

TFormSelection::TFormSelection(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName("FormSelection");
    setWindowTitle("Auswahl");
    StringGrid1 = new QTableWidget(this);
    StringGrid1->setObjectName("StringGrid1");
    StringGrid1->setColumnCount(1);
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setToolTip("mit <Enter> oder Doppelklick selektieren");
    StringGrid1->installEventFilter(this);
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, [this] { Choose(); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(StringGrid1);
    QFont font = StringGrid1->font();
    SetFont(5, font);
    StringGrid1->setFont(font);
    TranslateForm(this);
    MoveOffScreen(*this);
}

std::optional<int> TFormSelection::Select(const std::string& choices, const std::string& mask,
                                          int preselected, QPoint at)
{
    Choices = choices;
    Mask = mask;
    ResultIndex = preselected;
    PlacePoint = at;
    Bounds = QSize(MainClientWidth ? MainClientWidth : 1024, MainClientHeight ? MainClientHeight : 768);
    if (ExecReturningFocus(*this) != QDialog::Accepted)
        return std::nullopt;
    return ResultIndex;
}

void TFormSelection::FillRows()
{
    const bool symbols = Mask == "FARBE";
    QFont font = StringGrid1->font();
    SetFont(symbols ? 5 : 1, font);
    StringGrid1->setFont(font);
    rows_ = BuildSelectionRows(Choices, symbols ? std::string() : Mask, ResultIndex);
    StringGrid1->clear();
    StringGrid1->setRowCount(static_cast<int>(rows_.texts.size()));
    FillChoiceColumn(*StringGrid1, 0, rows_.texts, symbols);
    FitGrid(*StringGrid1, 0);
    if (!rows_.texts.empty())
        StringGrid1->setCurrentCell(std::max(0, rows_.selectedRow), 0);
}

void TFormSelection::showEvent(QShowEvent* event)
{
    FillRows();
    QDialog::showEvent(event);
    PlaceWithin(*this, PlacePoint, Bounds);
    StringGrid1->setFocus();
}

void TFormSelection::Choose()
{
    const int row = StringGrid1->currentRow();
    // With no row offered there is nothing to choose: Enter cancels.
    if (row < 0 || row >= static_cast<int>(rows_.entries.size())) {
        reject();
        return;
    }
    ResultIndex = rows_.entries[static_cast<size_t>(row)];
    accept();
}

bool TFormSelection::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == StringGrid1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int rows = StringGrid1->rowCount();
        if (key == Qt::Key_Escape) {
            reject();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Choose();
            return true;
        }
        if (key == Qt::Key_Space && rows > 0) {
            StringGrid1->setCurrentCell((StringGrid1->currentRow() + 1) % rows, 0);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormSelection::done(int result)
{
    QDialog::done(result);
    MoveOffScreen(*this);
}
