#pragma once
// The single choice of the list windows: one row per offered choice entry,
// picked with Enter or a double click, shown modally near the edited cell.
#include <QDialog>
#include <QPoint>
#include <QSize>
#include <optional>
#include <string>

#include "lists/core/list_tools.h"

class QTableWidget;

class TFormSelection : public QDialog {
    Q_OBJECT
public:
    explicit TFormSelection(QWidget* parent = nullptr);

    QTableWidget* StringGrid1 = nullptr;
    // The entry chosen last (and preselected when shown).
    int ResultIndex = 0;
    QPoint PlacePoint;
    QSize Bounds{1024, 768};
    std::string Choices;
    std::string Mask;

    // Shows the choices modally; the chosen entry number, nullopt for none.
    std::optional<int> Select(const std::string& choices, const std::string& mask, int preselected,
                              QPoint at);
    const SelectionRows& Rows() const { return rows_; }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillRows();
    void Choose();

    SelectionRows rows_;
};

// The one selection dialog of the list windows, made by the first of them.
extern TFormSelection* FormSelection;
