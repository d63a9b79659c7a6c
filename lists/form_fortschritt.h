#pragma once
// The progress window of list jobs and of the compile driver: one label and
// one bar, kept on top. Its users set caption, label and bar themselves.
#include <QWidget>

class HideWhenShown;
class QLabel;
class QProgressBar;

class TFormFortschritt : public QWidget {
    Q_OBJECT
public:
    explicit TFormFortschritt(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;

    // A show or hide by the job; a message sets the window aside by a hide
    // of its own, and the job's next step of the bar brings it back.
    void setVisible(bool visible) override;

private:
    HideWhenShown* hideWhenShown_ = nullptr;
};

// The one progress window of the program; the shell creates it at start-up.
extern TFormFortschritt* FormFortschritt;
