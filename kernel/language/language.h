#pragma once
// Run-time translation of the program's German texts through the phrase
// database "DbLang.Txt", which learns every phrase the program shows.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "kernel/language/phrase_list.h"

// One language of the phrase database: its index, the letter of its lines
// and its German name (UTF-8).
struct LanguageInfo {
    std::uint16_t index;
    char letter;
    const char* name;
};

inline constexpr std::uint16_t kFirstLanguage = 2;
inline constexpr std::uint16_t kLastLanguage = 9;
inline constexpr std::uint16_t kEnglish = 3;
// Indices 2..9 in this order; German is the source language.
inline constexpr std::array<LanguageInfo, 8> LanguageTable = {{
    {2, 'G', "Deutsch"},
    {3, 'E', "Englisch"},
    {4, 'I', "Italienisch"},
    {5, 'S', "Spanisch"},
    {6, 'P', "Portugiesisch"},
    {7, 'F', "Franz\xC3\xB6sisch"},
    {8, 'H', "Griechisch"},
    {9, 'J', "Japanisch"},
}};

// The entry of an index; English for an index outside 2..9.
const LanguageInfo& LanguageByIndex(std::uint16_t index);
// The index of a language letter; German (2) when the letter is no language's.
std::uint16_t LanguageIndexOfLetter(char letter);

// The language of this run (initially English).
extern std::uint16_t CurrentLanguage;

// Where the chosen language is stored between runs.
class LanguageSettings {
public:
    virtual ~LanguageSettings() = default;
    // The stored German name of the language ("Englisch"); empty when none.
    virtual std::string ReadLanguageSetting() = 0;
    // Stores the name: 0 when stored, else the disk error code of the
    // failure (as F_DiskErrorText takes it; never 0).
    virtual int WriteLanguageSetting(const std::string& name) = 0;
};

// Closes and restarts the program; given the letter of the new language.
using RestartCallback = std::function<void(const std::string& letter)>;

// Starts the engine: the language from the letter (when neither 0 nor a
// blank) and then from the settings, the phrase list of that language, the
// file opened for appending. A file name without a folder is looked up in
// ProgrammPfad. Failures are reported as "Error during language
// initialization"; what was set up until then stays in use.
void InitLanguage(LanguageSettings* settings, RestartCallback restart, const std::string& fileName,
                  char letter);
// Loads the phrase list of the language letter from the file (an empty list
// when the file does not exist). Throws when the file exists but cannot be read.
void LoadPhraseDatabase(const std::string& fileName, char letter);
// The translation of one phrase; a miss is learnt (listed and appended).
std::string TranslatePhrase(const std::string& phrase);
// Ends the engine: the list freed, the file closed. Texts then stand as they are.
void DoneLanguage();
// Run once by the next DoneLanguage, before the engine ends: the windows
// free what they built on it (the language menu).
void SetDoneLanguageHook(std::function<void()> hook);

// The translation of a German text (the text itself while the engine is not started).
std::string F_TRANS(const std::string& text);
// The translation of a second meaning of a German word, looked up under a key
// of its own whose entry shows the German word: the German text itself where
// the lookup only gives the key back (engine not started, no entry yet).
std::string F_TRANSKEY(const std::string& key, const std::string& german);
// The translation of a hint: "short|long", the parts split at '¿'.
std::string F_TRANSHINT(const std::string& text);

// What InitLanguage was given, for the language menu.
LanguageSettings* LanguageSettingsModule();
const RestartCallback& LanguageRestartCallback();

// The phrase list in use (nullptr while the engine is not started).
PhraseList* CurrentPhraseList();
// Changes whenever the list is loaded or freed: caches of translations
// compare it to know they are stale.
std::uint32_t PhraseListGeneration();
// The path of the phrase file, and whether it is open for appending.
const std::string& PhraseFilePath();
bool PhraseFileOpen();
