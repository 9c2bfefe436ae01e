#include "text_file.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TextFile {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Why a file of this kind is not read or written; "" for a regular file.
QString notRegular(const struct stat &status)
{
    if (S_ISDIR(status.st_mode))
        return systemError(EISDIR);
    return S_ISREG(status.st_mode) ? QString() : QStringLiteral("Not a regular file");
}

bool hasFileName(const QString &path, QString &error)
{
    if (QFileInfo(path).fileName().isEmpty())
        error = QStringLiteral("No file name was given");
    return error.isEmpty();
}

struct Descriptor
{
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// All of `bytes` from the start of the file; false with errno set when that fails.
bool putAll(int fd, QByteArrayView bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t count = ::pwrite(fd, bytes.data() + done, size_t(bytes.size() - done), off_t(done));
        if (count == 0)
            errno = ENOSPC;
        if (count <= 0 && errno != EINTR)
            return false;
        done += std::max<ssize_t>(count, 0);
    }
    return true;
}

// Writes a new file beside `target` and renames it over; false with errno set
// on failure. `tried` stays false when the new file could not be made like the
// old one; nothing changed then, and the caller writes in place instead.
bool replace(const QByteArray &target, const struct stat &status, QByteArrayView bytes, bool &tried)
{
    QByteArray temporary = target;
    temporary.insert(target.lastIndexOf('/') + 1, '.').append(".XXXXXX");
    Descriptor copy;
    copy.fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (copy.fd < 0)
        return false;
    struct stat made;
    // A group the user is not in cannot be given to the new file.
    tried = ::fstat(copy.fd, &made) == 0
            && (made.st_gid == status.st_gid || ::fchown(copy.fd, uid_t(-1), status.st_gid) == 0)
            && ::fchmod(copy.fd, status.st_mode & 07777) == 0;
    // The data reaches the disk before the name does, so a crash leaves the old or the new file.
    if (tried && putAll(copy.fd, bytes) && ::fdatasync(copy.fd) == 0 && ::close(std::exchange(copy.fd, -1)) == 0
        && ::rename(temporary.constData(), target.constData()) == 0)
        return true;
    const int reason = errno;
    ::unlink(temporary.constData());
    errno = reason;
    return false;
}

} // namespace

Reader::~Reader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool Reader::open(const QString &path)
{
    if (!hasFileName(path, m_error))
        return false;
    // Non-blocking, so that a FIFO or a device opens at once and is then refused.
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    struct stat status;
    if (m_fd < 0 || ::fstat(m_fd, &status) != 0) {
        m_error = systemError(errno);
        return false;
    }
    m_error = notRegular(status);
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

bool write(const QString &path, QByteArrayView bytes, QString &error, bool &damaged)
{
    error.clear();
    damaged = false;
    if (!hasFileName(path, error))
        return false;

    // The path as given is opened for writing first, so that the kernel's own
    // checks decide as for any other program: permissions, read-only mounts,
    // links planted in shared folders. Nothing is truncated here, and only a
    // missing file is created. Reading too where allowed, to keep the old bytes.
    const QByteArray name = QFile::encodeName(path);
    constexpr int flags = O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    Descriptor file;
    file.fd = ::open(name.constData(), O_RDWR | flags);
    const bool readable = file.fd >= 0;
    if (file.fd < 0 && errno == EACCES)
        file.fd = ::open(name.constData(), O_WRONLY | flags);
    const bool created = file.fd < 0 && errno == ENOENT;
    if (created)
        file.fd = ::open(name.constData(), O_RDWR | O_CREAT | flags, 0666);
    struct stat status;
    if (file.fd < 0 || ::fstat(file.fd, &status) != 0) {
        error = systemError(errno);
        return false;
    }
    error = notRegular(status);
    // A file nobody may write to stays as it is, even for root, who could.
    if (error.isEmpty() && !created && !(status.st_mode & 0222))
        error = systemError(EACCES);
    if (!error.isEmpty())
        return false;

    // The file the path names now, through any links, as long as it is the one opened.
    const QByteArray target = QFile::encodeName(QFileInfo(path).canonicalFilePath());
    struct stat there;
    const bool same = !target.isEmpty() && ::stat(target.constData(), &there) == 0
                      && there.st_dev == status.st_dev && there.st_ino == status.st_ino;

    // A new file renamed over the old one is the old one only when the user owns
    // it, no other name shares it and no bit a new file cannot have is set.
    const QByteArray folder = target.left(std::max<qsizetype>(target.lastIndexOf('/'), 1));
    bool tried = false;
    if (same && status.st_nlink == 1 && status.st_uid == ::geteuid()
        && !(status.st_mode & (S_ISUID | S_ISGID | S_ISVTX))
        && ::faccessat(AT_FDCWD, folder.constData(), W_OK | X_OK, AT_EACCESS) == 0) {
        if (replace(target, status, bytes, tried))
            return true;
        if (tried) {
            error = systemError(errno);
            if (created)
                ::unlink(target.constData());
            return false;
        }
    }

    // Otherwise the bytes go into the file itself. The space is claimed first,
    // so that a full disk or a size limit stops the save before anything changed,
    // and the old bytes are kept to put back should the writing fail after all.
    QByteArray old;
    QFile oldFile;
    const bool kept = readable && oldFile.open(file.fd, QIODevice::ReadOnly, QFile::DontCloseHandle)
                      && (old = oldFile.readAll()).size() == status.st_size;
    const bool claimed = bytes.size() <= status.st_size || ::fallocate(file.fd, 0, 0, off_t(bytes.size())) == 0
                         || errno == EOPNOTSUPP;
    // Writing drops setuid and setgid bits unless root writes; the owner sets
    // them again, anyone else cannot, as with any other program.
    const bool privileged = status.st_mode & (S_ISUID | S_ISGID);
    if (claimed && putAll(file.fd, bytes) && ::ftruncate(file.fd, off_t(bytes.size())) == 0
        && (!privileged || ::fchmod(file.fd, status.st_mode & 07777) == 0 || errno == EPERM)
        && ::fdatasync(file.fd) == 0)
        return true;
    error = systemError(errno);
    if (created && same)
        ::unlink(target.constData());
    else if ((!claimed || (kept && putAll(file.fd, old))) && ::ftruncate(file.fd, status.st_size) == 0)
        ::fdatasync(file.fd);
    else
        damaged = true;
    return false;
}

} // namespace TextFile
