#pragma once
// What the export window does once the walk has ended, as one decision
// table: the library's end, the remote report, and the question whether to
// start the export target with the conversion file.
#include <string>
#include <vector>

struct ExportEndInput {
    bool exportMode = false;
    bool userAborted = false;
    bool remote = false;
    // The library reported a usable conversion file.
    bool usable = false;
    // [Files] "SkrelStart" and [System] "Skrel".
    std::string startEntry;
    std::string target;
    // The conversion file, in its own letter case.
    std::string wandelPath;
};

struct ExportEndPlan {
    enum class OnOk { Nothing, StartProgram, Ordalin };

    // P_DllInfoEnde and everything after it.
    bool runs = false;
    bool sendFertig = false;
    bool ask = false;
    // The question, its "$" replaced by the target's name (untranslated
    // template given by the caller).
    std::string question;
    OnOk onOk = OnOk::Nothing;
    // StartProgram: the command line.
    std::string commandLine;
    // Ordalin: the strings sent, in order.
    std::vector<std::string> ordalinCommands;
};

// Whether the end runs at all (before the library is asked).
bool ExportEndRuns(const ExportEndInput& in);
// The whole plan; questionTemplate holds "$" for the target's name.
ExportEndPlan MakeExportEndPlan(const ExportEndInput& in, const std::string& questionTemplate);
// A command line word, in double quotes when it holds a blank.
std::string CommandLineWord(const std::string& word);
