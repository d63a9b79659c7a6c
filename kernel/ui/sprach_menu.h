#pragma once
// The language menu: "Sprache" in the main window's settings menu, with one
// entry per language that shows its national flag. Choosing one stores the
// language and restarts the program, which then comes up in it.
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <array>

class QAction;
class QMenu;
class QWidget;
class QWidgetAction;

class T_SprachMenu : public QObject {
    Q_OBJECT
public:
    // Builds "Sprache" into the parent menu before its entry at insertIndex
    // (appended when the parent has fewer entries). The entries belong to
    // the form.
    T_SprachMenu(QWidget* form, QMenu* parentMenu, int insertIndex);
    // Takes the menu out again (when its form has not already freed it).
    ~T_SprachMenu() override;

    // The menu "Sprache"; its menuAction() is "MnuSpracheB".
    QMenu* menu() const;
    // The entry of a language index 2..9 (nullptr otherwise).
    QWidgetAction* item(int index) const;
    const QPixmap& flag(int index) const;
    const QPixmap& symbol() const { return symbol_; }

    // Opening "Sprache": the entry of the current language is checked.
    void OpenHandler();
    // Choosing an entry: message, language, setting, restart.
    void LanguageClick(QAction* item);

    // The language a click on an entry of this Tag chooses: Tag mod 10000,
    // English (3) when that is no language index.
    static int LanguageIndexOfTag(int tag);
    // The flag an entry of this Tag draws: Tag mod 10000, at most 9.
    static int FlagIndexOfTag(int tag);

private:
    QPointer<QMenu> menu_;
    std::array<QPointer<QWidgetAction>, 8> items_;
    std::array<QPixmap, 8> flags_;
    QPixmap symbol_;
};
