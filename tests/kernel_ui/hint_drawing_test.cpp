// Hint texts with mouse pictures: the walk over the lines, measured and drawn,
// the hint window, and the status bar panel.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "kernel/ui/mouse_pictures.h"
#include "kernel/ui/my_hint_window.h"
#include "kernel/ui/status_panel.h"

namespace {

const QColor LeftColour(255, 0, 0);
const QColor RightColour(0, 200, 0);

QPixmap Solid(const QColor& colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return pixmap;
}

// Plain coloured pictures, so that a drawing shows where each went.
class HintDrawing : public testing::Test {
protected:
    void SetUp() override { SetHintMousePictures({Solid(LeftColour), Solid(RightColour)}); }
    void TearDown() override { SetHintMousePictures(DefaultMousePictures()); }
};

QRect Measure(const QString& text, int maxWidth = 1000)
{
    QRect rect(0, 0, 0, 0);
    P_HintZeichnen(nullptr, rect, text, true, maxWidth);
    return rect;
}

// The width a wrapping text measure gives a one-line text.
int TextWidth(const QString& text)
{
    return QFontMetrics(HintFont()).boundingRect(QRect(0, 0, 1000, 1000), Qt::TextWordWrap, text).width();
}

// The columns of a row that have the colour.
QList<int> ColumnsOf(const QImage& image, int y, const QColor& colour)
{
    QList<int> columns;
    for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, y) == colour)
            columns.push_back(x);
    return columns;
}

bool IsDark(const QColor& c)
{
    return c.lightness() < 100;
}

}  // namespace

TEST_F(HintDrawing, TwoLinesLedByMousePictures)
{
    const QString text = "\"LT\"Links\r\n\"RT\"Rechts";
    const int line = std::max(QFontMetrics(HintFont()).height(), 18);
    const QRect measured = Measure(text);
    EXPECT_EQ(measured.topLeft(), QPoint(0, 0));
    EXPECT_EQ(measured.width(), std::max(16 + TextWidth("Links"), 16 + TextWidth("Rechts")) + 6);
    EXPECT_EQ(measured.height(), 2 * line + 2);

    // Drawn from (5, 7): the same size, each picture at the start of its line.
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(HintFont());
    p.setPen(Qt::black);
    QRect drawn(5, 7, 0, 0);
    P_HintZeichnen(&p, drawn, text, false, 1000);
    p.end();
    EXPECT_EQ(drawn, measured.translated(5, 7));
    EXPECT_EQ(ColumnsOf(image, 7, LeftColour).first(), 5);
    EXPECT_EQ(ColumnsOf(image, 7, LeftColour).size(), 16);
    EXPECT_EQ(ColumnsOf(image, 7 + line, RightColour).first(), 5);
    EXPECT_TRUE(ColumnsOf(image, 7 + line - 1, RightColour).isEmpty());
    // Measuring with a painter draws nothing.
    QImage blank(image.size(), QImage::Format_RGB32);
    blank.fill(Qt::white);
    QImage copy = blank;
    QPainter q(&copy);
    QRect r(0, 0, 0, 0);
    P_HintZeichnen(&q, r, text, true, 1000);
    q.end();
    EXPECT_EQ(copy, blank);
}

TEST_F(HintDrawing, LineBreaks)
{
    // An empty line ends the hint; a lone LF breaks inside the line's text.
    EXPECT_EQ(Measure("A\r\n\r\nB"), Measure("A"));
    EXPECT_EQ(Measure("A\nB"), Measure("A\r\nB"));
    EXPECT_EQ(Measure("A\r\n"), Measure("A"));
    EXPECT_EQ(Measure("\r\nA"), QRect(0, 0, 6, 2));
    EXPECT_EQ(Measure(""), QRect(0, 0, 6, 2));
    // A marker elsewhere than at the start is text.
    EXPECT_EQ(Measure("A\"LT\"").width(), TextWidth("A\"LT\"") + 6);
    EXPECT_EQ(Measure("\"LT\"").height(), std::max(QFontMetrics(HintFont()).height(), 18) + 2);
}

TEST_F(HintDrawing, LongLinesWrapWithinTheWidth)
{
    const QString text = "\"LT\"eins zwei drei vier fünf sechs sieben acht neun zehn";
    const QRect one = Measure(text);
    const QRect wrapped = Measure(text, 120);
    EXPECT_LE(wrapped.width(), 120 + 6);
    EXPECT_GT(wrapped.height(), one.height());
}

TEST_F(HintDrawing, HintWindowShowsItsText)
{
    T_MyHintWindow hint;
    EXPECT_TRUE(hint.windowFlags().testFlag(Qt::ToolTip));
    const QString text = "\"LT\"Links\r\n\"RT\"Rechts";
    hint.ActivateHint(QPoint(40, 30), text);
    EXPECT_TRUE(hint.isVisible());
    EXPECT_EQ(hint.Caption(), text);
    EXPECT_EQ(hint.geometry(), QRect(QPoint(40, 30), Measure(text).size()));
    const QImage image = hint.grab().toImage();
    // Drawn 2 px in from the top left.
    EXPECT_EQ(image.pixelColor(2, 2), LeftColour);
    EXPECT_EQ(image.pixelColor(17, 2), LeftColour);
    EXPECT_NE(image.pixelColor(18, 2), LeftColour);
    EXPECT_EQ(image.pixelColor(2, 2 + std::max(QFontMetrics(HintFont()).height(), 18)), RightColour);
    hint.ActivateHint(QPoint(40, 30), QString());
    EXPECT_FALSE(hint.isVisible());
}

TEST_F(HintDrawing, StatusPanelDrawsTextPictureText)
{
    QImage image(120, 22, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    P_StatusPanelZeichnen(p, "x\"RT\"y", QRect(10, 0, 100, 22));
    const QFont font = p.font();
    p.end();
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics fm(bold);

    // The whole panel is filled; nothing outside it.
    EXPECT_NE(image.pixelColor(10, 0), QColor(Qt::white));
    EXPECT_NE(image.pixelColor(109, 21), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(9, 10), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(110, 10), QColor(Qt::white));

    const int pictureLeft = 12 + fm.horizontalAdvance("x");
    EXPECT_EQ(ColumnsOf(image, 3, RightColour), QList<int>({pictureLeft, pictureLeft + 1, pictureLeft + 2, pictureLeft + 3,
                                                          pictureLeft + 4, pictureLeft + 5, pictureLeft + 6, pictureLeft + 7,
                                                          pictureLeft + 8, pictureLeft + 9, pictureLeft + 10, pictureLeft + 11,
                                                          pictureLeft + 12, pictureLeft + 13, pictureLeft + 14, pictureLeft + 15}));
    EXPECT_EQ(ColumnsOf(image, 2, RightColour), QList<int>());
    EXPECT_EQ(ColumnsOf(image, 18, RightColour).size(), 16);
    EXPECT_EQ(ColumnsOf(image, 19, RightColour), QList<int>());

    // Dark text before and after the picture, none beyond the "y".
    int darkBefore = 0, darkAfter = 0, darkBeyond = 0;
    for (int y = 0; y < 22; ++y)
        for (int x = 10; x < 110; ++x) {
            if (!IsDark(image.pixelColor(x, y)))
                continue;
            if (x < 12)
                ++darkBeyond;
            else if (x < pictureLeft)
                ++darkBefore;
            else if (x >= pictureLeft + 16 && x < pictureLeft + 16 + fm.horizontalAdvance("y"))
                ++darkAfter;
            else
                ++darkBeyond;
        }
    EXPECT_GT(darkBefore, 0);
    EXPECT_GT(darkAfter, 0);
    EXPECT_EQ(darkBeyond, 0);

    // Bold: the "x" has more ink than a plain one drawn the same way.
    const auto ink = [](const QFont& f) {
        QImage img(40, 22, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter q(&img);
        q.setFont(f);
        q.setPen(Qt::black);
        q.drawText(2, 16, "x");
        q.end();
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                n += IsDark(img.pixelColor(x, y));
        return n;
    };
    EXPECT_EQ(darkBefore, ink(bold));
    EXPECT_GT(darkBefore, ink(font));
}
