#include "memory_check.h"

#include "document/text_file.h"
#include "platform/editor.h"

#include <QFile>

#include <algorithm>
#include <new>

#include <sys/resource.h>

namespace {

// Peak memory over the text's size, measured on the real editor: 2.4 for
// source lines of 30 bytes, 3.1 for lines of 8, 6 for a text of nothing but
// line ends (the line index grows with the count of lines). Four leaves room
// for the copy of the old text that Undo keeps.
constexpr qint64 bytesPerByte = 4;

QByteArray readProc(const char *path)
{
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QString sizeText(qint64 bytes)
{
    constexpr double kilo = 1024, mega = kilo * 1024, giga = mega * 1024;
    if (bytes >= giga)
        return QStringLiteral("%1 GB").arg(bytes / giga, 0, 'f', 1);
    if (bytes >= mega)
        return QStringLiteral("%1 MB").arg(qRound64(bytes / mega));
    if (bytes >= kilo)
        return QStringLiteral("%1 KB").arg(qRound64(bytes / kilo));
    return QStringLiteral("%1 bytes").arg(bytes);
}

qint64 memoryNeeded(qint64 size)
{
    return size * bytesPerByte;
}

QString memoryShortage(qint64 size, std::optional<qint64> available, const QString &verb)
{
    if (!available || memoryNeeded(size) <= *available)
        return {};
    return QStringLiteral("The file is %1; to %2 it the editor needs about %3 of memory, and %4 are free")
        .arg(sizeText(size), verb, sizeText(memoryNeeded(size)), sizeText(std::max<qint64>(*available, 0)));
}

std::optional<qint64> kilobyteField(QByteArrayView text, QByteArrayView name)
{
    for (const QByteArray &line : text.toByteArray().split('\n')) {
        if (!line.startsWith(name) || !line.mid(name.size()).startsWith(':'))
            continue;
        const QByteArray value = line.mid(name.size() + 1).trimmed();
        bool number = false;
        const qint64 kilobytes = value.endsWith(" kB") ? value.chopped(3).toLongLong(&number) : 0;
        return number ? std::optional(kilobytes * 1024) : std::nullopt;
    }
    return std::nullopt;
}

std::optional<qint64> availableMemory()
{
    std::optional<qint64> available = kilobyteField(readProc("/proc/meminfo"), "MemAvailable");
    // `prlimit --as` fails allocations instead: past the limit less what is mapped.
    rlimit limit{};
    const std::optional<qint64> mapped = kilobyteField(readProc("/proc/self/status"), "VmSize");
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && mapped) {
        const qint64 left = qint64(limit.rlim_cur) - *mapped;
        available = std::min(available.value_or(left), left);
    }
    return available;
}

bool readInto(Editor &editor, const QString &path, const QString &verb, EmptyFile empty, QString &reason)
{
    TextFile::Reader file;
    if (!file.open(path)) {
        reason = file.error();
        return false;
    }
    const qint64 size = file.size();
    reason = size > Editor::maxSize
                 ? QStringLiteral("The file is %1, larger than the 2 GB the editor can hold").arg(sizeText(size))
                 : memoryShortage(size, availableMemory(), verb);
    if (!reason.isEmpty())
        return false;
    // An empty template is told apart by what is read, not by its size:
    // files under /proc say 0 and are not empty.
    bool nothing = true;
    try {
        if (editor.replaceText(size, [&](char *buffer, qsizetype capacity) -> qsizetype {
                const qsizetype count = file.read(buffer, capacity);
                if (count == 0 && nothing && empty == EmptyFile::Refused)
                    return -1;
                nothing = nothing && count == 0;
                return count;
            }))
            return true;
        reason = !file.error().isEmpty() ? file.error()
                 : nothing               ? QStringLiteral("The file is empty")
                                         : QStringLiteral("The file grew larger than the 2 GB the editor can hold");
    } catch (const std::bad_alloc &) {
        reason = QStringLiteral("Not enough memory to %1 a file of %2; the text in the editor is as it was")
                     .arg(verb, sizeText(size));
    }
    return false;
}
