#include "picture/activate_main_form.h"

#include <QWidget>

#include "kernel/ui/forms.h"

void ActivateMainForm()
{
    if (!FormExists("FormMain"))
        return;
    QWidget* main = FindForm("FormMain");
    if (!main->isVisible())
        return;
    main->raise();
    main->activateWindow();
}
