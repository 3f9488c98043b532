// FaultyFileSystem: the system's calls with faults put in, for the tests of
// what a run leaves when the disk fails it.
#pragma once

#include <atomic>
#include <string>

#include "support/FileSystem.h"

namespace tarnwick::testing {

// Each rule fails one kind of call from its Nth use on (counted over all
// threads, from 1), or every call that would change a folder. Otherwise the
// system's own calls are made.
class FaultyFileSystem : public FileSystem {
public:
    enum class Call { Write, Rename, Fsync, Open, Link };

    // The nth call of that kind and every later one fail with error (a
    // Write: ENOSPC stands for a full disk). nth 0: no fault.
    void failFrom(Call call, int nth, int error);
    // Every write stores at most this many bytes (0: no limit); short writes
    // are not failures, a writer must go on.
    void cutWritesTo(size_t bytes) { m_cut = bytes; }
    // Any call that would create, change or remove a name under folder
    // fails with EROFS, as on a read-only mount.
    void makeReadOnly(std::string folder) { m_readOnly = std::move(folder); }
    // How many calls of that kind were made so far.
    int calls(Call call) const { return m_counts[static_cast<int>(call)].load(); }

    int open(const char* path, int flags, mode_t mode) override;
    ssize_t read(int fd, void* buffer, size_t size) override;
    ssize_t pread(int fd, void* buffer, size_t size, off_t offset) override;
    ssize_t write(int fd, const void* buffer, size_t size) override;
    ssize_t pwrite(int fd, const void* buffer, size_t size, off_t offset) override;
    int fsync(int fd) override;
    int ftruncate(int fd, off_t length) override;
    off_t lseek(int fd, off_t offset, int whence) override;
    int close(int fd) override;
    int fstat(int fd, struct stat* info) override;
    int stat(const char* path, struct stat* info) override;
    int lstat(const char* path, struct stat* info) override;
    int fstatat(int folder, const char* path, struct stat* info, int flags) override;
    int flock(int fd, int operation) override;
    int rename(const char* from, const char* to, bool noReplace) override;
    int link(const char* from, const char* to) override;
    int linkOpenFile(int fd, const char* to) override;
    int unlink(const char* path) override;
    int mkdir(const char* path, mode_t mode) override;

private:
    static constexpr int kCalls = 5;
    // True (errno set) when this call of that kind is to fail.
    bool fails(Call call);
    bool readOnly(const char* path) const;

    std::atomic<int> m_counts[kCalls] = {};
    int m_from[kCalls] = {};
    int m_error[kCalls] = {};
    size_t m_cut = 0;
    std::string m_readOnly;
};

}  // namespace tarnwick::testing
