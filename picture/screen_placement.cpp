#include "picture/screen_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "kernel/services/debuglog.h"

namespace {
ScreenRect ToScreenRect(const QRect& r)
{
    return {r.left(), r.top(), r.width(), r.height()};
}
}  // namespace

std::vector<ScreenRect> ScreenRects()
{
    std::vector<ScreenRect> out;
    for (const QScreen* s : QGuiApplication::screens())
        out.push_back(ToScreenRect(s->geometry()));
    return out;
}

ScreenRect PrimaryScreenRect()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? ToScreenRect(s->geometry()) : ScreenRect{0, 0, 1024, 768};
}

int32_t DesktopWidth()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->virtualGeometry().width() : PrimaryScreenRect().width;
}

ScreenRect FormBounds(const QWidget* form)
{
    return {form->pos().x(), form->pos().y(), form->width(), form->height()};
}

uint16_t FormMonitor(const QWidget* form)
{
    return MonitorOf(FormBounds(form), ScreenRects());
}

std::string FormPlacementText(const QWidget* form)
{
    const uint16_t monitor = FormMonitor(form);
    const std::vector<ScreenRect> screens = ScreenRects();
    const int32_t monitorLeft = monitor < screens.size() ? screens[monitor].left : 0;
    return PlacementText({FormBounds(form), monitor, monitorLeft, PrimaryScreenRect().width});
}

uint16_t ApplyFormPlacement(QWidget* form, std::string_view text, bool applyBounds)
{
    const ScreenRect screen = PrimaryScreenRect();
    const ParsedPlacement p = ParsePlacement(text, screen.width, screen.height);
    if (p.malformed) {
        // A hand-edited line must not keep the window shut: it opens where it would anyway.
        DebugLog({"Window placement ignored:", form->objectName().toStdString(), std::string(text)});
        return 0;
    }
    if (applyBounds && p.bounds) {
        form->move(p.bounds->left, p.bounds->top);
        form->resize(p.bounds->width, p.bounds->height);
    }
    return p.monitor;
}
