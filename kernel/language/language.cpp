#include "kernel/language/language.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "kernel/dispatch/kernel_host.h"
#include "kernel/model/globals.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/stored_file.h"

namespace fs = std::filesystem;

std::uint16_t CurrentLanguage = kEnglish;

namespace {

// Marks the start of an entry and the letters of the new entries, in the
// order a new block lists them.
constexpr char kEntryMarker = '$';
constexpr const char* kNewEntryLetters = "EISPFHJ";
constexpr std::size_t kSeparatorLength = 78;
// '¿' splits the parts of a hint.
constexpr std::string_view kHintSplit = "\xC2\xBF";

struct Engine {
    std::unique_ptr<PhraseList> list;
    std::FILE* file = nullptr;
    std::string path;
    // The file did not end in a line end when it was opened: the first
    // block must not be glued onto its last line.
    bool needsLineEnd = false;
    LanguageSettings* settings = nullptr;
    RestartCallback restart;
    std::uint32_t generation = 0;

    ~Engine()
    {
        if (file)
            std::fclose(file);
    }
};

Engine engine;

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

// Lines end in CR LF or a bare LF; the trailing blanks and controls go.
std::vector<std::string_view> SplitLines(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        while (!line.empty() && IsBlank(line.back()))
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// A line that is well-formed UTF-8 with non-ASCII characters was saved by a
// UTF-8 editor; anything else is in its language's Windows code page.
std::string DecodeLine(std::string_view line, char letter)
{
    if (HasHighBytes(line) && IsValidUtf8(line))
        return std::string(line);
    switch (letter) {
    case 'H': return Cp1253ToUtf8(line);
    case 'J': return Cp932ToUtf8(line);
    default: return Cp1252ToUtf8(line);
    }
}

// The decoded line from its third character on: the letter is ASCII, the
// second character (normally ':') may be any one character.
std::string AfterSecondCharacter(const std::string& text)
{
    std::size_t pos = 1;
    if (pos < text.size()) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        pos += lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    }
    return pos < text.size() ? text.substr(pos) : std::string();
}

std::string ReadWholeFile(const std::string& path)
{
    // A database of every phrase in nine languages stays far below this.
    constexpr uint64_t kMaxPhraseFileBytes = uint64_t{256} << 20;
    std::string bytes;
    if (!ReadStoredFile(path, kMaxPhraseFileBytes, bytes))
        throw std::runtime_error("cannot read the phrase database " + path);
    return bytes;
}

// Optional sign and decimal digits, or "$", "0x", "0X" and hex digits; the
// value fits 32 signed bits.
bool IsIntegerText(std::string_view s)
{
    constexpr std::int64_t kMax = 2147483647;
    int base = 10;
    bool negative = false;
    if (!s.empty() && s[0] == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    } else if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty())
        return false;
    std::int64_t value = 0;
    for (char c : s) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * base + digit;
        if (value > kMax + 1)
            return false;
    }
    return value <= (negative ? kMax + 1 : kMax);
}

// A phrase goes into the file only when the next start reads it back as the
// same phrase: a line break, tab or other control would split or change the
// entry, a blank at the end (left over when a colon was taken off, as in
// "Datei :") would be cut from the line, a character outside Windows-1252
// would come back as "?", and bytes that happen to form UTF-8 would be read
// as UTF-8. Otherwise it would be appended again at every start.
bool StoresFaithfully(const std::string& text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) < 32)
            return false;
    if (!text.empty() && IsBlank(text.back()))
        return false;
    if (!FitsCp1252(text))
        return false;
    const std::string bytes = Utf8ToCp1252(text);
    return !(HasHighBytes(bytes) && IsValidUtf8(bytes));
}

void AppendEntry(const std::string& text)
{
    if (!engine.file || !StoresFaithfully(text))
        return;
    const std::string bytes = Utf8ToCp1252(text);
    std::string block;
    if (engine.needsLineEnd)
        block += "\r\n";
    block.append(kSeparatorLength, '-');
    block += "\r\n$:" + bytes + "\r\nG:" + bytes + "\r\n";
    for (const char* l = kNewEntryLetters; *l; ++l) {
        block += *l;
        block += ":\r\n";
    }
    // Flushed at once: a crash later in the run must not lose the phrases
    // seen so far. A failed write only costs the learning.
    if (std::fwrite(block.data(), 1, block.size(), engine.file) == block.size() &&
        std::fflush(engine.file) == 0)
        engine.needsLineEnd = false;
}

void OpenPhraseFile(const std::string& path)
{
    bool lastIsLineEnd = true;
    {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        if (in && in.tellg() > 0) {
            in.seekg(-1, std::ios::end);
            char last = 0;
            lastIsLineEnd = in.get(last) && last == '\n';
        }
    }
    std::FILE* f = std::fopen(path.c_str(), "ab");
    if (!f)
        throw std::runtime_error("cannot open the phrase database " + path);
    engine.file = f;
    engine.needsLineEnd = !lastIsLineEnd;
}

// A name without a folder lives in the program folder, found there in any
// letter case; a new file gets the name as given.
std::string PhraseFileLocation(const std::string& fileName)
{
    if (fileName.find_first_of("\\/") == std::string::npos)
        return ResolveForWrite(ProgrammPfad + fileName);
    return ResolveForWrite(fileName);
}

void CloseEngine()
{
    ++engine.generation;
    engine.list.reset();
    if (engine.file)
        std::fclose(engine.file);
    engine.file = nullptr;
    engine.needsLineEnd = false;
    engine.path.clear();
}

std::string TrimLeadingBlanks(std::string s)
{
    std::size_t n = 0;
    while (n < s.size() && IsBlank(s[n]))
        ++n;
    return s.substr(n);
}

}  // namespace

const LanguageInfo& LanguageByIndex(std::uint16_t index)
{
    if (index < kFirstLanguage || index > kLastLanguage)
        index = kEnglish;
    return LanguageTable[index - kFirstLanguage];
}

std::uint16_t LanguageIndexOfLetter(char letter)
{
    for (const LanguageInfo& l : LanguageTable)
        if (l.letter == letter)
            return l.index;
    return kFirstLanguage;
}

void InitLanguage(LanguageSettings* settings, RestartCallback restart, const std::string& fileName,
                  char letter)
{
    CloseEngine();
    try {
        engine.settings = settings;
        engine.restart = std::move(restart);
        CurrentLanguage = kEnglish;
        engine.path = PhraseFileLocation(fileName);
        if (letter != 0 && letter != ' ')
            CurrentLanguage = LanguageIndexOfLetter(letter);
        if (settings) {
            const std::string stored = AsciiUpper(settings->ReadLanguageSetting());
            for (const LanguageInfo& l : LanguageTable) {
                if (AsciiUpper(l.name) == stored) {
                    CurrentLanguage = l.index;
                    break;
                }
            }
        }
        LoadPhraseDatabase(engine.path, LanguageByIndex(CurrentLanguage).letter);
        OpenPhraseFile(engine.path);
    } catch (...) {
        kernelHost().messageDlg("Error during language initialization", MsgKind::Error,
                                MsgButtons{MsgButton::OK});
    }
}

void LoadPhraseDatabase(const std::string& fileName, char letter)
{
    ++engine.generation;
    engine.list = std::make_unique<PhraseList>();
    const std::string path = FindExisting(fileName);
    if (path.empty())
        return;
    const std::string file = ReadWholeFile(path);
    std::string_view bytes = file;
    // An editor that saved the file as UTF-8 may have put a byte-order mark
    // in front of the first line, which would hide that line's entry.
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    PhraseList& list = *engine.list;
    std::string source;
    bool inEntry = false;
    bool entryTranslated = false;
    for (std::string_view line : SplitLines(bytes)) {
        if (line.size() < 2)
            continue;
        if (line[0] == kEntryMarker) {
            source = AfterSecondCharacter(DecodeLine(line, kEntryMarker));
            inEntry = true;
            entryTranslated = false;
        } else if (line[0] == letter && inEntry && !entryTranslated) {
            // Only the entry's first line of the letter counts; a second
            // one would otherwise compete with it in the sorted list.
            list.Add(source, AfterSecondCharacter(DecodeLine(line, letter)));
            entryTranslated = true;
        }
    }
}

std::string TranslatePhrase(const std::string& phrase)
{
    std::size_t lead = 0;
    while (lead < phrase.size() && IsBlank(phrase[lead]))
        ++lead;
    if (lead == phrase.size())
        return phrase;
    std::size_t trail = 0;
    while (IsBlank(phrase[phrase.size() - 1 - trail]))
        ++trail;
    std::string text = phrase.substr(lead, phrase.size() - lead - trail);
    const bool colon = text.back() == ':';
    if (colon)
        text.pop_back();
    const bool hasAmp = text.find('&') != std::string::npos;
    if (!engine.list)
        return phrase;

    std::string translation;
    if (text.empty() || IsIntegerText(text)) {
        translation = text;
    } else if (const PhraseItem* item = engine.list->Find(text, hasAmp)) {
        translation = hasAmp ? item->translation : PhraseList::WithoutFirstAmp(item->translation);
        if (translation.empty())
            translation = text;
    } else {
        // Learnt for the rest of the run even when the file cannot take it.
        engine.list->Add(text, std::string());
        AppendEntry(text);
        translation = text;
    }
    std::string out(lead, ' ');
    out += translation;
    if (colon)
        out += ':';
    out.append(trail, ' ');
    return out;
}

namespace {
std::function<void()> doneHook;
}  // namespace

void SetDoneLanguageHook(std::function<void()> hook)
{
    doneHook = std::move(hook);
}

void DoneLanguage()
{
    if (doneHook) {
        const std::function<void()> hook = std::move(doneHook);
        doneHook = nullptr;
        hook();
    }
    CloseEngine();
    engine.settings = nullptr;
    engine.restart = nullptr;
}

std::string F_TRANS(const std::string& text)
{
    return TranslatePhrase(text);
}

std::string F_TRANSKEY(const std::string& key, const std::string& german)
{
    std::string translated = TranslatePhrase(key);
    return translated == key ? german : translated;
}

std::string F_TRANSHINT(const std::string& text)
{
    if (text.empty())
        return {};
    std::string shortText;
    std::string longText;
    std::size_t start = 0;
    for (bool first = true;; first = false) {
        const std::size_t split = text.find(kHintSplit, start);
        const std::string part =
            text.substr(start, split == std::string::npos ? std::string::npos : split - start);
        std::string translated;
        // A mouse-button part keeps its marker in front of the translation.
        if (part.size() >= 4 && (part.compare(0, 4, "\"LT\"") == 0 || part.compare(0, 4, "\"RT\"") == 0))
            translated = part.substr(0, 4) + ": " + TrimLeadingBlanks(F_TRANS(part.substr(4)));
        else
            translated = F_TRANS(part);
        if (!first)
            shortText += "\r\n";
        shortText += translated;
        longText += translated + "  ";
        if (split == std::string::npos)
            break;
        start = split + kHintSplit.size();
    }
    return shortText + "|" + longText;
}

LanguageSettings* LanguageSettingsModule()
{
    return engine.settings;
}

const RestartCallback& LanguageRestartCallback()
{
    return engine.restart;
}

PhraseList* CurrentPhraseList()
{
    return engine.list.get();
}

std::uint32_t PhraseListGeneration()
{
    return engine.generation;
}

const std::string& PhraseFilePath()
{
    return engine.path;
}

bool PhraseFileOpen()
{
    return engine.file != nullptr;
}
