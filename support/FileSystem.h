// FileSystem: the calls through which the run reaches the disk.
//
// Writing a page (writeAtomically), the output lock, the site writer and the
// file reader make their system calls through a FileSystem instead of
// calling POSIX directly, so a test can put one in between that fails the
// Nth write, rename or fsync, fills the disk, cuts writes short or makes a
// folder read-only, and check that every such fault leaves the previous site
// whole and that the next run repairs it, without root and without mounting
// a small file system.
//
// Each call has the shape, arguments and result of the system call it is
// named after: -1 (and errno set) on failure. posixFileSystem() is the real
// one and the default everywhere; it keeps no state and may be used from any
// thread. An implementation given to a run must be callable from the run's
// writer threads at once.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

namespace tarnwick {

class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual int open(const char* path, int flags, mode_t mode = 0) = 0;
    virtual ssize_t read(int fd, void* buffer, size_t size) = 0;
    virtual ssize_t pread(int fd, void* buffer, size_t size, off_t offset) = 0;
    virtual ssize_t write(int fd, const void* buffer, size_t size) = 0;
    virtual ssize_t pwrite(int fd, const void* buffer, size_t size, off_t offset) = 0;
    virtual int fsync(int fd) = 0;
    virtual int ftruncate(int fd, off_t length) = 0;
    virtual off_t lseek(int fd, off_t offset, int whence) = 0;
    virtual int close(int fd) = 0;
    virtual int fstat(int fd, struct stat* info) = 0;
    virtual int stat(const char* path, struct stat* info) = 0;
    virtual int lstat(const char* path, struct stat* info) = 0;
    // path relative to the folder open as folder (flags: AT_SYMLINK_NOFOLLOW
    // or 0), so a check of thousands of pages in one folder does not walk the
    // folder's own path each time.
    virtual int fstatat(int folder, const char* path, struct stat* info, int flags) = 0;
    virtual int flock(int fd, int operation) = 0;
    // noReplace: fails with EEXIST when to exists (where the file system
    // cannot promise that, with EINVAL).
    virtual int rename(const char* from, const char* to, bool noReplace) = 0;
    virtual int link(const char* from, const char* to) = 0;
    // Gives the unnamed file open as fd (O_TMPFILE) the name to.
    virtual int linkOpenFile(int fd, const char* to) = 0;
    virtual int unlink(const char* path) = 0;
    virtual int mkdir(const char* path, mode_t mode) = 0;
};

// The system's own calls.
FileSystem& posixFileSystem();
}  // namespace tarnwick
