#pragma once
// The status bar of a picture window: four panels, at first 60, 60, 60 and
// 50 pixels wide, the first three centred; the last one reaches to the bar's
// right edge, so a long text there is not cut short.
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
    std::array<int, kPanels> widths_{60, 60, 60, 50};
};
