#pragma once
// The editor's find and replace dialog: modeless, made once per window and
// kept. It only collects the texts and says which button was pressed.
#include <QDialog>
#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;

class FindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Find, Replace };
    FindReplaceDialog(Kind kind, QWidget* parent);

    Kind kind() const { return kind_; }
    // Windows-1252, as the text stores it.
    std::string FindText() const;
    std::string ReplaceText() const;
    bool MatchCase() const;
    void SetFindText(const QString& text);

    QLineEdit* EditFind = nullptr;
    QLineEdit* EditReplace = nullptr;
    QCheckBox* CheckMatchCase = nullptr;
    QPushButton* ButtonFindNext = nullptr;
    QPushButton* ButtonReplace = nullptr;
    QPushButton* ButtonReplaceAll = nullptr;
    QPushButton* ButtonCancel = nullptr;

signals:
    void findNext();
    void replaceOne();
    void replaceAll();
    void closed();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    Kind kind_;
};
