#pragma once
// Helpers for tests of the DDE transport: spinning the event loop until
// something happened, and a stand-in partner process (tests/tools/
// dde_listener.py) that logs what arrives on a socket. Header-only: only the
// Qt test binaries include it. They define ZORIT_SOURCE_DIR.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QThread>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/test_env.h"

// Processes events until done() holds; false when ms went by first.
inline bool SpinUntil(const std::function<bool()>& done, int ms = 5000)
{
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

// Lets events run for a while (to show that something does not happen).
inline void SpinFor(int ms)
{
    SpinUntil([] { return false; }, ms);
}

// A python3 listener on a socket path. Its log holds "ACCEPT k",
// "FRAME k HEX" and "EOF k HEX" lines.
class DdePartner {
public:
    DdePartner(const QString& socketPath, const std::string& answer = "1")
        : socketPath_(socketPath), log_(TestHome() + "partner-" + std::to_string(++counter()) + ".log")
    {
        WriteTestFile(log_, "");
        process_.setProgram(QStringLiteral("python3"));
        process_.setArguments({QStringLiteral(ZORIT_SOURCE_DIR "/tests/tools/dde_listener.py"), socketPath,
                               QString::fromStdString(log_), QStringLiteral("--answer"),
                               QString::fromStdString(answer)});
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.start();
        started_ = process_.waitForStarted(5000);
        const QDeadlineTimer deadline(10000);
        while (started_ && !QFileInfo::exists(socketPath) && !deadline.hasExpired())
            QThread::msleep(5);
    }
    ~DdePartner() { stop(); }
    DdePartner(const DdePartner&) = delete;
    DdePartner& operator=(const DdePartner&) = delete;

    bool ready() const { return started_ && QFileInfo::exists(socketPath_); }

    void stop()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    std::vector<std::string> log() const
    {
        std::vector<std::string> lines;
        std::istringstream in(ReadTestFile(log_));
        std::string line;
        while (std::getline(in, line))
            lines.push_back(line);
        return lines;
    }

    // Waits (processing events) until the log holds the line.
    bool waitForLine(const std::string& line, int ms = 5000) const
    {
        return SpinUntil(
            [&] {
                for (const std::string& l : log())
                    if (l == line)
                        return true;
                return false;
            },
            ms);
    }

private:
    static int& counter()
    {
        static int n = 0;
        return n;
    }

    QString socketPath_;
    std::string log_;
    QProcess process_;
    bool started_ = false;
};

inline std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}
