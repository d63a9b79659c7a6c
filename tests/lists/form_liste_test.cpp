// The list window as a user meets it: keys, mouse wheel, colours on the
// screen, placement in the settings file, and the shared dialogs.
#include "kernel/model/workrecord.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "kernel/ui/shell_values.h"
#include "lists/core/symbol_farben.h"
#include "lists/dialog_tools.h"
#include "lists/form_fortschritt.h"
#include "lists/form_multi_selection.h"
#include "lists/form_selection.h"
#include "lists/form_text_eingabe.h"
#include "lists/panel_color.h"
#include "platform/ini_profile.h"
#include "tests/support/test_env.h"
#include "tests/tools/test_liste/form_test_liste.h"

namespace {
enum { Nr = 1, Zahl, RL, XN, Wahl, FF, Farbe, Leer, Kommentar };

QColor PixelAt(QWidget& w, QPoint p)
{
    return w.grab().toImage().pixelColor(p);
}

// Runs work once the next modal dialog is up.
void WhenModal(std::function<void(QWidget&)> work)
{
    QTimer::singleShot(0, [work] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal)
            work(*modal);
    });
}

TEST(PanelColor, LongTagHandlerAndSymbolColours)
{
    TPanelColor panel;
    int calls = 0;
    panel.OnLongTagChanged = [&](TPanelColor&) { ++calls; };
    panel.SetLongTag(7);
    panel.SetLongTag(7);
    EXPECT_EQ(calls, 2);

    SetPatternSymbolColours();
    panel.resize(80, 24);
    panel.SetColourTable(&SymbolFarben);
    panel.SetSymbolMode(1);
    panel.SetColours(Qt::black, QColor(192, 192, 192));
    panel.SetText("V+Z");
    const QImage image = panel.grab().toImage();
    const QFontMetrics metrics(panel.font());
    const int y = image.height() / 2;
    const int v = 1 + metrics.horizontalAdvance('V') / 2;
    const int plus = 1 + metrics.horizontalAdvance('V') + 1;
    EXPECT_EQ(image.pixelColor(v - 2, y - metrics.height() / 2 + 1), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(plus, y - metrics.height() / 2 + 1), QColor(0, 255, 255));
    // "Z" has no record: font colour on the panel colour.
    const int z = 1 + metrics.horizontalAdvance("V+");
    bool black = false;
    for (int x = z; x < z + metrics.horizontalAdvance('Z'); ++x)
        for (int yy = 2; yy < image.height() - 2; ++yy)
            black |= image.pixelColor(x, yy) == QColor(0, 0, 0);
    EXPECT_TRUE(black);
    EXPECT_EQ(image.pixelColor(z + metrics.horizontalAdvance('Z') + 2, y), QColor(192, 192, 192));

    // A centred symbol string of unequal widths stays centred.
    panel.SetText("I%");
    panel.SetAlignment(Qt::AlignHCenter);
    const QImage centred = panel.grab().toImage();
    int left = -1, right = -1;
    for (int x = 1; x < centred.width() - 1; ++x)
        if (centred.pixelColor(x, y) != QColor(192, 192, 192)) {
            if (left < 0)
                left = x;
            right = x;
        }
    EXPECT_LE(std::abs((left - 1) - (centred.width() - 2 - right)), 1);
}

class FormListeTest : public ::testing::Test {
protected:
    std::unique_ptr<TFormTestListe> form;
    std::vector<std::string> log;

    void SetUp() override
    {
        SettingsPath = TestHome() + "Zorit.INI";
        SetPatternSymbolColours();
    }
    void TearDown() override
    {
        form.reset();
        SettingsPath.clear();
    }
    void Open(int lines, int height = 0)
    {
        for (int i = 1; i <= lines; ++i)
            SListe->GetLine(static_cast<uint16_t>(i));
        form = std::make_unique<TFormTestListe>();
        form->TestCore().OnStore = [this](int field, int row, int32_t value,
                                          const std::optional<std::string>& text, int line) {
            log.push_back(std::to_string(field) + " " + std::to_string(row) + " " +
                          std::to_string(value) + " " + (text ? *text : "-") + " " +
                          std::to_string(line));
        };
        if (height)
            form->resize(form->width(), height);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    ListWindowCore& Core() { return form->Core(); }
    TPanelColor* CursorPanel()
    {
        return form->Panel(Core().Zeile(), Core().Field(Core().Feld()).column);
    }
    QWidget* Focused() { return QApplication::focusWidget(); }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(Focused(), key, mods);
    }
    void Type(const char* text) { QTest::keyClicks(Focused(), text); }
    void GoTo(int field)
    {
        for (int i = 0; i < 12 && Core().Feld() != field; ++i)
            Key(Qt::Key_Right);
    }
    QColor CursorBackground()
    {
        TPanelColor* p = CursorPanel();
        return PixelAt(*p, QPoint(p->width() - 3, p->height() / 2));
    }
    const uint8_t* Line(int i) { return SListe->PeekLine(static_cast<uint16_t>(i)); }
};

TEST_F(FormListeTest, TypedInputCommitsThroughTheKeys)
{
    put_u16(SListe->GetLine(1), 0, 120);
    Open(2);
    EXPECT_EQ(form->objectName(), "T_Liste");
    EXPECT_EQ(form->windowTitle(), "Testliste");
    GoTo(Zahl);
    EXPECT_EQ(CursorBackground(), QColor(0, 0, 128));
    Type("7");
    EXPECT_EQ(CursorPanel()->Text(), "7");
    EXPECT_EQ(CursorBackground(), QColor(255, 255, 255));
    Type("8");
    Key(Qt::Key_Right);
    EXPECT_EQ(log, (std::vector<std::string>{"2 1 78 - 1"}));
    EXPECT_EQ(form->Panel(1, 3)->Text(), "078");
    EXPECT_EQ(PixelAt(*form->Panel(1, 3), QPoint(3, 10)), QColor(192, 192, 192));
    // Sign and letter, Delete, the letter cell.
    Type("5");
    EXPECT_EQ(CursorPanel()->Text(), "R5");
    Key(Qt::Key_Right);
    EXPECT_EQ(Line(1)[2], 'R');
    Key(Qt::Key_Left);
    Key(Qt::Key_Delete);
    Key(Qt::Key_Right);
    EXPECT_EQ(Line(1)[2], 0);
    EXPECT_EQ(get_u16(Line(1), 4), 0);
    Type("n");
    EXPECT_EQ(form->Panel(1, 5)->Text(), "N");
    Key(Qt::Key_Right);
    EXPECT_EQ(Line(1)[6], 'N');
    // The choice steps with the space bar, the symbols toggle.
    Type(" ");
    EXPECT_EQ(CursorPanel()->Text(), "G");
    EXPECT_EQ(Line(1)[10], 1);
    GoTo(Farbe);
    Type("v+");
    Key(Qt::Key_Right);
    EXPECT_EQ(get_u32(Line(1), 12), 0x21u);
    // The comment through the text input.
    GoTo(Kommentar);
    WhenModal([](QWidget& dialog) {
        auto* edit = dialog.findChild<QPlainTextEdit*>("RichEditText");
        QTest::keyClicks(edit, "abc   ");
        QTest::mouseClick(dialog.findChild<QPushButton*>("ButtonOK"), Qt::LeftButton);
    });
    Key(Qt::Key_Insert);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(Line(1)[26], 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Line(1) + 27), 3), "abc");
    // Tab nobody uses moves the focus on to the next cell made.
    Key(Qt::Key_Tab);
    EXPECT_EQ(Focused()->objectName(), "Panel02002");
}

// After a dialog, confirmed or not, the list window that opened it is the
// active one again and its cursor cell has the keys: the next keys edit on.
TEST_F(FormListeTest, ADialogGivesTheFocusBack)
{
    QWidget main;
    main.show();
    Open(2);
    struct Case {
        int field;
        Qt::Key key;
    };
    for (const Case& c : {Case{Kommentar, Qt::Key_Return}, Case{Kommentar, Qt::Key_Escape},
                          Case{Wahl, Qt::Key_Return}, Case{Wahl, Qt::Key_Escape}}) {
        SCOPED_TRACE(testing::Message() << "field " << c.field << " key " << c.key);
        GoTo(c.field);
        TPanelColor* cell = CursorPanel();
        WhenModal([&c, &main](QWidget& dialog) {
            EXPECT_TRUE(QTest::qWaitFor([&] {
                return QApplication::focusWidget() && QApplication::focusWidget()->window() == &dialog;
            }));
            QTest::keyClicks(QApplication::focusWidget(), "Qz7");
            QTest::keyClick(QApplication::focusWidget(), c.key);
            if (dialog.isVisible())
                static_cast<QDialog&>(dialog).reject();
            // A window manager hands the activation to the dialog's parent,
            // the main window, when the dialog goes.
            main.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&main));
        });
        Key(Qt::Key_Insert);
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        EXPECT_EQ(QApplication::activeWindow(), form.get());
        EXPECT_EQ(Focused(), cell) << (Focused() ? Focused()->objectName().toStdString() : "none") << " "
                                   << cell->objectName().toStdString();
    }
    Key(Qt::Key_Down);
    EXPECT_EQ(Core().Zeile(), 2);
}

TEST_F(FormListeTest, AClickMovesTheCursorAndTheProgressBoxIsGone)
{
    Open(3);
    EXPECT_FALSE(FormFortschritt && FormFortschritt->isVisible());
    TPanelColor* cell = form->Panel(3, 6);
    QTest::mouseClick(cell, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(Core().Zeile(), 3);
    EXPECT_EQ(Core().Feld(), XN);
    EXPECT_TRUE(cell->hasFocus());
    // A click on a cell of no field leaves the cursor.
    QTest::mouseClick(form->Panel(2, 1), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(Core().Zeile(), 3);
}

TEST_F(FormListeTest, PassingOverCellsStoresNothing)
{
    SListe->GetLine(2)[10] = 0;
    Open(2);
    const std::string before(reinterpret_cast<const char*>(Line(2)), kSLineSize);
    Key(Qt::Key_Down);
    for (int i = 0; i < 9; ++i)
        Key(Qt::Key_Right);
    for (int i = 0; i < 9; ++i)
        Key(Qt::Key_Left);
    Key(Qt::Key_Up);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Line(2)), kSLineSize), before);
}

TEST_F(FormListeTest, ScrollingWheelAndGotoLine)
{
    Open(30);
    form->resize(form->width(), 150);
    ASSERT_EQ(Core().VisibleRows(), 5);
    Type("12");
    Key(Qt::Key_Return);
    EXPECT_EQ(Core().ZeileOffset(), 8);
    EXPECT_EQ(Core().Zeile(), 5);
    EXPECT_EQ(Core().Feld(), Zahl);
    EXPECT_EQ(form->Panel(5, 2)->Text(), "0012");
    for (int i = 0; i < 8; ++i)
        Key(Qt::Key_PageDown);
    EXPECT_EQ(Core().ZeileOffset(), 27);
    EXPECT_EQ(form->ScrollBar->value(), 27);
    EXPECT_EQ(SListe->Count(), 30);
    Key(Qt::Key_Home);
    EXPECT_EQ(Core().ZeileOffset(), 1);
    struct Case {
        int delta;
        int offset;
    };
    for (const Case& c : {Case{-120, 2}, Case{-120, 3}, Case{-240, 5}, Case{120, 4}}) {
        QWheelEvent wheel(QPointF(5, 5), form->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, c.delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(form.get(), &wheel);
        EXPECT_EQ(Core().ZeileOffset(), c.offset) << c.delta;
    }
    form->GotoLine(40, 65535);
    EXPECT_EQ(Core().ZeileOffset(), 4);
    EXPECT_EQ(CursorBackground(), QColor(0, 255, 255));
    form->GotoLine(12, 65535);
    EXPECT_EQ(CursorBackground(), QColor(255, 255, 0));
    EXPECT_EQ(SListe->Count(), 30);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(FormListeTest, ResizingAddsRowsAndHidesThem)
{
    Open(30);
    form->resize(form->width(), 300);
    const int rows = Core().Grid().Rows();
    EXPECT_TRUE(form->Panel(rows - 1, 2)->isVisible());
    form->resize(form->width(), 100);
    EXPECT_EQ(Core().Grid().Rows(), rows);
    EXPECT_TRUE(form->Panel(rows - 1, 2)->isHidden());
    EXPECT_EQ(form->findChild<TPanelColor*>(QString("Panel%1").arg(rows, 2, 10, QChar('0')) + "002"),
              form->Panel(rows, 2));
}

TEST_F(FormListeTest, PlacementGoesToTheSettingsFile)
{
    IniProfile(SettingsPath).WriteString("Windows", "T_Liste", "09999 00100 00400 00011 00");
    Open(100);
    EXPECT_EQ(form->x(), QGuiApplication::primaryScreen()->geometry().width() - 100);
    EXPECT_EQ(form->height(), 400);
    form->move(200, 150);
    form->resize(form->width(), 300);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(CursorBackground(), QColor(0, 255, 255));
    form.reset();
    EXPECT_EQ(IniProfile(SettingsPath).ReadString("Windows", "T_Liste", ""), "00200 00150 00300 00011 00");
}

TEST_F(FormListeTest, DamagedPlacementGivesTheDefaultHeight)
{
    IniProfile(SettingsPath).WriteString("Windows", "T_Liste", "abc");
    Open(100);
    EXPECT_EQ(form->height(), 250);
}

// A window's height is its client's: whatever frame the window manager draws
// comes on top of it and never eats a row. Every line a window has fits in
// (never more), and a stored placement comes back as it was stored.
TEST_F(FormListeTest, HeightsAreClientHeights)
{
    struct Case {
        int lines;
        const char* stored;  // nullptr: no placement stored
        int height;          // 0: the window holds exactly all its lines
    };
    for (const Case& c : {Case{1, nullptr, 0}, Case{3, nullptr, 0}, Case{30, nullptr, 250},
                          Case{30, "00200 00300 00150 00011 00", 150}, Case{3, "00200 00300 00400 00011 00", 0}}) {
        SCOPED_TRACE(testing::Message() << c.lines << " lines, " << (c.stored ? c.stored : "none"));
        SListe->SetCount(0);
        if (c.stored)
            IniProfile(SettingsPath).WriteString("Windows", "T_Liste", c.stored);
        else
            IniProfile(SettingsPath).DeleteKey("Windows", "T_Liste");
        Open(c.lines);
        ASSERT_GT(form->frameGeometry().height(), form->height()) << "the window has a frame";
        const int rows = std::min(c.lines, 30);
        if (c.height) {
            EXPECT_EQ(form->height(), c.height);
        } else {
            EXPECT_EQ(Core().VisibleRows(), rows);
            EXPECT_EQ(form->height(), form->maximumHeight());
        }
        // Every line fits when the window is as high as it may grow.
        form->resize(form->width(), form->maximumHeight() == QWIDGETSIZE_MAX ? 2000 : form->maximumHeight());
        EXPECT_EQ(Core().VisibleRows(), rows);
        const TPanelColor* last = form->Panel(rows, 1);
        EXPECT_LE(last->geometry().bottom() + 1 + Core().RowGap(), form->height());
        if (c.stored) {
            form->resize(form->width(), c.height ? c.height : form->height());
            EXPECT_EQ(form->frameGeometry().topLeft(), QPoint(200, 300));
            QWidget other;
            other.show();
            other.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
            form.reset();
            if (c.height) {
                EXPECT_EQ(IniProfile(SettingsPath).ReadString("Windows", "T_Liste", ""), c.stored);
            }
        }
        form.reset();
    }
}

TEST_F(FormListeTest, Screenshot)
{
    uint8_t* line = SListe->GetLine(1);
    put_u16(line, 0, 120);
    line[2] = 'L';
    put_u16(line, 4, 7);
    line[10] = 2;
    line[11] = 5;
    put_u32(line, 12, 0x23);
    Open(6);
    GoTo(Zahl);
    const QString path = QString::fromStdString(TestHome() + "list.png");
    ASSERT_TRUE(form->grab().save(path));
    if (const char* keep = getenv("ZORIT_KEEP_SCREENSHOT"))
        form->grab().save(keep);
}

TEST(ListDialogs, SelectionAndMultiSelection)
{
    TFormSelection selection;
    struct Case {
        const char* mask;
        std::vector<Qt::Key> keys;
        std::optional<int> result;
    };
    for (const Case& c : {Case{"01", {Qt::Key_Return}, 1}, Case{"00", {Qt::Key_Return}, std::nullopt},
                          Case{"", {Qt::Key_Space, Qt::Key_Space, Qt::Key_Return}, 0},
                          Case{"", {Qt::Key_Escape}, std::nullopt}}) {
        WhenModal([&c](QWidget& dialog) {
            for (Qt::Key k : c.keys)
                QTest::keyClick(dialog.findChild<QTableWidget*>("StringGrid1"), k);
        });
        EXPECT_EQ(selection.Select(" || |X||X|", c.mask, 0, QPoint(10, 10)), c.result) << c.mask;
    }
    // Moved off the screen when closed.
    EXPECT_GE(selection.frameGeometry().x(), QGuiApplication::primaryScreen()->virtualGeometry().width());

    TFormMultiSelection multi;
    WhenModal([](QWidget& dialog) {
        if (const char* keep = getenv("ZORIT_KEEP_DIALOG"))
            dialog.grab().save(keep);
        auto* grid = dialog.findChild<QTableWidget*>("StringGrid");
        QTest::keyClick(grid, Qt::Key_Space);
        QTest::keyClick(grid, Qt::Key_Space);
        QTest::keyClick(grid, Qt::Key_Space);
        QTest::keyClick(grid, Qt::Key_Delete);
        // The last row is current: mark it and, one cyclic step on, the first.
        QTest::keyClick(grid, Qt::Key_Space);
        QTest::keyClick(grid, Qt::Key_Space);
        QTest::mouseClick(dialog.findChild<QPushButton*>("ButtonOK"), Qt::LeftButton);
    });
    EXPECT_EQ(multi.Select("a||a|b||b|c||c|d||d|", "", 0, QPoint(10, 10)), 9u);
}

// Both choice windows are as high as their list and as wide as its longest
// entry, but never narrower than their title bar needs to show "Auswahl"
// whole beside the window manager's buttons.
TEST(ListDialogs, ChoiceWindowsAreSizedToTheirListAndTitle)
{
    TFormSelection selection;
    const int title = TitleBarWidth(selection);
    QFont bold = QApplication::font();
    bold.setBold(true);
    EXPECT_GE(title, QFontMetrics(bold).horizontalAdvance("Auswahl") + 60);
    struct Case {
        const char* choices;
        const char* longest;
    };
    for (const Case& c : {Case{"L||L|R||R|", "L"},
                          Case{"kurz||K|eine sehr lange Auswahl mit vielen Worten||L|", "eine sehr lange Auswahl mit vielen Worten"}}) {
        QSize shown;
        QSize grid;
        int column = 0;
        int frame = 0;
        WhenModal([&](QWidget& dialog) {
            shown = dialog.size();
            auto* table = dialog.findChild<QTableWidget*>("StringGrid1");
            grid = table->size();
            column = table->columnWidth(0);
            frame = table->frameWidth();
            QTest::keyClick(table, Qt::Key_Escape);
        });
        selection.Select(c.choices, "", 0, QPoint(10, 10));
        const QFontMetrics fixed(selection.findChild<QTableWidget*>("StringGrid1")->font());
        const int entry = fixed.horizontalAdvance(c.longest) + 15;
        EXPECT_EQ(shown, grid) << c.longest;
        EXPECT_GE(column, entry) << c.longest;
        EXPECT_EQ(shown.width(), std::max(title, entry + 2 * frame)) << c.longest;
        EXPECT_EQ(grid.height(), 2 * (fixed.height() + 4 + 1) + 3);
    }

    TFormMultiSelection multi;
    QSize multiShown;
    int gridWidth = 0;
    int buttonWidth = 0;
    WhenModal([&](QWidget& dialog) {
        multiShown = dialog.size();
        gridWidth = dialog.findChild<QTableWidget*>("StringGrid")->width();
        auto* ok = dialog.findChild<QPushButton*>("ButtonOK");
        buttonWidth = ok->sizeHint().width();
        EXPECT_TRUE(ok->isVisible());
        QTest::keyClick(dialog.findChild<QTableWidget*>("StringGrid"), Qt::Key_Escape);
    });
    multi.Select("A||A|B||B|C||C|", "", 0, QPoint(10, 10));
    EXPECT_EQ(multiShown.width(), std::max({gridWidth, buttonWidth, TitleBarWidth(multi)}));
    EXPECT_GE(gridWidth, TitleBarWidth(multi));
    EXPECT_LT(multiShown.height(), 200);
}

// Return does what the default button does and Esc cancels, in each dialog
// of the list windows, pressed where the dialog put the focus.
TEST(ListDialogs, ReturnConfirmsAndEscCancels)
{
    TFormSelection selection;
    TFormMultiSelection multi;
    TFormTextEingabe input;
    struct Case {
        const char* dialog;
        Qt::Key key;
        bool confirmed;
    };
    for (const Case& c : {Case{"text", Qt::Key_Return, true}, Case{"text", Qt::Key_Enter, true},
                          Case{"text", Qt::Key_Escape, false}, Case{"choice", Qt::Key_Return, true},
                          Case{"choice", Qt::Key_Escape, false}, Case{"multiple", Qt::Key_Return, true},
                          Case{"multiple", Qt::Key_Escape, false}}) {
        SCOPED_TRACE(testing::Message() << c.dialog << " " << c.key);
        bool stayed = false;
        WhenModal([&](QWidget& dialog) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
            QWidget* focus = QApplication::focusWidget();
            EXPECT_TRUE(focus && focus->window() == &dialog);
            if (!focus)
                focus = &dialog;
            QTest::keyClicks(focus, "Pullover Probe");
            QTest::keyClick(focus, c.key);
            // A dialog the key left open would hold the test for ever.
            stayed = dialog.isVisible();
            if (stayed)
                static_cast<QDialog&>(dialog).reject();
        });
        const std::string text = c.dialog;
        bool confirmed = false;
        if (text == "text") {
            const std::optional<std::string> got = input.Edit("", QPoint(10, 10));
            confirmed = got.has_value();
            if (got) {
                EXPECT_EQ(*got, "Pullover Probe");
            }
        } else if (text == "choice") {
            confirmed = selection.Select("a||a|b||b|", "", 1, QPoint(10, 10)).has_value();
        } else {
            confirmed = multi.Select("a||a|b||b|", "", 1, QPoint(10, 10)).has_value();
        }
        EXPECT_FALSE(stayed);
        EXPECT_EQ(confirmed, c.confirmed);
    }
}

// Opened from a cell near the screen's right edge, the text input and the
// choice stand at the edge with their whole frame, border included, on the
// screen.
TEST(ListDialogs, DialogsNearTheRightEdgeKeepTheirFrameOnTheScreen)
{
    const int right = QGuiApplication::primaryScreen()->geometry().width();
    const auto atTheEdge = [right](QWidget& dialog) {
        EXPECT_EQ(dialog.frameGeometry().right() + 1, right) << dialog.objectName().toStdString();
        EXPECT_GT(dialog.frameGeometry().width(), dialog.width()) << "the platform frames the window";
    };
    TFormTextEingabe input;
    input.resize(300, input.height());
    WhenModal([&](QWidget& dialog) {
        atTheEdge(dialog);
        QTest::keyClick(dialog.findChild<QPlainTextEdit*>("RichEditText"), Qt::Key_Escape);
    });
    EXPECT_EQ(input.Edit("x", QPoint(right - 10, 100)), std::nullopt);
    TFormSelection selection;
    WhenModal([&](QWidget& dialog) {
        atTheEdge(dialog);
        QTest::keyClick(dialog.findChild<QTableWidget*>("StringGrid1"), Qt::Key_Escape);
    });
    const int savedWidth = MainClientWidth;
    MainClientWidth = right;
    EXPECT_EQ(selection.Select(" || |X||X|", "", 0, QPoint(right - 10, 100)), std::nullopt);
    MainClientWidth = savedWidth;
}
}  // namespace
