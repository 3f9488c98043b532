#include "generator/run/OutputLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "support/File.h"

namespace tarnwick {

namespace {

bool sameFile(FileSystem& disk, int fd, const std::string& path) {
    struct stat open {};
    struct stat named {};
    return disk.fstat(fd, &open) == 0 && disk.lstat(path.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// The holder's process id as its lock file says, or "" when unreadable.
std::string holderOf(FileSystem& disk, int fd) {
    char text[32] = {};
    const ssize_t n = disk.pread(fd, text, sizeof text - 1, 0);
    if (n <= 0) return {};
    std::string pid(text, static_cast<size_t>(n));
    pid.erase(pid.find_last_not_of("\r\n ") + 1);
    return pid.find_first_not_of("0123456789") == std::string::npos ? pid : std::string();
}

}  // namespace

Expected<OutputLock> OutputLock::acquire(const std::string& folder, FileSystem& disk) {
    const std::string path = withTrailingSlash(folder) + kLockFile;
    // A run that let go in between removed the file we opened; a few tries
    // reach the file that is there now.
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Never through a link: the lock file is written and removed.
        bool created = true;
        int fd = disk.open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0 && errno == EEXIST) {
            created = false;
            fd = disk.open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
            if (fd < 0 && errno == ENOENT) continue;
        }
        if (fd < 0) return Error{path + ": cannot open the lock file: " + std::strerror(errno)};
        if (disk.flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            const std::string holder = error == EWOULDBLOCK ? holderOf(disk, fd) : std::string();
            disk.close(fd);
            if (error != EWOULDBLOCK) return Error{path + ": cannot lock: " + std::strerror(error)};
            return Error{folder + ": another run" +
                         (holder.empty() ? std::string() : " (process " + holder + ")") +
                         " is writing there; try again when it has finished"};
        }
        if (!sameFile(disk, fd, path)) {
            disk.close(fd);
            continue;
        }
        // A file of that name that is no lock file (it holds more than a
        // process id) is someone's: neither written nor removed.
        if (!created && holderOf(disk, fd).empty() && disk.lseek(fd, 0, SEEK_END) != 0) {
            disk.close(fd);
            return Error{path + ": is not a lock file of this program; it is left alone"};
        }
        // The lock holds without the process id too; only a message would lack it.
        const std::string pid = std::to_string(::getpid()) + "\n";
        if (disk.ftruncate(fd, 0) == 0) {
            [[maybe_unused]] const ssize_t n = disk.pwrite(fd, pid.data(), pid.size(), 0);
        }
        return OutputLock(fd, path, disk);
    }
    return Error{path + ": the lock file keeps changing; another run is writing there"};
}

OutputLock::OutputLock(OutputLock&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::move(other.m_path)), m_disk(other.m_disk) {}

OutputLock& OutputLock::operator=(OutputLock&& other) noexcept {
    if (this != &other) {
        release();
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::move(other.m_path);
        m_disk = other.m_disk;
    }
    return *this;
}

OutputLock::~OutputLock() { release(); }

void OutputLock::release() {
    if (m_fd < 0) return;
    // Removed while still held, so no other run can hold the file removed.
    if (sameFile(*m_disk, m_fd, m_path)) m_disk->unlink(m_path.c_str());
    m_disk->close(m_fd);
    m_fd = -1;
}

}  // namespace tarnwick
