#include "tests/support/FaultyFileSystem.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

namespace tarnwick::testing {

void FaultyFileSystem::failFrom(Call call, int nth, int error) {
    m_from[static_cast<int>(call)] = nth;
    m_error[static_cast<int>(call)] = error;
}

bool FaultyFileSystem::fails(Call call) {
    const int kind = static_cast<int>(call);
    const int count = ++m_counts[kind];
    if (m_from[kind] == 0 || count < m_from[kind]) return false;
    errno = m_error[kind];
    return true;
}

bool FaultyFileSystem::readOnly(const char* path) const {
    if (m_readOnly.empty() || !std::string_view(path).starts_with(m_readOnly)) return false;
    errno = EROFS;
    return true;
}

int FaultyFileSystem::open(const char* path, int flags, mode_t mode) {
    const bool changes = (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0;
    if ((changes && readOnly(path)) || fails(Call::Open)) return -1;
    return posixFileSystem().open(path, flags, mode);
}
ssize_t FaultyFileSystem::read(int fd, void* buffer, size_t size) {
    return posixFileSystem().read(fd, buffer, size);
}
ssize_t FaultyFileSystem::pread(int fd, void* buffer, size_t size, off_t offset) {
    return posixFileSystem().pread(fd, buffer, size, offset);
}
ssize_t FaultyFileSystem::write(int fd, const void* buffer, size_t size) {
    if (fails(Call::Write)) return -1;
    return posixFileSystem().write(fd, buffer, m_cut > 0 ? std::min(size, m_cut) : size);
}
ssize_t FaultyFileSystem::pwrite(int fd, const void* buffer, size_t size, off_t offset) {
    if (fails(Call::Write)) return -1;
    return posixFileSystem().pwrite(fd, buffer, m_cut > 0 ? std::min(size, m_cut) : size, offset);
}
int FaultyFileSystem::fsync(int fd) {
    return fails(Call::Fsync) ? -1 : posixFileSystem().fsync(fd);
}
int FaultyFileSystem::ftruncate(int fd, off_t length) {
    return posixFileSystem().ftruncate(fd, length);
}
off_t FaultyFileSystem::lseek(int fd, off_t offset, int whence) {
    return posixFileSystem().lseek(fd, offset, whence);
}
int FaultyFileSystem::close(int fd) { return posixFileSystem().close(fd); }
int FaultyFileSystem::fstat(int fd, struct stat* info) { return posixFileSystem().fstat(fd, info); }
int FaultyFileSystem::stat(const char* path, struct stat* info) {
    return posixFileSystem().stat(path, info);
}
int FaultyFileSystem::lstat(const char* path, struct stat* info) {
    return posixFileSystem().lstat(path, info);
}
int FaultyFileSystem::fstatat(int folder, const char* path, struct stat* info, int flags) {
    return posixFileSystem().fstatat(folder, path, info, flags);
}
int FaultyFileSystem::flock(int fd, int operation) {
    return posixFileSystem().flock(fd, operation);
}
int FaultyFileSystem::rename(const char* from, const char* to, bool noReplace) {
    if (readOnly(to) || fails(Call::Rename)) return -1;
    return posixFileSystem().rename(from, to, noReplace);
}
int FaultyFileSystem::link(const char* from, const char* to) {
    if (readOnly(to) || fails(Call::Link)) return -1;
    return posixFileSystem().link(from, to);
}
int FaultyFileSystem::linkOpenFile(int fd, const char* to) {
    if (readOnly(to) || fails(Call::Link)) return -1;
    return posixFileSystem().linkOpenFile(fd, to);
}
int FaultyFileSystem::unlink(const char* path) {
    return readOnly(path) ? -1 : posixFileSystem().unlink(path);
}
int FaultyFileSystem::mkdir(const char* path, mode_t mode) {
    return readOnly(path) ? -1 : posixFileSystem().mkdir(path, mode);
}

}  // namespace tarnwick::testing
