#include "text_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace TextFile {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Why a path cannot be read or written, told from what is there before touching it.
QString refusal(const QFileInfo &info, bool forWriting)
{
    if (info.fileName().isEmpty())
        return QStringLiteral("No file name was given");
    if (info.isDir())
        return systemError(EISDIR);
    if (!info.exists())
        return forWriting ? QString() : systemError(ENOENT);
    if (!info.isFile())
        return QStringLiteral("Not a regular file");
    // A file nobody may write to stays as it is, even for root, who could.
    constexpr auto anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (forWriting ? !info.isWritable() || !(info.permissions() & anyWrite) : !info.isReadable())
        return systemError(EACCES);
    return {};
}

} // namespace

bool read(const QString &path, QByteArray &bytes, QString &error)
{
    const QFileInfo info(path);
    error = refusal(info, false);
    if (!error.isEmpty())
        return false;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    bytes = std::move(content);
    return true;
}

bool write(const QString &path, QByteArrayView bytes, QString &error)
{
    // A save must never replace a file that its owner made read-only, even
    // though the folder would let us swap it for a new one.
    const QFileInfo info(path);
    error = refusal(info, true);
    if (!error.isEmpty())
        return false;
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir()) {
        error = systemError(ENOENT);
        return false;
    }

    // Unbuffered, so a short write (a full disk, a file-size limit) shows here
    // instead of vanishing in a flush that QSaveFile::commit() does not check.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = file.errorString();
        return false;
    }
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0) {
            error = file.errorString(); // the failing call set errno: "No space left on device"...
            file.cancelWriting();
            return false;
        }
        written += count;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace TextFile
