#pragma once
// The multiple choice of the list windows: rows marked with "X", the marked
// rows' entries returned as a bit set when "&OK" is pressed.
#include <QDialog>
#include <QPoint>
#include <QSize>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lists/core/list_tools.h"

class QPushButton;
class QTableWidget;

class TFormMultiSelection : public QDialog {
    Q_OBJECT
public:
    explicit TFormMultiSelection(QWidget* parent = nullptr);

    QTableWidget* StringGrid = nullptr;
    QPushButton* ButtonOK = nullptr;
    uint32_t Result = 0;
    QPoint PlacePoint;
    QSize Bounds{1024, 768};
    std::string Choices;
    std::string Mask;

    // Shows the choices modally with the entries of preset marked; the
    // marked entries, nullopt when closed without "&OK".
    std::optional<uint32_t> Select(const std::string& choices, const std::string& mask,
                                   uint32_t preset, QPoint at);
    void ToggleRow(int row);
    bool Marked(int row) const;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillRows();
    void Confirm();

    SelectionRows rows_;
    std::vector<bool> marked_;
};

extern TFormMultiSelection* FormMultiSelection;
