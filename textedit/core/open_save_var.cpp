#include "textedit/core/open_save_var.h"

#include <filesystem>
#include <system_error>

#include "kernel/language/language.h"

namespace {
// Overwrite prompt, hide read-only, extension different, no read-only return.
constexpr uint32_t kSaveOptions = 4230;
// Hide read-only, extension different, path must exist, file must exist.
constexpr uint32_t kOpenOptions = 900;

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}
} // namespace

void FillTextOpenSaveVar(T_OpenSaveVar& var)
{
    var.InitialDir = "A:\\";
    var.DefaultExt = ".TXT";
    var.FilterIndex = 1;
    var.Filter = F_TRANS("Textdateien") + " (*.Txt)|*.Txt|" + F_TRANS("Alle Dateien") + " (*.*)|*.*|";
    var.OpenTitle = F_TRANS("Öffnen");
    var.SaveTitle = F_TRANS("Speichern unter");
    var.SaveOptions = kSaveOptions;
    var.OpenOptions = kOpenOptions;
    var.Filled = 1;
}

std::vector<std::string> DialogFilters(const std::string& filter)
{
    const std::vector<std::string> parts = Split(filter, '|');
    std::vector<std::string> out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string description = parts[i];
        if (const size_t open = description.rfind(" ("); open != std::string::npos && description.back() == ')')
            description.erase(open);
        std::string patterns;
        for (const std::string& p : Split(parts[i + 1], ';')) {
            const std::string pattern = Trimmed(p) == "*.*" ? "*" : Trimmed(p);
            if (!pattern.empty())
                patterns += (patterns.empty() ? "" : " ") + pattern;
        }
        if (!description.empty() || !patterns.empty())
            out.push_back(description + " (" + patterns + ")");
    }
    return out;
}

std::string DialogSuffix(const std::string& defaultExt)
{
    return !defaultExt.empty() && defaultExt.front() == '.' ? defaultExt.substr(1) : defaultExt;
}

std::string DialogFolder(const std::string& initialDir, const std::string& home)
{
    std::error_code ec;
    if (initialDir.empty() || initialDir.find('\\') != std::string::npos ||
        !std::filesystem::is_directory(initialDir, ec))
        return home;
    return initialDir;
}
