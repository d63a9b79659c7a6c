// The list editor windows as a user meets them: the main window's Edit menu
// handed over and back, marking with the real Shift key, and how each looks.
#include "kernel/model/workrecord.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>

#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"
#include "kernel/ui/edit_bindings.h"
#include "kernel/ui/shell_values.h"
#include "lists/core/symbol_farben.h"
#include "lists/list_editors.h"
#include "lists/panel_color.h"
#include "tests/support/test_env.h"

namespace {
// The Edit menu's items as the main window has them: five with Tag 3.
struct EditMenu {
    QMenu menu;
    std::vector<QAction*> items;
    QAction* find = nullptr;

    EditMenu()
    {
        const std::pair<const char*, int> names[] = {{"MnuRueckgaengig", 3}, {"MnuAusschneiden", 3},
                                                     {"MnuKopieren", 3},     {"MnuEinfuegen", 3},
                                                     {"MnuLoeschen", 3},     {"MnuAllesmarkieren", 0},
                                                     {"MnuMarkierungloeschen", 0}};
        for (auto [name, tag] : names) {
            QAction* a = menu.addAction(name);
            a->setObjectName(name);
            a->setProperty("Tag", tag);
            a->setEnabled(false);
            items.push_back(a);
        }
        find = menu.addAction("MnuSuchen");
        find->setProperty("Tag", 0);
        T_ListEditBindung& l = ListEditBindung;
        l.MnuBearbeiten = &menu;
        T_EditPair* pairs[] = {&l.Rueckgaengig, &l.Ausschneiden, &l.Kopieren,        &l.Einfuegen,
                               &l.Loeschen,     &l.AllesMarkieren, &l.MarkierungLoeschen};
        for (size_t i = 0; i < items.size(); ++i)
            *pairs[i] = T_EditPair(items[i], nullptr);
    }
    ~EditMenu() { ListEditBindung = {}; }
    // "1"/"0" per item; paste shows "p" where it follows a clipboard that
    // earlier windows of the editor class may have filled.
    std::string Enabled(bool clipboard) const
    {
        std::string out;
        for (QAction* a : items)
            out += a->isEnabled() ? '1' : '0';
        if (clipboard && out[3] == '1')
            out[3] = 'p';
        return out;
    }
};

class ListEditorWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        SettingsPath = TestHome() + "Zorit.INI";
        SetPatternSymbolColours();
    }
    void TearDown() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TFormListe*>(w))
                delete w;
        SettingsPath.clear();
    }
    static QWidget* Focused() { return QApplication::focusWidget(); }
};

TEST_F(ListEditorWindows, EditMenuIsHandedOverAndBack)
{
    EditMenu edit;
    for (int i = 1; i <= 10; ++i)
        VListe->GetLine(static_cast<uint16_t>(i))[0] = 1;
    P_ShowVListe(0);
    ASSERT_TRUE(QTest::qWaitForWindowActive(FormVListe));
    // Activation shows the list items and hides the others.
    const bool clip = FormVListe->Core().ClipboardFlag();
    EXPECT_EQ(edit.Enabled(clip), clip ? "000p010" : "0000010");
    EXPECT_FALSE(edit.find->isVisible());
    EXPECT_TRUE(edit.items[6]->isVisible());

    QTest::keyClick(Focused(), Qt::Key_Down);
    QTest::keyPress(Focused(), Qt::Key_Shift, Qt::ShiftModifier);
    QTest::keyClick(Focused(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyRelease(Focused(), Qt::Key_Shift);
    EXPECT_EQ(FormVListe->Core().Range().first, 2);
    EXPECT_EQ(FormVListe->Core().Range().last, 3);
    EXPECT_EQ(edit.Enabled(clip), clip ? "011p111" : "0110111");
    edit.items[2]->trigger();  // copy
    EXPECT_EQ(edit.Enabled(false), "0111111");
    edit.items[6]->trigger();  // clear selection
    EXPECT_EQ(edit.Enabled(false), "0001010");
    EXPECT_EQ(FormVListe->Core().Range().first, 0);

    QTest::keyClick(Focused(), Qt::Key_Escape);
    EXPECT_FALSE(FormVListe->isVisible());
    EXPECT_EQ(edit.Enabled(false), "0000000");
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(edit.items[static_cast<size_t>(i)]->isVisible()) << i;
    EXPECT_FALSE(edit.items[5]->isVisible());
    EXPECT_FALSE(edit.find->isVisible());
    // A handler bound to a window that is gone does nothing.
    QPointer<TFormVListe> gone = FormVListe;
    delete FormVListe;
    EXPECT_TRUE(gone.isNull());
}

// Ctrl+Del is the Edit menu's "Löschen" while lines are marked; without
// marked lines it clears the cell as Delete does.
TEST_F(ListEditorWindows, CtrlDeleteDeletesMarkedLinesElseClearsTheCell)
{
    EditMenu edit;
    for (int i = 1; i <= 10; ++i) {
        uint8_t* v = VListe->GetLine(static_cast<uint16_t>(i));
        v[0] = 1;
        v[2] = static_cast<uint8_t>(i);
    }
    P_ShowVListe(0);
    ASSERT_TRUE(QTest::qWaitForWindowActive(FormVListe));
    QTest::keyClick(Focused(), Qt::Key_Right);
    QTest::keyClick(Focused(), Qt::Key_Down);
    QTest::keyPress(Focused(), Qt::Key_Shift, Qt::ShiftModifier);
    QTest::keyClick(Focused(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyRelease(Focused(), Qt::Key_Shift);
    ASSERT_EQ(FormVListe->Core().Range().first, 2);
    QTest::keyClick(Focused(), Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClick(Focused(), Qt::Key_Down);
    std::string used;
    for (int i = 1; i <= 5; ++i)
        used += std::to_string(VListe->PeekLine(static_cast<uint16_t>(i))[0]);
    EXPECT_EQ(used, "10011");
    EXPECT_EQ(FormVListe->Core().Range().first, 2);

    edit.items[6]->trigger();  // clear selection
    ASSERT_EQ(FormVListe->Core().Range().first, 0);
    ASSERT_EQ(FormVListe->Core().CursorLine(), 4);
    QTest::keyClick(Focused(), Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClick(Focused(), Qt::Key_Down);
    EXPECT_EQ(VListe->PeekLine(4)[0], 0);
    EXPECT_EQ(VListe->PeekLine(5)[0], 1);
}

// Each editor with a few lines, saved to look at (ZORIT_KEEP_SCREENSHOTS
// names a folder to keep them in).
TEST_F(ListEditorWindows, Screenshots)
{
    ProgrammKopf.b[10] = 1;
    ProgrammKopf.b[11] = 1;
    put_u16(ProgrammKopf.data(), 6, 250);
    RuestSchema.b[0] = 1;
    for (int i = 1; i <= 3; ++i) {
        uint8_t* v = VListe->GetLine(static_cast<uint16_t>(i));
        v[0] = i != 2;
        v[1] = i == 3;
        v[2] = static_cast<uint8_t>(4 * i);
        v[5] = 1;
        put_i16(v, 6, -3);
        WriteShortString(v, 13, 80, "Versatz " + std::to_string(i));
        put_i16(WListe->GetLine(static_cast<uint16_t>(i)), 0, static_cast<int16_t>(i == 2 ? -5 : 100 * i));
    }
    uint8_t* a = AListe->GetLine(2);
    a[2] = 30;
    a[3] = 0x9c;
    put_u16(AListe->GetLine(3), 0, 0);
    uint8_t* f = FListe->GetLine(1);
    f[2] = 2;
    put_u16(f, 4, 2);
    uint8_t* fc = FListe->GetLine(2);
    put_u16(fc, 0, 0);
    put_u16(fc, 4, 120);
    put_u32(fc, 12, 0x15);
    PListe->GetLine(1)[2] = 3;
    put_u32(PListe->GetLine(1), 8, 0x6);
    put_u16(NListe->GetLine(1), 2, 5);
    NListe->GetLine(1)[6] = 1;
    put_u16(NListe->GetLine(1), 8, 2);
    put_u16(SListe->GetLine(1), 2, 4);
    SListe->GetLine(2);
    const char* keep = getenv("ZORIT_KEEP_SCREENSHOTS");
    auto shoot = [&](TFormListe* form, const char* name) {
        ASSERT_NE(form, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
        const QImage image = form->grab().toImage();
        EXPECT_GT(image.width(), 200) << name;
        ASSERT_TRUE(image.save(QString::fromStdString(TestHome()) + name + ".png"));
        if (keep)
            image.save(QString(keep) + "/" + name + ".png");
    };
    P_ShowVListe(0);
    shoot(FormVListe, "V");
    P_ShowAListe(0);
    shoot(FormAListe, "A");
    P_ShowWListe(0);
    shoot(FormWListe, "W");
    P_ShowPListe(0);
    shoot(FormPListe, "P");
    P_ShowFListe(0);
    shoot(FormFListe, "F");
    P_ShowNListe(0);
    shoot(FormNListe, "N");
    P_ShowSListe(0);
    shoot(FormSListe, "S");
    // A new program: each open editor shows one row again.
    CreateProgramModel();
    P_ResetListEditorRows();
    EXPECT_EQ(FormSListe->Core().ZeilenAnzahl(), 1);
    EXPECT_EQ(FormVListe->Core().ZeilenAnzahl(), 1);
}
}  // namespace
