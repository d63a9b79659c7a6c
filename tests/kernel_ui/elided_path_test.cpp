// A path too long for its field keeps its root and its file name.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>

#include "kernel/ui/elided_path.h"
#include "kernel/ui/form_info4z.h"

namespace {

const QString E = QStringLiteral("\u2026");

}  // namespace

TEST(ElidedPath, KeepsRootAndFileName)
{
    const QFontMetrics m{QFont()};
    const auto w = [&](const QString& s) { return m.horizontalAdvance(s); };
    const QString unix = "/home/strick/muster/2026/kunden/ordner/X.SMA";
    const QString dos = "C:\\Muster\\2026\\Kunden\\ordner\\X.SMA";
    struct Case {
        QString path;
        int width;
        QString shown;
    } const cases[] = {
        {unix, w(unix), unix},
        {unix, w("/" + E + "/ordner/X.SMA"), "/" + E + "/ordner/X.SMA"},
        {unix, w("/" + E + "/ordner/X.SMA") - 1, "/" + E + "/X.SMA"},
        {unix, w("/" + E + "/kunden/ordner/X.SMA") + 1, "/" + E + "/kunden/ordner/X.SMA"},
        {unix, w(E + "/X.SMA"), E + "/X.SMA"},
        {dos, w("C:\\" + E + "\\ordner\\X.SMA"), "C:\\" + E + "\\ordner\\X.SMA"},
        {"ordner/unter/X.SMA", w(E + "/unter/X.SMA"), E + "/unter/X.SMA"},
    };
    for (const Case& c : cases) {
        const QString shown = ElidedPath(c.path, m, c.width);
        EXPECT_EQ(shown, c.shown) << c.path.toStdString() << " " << c.width;
        EXPECT_LE(w(shown), c.width);
    }
    // Narrower than the file name: shortened in the middle, within the width.
    const QString tight = ElidedPath(unix, m, w("X.SMA"));
    EXPECT_LE(w(tight), w("X.SMA"));
    EXPECT_TRUE(tight.contains(E));
    // A text without folders is shortened in its middle.
    EXPECT_EQ(ElidedPath("Zeile 12345678901234567890", m, 40), m.elidedText("Zeile 12345678901234567890", Qt::ElideMiddle, 40));
}

TEST(ElidedPath, ProgressBoxShowsTheFileNameOfALongPath)
{
    TFormInfo4Z box;
    int64_t now = 0;
    box.SetFrameClock([&now] { return now += FramePace::kFrameMs; });
    const QString path = "/home/strick/muster/2026/kunden/eine/lange/reihe/von/ordnern/ordner/X.SMA";
    box.SetInfoLine(1, path);
    QLabel* value = box.Panel(3, 1);
    EXPECT_TRUE(value->text().endsWith("/ordner/X.SMA")) << value->text().toStdString();
    EXPECT_TRUE(value->text().startsWith("/" + E));
    EXPECT_LE(value->fontMetrics().horizontalAdvance(value->text()),
              value->contentsRect().width() - 2 * value->indent());
    EXPECT_EQ(box.InfoLine(1), path);
    // A short text stays whole; the same path again is no change.
    box.SetInfoLine(2, "123");
    EXPECT_EQ(box.Panel(3, 2)->text(), "123");
    box.SetInfoLine(1, path);
    EXPECT_EQ(box.InfoLine(1), path);
    box.ClearValues();
    EXPECT_EQ(box.InfoLine(1), QString());
}
