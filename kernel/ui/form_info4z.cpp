#include "kernel/ui/form_info4z.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include "kernel/ui/elided_path.h"
#include "kernel/ui/hide_when_shown.h"
#include "kernel/ui/progress_boxes.h"
#include "kernel/ui/translate_form.h"

TFormInfo4Z* FormInfo4Z = nullptr;

namespace {

constexpr int kClientWidth = 254;
constexpr int kClientHeight = 112;
constexpr int kRowTop[4] = {8, 32, 56, 80};
constexpr int kRowHeight = 21;
constexpr int kColumnLeft[3] = {8, 98, 116};
constexpr int kColumnWidth[3] = {90, 18, 130};

}  // namespace

TFormInfo4Z::TFormInfo4Z(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("FormInfo4Z"));
    // Under X the role tells the box from a message.
    setWindowRole(objectName());
    setFixedSize(kClientWidth, kClientHeight);
    // While a job shows the box nothing else may start a job on the same
    // program: the box blocks the other windows without an event loop of
    // its own, so the job keeps running.
    setWindowModality(Qt::ApplicationModal);

    back_ = new QFrame(this);
    back_->setObjectName(QStringLiteral("Panel1"));
    back_->setFrameShape(QFrame::StyledPanel);
    back_->setGeometry(0, 0, kClientWidth, kClientHeight);

    QFont middleFont = font();
    middleFont.setBold(true);
    for (int column = 0; column < 3; ++column) {
        for (int line = 0; line < 4; ++line) {
            auto* panel = new QLabel(back_);
            panel->setObjectName(QStringLiteral("Panel%1%2").arg(column + 1).arg(line + 1));
            panel->setGeometry(kColumnLeft[column], kRowTop[line], kColumnWidth[column], kRowHeight);
            panel->setTextFormat(Qt::PlainText);
            if (column == 1) {
                panel->setFont(middleFont);
                panel->setAlignment(Qt::AlignCenter);
                panel->setText(QStringLiteral(":"));
            } else {
                panel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                panel->setIndent(4);
            }
            if (column == 2)
                panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            panels_[column][line] = panel;
        }
    }

    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect r = s->geometry();
        move(r.x() + (r.width() - kClientWidth) / 2, r.y() + (r.height() - kClientHeight) / 2);
    }
    late_ = new QTimer(this);
    late_->setSingleShot(true);
    late_->setInterval(static_cast<int>(FramePace::kFrameMs));
    connect(late_, &QTimer::timeout, this, &TFormInfo4Z::ShowValues);
    TranslateForm(this);
    ProgressBoxes::Register(this);
    hideWhenShown_ = new HideWhenShown(this, [this] { QDialog::setVisible(false); });
}

QLabel* TFormInfo4Z::Panel(int column, int line) const
{
    if (column < 1 || column > 3 || line < 1 || line > 4)
        return nullptr;
    return panels_[column - 1][line - 1];
}

void TFormInfo4Z::SetInfoLine(int line, const QString& text)
{
    QLabel* value = Panel(3, line);
    if (!value || values_[static_cast<size_t>(line - 1)] == text)
        return;
    values_[static_cast<size_t>(line - 1)] = text;
    pending_[static_cast<size_t>(line - 1)] = true;
    // A message set the box aside; the job goes on, so does its box.
    if (ProgressBoxes::IsSetAside(this)) {
        resuming_ = true;
        show();
        resuming_ = false;
    }
    // A job sets its row line for every row: a repaint each time would run
    // the job at the pace of the display server, so the box shows what is
    // new once a frame, and then looks at the keys.
    if (pace_.Due()) {
        late_->stop();
        ShowValues();
        QCoreApplication::processEvents();
    } else if (!late_->isActive()) {
        late_->start();
    }
}

void TFormInfo4Z::ShowValues()
{
    for (size_t i = 0; i < values_.size(); ++i) {
        if (!pending_[i])
            continue;
        pending_[i] = false;
        QLabel* value = panels_[2][i];
        // A long path keeps its file name in view: it is shortened in the middle.
        const int room = value->contentsRect().width() - 2 * value->indent();
        value->setText(ElidedPath(values_[i], value->fontMetrics(), room));
    }
}

void TFormInfo4Z::SetFrameClock(FramePace::Clock clock)
{
    pace_ = FramePace(std::move(clock));
}

QString TFormInfo4Z::InfoLine(int line) const
{
    return line >= 1 && line <= 4 ? values_[static_cast<size_t>(line - 1)] : QString();
}

void TFormInfo4Z::SetCaption(const QString& caption)
{
    setWindowTitle(caption);
}

void TFormInfo4Z::SetLabel(int line, const QString& text)
{
    if (QLabel* caption = Panel(1, line))
        caption->setText(text);
}

void TFormInfo4Z::ClearValues()
{
    for (QLabel* value : panels_[2])
        value->clear();
    values_ = {};
    pending_ = {};
}

void TFormInfo4Z::setVisible(bool visible)
{
    ProgressBoxes::Forget(this);
    if (visible)
        hideWhenShown_->Cancel();
    else if (hideWhenShown_->Defer())
        return;
    QDialog::setVisible(visible);
}

void TFormInfo4Z::reject() {}

void TFormInfo4Z::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        abortRequested_ = true;
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormInfo4Z::showEvent(QShowEvent* event)
{
    if (!event->spontaneous() && !resuming_) {
        abortRequested_ = false;
        // A new job's first lines show at once.
        pace_.Reset();
    }
    QDialog::showEvent(event);
    // Esc must reach the box, not the window the job was started from.
    activateWindow();
    raise();
}

void TFormInfo4Z::hideEvent(QHideEvent* event)
{
    // A job may have hidden lines it did not need; the next one sees all.
    if (!event->spontaneous()) {
        ShowValues();
        back_->setVisible(true);
        for (const auto& column : panels_)
            for (QLabel* panel : column)
                panel->setVisible(true);
    }
    QDialog::hideEvent(event);
}
