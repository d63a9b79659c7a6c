#include "platform/qt/termination_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {
int pipeFds[2] = {-1, -1};
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void OnTerminationSignal(int signal)
{
    // Only async-signal-safe calls here: a byte into the pipe, errno kept.
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &byte, 1);
    // Asked twice, the program ends at once: a close that hangs (a job that
    // does not return, a box on a display nobody sees) must not keep it.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    errno = saved;
}

// The signals this object catches: those not ignored when it was made (a
// program started under nohup, or in the background of a script, keeps
// ignoring what its starter meant it to ignore).
bool caughtSignal[NSIG] = {};

void SetHandler(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kSignals) {
        struct sigaction old {};
        if (handler == OnTerminationSignal) {
            ::sigaction(s, nullptr, &old);
            caughtSignal[s] = old.sa_handler != SIG_IGN;
        }
        if (caughtSignal[s])
            ::sigaction(s, &action, nullptr);
    }
}
}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (pipeFds[0] >= 0 || ::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
    SetHandler(OnTerminationSignal);
}

TerminationSignals::~TerminationSignals()
{
    if (!notifier_)
        return;
    SetHandler(SIG_DFL);
    delete notifier_;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void TerminationSignals::readPipe()
{
    unsigned char bytes[16];
    ssize_t n;
    while ((n = ::read(pipeFds[0], bytes, sizeof bytes)) > 0)
        for (ssize_t i = 0; i < n; ++i)
            emit caught(bytes[i]);
}
