#include "text_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TextFile {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Why a path cannot be written, told from what is there before touching it.
QString refusal(const QFileInfo &info)
{
    if (info.fileName().isEmpty())
        return QStringLiteral("No file name was given");
    if (info.isDir())
        return systemError(EISDIR);
    if (!info.exists())
        return QString();
    if (!info.isFile())
        return QStringLiteral("Not a regular file");
    // A file nobody may write to stays as it is, even for root, who could.
    constexpr auto anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!info.isWritable() || !(info.permissions() & anyWrite))
        return systemError(EACCES);
    return {};
}

} // namespace

Reader::~Reader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool Reader::open(const QString &path)
{
    if (QFileInfo(path).fileName().isEmpty()) {
        m_error = QStringLiteral("No file name was given");
        return false;
    }
    // Non-blocking, so that a FIFO or a device opens at once and is then refused.
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    struct stat status;
    if (m_fd < 0 || ::fstat(m_fd, &status) != 0) {
        m_error = systemError(errno);
        return false;
    }
    if (S_ISDIR(status.st_mode))
        m_error = systemError(EISDIR);
    else if (!S_ISREG(status.st_mode))
        m_error = QStringLiteral("Not a regular file");
    m_size = status.st_size;
    return m_error.isEmpty();
}

qsizetype Reader::read(char *buffer, qsizetype capacity)
{
    for (;;) {
        const ssize_t count = ::read(m_fd, buffer, size_t(capacity));
        if (count >= 0)
            return count;
        if (errno != EINTR) {
            // "Resource temporarily unavailable" from a file that would block.
            m_error = systemError(errno);
            return -1;
        }
    }
}

bool read(const QString &path, QByteArray &bytes, QString &error)
{
    Reader file;
    QByteArray content;
    bool ok = file.open(path);
    for (qsizetype count = 1; ok && count > 0;) {
        const qsizetype before = content.size();
        content.resize(before + std::max<qsizetype>(file.size() - before, 0) + 65536);
        count = file.read(content.data() + before, content.size() - before);
        content.resize(before + std::max<qsizetype>(count, 0));
        ok = count >= 0;
    }
    if (!ok) {
        error = file.error();
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
    error = refusal(info);
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
