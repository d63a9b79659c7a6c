// Hint texts with mouse pictures: the walk over the lines, measured and drawn,
// the hint window, and the status bar panel.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <QTest>
#include <QToolButton>

#include "kernel/ui/mouse_pictures.h"
#include "kernel/ui/my_hint_window.h"
#include "kernel/ui/status_panel.h"
#include "kernel/ui/translate_form.h"
#include "tests/kernel_ui/ui_test_util.h"

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
    // An empty line ends the hint; a lone LF ends a line as CR LF does.
    EXPECT_EQ(Measure("A\r\n\r\nB"), Measure("A"));
    EXPECT_EQ(Measure("A\n\nB"), Measure("A"));
    EXPECT_EQ(Measure("A\nB"), Measure("A\r\nB"));
    EXPECT_EQ(Measure("A\n\"RT\"B"), Measure("A\r\n\"RT\"B"));
    EXPECT_EQ(Measure("A\r\n"), Measure("A"));
    EXPECT_EQ(Measure("\r\nA"), QRect(0, 0, 6, 2));
    EXPECT_EQ(Measure("\nA"), QRect(0, 0, 6, 2));
    EXPECT_EQ(Measure(""), QRect(0, 0, 6, 2));
    // A marker further on in the line is a picture as well.
    EXPECT_EQ(Measure("A\"LT\"").width(), QFontMetrics(HintFont()).horizontalAdvance("A") + 16 + 6);
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

// The hints of the windows reach the hint window through the hint
// translation: "¿" breaks the lines, each marker becomes its picture, on
// every line and wherever it stands in it.
TEST_F(HintDrawing, TranslatedHintsShowEveryMarkerAsItsPicture)
{
    StartLanguage("Deutsch");
    const int line = std::max(QFontMetrics(HintFont()).height(), 18);
    struct Case {
        const char* hint;
        // The picture that leads each line: 'L', 'R' or ' ' for text.
        const char* leads;
    } const cases[] = {
        {"Pinsel:\u00bf\"LT\" Vordergrundfarbe\u00bf\"RT\" Hintergrundfarbe", " LR"},
        {"\"LT\" Ebene Stufe h\u00f6her\u00bf\"RT\" Ebene ein oder aus", "LR"},
        {"\"LT\" Rahmen\u00bf\"RT\" Gef\u00fcllte Ellipse", "LR"},
        {"\"RT\" Bildschirm teilen", "R"},
    };
    for (const Case& c : cases) {
        QWidget owner;
        SetTranslatedHint(&owner, QString::fromUtf8(c.hint));
        T_MyHintWindow hint;
        hint.ActivateHint(QPoint(0, 0), owner.toolTip());
        const QImage image = hint.grab().toImage();
        const int lines = static_cast<int>(strlen(c.leads));
        int top = 2;
        for (int i = 0; i < lines; ++i) {
            const QColor at = image.pixelColor(2, top);
            const char lead = at == LeftColour ? 'L' : at == RightColour ? 'R' : ' ';
            EXPECT_EQ(lead, c.leads[i]) << c.hint << " line " << i + 1;
            top += c.leads[i] == ' ' ? QFontMetrics(HintFont()).height() : line;
        }
        EXPECT_EQ(image.height(), top) << c.hint;
        // No picture is left over as text, and none is drawn twice.
        int left = 0, right = 0;
        for (int y = 0; y < image.height(); ++y) {
            left += ColumnsOf(image, y, LeftColour).size();
            right += ColumnsOf(image, y, RightColour).size();
        }
        EXPECT_EQ(left, 256 * static_cast<int>(std::count(c.leads, c.leads + lines, 'L'))) << c.hint;
        EXPECT_EQ(right, 256 * static_cast<int>(std::count(c.leads, c.leads + lines, 'R'))) << c.hint;
    }
}

TEST_F(HintDrawing, MarkerInsideALineIsDrawnWhereItStands)
{
    T_MyHintWindow hint;
    hint.ActivateHint(QPoint(0, 0), "Strg+\"LT\" Bereich");
    const QImage image = hint.grab().toImage();
    const int at = 2 + QFontMetrics(HintFont()).horizontalAdvance("Strg+");
    EXPECT_EQ(ColumnsOf(image, 2, LeftColour).first(), at);
    EXPECT_EQ(ColumnsOf(image, 2, LeftColour).size(), 16);
    EXPECT_EQ(image.width(), at - 2 + 16 + QFontMetrics(HintFont()).boundingRect(
                                             QRect(0, 0, 1000, 1000), Qt::TextWordWrap, " Bereich").width() + 6);
}

// Tool windows never become the active window; their hints show all the same,
// and a hint in the two-part form shows its short part.
TEST_F(HintDrawing, ToolWindowShowsItsHintWhileAnotherWindowIsActive)
{
    HintEventFilter* filter = InstallHintEventFilter();
    EXPECT_EQ(InstallHintEventFilter(), filter);

    // The program's main window, a picture window of it that is active, and
    // a tool window of the main window beside them.
    QWidget main;
    main.setGeometry(0, 0, 200, 100);
    main.show();
    QWidget picture(&main, Qt::Window);
    picture.setGeometry(300, 300, 200, 100);
    picture.show();
    QWidget tool(&main, Qt::Tool);
    tool.setAttribute(Qt::WA_ShowWithoutActivating);
    tool.setGeometry(20, 150, 100, 100);
    auto* button = new QToolButton(&tool);
    button->setGeometry(10, 10, 40, 40);
    SetTranslatedHint(button, QString::fromUtf8("\"LT\" Rahmen\u00bf\"RT\" Gef\u00fcllte Ellipse"));
    tool.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tool));
    picture.activateWindow();
    QApplication::setActiveWindow(&picture);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&picture));
    ASSERT_FALSE(tool.isActiveWindow());
    ASSERT_FALSE(main.isActiveWindow());

    QTest::mouseMove(button, QPoint(20, 20));
    QTest::mouseMove(button, QPoint(21, 21));
    ASSERT_TRUE(QTest::qWaitFor([&] { return filter->HintWindow() && filter->HintWindow()->isVisible(); }, 3000));
    EXPECT_EQ(filter->HintWindow()->Caption(), button->toolTip());
    EXPECT_TRUE(picture.isActiveWindow());
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_FALSE(filter->HintWindow()->isVisible());

    button->setToolTip("Kurz|Lang");
    QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), button->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(button, &help);
    EXPECT_EQ(filter->HintWindow()->Caption(), "Kurz");
}
