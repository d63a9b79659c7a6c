// A modal dialog stands above the windows that otherwise stay on top, and
// they come back on top once the last dialog has gone, without being hidden.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <functional>

#include "kernel/ui/lan_dialogs.h"
#include "kernel/ui/modal_stacking.h"

namespace {

bool OnTop(const QWidget& w)
{
    return w.windowHandle() && w.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
}

// Counts the times the window is shown anew.
struct ShowCounter : QObject {
    int shown = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        shown += e->type() == QEvent::Show;
        return false;
    }
};

// Runs the check once the dialog has shown, then closes it.
void WhileUp(QDialog& dialog, const std::function<void()>& check)
{
    QTimer::singleShot(0, &dialog, [&] {
        check();
        dialog.reject();
    });
    dialog.exec();
}

}  // namespace

TEST(ModalStacking, ModalWindowsStandAboveTheWindowsOnTopAndTheyReturnAfterwards)
{
    InstallModalStacking();
    QWidget main;
    main.show();
    QWidget list(&main, Qt::Tool | Qt::WindowStaysOnTopHint);
    QWidget editor(&main, Qt::Tool | Qt::WindowStaysOnTopHint);
    list.show();
    editor.show();
    ShowCounter counter;
    list.installEventFilter(&counter);

    QDialog dialog(&main);
    auto message = LanDialogs::CreateMessageDialog("Ungültiger Wert", MsgKind::Warning, {MsgButton::OK});
    bool checked = false, nestedChecked = false;
    WhileUp(dialog, [&] {
        checked = true;
        EXPECT_TRUE(OnTop(dialog)) << "the dialog stays above every window";
        // They step down once the dialog is on its way.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !OnTop(list) && !OnTop(editor); }));
        // A message of the dialog above it; the windows stay down until the
        // dialog has gone too.
        message->setParent(&dialog, message->windowFlags());
        WhileUp(*message, [&] {
            nestedChecked = true;
            EXPECT_TRUE(OnTop(*message));
            EXPECT_TRUE(OnTop(dialog));
        });
        EXPECT_FALSE(OnTop(list)) << "the dialog still runs";
        EXPECT_FALSE(OnTop(editor));
    });
    EXPECT_TRUE(checked && nestedChecked);
    EXPECT_TRUE(OnTop(list));
    EXPECT_TRUE(OnTop(editor));
    EXPECT_FALSE(OnTop(dialog)) << "shown again without a dialog's modality, it is an ordinary window";
    EXPECT_TRUE(list.isVisible() && editor.isVisible());
    EXPECT_EQ(counter.shown, 0) << "the windows changed level without being hidden";
    EXPECT_TRUE(list.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

// A dialog that belongs to the main window but was opened from a list
// window (the shared dialogs, the export settings) gives the keys back to
// the list window, not to its parent.
TEST(ModalStacking, TheWindowThatOpenedADialogHasTheKeysAfterwards)
{
    InstallModalStacking();
    QWidget main;
    main.show();
    QWidget list(&main, Qt::Tool | Qt::WindowStaysOnTopHint);
    list.show();
    QApplication::setActiveWindow(&list);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
    QDialog dialog(&main);
    WhileUp(dialog, [&] { QApplication::setActiveWindow(&dialog); });
    QApplication::setActiveWindow(&main);  // as the window manager does
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &list; }))
        << "active: " << (QApplication::activeWindow() ? QApplication::activeWindow()->objectName().toStdString() : "none");
}
