#pragma once
// One panel of the colour window: a colour with its symbol in bold, raised,
// sunk while it is the foreground or background colour; over it the protect
// and transparent marks and, on the motif page, the motif's picture.
#include <QColor>
#include <QPixmap>
#include <QWidget>

enum class PanelMark { Protect, Transparent };

class ColourPanel : public QWidget {
    Q_OBJECT
public:
    ColourPanel(int tag, QWidget* parent);

    int Tag() const { return tag_; }
    // The caption and the marks take the ink colour.
    void SetColour(const QColor& fill, const QColor& ink);
    QColor Fill() const { return fill_; }
    void SetCaption(const QString& caption);
    QString Caption() const { return caption_; }
    void SetMarked(bool marked);
    bool Marked() const { return marked_; }
    void SetMarkVisible(PanelMark mark, bool visible);
    bool MarkVisible(PanelMark mark) const;
    // A null pixmap hides the picture.
    void SetImage(const QPixmap& image);
    bool ImageShown() const { return !image_.isNull(); }
    const QPixmap& Image() const { return image_; }

signals:
    void pressed(int tag, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void PaintMarks(class QPainter& p);

    int tag_;
    QColor fill_{Qt::black};
    QColor ink_{Qt::white};
    QString caption_;
    QPixmap image_;
    bool marked_ = false;
    bool protect_ = false;
    bool transparent_ = false;
};
