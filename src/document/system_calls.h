#pragma once

#include <cstdio>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

// The system calls by which a save changes files or learns what it may do,
// each as the C library has it. A test derives from it to see them in order
// and to fail any one of them.
namespace TextFile {

class SystemCalls
{
public:
    virtual ~SystemCalls() = default;

    int open(const char *path, int flags, mode_t mode = 0)
    {
        return allow("open", -1, path) ? ::open(path, flags, mode) : -1;
    }
    int stat(const char *path, struct stat *status)
    {
        return allow("stat", -1, path) ? ::stat(path, status) : -1;
    }
    int faccessat(const char *path, int mode)
    {
        return allow("faccessat", -1, path) ? ::faccessat(AT_FDCWD, path, mode, AT_EACCESS) : -1;
    }
    int mkdir(const char *path, mode_t mode) { return allow("mkdir", -1, path) ? ::mkdir(path, mode) : -1; }
    int mkostemp(char *pattern, int flags) { return allow("mkostemp", -1, pattern) ? ::mkostemp(pattern, flags) : -1; }
    ssize_t pread(int fd, void *data, size_t size, off_t at)
    {
        return allow("pread", fd) ? ::pread(fd, data, size, at) : -1;
    }
    ssize_t pwrite(int fd, const void *data, size_t size, off_t at)
    {
        return allow("pwrite", fd) ? ::pwrite(fd, data, size, at) : -1;
    }
    int fsync(int fd) { return allow("fsync", fd) ? ::fsync(fd) : -1; }
    int fdatasync(int fd) { return allow("fdatasync", fd) ? ::fdatasync(fd) : -1; }
    int fallocate(int fd, off_t size) { return allow("fallocate", fd) ? ::fallocate(fd, 0, 0, size) : -1; }
    int ftruncate(int fd, off_t size) { return allow("ftruncate", fd) ? ::ftruncate(fd, size) : -1; }
    int fchown(int fd, gid_t group) { return allow("fchown", fd) ? ::fchown(fd, uid_t(-1), group) : -1; }
    int fchmod(int fd, mode_t mode) { return allow("fchmod", fd) ? ::fchmod(fd, mode) : -1; }
    ssize_t flistxattr(int fd, char *names, size_t size)
    {
        return allow("flistxattr", fd) ? ::flistxattr(fd, names, size) : -1;
    }
    ssize_t fgetxattr(int fd, const char *name, void *value, size_t size)
    {
        return allow("fgetxattr", fd) ? ::fgetxattr(fd, name, value, size) : -1;
    }
    int fsetxattr(int fd, const char *name, const void *value, size_t size)
    {
        return allow("fsetxattr", fd) ? ::fsetxattr(fd, name, value, size, 0) : -1;
    }
    int fremovexattr(int fd, const char *name) { return allow("fremovexattr", fd) ? ::fremovexattr(fd, name) : -1; }
    int rename(const char *from, const char *to) { return allow("rename", -1, from) ? ::rename(from, to) : -1; }
    int unlink(const char *path) { return allow("unlink", -1, path) ? ::unlink(path) : -1; }
    int close(int fd) { return allow("close", fd) ? ::close(fd) : (::close(fd), -1); }

protected:
    // Whether the call goes ahead; false fails it with errno as set. It acts
    // on the open file `fd`, or else on the file `path` names.
    virtual bool allow(const char *call, int fd, const char *path = nullptr)
    {
        (void)call, (void)fd, (void)path;
        return true;
    }
};

} // namespace TextFile
