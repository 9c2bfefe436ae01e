#include "process_launcher.h"

#include "compile/command_line.h"

#include <QDir>
#include <QProcess>

bool ProcessLauncher::start(const QString &commandLine, QString &error)
{
    const QString workingDirectory = QDir::currentPath();
    const QString searchPath = qEnvironmentVariable("PATH");
    LaunchPlan plan = CommandLine::plan(commandLine, workingDirectory, searchPath);
    if (!plan.ok()) {
        error = plan.error;
        return false;
    }

    const bool haveDisplay =
        !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    const QString terminal = CommandLine::findTerminal(searchPath, haveDisplay);
    if (!terminal.isEmpty())
        plan = CommandLine::inConsole(plan, terminal, QStringLiteral("Tarnell: ") + commandLine);

    // Detached: the build outlives the editor, and nothing here waits for it.
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
