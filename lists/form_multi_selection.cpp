#include "lists/form_multi_selection.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "kernel/ui/dialog_focus.h"
#include "kernel/ui/fonts.h"
#include "kernel/ui/shell_values.h"
#include "kernel/ui/translate_form.h"
#include "lists/dialog_tools.h"

TFormMultiSelection* FormMultiSelection = nullptr;

TFormMultiSelection::TFormMultiSelection(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName("FormMultiSelection");
    setWindowTitle("Auswahl");
    StringGrid = new QTableWidget(this);
    StringGrid->setObjectName("StringGrid");
    StringGrid->setColumnCount(2);
    StringGrid->horizontalHeader()->hide();
    StringGrid->verticalHeader()->hide();
    StringGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid->setToolTip("mit <Enter> oder Doppelklick selektieren");
    StringGrid->installEventFilter(this);
    connect(StringGrid, &QTableWidget::cellPressed, this, [this](int row, int) { ToggleRow(row); });
    ButtonOK = new QPushButton("&OK", this);
    ButtonOK->setObjectName("ButtonOK");
    QFont font = ButtonOK->font();
    SetFont(4, font);
    ButtonOK->setFont(font);
    connect(ButtonOK, &QPushButton::clicked, this, [this] { Confirm(); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(StringGrid);
    layout->addWidget(ButtonOK);
    TranslateForm(this);
    MoveOffScreen(*this);
}

std::optional<uint32_t> TFormMultiSelection::Select(const std::string& choices,
                                                    const std::string& mask, uint32_t preset,
                                                    QPoint at)
{
    Choices = choices;
    Mask = mask;
    Result = preset;
    PlacePoint = at;
    Bounds = QSize(MainClientWidth ? MainClientWidth : 1024, MainClientHeight ? MainClientHeight : 768);
    if (ExecReturningFocus(*this) != QDialog::Accepted)
        return std::nullopt;
    return Result;
}

void TFormMultiSelection::FillRows()
{
    const bool symbols = Mask == "FARBE";
    QFont font = StringGrid->font();
    SetFont(symbols ? 5 : 1, font);
    StringGrid->setFont(font);
    rows_ = BuildSelectionRows(Choices, symbols ? std::string() : Mask, -1);
    const int count = static_cast<int>(rows_.texts.size());
    marked_.assign(rows_.texts.size(), false);
    for (int r = 0; r < count; ++r)
        marked_[static_cast<size_t>(r)] = rows_.entries[static_cast<size_t>(r)] < 32 &&
                                          (Result >> rows_.entries[static_cast<size_t>(r)] & 1);
    StringGrid->clear();
    StringGrid->setRowCount(count);
    std::vector<std::string> marks;
    for (bool m : marked_)
        marks.push_back(m ? "X" : " ");
    FillChoiceColumn(*StringGrid, 0, marks, false);
    FillChoiceColumn(*StringGrid, 1, rows_.texts, symbols);
    FitGrid(*StringGrid, 0);
    if (count > 0)
        StringGrid->setCurrentCell(0, 1);
}

bool TFormMultiSelection::Marked(int row) const
{
    return row >= 0 && row < static_cast<int>(marked_.size()) && marked_[static_cast<size_t>(row)];
}

void TFormMultiSelection::ToggleRow(int row)
{
    if (row < 0 || row >= static_cast<int>(marked_.size()))
        return;
    marked_[static_cast<size_t>(row)] = !marked_[static_cast<size_t>(row)];
    StringGrid->item(row, 0)->setText(marked_[static_cast<size_t>(row)] ? "X" : " ");
}

void TFormMultiSelection::Confirm()
{
    Result = MultiSelectionResult(rows_, marked_);
    accept();
}

void TFormMultiSelection::showEvent(QShowEvent* event)
{
    FillRows();
    QDialog::showEvent(event);
    PlaceWithin(*this, PlacePoint, Bounds);
    StringGrid->setFocus();
}

bool TFormMultiSelection::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == StringGrid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int rows = StringGrid->rowCount();
        if (key == Qt::Key_Escape) {
            reject();
            return true;
        }
        if (key == Qt::Key_Space && rows > 0) {
            const int row = std::max(0, StringGrid->currentRow());
            ToggleRow(row);
            StringGrid->setCurrentCell((row + 1) % rows, 1);
            return true;
        }
        if (key == Qt::Key_Delete) {
            for (int r = 0; r < rows; ++r)
                if (Marked(r))
                    ToggleRow(r);
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Confirm();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormMultiSelection::done(int result)
{
    QDialog::done(result);
    MoveOffScreen(*this);
}
