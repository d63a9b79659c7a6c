#pragma once
// The status bar of a picture window: four panels of 60, 60, 60 and 50
// pixels, the first three centred.
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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<QString, kPanels> texts_;
};
