#pragma once
// The main window: menus, four tool bars, the status bar and the panel with
// the program header. It routes: the windows it opens do the work, and the
// Edit menu belongs to whichever of them is active.
#include <QMainWindow>
#include <QMap>
#include <QPair>
#include <QString>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QToolBar;
class QFrame;
class QStatusBar;
class StatusPanels;
class MainCheckWindowsShell;
class SignalEnd;

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* parent = nullptr);
    ~TFormMain() override;

    // The menu item or tool button of that component name; nullptr when none.
    QAction* Action(const QString& name) const;
    QMenu* Menu(const QString& name) const;

    void P_ShowProgrammKopf();
    // Status bar panel 0 (the status procedure of the other windows).
    void SetStatusText(const QString& text);
    QString PanelText(int panel) const;

    // The RAM copy of the current working level.
    QString RamCopyPath() const;
    void MnuCreateRamCopyClick();
    void MnuReadRamCopyClick();

    void MnuNeuClick();
    void MnuOeffnenClick();
    void MnuSpeichernClick();
    void MnuSpeichernUnterClick();
    void MnuLoadFileClick(int n);
    // Loads a complete program (file names from outside pass through
    // NormalizePath): a missing file shows "Datei nicht gefunden!", a refused
    // one leaves the program as it was. viaNew: the remote road, which starts
    // with "&Neu".
    bool OpenProgram(const std::string& file, bool viaNew);
    // Puts the file at the top of the recent files.
    void P_AddLoadFile(const std::string& name);
    QString RecentCaptionOf(int n) const;
    // The open and save dialogs' filter and folder.
    QString DialogFilter() const { return dialogFilter_; }
    QString DialogFolder() const { return dialogFolder_; }
    // The save dialog (the save-as road); a test may answer it.
    std::function<QString(const QString& suggested)> askSaveName;
    std::function<QPair<QString, int>()> askOpenName;
    void MnuArbeitsebeneClick();
    void MnuMaschineClick(QAction* item);
    void MnuBearbeitenClick();
    void MnuMaschineOpen();
    void MnuSiblingClick(const QString& programName);

    // The restart after a language change.
    void P_RestartCallback();
    // A termination signal arrived: the program ends within two seconds,
    // with the RAM copy when it can be written, whatever window is open.
    void EndOnSignal(int signal);
    // How the program ends when the grace time of a signal is over (a test
    // records it instead).
    std::function<void(int status)> endProcess = [](int status) { std::_Exit(status); };
    bool RestartWanted() const { return restartWanted_; }

    QStatusBar* StatusBar1 = nullptr;
    QFrame* PanelStatus = nullptr;
    QLabel* PanelMaschine = nullptr;
    QLabel* PanelGauge = nullptr;
    QLabel* PanelName = nullptr;
    QToolBar* ToolBarDisk = nullptr;
    QToolBar* ToolBarEdit = nullptr;
    QToolBar* ToolBarTest = nullptr;
    QToolBar* ToolBarListen = nullptr;
    QMenu* MnuBearbeiten = nullptr;
    QMenu* MnuEinstellungen1 = nullptr;

Q_SIGNALS:
    // After each paint of the main window (the start window counts them).
    void painted();

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void CreateMenus();
    void CreateToolBars();
    void CreateStatus();
    void P_SetEditBindungen();
    void LayoutPanels();
    void PublishToolBarArea();
    void ShowLevelPicture();
    void CompleteInterruptedSaves();
    // Opens the main menu whose Alt letter the key is, pressed in another
    // window of the program; true when one opened.
    bool OpenMenuOfAltLetter(QObject* watched, const QKeyEvent& key);
    // Saves the program as file; "&Speichern" writes that file from then on.
    void SaveProgram(const std::string& file);
    // The RAM copy written for the close; false when the close must stop
    // because it could not be written (the technician is told, once).
    bool KeepRamCopyForClose();
    void WriteRecentFiles();
    // The grace time of a signal is over and the program has not closed.
    void EndAfterSignal(int signal);

    QAction* AddItem(QMenu* menu, const QString& name, const QString& caption, int picture = -1,
                     const QKeySequence& key = {});
    QAction* AddButton(QToolBar* bar, const QString& name, const QString& hint, int picture);
    QAction* AddSeparator(QMenu* menu, int tag = 0);

    QMap<QString, QAction*> actions_;
    QMap<QString, QMenu*> menus_;
    StatusPanels* panels_ = nullptr;
    bool restartWanted_ = false;
    bool closing_ = false;
    // The RAM copy failed at a close and the technician was told: the next
    // close ends without it.
    bool ramCopyWaived_ = false;
    SignalEnd* signalEnd_ = nullptr;
    bool firstPaint_ = true;
    QString dialogFilter_;
    QString dialogFolder_;
    // The file the program was last loaded from or saved as, and the
    // extension its machine model and gauge gave then.
    std::string programFile_;
    std::string programFileExtension_;
    int separators_ = 0;
    std::unique_ptr<MainCheckWindowsShell> checkWindowsLink;
};

extern TFormMain* FormMain;
