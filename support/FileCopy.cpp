#include "support/FileCopy.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "support/AtomicFile.h"
#include "support/File.h"
#include "support/InputFiles.h"
#include "support/PathGuard.h"

namespace tarnwick {

namespace fs = std::filesystem;

namespace {

// True when dest is a regular file (not a link) with these bytes.
bool holds(const fs::path& dest, const std::string& bytes, FileSystem& disk) {
    const FileStamp stamp = ownStampOf(dest.string(), disk);
    if (stamp.size != static_cast<int64_t>(bytes.size())) return false;
    auto there = File(dest.string(), disk).ReadBytes(kModuleReadLimit);
    return there && there.value() == bytes;
}

class TreeCopier {
public:
    TreeCopier(fs::path root, std::string toFolder, const InputFiles* keep, fs::path except,
               FileSystem& disk)
        : m_root(std::move(root)),
          m_toFolder(std::move(toFolder)),
          m_keep(keep),
          m_except(std::move(except)),
          m_disk(disk) {}

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
        if (!m_except.empty() && dest.lexically_normal() == m_except) return ok();
        auto bytes = File(source.string()).ReadBytes(kModuleReadLimit);
        if (!bytes) return Error{"Cannot copy " + source.string() + ": " + bytes.error().message};
        if (holds(dest, bytes.value(), m_disk)) return ok();  // a re-run rewrites nothing unchanged
        // Replaced, never written into: a hard link planted at dest keeps its bytes.
        if (Status written = writeAtomically(dest.string(), bytes.value(), Replace::Allowed,
                                             nullptr, nullptr, m_disk);
            !written)
            return Error{"Cannot copy " + source.string() + " to " + written.error().message};
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
    fs::path m_except;             // not copied there; empty: none
    FileSystem& m_disk;            // where the copies are written
};

}  // namespace

Status copyTree(const std::string& from, const std::string& toFolder, const InputFiles* keep,
                const std::string& except, FileSystem& disk) {
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

    TreeCopier copier(
        root, toFolder, keep,
        except.empty() ? fs::path() : (fs::path(toFolder) / except).lexically_normal(), disk);
    return copier.copy(source, fs::path(toFolder) / name);
}

}  // namespace tarnwick
