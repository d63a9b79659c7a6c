#pragma once
// The export settings: four switches that change how the checker and the
// library make an export. The dialog edits the option bytes only on OK.
#include <QDialog>

class QCheckBox;
class QPushButton;

class TFormExportErweitert : public QDialog {
    Q_OBJECT
public:
    explicit TFormExportErweitert(QWidget* parent = nullptr);
    ~TFormExportErweitert() override;

    QCheckBox* CheckBoxFfTyp = nullptr;
    QCheckBox* CheckBoxNListeWs = nullptr;
    QCheckBox* CheckBoxSListeWs = nullptr;
    QCheckBox* CheckBoxGauge = nullptr;
    QPushButton* ButtonOk = nullptr;
    QPushButton* ButtonCancel = nullptr;

    void ButtonOkClick();

protected:
    void showEvent(QShowEvent* event) override;
};

// Created at start-up, for the program's lifetime.
extern TFormExportErweitert* FormExportErweitert;
