#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Whole-file access for source and template files, byte for byte.
// On failure `error` says why in plain words ("Permission denied", "Is a directory", ...).
namespace TextFile {

// Reads a regular file whole. Anything else (a directory, a FIFO, a device) is
// refused before it is opened, so a read never blocks.
bool read(const QString &path, QByteArray &bytes, QString &error);

// Writes all or nothing: on any failure the file keeps its previous content,
// or does not appear if it was new. An existing file keeps its permissions, and
// a symbolic link keeps pointing at the file it names, which gets the new bytes.
bool write(const QString &path, QByteArrayView bytes, QString &error);

} // namespace TextFile
