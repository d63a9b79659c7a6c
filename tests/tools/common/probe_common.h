#pragma once
// What the command-line probes share (kernel_probe, lang_probe, dde_probe,
// sim_probe): exit 0 on success, 1 when the operation reported an error (its
// text on one line), 2 on bad usage; the program folder a fresh folder (gone
// at exit) unless --home DIR names one; messages the kernel would show in a
// window printed as "MSG <text>" lines; hex lower-case, two digits a byte.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "kernel/dispatch/kernel_host.h"

// Thrown for bad usage: exit 2 with the text on stderr.
struct ProbeUsage {
    std::string text;
};

using ProbeArgs = std::vector<std::string>;

// Takes "--name VALUE" out of args; empty when absent. A missing value is a usage error.
std::string TakeOption(ProbeArgs& args, const std::string& name);
// Takes "--name V1 .. Vcount" out of args; empty when absent. Missing values are a usage error.
ProbeArgs TakeOptionValues(ProbeArgs& args, const std::string& name, size_t count);
// Takes a "--name" switch out of args.
bool TakeSwitch(ProbeArgs& args, const std::string& name);
// The whole of text as a number in base (10 or 16) within low..high; a
// usage error naming what otherwise.
long ProbeNumber(const std::string& text, long low, long high, const std::string& what, int base = 10);
// Lower-case hex, two digits a byte.
std::string HexBytes(const void* data, size_t n);

// Prints every line of a message as "MSG <line>" and answers as nobody
// would: the default button.
class PrintingHost : public KernelHost {
public:
    int messageDlg(const std::string& text, MsgKind kind, MsgButtons buttons) override;
};

// The program folder (ProgrammPfad) and the temporary folder below it
// (TempPfad). A fresh folder the probe makes is removed again when this goes.
class ProbeHome {
public:
    ProbeHome() = default;
    ~ProbeHome();
    ProbeHome(const ProbeHome&) = delete;
    ProbeHome& operator=(const ProbeHome&) = delete;

    // dir from --home, or empty for a fresh folder "<prefix>-XXXXXX" in
    // $TMPDIR (else /tmp). Throws when no folder can be made.
    void Enter(std::string dir, const std::string& prefix);

private:
    std::string fresh_;
};

// "<program>: <why>" (when there is a why), then the usage lines, on
// stderr; returns 2.
int PrintProbeUsage(const std::string& program, const std::string& why, const std::string& usage);

// Runs the probe's work and turns what escapes it into the exit status: a
// ProbeUsage prints its text (then usage, when given) and gives 2, any other
// exception an "ERROR <text>" line and 1.
int RunProbe(const std::string& program, const std::string& usage, const std::function<int()>& work);
