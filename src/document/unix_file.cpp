#include "unix_file.h"

#include <QList>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace TextFile {

namespace {

// The names of a file's extended attributes; none where the file system has none.
bool attributeNames(int fd, QList<QByteArray> &names)
{
    names.clear();
    for (;;) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP;
        QByteArray list(size, Qt::Uninitialized);
        const ssize_t got = ::flistxattr(fd, list.data(), size_t(list.size()));
        if (got < 0 && errno == ERANGE)
            continue; // one was added meanwhile
        if (got < 0)
            return false;
        list.truncate(got);
        for (const QByteArray &name : list.split('\0'))
            if (!name.isEmpty())
                names << name;
        return true;
    }
}

bool attributeValue(int fd, const QByteArray &name, QByteArray &value)
{
    for (;;) {
        const ssize_t size = ::fgetxattr(fd, name.constData(), nullptr, 0);
        if (size < 0)
            return false;
        value.resize(size);
        const ssize_t got = ::fgetxattr(fd, name.constData(), value.data(), size_t(value.size()));
        if (got >= 0) {
            value.truncate(got);
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
}

bool putAt(int fd, const char *data, qsizetype size, off_t offset)
{
    for (qsizetype done = 0; done < size;) {
        const ssize_t count = ::pwrite(fd, data + done, size_t(size - done), offset + off_t(done));
        if (count == 0)
            errno = ENOSPC;
        if (count <= 0 && errno != EINTR)
            return false;
        done += std::max<ssize_t>(count, 0);
    }
    return true;
}

} // namespace

void Descriptor::reset(int fd)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
}

bool Descriptor::close()
{
    return ::close(std::exchange(m_fd, -1)) == 0;
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool putAll(int fd, QByteArrayView bytes)
{
    return putAt(fd, bytes.data(), bytes.size(), 0);
}

bool copyBytes(int from, int to, off_t size)
{
    constexpr off_t chunk = 1 << 20;
    const auto buffer = std::make_unique<char[]>(chunk);
    for (off_t done = 0; done < size;) {
        const ssize_t count = ::pread(from, buffer.get(), size_t(std::min(size - done, chunk)), done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count == 0)
            errno = EIO; // the file grew shorter under us
        if (count <= 0 || !putAt(to, buffer.get(), count, done))
            return false;
        done += count;
    }
    return true;
}

bool copyAttributes(int from, int to)
{
    QList<QByteArray> wanted, present;
    if (!attributeNames(from, wanted) || !attributeNames(to, present))
        return false;
    // A new file may inherit a folder's default ACL that the old one lacks.
    for (const QByteArray &name : std::as_const(present))
        if (!wanted.contains(name) && ::fremovexattr(to, name.constData()) != 0)
            return false;
    QByteArray value;
    for (const QByteArray &name : std::as_const(wanted))
        if (!attributeValue(from, name, value)
            || ::fsetxattr(to, name.constData(), value.constData(), size_t(value.size()), 0) != 0)
            return false;
    return true;
}

bool syncFolderOf(const QByteArray &path)
{
    const QByteArray folder = path.left(std::max<qsizetype>(path.lastIndexOf('/'), 1));
    const Descriptor fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.isOpen() && ::fsync(fd.get()) == 0;
}

} // namespace TextFile
