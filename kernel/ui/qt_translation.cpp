#include "kernel/ui/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

#include "kernel/language/language.h"
#include "kernel/ui/translate_form.h"

namespace {

std::unique_ptr<QTranslator>& Installed()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

}  // namespace

QString QtLocaleOfLanguage(std::uint16_t language)
{
    switch (LanguageByIndex(language).letter) {
    case 'G': return QStringLiteral("de");
    case 'I': return QStringLiteral("it");
    case 'S': return QStringLiteral("es");
    // Qt translates Portuguese only in its Brazilian form.
    case 'P': return QStringLiteral("pt_BR");
    case 'F': return QStringLiteral("fr");
    case 'H': return QStringLiteral("el");
    case 'J': return QStringLiteral("ja");
    default: return {};
    }
}

bool InstallQtTranslation(std::uint16_t language)
{
    std::unique_ptr<QTranslator>& installed = Installed();
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    const QString locale = QtLocaleOfLanguage(language);
    if (locale.isEmpty())
        return false;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_") + locale,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    PutKeyNameTranslatorFirst();
    return true;
}
