#pragma once
// The program's windows, found by their component name (the objectName of a
// top-level widget), and the roles the shell's window walks go by.
#include <QString>
#include <QVector>

class QWidget;

enum class FormRole { List, Picture, Simulation, Other };

struct FormEntry {
    QWidget* form;
    FormRole role;
};

// True when a top-level window of that name exists.
bool FormExists(const QString& name);
// The top-level window of that name; nullptr when none.
QWidget* FindForm(const QString& name);

// Notes a window's role; the walks visit registered windows in the order
// they were registered. A window leaves the register when it is destroyed.
void RegisterForm(QWidget* form, FormRole role);
// The registered windows that still exist, in creation order.
QVector<FormEntry> Forms();

// Destroys a window the way the program windows go: hidden, its name gone at
// once (FormExists is false from now on), freed when control returns to the
// event loop; a held window once its code is done with it (FormHold).
void DestroyForm(QWidget* form);

// Gives the focus to the first visible window, in the windows' order from
// the second on, that is not the main window.
void BringNextToFront();
