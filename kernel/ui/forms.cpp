#include "kernel/ui/forms.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include "kernel/ui/form_hold.h"

namespace {
struct Registered {
    QPointer<QWidget> form;
    FormRole role;
};

QVector<Registered>& Register()
{
    static QVector<Registered> forms;
    return forms;
}
}  // namespace

QWidget* FindForm(const QString& name)
{
    if (name.isEmpty())
        return nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return w;
    return nullptr;
}

bool FormExists(const QString& name)
{
    return FindForm(name) != nullptr;
}

void RegisterForm(QWidget* form, FormRole role)
{
    auto& forms = Register();
    forms.erase(std::remove_if(forms.begin(), forms.end(),
                               [form](const Registered& r) { return r.form.isNull() || r.form == form; }),
                forms.end());
    forms.push_back({form, role});
}

QVector<FormEntry> Forms()
{
    QVector<FormEntry> out;
    for (const Registered& r : Register())
        if (!r.form.isNull() && !r.form->objectName().isEmpty())
            out.push_back({r.form.data(), r.role});
    return out;
}

void DestroyForm(QWidget* form)
{
    if (!form)
        return;
    RejectDialogsOf(form);
    form->hide();
    form->setObjectName(QString());
    // A window whose code waits on a dialog goes when that code has returned.
    if (!FormHold::DeferDestruction(form))
        form->deleteLater();
}

void BringNextToFront()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (int i = 1; i < windows.size(); ++i) {
        QWidget* w = windows[i];
        if (w->isVisible() && w->objectName() != "FormMain") {
            w->activateWindow();
            w->setFocus();
            return;
        }
    }
}
