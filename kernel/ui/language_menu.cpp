#include "kernel/ui/language_menu.h"

#include <exception>
#include <memory>
#include <utility>

#include "kernel/dispatch/kernel_host.h"
#include "kernel/ui/qt_translation.h"
#include "kernel/ui/sprach_menu.h"

namespace {

std::unique_ptr<T_SprachMenu> languageMenu;

void FreeLanguageMenu()
{
    languageMenu.reset();
}

}  // namespace

void InitLanguage(QWidget* form, QMenu* parentMenu, int insertIndex, LanguageSettings* settings,
                  RestartCallback restart, const std::string& fileName, char letter)
{
    // One language menu at a time: a new start replaces the old one.
    FreeLanguageMenu();
    InitLanguage(settings, std::move(restart), fileName, letter);
    InstallQtTranslation(CurrentLanguage);
    if (!form || !parentMenu)
        return;
    try {
        languageMenu = std::make_unique<T_SprachMenu>(form, parentMenu, insertIndex);
        SetDoneLanguageHook(FreeLanguageMenu);
    } catch (...) {
        kernelHost().messageDlg("Error during language initialization", MsgKind::Error, {MsgButton::OK});
    }
}

T_SprachMenu* SprachMenu()
{
    return languageMenu.get();
}
