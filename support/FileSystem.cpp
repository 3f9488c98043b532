#include "support/FileSystem.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace tarnwick {

namespace {

class PosixFileSystem final : public FileSystem {
public:
    int open(const char* path, int flags, mode_t mode) override {
        return ::open(path, flags, mode);
    }
    ssize_t read(int fd, void* buffer, size_t size) override { return ::read(fd, buffer, size); }
    ssize_t pread(int fd, void* buffer, size_t size, off_t offset) override {
        return ::pread(fd, buffer, size, offset);
    }
    ssize_t write(int fd, const void* buffer, size_t size) override {
        return ::write(fd, buffer, size);
    }
    ssize_t pwrite(int fd, const void* buffer, size_t size, off_t offset) override {
        return ::pwrite(fd, buffer, size, offset);
    }
    int fsync(int fd) override { return ::fsync(fd); }
    int ftruncate(int fd, off_t length) override { return ::ftruncate(fd, length); }
    off_t lseek(int fd, off_t offset, int whence) override { return ::lseek(fd, offset, whence); }
    int close(int fd) override { return ::close(fd); }
    int fstat(int fd, struct stat* info) override { return ::fstat(fd, info); }
    int stat(const char* path, struct stat* info) override { return ::stat(path, info); }
    int lstat(const char* path, struct stat* info) override { return ::lstat(path, info); }
    int fstatat(int folder, const char* path, struct stat* info, int flags) override {
        return ::fstatat(folder, path, info, flags);
    }
    int flock(int fd, int operation) override { return ::flock(fd, operation); }
    int rename(const char* from, const char* to, bool noReplace) override {
        return noReplace ? ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE)
                         : ::rename(from, to);
    }
    int link(const char* from, const char* to) override { return ::link(from, to); }
    int linkOpenFile(int fd, const char* to) override {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, to, AT_SYMLINK_FOLLOW);
    }
    int unlink(const char* path) override { return ::unlink(path); }
    int mkdir(const char* path, mode_t mode) override { return ::mkdir(path, mode); }
};

}  // namespace

FileSystem& posixFileSystem() {
    static PosixFileSystem posix;
    return posix;
}

}  // namespace tarnwick
