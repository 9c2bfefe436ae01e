#pragma once

#include "platform/file_dialog.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <sys/types.h>

class Editor;
class Prompts;

// Which file a path leads to and the version of it that is there: another
// program's write changes the size or the time, a save by rename the inode.
struct FileStamp
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    qint64 modified = 0; // nanoseconds since the epoch
    bool operator==(const FileStamp &) const = default;
};

// The file `path` leads to, through any links; nothing when there is none.
std::optional<FileStamp> fileStamp(const QString &path);

// The file the editor text was last loaded from or saved to, as it was then.
struct SeenFile
{
    QString path;
    FileStamp stamp;
};

// What Save asks before writing to `path`, where `there` is what the path
// leads to now. A file the user has not seen, or one changed since, is asked
// about; the one the text came from, as it was left, and a missing one are not.
enum class SaveQuestion { None, AlreadyExists, ChangedByAnotherProgram };
SaveQuestion saveQuestion(const std::optional<SeenFile> &seen, const QString &path,
                          const std::optional<FileStamp> &there);

// File > Load Project and File > Save: the editor text to and from source files
// through the one file dialog, and the two names that outlive the commands.
// A confirmed dialog moves `workingFolder`, the folder the other commands use.
class SourceFiles
{
public:
    SourceFiles(Editor &editor, FileDialog &dialog, Prompts &prompts, QString &workingFolder);

    void load_project();
    void Save();
    // The files named when the program was started: one is loaded as if it
    // had been chosen in Load Project's dialog; more are refused with a box.
    void load_at_start(const QStringList &paths);
    // The whole text was replaced by one that comes from no file (New, Insert
    // Header): Save then asks before replacing any file that is there.
    void textReplaced() { m_seen.reset(); }

private:
    // Shows the dialog and accepts what it confirms. Returns false when cancelled.
    bool choose(FileDialog::Mode mode, const QString &title, const FileFilter &filter);
    // Remembers a chosen path and moves the working folder to the path's
    // folder, so templates and build scripts beside the sources are found.
    void accept(const QString &path);
    // Loads the file just chosen.
    void load();
    // Asks, where needed, before Save writes over a file; true to go on.
    bool mayReplace(const QString &path);
    void reportFailure(const QString &title, const QString &what, const QString &path,
                       const QString &reason);

    Editor &m_editor;
    FileDialog &m_dialog;
    Prompts &m_prompts;
    QString &m_workingFolder;
    QString m_currentFileName; // the name used by the last Save; "" until the first one
    QString m_dialogFileName;  // the name the file dialog offers next time it opens
    std::optional<SeenFile> m_seen; // nothing at start
};
