#include "shell/dde_zorit.h"

#include <array>

#include "platform/codepage.h"
#include "platform/paths.h"

namespace {
struct Entry {
    const char* word;
    DdeCommand command;
    bool prefix;
};

// The order in which the strings are tried; the first match wins.
constexpr std::array<Entry, 11> kCommands = {{
    {"SIZEMAX", DdeCommand::SizeMax, false},
    {"RAMDELETE", DdeCommand::RamDelete, false},
    {"FERNSTEUERUNG", DdeCommand::Fernsteuerung, false},
    {"LOADPATTERN", DdeCommand::LoadPattern, true},
    {"SIMULATION", DdeCommand::Simulation, false},
    {"EXPORT MA-FILE", DdeCommand::ExportMaFile, true},
    {"EXPORT EXTENTED", DdeCommand::ExportExtented, true},
    {"EXPORT DO", DdeCommand::ExportDo, false},
    {"LOADORDALINFILES", DdeCommand::LoadOrdalinFiles, true},
    {"NAME", DdeCommand::Name, true},
    {"CLOSE", DdeCommand::Close, false},
}};

std::string Trimmed(const std::string& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32)
        --end;
    return text.substr(begin, end - begin);
}
}  // namespace

ParsedDdeCommand ParseDdeCommand(const std::string& text)
{
    for (const Entry& e : kCommands) {
        const std::string word = e.word;
        if (!e.prefix) {
            if (text == word)
                return {e.command, {}};
            continue;
        }
        if (text.compare(0, word.size(), word) != 0)
            continue;
        if (e.command == DdeCommand::Name)
            // The word and one separator.
            return {e.command, text.size() > 5 ? text.substr(5) : std::string()};
        return {e.command, Trimmed(text.substr(word.size()))};
    }
    return {};
}

std::string DdeProgramName(const std::string& argument)
{
    std::string name = FileNamePart(argument);
    if (const size_t dot = name.rfind('.'); dot != std::string::npos)
        name.resize(dot);
    name = Utf8ToCp1252(name);
    return name.substr(0, 8);
}
