// The font map and the six-entry font table, checked against the fonts the
// system really resolves.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QLabel>

#include "kernel/ui/fonts.h"

TEST(Fonts, MapResolvesToShippedFonts)
{
    const struct {
        const char* name;
        const char* family;
    } cases[] = {
        {"MS Sans Serif", "DejaVu Sans"},
        {"ms sans serif", "DejaVu Sans"},
        {"System", "DejaVu Sans"},
        {"Courier", "DejaVu Sans Mono"},
        {"Times New Roman", "DejaVu Serif"},
        {"Arial", "Arial"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MappedFontFamily(c.name), c.family) << c.name;
        if (QString(c.family).startsWith("DejaVu")) {
            const QFont font = MapFont(c.name, 9, true);
            EXPECT_EQ(QFontInfo(font).family(), c.family) << c.name;
            EXPECT_TRUE(QFontInfo(font).bold());
            EXPECT_EQ(font.pointSize(), 9);
        }
    }
}

TEST(Fonts, TableEntries)
{
    const struct {
        const char* family;
        int size;
        bool bold;
        QColor colour;
    } table[FontTableSize] = {
        {"DejaVu Serif", 10, true, Qt::black},
        {"DejaVu Sans", 10, false, Qt::black},
        {"DejaVu Sans", 8, true, Qt::black},
        {"DejaVu Sans", 8, false, QColor(0, 128, 128)},
        {"DejaVu Sans", 10, false, QColor(1, 2, 3)},
        {"DejaVu Sans", 10, true, QColor(1, 2, 3)},
    };
    QPalette palette;
    palette.setColor(QPalette::WindowText, QColor(1, 2, 3));
    for (int i = 0; i < FontTableSize; ++i) {
        SCOPED_TRACE(i);
        QFont font("Courier", 20);
        font.setItalic(true);
        SetFont(i, font);
        EXPECT_EQ(QFontInfo(font).family(), table[i].family);
        EXPECT_EQ(font.pointSize(), table[i].size);
        EXPECT_EQ(font.bold(), table[i].bold);
        EXPECT_FALSE(font.italic());
        EXPECT_EQ(FontColour(i, palette), table[i].colour);
    }
    QFont untouched("Courier", 20);
    SetFont(6, untouched);
    SetFont(-1, untouched);
    EXPECT_EQ(untouched, QFont("Courier", 20));
}

TEST(Fonts, WidgetTakesFontAndColour)
{
    QLabel label("x");
    SetFont(3, label);
    EXPECT_EQ(QFontInfo(label.font()).family(), "DejaVu Sans");
    EXPECT_EQ(label.font().pointSize(), 8);
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(0, 128, 128));
}
