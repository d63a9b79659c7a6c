#pragma once
// The status bar of a picture window: four panels, at first 60, 60, 60 and
// 50 pixels wide, the first three centred; the last one reaches to the bar's
// right edge. No panel cuts its text: a window fits the first three to the
// longest texts they show, and a text wider still widens its panel.
#include <QString>
#include <QWidget>
#include <array>

class MalStatusBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPanels = 4;

    explicit MalStatusBar(QWidget* parent = nullptr);

    // Panels outside 0..3 are ignored.
    void SetStatusText(int panel, const QString& text);
    // The width a panel needs to show the text whole, each digit counted as
    // wide as the widest digit, so that a number of the same length fits too.
    int NeededWidth(const QString& text) const;
    // Makes the panel as wide as the longest text it will show, but not
    // narrower than its first width.
    void FitPanel(int panel, const QString& longestText);
    QString StatusText(int panel) const;
    // A window sizes a panel to the texts it shows there.
    void SetPanelWidth(int panel, int width);
    int PanelWidth(int panel) const;
    // The panel's rectangle in the bar.
    QRect PanelRect(int panel) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<QString, kPanels> texts_;
    static constexpr std::array<int, kPanels> kFirstWidths{60, 60, 60, 50};
    std::array<int, kPanels> widths_ = kFirstWidths;
};
