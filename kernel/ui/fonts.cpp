#include "kernel/ui/fonts.h"

#include <QWidget>

namespace {

struct FontMapping {
    const char* name;
    const char* family;
};

constexpr FontMapping Mappings[] = {
    {"MS Sans Serif", "DejaVu Sans"},
    {"System", "DejaVu Sans"},
    {"Courier", "DejaVu Sans Mono"},
    {"Times New Roman", "DejaVu Serif"},
};

struct FontEntry {
    const char* name;
    int size;
    bool bold;
    bool fixedPitch;
    // An invalid colour stands for the system's window text colour.
    QColor colour;
};

const FontEntry& Entry(int index)
{
    static const FontEntry table[FontTableSize] = {
        {"Times New Roman", 10, true, false, QColor(Qt::black)},
        {"System", 10, false, true, QColor(Qt::black)},
        {"MS Sans Serif", 8, true, false, QColor(Qt::black)},
        {"MS Sans Serif", 8, false, false, QColor(0, 128, 128)},
        {"MS Sans Serif", 10, false, false, QColor()},
        {"MS Sans Serif", 10, true, false, QColor()},
    };
    return table[index];
}

bool ValidIndex(int index)
{
    return index >= 0 && index < FontTableSize;
}

}  // namespace

QString MappedFontFamily(const QString& name)
{
    for (const FontMapping& m : Mappings)
        if (name.compare(QLatin1String(m.name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(m.family);
    return name;
}

QFont MapFont(const QString& name, int pointSize, bool bold, bool italic)
{
    QFont font(MappedFontFamily(name), pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void SetFont(int index, QFont& font)
{
    if (!ValidIndex(index))
        return;
    const FontEntry& e = Entry(index);
    font.setFamilies({MappedFontFamily(QString::fromLatin1(e.name))});
    font.setPointSize(e.size);
    font.setBold(e.bold);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setFixedPitch(e.fixedPitch);
}

QColor FontColour(int index, const QPalette& palette)
{
    if (!ValidIndex(index) || !Entry(index).colour.isValid())
        return palette.color(QPalette::WindowText);
    return Entry(index).colour;
}

void SetFont(int index, QWidget& widget)
{
    if (!ValidIndex(index))
        return;
    QFont font = widget.font();
    SetFont(index, font);
    widget.setFont(font);
    QPalette palette = widget.palette();
    const QColor colour = FontColour(index, palette);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, colour);
    widget.setPalette(palette);
}
