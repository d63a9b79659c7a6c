#pragma once
// Opening list windows and measuring their texts.
#include <QIcon>
#include <QString>
#include <string>

#include "kernel/ui/forms.h"
#include "kernel/ui/shell_values.h"

// Creates the window into form when none of that name exists (it then gets
// the icon), shows it and brings it to the front.
template <class Form>
void P_Sichtbar(const QString& name, const QIcon& icon, Form*& form)
{
    if (!FormExists(name) || !form) {
        form = new Form(MainForm);
        form->setWindowIcon(icon);
    }
    form->show();
    form->raise();
    form->activateWindow();
}

// The icon at index of the main window's image list; none when unset.
QIcon ListIcon(int index);

// The widest "|"-separated part of the text in font table entry fontIndex.
int MaxPartWidth(const std::string& text, int fontIndex);
