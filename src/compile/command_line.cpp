#include "command_line.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace CommandLine {

namespace {

bool isScript(const QFileInfo &file)
{
    const QString suffix = file.suffix().toLower();
    return suffix == QLatin1String("bat") || suffix == QLatin1String("cmd")
           || suffix == QLatin1String("sh");
}

bool isRunnable(const QFileInfo &file)
{
    return file.isFile() && (file.isExecutable() || (isScript(file) && file.isReadable()));
}

QStringList searchFolders(const QString &searchPath)
{
    QStringList folders;
    for (const QString &folder : searchPath.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(folder)) // a relative PATH entry would depend on where we happen to be
            folders << folder;
    }
    return folders;
}

// The file a bare name means: the working directory's entry of that name if
// there is one, else the first runnable file of that name on the search path.
QFileInfo lookUp(const QString &name, const QString &workingDirectory, const QString &searchPath)
{
    const QFileInfo local(QDir(workingDirectory).filePath(name));
    if (local.exists())
        return local;
    for (const QString &folder : searchFolders(searchPath)) {
        const QFileInfo candidate(QDir(folder).filePath(name));
        if (isRunnable(candidate))
            return candidate;
    }
    return local;
}

} // namespace

QStringList split(const QString &commandLine)
{
    return QProcess::splitCommand(commandLine);
}

LaunchPlan plan(const QString &commandLine, const QString &workingDirectory,
                const QString &searchPath)
{
    LaunchPlan plan;
    QStringList words = split(commandLine);
    if (words.isEmpty() || words.first().isEmpty()) {
        plan.error = QStringLiteral("empty command line");
        return plan;
    }
    const QString name = words.takeFirst();
    const QFileInfo file = name.contains(QLatin1Char('/'))
                               ? QFileInfo(QDir(workingDirectory).filePath(name))
                               : lookUp(name, workingDirectory, searchPath);

    if (!file.exists())
        plan.error = name.contains(QLatin1Char('/'))
                         ? QStringLiteral("%1: not found").arg(name)
                         : QStringLiteral("%1: not found in the working directory or on PATH").arg(name);
    else if (file.isDir())
        plan.error = QStringLiteral("%1: is a directory").arg(name);
    else if (!isRunnable(file))
        plan.error = QStringLiteral("%1: permission denied").arg(name);
    if (!plan.ok())
        return plan;

    const QString path = file.absoluteFilePath();
    if (file.isExecutable()) {
        plan.program = path;
        plan.arguments = words;
    } else {
        plan.program = QStringLiteral("/bin/sh");
        plan.arguments = QStringList{path} + words;
    }
    return plan;
}

QString findTerminal(const QString &searchPath, bool haveDisplay)
{
    if (!haveDisplay)
        return {};
    const QStringList folders = searchFolders(searchPath);
    for (const QString &name : {QStringLiteral("x-terminal-emulator"), QStringLiteral("xterm")}) {
        const QString found = QStandardPaths::findExecutable(name, folders);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

LaunchPlan inConsole(const LaunchPlan &build, const QString &terminal, const QString &title)
{
    // The build's words travel as the shell's positional parameters and run as
    // "$@": the shell adds the wait at the end but never re-reads what they say.
    static const QString keepOpen = QStringLiteral(
        "\"$@\"; status=$?; echo; echo \"Build finished with exit status $status.\"; "
        "printf 'Press Enter to close this window. '; read answer");

    LaunchPlan console;
    console.program = terminal;
    // xterm and its wrappers (uxterm, lxterm, koi8rxterm) can start minimized.
    if (QFileInfo(QFileInfo(terminal).canonicalFilePath()).fileName().endsWith(QLatin1String("xterm")))
        console.arguments << QStringLiteral("-iconic");
    console.arguments << QStringLiteral("-T") << title << QStringLiteral("-e") << QStringLiteral("/bin/sh")
                      << QStringLiteral("-c") << keepOpen << QStringLiteral("tarnell-build")
                      << build.program << build.arguments;
    return console;
}

} // namespace CommandLine
