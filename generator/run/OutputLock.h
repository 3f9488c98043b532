// OutputLock: one run at a time writes into an output folder.
//
// The lock is the file .tarnwick-lock in the folder, held with flock() for
// as long as the object lives. The kernel lets go of it when the process
// ends, however it ends, so a lock file left behind by a killed run is stale
// by construction and simply taken over. The file holds the holder's process
// id, for the message of a run that finds the lock taken; releasing removes
// the file again. A file of that name that holds anything else is not a
// lock file: it is neither written nor removed, and the lock is refused.
//
// Every writer into a site (a whole run, or one that rewrites only what
// changed) takes this lock before its first write and keeps it until its
// last one.
#pragma once

#include <string>

#include "support/Errors.h"
#include "support/FileSystem.h"

namespace tarnwick {

class OutputLock {
public:
    // Name of the lock file in the folder.
    static constexpr const char* kLockFile = ".tarnwick-lock";

    // Takes the lock of folder (which must exist), at once or not at all: when
    // another process holds it, fails with a message saying that another run
    // is writing there.
    static Expected<OutputLock> acquire(const std::string& folder,
                                        FileSystem& disk = posixFileSystem());

    OutputLock(OutputLock&& other) noexcept;
    OutputLock& operator=(OutputLock&& other) noexcept;
    OutputLock(const OutputLock&) = delete;
    OutputLock& operator=(const OutputLock&) = delete;
    ~OutputLock();  // release()

    bool held() const { return m_fd >= 0; }
    // Removes the lock file and lets go of the lock; nothing when not held.
    void release();

private:
    OutputLock(int fd, std::string path, FileSystem& disk)
        : m_fd(fd), m_path(std::move(path)), m_disk(&disk) {}

    int m_fd = -1;
    std::string m_path;
    FileSystem* m_disk = nullptr;  // outlives the lock
};

}  // namespace tarnwick
