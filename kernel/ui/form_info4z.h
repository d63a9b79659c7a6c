#pragma once
// The four-line progress box of long jobs; Esc asks the job to stop.
#include <QDialog>
#include <QString>
#include <array>

class QLabel;
class QFrame;

class TFormInfo4Z : public QDialog {
    Q_OBJECT
public:
    explicit TFormInfo4Z(QWidget* parent = nullptr);

    // Line 1..4: a new value text is shown and pending events are processed,
    // so that the box repaints during the job; the same text again costs
    // nothing. A path too long for its field is shortened in the middle.
    // Other line numbers do nothing.
    void SetInfoLine(int line, const QString& text);
    void SetCaption(const QString& caption);
    // The caption panel of line 1..4.
    void SetLabel(int line, const QString& text);
    // The text last given to line 1..4's value panel, whole.
    QString InfoLine(int line) const;
    // Empties the four value panels.
    void ClearValues();

    // Set by Esc while the box is shown; cleared when it is shown.
    bool AbortRequested() const { return abortRequested_; }

    // Column 1 (captions), 2 (middle) or 3 (values), line 1..4; nullptr outside.
    QLabel* Panel(int column, int line) const;

public slots:
    // Esc and the title-bar close never close the box.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QFrame* back_ = nullptr;
    std::array<std::array<QLabel*, 4>, 3> panels_{};
    // The texts given to the value panels, before shortening.
    std::array<QString, 4> values_{};
    bool abortRequested_ = false;
};

// The one box of the program; the shell creates it at start-up.
extern TFormInfo4Z* FormInfo4Z;
