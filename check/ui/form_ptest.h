#pragma once
// The program test and export window: runs the checker over the whole
// program, as a plain test (TestModus 0) or as an export (2) that feeds the
// simulation library, which then writes the conversion file.
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "check/programcheck.h"
#include "check/ui/core/ptest_panel_texts.h"
#include "platform/frame_pace.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

class TFormPTest : public QWidget {
    Q_OBJECT
public:
    explicit TFormPTest(QWidget* parent = nullptr);
    ~TFormPTest() override;

    QPushButton* ButtonStart = nullptr;
    QPushButton* ButtonStop = nullptr;
    QPushButton* ButtonExportMaTyp = nullptr;
    QPushButton* ButtonErweitert = nullptr;
    QPlainTextEdit* MemoPTest = nullptr;
    QLabel* PanelSInner = nullptr;
    QLabel* PanelDInner = nullptr;
    QLabel* PanelS = nullptr;
    QLabel* PanelZ = nullptr;
    QLabel* PanelD = nullptr;
    QProgressBar* ProgressBarMain = nullptr;
    QProgressBar* ProgressBarSub = nullptr;
    QTimer* TimerPTest = nullptr;

    void ButtonStartClick();
    void ButtonStopClick();
    void ButtonExportMaTypClick();
    void ButtonErweitertClick();
    void TimerPTestTimer();

    // The export target: a ".D10" file, or a folder (ending in "\" or "/").
    const std::string& MaTyp() const { return maTyp_; }
    // Before the first show: below the main window's menu and tool bars,
    // which the window would otherwise cover.
    void PlaceBelowToolBars();
    // Replaces the target and renews the button's caption.
    void SetMaTyp(const std::string& file);
    // The mode the window was shown in.
    int Mode() const { return mode_; }
    bool RunStarted() const { return runStarted_; }
    // A run was started and has ended.
    bool Finished() const;

    // The machine-type dialog: folder and file to start on; nothing when
    // cancelled. Qt's own dialog unless a test answers.
    std::function<std::optional<QString>(const QString& folder, const QString& file)> askMachineFile;
    // The question before starting the export target; true for OK.
    std::function<bool(const QString& text)> askStartTarget;
    // Starts the export target's command line.
    std::function<void(const std::string& commandLine)> runProgram;

    // The sinks of the checker and the library.
    void P_PTestMeldung(const std::string& text);
    void P_PTestFortschritt(bool subBar, uint16_t maximum, uint16_t position);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void FormHide();
    void FinishHide();
    void ShowPosition();
    void ExportEnd();
    std::string TargetForLibrary() const;

    int mode_ = 0;
    bool runStarted_ = false;
    bool hidePending_ = false;
    bool placed_ = false;
    std::string pending_;
    std::string maTyp_;
    int lastZ_ = -1;
    int lastS_ = -1;
    // The walk's position at its last stroke, and what the panels show.
    T_CheckPosition strokePosition_;
    PTestPanelTexts shownPanels_;
    // A check with many messages shows them at the display's pace.
    FramePace messagePace_;
};

// The one program test window (nullptr until first shown).
extern TFormPTest* FormPTest;
