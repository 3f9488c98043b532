#include "support/FileCopy.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "support/InputFiles.h"
#include "support/PathGuard.h"

namespace tarnwick {

namespace fs = std::filesystem;

namespace {

// True when dest is a regular file with the bytes of source.
bool sameBytes(const fs::path& source, const fs::path& dest) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(dest, ec))) return false;
    const auto size = fs::file_size(source, ec);
    if (ec || size != fs::file_size(dest, ec) || ec || size > (std::uintmax_t{1} << 24))
        return false;
    std::ifstream a(source, std::ios::binary);
    std::ifstream b(dest, std::ios::binary);
    std::string x(size, '\0');
    std::string y(size, '\0');
    const auto n = static_cast<std::streamsize>(size);
    return a.read(x.data(), n) && b.read(y.data(), n) && x == y;
}

class TreeCopier {
public:
    TreeCopier(fs::path root, std::string toFolder, const InputFiles* keep)
        : m_root(std::move(root)), m_toFolder(std::move(toFolder)), m_keep(keep) {}

    Status copy(const fs::path& source, const fs::path& dest) {
        std::error_code ec;
        const fs::file_status status = fs::status(source, ec);
        if (ec || !fs::exists(status)) return ok();  // a dangling link: nothing to copy
        if (fs::is_symlink(fs::symlink_status(dest, ec)) && !resolvesInside(dest, m_root))
            return Error{"Refusing to copy " + source.string() + ": " + dest.string() +
                         " is a symbolic link leading out of " + m_toFolder};
        if (fs::is_directory(status)) return copyFolder(source, dest);
        if (fs::is_regular_file(status)) return copyFile(source, dest);
        return ok();  // devices, pipes and sockets are not part of a site
    }

private:
    Status copyFile(const fs::path& source, const fs::path& dest) {
        std::error_code ec;
        if (fs::is_directory(dest, ec))
            return Error{"Cannot copy " + source.string() + ": " + dest.string() + " is a folder"};
        if (const std::string* input = m_keep ? m_keep->overwrittenBy(dest.string()) : nullptr)
            return Error{"Cannot copy " + source.string() + " to " + dest.string() +
                         ": it would overwrite " + *input + ", a file the project reads"};
        if (sameBytes(source, dest)) return ok();  // a re-run rewrites nothing unchanged
        fs::copy_file(source, dest, fs::copy_options::overwrite_existing, ec);
        if (ec)
            return Error{"Cannot copy " + source.string() + " to " + dest.string() + ": " +
                         ec.message()};
        return ok();
    }

    Status copyFolder(const fs::path& source, const fs::path& dest) {
        std::error_code ec;
        // A link inside the source that leads back up, or to a folder that
        // holds the destination, would copy for ever: such a folder is skipped.
        const fs::path real = fs::canonical(source, ec);
        if (ec) return Error{"Cannot copy " + source.string() + ": " + ec.message()};
        if (std::find(m_open.begin(), m_open.end(), real) != m_open.end()) return ok();
        if (lexicallyInside(m_root, real)) return ok();  // the destination or above it
        if (!fs::is_directory(dest, ec)) {
            if (fs::exists(fs::symlink_status(dest, ec)))
                return Error{"Cannot copy " + source.string() + ": " + dest.string() +
                             " exists and is not a folder"};
            fs::create_directory(dest, ec);
            if (ec) return Error{"Cannot create folder " + dest.string() + ": " + ec.message()};
        }
        std::vector<fs::path> children;
        for (auto it = fs::directory_iterator(source, ec); !ec && it != fs::directory_iterator();
             it.increment(ec))
            children.push_back(it->path().filename());
        if (ec) return Error{"Cannot list " + source.string() + ": " + ec.message()};
        std::sort(children.begin(), children.end());
        m_open.push_back(real);
        for (const fs::path& child : children) {
            Status done = copy(source / child, dest / child);
            if (!done) {
                m_open.pop_back();
                return done;
            }
        }
        m_open.pop_back();
        return ok();
    }

    fs::path m_root;               // toFolder, canonical
    std::string m_toFolder;        // as the caller wrote it, for messages
    std::vector<fs::path> m_open;  // source folders being copied, canonical
    const InputFiles* m_keep;      // never copied onto; may be null
};

}  // namespace

Status copyTree(const std::string& from, const std::string& toFolder, const InputFiles* keep) {
    std::error_code ec;
    fs::path source(from);
    if (from.size() > 1 && from.back() == '/') source = fs::path(from.substr(0, from.size() - 1));
    if (!fs::exists(source, ec)) return Error{"Cannot copy " + from + ": no such file or folder"};
    fs::path name = source.filename();
    if (name.empty() || name == "." || name == "..") name = fs::canonical(source, ec).filename();
    if (name.empty()) return Error{"Cannot copy " + from + ": it names no file or folder"};

    if (toFolder.empty()) return Error{"Cannot copy " + from + ": no destination folder"};
    // Checked before anything is created, so a refused copy leaves no trace.
    if (fs::is_directory(source, ec)) {
        const fs::path realSource = fs::canonical(source, ec);
        const fs::path realTarget = fs::weakly_canonical(toFolder, ec);
        if (!ec && lexicallyInside(realTarget, realSource))
            return Error{"Cannot copy " + from + " into " + toFolder +
                         ": the destination lies inside it"};
    }
    fs::create_directories(toFolder, ec);
    if (ec || !fs::is_directory(toFolder, ec))
        return Error{"Cannot create folder " + toFolder + ": " +
                     (ec ? ec.message() : std::string("exists and is not a folder"))};
    const fs::path root = fs::canonical(toFolder, ec);
    if (ec) return Error{"Cannot use folder " + toFolder + ": " + ec.message()};

    TreeCopier copier(root, toFolder, keep);
    return copier.copy(source, fs::path(toFolder) / name);
}

}  // namespace tarnwick
