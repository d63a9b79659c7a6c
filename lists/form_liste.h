#pragma once
// The base window of every list editor: one TPanelColor per cell of its
// core's grid, a scroll bar, the blink and focus-test timers. Every core
// call from an event is followed by mirroring the cells that changed. An
// editor is a ListWindowCore subclass plus a thin subclass of this window
// that hands its core to SetCore.
#include <QWidget>
#include <memory>
#include <vector>

#include "lists/core/list_window_core.h"

class QScrollBar;
class QTimer;
class TPanelColor;

class TFormListe : public QWidget, public ListWindowHost {
    Q_OBJECT
public:
    // Parented to the main window by default.
    explicit TFormListe(QWidget* parent = nullptr);
    ~TFormListe() override;

    ListWindowCore& Core() { return *core_; }
    const ListWindowCore& Core() const { return *core_; }
    // The panel of a cell; nullptr before the cell exists.
    TPanelColor* Panel(int row, int column) const;

    QWidget* PanelHintergrund = nullptr;
    QScrollBar* ScrollBar = nullptr;
    QTimer* TimerBlinken = nullptr;
    QTimer* TimerTestFocus = nullptr;

    // Forwarded to the core, then mirrored.
    bool HandleKey(int key);
    void GotoLine(int line, int field);
    // The rows of a list that was emptied: its count, then the page.
    void SetLineCount(int n);
    // Shows the page again from the data.
    void ShowPage();
    // Shows the window anew after its list was replaced, as its activation
    // does, without taking the activation from the window that has it.
    void ShowAnew();
    void Mirror();

    // ListWindowHost
    int TextWidth(const std::string& text, int font) const override;
    bool IsVisible() const override;
    bool CellHasFocus(int row, int column) const override;
    void FocusCell(int row, int column) override;
    void HideWindow() override;
    void ActivateWindow() override;
    void CloseWindow() override;
    void CloseMainWindow() override;
    void SetBlinking(bool on) override;
    void ShowStatusHint(const std::string& hint) override;
    void Beep() override;
    void ShowFatalMessage(const std::string& text) override;
    void ShowProgress(const std::string& label, int value) override;
    void HideProgress() override;
    std::optional<int> SelectEntry(const ChoiceRequest& request) override;
    std::optional<uint32_t> SelectEntries(const ChoiceRequest& request) override;
    std::optional<std::string> EditText(const std::string& text, int row, int column) override;
    int ClientHeight() const override;
    WindowPlace Place() const override;
    void MoveWindow(const WindowPlace& place) override;
    std::vector<ScreenArea> Screens() const override;
    int ScreenOfWindow() const override;
    std::string ReadPlacement(const std::string& key) const override;
    void WritePlacement(const std::string& key, const std::string& value) override;
    void ApplyEditBinding(const EditMenuBinding& binding, bool release, bool hide) override;

protected:
    // Takes the editor's core (built against this window) and shows its cells.
    void SetCore(std::unique_ptr<ListWindowCore> core);

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    template <class F>
    auto Run(F&& work);
    TPanelColor* EnsurePanel(int row, int column);
    void MirrorCell(const Cell& cell, TPanelColor& panel);
    void MirrorFrame();
    bool CellKey(TPanelColor& panel, QEvent* event);
    QPoint CellScreenPoint(int row, int column) const;
    static void CreateSharedDialogs();

    std::unique_ptr<ListWindowCore> core_;
    std::vector<std::vector<TPanelColor*>> panels_;
    bool swallowPress_ = false;
    bool placed_ = false;
    bool closing_ = false;
    QPoint pressPoint_;
};
