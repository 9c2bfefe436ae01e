#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <sys/types.h>

// Whether a file in the working folder may run. The working folder follows
// the file dialogs into shared folders such as /tmp, where anyone can leave an
// asm.bat: only what the user (or root) chose, and no one else can change or
// swap before it runs, is run. The verdict works on facts alone; trusted()
// gathers them from the file system.
namespace TrustRule {

// One step on the way to a file, as lstat() sees it: the file, a folder the
// way passes through, or a symbolic link on it.
struct Element
{
    QString path;
    uid_t owner = 0;
    gid_t group = 0;
    mode_t mode = 0;   // with the type: S_IFREG, S_IFDIR or S_IFLNK
    QString ownerName; // the owner's login name, "" where the uid has none

    Element() = default;
    Element(const QString &path, uid_t owner, gid_t group, mode_t mode, const QString &ownerName = {})
        : path(path), owner(owner), group(group), mode(mode), ownerName(ownerName)
    {
    }
};

// The user, and the user's primary group with its members: the ones it lists
// and every account whose primary group it is.
struct User
{
    uid_t uid = 0;
    QString name;
    gid_t gid = 0;
    QString groupName;
    QStringList groupMembers;
};

// Why the file at the start of `way` is not to be run by `user`, or "". Every
// element must be the user's or root's, and neither the file nor a folder may
// be open to others, a sticky folder excepted (no one renames over another's
// file there); a link's own permissions mean nothing. The user's private
// group counts as the user's own: the primary group, named as the user, with
// no member but the user (as Debian's OpenSSH has it for StrictModes).
QString verdict(const QList<Element> &way, const User &user);

// What resolving the absolute `path` passes through: the file first, then
// every folder and link up to / as the links lead; and the resolved path,
// which holds no link, so that what runs is what was checked.
struct Way
{
    QList<Element> elements;
    QString resolved;
    QString error;
};
Way walk(const QString &path);

// This process's user; the group's members only when `members` (finding the
// accounts whose primary group it is reads the whole account list).
User currentUser(bool members);

// The resolved path of `path` (absolute) when the verdict on the real file
// system lets it run, else "" with the reason in `error`.
QString trusted(const QString &path, QString &error);

} // namespace TrustRule
