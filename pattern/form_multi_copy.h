#pragma once
// "Multiples Kopieren": asks how often the motif is placed. The count is the
// dialog's result; a count outside 1..499 is refused with "Ungültiger Wert"
// and the dialog stays open.
#include <QDialog>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;

class TFormMulticopy : public QDialog {
    Q_OBJECT
public:
    // The result of Cancel (and of Esc or the close box).
    static constexpr int kCancelled = -1;

    explicit TFormMulticopy(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    // Two digits; starts with "1".
    QLineEdit* MaskEdit1 = nullptr;
    QPushButton* OK_Button = nullptr;
    QPushButton* Cancel_Button = nullptr;

public slots:
    void reject() override;

protected:
    // The count is typed at once, over the last one.
    void showEvent(QShowEvent* event) override;

private:
    void OkClick();
};

// How many placements tool 28 makes: the count asked in "FormMulticopy"
// (found or created); any other tool, Cancel or a count below 2 give 1.
int MultiCopyCount(uint8_t tool);
