#include "source_files.h"

#include "document/text_file.h"
#include "platform/editor.h"
#include "platform/prompts.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString loadTitle = QStringLiteral("Load Source File");
const FileFilter loadFilter = {
    QStringLiteral("TI-83 Plus ASM Formats(*.Z80,*.ASM,*.inc)"),
    {QStringLiteral("*.z80"), QStringLiteral("*.asm"), QStringLiteral("*.inc")}};
const QString saveTitle = QStringLiteral("Save Source File");
const FileFilter saveFilter = {
    QStringLiteral("TI-83 Plus ASM Formats(*.Z80,*.ASM,*.inc)"),
    {QStringLiteral("*.asm"), QStringLiteral("*.Z80"), QStringLiteral("*.inc")}};

} // namespace

SourceFiles::SourceFiles(Editor &editor, FileDialog &dialog, Prompts &prompts)
    : m_editor(editor), m_dialog(dialog), m_prompts(prompts)
{
}

bool SourceFiles::choose(FileDialog::Mode mode, const QString &title, const FileFilter &filter)
{
    QString chosen = m_dialogFileName;
    if (!m_dialog.show(mode, title, filter, chosen))
        return false; // a cancelled dialog reads and writes nothing
    m_dialogFileName = chosen;
    QDir::setCurrent(QFileInfo(chosen).absolutePath());
    return true;
}

void SourceFiles::load_project()
{
    if (!choose(FileDialog::Mode::Open, loadTitle, loadFilter))
        return;
    const QString path = m_dialogFileName;
    // The dialog offers the last saved name next time, not the loaded one.
    m_dialogFileName = m_currentFileName;

    // Read straight into the editor, piece by piece: a big file is never held twice.
    TextFile::Reader file;
    if (!file.open(path) || file.size() > Editor::maxSize
        || !m_editor.replaceText(file.size(), [&file](char *buffer, qsizetype capacity) {
               return file.read(buffer, capacity);
           }))
        reportFailure(loadTitle, QStringLiteral("load"), path,
                      file.error().isEmpty() ? QStringLiteral("The file is larger than the 2 GB the editor can hold")
                                             : file.error());
}

void SourceFiles::Save()
{
    if (!choose(FileDialog::Mode::Save, saveTitle, saveFilter))
        return;
    // Remembered even when the write below fails, so the next Save offers it.
    m_currentFileName = m_dialogFileName;

    TextFile::SaveError error;
    if (TextFile::write(m_currentFileName, m_editor.textView(), error))
        return;
    QString outcome = QStringLiteral(". The file on disk was not changed; the text is still in the editor");
    if (error.damaged)
        outcome = QStringLiteral(". The file on disk may now hold part of the text; all of it is still in the editor")
                  + (error.oldCopy.isEmpty() ? QString()
                                             : QStringLiteral(", and the file's old text is in %1")
                                                   .arg(QDir::toNativeSeparators(error.oldCopy)));
    reportFailure(saveTitle, QStringLiteral("save"), m_currentFileName, error.reason + outcome);
}

void SourceFiles::reportFailure(const QString &title, const QString &what, const QString &path,
                                const QString &reason)
{
    const QString prompt = QStringLiteral("Could not %1 %2").arg(what, QDir::toNativeSeparators(path));
    m_prompts.error(prompt, title, reason + QLatin1Char('.'));
}
