#pragma once

#include "platform/file_dialog.h"

#include <QString>

class Editor;
class Prompts;

// File > Load Project and File > Save: the editor text to and from source files
// through the one file dialog, and the two names that outlive the commands.
class SourceFiles
{
public:
    SourceFiles(Editor &editor, FileDialog &dialog, Prompts &prompts);

    void load_project();
    void Save();

private:
    // Shows the dialog; on confirmation remembers the choice and moves the
    // working directory to its folder, so templates and build scripts beside
    // the sources are found. Returns false when cancelled.
    bool choose(FileDialog::Mode mode, const QString &title, const FileFilter &filter);
    void reportFailure(const QString &title, const QString &what, const QString &path,
                       const QString &reason);

    Editor &m_editor;
    FileDialog &m_dialog;
    Prompts &m_prompts;
    QString m_currentFileName; // the name used by the last Save; "" until the first one
    QString m_dialogFileName;  // the name the file dialog offers next time it opens
};
