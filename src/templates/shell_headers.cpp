#include "shell_headers.h"

#include "document/memory_check.h"
#include "platform/prompts.h"

#include <QDir>

ShellHeaders::ShellHeaders(Editor &editor, Prompts &prompts, const QString &workingFolder,
                           QString ownCopiesFolder)
    : m_editor(editor), m_prompts(prompts), m_workingFolder(workingFolder),
      m_ownCopiesFolder(std::move(ownCopiesFolder))
{
}

bool ShellHeaders::ion() { return insert(QStringLiteral("ion.txt")); }
bool ShellHeaders::mirage_os() { return insert(QStringLiteral("mirage.txt")); }
bool ShellHeaders::tse() { return insert(QStringLiteral("tse.txt")); }
bool ShellHeaders::plus_asm() { return insert(QStringLiteral("ti83plus.txt")); }

bool ShellHeaders::insert(const QString &templateName)
{
    if (!m_prompts.confirm(QStringLiteral("This will erase your current file! Do you wish to proceed?"),
                           QStringLiteral("Warning")))
        return false;

    // Read afresh every time: the user may have edited the template meanwhile.
    // Within the limits a loaded file keeps to, straight into the editor.
    const QString path = QDir(m_workingFolder).absoluteFilePath(templateName);
    QString error;
    if (!readInto(m_editor, path, QStringLiteral("insert"), EmptyFile::Refused, error)) {
        QString details = error + QStringLiteral(".\n\nThe header templates are looked up in the "
                                                 "working directory. ");
        details += m_ownCopiesFolder.isEmpty()
                       ? QStringLiteral("Tarnell's own copies of them could not be found.")
                       : QStringLiteral("Tarnell's own copies of them are in %1.")
                             .arg(QDir::toNativeSeparators(m_ownCopiesFolder));
        m_prompts.error(QStringLiteral("Could not read the header template %1").arg(QDir::toNativeSeparators(path)),
                        QStringLiteral("Insert Header"), details);
        return false;
    }
    return true;
}
