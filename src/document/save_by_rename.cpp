#include "save_strategies.h"

#include <cerrno>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace TextFile {

Renamed saveByRename(const SaveTarget &target, QByteArrayView bytes, SaveError &error, Put put)
{
    // Named for what it is, in case a crash ever leaves one behind.
    const qsizetype slash = target.path.lastIndexOf('/');
    QByteArray temporary =
        target.path.left(slash + 1) + '.' + target.path.mid(slash + 1).left(200) + ".tarnell-save-XXXXXX";
    Descriptor copy(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!copy.isOpen())
        return Renamed::NotTried;
    // A group the user is not in cannot be given to the new file, nor may
    // every attribute be: then the old file is rewritten instead.
    const gid_t group = target.status.st_gid;
    struct stat made;
    const bool alike = ::fstat(copy.get(), &made) == 0
                       && (made.st_gid == group || ::fchown(copy.get(), uid_t(-1), group) == 0)
                       && ::fchmod(copy.get(), target.status.st_mode & 07777) == 0
                       && copyAttributes(target.fd, copy.get());
    // The data reaches the disk before the name does, so a crash leaves the old or the new file.
    if (alike && put(copy.get(), bytes) && ::fsync(copy.get()) == 0 && copy.close()
        && ::rename(temporary.constData(), target.path.constData()) == 0) {
        // The rename itself is written down with the folder. The text is saved
        // either way; a folder that cannot be synced has no other remedy.
        syncFolderOf(target.path);
        return Renamed::Saved;
    }
    const int reason = errno;
    ::unlink(temporary.constData());
    if (!alike)
        return Renamed::NotTried;
    error.reason = systemError(reason);
    return Renamed::Failed;
}

} // namespace TextFile
