#pragma once
// The simulation's message window: the checker's messages of the run, one
// line each; lines are only appended, the user reads but cannot edit.
#include <QWidget>

class QPlainTextEdit;

class TFormGTestText : public QWidget {
    Q_OBJECT
public:
    explicit TFormGTestText(QWidget* parent = nullptr);
    ~TFormGTestText() override;

    QPlainTextEdit* Memo = nullptr;

    void AddLine(const QString& line);
    void Clear();
    QStringList Lines() const;
};

// Created by the first simulation window.
extern TFormGTestText* GTestText;
