#pragma once
// The four-line progress box of long jobs; Esc asks the job to stop.
#include <QDialog>
#include <QString>
#include <array>

#include "platform/frame_pace.h"

class HideWhenShown;
class QLabel;
class QFrame;
class QTimer;

class TFormInfo4Z : public QDialog {
    Q_OBJECT
public:
    explicit TFormInfo4Z(QWidget* parent = nullptr);

    // Line 1..4: a new value text is taken and shown at the display's pace:
    // once a frame the panels take the latest texts and pending events are
    // processed (the box repaints, Esc is seen); between frames a new text
    // is only kept, and a timer shows the last one should no further text
    // come. The same text again costs nothing. A path too long for its field
    // is shortened in the middle. Other line numbers do nothing.
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

    // The clock of the frame pace (tests hold it still or step it).
    void SetFrameClock(FramePace::Clock clock);

    // Column 1 (captions), 2 (middle) or 3 (values), line 1..4; nullptr outside.
    QLabel* Panel(int column, int line) const;

    // A show or hide by the job; a message sets the box aside by a hide of
    // its own (ProgressBoxes).
    void setVisible(bool visible) override;

public slots:
    // Esc and the title-bar close never close the box.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    HideWhenShown* hideWhenShown_ = nullptr;
    // The panels take the texts not yet shown.
    void ShowValues();

    QFrame* back_ = nullptr;
    std::array<std::array<QLabel*, 4>, 3> panels_{};
    // The texts given to the value panels, before shortening.
    std::array<QString, 4> values_{};
    // Lines whose panel does not show its text yet.
    std::array<bool, 4> pending_{};
    FramePace pace_;
    QTimer* late_ = nullptr;
    bool abortRequested_ = false;
    // The job goes on after a message: its Esc and pace stay.
    bool resuming_ = false;
};

// The one box of the program; the shell creates it at start-up.
extern TFormInfo4Z* FormInfo4Z;
