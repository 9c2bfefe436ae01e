#pragma once

#include <QString>

class Editor;
class Prompts;

// Project > Insert Header: replaces the editor text with a shell's program
// header, read from a template file in the working directory that the user may edit.
class ShellHeaders
{
public:
    // `ownCopiesFolder` is where the program's own templates are installed; a
    // failure message points the user there.
    ShellHeaders(Editor &editor, Prompts &prompts, QString ownCopiesFolder);

    void ion();
    void mirage_os();
    void tse();
    void plus_asm();

private:
    void insert(const QString &templateName);

    Editor &m_editor;
    Prompts &m_prompts;
    QString m_ownCopiesFolder;
};
