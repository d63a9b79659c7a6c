// The knitting scheme, needle room, yarn carrier and set-up sheet windows as
// a user meets them: real keys, the colours the test windows set, the sheet
// redisplaying the carrier window, and how each looks.
#include "kernel/model/workrecord.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include "kernel/language/language.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/machinedata.h"
#include "kernel/model/programmodel.h"
#include "kernel/ui/forms.h"
#include "kernel/ui/shell_values.h"
#include "lists/core/symbol_farben.h"
#include "lists/list_editors.h"
#include "lists/list_globals.h"
#include "lists/panel_color.h"
#include "tests/support/test_env.h"

namespace {
class SetupWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        SettingsPath = TestHome() + "Zorit.INI";
        SetPatternSymbolColours();
        ProgrammKopf.SetModel("844");
        ProgrammKopf.SetGauge(8);
        P_SetMaschinenDaten();
        RuestSchema.b[0] = 1;
    }
    void TearDown() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TFormListe*>(w))
                delete w;
        SettingsPath.clear();
        ShowProgrammKopfProc = nullptr;
    }
    static QWidget* Focused() { return QApplication::focusWidget(); }
    static void Shoot(TFormListe* form, const char* name)
    {
        ASSERT_NE(form, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
        const QImage image = form->grab().toImage();
        EXPECT_GT(image.width(), 150) << name;
        ASSERT_TRUE(image.save(QString::fromStdString(TestHome()) + name + ".png"));
        if (const char* keep = getenv("ZORIT_KEEP_SCREENSHOTS"))
            image.save(QString(keep) + "/" + name + ".png");
    }
};

TEST_F(SetupWindows, SchemeKeysColoursAndLook)
{
    for (int i = 1; i <= 3; ++i) {
        uint8_t* z = ZListe->GetLine(static_cast<uint16_t>(i));
        put_u16(z, 28, static_cast<uint16_t>(i));
        put_u32(z, 28 + 8 + 16, 0x7);
        z[4] = 2;
        put_u16(z, 6, 100);
        WriteShortString(z, 556, 80, "Reihe " + std::to_string(i));
    }
    put_u32(ZListe->GetLine(2), 28 + 48 + 24 + 4, 3);
    P_ShowZListe(0);
    ASSERT_TRUE(QTest::qWaitForWindowActive(FormZListe));
    ZListeCore& z = FormZListe->ZCore();
    EXPECT_EQ(z.Systems(), 4);
    EXPECT_EQ(FormZListe->windowTitle(), "Strickschema");
    QTest::keyClick(Focused(), Qt::Key_Right);
    QTest::keyClick(Focused(), Qt::Key_Space);
    QTest::keyClick(Focused(), Qt::Key_Right);
    EXPECT_EQ(get_u32(ZListe->PeekLine(1), 28 + 3 * 88 + 48 + 32 + 4), 1u);

    FormZListe->GotoLine(2, 0x0101);
    const int carrier = z.FieldAt(4, 0, ZListeCore::Role::Carrier, 0);
    const int row = z.Zeile();
    TPanelColor* panel = FormZListe->Panel(row, z.Field(carrier).column);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->Background(), QColor(0xff, 0xff, 0x00));
    // The next line without a mark takes the old one away.
    FormZListe->GotoLine(1, 65535);
    EXPECT_EQ(panel->Background(), QColor(0xc0, 0xc0, 0xc0));
    FormZListe->SetCellColour(row, 0x0104, 0xff0000);
    EXPECT_EQ(FormZListe->Panel(row, z.Field(z.FieldAt(1, 0, ZListeCore::Role::Carrier, 0)).column)->Background(),
              QColor(0xff, 0, 0));
    Shoot(FormZListe, "Z");

    // Destroying writes the placement and clears the form variable.
    delete FormZListe;
    EXPECT_EQ(FormZListe, nullptr);
}

TEST_F(SetupWindows, SheetRedisplaysTheCarriersAndLooks)
{
    int headers = 0;
    ShowProgrammKopfProc = [&] { ++headers; };
    for (int k = 0; k < 8; ++k)
        for (int r = 1; r <= 8; ++r)
            for (int b = 0; b < 8; ++b)
                put_i16(RuestSchema.data(), T_RuestSchema::CarrierSet1(k, r, b),
                        b < 2 ? static_cast<int16_t>(10 * k + r) : -32768);
    put_u16(RuestSchema.data(), T_RuestSchema::RoomStart(1, 1), 100);
    put_u16(RuestSchema.data(), T_RuestSchema::RoomEnd(1, 1), 300);
    P_ShowNrListe(0);
    Shoot(FormNrListe, "NR");
    P_ShowFfListe(0);
    Shoot(FormFfListe, "FF");
    EXPECT_EQ(FormFfListe->Panel(1, FormFfListe->Core().Field(FfListeCore::Offset(0)).column)->Text(), "+008");
    P_ShowRustListe(0);
    ASSERT_TRUE(QTest::qWaitForWindowActive(FormRustListe));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(Focused(), Qt::Key_Down);
    QTest::keyClick(Focused(), Qt::Key_3);
    QTest::keyClick(Focused(), Qt::Key_Return);
    EXPECT_EQ(RuestSchema.b[0], 3);
    EXPECT_EQ(FormFfListe->Panel(1, FormFfListe->Core().Field(FfListeCore::Offset(0)).column)->Text(), "+028");
    Shoot(FormRustListe, "RB");
    // Up to the gauge: E10 is another gauge, the header follows.
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(Focused(), Qt::Key_Up);
    QTest::keyClick(Focused(), Qt::Key_Space);
    EXPECT_EQ(ProgrammKopf.Gauge(), 10);
    EXPECT_EQ(headers, 1);
}
// Value cells that may hold more than their width shows start at the left
// edge: a comment's beginning is always readable.
TEST_F(SetupWindows, SheetCommentStartsAtItsLeftEdge)
{
    WriteShortString(RuestSchema.data(), T_RuestSchema::kComment, 80, "Testprogramm");
    P_ShowRustListe(0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FormRustListe));
    for (int field : {RustListeCore::Kommentar, RustListeCore::HF}) {
        TPanelColor* cell = FormRustListe->Panel(1, FormRustListe->Core().Field(field).column);
        ASSERT_NE(cell, nullptr);
        EXPECT_TRUE(cell->Alignment() & Qt::AlignLeft) << field;
    }
    TPanelColor* comment = FormRustListe->Panel(1, FormRustListe->Core().Field(RustListeCore::Kommentar).column);
    EXPECT_EQ(comment->Text(), "Testprogramm");
    Shoot(FormRustListe, "RB_comment");
}

// A double click opens a cell's input dialog as Insert does, in the sheet as
// in a list editor: the choice for the gauge, the text input for the comment.
TEST_F(SetupWindows, DoubleClickOpensTheInputDialog)
{
    uint8_t* carrier = PListe->GetLine(1);
    put_u16(carrier, 0, 1);
    carrier[2] = 2;
    carrier[3] = 1;
    P_ShowRustListe(0);
    ASSERT_TRUE(QTest::qWaitForWindowActive(FormRustListe));
    P_ShowPListe(0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FormPListe));
    struct Case {
        TFormListe* form;
        int field;
        const char* dialog;
    };
    for (const Case& c : {Case{FormRustListe, RustListeCore::Feinheit, "FormSelection"},
                          Case{FormRustListe, RustListeCore::Kommentar, "FormTextEingabe"},
                          Case{FormRustListe, RustListeCore::HF, "FormMultiSelection"},
                          Case{FormPListe, 5, "FormSelection"}}) {
        SCOPED_TRACE(testing::Message() << c.form->objectName().toStdString() << " field " << c.field);
        c.form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(c.form));
        TPanelColor* cell = c.form->Panel(1, c.form->Core().Field(c.field).column);
        ASSERT_NE(cell, nullptr);
        QString opened;
        QTimer::singleShot(0, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                opened = modal->objectName();
                QTest::keyClick(modal, Qt::Key_Escape);
                if (modal->isVisible())
                    static_cast<QDialog*>(modal)->reject();
            }
        });
        QTest::mouseDClick(cell, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        EXPECT_EQ(c.form->Core().Feld(), c.field);
        EXPECT_EQ(opened, c.dialog);
    }
}

// Each caption of the sheet fits its column in the language of the run, the
// values standing right of the longest one and the window holding them all;
// German keeps its 120-pixel column.
TEST_F(SetupWindows, SheetCaptionsFitTheirColumnInEveryLanguage)
{
    struct Case {
        char letter;
        int captionWidth;  // 0: wider than the German column
    };
    for (const Case c : {Case{'G', 120}, Case{'E', 0}}) {
        SCOPED_TRACE(c.letter);
        WriteTestFile(TestHome() + "DbLang.Txt",
                      "$:Abstand von Ff zu Ff\r\nG:Abstand von Ff zu Ff\r\nE:Carrier to carrier distance\r\n"
                      "$:Ff Maximalabstand\r\nG:Ff Maximalabstand\r\nE:Carrier max. distance\r\n");
        InitLanguage(nullptr, nullptr, TestHome() + "DbLang.Txt", c.letter);
        P_ShowRustListe(0);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(FormRustListe));
        const RustListeCore& core = static_cast<const RustListeCore&>(FormRustListe->Core());
        int right = 0;
        for (int field = RustListeCore::Maschine; field <= RustListeCore::FfAbstand; ++field) {
            const int valueColumn = core.Field(field).column;
            TPanelColor* caption = FormRustListe->Panel(1, valueColumn - 1);
            TPanelColor* value = FormRustListe->Panel(1, valueColumn);
            ASSERT_NE(caption, nullptr);
            ASSERT_NE(value, nullptr);
            const int textWidth = QFontMetrics(caption->font()).horizontalAdvance(caption->Text());
            EXPECT_LT(textWidth, caption->width()) << caption->Text().toStdString();
            if (c.captionWidth)
                EXPECT_EQ(caption->width(), c.captionWidth) << caption->Text().toStdString();
            else
                EXPECT_GT(caption->width(), 120) << caption->Text().toStdString();
            EXPECT_GE(value->x(), caption->x() + caption->width()) << caption->Text().toStdString();
            right = std::max(right, value->mapTo(FormRustListe, QPoint(value->width(), 0)).x());
        }
        EXPECT_EQ(FormRustListe->Panel(1, core.Field(RustListeCore::FfAbstand).column - 1)->Text(),
                  c.letter == 'E' ? "Carrier to carrier distance" : "Abstand von Ff zu Ff");
        EXPECT_LE(right, FormRustListe->width());
        Shoot(FormRustListe, c.letter == 'E' ? "RB_english" : "RB_german");
        delete FormRustListe;
        DoneLanguage();
    }
}
}  // namespace
