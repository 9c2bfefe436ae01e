#include "trust_rule.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TrustRule {

namespace {

bool privateGroup(gid_t group, const User &user)
{
    return group == user.gid && !user.name.isEmpty() && user.groupName == user.name
           && std::all_of(user.groupMembers.cbegin(), user.groupMembers.cend(),
                          [&](const QString &member) { return member == user.name; });
}

QString whose(const Element &element)
{
    return element.ownerName.isEmpty()
               ? QStringLiteral("another user (uid %1)").arg(element.owner)
               : QStringLiteral("another user, %1 (uid %2)").arg(element.ownerName).arg(element.owner);
}

Element element(const QString &path, const struct stat &status)
{
    const passwd *account = ::getpwuid(status.st_uid);
    return {path, status.st_uid, status.st_gid, status.st_mode,
            account ? QString::fromLocal8Bit(account->pw_name) : QString()};
}

} // namespace

QString verdict(const QList<Element> &way, const User &user)
{
    for (const Element &element : way) {
        const bool link = S_ISLNK(element.mode), folder = S_ISDIR(element.mode);
        const QString what = link     ? QStringLiteral("the link %1").arg(element.path)
                             : folder ? QStringLiteral("the folder %1").arg(element.path)
                                      : QStringLiteral("it");
        if (element.owner != user.uid && element.owner != 0)
            return QStringLiteral("%1 belongs to %2").arg(what, whose(element));
        const bool open = (element.mode & S_IWOTH) || ((element.mode & S_IWGRP) && !privateGroup(element.group, user));
        if (open && !link && !(folder && (element.mode & S_ISVTX)))
            return QStringLiteral("others can write to %1").arg(what);
    }
    return {};
}

Way walk(const QString &path)
{
    // As the kernel resolves it, one name at a time: `current` never holds a
    // link, so ".." is its parent.
    Way way;
    QStringList names = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = QStringLiteral("/");
    QString at = current;
    struct stat status;
    int links = 0;
    for (;;) {
        if (::lstat(QFile::encodeName(at).constData(), &status) != 0) {
            way.error = QStringLiteral("%1 could not be examined: %2").arg(at, qt_error_string(errno));
            return way;
        }
        way.elements.prepend(element(at, status));
        if (S_ISLNK(status.st_mode)) {
            char target[PATH_MAX];
            const ssize_t size = ::readlink(QFile::encodeName(at).constData(), target, sizeof target);
            if (size <= 0 || size == sizeof target || ++links > 40) {
                way.error = QStringLiteral("the link %1 could not be followed").arg(at);
                return way;
            }
            const QString to = QFile::decodeName(QByteArray(target, size));
            names = to.split(QLatin1Char('/'), Qt::SkipEmptyParts) + names;
            if (to.startsWith(QLatin1Char('/')))
                current = QStringLiteral("/");
        } else if (!names.isEmpty() && !S_ISDIR(status.st_mode)) {
            way.error = QStringLiteral("%1 is not a folder").arg(at);
            return way;
        } else {
            current = at;
        }
        while (!names.isEmpty() && (names.first() == QLatin1String(".") || names.first() == QLatin1String(".."))) {
            if (names.takeFirst() == QLatin1String(".."))
                current = current.left(std::max<qsizetype>(current.lastIndexOf(QLatin1Char('/')), 1));
        }
        if (names.isEmpty())
            break;
        at = (current == QLatin1String("/") ? current : current + QLatin1Char('/')) + names.takeFirst();
    }
    if (way.elements.first().path != current || !S_ISREG(way.elements.first().mode))
        way.error = QStringLiteral("%1 is not a file").arg(current);
    way.resolved = current;
    return way;
}

User currentUser(bool members)
{
    User user;
    user.uid = ::geteuid();
    const passwd *account = ::getpwuid(user.uid);
    if (!account)
        return user; // no name: no private group
    user.name = QString::fromLocal8Bit(account->pw_name);
    user.gid = account->pw_gid;
    if (const group *primary = ::getgrgid(user.gid)) {
        user.groupName = QString::fromLocal8Bit(primary->gr_name);
        for (char **member = primary->gr_mem; members && *member; ++member)
            user.groupMembers << QString::fromLocal8Bit(*member);
    }
    if (members) {
        ::setpwent();
        while (const passwd *other = ::getpwent()) {
            if (other->pw_gid == user.gid)
                user.groupMembers << QString::fromLocal8Bit(other->pw_name);
        }
        ::endpwent();
    }
    return user;
}

QString trusted(const QString &path, QString &error)
{
    const Way way = walk(path);
    if (!way.error.isEmpty()) {
        error = way.error;
        return {};
    }
    User user = currentUser(false);
    if (std::any_of(way.elements.cbegin(), way.elements.cend(), [&](const Element &element) {
            return (element.mode & S_IWGRP) && element.group == user.gid && !S_ISLNK(element.mode);
        }))
        user = currentUser(true);
    error = verdict(way.elements, user);
    return error.isEmpty() ? way.resolved : QString();
}

} // namespace TrustRule
