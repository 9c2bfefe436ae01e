#include "command_line.h"

#include "compile/trust_rule.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

// The path to run for a file a bare name means: the working directory's, where
// the trust rule lets it run, else the first on the search path, else our own
// sample script of that name. "" with the reason in `error` when there is none.
QString lookUp(const QString &name, const QString &workingDirectory, const QString &searchPath,
               const QString &ownScriptsFolder, QString &error)
{
    const QString local = QDir(workingDirectory).absoluteFilePath(name);
    if (isRunnable(QFileInfo(local))) {
        const QString resolved = TrustRule::trusted(local, error);
        if (resolved.isEmpty())
            error = QStringLiteral("%1 in the working directory was not run: %2").arg(name, error);
        return resolved;
    }
    QStringList folders = searchFolders(searchPath);
    if (QDir::isAbsolutePath(ownScriptsFolder))
        folders << ownScriptsFolder;
    for (const QString &folder : folders) {
        const QFileInfo candidate(QDir(folder).filePath(name));
        if (isRunnable(candidate))
            return candidate.absoluteFilePath();
    }
    error = QStringLiteral("%1: not found in the working directory, on PATH or among Tarnell's scripts").arg(name);
    return {};
}

} // namespace

LaunchPlan plan(const QString &commandLine, const QString &workingDirectory,
                const QString &searchPath, const QString &ownScriptsFolder)
{
    LaunchPlan plan;
    if (commandLine.contains(QChar(0))) { // no argument can carry it
        plan.error = QStringLiteral("the command line holds a NUL character");
        return plan;
    }
    QStringList words = split(commandLine, &plan.error);
    if (!plan.ok())
        return plan;
    if (words.isEmpty() || words.first().isEmpty()) {
        plan.error = QStringLiteral("empty command line");
        return plan;
    }
    for (const QString &word : std::as_const(words)) {
        if (const qsizetype bytes = QFile::encodeName(word).size(); bytes >= maxArgumentBytes) {
            plan.error = QStringLiteral("the command line is too long: one of its words is %1 bytes, and the "
                                        "system starts no program with a word of %2 bytes or more")
                             .arg(bytes)
                             .arg(maxArgumentBytes);
            return plan;
        }
    }
    const QString name = words.takeFirst();
    QString path; // what runs
    if (name.contains(QLatin1Char('/'))) {
        const QString typed = QDir(workingDirectory).absoluteFilePath(name);
        const QFileInfo file(typed);
        if (!file.exists())
            plan.error = QStringLiteral("%1: not found").arg(name);
        else if (file.isDir())
            plan.error = QStringLiteral("%1: is a directory").arg(name);
        else if (!isRunnable(file))
            plan.error = QStringLiteral("%1: permission denied").arg(name);
        else if (QDir::isAbsolutePath(name)) // the user's explicit choice
            path = file.absoluteFilePath();
        else if (path = TrustRule::trusted(typed, plan.error); path.isEmpty())
            plan.error = QStringLiteral("%1 was not run: %2").arg(name, plan.error);
    } else {
        path = lookUp(name, workingDirectory, searchPath, ownScriptsFolder, plan.error);
    }
    if (!plan.ok())
        return plan;

    plan.name = QFileInfo(name).fileName();
    if (QFileInfo(path).isExecutable()) {
        plan.program = path;
        plan.arguments = words;
    } else {
        plan.program = QStringLiteral("/bin/sh");
        plan.arguments = QStringList{path} + words;
    }
    return plan;
}

} // namespace CommandLine
