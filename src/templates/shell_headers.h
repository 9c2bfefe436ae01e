#pragma once

#include <QString>

class Editor;
class Prompts;

// Project > Insert Header: replaces the editor text with a shell's program
// header, read from a template file in the working folder that the user may edit.
class ShellHeaders
{
public:
    // `workingFolder` is read at each use. `ownCopiesFolder` is where the
    // program's own templates are installed; a failure message points the user there.
    ShellHeaders(Editor &editor, Prompts &prompts, const QString &workingFolder, QString ownCopiesFolder);

    // Each is true when the header replaced the text.
    bool ion();
    bool mirage_os();
    bool tse();
    bool plus_asm();

private:
    bool insert(const QString &templateName);

    Editor &m_editor;
    Prompts &m_prompts;
    const QString &m_workingFolder;
    QString m_ownCopiesFolder;
};
