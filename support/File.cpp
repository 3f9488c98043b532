#include "support/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace tarnwick {

namespace fs = std::filesystem;

namespace {

std::string reason(int error) { return std::strerror(error); }

bool isBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

// The path with one trailing '/' removed.
std::string_view withoutTrailingSlash(std::string_view path) {
    if (!path.empty() && path.back() == '/') path.remove_suffix(1);
    return path;
}

bool statPath(const std::string& path, struct stat& info) {
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

}  // namespace

std::string withTrailingSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

bool File::IsFile() const {
    if (isBlank(m_path) || m_path.back() == '/') return false;
    std::error_code ec;
    return fs::is_regular_file(m_path, ec);
}

bool File::IsDirectory() const {
    if (m_path.empty()) return false;
    std::error_code ec;
    return fs::is_directory(m_path, ec);
}

bool File::IsDrive() const { return m_path == "/"; }

bool File::Exists() const { return IsFile() || IsDrive() || IsDirectory(); }

bool File::IsPresent() const {
    struct stat info {};
    return statPath(m_path, info);
}

std::string File::Name() const {
    if (IsDrive()) return "/";
    const std::string_view path = withoutTrailingSlash(m_path);
    const size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string File::GetFolder() const {
    const std::string_view path = withoutTrailingSlash(m_path);
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string File::Extension() const {
    const size_t dot = m_path.rfind('.');
    return dot == std::string::npos ? m_path : m_path.substr(dot + 1);
}

bool File::CanRead() const { return IsFile(); }

bool File::CanWrite() const {
    // Any write bit counts, like the read-only attribute it stands for; the
    // access test catches a file the user may still not write.
    struct stat info {};
    if (!IsFile() || !statPath(m_path, info)) return false;
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    return ::access(m_path.c_str(), W_OK) == 0;
}

bool File::IsHidden() const {
    if (!Exists()) return false;
    const std::string name = Name();
    return !name.empty() && name.front() == '.' && name != "." && name != "..";
}

int64_t File::Length() const {
    struct stat info {};
    if (!IsFile() || !statPath(m_path, info)) return 0;
    return static_cast<int64_t>(info.st_size);
}

std::time_t File::LastModified() const {
    struct stat info {};
    if (!Exists() || !statPath(m_path, info)) return 0;
    return info.st_mtime;
}

bool File::HasSubFolders() const {
    std::error_code ec;
    for (auto it =
             fs::directory_iterator(m_path, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code entryError;
        if (it->is_directory(entryError)) return true;
    }
    return false;
}

namespace {

// What a path that is not a regular file is, in the words of a message.
const char* whatItIs(mode_t mode) {
    if (S_ISDIR(mode)) return "is a folder";
    if (S_ISFIFO(mode)) return "is a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device";
    if (S_ISSOCK(mode)) return "is a socket";
    return "is not a regular file";
}

std::string megabytes(int64_t bytes) { return std::to_string(bytes >> 20) + " MB"; }

}  // namespace

Expected<std::string> File::ReadBytes(int64_t limit) const {
    auto failure = [this](const std::string& why) {
        return Error{"Cannot read " + m_path + ": " + why};
    };
    if (m_path.empty()) return Error{"Cannot read a file without a name"};
    // Non-blocking, so that opening a FIFO returns at once; what it is shows
    // after opening, where nothing can swap the file in between.
    const int fd = m_disk->open(m_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        struct stat info {};
        // A socket cannot be opened at all; say what it is rather than why.
        if (error == ENXIO && m_disk->stat(m_path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
            return failure(whatItIs(info.st_mode));
        return failure(reason(error));
    }
    struct stat info {};
    if (m_disk->fstat(fd, &info) != 0) {
        const int error = errno;
        m_disk->close(fd);
        return failure(reason(error));
    }
    if (!S_ISREG(info.st_mode)) {
        m_disk->close(fd);
        return failure(whatItIs(info.st_mode));
    }
    const auto tooLarge = [&] {
        m_disk->close(fd);
        return failure("is larger than " + megabytes(limit) + " (the most read from one file)");
    };
    if (info.st_size > limit) return tooLarge();
    std::string bytes;
    // The size is a hint only: a file may grow while it is read.
    bytes.reserve(static_cast<size_t>(info.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t n = m_disk->read(fd, chunk, sizeof chunk);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            m_disk->close(fd);
            return failure(reason(error));
        }
        if (static_cast<int64_t>(bytes.size()) + n > limit) return tooLarge();
        bytes.append(chunk, static_cast<size_t>(n));
    }
    m_disk->close(fd);
    return bytes;
}

Expected<std::string> File::ReadStream(const CodePage& codePage, size_t* invalidCount,
                                       int64_t limit) const {
    Expected<std::string> bytes = ReadBytes(limit);
    if (!bytes) return bytes.error();
    return codePage.toUtf8(bytes.value(), invalidCount);
}

Status File::WriteBytes(std::string_view bytes) const {
    auto failure = [this](const std::string& why) {
        return Error{"Cannot write " + m_path + ": " + why};
    };
    if (m_path.empty()) return Error{"Cannot write a file without a name"};
    if (IsDirectory()) return failure("is a folder");
    const int fd = m_disk->open(m_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return failure(reason(errno));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = m_disk->write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // A write that stores nothing is as bad as an error (disk full).
            const int error = n < 0 ? errno : ENOSPC;
            m_disk->close(fd);
            return failure(reason(error));
        }
        done += static_cast<size_t>(n);
    }
    // Some file systems report a failed write only when the file is closed.
    if (m_disk->close(fd) != 0) return failure(reason(errno));
    return ok();
}

Status File::WriteStream(std::string_view text, const CodePage& codePage,
                         CodePage::Fallback fallback) const {
    return WriteBytes(codePage.fromUtf8(text, fallback));
}

Status File::MkDir() const {
    const size_t last = m_path.rfind('/');
    if (last == std::string::npos) return ok();  // only a file name: nothing to create
    const std::string folders = m_path.substr(0, last);
    // Walk the prefixes, so that a component that is a file is named.
    size_t pos = 0;
    while (pos <= folders.size()) {
        size_t next = folders.find('/', pos);
        if (next == std::string::npos) next = folders.size();
        const std::string prefix = folders.substr(0, next);
        pos = next + 1;
        if (prefix.empty() || prefix.back() == '/') continue;  // root or a doubled '/'
        struct stat info {};
        if (::stat(prefix.c_str(), &info) == 0) {
            if (S_ISDIR(info.st_mode)) continue;
            return Error{"Cannot create the folders of " + m_path + ": " + prefix +
                         " exists and is not a folder"};
        }
        if (errno != ENOENT)
            return Error{"Cannot create the folders of " + m_path + ": " + prefix + ": " +
                         reason(errno)};
        if (::mkdir(prefix.c_str(), 0777) != 0) {
            const int error = errno;
            // Someone else may have made it meanwhile.
            if (error == EEXIST && ::stat(prefix.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
                continue;
            return Error{"Cannot create folder " + prefix + " (for " + m_path +
                         "): " + reason(error)};
        }
    }
    return ok();
}

Status File::Delete() const {
    std::error_code ec;
    const fs::file_status own = fs::symlink_status(m_path, ec);
    if (ec || !fs::exists(own))
        return Error{"Cannot delete " + m_path + ": no such file or folder"};
    // A symbolic link is removed itself, never what it points to.
    if (fs::is_directory(own)) {
        if (::rmdir(m_path.c_str()) != 0)
            return Error{"Cannot delete " + m_path + ": " + reason(errno)};
    } else if (::unlink(m_path.c_str()) != 0) {
        return Error{"Cannot delete " + m_path + ": " + reason(errno)};
    }
    return ok();
}

std::vector<File> File::ListFolders() const {
    std::vector<std::string> names;
    std::error_code ec;
    if (!m_path.empty()) {
        for (auto it =
                 fs::directory_iterator(m_path, fs::directory_options::skip_permission_denied, ec);
             !ec && it != fs::directory_iterator(); it.increment(ec)) {
            std::error_code entryError;
            if (it->is_directory(entryError)) names.push_back(it->path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());  // ordinal: the byte order of UTF-8
    // Child paths need a '/' between folder and name even when Path lacks one.
    const std::string base = withTrailingSlash(m_path);
    std::vector<File> folders;
    folders.reserve(names.size());
    for (const std::string& name : names) folders.emplace_back(base + name + "/");
    return folders;
}

std::vector<File> File::ListRoots() { return {File("/")}; }

}  // namespace tarnwick
