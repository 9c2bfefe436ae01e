#include "command_line.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

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

// Why others could change or replace what is in this folder, or "": the
// folder and every one above it must be the user's or root's and closed to
// others, unless sticky (then no one renames over a file they do not own).
QString openFolder(const QString &folder)
{
    const uid_t me = ::geteuid();
    for (QString path = QFileInfo(folder).canonicalFilePath();; path = QFileInfo(path).path()) {
        struct stat status;
        if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0)
            return QStringLiteral("the folder %1 could not be examined").arg(folder);
        if (status.st_uid != me && status.st_uid != 0)
            return QStringLiteral("the folder %1 belongs to another user (uid %2)").arg(path).arg(status.st_uid);
        if ((status.st_mode & (S_IWGRP | S_IWOTH)) && !(status.st_mode & S_ISVTX))
            return QStringLiteral("others can write to the folder %1").arg(path);
        if (path == QLatin1String("/"))
            return {};
    }
}

// Why a file in the working directory is not to be run, or "". The working
// directory follows the file dialogs into shared folders such as /tmp, where
// anyone can leave an asm.bat: only what the user (or root) owns and no one
// else can change or swap for another file before it runs is run. A symbolic
// link must be such a link too, and so must the file it leads to.
QString distrust(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat link, target;
    if (::lstat(native.constData(), &link) != 0 || ::stat(native.constData(), &target) != 0)
        return QStringLiteral("it could not be examined");
    const uid_t me = ::geteuid();
    for (const uid_t owner : {link.st_uid, target.st_uid}) {
        if (owner != me && owner != 0)
            return QStringLiteral("it belongs to another user (uid %1)").arg(owner);
    }
    if (target.st_mode & (S_IWGRP | S_IWOTH))
        return QStringLiteral("others can write to it");
    const QFileInfo file(path);
    QString reason = openFolder(file.absolutePath());
    if (reason.isEmpty() && file.isSymLink())
        reason = openFolder(QFileInfo(file.canonicalFilePath()).path());
    return reason;
}

// The file a bare name means: the working directory's, else the first on the
// search path, else our own sample script of that name.
QFileInfo lookUp(const QString &name, const QString &workingDirectory, const QString &searchPath,
                 const QString &ownScriptsFolder, QString &error)
{
    const QFileInfo local(QDir(workingDirectory).filePath(name));
    if (isRunnable(local)) {
        const QString reason = distrust(local.absoluteFilePath());
        if (!reason.isEmpty())
            error = QStringLiteral("%1 in the working directory was not run: %2").arg(name, reason);
        return local;
    }
    QStringList folders = searchFolders(searchPath);
    if (QDir::isAbsolutePath(ownScriptsFolder))
        folders << ownScriptsFolder;
    for (const QString &folder : folders) {
        const QFileInfo candidate(QDir(folder).filePath(name));
        if (isRunnable(candidate))
            return candidate;
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
    QFileInfo file;
    if (name.contains(QLatin1Char('/'))) {
        file = QFileInfo(QDir(workingDirectory).filePath(name));
        if (!file.exists())
            plan.error = QStringLiteral("%1: not found").arg(name);
        else if (file.isDir())
            plan.error = QStringLiteral("%1: is a directory").arg(name);
        else if (!isRunnable(file))
            plan.error = QStringLiteral("%1: permission denied").arg(name);
        else if (QDir::isRelativePath(name)) { // in the working directory, with its rules
            if (const QString reason = distrust(file.absoluteFilePath()); !reason.isEmpty())
                plan.error = QStringLiteral("%1 was not run: %2").arg(name, reason);
        }
    } else {
        file = lookUp(name, workingDirectory, searchPath, ownScriptsFolder, plan.error);
    }
    if (!plan.ok())
        return plan;

    const QString path = file.absoluteFilePath();
    plan.name = file.fileName();
    if (file.isExecutable()) {
        plan.program = path;
        plan.arguments = words;
    } else {
        plan.program = QStringLiteral("/bin/sh");
        plan.arguments = QStringList{path} + words;
    }
    return plan;
}

} // namespace CommandLine
