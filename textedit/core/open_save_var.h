#pragma once
// The settings of an editor's block save and file insert dialogs, and how
// the stored filter text becomes the dialog's filters.
#include <cstdint>
#include <string>
#include <vector>

struct T_OpenSaveVar {
    std::string InitialDir;
    std::string DefaultExt;
    int32_t FilterIndex = 0;
    // "description|pattern|description|pattern|..." (UTF-8)
    std::string Filter;
    std::string OpenTitle;
    std::string SaveTitle;
    uint32_t SaveOptions = 0;
    uint32_t OpenOptions = 0;
    uint32_t Filled = 0;
};

// The text editor's values: text files, then all files.
void FillTextOpenSaveVar(T_OpenSaveVar& var);

// The filters as a Qt file dialog takes them: "description (patterns)",
// the description without its own pattern list; "*.*" is every file ("*").
std::vector<std::string> DialogFilters(const std::string& filter);
// The default extension without its dot.
std::string DialogSuffix(const std::string& defaultExt);
// A folder that does not exist (the default "A:\") opens the home folder.
std::string DialogFolder(const std::string& initialDir, const std::string& home);
