// The option pop-ups and "Multiples Kopieren" as the user meets them: a
// palette button opens its pop-up beside it, a click sets the option and
// shows it on the palette button; the repeat count refuses what is not 1..499.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QTest>
#include <functional>

#include "kernel/ui/forms.h"
#include "pattern/form_multi_copy.h"
#include "pattern/option_glyphs.h"
#include "pattern/tool_glyphs.h"
#include "pattern/tool_option_buttons.h"
#include "pattern/tool_option_popup.h"
#include "pattern/zeichenfunktionen.h"
#include "tests/support/recording_host.h"

namespace {

class OptionPopupTest : public testing::Test {
protected:
    void SetUp() override
    {
        PaintUnitSettings() = ShapeSettings{};
        palette.move(40, 100);
        palette.show();
    }
    void TearDown() override
    {
        delete FindForm("FormMulticopy");
        QApplication::processEvents();
    }
    // Runs `inside` on the pop-up once it runs modally, then opens it.
    int Open(ToolOption option, std::function<void(ToolOptionPopup&)> inside)
    {
        QTimer::singleShot(0, [option, inside] {
            auto* popup = qobject_cast<ToolOptionPopup*>(FindForm(ToolOptionPopup::FormName(option)));
            ASSERT_NE(popup, nullptr);
            ASSERT_TRUE(popup->isModal() && popup->isVisible());
            inside(*popup);
            if (popup->isVisible())
                popup->reject();
        });
        return OpenToolOptionPopup(option, &palette);
    }
    int Choose(ToolOption option, int button)
    {
        return Open(option, [button](ToolOptionPopup& p) { QTest::mouseClick(p.OptionButton(button), Qt::LeftButton); });
    }
    QToolButton* PaletteButton(ToolOption option) { return palette.Button(ToolOptionPopup::PaletteButtonName(option)); }

    TZeichenfunktionen palette;
};

TEST_F(OptionPopupTest, SlopeButtonsReadElevenToFortyFourAndSetTheSlope)
{
    QStringList captions;
    QPoint where;
    Open(ToolOption::Slope, [&](ToolOptionPopup& p) {
        for (QToolButton* b : p.OptionButtons())
            captions << b->text();
        EXPECT_TRUE(p.windowFlags() & Qt::FramelessWindowHint);
        EXPECT_TRUE(p.OptionButton(1)->isChecked());
        where = p.pos();
        QToolButton* b23 = p.OptionButtons()[captions.indexOf("23")];
        QTest::mouseClick(b23, Qt::LeftButton);
    });
    EXPECT_EQ(captions.join(' '), "11 21 31 41 12 22 32 42 13 23 33 43 14 24 34 44");
    EXPECT_EQ(PaintUnitSettings().slopeX, 2);
    EXPECT_EQ(PaintUnitSettings().slopeY, 3);
    QToolButton* slope = PaletteButton(ToolOption::Slope);
    EXPECT_EQ(slope->text(), "23");
    EXPECT_FALSE(slope->isChecked());
    // Beside its button, over the palette's caption; freed after closing.
    EXPECT_EQ(where, QPoint(palette.x() + slope->x() + slope->width() - 2, palette.y() + 12));
    EXPECT_FALSE(FormExists("LokalStufen_Form"));
}

TEST_F(OptionPopupTest, EachButtonSetsItsOptionAndLeavesItsPictureOnThePalette)
{
    struct Case {
        ToolOption option;
        int button;
        std::function<int()> setting;
        int expected;
    };
    const ShapeSettings& s = PaintUnitSettings();
    const std::vector<Case> cases{
        {ToolOption::LineType, 2, [&] { return s.snap; }, 1},
        {ToolOption::LineType, 3, [&] { return s.staircase; }, 1},
        {ToolOption::LineType, 1, [&] { return s.free; }, 1},
        {ToolOption::LineWidth, 4, [&] { return s.lineWidth; }, 3},
        {ToolOption::LineWidth, 1, [&] { return s.lineWidth; }, 0},
        {ToolOption::Outline, 1, [&] { return s.outlineMode; }, 5},
        {ToolOption::Outline, 2, [&] { return s.outlineMode; }, 1},
        {ToolOption::Outline, 3, [&] { return s.outlineMode; }, 2},
        {ToolOption::Outline, 4, [&] { return s.outlineMode; }, 4},
        {ToolOption::Outline, 5, [&] { return s.outlineMode; }, 3},
        {ToolOption::InsertDelete, 1, [&] { return s.insertDeleteCode; }, 2},
        {ToolOption::InsertDelete, 2, [&] { return s.insertDeleteCode; }, 1},
        {ToolOption::InsertDelete, 3, [&] { return s.insertDeleteCode; }, 10},
        {ToolOption::InsertDelete, 4, [&] { return s.insertDeleteCode; }, 9},
        {ToolOption::InsertDelete, 5, [&] { return s.insertDeleteCode; }, 4},
        {ToolOption::InsertDelete, 6, [&] { return s.insertDeleteCode; }, 3},
        {ToolOption::InsertDelete, 7, [&] { return s.insertDeleteCode; }, 12},
        {ToolOption::InsertDelete, 8, [&] { return s.insertDeleteCode; }, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << ToolOptionPopup::FormName(c.option) << " button " << c.button);
        PaletteButton(c.option)->setChecked(true);
        EXPECT_EQ(Choose(c.option, c.button), c.button);
        EXPECT_EQ(c.setting(), c.expected);
        const QImage shown = PaletteButton(c.option)->icon().pixmap(kToolGlyphSize).toImage();
        EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32),
                  OptionGlyph(c.option, c.button).toImage().convertToFormat(QImage::Format_ARGB32));
        EXPECT_FALSE(PaletteButton(c.option)->isChecked());
    }
}

TEST_F(OptionPopupTest, OutlineAndInsertDeleteOpenLevelWithTheirButton)
{
    for (ToolOption option : {ToolOption::Outline, ToolOption::InsertDelete}) {
        QPoint where;
        QString hint;
        Open(option, [&](ToolOptionPopup& p) {
            where = p.pos();
            hint = p.OptionButton(3)->toolTip();
        });
        QToolButton* b = PaletteButton(option);
        EXPECT_EQ(where, QPoint(palette.x() + b->x() + b->width() - 2,
                                palette.y() + 12 + b->mapTo(&palette, QPoint(0, 0)).y()));
        if (option == ToolOption::InsertDelete) {
            EXPECT_EQ(hint, QString::fromUtf8("Spalten einf\u00fcgen (im Motiv)"));
        }
    }
}

TEST_F(OptionPopupTest, EscapeChoosesNothing)
{
    const ShapeSettings before = PaintUnitSettings();
    PaletteButton(ToolOption::LineWidth)->setChecked(true);
    EXPECT_EQ(Open(ToolOption::LineWidth, [](ToolOptionPopup& p) { QTest::keyClick(&p, Qt::Key_Escape); }), 0);
    EXPECT_FALSE(PaletteButton(ToolOption::LineWidth)->isChecked());
    EXPECT_EQ(PaintUnitSettings().lineWidth, before.lineWidth);
    EXPECT_FALSE(FormExists("LokalLinienStaerke_Form"));
}

TEST_F(OptionPopupTest, PaletteButtonsOpenTheirPopUpsAndReportTheChoice)
{
    QObject context;
    std::vector<std::pair<ToolOption, int>> closed;
    ConnectToolOptionButtons(&palette, &context, [&](ToolOption o, int chosen) { closed.emplace_back(o, chosen); });
    QTimer::singleShot(0, [] {
        auto* popup = qobject_cast<ToolOptionPopup*>(FindForm("LokalInsDel_Form"));
        ASSERT_NE(popup, nullptr);
        QTest::mouseClick(popup->OptionButton(3), Qt::LeftButton);
    });
    PaletteButton(ToolOption::InsertDelete)->click();
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0], std::make_pair(ToolOption::InsertDelete, 3));
    EXPECT_EQ(PaintUnitSettings().insertDeleteCode, 10);
}

// --- "Multiples Kopieren"

// Runs `inside` on the dialog once it runs modally, then asks the count.
int AskCount(std::function<void(TFormMulticopy&)> inside)
{
    QTimer::singleShot(0, [inside] {
        auto* form = qobject_cast<TFormMulticopy*>(FindForm("FormMulticopy"));
        ASSERT_NE(form, nullptr);
        inside(*form);
    });
    return MultiCopyCount(28);
}

void Type(TFormMulticopy& f, const char* text)
{
    f.MaskEdit1->setText(text);
    QTest::mouseClick(f.OK_Button, Qt::LeftButton);
}

TEST_F(OptionPopupTest, RepeatCountRefusesWhatIsNotOneToFourHundredNinetyNine)
{
    ScopedRecordingHost recorder;
    EXPECT_EQ(MultiCopyCount(27), 1);
    EXPECT_FALSE(FormExists("FormMulticopy"));

    std::vector<bool> stayedOpen;
    EXPECT_EQ(AskCount([&](TFormMulticopy& f) {
                  EXPECT_EQ(f.windowTitle(), "Multiples Kopieren ");
                  EXPECT_EQ(f.MaskEdit1->text(), "1");
                  for (const char* bad : {"", "0", "00"}) {
                      Type(f, bad);
                      stayedOpen.push_back(f.isVisible());
                  }
                  Type(f, "12");
              }),
              12);
    EXPECT_EQ(stayedOpen, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(recorder.host.messages(),
              (std::vector<std::string>{"Ung\u00fcltiger Wert", "Ung\u00fcltiger Wert", "Ung\u00fcltiger Wert"}));
    // The edit takes two digits and nothing else.
    EXPECT_EQ(AskCount([](TFormMulticopy& f) {
                  f.MaskEdit1->clear();
                  QTest::keyClicks(f.MaskEdit1, "a7x35");
                  EXPECT_EQ(f.MaskEdit1->text(), "73");
                  QTest::keyClick(f.MaskEdit1, Qt::Key_Return);
              }),
              73);
    EXPECT_EQ(AskCount([](TFormMulticopy& f) { QTest::mouseClick(f.Cancel_Button, Qt::LeftButton); }), 1);
    EXPECT_EQ(AskCount([](TFormMulticopy& f) { QTest::keyClick(&f, Qt::Key_Escape); }), 1);
    EXPECT_EQ(AskCount([](TFormMulticopy& f) { Type(f, "1"); }), 1);
    EXPECT_EQ(recorder.host.messages().size(), 3u);
}

}  // namespace
