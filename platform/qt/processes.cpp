#include "platform/qt/processes.h"

#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>

#include "platform/paths.h"

namespace {

// QProcess::splitCommand knows only double quotes (three in a row for a
// literal one), as Windows command lines do. Commands written for a shell
// group words with single quotes ("sh -c 'pwd > F'"), so a single-quoted
// span that starts a word becomes the double-quoted form first. An
// apostrophe inside a word ("Bob's") stays an apostrophe.
QString SingleToDoubleQuotes(const QString& command)
{
    QString out;
    out.reserve(command.size() + 8);
    bool inDouble = false;
    qsizetype i = 0;
    while (i < command.size()) {
        const QChar c = command.at(i);
        if (c == u'"') {
            qsizetype run = 0;
            while (i < command.size() && command.at(i) == u'"') {
                out += u'"';
                ++run;
                ++i;
            }
            if (run % 3 == 1)
                inDouble = !inDouble;
            continue;
        }
        const bool wordStart = i == 0 || command.at(i - 1).isSpace();
        const qsizetype close = c == u'\'' ? command.indexOf(u'\'', i + 1) : -1;
        if (!inDouble && wordStart && close > i) {
            out += u'"';
            for (qsizetype k = i + 1; k < close; ++k)
                out += command.at(k) == u'"' ? QStringLiteral("\"\"\"") : QString(command.at(k));
            out += u'"';
            i = close + 1;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

// A program named with a folder or drive ("C:\Tools\Conv.exe") is looked up
// like every other stored path; a bare name is left to the PATH search.
QString ResolveProgram(const QString& program)
{
    const std::string name = program.toStdString();
    if (name.find_first_of("/\\:") == std::string::npos)
        return program;
    std::string found = FindExisting(name);
    if (found.empty())
        found = NormalizePath(name);
    return QString::fromStdString(found);
}

}  // namespace

bool P_RunProgram(const std::string& commandLine, bool hidden, bool wait)
{
    (void)hidden;  // no console windows to hide here
    QStringList args = QProcess::splitCommand(SingleToDoubleQuotes(QString::fromStdString(commandLine)));
    if (args.isEmpty())
        return false;
    const QString program = ResolveProgram(args.takeFirst());
    // The original started everything in "C:\"; programs that write next to
    // their working folder expect to find the results there.
    const QString workingFolder = QString::fromStdString(DriveRoot());

    if (!wait) {
        const bool started = QProcess::startDetached(program, args, workingFolder);
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        return started;
    }

    QProcess process;
    process.setProgram(program);
    process.setArguments(args);
    process.setWorkingDirectory(workingFolder);
    // Nobody reads the child's output, and a child that reads its input
    // must not wait for us: pass the output through and give it no input.
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(-1))
        return false;
    process.waitForFinished(-1);
    return true;
}

bool P_RestartProgram()
{
    const QString self = QCoreApplication::instance()
                             ? QCoreApplication::applicationFilePath()
                             : QString::fromStdString(ExecutablePath());
    if (self.isEmpty())
        return false;
    return QProcess::startDetached(self, {}, QString::fromStdString(DriveRoot()));
}
