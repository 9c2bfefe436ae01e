#include "save_strategies.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <utility>

namespace TextFile {

namespace {

// Why no copy of the old bytes could be kept in `folder`, from errno.
QString noCopy(const QByteArray &folder)
{
    return QStringLiteral("Could not keep a copy of its old text in %1: %2")
        .arg(QFile::decodeName(folder), systemError(errno));
}

// A folder of the user's own for copies of files whose folder they cannot
// write: mode 700, so that no one reads a copy who could not read the file.
QByteArray ownFolder(SystemCalls &system, QString &reason)
{
    const std::pair<const char *, const char *> places[] = {{"XDG_STATE_HOME", "/.local/state"},
                                                             {"XDG_CACHE_HOME", "/.cache"}};
    for (const auto &[variable, fallback] : places) {
        QString base = qEnvironmentVariable(variable);
        if (!QDir::isAbsolutePath(base))
            base = QDir::homePath() + QLatin1String(fallback);
        const QByteArray folder = QFile::encodeName(base + QLatin1String("/tarnell"));
        // Its own reason where it cannot be made, not the open's that follows.
        const bool made = makeFolder(system, folder, 0700);
        const Descriptor fd(made ? system.open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC) : -1);
        struct stat status;
        if (fd.isOpen() && ::fstat(fd.get(), &status) == 0) {
            if (status.st_uid != ::geteuid())
                errno = EACCES; // someone else's folder keeps no copy of ours
            else if ((status.st_mode & 077) == 0 || system.fchmod(fd.get(), 0700) == 0) {
                reason.clear(); // the state folder's failure, where the cache folder serves
                return folder;
            }
        }
        reason = noCopy(folder);
    }
    return {};
}

// The file's old bytes on disk, for as long as the file is being rewritten.
class OldCopy
{
public:
    explicit OldCopy(SystemCalls &system) : m_system(system) {}
    // Written and synced, or false with the reason.
    bool make(const SaveTarget &target, bool beside, QString &reason)
    {
        const QByteArray folder = beside ? folderOf(target.path) : ownFolder(m_system, reason);
        if (folder.isEmpty())
            return false;
        m_path = helperPattern(folder, target.path, "old", beside);
        m_fd.reset(m_system.mkostemp(m_path.data(), O_CLOEXEC));
        if (!m_fd.isOpen())
            m_path.clear();
        if (m_fd.isOpen() && copyBytes(m_system, target.fd, m_fd.get(), target.status.st_size)
            && m_system.fsync(m_fd.get()) == 0 && syncFolderOf(m_system, m_path))
            return true;
        reason = noCopy(folder);
        remove();
        return false;
    }
    bool putBack(const SaveTarget &target) const
    {
        return m_fd.isOpen() && copyBytes(m_system, m_fd.get(), target.fd, target.status.st_size);
    }
    void remove()
    {
        if (!m_path.isEmpty())
            m_system.unlink(m_path.constData());
        m_path.clear();
    }
    QString path() const { return QFile::decodeName(m_path); }

private:
    SystemCalls &m_system;
    QByteArray m_path;
    Descriptor m_fd;
};

} // namespace

bool saveInPlace(SystemCalls &system, const SaveTarget &target, SaveWay way, QByteArrayView bytes, SaveError &error)
{
    const off_t oldSize = target.status.st_size;
    OldCopy copy(system);
    // From here on, killed at any moment, the old text is whole in the file or
    // in the copy. Where no copy can be kept, the file is not touched.
    if (way != SaveWay::Rewrite && !copy.make(target, way == SaveWay::CopyBeside, error.reason))
        return false;

    // The space is claimed first, so that a full disk or a size limit stops the
    // save before anything changed.
    const bool claimed = bytes.size() <= oldSize || system.fallocate(target.fd, off_t(bytes.size())) == 0
                         || errno == EOPNOTSUPP;
    // Writing drops setuid and setgid bits unless root writes, putting the
    // old bytes back too; the owner sets them again, anyone else cannot, as
    // with any other program.
    const bool privileged = target.status.st_mode & (S_ISUID | S_ISGID);
    const auto keepMode = [&] {
        return !privileged || system.fchmod(target.fd, target.status.st_mode & 07777) == 0 || errno == EPERM;
    };
    if (claimed && putAll(system, target.fd, bytes) && system.ftruncate(target.fd, off_t(bytes.size())) == 0
        && keepMode() && system.fdatasync(target.fd) == 0) {
        copy.remove();
        return true;
    }
    error.reason = systemError(errno);
    if (target.created) {
        system.unlink(target.path.constData());
        return false;
    }
    // The mode is set again even where the bytes could not be put back.
    const bool putBack =
        (!claimed || oldSize == 0 || copy.putBack(target)) && system.ftruncate(target.fd, oldSize) == 0;
    if (keepMode() && putBack && system.fdatasync(target.fd) == 0) {
        copy.remove();
        return false;
    }
    error.damaged = true;
    error.oldCopy = copy.path();
    return false;
}

} // namespace TextFile
