#include "check/ui/form_gtest_text.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "kernel/language/language.h"
#include "kernel/services/services.h"
#include "platform/codepage.h"

TFormGTestText* GTestText = nullptr;

namespace {

// Right of the simulation, else left of it, else below it; where none of
// these fits, the screen's bottom right corner.
QPoint BesidePosition(const QRect& simulation, const QSize& own, const QRect& screen)
{
    const int gap = 4;
    if (simulation.right() + gap + own.width() <= screen.right())
        return {simulation.right() + gap, simulation.top()};
    if (simulation.left() - gap - own.width() >= screen.left())
        return {simulation.left() - gap - own.width(), simulation.top()};
    if (simulation.bottom() + gap + own.height() <= screen.bottom())
        return {simulation.left(), simulation.bottom() + gap};
    return {std::max(screen.left(), screen.right() - own.width()), std::max(screen.top(), screen.bottom() - own.height())};
}

}  // namespace

TFormGTestText::TFormGTestText(QWidget* parent) : TFormTextEdit(parent, "GTestText", FormRole::Other)
{
    setObjectName("GTestText");
    // The simulation window stays on top: at a lower level this window
    // would open behind it and stay there even when activated.
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    // The text window translated itself: only the title is new here.
    setWindowTitle(QString::fromStdString(F_TRANS("Fehler und Meldungen")));
    SetReadOnly(true);
    closeOnEsc = true;
    if (F_ReadIni("Windows", "GTestText", "").empty())
        resize(460, 260);
}

void TFormGTestText::AddLine(const QString& line)
{
    T_MyStringList& lines = Lines();
    const std::string text = Utf8ToCp1252(line.toStdString());
    // The view's append breaks long lines but makes no empty one.
    if (text.empty())
        lines.Add(text);
    else
        AppendText(text);
    // Nobody saves this text: no "changed" in the status.
    lines.SetModified(false);
    SetTextCursor(1, lines.Count() - 1);
    ScrollCursorIntoView();
}

void TFormGTestText::Clear()
{
    T_MyStringList& lines = Lines();
    lines.Clear();
    lines.SetModified(false);
    SetTextCursor(1, 0);
}

QStringList TFormGTestText::ShownLines()
{
    QStringList out;
    for (const std::string& l : Lines().Lines())
        out << QString::fromStdString(Cp1252ToUtf8(l));
    return out;
}

void TFormGTestText::ShowBeside(const QWidget& simulation)
{
    if (!placed_ && F_ReadIni("Windows", "GTestText", "").empty()) {
        const QScreen* screen = simulation.screen() ? simulation.screen() : QGuiApplication::primaryScreen();
        // Before the first show the frame is not known: allow for one.
        const QSize frame = frameGeometry().size().expandedTo(size() + QSize(8, 30));
        move(BesidePosition(simulation.frameGeometry(), frame, screen->availableGeometry()));
    }
    placed_ = true;
    show();
    raise();
    activateWindow();
}

TFormGTestText::~TFormGTestText()
{
    if (GTestText == this)
        GTestText = nullptr;
}
