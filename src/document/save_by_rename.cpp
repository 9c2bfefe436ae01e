#include "save_strategies.h"

#include <cerrno>

namespace TextFile {

Renamed saveByRename(SystemCalls &system, const SaveTarget &target, QByteArrayView bytes, SaveError &error)
{
    // Named for what it is, in case a crash ever leaves one behind.
    QByteArray temporary = helperPattern(folderOf(target.path), target.path, "save", true);
    Descriptor copy(system.mkostemp(temporary.data(), O_CLOEXEC));
    if (!copy.isOpen())
        return Renamed::NotTried;
    // The group, where the user may give it, and every attribute; else the
    // old file is rewritten instead.
    const gid_t group = target.status.st_gid;
    struct stat made;
    const bool alike = ::fstat(copy.get(), &made) == 0
                       && (made.st_gid == group || system.fchown(copy.get(), group) == 0)
                       && system.fchmod(copy.get(), target.status.st_mode & 07777) == 0
                       && copyAttributes(system, target.fd, copy.get());
    // The data reaches the disk before the name does, so a crash leaves the
    // old or the new file. Closing reports a late write error (NFS, quotas).
    if (alike && putAll(system, copy.get(), bytes) && system.fsync(copy.get()) == 0
        && system.close(copy.release()) == 0 && system.rename(temporary.constData(), target.path.constData()) == 0) {
        // The rename itself is written down with the folder. The text is saved
        // either way; a folder that cannot be synced has no other remedy.
        syncFolderOf(system, target.path);
        return Renamed::Saved;
    }
    const int reason = errno;
    system.unlink(temporary.constData());
    if (!alike)
        return Renamed::NotTried;
    error.reason = systemError(reason);
    return Renamed::Failed;
}

} // namespace TextFile
