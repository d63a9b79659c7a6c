// A modal dialog stands above the windows that otherwise stay on top, and
// they come back on top once the last dialog has gone, without being hidden.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "kernel/ui/dialog_focus.h"
#include "kernel/ui/lan_dialogs.h"
#include "kernel/ui/late_map.h"
#include "kernel/ui/modal_stacking.h"
#include "kernel/ui/progress_boxes.h"
#include "kernel/ui/x11_stacking.h"

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

std::string Name(const QWidget* w)
{
    return w ? w->objectName().toStdString() : "none";
}

// The server's stacking as the program sees it: the order it is told of,
// changed by the program's restacking only.
class StackingRecorder : public WindowStacking {
public:
    explicit StackingRecorder(bool managerRuns) : managerRuns_(managerRuns) { WindowStacking::Replace(this); }
    ~StackingRecorder() override { WindowStacking::Replace(nullptr); }
    StackingRecorder(const StackingRecorder&) = delete;
    StackingRecorder& operator=(const StackingRecorder&) = delete;

    std::vector<WId> order;
    int restacked = 0;
    // The names of the windows given the keys directly, as the test names
    // a window when it is given them (a window's id may change with its
    // flags offscreen).
    std::function<std::string(WId)> nameOf;
    std::string given;

    void Put(const std::vector<const QWidget*>& bottomFirst)
    {
        order.clear();
        for (const QWidget* w : bottomFirst)
            order.push_back(w->windowHandle()->winId());
    }
    // The windows' names bottom first, of those given.
    std::string Of(const std::vector<const QWidget*>& windows) const
    {
        std::string names;
        for (WId id : order)
            for (const QWidget* w : windows)
                if (w->windowHandle()->winId() == id)
                    names += (names.empty() ? "" : " ") + Name(w);
        return names;
    }
    std::vector<WId> Order() const override { return order; }
    bool ManagerRuns() const override { return managerRuns_; }
    void Activate(WId) override {}
    void GiveFocus(WId window) override
    {
        if (nameOf)
            given += (given.empty() ? "" : " ") + nameOf(window);
    }
    void PlaceAbove(WId window, WId sibling) override
    {
        ++restacked;
        order.erase(std::remove(order.begin(), order.end(), window), order.end());
        const auto at = std::find(order.begin(), order.end(), sibling);
        order.insert(sibling && at != order.end() ? at + 1 : order.end(), window);
    }
    // The windows the server has on the screen, and those withdrawn.
    std::vector<WId> mapped;
    std::vector<WId> withdrawn;
    bool IsMapped(WId window) const override
    {
        return std::find(mapped.begin(), mapped.end(), window) != mapped.end();
    }
    void Withdraw(WId window) override { withdrawn.push_back(window); }

private:
    bool managerRuns_;
};

// Without a window manager the server stacks a window raised or shown at
// the top, over every other.
struct ServerRaises : QObject {
    StackingRecorder& server;
    explicit ServerRaises(StackingRecorder& s) : server(s) {}
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::ZOrderChange || e->type() == QEvent::Show)
            server.PlaceAbove(static_cast<QWidget*>(watched)->windowHandle()->winId(), 0);
        return false;
    }
};

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

// The window manager picks the window that gets the keys when a dialog
// goes, at times after the program has asked for the opener (xfwm4): its
// choice gives way, a window brought up meanwhile does not.
TEST(ModalStacking, KeysReturnAfterTheWindowManagersOwnChoice)
{
    InstallModalStacking();
    struct Case {
        const char* what;
        std::function<void(QWidget& main, QWidget& editor)> meanwhile;
        const char* expected;
    };
    const Case cases[] = {
        {"the manager activates the dialog's parent",
         [](QWidget& main, QWidget&) { main.windowHandle()->requestActivate(); }, "list"},
        {"the manager activates the topmost window",
         [](QWidget&, QWidget& editor) { editor.windowHandle()->requestActivate(); }, "list"},
        {"the caller brings the editor up",
         [](QWidget&, QWidget& editor) {
             editor.raise();
             editor.activateWindow();
         },
         "editor"},
        {"the person clicks into the editor",
         [](QWidget&, QWidget& editor) {
             QTest::mousePress(&editor, Qt::LeftButton);
             editor.windowHandle()->requestActivate();
         },
         "editor"},
    };
    for (const Case& c : cases) {
        QWidget main;
        main.setObjectName("main");
        main.show();
        QWidget list(&main, Qt::Tool | Qt::WindowStaysOnTopHint);
        list.setObjectName("list");
        QWidget editor(&main, Qt::Tool | Qt::WindowStaysOnTopHint);
        editor.setObjectName("editor");
        list.show();
        editor.show();
        list.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
        QDialog dialog(&main);
        bool chosen = false;
        const QWindow* choice = std::string(c.what).find("parent") != std::string::npos ? main.windowHandle()
                                                                                          : editor.windowHandle();
        const auto seen = QObject::connect(qApp, &QGuiApplication::focusWindowChanged,
                                           [&](QWindow* w) { chosen = chosen || w == choice; });
        WhileUp(dialog, [&] { ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog)); });
        c.meanwhile(main, editor);
        // The manager's or the person's choice lands first.
        EXPECT_TRUE(QTest::qWaitFor([&] { return chosen; })) << c.what;
        QObject::disconnect(seen);
        const QWidget* expected = std::string(c.expected) == "list" ? &list : &editor;
        // Settled: the window expected has the keys, and does after the
        // events that follow.
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == expected; }))
            << c.what << ", active: " << Name(QApplication::activeWindow());
        QCoreApplication::processEvents();
        EXPECT_EQ(Name(QApplication::activeWindow()), c.expected) << c.what;
    }
}

// After a dialog the windows that stay on top come back in the order they
// stood, whatever order the window manager gives them when they regain
// the above state.
TEST(ModalStacking, WindowsOnTopComeBackInTheOrderTheyStood)
{
    InstallModalStacking();
    QWidget main;
    main.setObjectName("main");
    main.show();
    QWidget list(&main, Qt::Tool | Qt::WindowStaysOnTopHint), editor(&main, Qt::Tool | Qt::WindowStaysOnTopHint),
        pattern(&main, Qt::Tool | Qt::WindowStaysOnTopHint);
    list.setObjectName("list");
    editor.setObjectName("editor");
    pattern.setObjectName("pattern");
    for (QWidget* w : {&list, &editor, &pattern})
        w->show();
    StackingRecorder manager(true);
    manager.Put({&main, &editor, &list, &pattern});
    QDialog dialog(&main);
    WhileUp(dialog, [&] {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !OnTop(list) && !OnTop(pattern); }));
        manager.Put({&main, &pattern, &list, &editor, &dialog});  // as xfwm4 may leave them
    });
    EXPECT_EQ(manager.Of({&main, &list, &editor, &pattern}), "main editor list pattern");
    // Windows standing in their order are left alone: xfwm4 gives the keys
    // to each window it restacks.
    manager.restacked = 0;
    QDialog again(&main);
    WhileUp(again, [&] { ASSERT_TRUE(QTest::qWaitFor([&] { return !OnTop(list); })); });
    EXPECT_EQ(manager.restacked, 0);
}

// Without a window manager nothing keeps a window above another: the
// program puts the windows that stay on top back above a window it raises
// (the keys' return after a dialog) or shows.
TEST(ModalStacking, WithoutAWindowManagerTheWindowsOnTopStayAbove)
{
    InstallModalStacking();
    for (const bool managerRuns : {false, true}) {
        QWidget main;
        main.setObjectName("main");
        main.show();
        QWidget list(&main, Qt::Tool | Qt::WindowStaysOnTopHint), editor(&main, Qt::Tool | Qt::WindowStaysOnTopHint);
        list.setObjectName("list");
        editor.setObjectName("editor");
        list.show();
        editor.show();
        QWidget check;
        check.setObjectName("check");
        StackingRecorder server(managerRuns);
        server.Put({&main, &editor, &list});
        ServerRaises raises(server);
        main.installEventFilter(&raises);
        check.installEventFilter(&raises);
        list.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&list));

        QDialog dialog(&list);
        WhileUp(dialog, [&] {});
        ReturnFocusTo(&main, nullptr);  // as a message's caller may
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &main; }));
        QCoreApplication::processEvents();
        // A window manager keeps them above by their state: the program
        // leaves the order to it.
        EXPECT_EQ(server.Of({&main, &editor, &list}), managerRuns ? "editor list main" : "main editor list")
            << "with a manager: " << managerRuns;
        check.show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(server.Of({&main, &editor, &list, &check}),
                  managerRuns ? "editor list main check" : "main check editor list")
            << "with a manager: " << managerRuns;
    }
}

// The window has the keys as the platform has reported them.
bool HasTheKeys(const QWidget& w)
{
    return QTest::qWaitFor([&] { return QGuiApplication::focusWindow() == w.windowHandle(); });
}

// The keys move to the window that comes next while the dialog that has
// them is still on the screen: the window manager, which would choose the
// topmost ordinary window (the main window) when a window with the keys
// goes, has no choice to make.
TEST(ModalStacking, TheKeysMoveOnBeforeTheDialogWithThemGoes)
{
    InstallModalStacking();
    struct Case {
        const char* what;
        bool modal;
        bool box;          // a job's progress box, not a dialog
        bool nested;       // a message of the dialog comes and goes first
        bool keysElsewhere;  // the main window has the keys when the dialog goes
        const char* given;   // the windows given the keys, in turn
    };
    const Case cases[] = {
        {"the last modal dialog: to the window that opened it", true, false, false, false, "editor"},
        {"a message of a dialog: to the dialog, then the dialog's to the editor", true, false, true, false,
         "dialog editor"},
        {"a modeless dialog of the editor: to the editor", false, false, false, false, "editor"},
        {"a job's progress box of the main window: to the editor the job runs for", false, true, false, false,
         "editor"},
        {"a dialog without the keys: nothing moves", true, false, false, true, ""},
    };
    for (const Case& c : cases) {
        QWidget main;
        main.setObjectName("main");
        main.show();
        QWidget editor(&main, Qt::Tool | Qt::WindowStaysOnTopHint);
        editor.setObjectName("editor");
        QWidget text(&editor);
        editor.show();
        editor.activateWindow();
        ASSERT_TRUE(HasTheKeys(editor));
        StackingRecorder server(true);
        QDialog dialog(c.modal || c.box ? &main : &text);
        dialog.setObjectName("dialog");
        if (c.box)
            ProgressBoxes::Register(&dialog);
        server.nameOf = [&](WId id) {
            for (const QWidget* w : {&main, &editor, static_cast<QWidget*>(&dialog)})
                if (w->windowHandle() && w->windowHandle()->winId() == id)
                    return Name(w);
            return std::string("another");
        };
        struct HideSeen : QObject {
            StackingRecorder& server;
            std::string givenBefore;
            explicit HideSeen(StackingRecorder& s) : server(s) {}
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::Hide)
                    givenBefore = server.given;
                return false;
            }
        } hideSeen(server);
        dialog.installEventFilter(&hideSeen);
        const auto whileUp = [&] {
            ASSERT_TRUE(HasTheKeys(dialog));
            if (c.nested) {
                QDialog message(&dialog);
                WhileUp(message, [&] { ASSERT_TRUE(HasTheKeys(message)); });
                EXPECT_EQ(server.given, "dialog") << c.what << ": the dialog still runs";
                dialog.activateWindow();
                ASSERT_TRUE(HasTheKeys(dialog));
            }
            if (c.keysElsewhere) {
                main.activateWindow();
                ASSERT_TRUE(HasTheKeys(main));
            }
        };
        if (c.modal) {
            WhileUp(dialog, whileUp);
        } else {
            dialog.show();
            dialog.activateWindow();
            whileUp();
            dialog.hide();
        }
        EXPECT_EQ(server.given, c.given) << c.what;
        if (*c.given) {
            EXPECT_EQ(hideSeen.givenBefore, server.given) << c.what << ": before the dialog went";
        }
        QCoreApplication::processEvents();
    }
}

// A box shown and hidden at once, mapped by the window manager after the
// hide (metacity on a loaded machine): the expose the map brings withdraws
// it again. A window the program shows, or one the server has unmapped
// already, is left alone.
TEST(ModalStacking, AWindowTheManagerMapsAfterItsHideIsWithdrawnAgain)
{
    InstallLateMapWithdrawal();
    struct Case {
        const char* what;
        bool hidden;
        bool mappedOnServer;
        bool withdrawn;
    };
    const Case cases[] = {
        {"hidden, mapped late by the manager", true, true, true},
        {"hidden, unmapped on the server", true, false, false},
        {"shown, mapped", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StackingRecorder server(true);
        QWidget main;
        main.show();
        QWidget box(&main, Qt::Tool | Qt::WindowStaysOnTopHint);
        box.show();
        if (c.hidden)
            box.hide();
        QWindow* window = box.windowHandle();
        ASSERT_TRUE(window);
        if (c.mappedOnServer)
            server.mapped.push_back(window->winId());
        QExposeEvent expose(QRegion(0, 0, box.width(), box.height()));
        QCoreApplication::sendEvent(window, &expose);
        EXPECT_EQ(server.withdrawn, c.withdrawn ? std::vector<WId>{window->winId()} : std::vector<WId>{});
    }
}
