#include "check/ui/core/export_end_plan.h"

#include "platform/paths.h"

bool ExportEndRuns(const ExportEndInput& in)
{
    return in.exportMode && !in.userAborted;
}

std::string CommandLineWord(const std::string& word)
{
    return word.find(' ') == std::string::npos ? word : "\"" + word + "\"";
}

ExportEndPlan MakeExportEndPlan(const ExportEndInput& in, const std::string& questionTemplate)
{
    ExportEndPlan p;
    if (!ExportEndRuns(in))
        return p;
    p.runs = true;
    p.sendFertig = in.remote;
    const bool ordalin = AsciiUpper(in.target) == "ORDALIN";
    if (!in.usable || (in.startEntry.empty() && !ordalin))
        return p;
    p.ask = true;
    p.question = questionTemplate;
    if (const size_t at = p.question.find('$'); at != std::string::npos)
        p.question.replace(at, 1, in.target);
    if (ordalin) {
        p.onOk = ExportEndPlan::OnOk::Ordalin;
        p.ordalinCommands = {"SIZEMAX", "LOADORDALINFILES " + in.wandelPath};
    } else {
        p.onOk = ExportEndPlan::OnOk::StartProgram;
        p.commandLine = CommandLineWord(in.startEntry) + " " + CommandLineWord("/L" + in.wandelPath);
    }
    return p;
}
