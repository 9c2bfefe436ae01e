#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

class Editor;

// What a text costs the editor, weighed before it is read: where memory runs
// short, the kernel ends a program rather than fail its allocation.

// "512 bytes", "12 KB", "340 MB", "1.5 GB", in units of 1024.
QString sizeText(qint64 bytes);

// The memory the editor needs, about, to take a text of `size` bytes.
qint64 memoryNeeded(qint64 size);

// Why a text of `size` bytes should not be taken with `available` bytes of
// memory free, with the figures; "" when it may, or when nothing is known.
// `verb` says what would be done with it ("load").
QString memoryShortage(qint64 size, std::optional<qint64> available, const QString &verb);

// The bytes a "Name:   123 kB" line of /proc/meminfo or /proc/self/status gives.
std::optional<qint64> kilobyteField(QByteArrayView text, QByteArrayView name);

// What this process can still take: the memory the system has free, and no
// more than an address space limit (ulimit -v) leaves. Nothing when unknown.
std::optional<qint64> availableMemory();

// Puts the text of the regular file at `path` in place of the editor's text,
// read piece by piece, when it fits in the editor and in the memory there is.
// Otherwise false with the reason, and the text as it was.
enum class EmptyFile { Loads, Refused };
bool readInto(Editor &editor, const QString &path, const QString &verb, EmptyFile empty, QString &reason);
