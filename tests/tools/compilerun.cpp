#include "tests/tools/compilerun.h"

#include <fstream>
#include <sstream>

#include "kernel/enginebridge.h"
#include "kernel/globals.h"
#include "kernel/kernel_host.h"
#include "kernel/newprogram.h"
#include "kernel/workrecord.h"
#include "platform/codepage.h"
#include "tests/tools/programdump.h"

namespace {
// The editor's text is the script; messages go out as MSG lines.
class CompileHost : public KernelHost {
public:
    CompileHost(std::ostream& out, std::string script) : out_(out), script_(std::move(script)) {}

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

private:
    std::ostream& out_;
    std::string script_;
};

// Puts the previous host back however the compile ends.
class HostSwap {
public:
    explicit HostSwap(KernelHost& host) : previous_(&kernelHost()) { setKernelHost(&host); }
    ~HostSwap() { setKernelHost(previous_); }

private:
    KernelHost* previous_;
};
}  // namespace

int RunCompileCommand(const std::string& script, bool dump, std::ostream& out,
                      const std::function<void()>& prepare)
{
    CompileHost host(out, script);
    HostSwap swap(host);

    NewProgramModel();
    if (prepare)
        prepare();

    const std::string file = TempPfad + "Compile.Skx";
    {
        std::ofstream f(file, std::ios::binary | std::ios::trunc);
        f.write(script.data(), static_cast<std::streamsize>(script.size()));
        if (!f) {
            out << "ERROR cannot write " << file << "\n";
            return 1;
        }
    }
    const int32_t code = engineBridge().P_RunScriptCompiler(TempPfad, file, true);
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
        WriteProgramDump(out);
    out.flush();
    return code == 0 ? 0 : 1;
}
