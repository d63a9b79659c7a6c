// Message boxes while a remote command runs: a box with one button waits
// until the command is over; a question opens at once.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "kernel/ui/lan_dialogs.h"
#include "kernel/ui/remote_message_hold.h"

TEST(RemoteMessageHold, OneButtonBoxesOpenOnceTheCommandIsOver)
{
    // Every box that opens is noted and closed with Esc.
    QStringList opened;
    QTimer watcher;
    watcher.setInterval(10);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<TMessageForm*>(QApplication::activeModalWidget())) {
            opened << box->MessageLabel()->text();
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    watcher.start();

    {
        RemoteMessageHold command;
        EXPECT_TRUE(RemoteMessageHold::active());
        EXPECT_EQ(LanDialogs::MessageDlg("Datei nicht gefunden!", MsgKind::Warning, {MsgButton::Cancel}), mrCancel);
        {
            RemoteMessageHold nested;
            EXPECT_EQ(LanDialogs::MessageDlg("Fertig", MsgKind::Information, {MsgButton::OK}), mrOk);
        }
        EXPECT_TRUE(opened.isEmpty());
        EXPECT_EQ(LanDialogs::MessageDlg("Weiter?", MsgKind::Confirmation, {MsgButton::OK, MsgButton::Cancel}),
                  mrCancel);
        EXPECT_EQ(opened, QStringList{"Weiter?"});
    }
    EXPECT_FALSE(RemoteMessageHold::active());
    EXPECT_EQ(opened, QStringList{"Weiter?"});
    for (int i = 0; i < 300 && opened.size() < 3; ++i)
        QTest::qWait(10);
    EXPECT_EQ(opened, (QStringList{"Weiter?", "Datei nicht gefunden!", "Fertig"}));

    // Without a hold a box opens at once.
    EXPECT_EQ(LanDialogs::MessageDlg("Sofort", MsgKind::Warning, {MsgButton::Cancel}), mrCancel);
    EXPECT_EQ(opened.last(), "Sofort");
}
