#pragma once
// Starting the translation engine together with its language menu.
#include <string>

#include "kernel/language/language.h"

class QMenu;
class QWidget;
class T_SprachMenu;

// The kernel's InitLanguage, then (with a form and a parent menu) the
// language menu "Sprache" built into the parent before its entry at
// insertIndex. A failure while building shows "Error during language
// initialization"; the program goes on with what was set up. DoneLanguage
// frees the menu.
void InitLanguage(QWidget* form, QMenu* parentMenu, int insertIndex, LanguageSettings* settings,
                  RestartCallback restart, const std::string& fileName, char letter);

// The language menu of this run (nullptr while none is built).
T_SprachMenu* SprachMenu();
