#pragma once

// Whole-file reads and writes for setting up and checking real files.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <fcntl.h>

// The file's bytes, or "<unreadable>" when it cannot be read. A FIFO with no
// one writing to it reads as empty instead of blocking.
inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    const int fd = ::open(QFile::encodeName(path), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return fd >= 0 && file.open(fd, QIODevice::ReadOnly, QFile::AutoCloseHandle) ? file.readAll()
                                                                                  : QByteArray("<unreadable>");
}

inline bool writeAll(const QString &path, const QByteArray &bytes, bool executable = false)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    return !executable || file.setPermissions(file.permissions() | QFile::ExeOwner);
}
