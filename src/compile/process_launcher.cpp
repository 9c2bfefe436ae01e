#include "process_launcher.h"

#include "compile/command_line.h"
#include "compile/console_terminal.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cerrno>
#include <fcntl.h>
#include <linux/close_range.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// QProcess::startDetached() runs no child modifier, so the descriptors are
// marked in the editor instead; that changes nothing for the editor itself.
// It covers descriptors handed down to the editor without close-on-exec too.
void closeOnExecAboveStandardStreams()
{
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0)
        return;
    for (const QString &name : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System)) {
        const int fd = name.toInt();
        if (fd > 2)
            ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | FD_CLOEXEC);
    }
}

// Runs the terminal and, when it exits, writes its status into the FIFO. A
// terminal that fails exits before its console has said "started"; one that
// hands the console to its server exits 0 at once.
const QString supervisor = QStringLiteral(
    "fifo=$1; shift; \"$@\"; status=$?; "
    "[ -p \"$fifo\" ] && { printf 'exit %d\\n' \"$status\" 1<>\"$fifo\"; } 2>/dev/null");

// A private folder for the FIFO, where no one else can put anything in its
// place once it is gone: a late console or supervisor writes to that path.
QString privateFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

// The first line written into the FIFO before `deadline`, or "". The FIFO is
// open for writing too, so that read() never sees its end between two writers.
QByteArray firstLine(int fd, QDeadlineTimer deadline)
{
    QByteArray said;
    while (!said.contains('\n')) {
        pollfd ready{fd, POLLIN, 0};
        const int count = ::poll(&ready, 1, int(deadline.remainingTime()));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        char buffer[64];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0)
            said.append(buffer, got);
        else if (got < 0 && errno != EAGAIN && errno != EINTR)
            break;
    }
    return said.left(said.indexOf('\n'));
}

} // namespace

bool ProcessLauncher::start(const QString &commandLine, const QString &workingFolder, QString &error)
{
    const QString searchPath = qEnvironmentVariable("PATH");
    const LaunchPlan plan = CommandLine::plan(commandLine, workingFolder, searchPath, m_ownScriptsFolder);
    if (!plan.ok()) {
        error = plan.error;
        return false;
    }

    // A build nobody can see is no build: without a console, nothing starts.
    const QString terminal = ConsoleTerminal::find(searchPath, !qEnvironmentVariableIsEmpty("DISPLAY"),
                                                   !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"), error);
    if (terminal.isEmpty())
        return false;

    // Without a FIFO the console still opens; only a failing terminal goes unseen.
    const QTemporaryDir folder(privateFolder() + QStringLiteral("/tarnell-console-XXXXXX"));
    QString fifo = folder.isValid() ? folder.filePath(QStringLiteral("opened")) : QString();
    if (!fifo.isEmpty() && ::mkfifo(QFile::encodeName(fifo).constData(), 0600) != 0)
        fifo.clear();
    const LaunchPlan console = ConsoleTerminal::inConsole(plan, terminal, workingFolder, fifo);
    if (!console.ok()) {
        error = console.error;
        return false;
    }
    const int fd = fifo.isEmpty() ? -1 : ::open(QFile::encodeName(fifo).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);

    // Detached: the build outlives the editor, and nothing here waits for it.
    // It gets standard input, output and error and no other descriptor of ours.
    closeOnExecAboveStandardStreams();
    QProcess process;
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments(QStringList{QStringLiteral("-c"), supervisor, QStringLiteral("tarnell-console"), fifo,
                                     console.program}
                         + console.arguments);
    process.setWorkingDirectory(workingFolder);
    const bool started = process.startDetached();
    if (!started)
        error = QStringLiteral("%1: %2").arg(console.program, process.errorString());
    // Until the console says it started or the terminal exits; no answer in
    // time means a terminal still opening it.
    const QByteArray said = fd < 0 || !started ? QByteArray() : firstLine(fd, QDeadlineTimer(m_consoleWait));
    if (fd >= 0)
        ::close(fd);
    if (said.startsWith("exit ") && said != "exit 0") {
        error = QStringLiteral("the terminal %1 exited with status %2 before the console opened")
                    .arg(console.name, QString::fromLatin1(said.mid(5)));
        return false;
    }
    return started;
}
