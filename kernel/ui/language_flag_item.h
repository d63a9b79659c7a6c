#pragma once
// The widget of one language entry: only its flag, with the menu's check
// mark left of it while the entry is checked. It is as wide as 60 pixels and
// as high as the flag plus 10. A click triggers the entry's action.
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QAction;
class QPainter;

class LanguageFlagItem : public QWidget {
    Q_OBJECT
public:
    LanguageFlagItem(QAction* action, QPixmap flag, int flagHeight);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool highlighted() const;
    void drawCheckMark(QPainter& p) const;

    QPointer<QAction> action_;
    QPixmap flag_;
    int flagHeight_;
};
