#include "source_files.h"

#include "app/prompts.h"
#include "document/editor.h"
#include "document/text_file.h"

#include <QDir>
#include <QFileInfo>

const QString SourceFiles::loadTitle = QStringLiteral("Load Source File");
const QString SourceFiles::loadFilter =
    QStringLiteral("TI-83 Plus ASM Formats(*.Z80,*.ASM,*.inc)|*.z80;*.asm;*.inc");
const QString SourceFiles::saveTitle = QStringLiteral("Save Source File");
const QString SourceFiles::saveFilter =
    QStringLiteral("TI-83 Plus ASM Formats(*.Z80,*.ASM,*.inc)|*.asm;*.Z80;*.inc");

SourceFiles::SourceFiles(Editor &editor, FileDialog &dialog, Prompts &prompts)
    : m_editor(editor), m_dialog(dialog), m_prompts(prompts)
{
}

bool SourceFiles::choose(FileDialog::Mode mode, const QString &title, const QString &filter)
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

    QByteArray bytes;
    QString error;
    if (!TextFile::read(path, bytes, error)) {
        reportFailure(loadTitle, QStringLiteral("load"), path, error);
        return;
    }
    m_editor.setText(bytes);
}

void SourceFiles::Save()
{
    if (!choose(FileDialog::Mode::Save, saveTitle, saveFilter))
        return;
    // Remembered even when the write below fails, so the next Save offers it.
    m_currentFileName = m_dialogFileName;

    QString error;
    if (!TextFile::write(m_currentFileName, m_editor.textView(), error))
        reportFailure(saveTitle, QStringLiteral("save"), m_currentFileName, error);
}

void SourceFiles::reportFailure(const QString &title, const QString &what, const QString &path,
                                const QString &reason)
{
    const QString prompt = QStringLiteral("Could not %1 %2").arg(what, QDir::toNativeSeparators(path));
    QString details = reason + QLatin1Char('.');
    if (what == QLatin1String("save"))
        details += QStringLiteral(" The file on disk was not changed; the text is still in the editor.");
    m_prompts.msgBox(prompt, MsgBox::Critical, title, details);
}
