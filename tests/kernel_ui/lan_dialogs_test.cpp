// The translated message dialogs, driven with keys and clicks.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <QWindow>

#include "kernel/ui/form_info4z.h"
#include "kernel/ui/lan_dialogs.h"
#include "kernel/ui/progress_boxes.h"
#include "tests/kernel_ui/ui_test_util.h"

namespace {

QStringList Captions(const TMessageForm& d)
{
    QStringList out;
    for (const QPushButton* b : d.Buttons())
        out << b->text();
    return out;
}

// Shows the dialog, sends the key and gives the result, or -1 while the
// dialog is still open.
int AfterKey(TMessageForm& d, Qt::Key key)
{
    d.setResult(-1);
    d.show();
    QTest::keyClick(&d, key);
    return d.isVisible() ? -1 : d.result();
}

QRect Screen()
{
    return QGuiApplication::primaryScreen()->geometry();
}

}  // namespace

TEST(LanDialogs, GermanWarningWithYesNoCancel)
{
    auto d = LanDialogs::CreateMessageDialog("Speichern?", MsgKind::Warning,
                                             {MsgButton::Cancel, MsgButton::No, MsgButton::Yes});
    EXPECT_EQ(d->windowTitle(), "Warnung");
    ASSERT_EQ(Captions(*d), (QStringList{"&Ja", "&Nein", "Abbrechen"}));
    const auto& b = d->Buttons();
    EXPECT_LT(b[0]->x(), b[1]->x());
    EXPECT_LT(b[1]->x(), b[2]->x());
    EXPECT_EQ(b[0]->y(), b[2]->y());
    EXPECT_EQ(AfterKey(*d, Qt::Key_Return), mrYes);
    EXPECT_EQ(AfterKey(*d, Qt::Key_Escape), mrCancel);
    // The title-bar close answers like Esc.
    d->show();
    EXPECT_TRUE(d->close());
    EXPECT_EQ(d->result(), mrCancel);
}

TEST(LanDialogs, ReturnAndEscFollowTheButtonSet)
{
    auto yesNo = LanDialogs::CreateMessageDialog("?", MsgKind::Confirmation, {MsgButton::Yes, MsgButton::No});
    EXPECT_EQ(yesNo->windowTitle(), "Best\u00e4tigung");
    EXPECT_EQ(AfterKey(*yesNo, Qt::Key_Escape), mrNo);
    EXPECT_EQ(AfterKey(*yesNo, Qt::Key_Return), mrYes);
    yesNo->show();
    EXPECT_TRUE(yesNo->close());
    EXPECT_EQ(yesNo->result(), mrNo);

    auto ok = LanDialogs::CreateMessageDialog("!", MsgKind::Information, {MsgButton::OK});
    EXPECT_EQ(ok->windowTitle(), "Information");
    EXPECT_EQ(AfterKey(*ok, Qt::Key_Escape), mrOk);
    EXPECT_EQ(AfterKey(*ok, Qt::Key_Return), mrOk);

    auto ari = LanDialogs::CreateMessageDialog("Laufwerk?", MsgKind::Error,
                                               {MsgButton::Abort, MsgButton::Retry, MsgButton::Ignore});
    EXPECT_EQ(ari->windowTitle(), "Fehler");
    EXPECT_EQ(Captions(*ari), (QStringList{"&Abbrechen", "&Wiederholen", "&Ignorieren"}));
    EXPECT_EQ(ari->EscapeResult(), mrNone);
    EXPECT_EQ(AfterKey(*ari, Qt::Key_Escape), -1);
    EXPECT_FALSE(ari->close());
    EXPECT_TRUE(ari->isVisible());
    QTest::keyClick(ari.get(), Qt::Key_Return);
    EXPECT_FALSE(ari->isVisible());
    EXPECT_EQ(ari->result(), mrRetry);
}

TEST(LanDialogs, ButtonsAnswerClicksAndHelpDoesNothing)
{
    auto d = LanDialogs::CreateMessageDialog(
        "Alle?", MsgKind::Confirmation,
        {MsgButton::Help, MsgButton::YesToAll, MsgButton::NoToAll, MsgButton::All, MsgButton::Ignore});
    EXPECT_EQ(Captions(*d), (QStringList{"&Ignorieren", "&Alle", "&Alle Nein", "A&lle Ja", "&Hilfe"}));
    d->show();
    d->setResult(-1);
    QTest::mouseClick(d->Button(MsgButton::Help), Qt::LeftButton);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->result(), -1);
    // No default and no Esc button: Esc leaves it open.
    QTest::keyClick(d.get(), Qt::Key_Escape);
    EXPECT_TRUE(d->isVisible());
    QTest::mouseClick(d->Button(MsgButton::NoToAll), Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), mrNoToAll);
    EXPECT_EQ(d->Button(MsgButton::OK), nullptr);
}

TEST(LanDialogs, ADialogThatNoButtonEndsGetsOk)
{
    auto none = LanDialogs::CreateMessageDialog("?", MsgKind::Warning, {});
    EXPECT_EQ(Captions(*none), (QStringList{"OK"}));
    auto help = LanDialogs::CreateMessageDialog("?", MsgKind::Warning, {MsgButton::Help});
    EXPECT_EQ(Captions(*help), (QStringList{"OK", "&Hilfe"}));
    EXPECT_EQ(AfterKey(*help, Qt::Key_Escape), mrOk);
}

TEST(LanDialogs, CaptionsAndTitleAreTranslated)
{
    StartLanguage("Englisch", "$:&Ja\r\nE:&Yes\r\n$:Warnung\r\nE:Warning\r\n$:&Nein\r\nE:&Absolutely not, never\r\n");
    auto d = LanDialogs::CreateMessageDialog("Text", MsgKind::Warning, {MsgButton::Yes, MsgButton::No});
    EXPECT_EQ(d->windowTitle(), "Warning");
    EXPECT_EQ(Captions(*d), (QStringList{"&Yes", "&Absolutely not, never"}));
    // The message text is the caller's business: not looked up here.
    EXPECT_EQ(d->MessageLabel()->text(), "Text");

    // Equal widths, wide enough for the widest caption.
    const QFontMetrics fm(d->font());
    const int widest = fm.horizontalAdvance("Absolutely not, never") + 8;
    EXPECT_GE(d->Buttons()[0]->width(), widest);
    EXPECT_EQ(d->Buttons()[0]->width(), d->Buttons()[1]->width());
}

TEST(LanDialogs, MarkedCaptionNeedsAMarkedEntry)
{
    const std::string file = "$:Ja\r\nE:Yes\r\n";
    StartLanguage("Englisch", file);
    auto d = LanDialogs::CreateMessageDialog("Text", MsgKind::Confirmation, {MsgButton::Yes});
    EXPECT_EQ(Captions(*d), (QStringList{"&Ja"}));
    // The captions are learnt like every phrase.
    const std::string db = ReadTestFile(TestHome() + "DbLang.Txt");
    EXPECT_NE(db.find("$:&Ja\r\n"), std::string::npos);
    EXPECT_NE(db.find("$:Best\xE4tigung\r\n"), std::string::npos);
}

TEST(LanDialogs, LayoutFollowsTheDialogUnits)
{
    const QString longText = QString("Wort ").repeated(400);
    auto d = LanDialogs::CreateMessageDialog(longText, MsgKind::Error, {MsgButton::OK, MsgButton::Cancel});
    const QFontMetrics fm(d->font());
    const int unitX = fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52;
    for (const QPushButton* b : d->Buttons())
        EXPECT_GE(b->width(), (50 * unitX + 2) / 4);
    EXPECT_EQ(d->Buttons()[0]->width(), d->Buttons()[1]->width());
    // The text wraps within half the screen, right of the 32 x 32 icon.
    const QLabel* icon = d->IconLabel();
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->size(), QSize(32, 32));
    EXPECT_FALSE(icon->pixmap().isNull());
    EXPECT_LT(icon->geometry().right(), d->MessageLabel()->x());
    EXPECT_LE(d->MessageLabel()->width(), Screen().width() / 2);
    EXPECT_GT(d->MessageLabel()->height(), 3 * fm.height());
    // Buttons below the text, the group centred.
    const QPushButton* first = d->Buttons().front();
    const QPushButton* last = d->Buttons().back();
    EXPECT_GT(first->y(), d->MessageLabel()->geometry().bottom());
    EXPECT_LE(std::abs(first->x() - (d->width() - last->geometry().right() - 1)), 1);
    EXPECT_EQ(d->font(), QApplication::font());
    // Centred on the screen.
    EXPECT_LE(std::abs(d->x() - (Screen().width() - d->width()) / 2), 1);
    EXPECT_LE(std::abs(d->y() - (Screen().height() - d->height()) / 2), 1);
}

TEST(LanDialogs, MessageDlgRunsModallyAndReturnsThePressedButton)
{
    int seenButtons = 0;
    QString title;
    WhenModal([&](QWidget* w) {
        auto* d = qobject_cast<TMessageForm*>(w);
        ASSERT_NE(d, nullptr);
        seenButtons = static_cast<int>(d->Buttons().size());
        title = d->windowTitle();
        QTest::keyClick(d, Qt::Key_Escape);
    });
    EXPECT_EQ(LanDialogs::MessageDlg("Weiter?", MsgKind::Warning,
                                     {MsgButton::Yes, MsgButton::No, MsgButton::Cancel}),
              mrCancel);
    EXPECT_EQ(seenButtons, 3);
    EXPECT_EQ(title, "Warnung");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    WhenModal([](QWidget* w) {
        // Return goes to the focused button, the default one.
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : w;
        QTest::keyClick(target, Qt::Key_Return);
    });
    EXPECT_EQ(LanDialogs::MessageDlg("Nochmal?", MsgKind::Error,
                                     {MsgButton::Abort, MsgButton::Retry, MsgButton::Ignore}),
              mrRetry);
}

TEST(LanDialogs, ShowMessageIsPlainWithTheApplicationName)
{
    QGuiApplication::setApplicationDisplayName("ZORIT");
    QString title;
    QStringList captions;
    bool hasIcon = true;
    WhenModal([&](QWidget* w) {
        auto* d = qobject_cast<TMessageForm*>(w);
        ASSERT_NE(d, nullptr);
        title = d->windowTitle();
        captions = Captions(*d);
        hasIcon = d->IconLabel() != nullptr;
        QTest::mouseClick(d->Button(MsgButton::OK), Qt::LeftButton);
    });
    LanDialogs::ShowMessage("Fertig.");
    EXPECT_EQ(title, "ZORIT");
    EXPECT_EQ(captions, QStringList{"OK"});
    EXPECT_FALSE(hasIcon);
    QGuiApplication::setApplicationDisplayName(QString());
}

TEST(LanDialogs, PositionedDialogKeepsTheCentreOnNegativeAxes)
{
    QRect seen;
    WhenModal([&](QWidget* w) {
        seen = w->frameGeometry();
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_EQ(LanDialogs::MessageDlgPos("Hier", MsgKind::Information, {MsgButton::OK}, 0, -1, 100), mrOk);
    EXPECT_EQ(seen.top(), 100);
    EXPECT_LE(std::abs(seen.left() - (Screen().width() - seen.width()) / 2), 1);

    WhenModal([&](QWidget* w) {
        seen = w->frameGeometry();
        QTest::keyClick(w, Qt::Key_Escape);
    });
    LanDialogs::MessageDlgPos("Dort", MsgKind::Information, {MsgButton::OK}, 0, 30, -5);
    EXPECT_EQ(seen.left(), 30);
    EXPECT_LE(std::abs(seen.top() - (Screen().height() - seen.height()) / 2), 1);
}

// A message hands the activation and the focus back to the window it was
// asked from, even when the window manager gave them to another window.
TEST(LanDialogs, TheWindowThatAskedHasTheKeysAfterwards)
{
    QWidget other;
    other.show();
    QWidget asking;
    auto* field = new QPushButton("Feld", &asking);
    new QPushButton("Anderes", &asking);
    asking.show();
    asking.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&asking));
    field->setFocus();
    WhenModal([&other](QWidget* w) {
        QTest::keyClick(w, Qt::Key_Return);
        other.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&other));
    });
    EXPECT_EQ(LanDialogs::MessageDlg("Fertig", MsgKind::Information, {MsgButton::OK}), mrOk);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&asking));
    EXPECT_EQ(QApplication::activeWindow(), &asking);
    EXPECT_EQ(QApplication::focusWidget(), field);
}

// A message during a job: the progress boxes go before it shows, it belongs
// above the window the person worked in, and a job that goes on brings its
// box back (with its Esc) while one that hid its box does not.
TEST(LanDialogs, AMessageSetsTheProgressBoxesAsideAndStandsAboveTheWorkWindow)
{
    QWidget work;
    work.setWindowTitle("Arbeit");
    work.resize(300, 200);
    work.show();
    work.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&work));
    TFormInfo4Z box;
    QWidget bar;  // any other progress window
    ProgressBoxes::Register(&bar);
    box.show();
    bar.show();
    QTest::keyClick(&box, Qt::Key_Escape);
    ASSERT_TRUE(box.AbortRequested());

    bool boxShown = true;
    bool barShown = true;
    QWindow* transientParent = nullptr;
    WhenModal([&](QWidget* w) {
        boxShown = box.isVisible();
        barShown = bar.isVisible();
        transientParent = w->windowHandle() ? w->windowHandle()->transientParent() : nullptr;
        QTest::keyClick(w, Qt::Key_Escape);
    });
    LanDialogs::MessageDlg("Die Patronen haben nicht die gleiche Gr\u00f6\u00dfe!", MsgKind::Warning,
                           {MsgButton::Cancel});
    EXPECT_FALSE(boxShown);
    EXPECT_FALSE(barShown);
    EXPECT_EQ(transientParent, work.windowHandle());
    EXPECT_FALSE(box.isVisible());

    // The job goes on: its next line brings the box back, Esc still asked.
    box.SetInfoLine(4, "12");
    EXPECT_TRUE(box.isVisible());
    EXPECT_TRUE(box.AbortRequested());
    // The job ends and hides its box: a later message leaves it hidden.
    box.hide();
    WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    LanDialogs::MessageDlg("Fertig", MsgKind::Information, {MsgButton::OK});
    box.SetInfoLine(4, "11");
    EXPECT_FALSE(box.isVisible());
}
