#pragma once

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
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;
    ~Reader();

    bool open(const QString &path);
    // The size the file had when it was opened.
    qsizetype size() const { return m_size; }
    // Up to `capacity` bytes; 0 at the end, -1 on failure.
    qsizetype read(char *buffer, qsizetype capacity);
    QString error() const { return m_error; }

private:
    int m_fd = -1;
    qsizetype m_size = 0;
    QString m_error;
};

// Reads a whole file.
bool read(const QString &path, QByteArray &bytes, QString &error);

// Writes all or nothing: on any failure the file keeps its previous content,
// or does not appear if it was new. The path is opened for writing as given
// first, so the kernel's own checks apply (permissions, read-only mounts,
// protected symlinks). The file stays what it was: a new file is renamed over
// it only where that keeps its owner, group, mode and links; elsewhere it is
// rewritten in place, with the old bytes put back if that fails. A symbolic
// link stays a link and the file it names gets the new bytes. Only when the
// old bytes could not be read beforehand or written back does a failed
// rewrite leave the file changed: then `damaged` is set.
bool write(const QString &path, QByteArrayView bytes, QString &error, bool &damaged);

} // namespace TextFile
