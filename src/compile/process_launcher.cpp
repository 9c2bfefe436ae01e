#include "process_launcher.h"

#include "compile/command_line.h"

#include <QDir>
#include <QProcess>

#include <fcntl.h>
#include <linux/close_range.h>
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

} // namespace

bool ProcessLauncher::start(const QString &commandLine, QString &error)
{
    const QString workingDirectory = QDir::currentPath();
    const QString searchPath = qEnvironmentVariable("PATH");
    LaunchPlan plan = CommandLine::plan(commandLine, workingDirectory, searchPath, m_ownScriptsFolder);
    if (!plan.ok()) {
        error = plan.error;
        return false;
    }

    // A build nobody can see is no build: without a console, nothing starts.
    const QString terminal = CommandLine::findTerminal(searchPath, !qEnvironmentVariableIsEmpty("DISPLAY"),
                                                       !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"), error);
    if (terminal.isEmpty())
        return false;
    plan = CommandLine::inConsole(plan, terminal);

    // Detached: the build outlives the editor, and nothing here waits for it.
    // It gets standard input, output and error and no other descriptor of ours.
    closeOnExecAboveStandardStreams();
    QProcess process;
    process.setProgram(plan.program);
    process.setArguments(plan.arguments);
    process.setWorkingDirectory(workingDirectory);
    if (!process.startDetached()) {
        error = QStringLiteral("%1: %2").arg(plan.program, process.errorString());
        return false;
    }
    return true;
}
