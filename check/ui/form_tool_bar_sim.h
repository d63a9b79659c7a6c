#pragma once
// The simulation's shared tool bar and pop-up menu. The tool bar moves into
// whichever simulation window attaches it.
#include <QIcon>
#include <QString>
#include <QWidget>

class QAction;
class QMenu;
class QToolBar;

class TFormToolBarSim : public QWidget {
    Q_OBJECT
public:
    explicit TFormToolBarSim(QWidget* parent = nullptr);
    ~TFormToolBarSim() override;

    QWidget* PanelToolBar = nullptr;
    QToolBar* ToolBarSim = nullptr;
    QMenu* PopupMnuSim = nullptr;
    QAction* MnuFarbenOriginal = nullptr;
    QAction* MnuLeerZeile = nullptr;

    // A tool button by component name (nullptr when none).
    QAction* Button(const QString& name) const;
    // Shows image `on` or `off` of the button by its state.
    void ShowState(const QString& name, bool on);

private:
    QAction* AddButton(const char* name, const char* hint, const QString& picture, bool checkable);
};

// Created by the first simulation window.
extern TFormToolBarSim* FormToolBarSim;

// The tool bar's pictures: a few letters on a button face.
QIcon SimButtonIcon(const QString& letters, bool on);
