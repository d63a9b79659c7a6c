#pragma once
// The design program's commands: one per execute string, recognised in a
// fixed order, case-sensitive; exact commands match the whole string, the
// others their first characters and take the rest as argument.
#include <string>

enum class DdeCommand {
    None,
    SizeMax,
    RamDelete,
    Fernsteuerung,
    LoadPattern,
    Simulation,
    ExportMaFile,
    ExportExtented,
    ExportDo,
    LoadOrdalinFiles,
    Name,
    Close,
};

struct ParsedDdeCommand {
    DdeCommand command = DdeCommand::None;
    // Trimmed of characters up to code 32 at both ends; for NAME the text
    // from the sixth character on, untrimmed.
    std::string argument;
};

ParsedDdeCommand ParseDdeCommand(const std::string& text);

// The program name NAME gives: the file name part of the argument without
// its extension, in Windows-1252, cut to 8 characters.
std::string DdeProgramName(const std::string& argument);
