#include "tests/tools/compilerun.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "kernel/dispatch/kernel_host.h"
#include "kernel/model/globals.h"
#include "kernel/model/newprogram.h"
#include "kernel/model/workrecord.h"
#include "kernel/tkf/enginebridge.h"
#include "platform/codepage.h"
#include "tests/tools/programdump.h"

namespace {
// The editor's text is the script; messages go out as MSG lines; the rest
// goes to the host that was there (a test's recording host).
class CompileHost : public KernelHost {
public:
    CompileHost(std::ostream& out, std::string script, KernelHost& next)
        : out_(out), script_(std::move(script)), next_(next)
    {
    }

    int messageDlg(const std::string& text, MsgKind, MsgButtons buttons) override
    {
        std::istringstream lines(text);
        std::string line;
        bool any = false;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            out_ << "MSG " << line << "\n";
            any = true;
        }
        if (!any)
            out_ << "MSG \n";
        return UnattendedResult(buttons);
    }
    std::string scriptText() override { return script_; }

    void infoShow(const std::string& caption, const std::vector<std::string>& labels) override
    {
        next_.infoShow(caption, labels);
    }
    void infoLine(int line, const std::string& text) override { next_.infoLine(line, text); }
    bool infoAbortRequested() override { return next_.infoAbortRequested(); }
    void infoHide() override { next_.infoHide(); }
    void processEvents() override { next_.processEvents(); }
    void statusText(const std::string& text) override { next_.statusText(text); }
    void progressStatus(const std::string& text) override { next_.progressStatus(text); }
    void closeProgramWindows() override { next_.closeProgramWindows(); }
    void setScriptCursor(int line, int column) override { next_.setScriptCursor(line, column); }

private:
    std::ostream& out_;
    std::string script_;
    KernelHost& next_;
};

// Puts the previous host back however the compile ends.
class HostSwap {
public:
    HostSwap(KernelHost& host, KernelHost& previous) : previous_(&previous) { setKernelHost(&host); }
    ~HostSwap() { setKernelHost(previous_); }

private:
    KernelHost* previous_;
};
}  // namespace

int RunCompileCommand(const std::string& script, bool dump, std::ostream& out, const CompilePreparation& prepare)
{
    KernelHost& previous = kernelHost();
    CompileHost host(out, script, previous);
    HostSwap swap(host, previous);

    NewProgramModel();
    if (prepare && !prepare(out)) {
        out.flush();
        return 1;
    }

    const std::string file = TempPfad + "Compile.Skx";
    {
        std::ofstream f(file, std::ios::binary | std::ios::trunc);
        f.write(script.data(), static_cast<std::streamsize>(script.size()));
        if (!f) {
            out << "ERROR cannot write " << file << "\n";
            return 1;
        }
    }
    const int32_t code = engineBridge.P_RunScriptCompiler(TempPfad, file, true, DefaultCompileSettings());
    if (code == 0) {
        out << "OK\n";
    } else {
        const t_K8_heap_var& z = ZrVar;
        out << "ERROR " << code << ' ' << z.ErrorLine << ' ' << z.ErrorColumn;
        if (!z.ErrorDetail.empty())
            out << ' ' << Cp1252ToUtf8(z.ErrorDetail);
        out << "\n";
    }
    if (dump)
        out << ProgramDump();
    out.flush();
    return code == 0 ? 0 : 1;
}
