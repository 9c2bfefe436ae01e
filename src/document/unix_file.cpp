#include "unix_file.h"

#include "document/system_calls.h"

#include <QList>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

namespace TextFile {

namespace {

// The names of a file's extended attributes; none where the file system has none.
bool attributeNames(SystemCalls &system, int fd, QList<QByteArray> &names)
{
    names.clear();
    for (;;) {
        const ssize_t size = system.flistxattr(fd, nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP;
        QByteArray list(size, Qt::Uninitialized);
        const ssize_t got = system.flistxattr(fd, list.data(), size_t(list.size()));
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

bool attributeValue(SystemCalls &system, int fd, const QByteArray &name, QByteArray &value)
{
    for (;;) {
        const ssize_t size = system.fgetxattr(fd, name.constData(), nullptr, 0);
        if (size < 0)
            return false;
        value.resize(size);
        const ssize_t got = system.fgetxattr(fd, name.constData(), value.data(), size_t(value.size()));
        if (got >= 0) {
            value.truncate(got);
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
}

// Reads and writes go a megabyte at a time: a copy holds no more in memory,
// and a write that fails part-way leaves a file as a copy that fails does.
constexpr qsizetype piece = 1 << 20;

bool putAt(SystemCalls &system, int fd, const char *data, qsizetype size, off_t offset)
{
    for (qsizetype done = 0; done < size;) {
        const ssize_t count =
            system.pwrite(fd, data + done, size_t(std::min(size - done, piece)), offset + off_t(done));
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

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool putAll(SystemCalls &system, int fd, QByteArrayView bytes)
{
    return putAt(system, fd, bytes.data(), bytes.size(), 0);
}

bool copyBytes(SystemCalls &system, int from, int to, off_t size)
{
    const auto buffer = std::make_unique<char[]>(piece);
    for (off_t done = 0; done < size;) {
        const ssize_t count = system.pread(from, buffer.get(), size_t(std::min(size - done, off_t(piece))), done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count == 0)
            errno = EIO; // the file grew shorter under us
        if (count <= 0 || !putAt(system, to, buffer.get(), count, done))
            return false;
        done += count;
    }
    return true;
}

bool copyAttributes(SystemCalls &system, int from, int to)
{
    QList<QByteArray> wanted, present;
    if (!attributeNames(system, from, wanted) || !attributeNames(system, to, present))
        return false;
    // A new file may inherit a folder's default ACL that the old one lacks.
    for (const QByteArray &name : std::as_const(present))
        if (!wanted.contains(name) && system.fremovexattr(to, name.constData()) != 0)
            return false;
    QByteArray value;
    for (const QByteArray &name : std::as_const(wanted))
        if (!attributeValue(system, from, name, value)
            || system.fsetxattr(to, name.constData(), value.constData(), size_t(value.size())) != 0)
            return false;
    return true;
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : path.left(std::max<qsizetype>(slash, 1));
}

QByteArray helperPattern(const QByteArray &folder, const QByteArray &path, const char *kind, bool hidden)
{
    static_assert(1 + keptNameLength + sizeof(".tarnell-save-XXXXXX") <= 255);
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1).left(keptNameLength);
    return folder + (folder.endsWith('/') ? "" : "/") + (hidden ? "." : "") + name + ".tarnell-" + kind + "-XXXXXX";
}

bool makeFolder(SystemCalls &system, const QByteArray &folder, mode_t mode)
{
    if (system.mkdir(folder.constData(), mode) == 0 || errno == EEXIST)
        return true;
    const QByteArray above = folderOf(folder);
    return errno == ENOENT && above != folder && makeFolder(system, above, mode)
           && (system.mkdir(folder.constData(), mode) == 0 || errno == EEXIST);
}

bool syncFolderOf(SystemCalls &system, const QByteArray &path)
{
    const Descriptor fd(system.open(folderOf(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.isOpen() && system.fsync(fd.get()) == 0;
}

} // namespace TextFile
