#include "kernel/services/services.h"

#include <exception>
#include <sstream>

#include "kernel/dispatch/kernel_host.h"
#include "kernel/language/language.h"
#include "kernel/model/globals.h"
#include "platform/codepage.h"
#include "platform/ini_profile.h"
#include "platform/paths.h"
#include "platform/stored_file.h"

namespace {

// Stands for "key missing": no real setting ever holds it.
const char* const kIniMissing = "#678";

std::string PadDigits(int64_t magnitude, int width)
{
    std::string digits = std::to_string(magnitude);
    if (width > 0 && digits.size() < static_cast<size_t>(width))
        digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
    return digits;
}

// An entry of a yarn-change list: digits only, at most 65535. Anything else
// counts as unset (65535) instead of stopping the load of the machine file.
uint16_t KulierEntry(const std::string& entry)
{
    const size_t first = entry.find_first_not_of(" \t");
    if (first == std::string::npos)
        return 0;
    const size_t last = entry.find_last_not_of(" \t");
    uint32_t value = 0;
    for (size_t i = first; i <= last; ++i) {
        const char c = entry[i];
        if (c < '0' || c > '9')
            return 65535;
        value = value * 10 + static_cast<uint32_t>(c - '0');
        if (value > 65535)
            return 65535;
    }
    return static_cast<uint16_t>(value);
}

}  // namespace

std::string IniFilePath()
{
    return ResolveForWrite(ProgrammPfad + "Zorit.INI");
}

std::string F_ReadIni(const std::string& section, const std::string& key, const std::string& def)
{
    // Settings are read at start-up and from window code: a broken INI file
    // must not take the program down, the default serves then.
    try {
        IniProfile ini(IniFilePath());
        const std::string value = ini.ReadString(section, key, kIniMissing);
        if (value != kIniMissing)
            return value;
        // Writing the default makes every setting visible in the file for
        // the user to edit.
        ini.WriteString(section, key, def);
    } catch (const std::exception&) {
    }
    return def;
}

bool P_WriteIni(const std::string& section, const std::string& key, const std::string& value)
{
    try {
        IniProfile ini(IniFilePath());
        return ini.WriteString(section, key, value);
    } catch (const std::exception&) {
        return false;
    }
}

int F_Sign(int16_t value)
{
    return value < 0 ? -1 : 1;
}

std::string F_ZeroPadNum(int32_t value, int width)
{
    // The sign goes in front of the zeros ("-005"), not among them.
    const int64_t v = value;
    if (v < 0)
        return "-" + PadDigits(-v, width - 1);
    return PadDigits(v, width);
}

std::string F_SignedZeroPadNum(int32_t value, int width)
{
    const int64_t v = value;
    return (v < 0 ? "-" : "+") + PadDigits(v < 0 ? -v : v, width - 1);
}

std::string F_NumOrEmpty(uint16_t value, int width)
{
    return value == 0 ? std::string() : F_ZeroPadNum(value, width);
}

void P_WarningBox(const std::string& text)
{
    // The box translates its caption and button; the text comes translated
    // from the caller, who often builds it from translated pieces and file
    // names that are no phrases to look up.
    kernelHost().messageDlg(text, MsgKind::Warning, {MsgButton::Cancel});
}

std::string F_DiskErrorText(int code)
{
    switch (code) {
    case 1:
        return F_TRANS("Fehlende File-Sharing Software!");
    case 2:
        return F_TRANS("Datei nicht gefunden!");
    case 3:
        return F_TRANS("Pfad nicht gefunden oder Datei existiert nicht!");
    case 4:
        return F_TRANS("Kein freies Handle mehr!");
    case 5:
        return F_TRANS("Zugriff verweigert!");
    case 6:
        return F_TRANS("Unerlaubtes Handle oder Datei nicht geöffnet!");
    case 12:
        return F_TRANS("nicht erlaubter Zugriffsmodus!");
    case 13:
        return F_TRANS("Diskette ist voll!");
    default:
        return F_TRANS("Unbekannter Fehler am Laufwerk!");
    }
}

std::string DiskErrorTextFor(const std::string& path, int code)
{
    constexpr int kAccessDenied = 5;
    if (code != kAccessDenied || path.empty())
        return F_DiskErrorText(code);
    return path + "\r\n" + F_DiskErrorText(code);
}

std::string F_ReadKeyValue(const std::string& fileName, const std::string& key, char separator)
{
    // Machine-type files are a few hundred lines of keys.
    constexpr uint64_t kMaxKeyFileBytes = 4u << 20;
    std::string bytes;
    if (!ReadStoredFile(FindExisting(fileName), kMaxKeyFileBytes, bytes))
        return {};
    std::istringstream in(bytes);
    // The files hold Windows-1252; compare and cut in their bytes.
    const std::string rawKey = Utf8ToCp1252(key);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // The machine-type files are edited by hand: accept any letter case.
        if (line.size() < rawKey.size() || !AsciiEqualNoCase(line.substr(0, rawKey.size()), rawKey))
            continue;
        const size_t sep = line.find(separator);
        if (sep == std::string::npos)
            return {};
        std::string value = line.substr(sep + 1, 256);
        if (!value.empty() && value.back() == ';')
            value.pop_back();
        return Cp1252ToUtf8(value);
    }
    return {};
}

std::string F_DeleteChar(char c, const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char t : text)
        if (t != c)
            out += t;
    return out;
}

void P_ReadKulierVar(const std::string& fileName, KulierVarTable& table)
{
    P_ParseKulierVar(F_ReadKeyValue(fileName, "!KULIERVARFRONT", ':'), 0, table);
    P_ParseKulierVar(F_ReadKeyValue(fileName, "!KULIERVARBACK", ':'), 1, table);
}

void P_ParseKulierVar(const std::string& value, int row, KulierVarTable& table)
{
    if (row < 0 || row >= static_cast<int>(table.size()))
        return;
    auto& vars = table[static_cast<size_t>(row)];
    vars.fill(65535);
    // "(1,5,9)": the brackets go. A missing key or an empty list "()" leaves
    // every variable unset, not one phantom 0.
    if (value.size() <= 2)
        return;
    const std::string list = value.substr(1, value.size() - 2) + ",";
    size_t start = 0;
    for (size_t i = 0; i < vars.size(); ++i) {
        const size_t comma = list.find(',', start);
        if (comma == std::string::npos)
            break;
        vars[i] = KulierEntry(list.substr(start, comma - start));
        start = comma + 1;
    }
}
