#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>
#include <cstdlib>
#include <map>

#include "picture/frame_bild_kk.h"
#include "picture/mal_status_bar.h"
#include "picture/my_scroll_bar.h"
#include "picture/pane_paint_box.h"
#include "tests/support/test_env.h"
#include "textedit/form_text_edit_show.h"

namespace {

struct View {
    TFormTextEditShow form;

    explicit View(const std::vector<std::string>& lines = {}, QSize size = QSize(640, 400))
    {
        form.resize(size);
        if (!lines.empty()) {
            form.Lines().Clear();
            for (const std::string& line : lines)
                form.Lines().Add(line);
            form.Lines().SetModified(false);
        }
        form.show();
        form.SetCaretPhase(false);
        QApplication::processEvents();
    }
    QWidget* Box() { return form.Pane(0)->ShowBild; }
    int CellWidth() const { return form.cellWidth; }
    int CellHeight() const { return form.cellHeight; }
    QString Panel(int i) const { return form.StatusBar->StatusText(i); }
    QImage Grab(const std::string& name)
    {
        QApplication::processEvents();
        const QImage image = Box()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        image.save(QString::fromStdString(TestHome() + name));
        if (const char* dir = std::getenv("ZORIT_SHOT_DIR"))
            image.save(QString::fromStdString(std::string(dir) + "/" + name));
        return image;
    }
    QPoint CellCentre(int column, int row) const
    {
        return QPoint((column - 1) * CellWidth() + CellWidth() / 2, row * CellHeight() + CellHeight() / 2);
    }
    // Whether the cell of the column (from 1) and row (from 0) holds the colour.
    bool CellHas(const QImage& image, int column, int row, QColor colour) const
    {
        for (int y = row * CellHeight(); y < (row + 1) * CellHeight(); ++y)
            for (int x = (column - 1) * CellWidth(); x < column * CellWidth(); ++x)
                if (image.pixelColor(x, y) == colour)
                    return true;
        return false;
    }
    // Typed characters, as a keyboard layout delivers them.
    void Keys(const QString& text)
    {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(&form, &press);
        }
    }
};

TEST(TextView, StatusPanelsAndCaretShapes)
{
    View v;
    EXPECT_EQ(v.Panel(0), "1:1");
    EXPECT_EQ(v.Panel(1), "Einfügen");
    EXPECT_EQ(v.Panel(2), "Geändert");
    // Panel 0 keeps the picture window's 60 px, the mode and "Geändert"
    // panels fit their widest text, the last panel reaches the right edge.
    const MalStatusBar& bar = *v.form.StatusBar;
    const QFontMetrics m = bar.fontMetrics();
    EXPECT_EQ(bar.PanelRect(0), QRect(0, 0, 60, bar.height()));
    EXPECT_EQ(bar.PanelWidth(1), m.horizontalAdvance("Überschreiben") + 20);
    EXPECT_GE(bar.PanelWidth(1), m.horizontalAdvance("Nur lesen") + 20);
    EXPECT_EQ(bar.PanelWidth(2), m.horizontalAdvance("Geändert") + 20);
    EXPECT_EQ(bar.PanelRect(3).right(), bar.width() - 1);
    if (const char* dir = std::getenv("ZORIT_SHOT_DIR"))
        v.form.grab().save(QString::fromStdString(std::string(dir) + "/text_view_status.png"));
    v.form.Lines().SetModified(false);
    EXPECT_EQ(v.Panel(2), "");

    v.form.SetCaretPhase(true);
    const int ch = v.CellHeight();
    QImage g = v.Grab("caret.png");
    EXPECT_EQ(g.pixelColor(0, 0), Qt::black);
    EXPECT_EQ(g.pixelColor(2, ch - 1), Qt::black);
    EXPECT_NE(g.pixelColor(3, ch / 2), Qt::black);
    EXPECT_NE(g.pixelColor(0, ch), Qt::black);

    QTest::keyClick(&v.form, Qt::Key_Insert);
    EXPECT_EQ(v.Panel(1), "Überschreiben");
    g = v.Grab("caret_overwrite.png");
    EXPECT_EQ(g.pixelColor(v.CellWidth() - 1, 0), Qt::black);
    EXPECT_NE(g.pixelColor(v.CellWidth(), 0), Qt::black);

    v.form.SetReadOnly(true);
    EXPECT_EQ(v.Panel(1), "Nur lesen");
    g = v.Grab("caret_readonly.png");
    EXPECT_EQ(g.pixelColor(1, ch - 4), Qt::black);
    EXPECT_NE(g.pixelColor(1, ch - 5), Qt::black);
}

TEST(TextView, PositionPanelHoldsTheLastLineAndColumn)
{
    std::vector<std::string> lines(10000, std::string(40, 'x'));
    View v(lines);
    v.form.SetTextCursor(33, 9999);
    QApplication::processEvents();
    EXPECT_EQ(v.Panel(0), "33:10000");
    const MalStatusBar& bar = *v.form.StatusBar;
    const int room = bar.PanelRect(0).width() - 6;
    EXPECT_GE(room, bar.fontMetrics().horizontalAdvance("33:10000"));
    EXPECT_GE(room, bar.fontMetrics().horizontalAdvance("257:10000"));
    if (const char* dir = std::getenv("ZORIT_SHOT_DIR"))
        v.form.grab().save(QString::fromStdString(std::string(dir) + "/text_view_position.png"));
}

TEST(TextView, MouseClicksAndDrag)
{
    View v({"abcdef", "ghijkl", "mnopqr"});
    QTest::mouseClick(v.Box(), Qt::LeftButton, {}, v.CellCentre(5, 1));
    EXPECT_EQ(v.form.Core().CursorColumn(), 5);
    EXPECT_EQ(v.form.Core().CursorLine(), 1);
    EXPECT_EQ(v.Panel(0), "5:2");
    QTest::mouseClick(v.Box(), Qt::LeftButton, {}, v.CellCentre(2, 7));
    EXPECT_EQ(v.form.Core().CursorLine(), 2);

    QTest::mousePress(v.Box(), Qt::LeftButton, {}, v.CellCentre(1, 0));
    QMouseEvent move(QEvent::MouseMove, v.CellCentre(4, 0), v.Box()->mapToGlobal(v.CellCentre(4, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v.Box(), &move);
    QTest::mouseRelease(v.Box(), Qt::LeftButton, {}, v.CellCentre(4, 0));
    const TextSelection& s = v.form.Core().Selection();
    EXPECT_EQ((std::vector<int32_t>{s.x1, s.y1, s.x2, s.y2, s.active}), (std::vector<int32_t>{1, 0, 4, 0, 1}));
    const QImage g = v.Grab("drag.png");
    const QColor highlight = v.form.palette().color(QPalette::Highlight);
    EXPECT_TRUE(v.CellHas(g, 2, 0, highlight));
    EXPECT_FALSE(v.CellHas(g, 5, 0, highlight));

    // A pane wider than the line limit: the column stops at the limit.
    View wide({"abc"}, QSize(3000, 200));
    ASSERT_GT(wide.Box()->width(), 300 * wide.CellWidth());
    QTest::mouseClick(wide.Box(), Qt::LeftButton, {}, wide.CellCentre(300, 0));
    EXPECT_EQ(wide.form.Core().CursorColumn(), 256);
}

TEST(TextView, ScrollingKeepsRowsLinesAndClicksTogether)
{
    std::vector<std::string> lines;
    for (int i = 0; i < 100; ++i)
        lines.push_back("L" + std::to_string(i));
    View v(lines);
    v.form.pointerPosition = [] { return QPoint(-5000, -5000); };
    const int rows = v.form.Geometry().rows;
    ASSERT_LT(rows, 100);
    EXPECT_EQ(v.form.VerScrollBar->maximum(), 100 - rows + 1);

    // Page down: the bar follows the core's top line, and a click on the
    // top row lands on that line.
    QTest::keyClick(&v.form, Qt::Key_PageDown);
    const int32_t top = v.form.Geometry().topLine;
    EXPECT_GT(top, 0);
    EXPECT_EQ(v.form.VerScrollBar->value(), top + 1);
    QTest::mouseClick(v.Box(), Qt::LeftButton, {}, v.CellCentre(2, 0));
    EXPECT_EQ(v.form.Core().CursorLine(), top);
    EXPECT_EQ(v.form.Core().CursorColumn(), 2);

    // Moving the bar scrolls the text; a resize keeps the top line.
    v.form.VerScrollBar->setValue(11);
    EXPECT_EQ(v.form.Geometry().topLine, 10);
    v.form.resize(600, 300);
    QApplication::processEvents();
    EXPECT_EQ(v.form.Geometry().topLine, 10);
    const QImage shot = v.Grab("scrolled.png");
    const QColor ink = v.form.palette().color(QPalette::Text);
    EXPECT_TRUE(v.CellHas(shot, 1, 0, ink));  // "L10"
    EXPECT_TRUE(v.CellHas(shot, 3, 0, ink));
    EXPECT_FALSE(v.CellHas(shot, 4, 0, ink));

    // Dragging onto the top edge scrolls up after a second, the selection
    // growing with it.
    int64_t now = 0;
    QPoint pointer(v.CellCentre(2, 0).x(), 2);
    v.form.clock = [&] { return now; };
    v.form.pointerPosition = [&] { return v.Box()->mapToGlobal(pointer); };
    QTest::mousePress(v.Box(), Qt::LeftButton, {}, v.CellCentre(2, 1));
    QMouseEvent move(QEvent::MouseMove, pointer, v.Box()->mapToGlobal(pointer), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(v.Box(), &move);
    for (; now <= 1000; now += 50)
        v.form.CursorInsideTest();
    EXPECT_EQ(v.form.Geometry().topLine, 10);
    for (int i = 0; i < 3; ++i, now += 50)
        v.form.CursorInsideTest();
    QTest::mouseRelease(v.Box(), Qt::LeftButton, {}, pointer);
    const int32_t scrolled = v.form.Geometry().topLine;
    EXPECT_LT(scrolled, 10);
    EXPECT_EQ(v.form.Core().CursorLine(), scrolled);
    const TextSelection& s = v.form.Core().Selection();
    EXPECT_EQ((std::vector<int32_t>{s.x1, s.y1, s.x2, s.y2}), (std::vector<int32_t>{2, scrolled, 2, 11}));
}

// A script longer than a 16-bit picture height: the end, page keys and the
// bar all reach its last lines, and the cursor's line is on screen.
TEST(TextView, EveryLineOfALongTextCanBeReached)
{
    constexpr int kLines = 100000;
    std::vector<std::string> lines;
    lines.reserve(kLines);
    for (int i = 0; i < kLines; ++i)
        lines.push_back(i == kLines - 1 ? "a  Z" : "a");
    View v(lines);
    v.form.pointerPosition = [] { return QPoint(-5000, -5000); };
    const int rows = v.form.Geometry().rows;

    QTest::keyClick(&v.form, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(v.Panel(0), "5:100000");
    QTest::keyClick(&v.form, Qt::Key_End);
    for (int i = 0; i < 252; ++i)
        QTest::keyClick(&v.form, Qt::Key_Right);
    EXPECT_EQ(v.Panel(0), "256:100000");
    const MalStatusBar& bar = *v.form.StatusBar;
    EXPECT_GE(bar.PanelWidth(0), bar.fontMetrics().horizontalAdvance(v.Panel(0)) + 4);
    QTest::keyClick(&v.form, Qt::Key_Home);
    QTest::keyClick(&v.form, Qt::Key_End);
    EXPECT_EQ(v.form.Geometry().topLine, kLines - rows);
    EXPECT_EQ(v.form.VerScrollBar->maximum(), kLines - rows + 1);
    // The last line fills the bottom row: nothing lies below it.
    const QImage shot = v.Grab("long_text_end.png");
    const QColor ink = v.form.palette().color(QPalette::Text);
    EXPECT_TRUE(v.CellHas(shot, 4, rows - 1, ink));
    EXPECT_FALSE(v.CellHas(shot, 4, rows - 2, ink));
    // A click lands on the line drawn there.
    QTest::mouseClick(v.Box(), Qt::LeftButton, {}, v.CellCentre(2, 0));
    EXPECT_EQ(v.form.Core().CursorLine(), kLines - rows);
    QTest::keyClick(&v.form, Qt::Key_End, Qt::ControlModifier);

    // Back up past the old limit and down again with the page key.
    v.form.SetTextCursor(1, 70000);
    EXPECT_LE(v.form.Geometry().topLine, 70000);
    EXPECT_GT(v.form.Geometry().topLine + rows, 70000);
    QTest::keyClick(&v.form, Qt::Key_PageDown);
    const int32_t line = v.form.Core().CursorLine();
    EXPECT_EQ(line, 70000 + rows - 1);
    EXPECT_LE(v.form.Geometry().topLine, line);
    EXPECT_GT(v.form.Geometry().topLine + rows, line);
}

TEST(TextView, KeysReachTheTableAndTheText)
{
    View v({"z", "IF  A  THEN", ""});
    v.form.SetTextCursor(1, 2);
    QTest::keyClick(&v.form, Qt::Key_Tab);
    EXPECT_EQ(v.Panel(0), "5:3");
    // Ctrl+A types code 1, which the text does not take; nor a character
    // outside Windows-1252.
    v.Keys(QStringLiteral("x{\u0001ä€\u4e00"));
    EXPECT_EQ(v.form.Lines().Get(2), "    x{\xe4\x80");
    QTest::keyClick(&v.form, Qt::Key_Return);
    QTest::keyClick(&v.form, Qt::Key_Backspace);
    EXPECT_EQ(v.Panel(0), "4:4");

    // The table's keys are claimed before any shortcut; the F keys are not.
    for (auto [key, claimed] : {std::pair{Qt::Key_Tab, true}, {Qt::Key_Home, true}, {Qt::Key_F9, false}}) {
        QKeyEvent override(QEvent::ShortcutOverride, key, Qt::NoModifier);
        QApplication::sendEvent(&v.form, &override);
        EXPECT_EQ(override.isAccepted(), claimed) << key;
    }

    QApplication::clipboard()->setText(QStringLiteral("p\nq"));
    QTest::keyClick(&v.form, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(v.form.Lines().Get(3), "   p");
    EXPECT_EQ(v.form.Lines().Get(4), "q");
    QTest::keyClick(&v.form, Qt::Key_Home, Qt::ShiftModifier);
    QTest::keyClick(&v.form, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "q");
}

TEST(TextView, CtrlLettersTypeTheirControlCodesUnlessAMenuTakesThem)
{
    View v({"abcd", "x"});
    v.form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&v.form));
    std::map<QString, int> fired;
    for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence(Qt::ALT | Qt::Key_D),
                                    QKeySequence(Qt::CTRL | Qt::Key_Y)}) {
        auto* action = new QAction(&v.form);
        action->setShortcut(key);
        action->setShortcutContext(Qt::ApplicationShortcut);
        QObject::connect(action, &QAction::triggered, [&fired, key] { ++fired[key.toString()]; });
        v.form.addAction(action);
    }
    // QTest gives a letter's text with every modifier ("m" with Ctrl), as
    // some platforms do; the window makes the control code itself.
    struct Case {
        char key;
        Qt::KeyboardModifiers modifiers;
        std::vector<std::string> lines;
        std::string cursor;
    };
    const std::vector<Case> cases = {
        {'m', Qt::ControlModifier, {"ab", "cd", "x"}, "1:2"},                 // Enter
        {'h', Qt::ControlModifier, {"abcd", "x"}, "3:1"},                     // Backspace
        {'s', Qt::ControlModifier, {"abcd", "x"}, "3:1"},                     // the menu's
        {'a', Qt::ControlModifier, {"abcd", "x"}, "3:1"},                     // code 1: no text
        {'x', Qt::AltModifier, {"abcd", "x"}, "3:1"},                         // Alt types nothing
        {'d', Qt::AltModifier, {"abcd", "x"}, "3:1"},                         // the menu's
        {'@', Qt::ControlModifier | Qt::AltModifier, {"ab@cd", "x"}, "4:1"},  // AltGr
        {'y', Qt::ControlModifier, {"x"}, "4:1"},                             // the table's
    };
    v.form.SetTextCursor(3, 0);
    for (const Case& c : cases) {
        QTest::keyClick(&v.form, c.key, c.modifiers);
        EXPECT_EQ(v.form.Lines().Lines(), c.lines) << c.key;
        EXPECT_EQ(v.Panel(0).toStdString(), c.cursor) << c.key;
    }
    EXPECT_EQ(fired, (std::map<QString, int>{{"Ctrl+S", 1}, {"Alt+D", 1}}));
}

TEST(TextView, SyntaxColoursOnScreen)
{
    const QColor blue(0, 0, 255);
    View comment({"{ text", "x", "} y"});
    comment.form.SetSyntaxDisplay(true);
    const QImage g = comment.Grab("syntax_comment.png");
    EXPECT_TRUE(comment.CellHas(g, 1, 1, blue));
    EXPECT_TRUE(comment.CellHas(g, 1, 2, blue));
    EXPECT_FALSE(comment.CellHas(g, 3, 2, blue));

    View closed({"{a}", "b"});
    closed.form.SetSyntaxDisplay(true);
    const QImage c = closed.Grab("syntax_closed.png");
    EXPECT_TRUE(closed.CellHas(c, 2, 0, blue));
    EXPECT_FALSE(closed.CellHas(c, 1, 1, blue));

    std::string palette(1024, '\0');
    for (int i = 0; i < 256; ++i)
        palette[4 * i] = palette[4 * i + 1] = palette[4 * i + 2] = static_cast<char>(255);
    palette[4] = static_cast<char>(200), palette[5] = static_cast<char>(220), palette[6] = 40;
    palette[4 * 203] = palette[4 * 203 + 1] = palette[4 * 203 + 2] = 0;
    WriteTestFile(TestHome() + "Text.Pal", palette);
    View section({"[b]", "a"});
    ASSERT_EQ(section.form.LoadPaletteFile(TestHome() + "Text.Pal"), PaletteLoad::Loaded);
    section.form.BuildSymbolTextMap("ab");
    section.form.SetSyntaxDisplay(true);
    const QImage s = section.Grab("syntax_section.png");
    const int cw = section.CellWidth();
    EXPECT_EQ(s.pixelColor(cw, 0), QColor(200, 220, 40));
    EXPECT_TRUE(section.CellHas(s, 2, 0, Qt::black));
    EXPECT_EQ(s.pixelColor(0, 0), section.form.palette().color(QPalette::Base));
    EXPECT_EQ(s.pixelColor(2 * cw, 0), section.form.palette().color(QPalette::Base));
}

} // namespace
