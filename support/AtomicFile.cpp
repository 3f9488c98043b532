#include "support/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <vector>

namespace tarnwick {

namespace {

FileStamp stampFrom(const struct stat& info) {
    if (!S_ISREG(info.st_mode)) return {};
    return {static_cast<int64_t>(info.st_size),
            static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
            static_cast<uint64_t>(info.st_ino)};
}

// A name beside path that no other call of any process uses at the same time.
std::string partNameFor(const std::string& path) {
    static std::atomic<uint64_t> sequence{0};
    return path + '.' + std::to_string(::getpid()) + '-' + std::to_string(sequence++) +
           std::string(kPartSuffix);
}

// Writes all of bytes to the open file fd; an empty text, else the reason.
std::string writeAll(FileSystem& disk, int fd, std::string_view bytes) {
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = disk.write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        // A write that stores nothing is as bad as an error (disk full).
        if (n <= 0) return std::strerror(n < 0 ? errno : ENOSPC);
        done += static_cast<size_t>(n);
    }
    return {};
}

// Writes all the bytes of source to the open file fd; an empty text, else
// the reason. Small pieces are gathered, so a page in a few pieces (its
// timestamp among them) still costs one write.
std::string fill(FileSystem& disk, int fd, const ByteSource& source, FileStamp* written) {
    constexpr size_t kGather = size_t{1} << 16;
    std::string gathered;
    std::string problem;
    source([&](std::string_view piece) {
        if (gathered.size() + piece.size() > kGather && !gathered.empty()) {
            problem = writeAll(disk, fd, gathered);
            gathered.clear();
        }
        if (problem.empty()) {
            if (piece.size() >= kGather) {
                problem = writeAll(disk, fd, piece);
            } else {
                if (gathered.capacity() == 0) gathered.reserve(kGather);
                gathered.append(piece);
            }
        }
        return problem.empty();
    });
    if (problem.empty() && !gathered.empty()) problem = writeAll(disk, fd, gathered);
    if (!problem.empty()) return problem;
    struct stat info {};
    if (written) {
        if (disk.fstat(fd, &info) != 0) return std::strerror(errno);
        *written = stampFrom(info);
    }
    return {};
}

// Writes all of bytes into a new file; an empty text, else the reason.
std::string writeNew(FileSystem& disk, const std::string& path, const ByteSource& bytes,
                     FileStamp* written) {
    const int fd =
        disk.open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) return std::strerror(errno);
    std::string problem = fill(disk, fd, bytes, written);
    // Some file systems report a failed write only when the file is closed.
    if (disk.close(fd) != 0 && problem.empty()) problem = std::strerror(errno);
    return problem;
}

enum class Linked { Done, Failed, Unsupported };

// Writes bytes into an unnamed file in path's folder and gives it the name
// path where nothing is yet: one step on the folder instead of two, and a
// process killed half-way leaves nothing behind. Unsupported where the file
// system has no unnamed files or /proc is missing.
Linked linkUnnamed(FileSystem& disk, const std::string& path, const ByteSource& bytes,
                   FileStamp* written, std::string& problem, bool* exists) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = disk.open(folder.c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) return Linked::Unsupported;
        problem = std::strerror(errno);
        return Linked::Failed;
    }
    problem = fill(disk, fd, bytes, written);
    if (problem.empty()) {
        if (disk.linkOpenFile(fd, path.c_str()) != 0) {
            const int error = errno;
            disk.close(fd);
            if (error == ENOENT) return Linked::Unsupported;
            if (error == EEXIST && exists) *exists = true;
            problem = std::strerror(error);
            return Linked::Failed;
        }
    }
    if (disk.close(fd) != 0 && problem.empty()) {
        problem = std::strerror(errno);
        disk.unlink(path.c_str());
    }
    return problem.empty() ? Linked::Done : Linked::Failed;
}

}  // namespace

FileStamp stampOf(const std::string& path, FileSystem& disk) {
    struct stat info {};
    if (path.empty() || disk.stat(path.c_str(), &info) != 0) return {};
    return stampFrom(info);
}

FileStamp ownStampOf(const std::string& path, FileSystem& disk) {
    struct stat info {};
    if (path.empty() || disk.lstat(path.c_str(), &info) != 0) return {};
    return stampFrom(info);
}

FileStamp ownStampAt(int folder, const char* path, FileSystem& disk) {
    struct stat info {};
    if (*path == '\0' || disk.fstatat(folder, path, &info, AT_SYMLINK_NOFOLLOW) != 0) return {};
    return stampFrom(info);
}

Status writeAtomically(const std::string& path, std::string_view bytes, Replace replace,
                       FileStamp* written, bool* exists, FileSystem& disk) {
    return writeAtomically(
        path, [bytes](const std::function<bool(std::string_view)>& put) { put(bytes); }, replace,
        written, exists, disk);
}

Status writeAtomically(const std::string& path, const ByteSource& bytes, Replace replace,
                       FileStamp* written, bool* exists, FileSystem& disk) {
    if (exists) *exists = false;
    if (replace == Replace::Refused) {
        std::string problem;
        switch (linkUnnamed(disk, path, bytes, written, problem, exists)) {
            case Linked::Done:
                return ok();
            case Linked::Failed:
                return Error{path + ": cannot write: " + problem};
            case Linked::Unsupported:
                break;
        }
    }
    const std::string part = partNameFor(path);
    if (std::string problem = writeNew(disk, part, bytes, written); !problem.empty()) {
        disk.unlink(part.c_str());
        return Error{path + ": cannot write: " + problem};
    }
    int moved = disk.rename(part.c_str(), path.c_str(), replace == Replace::Refused);
    if (moved != 0 && replace == Replace::Refused && errno == EINVAL) {
        // A file system without the no-replace rename: a hard link fails the same way.
        moved = disk.link(part.c_str(), path.c_str());
        if (moved == 0) disk.unlink(part.c_str());
    }
    if (moved != 0) {
        const int error = errno;
        disk.unlink(part.c_str());
        if (error == EEXIST && exists) *exists = true;
        return Error{path + ": cannot put the file in place: " + std::strerror(error)};
    }
    return ok();
}

bool isPartName(std::string_view name) {
    if (!name.ends_with(kPartSuffix)) return false;
    name.remove_suffix(kPartSuffix.size());
    // "<name>.<pid>-<sequence>", as partNameFor makes them.
    auto digitsBack = [&name] {
        size_t n = 0;
        while (n < name.size() &&
               std::isdigit(static_cast<unsigned char>(name[name.size() - 1 - n])))
            ++n;
        name.remove_suffix(n);
        return n > 0;
    };
    if (!digitsBack() || !name.ends_with('-')) return false;
    name.remove_suffix(1);
    if (!digitsBack() || !name.ends_with('.')) return false;
    return name.size() > 1;
}

int removeLeftoverParts(const std::string& folder, bool below) {
    int removed = 0;
    std::vector<std::string> open{folder.empty() || folder.back() == '/' ? folder : folder + '/'};
    while (!open.empty()) {
        const std::string current = std::move(open.back());
        open.pop_back();
        DIR* dir = ::opendir(current.c_str());
        if (!dir) continue;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (name == "." || name == "..") continue;
            // Most names are pages: their whole path is made only when needed.
            unsigned char type = entry->d_type;
            if (type == DT_REG && !isPartName(name)) continue;
            const std::string path = current + std::string(name);
            if (type == DT_UNKNOWN) {
                struct stat info {};
                if (::lstat(path.c_str(), &info) != 0) continue;
                type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_LNK;
            }
            if (type == DT_DIR) {
                if (below) open.push_back(path + '/');
            } else if (isPartName(name) && ::unlink(path.c_str()) == 0) {
                ++removed;
            }
        }
        ::closedir(dir);
    }
    return removed;
}

}  // namespace tarnwick
