#include "source_files.h"

#include "document/memory_check.h"
#include "document/text_file.h"
#include "platform/editor.h"
#include "platform/prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString loadTitle = QStringLiteral("Load Source File");
const FileFilter loadFilter = {
    QStringLiteral("TI-83 Plus ASM Formats(*.Z80,*.ASM,*.inc)"),
    {QStringLiteral("*.z80"), QStringLiteral("*.asm"), QStringLiteral("*.inc")}};
const QString saveTitle = QStringLiteral("Save Source File");
const FileFilter saveFilter = {
    QStringLiteral("TI-83 Plus ASM Formats(*.Z80,*.ASM,*.inc)"),
    {QStringLiteral("*.asm"), QStringLiteral("*.Z80"), QStringLiteral("*.inc")}};

std::optional<SeenFile> seen(const QString &path, const std::optional<FileStamp> &stamp)
{
    return stamp ? std::optional(SeenFile{path, *stamp}) : std::nullopt;
}

} // namespace

std::optional<FileStamp> fileStamp(const QString &path)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return FileStamp{status.st_dev, status.st_ino, status.st_size,
                     qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

SaveQuestion saveQuestion(const std::optional<SeenFile> &seen, const QString &path,
                          const std::optional<FileStamp> &there)
{
    if (!there)
        return SaveQuestion::None; // nothing to lose
    // The same file by name, or by another name (a link) for it.
    if (!seen
        || (QDir::cleanPath(seen->path) != QDir::cleanPath(path)
            && (seen->stamp.device != there->device || seen->stamp.inode != there->inode)))
        return SaveQuestion::AlreadyExists;
    return seen->stamp == *there ? SaveQuestion::None : SaveQuestion::ChangedByAnotherProgram;
}

SourceFiles::SourceFiles(Editor &editor, FileDialog &dialog, Prompts &prompts, QString &workingFolder)
    : m_editor(editor), m_dialog(dialog), m_prompts(prompts), m_workingFolder(workingFolder)
{
}

bool SourceFiles::choose(FileDialog::Mode mode, const QString &title, const FileFilter &filter)
{
    QString chosen = m_dialogFileName;
    if (!m_dialog.show(mode, title, filter, m_workingFolder, chosen))
        return false; // a cancelled dialog reads and writes nothing
    accept(chosen);
    return true;
}

void SourceFiles::accept(const QString &path)
{
    m_dialogFileName = path;
    // Only into a folder that is there and can be entered, links resolved,
    // as a change of the current directory would; else it stays.
    const QString folder = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    if (!folder.isEmpty() && QFileInfo(folder).isDir() && ::access(QFile::encodeName(folder).constData(), X_OK) == 0)
        m_workingFolder = folder;
}

void SourceFiles::load_project()
{
    if (choose(FileDialog::Mode::Open, loadTitle, loadFilter))
        load();
}

void SourceFiles::load_at_start(const QStringList &paths)
{
    if (paths.size() > 1) {
        m_prompts.error(QStringLiteral("Tarnell opens one file at a time"), loadTitle,
                        QStringLiteral("It was started with %1 files; load one with Load Project.").arg(paths.size()));
        return;
    }
    if (paths.isEmpty())
        return;
    // Made whole as the dialog makes it, against the folder the program was
    // started in, before the working folder moves. An empty name stays one.
    const QString &path = paths.front();
    accept(path.isEmpty() ? path : QDir::cleanPath(QDir(m_workingFolder).absoluteFilePath(path)));
    load();
}

void SourceFiles::load()
{
    const QString path = m_dialogFileName;
    // The dialog offers the last saved name next time, not the loaded one.
    m_dialogFileName = m_currentFileName;

    // Taken before reading: a file changed meanwhile is asked about on Save,
    // never taken for the one read.
    const std::optional<FileStamp> stamp = fileStamp(path);
    // Read straight into the editor, piece by piece: a big file is never held
    // twice, and one the memory cannot take is refused before it is read.
    QString reason;
    if (!readInto(m_editor, path, QStringLiteral("load"), EmptyFile::Loads, reason)) {
        reportFailure(loadTitle, QStringLiteral("load"), path, reason);
        return; // the text, and so the file it came from, stay
    }
    m_seen = seen(path, stamp);
}

void SourceFiles::Save()
{
    if (!choose(FileDialog::Mode::Save, saveTitle, saveFilter) || !mayReplace(m_dialogFileName))
        return;
    // Remembered even when the write below fails, so the next Save offers it.
    m_currentFileName = m_dialogFileName;

    TextFile::SaveError error;
    if (TextFile::write(m_currentFileName, m_editor.textView(), error)) {
        // Stamped again: a save by rename leaves another inode under the name.
        m_seen = seen(m_currentFileName, fileStamp(m_currentFileName));
        return;
    }
    QString outcome = QStringLiteral(". The file on disk was not changed; the text is still in the editor");
    if (error.damaged)
        outcome = QStringLiteral(". The file on disk may now hold part of the text; all of it is still in the editor")
                  + (error.oldCopy.isEmpty() ? QString()
                                             : QStringLiteral(", and the file's old text is in %1")
                                                   .arg(QDir::toNativeSeparators(error.oldCopy)));
    reportFailure(saveTitle, QStringLiteral("save"), m_currentFileName, error.reason + outcome);
}

bool SourceFiles::mayReplace(const QString &path)
{
    QString question;
    switch (saveQuestion(m_seen, path, fileStamp(path))) {
    case SaveQuestion::None:
        return true;
    case SaveQuestion::AlreadyExists:
        question = QStringLiteral("\"%1\" already exists. Replace it?");
        break;
    case SaveQuestion::ChangedByAnotherProgram:
        question = QStringLiteral("\"%1\" was changed by another program since it was loaded. Replace it?");
        break;
    }
    return m_prompts.confirm(question.arg(QDir::toNativeSeparators(path)), saveTitle, Prompts::Answer::No);
}

void SourceFiles::reportFailure(const QString &title, const QString &what, const QString &path,
                                const QString &reason)
{
    const QString prompt = QStringLiteral("Could not %1 %2").arg(what, QDir::toNativeSeparators(path));
    m_prompts.error(prompt, title, reason + QLatin1Char('.'));
}
