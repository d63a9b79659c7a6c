#pragma once
// The simulation's message window: the checker's messages of the run, one
// line each, in the text editor; lines are only appended, the user reads,
// selects and copies but cannot edit.
#include <QStringList>

#include "textedit/form_text_edit.h"

class TFormGTestText : public TFormTextEdit {
    Q_OBJECT
public:
    explicit TFormGTestText(QWidget* parent = nullptr);
    ~TFormGTestText() override;

    // Appends one line (UTF-8) and keeps it in view.
    void AddLine(const QString& line);
    void Clear();
    // The lines as shown (UTF-8).
    QStringList ShownLines();
    // Shows the window in front. Never placed by the user yet, it opens
    // beside the simulation window, which it would otherwise cover or hide
    // behind.
    void ShowBeside(const QWidget& simulation);

private:
    bool placed_ = false;
};

// Created by the first simulation window.
extern TFormGTestText* GTestText;
