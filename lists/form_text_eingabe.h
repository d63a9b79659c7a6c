#pragma once
// The comment input of the list windows: a text field and "&OK", kept on
// the monitor of its point; trailing blanks are dropped on closing.
#include <QDialog>
#include <QPoint>
#include <QSize>
#include <optional>
#include <string>

class QPlainTextEdit;
class QPushButton;
class QWidget;

class TFormTextEingabe : public QDialog {
    Q_OBJECT
public:
    explicit TFormTextEingabe(QWidget* parent = nullptr);

    QWidget* PanelHintergrund = nullptr;
    QPlainTextEdit* RichEditText = nullptr;
    QPushButton* ButtonOK = nullptr;
    QPoint PlacePoint;
    QSize Bounds{1024, 768};

    // Shows the text modally; the edited text after "&OK", else nullopt.
    std::optional<std::string> Edit(const std::string& text, QPoint at);
    std::string Text() const;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

extern TFormTextEingabe* FormTextEingabe;
