#include "kernel/ui/qt_kernel_host.h"

#include <QCoreApplication>
#include <QString>

#include "kernel/ui/form_info4z.h"
#include "kernel/ui/lan_dialogs.h"

int QtKernelHost::messageDlg(const std::string& text, MsgKind kind, MsgButtons buttons)
{
    return LanDialogs::MessageDlg(QString::fromStdString(text), kind, buttons);
}

void QtKernelHost::infoShow(const std::string& caption, const std::vector<std::string>& labels)
{
    if (!FormInfo4Z)
        return;
    FormInfo4Z->SetCaption(QString::fromStdString(caption));
    for (int line = 1; line <= 4; ++line) {
        const auto i = static_cast<std::size_t>(line - 1);
        FormInfo4Z->SetLabel(line, i < labels.size() ? QString::fromStdString(labels[i]) : QString());
    }
    FormInfo4Z->ClearValues();
    FormInfo4Z->show();
}

void QtKernelHost::infoLine(int line, const std::string& text)
{
    if (FormInfo4Z)
        FormInfo4Z->SetInfoLine(line, QString::fromStdString(text));
}

bool QtKernelHost::infoAbortRequested()
{
    return FormInfo4Z && FormInfo4Z->AbortRequested();
}

void QtKernelHost::infoHide()
{
    if (FormInfo4Z)
        FormInfo4Z->hide();
}

void QtKernelHost::processEvents()
{
    QCoreApplication::processEvents();
}

void QtKernelHost::statusText(const std::string& text)
{
    if (onStatusText)
        onStatusText(text);
}

void QtKernelHost::progressStatus(const std::string& text)
{
    if (onProgressStatus)
        onProgressStatus(text);
}

void QtKernelHost::closeProgramWindows()
{
    if (onCloseProgramWindows)
        onCloseProgramWindows();
}

std::string QtKernelHost::scriptText()
{
    return onScriptText ? onScriptText() : KernelHost::scriptText();
}

void QtKernelHost::setScriptCursor(int line, int column)
{
    if (onSetScriptCursor)
        onSetScriptCursor(line, column);
}
