#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <utility>

#include <sys/types.h>

// The small pieces of POSIX file handling that reading and saving share.
namespace TextFile {

// Owns one open file descriptor and closes it when it goes.
class Descriptor
{
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor() { reset(); }

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    void reset(int fd = -1);
    // Gives up the descriptor without closing it.
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd = -1;
};

// The C library's words for an errno value ("Permission denied", ...).
QString systemError(int error);

class SystemCalls;

// Writes all of `bytes` from the start of the file; false with errno set.
bool putAll(SystemCalls &system, int fd, QByteArrayView bytes);

// Copies the first `size` bytes of `from` to the start of `to`; false with errno set.
bool copyBytes(SystemCalls &system, int from, int to, off_t size);

// Gives `to` exactly the extended attributes of `from`: its ACL and security
// labels live there. False with errno set when any cannot be read or set.
bool copyAttributes(SystemCalls &system, int from, int to);

// The folder that holds the file `path` names: "/" for one at the top.
QByteArray folderOf(const QByteArray &path);

// How much of a file's name the names of Tarnell's own files beside it keep:
// with the dot, the mark and mkostemp's six letters around it, a name stays
// within the 255 bytes (NAME_MAX) a Linux file system allows.
constexpr qsizetype keptNameLength = 200;

// A pattern for mkostemp in `folder`: NAME.tarnell-KIND-XXXXXX, where NAME is
// the name of the file `path` names, cut to keptNameLength; hidden with a
// leading dot when it goes beside the file.
QByteArray helperPattern(const QByteArray &folder, const QByteArray &path, const char *kind, bool hidden);

// Makes `folder`, and any missing folder above it, with `mode`. True when it
// is there; false with errno from the mkdir that failed.
bool makeFolder(SystemCalls &system, const QByteArray &folder, mode_t mode);

// Flushes the folder holding `path`, so that a name made or changed in it
// survives a power cut as well as the file's bytes.
bool syncFolderOf(SystemCalls &system, const QByteArray &path);

} // namespace TextFile
