#pragma once

#include "document/save_types.h"
#include "document/unix_file.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Whole-file access for source and template files, byte for byte.
// On failure the error says why in plain words ("Permission denied", "Is a directory", ...).
namespace TextFile {

// Reads a regular file piece by piece. Anything else (a directory, a FIFO, a
// device) is refused, and no read ever blocks.
class Reader
{
public:
    Reader() = default;
    bool open(const QString &path);
    // The size the file had when it was opened.
    qsizetype size() const { return m_size; }
    // Up to `capacity` bytes; 0 at the end, -1 on failure.
    qsizetype read(char *buffer, qsizetype capacity);
    QString error() const { return m_error; }

private:
    Descriptor m_file;
    qsizetype m_size = 0;
    QString m_error;
};

class SystemCalls;

// Writes all or nothing: on any failure the file keeps its previous content,
// or does not appear if it was new. The path is opened for writing as given
// first, so the kernel's own checks apply (permissions, read-only mounts,
// protected symlinks). The file stays what it was: a new file is renamed over
// it only where that keeps its owner, group, mode, extended attributes and
// links; elsewhere it is rewritten in place, with a copy of the old bytes on
// disk until the new ones are, put back if the writing fails. Only when the
// old bytes could not be read beforehand or written back does a failed
// rewrite leave the file changed: then `damaged` is set.
bool write(const QString &path, QByteArrayView bytes, SaveError &error);
// The same through `system`, which a test watches.
bool write(SystemCalls &system, const QString &path, QByteArrayView bytes, SaveError &error);

} // namespace TextFile
