#include "kernel/ui/sprach_menu.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QWidget>
#include <QWidgetAction>
#include <algorithm>
#include <string>

#include "kernel/dispatch/kernel_host.h"
#include "kernel/language/language.h"
#include "kernel/services/services.h"
#include "kernel/ui/flag_pictures.h"
#include "kernel/ui/language_flag_item.h"
#include "kernel/ui/qt_translation.h"

namespace {

constexpr int TagBase = 10000;
constexpr int PortugueseIndex = 6;
// The menu measures every entry by the German flag.
constexpr int GermanIndex = 2;

int TagOf(const QObject* object)
{
    return object ? object->property("Tag").toInt() : 0;
}

QString Qs(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

}  // namespace

T_SprachMenu::T_SprachMenu(QWidget* form, QMenu* parentMenu, int insertIndex)
{
    menu_ = new QMenu(Qs("Sprache"), form);
    QAction* head = menu_->menuAction();
    head->setObjectName(QStringLiteral("MnuSpracheB"));
    head->setToolTip(Qs("Sprache"));
    head->setStatusTip(Qs("Sprache"));
    head->setProperty("Tag", 0);
    const QList<QAction*> siblings = parentMenu->actions();
    if (insertIndex >= 0 && insertIndex < siblings.size())
        parentMenu->insertMenu(siblings[insertIndex], menu_);
    else
        parentMenu->addMenu(menu_);
    connect(menu_, &QMenu::aboutToShow, this, &T_SprachMenu::OpenHandler);

    symbol_ = ResourcePicture("SPRACHE");
    head->setIcon(QIcon(symbol_));

    for (const LanguageInfo& language : LanguageTable)
        flags_[language.index - kFirstLanguage] = ResourcePicture(std::string("FLAGGE_") + language.letter);
    const int flagHeight = flags_[GermanIndex - kFirstLanguage].height();

    // The entries go below the item the form knows as "MnuSpracheB".
    auto* below = form->findChild<QAction*>(QStringLiteral("MnuSpracheB"));
    QMenu* target = below && below->menu() ? below->menu() : menu_.data();
    for (const LanguageInfo& language : LanguageTable) {
        const int i = language.index;
        auto* item = new QWidgetAction(form);
        item->setObjectName(QStringLiteral("MnuSprache%1").arg(i));
        item->setText(Qs(language.name));
        item->setToolTip(Qs(language.name));
        item->setStatusTip(Qs(language.name));
        item->setProperty("Tag", TagBase + i);
        item->setCheckable(true);
        item->setDefaultWidget(new LanguageFlagItem(item, flags_[FlagIndexOfTag(TagBase + i) - kFirstLanguage],
                                                    flagHeight));
        // Portuguese has its entry, but it is never offered.
        item->setVisible(i != PortugueseIndex);
        connect(item, &QAction::triggered, this, [this, item] { LanguageClick(item); });
        target->addAction(item);
        items_[i - kFirstLanguage] = item;
    }
}

T_SprachMenu::~T_SprachMenu()
{
    for (const QPointer<QWidgetAction>& item : items_)
        delete item.data();
    delete menu_.data();
}

QMenu* T_SprachMenu::menu() const
{
    return menu_.data();
}

QWidgetAction* T_SprachMenu::item(int index) const
{
    if (index < kFirstLanguage || index > kLastLanguage)
        return nullptr;
    return items_[index - kFirstLanguage];
}

const QPixmap& T_SprachMenu::flag(int index) const
{
    return flags_[std::clamp(index, int(kFirstLanguage), int(kLastLanguage)) - kFirstLanguage];
}

void T_SprachMenu::OpenHandler()
{
    for (const QPointer<QWidgetAction>& item : items_)
        if (item)
            item->setChecked(LanguageIndexOfTag(TagOf(item)) == CurrentLanguage);
}

void T_SprachMenu::LanguageClick(QAction* item)
{
    const int index = LanguageIndexOfTag(TagOf(item));
    // The message still speaks the old language.
    kernelHost().messageDlg(F_TRANS("Zur Sprachänderung wird das Programm neu gestartet!"), MsgKind::Custom,
                            {MsgButton::OK});
    const std::uint16_t before = CurrentLanguage;
    CurrentLanguage = static_cast<std::uint16_t>(index);
    const LanguageInfo& language = LanguageByIndex(static_cast<std::uint16_t>(index));
    if (LanguageSettings* settings = LanguageSettingsModule()) {
        // A restart would come back in the old language: the user is told
        // instead, and the program goes on in the language it shows.
        if (const int error = settings->WriteLanguageSetting(language.name)) {
            CurrentLanguage = before;
            P_WarningBox(F_DiskErrorText(error));
            return;
        }
    }
    // Whatever Qt shows until the restart already speaks the new language.
    InstallQtTranslation(CurrentLanguage);
    // A copy: the callback may well end the engine on its way out.
    const RestartCallback restart = LanguageRestartCallback();
    if (restart)
        restart(std::string(1, language.letter));
}

int T_SprachMenu::LanguageIndexOfTag(int tag)
{
    const int index = tag % TagBase;
    return index >= kFirstLanguage && index <= kLastLanguage ? index : kEnglish;
}

int T_SprachMenu::FlagIndexOfTag(int tag)
{
    return std::clamp(tag % TagBase, int(kFirstLanguage), int(kLastLanguage));
}
