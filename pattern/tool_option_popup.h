#pragma once
// A caption-less pop-up of picture buttons beside the tool palette: a click
// writes the painting unit's setting the button stands for, puts the
// button's picture (the slope window: its caption) on the palette button
// that opened the pop-up, and closes it.
#include <QDialog>
#include <QList>
#include <QString>

#include "pattern/shapes/tool_options.h"

class QToolButton;

class ToolOptionPopup : public QDialog {
    Q_OBJECT
public:
    static constexpr int kButtonSize = 26;

    // The palette button each option belongs to.
    static const char* PaletteButtonName(ToolOption option);
    // The pop-up's component name ("LokalStufen_Form" ...).
    static const char* FormName(ToolOption option);

    ToolOption Option() const { return option_; }
    // The buttons from 1, as their settings count them.
    QToolButton* OptionButton(int i) const { return buttons_.value(i - 1); }
    const QList<QToolButton*>& OptionButtons() const { return buttons_; }
    // What the last click chose (the slope window: the tag), 0 for nothing.
    int Chosen() const { return chosen_; }

    // The component name of the tool window that opened the pop-up: the
    // click finds it again by that name.
    QString toolWindowName;

signals:
    void OptionChosen(ToolOption option, int button);

protected:
    // Lays out the option's buttons in rows of `columns`; the window is as
    // high as they are.
    ToolOptionPopup(ToolOption option, int columns, QWidget* parent);
    QToolButton* AddButton(int i, int columns);

private:
    void ButtonClick(int i);

    ToolOption option_;
    QList<QToolButton*> buttons_;
    int chosen_ = 0;
};
