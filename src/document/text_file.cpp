#include "text_file.h"

#include "document/save_choice.h"
#include "document/save_strategies.h"
#include "document/system_calls.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TextFile {

namespace {

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

// The user's effective group and supplementary ones.
std::vector<gid_t> userGroups()
{
    std::vector<gid_t> groups(std::max(::getgroups(0, nullptr), 0) + 1, ::getegid());
    groups.resize(std::max(::getgroups(int(groups.size()) - 1, groups.data() + 1), 0) + 1);
    return groups;
}

// Opens the path as given for writing, so that the kernel's own checks decide
// as for any other program: permissions, read-only mounts, links planted in
// shared folders. Nothing is truncated here. Reading too where allowed, to
// keep the old bytes. Only a name that leads to no file is made, and counts as
// made by this save, which removes it again if it fails.
bool openForSave(SystemCalls &system, const QString &path, Descriptor &file, SaveFacts &facts, QString &reason)
{
    const QByteArray name = QFile::encodeName(path);
    constexpr int flags = O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    for (int attempt = 0;; ++attempt) {
        file.reset(system.open(name.constData(), O_RDWR | flags));
        facts.readable = file.isOpen();
        if (!file.isOpen() && errno == EACCES)
            file.reset(system.open(name.constData(), O_WRONLY | flags));
        if (file.isOpen() || errno != ENOENT)
            break;
        file.reset(system.open(name.constData(), O_RDWR | O_CREAT | O_EXCL | flags, 0666));
        // Another program made it meanwhile: it is opened as any other. Still
        // none at the second try, yet a name there: a link to no file, which
        // O_EXCL never follows; made through the link as the kernel allows.
        if (!file.isOpen() && errno == EEXIST && attempt > 0)
            file.reset(system.open(name.constData(), O_RDWR | O_CREAT | flags, 0666));
        facts.created = facts.readable = file.isOpen();
        if (file.isOpen() || errno != EEXIST || attempt > 0)
            break;
    }
    if (!file.isOpen())
        reason = systemError(errno);
    return file.isOpen();
}

// What the opened file is, and whether the name still leads to it: the facts
// the way to save it is chosen from.
bool identify(SystemCalls &system, const QString &path, int fd, SaveTarget &target, SaveFacts &facts, QString &reason)
{
    if (::fstat(fd, &target.status) != 0) {
        reason = systemError(errno);
        return false;
    }
    reason = notRegular(target.status);
    if (!reason.isEmpty())
        return false;
    target.fd = fd;
    target.path = QFile::encodeName(QFileInfo(path).canonicalFilePath());
    struct stat there;
    facts.sameFile = !target.path.isEmpty() && system.stat(target.path.constData(), &there) == 0
                     && there.st_dev == target.status.st_dev && there.st_ino == target.status.st_ino;
    target.created = facts.created && facts.sameFile;
    facts.user = ::geteuid();
    facts.groups = userGroups();
    facts.owner = target.status.st_uid;
    facts.group = target.status.st_gid;
    facts.mode = target.status.st_mode;
    facts.links = target.status.st_nlink;
    facts.size = target.status.st_size;
    facts.folderWritable =
        facts.sameFile && system.faccessat(folderOf(target.path).constData(), W_OK | X_OK) == 0;
    return true;
}

} // namespace

bool Reader::open(const QString &path)
{
    if (!hasFileName(path, m_error))
        return false;
    // Non-blocking, so that a FIFO or a device opens at once and is then refused.
    m_file.reset(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat status;
    if (!m_file.isOpen() || ::fstat(m_file.get(), &status) != 0) {
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
        const ssize_t count = ::read(m_file.get(), buffer, size_t(capacity));
        if (count >= 0)
            return count;
        if (errno != EINTR) {
            // "Resource temporarily unavailable" from a file that would block.
            m_error = systemError(errno);
            return -1;
        }
    }
}

bool write(const QString &path, QByteArrayView bytes, SaveError &error)
{
    SystemCalls system;
    return write(system, path, bytes, error);
}

bool write(SystemCalls &system, const QString &path, QByteArrayView bytes, SaveError &error)
{
    error = {};
    Descriptor file;
    SaveTarget target;
    SaveFacts facts;
    if (!hasFileName(path, error.reason))
        return false;
    // A file another program put in its place meanwhile is the one saved:
    // the one opened would take the text out of sight.
    for (int attempt = 0; attempt < 2 && (attempt == 0 || !facts.sameFile); ++attempt) {
        facts = {};
        if (!openForSave(system, path, file, facts, error.reason)
            || !identify(system, path, file.get(), target, facts, error.reason))
            return false;
    }

    // By rename where that keeps the file what it was; else in place.
    SaveWay way = chooseSaveWay(facts);
    if (way == SaveWay::Rename) {
        switch (saveByRename(system, target, bytes, error)) {
        case Renamed::Saved:
            return true;
        case Renamed::Failed:
            if (target.created)
                system.unlink(target.path.constData());
            return false;
        case Renamed::NotTried:
            facts.newFileAlike = false;
            way = chooseSaveWay(facts);
        }
    }
    if (way == SaveWay::Refuse) {
        error.reason = systemError(EACCES);
        return false;
    }
    return saveInPlace(system, target, way, bytes, error);
}

} // namespace TextFile
