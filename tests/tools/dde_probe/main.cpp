// dde_probe: serves and sends DDE execute strings from outside.
//   dde_probe [--home DIR] serve NAME [--count N]
//   dde_probe [--home DIR] send NAME COMMAND... [--wait]
//   dde_probe [--home DIR] language [--set NAME]
// Exit 0 on success, 1 when the operation reported an error, 2 on bad usage.
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdlib>
#include <iostream>
#include <string>

#include "kernel/services/debuglog.h"
#include "kernel/services/services.h"
#include "kernel/ui/modul_dde_hndl.h"
#include "tests/tools/common/probe_common.h"

namespace {

using Args = ProbeArgs;

// Prints each command it is handed; ends the run after the wanted count.
class ServingModule : public TModulDdeHndl {
public:
    ServingModule(const std::string& name, long count) : TModulDdeHndl(nullptr, name), left_(count) {}

    void P_DdeBefehlEmpfangen(const std::string& command) override
    {
        std::cout << "CMD " << command << std::endl;
        if (left_ > 0 && --left_ == 0) {
            // The answer of this string still goes out; later ones wait.
            setCommandsHeld(true);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
    }

private:
    long left_;
};

// Sends only: never handed a command.
class SendingModule : public TModulDdeHndl {
public:
    void P_DdeBefehlEmpfangen(const std::string&) override {}
};

int termPipe[2] = {-1, -1};

void OnTerm(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(termPipe[1], &byte, 1);
}

// SIGTERM ends the event loop, so the module closes its socket on the way out.
void QuitOnTerm(QObject* context)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, termPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(termPipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, &QCoreApplication::quit);
    struct sigaction action = {};
    action.sa_handler = OnTerm;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
}

int Serve(Args args)
{
    const std::string countText = TakeOption(args, "--count");
    if (args.size() != 1 || args[0].empty())
        throw ProbeUsage{"serve needs one NAME"};
    long count = 0;
    if (!countText.empty()) {
        char* end = nullptr;
        count = std::strtol(countText.c_str(), &end, 10);
        if (*end != '\0' || count <= 0)
            throw ProbeUsage{"--count needs a positive number"};
    }
    ServingModule module(args[0], count);
    if (!module.DdeServer1.isServing()) {
        std::cout << "ERROR " << module.DdeServer1.errorText() << std::endl;
        return 1;
    }
    QuitOnTerm(&module);
    std::cout << "READY " << module.DdeServer1.socketPath().toStdString() << std::endl;
    QCoreApplication::exec();
    return 0;
}

int Send(Args args)
{
    const bool wait = TakeSwitch(args, "--wait");
    if (args.size() < 2 || args[0].empty())
        throw ProbeUsage{"send needs NAME and at least one COMMAND"};
    SendingModule module;
    for (std::size_t i = 1; i < args.size(); ++i)
        std::cout << (module.SendDdeCommand(args[0], args[i], wait) ? "SENT" : "NOT SENT") << std::endl;
    module.CloseDdeLink();
    return 0;
}

// The stored language (the system's, stored, when none is): what the
// translation engine will start in. A name that cannot be stored gives the
// disk error text.
int Language(Args args)
{
    const std::string name = TakeOption(args, "--set");
    if (!args.empty())
        throw ProbeUsage{"language takes only --set NAME"};
    SendingModule module;
    if (!name.empty()) {
        if (const int error = module.WriteLanguageSetting(name)) {
            std::cout << "ERROR " << F_DiskErrorText(error) << std::endl;
            return 1;
        }
    }
    std::cout << module.ReadLanguageSetting() << std::endl;
    return 0;
}

const char* const kUsage =
    "usage: dde_probe [--home DIR] serve NAME [--count N]\n"
    "       dde_probe [--home DIR] send NAME COMMAND... [--wait]\n"
    "       dde_probe [--home DIR] language [--set NAME]\n";

}  // namespace

int main(int argc, char** argv)
{
    Args args(argv + 1, argv + argc);
    ProbeHome home;
    PrintingHost host;
    return RunProbe("dde_probe", kUsage, [&] {
        const std::string dir = TakeOption(args, "--home");
        if (args.empty())
            return PrintProbeUsage("dde_probe", "", kUsage);
        const std::string command = args[0];
        args.erase(args.begin());
        if (command != "serve" && command != "send" && command != "language")
            return PrintProbeUsage("dde_probe", "unknown command " + command, kUsage);
        home.Enter(dir, "dde-probe");

        QCoreApplication app(argc, argv);
        setKernelHost(&host);
        DebugLogStart();
        const int rc = command == "serve" ? Serve(args) : command == "send" ? Send(args) : Language(args);
        std::cout.flush();
        setKernelHost(nullptr);
        return rc;
    });
}
