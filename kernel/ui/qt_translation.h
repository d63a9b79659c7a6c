#pragma once
// Qt's own translation (qtbase_<lang>) for the program's language, so that
// the file, colour and font dialogs and the standard buttons Qt builds
// speak the same language as the program's windows.
#include <QString>
#include <cstdint>

// The Qt locale name of a language index ("de" for German); empty for
// English, which is the language Qt's texts are written in, and for a
// language Qt ships no translation of.
QString QtLocaleOfLanguage(std::uint16_t language);

// Replaces the installed Qt translation by the one for the language, looked
// up in Qt's translations folder. English, or a language without a
// translation there, leaves Qt's own English texts. The key names of menu
// short-cuts stay the phrase database's. Returns whether a translation is
// installed now. Needs a QCoreApplication.
bool InstallQtTranslation(std::uint16_t language);
