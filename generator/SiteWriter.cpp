#include "generator/SiteWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "generator/PageContext.h"
#include "support/File.h"
#include "support/InputFiles.h"
#include "support/PathGuard.h"

namespace fs = std::filesystem;

namespace tarnwick {

namespace {

constexpr std::string_view kManifestHeader = "tarnwick manifest 1\n";
constexpr const char* kPartSuffix = ".tarnwick-part";

// The components of a page's path inside the site, or a reason to refuse it.
std::vector<std::string_view> splitRelative(std::string_view path, std::string& reason) {
    std::vector<std::string_view> parts;
    if (path.empty()) {
        reason = "empty page name";
        return {};
    }
    size_t start = 0;
    while (true) {
        const size_t slash = path.find('/', start);
        const std::string_view part = path.substr(
            start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
        if (part.empty()) {
            reason = start == 0 ? "absolute or empty path component" : "empty path component";
            return {};
        }
        if (part == "." || part == "..") {
            reason = "path component \"" + std::string(part) + "\" leaves the folder layout";
            return {};
        }
        if (part.find('\\') != std::string_view::npos ||
            part.find('\0') != std::string_view::npos ||
            part.find('\n') != std::string_view::npos) {
            reason = "path component holds a separator, a line end or NUL";
            return {};
        }
        parts.push_back(part);
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    return parts;
}

int64_t mtimeOf(const struct stat& info) {
    return static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

// Writes all of bytes to a file opened with flags; fills info from the open
// file. An empty text on success, else the reason; openError receives the
// errno of a failed open (0 when the file was opened).
std::string writeAll(const std::string& path, int flags, std::string_view bytes, struct stat& info,
                     int* openError = nullptr) {
    const int fd = ::open(path.c_str(), flags | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (openError) *openError = fd < 0 ? errno : 0;
    if (fd < 0) return std::strerror(errno);
    std::string problem;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            problem = n < 0 ? std::strerror(errno) : "short write";
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (problem.empty() && ::fstat(fd, &info) != 0) problem = std::strerror(errno);
    if (::close(fd) != 0 && problem.empty()) problem = std::strerror(errno);
    return problem;
}

std::string hex(uint64_t value) {
    static const char digits[] = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4) out[static_cast<size_t>(i)] = digits[value & 15];
    return out;
}

}  // namespace

uint64_t hashBytes(std::string_view bytes, uint64_t seed) {
    // Eight bytes a step, each multiplied, rotated and folded in, then the
    // bits spread by a final mix: a site's pages are hundreds of megabytes,
    // hashed on every run. Four lanes take turns with the words of long
    // texts, so the processor works on four steps at once.
    auto rotl = [](uint64_t x, int r) { return (x << r) | (x >> (64 - r)); };
    auto step = [&](uint64_t h, uint64_t w) {
        w *= 0x87C37B91114253D5ull;
        w = rotl(w, 31);
        w *= 0x4CF5AD432745937Full;
        h ^= w;
        return rotl(h, 27) * 5 + 0x52DCE729;
    };
    auto load = [](const char* at) {
        uint64_t w;
        std::memcpy(&w, at, 8);
        return w;
    };
    uint64_t h = seed ^ (bytes.size() * 0x9E3779B97F4A7C15ull);
    const char* p = bytes.data();
    size_t n = bytes.size();
    if (n >= 32) {
        uint64_t lane[4] = {h, h ^ 0x9E3779B97F4A7C15ull, h ^ 0xC2B2AE3D27D4EB4Full,
                            h ^ 0x165667B19E3779F9ull};
        for (; n >= 32; p += 32, n -= 32)
            for (int k = 0; k < 4; ++k) lane[k] = step(lane[k], load(p + 8 * k));
        h = lane[0];
        for (int k = 1; k < 4; ++k) h = step(h, lane[k]);
    }
    for (; n >= 8; p += 8, n -= 8) h = step(h, load(p));
    if (n > 0) {
        uint64_t w = 0;
        std::memcpy(&w, p, n);
        h = step(h, w);
    }
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return h;
}

SiteWriter::SiteWriter(std::string folder, const InputFiles* inputs, std::string timestamp,
                       uint64_t given, bool full)
    : m_folder(std::move(folder)),
      m_inputs(inputs),
      m_timestamp(std::move(timestamp)),
      m_given(given) {
    if (!m_folder.empty() && m_folder.back() != '/') m_folder += '/';
    m_checkedFolders.insert(std::string());  // the output folder itself
    loadManifest();
    if (full) {
        m_before.clear();
        m_modulesBefore.clear();
    }
}

void SiteWriter::loadManifest() {
    const std::string path = m_folder + kManifestFile;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;
    auto bytes = File(path).ReadBytes();
    if (!bytes) return;
    m_oldManifest = std::move(bytes).value();
    std::string_view text = m_oldManifest;
    if (!text.starts_with(kManifestHeader)) return;
    text.remove_prefix(kManifestHeader.size());
    const std::string givenLine = "given " + hex(m_given) + "\n";
    if (!text.starts_with(givenLine)) return;  // another tool version or timestamp source
    text.remove_prefix(givenLine.size());
    ModuleRecord* module = nullptr;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        if (end == std::string_view::npos) break;  // a cut-off line: not trusted
        const std::string line(text.substr(0, end));
        text.remove_prefix(end + 1);
        char* rest = nullptr;
        // "module <key> <console lines> <console line>", then "  <page>" lines
        if (line.starts_with("module ")) {
            const uint64_t key = std::strtoull(line.c_str() + 7, &rest, 16);
            module = nullptr;
            if (*rest != ' ') continue;
            const long lines = std::strtol(rest + 1, &rest, 10);
            if (*rest != ' ' || lines < 0) continue;
            module = &m_modulesBefore[key];
            module->consoleLines = static_cast<int>(lines);
            module->consoleLine = rest + 1;
            continue;
        }
        if (line.starts_with("  ")) {
            if (module) module->pages.push_back(line.substr(2));
            continue;
        }
        module = nullptr;
        // "<hash> <size> <mtime> <path>"
        Entry e;
        e.hash = std::strtoull(line.c_str(), &rest, 16);
        if (*rest != ' ') continue;
        e.size = std::strtoll(rest + 1, &rest, 10);
        if (*rest != ' ') continue;
        e.mtime = std::strtoll(rest + 1, &rest, 10);
        if (*rest != ' ' || rest[1] == '\0') continue;
        m_before[std::string(rest + 1)] = e;
    }
}

bool SiteWriter::prepareFolders(std::string_view relativePath, const std::string& file) {
    const size_t slash = relativePath.rfind('/');
    const std::string parent(relativePath.substr(0, slash == std::string_view::npos ? 0 : slash));
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_checkedFolders.count(parent)) return m_createdFolders.count(parent) > 0;

    // Every component on the way, from the top; each is checked once a run.
    const fs::path root(m_folder);
    size_t at = 0;
    while (at < parent.size()) {
        size_t next = parent.find('/', at);
        if (next == std::string::npos) next = parent.size();
        const std::string prefix = parent.substr(0, next);
        at = next + 1;
        if (m_checkedFolders.count(prefix)) continue;
        const std::string current = m_folder + prefix;
        std::error_code ec;
        const auto status = fs::symlink_status(current, ec);
        if (ec && status.type() != fs::file_type::not_found)
            throw PageWriteError(file, current + ": " + ec.message());
        fs::file_type type = status.type();
        if (type == fs::file_type::symlink) {
            // Links inside the site (the case-spelling links) are fine; one
            // that leads elsewhere would make us write outside the site.
            if (!resolvesInside(current, root))
                throw PageWriteError(file,
                                     current + ": symbolic link leads out of the output folder");
            type = fs::status(current, ec).type();
        }
        if (type == fs::file_type::not_found) {
            if (!fs::create_directory(current, ec) && ec)
                throw PageWriteError(file, "cannot create folder " + current + ": " + ec.message());
            m_createdFolders.insert(prefix);
        } else if (type != fs::file_type::directory) {
            throw PageWriteError(file, current + " is in the way: not a folder");
        }
        m_checkedFolders.insert(prefix);
    }
    return m_createdFolders.count(parent) > 0;
}

void SiteWriter::record(std::string_view relativePath, const Entry& entry) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_after[std::string(relativePath)] = entry;
}

SiteWriter::Outcome SiteWriter::write(std::string_view relativePath, std::string_view bytes) {
    const std::string file = m_folder + std::string(relativePath);
    std::string reason;
    if (splitRelative(relativePath, reason).empty())
        throw PageWriteError(file, "refused page name: " + reason);
    if (m_folder.size() < 2) throw PageWriteError(file, "no output folder");

    // A page in a folder this run created cannot be there yet: no stat.
    bool look = !prepareFolders(relativePath, file);
    const uint64_t hash = hashBytes(bytes);
    std::string page;
    struct stat written {};
    for (;;) {
        bool exists = false;
        if (look) {
            struct stat info {};
            if (::lstat(file.c_str(), &info) == 0) {
                exists = true;
                if (S_ISLNK(info.st_mode)) {
                    if (!resolvesInside(file, fs::path(m_folder)))
                        throw PageWriteError(
                            file, file + ": symbolic link leads out of the output folder");
                    if (::stat(file.c_str(), &info) != 0)
                        info.st_mode = S_IFREG;  // dangling: replaced
                } else {
                    const auto before = m_before.find(std::string(relativePath));
                    if (before != m_before.end() && before->second.hash == hash &&
                        S_ISREG(info.st_mode) && before->second.size == info.st_size &&
                        before->second.mtime == mtimeOf(info)) {
                        record(relativePath, before->second);
                        ++m_unchanged;
                        return Outcome::Unchanged;
                    }
                }
                if (S_ISDIR(info.st_mode))
                    throw PageWriteError(file, "a folder of that name is in the way");
                if (!S_ISREG(info.st_mode)) throw PageWriteError(file, "not a regular file");
                if (m_inputs) {
                    if (const std::string* input = m_inputs->overwrittenBy(file))
                        throw PageWriteError(
                            file, "it would overwrite " + *input + ", a file the project reads");
                }
            } else if (errno != ENOENT) {
                throw PageWriteError(file, std::strerror(errno));
            }
        }

        if (page.empty()) {
            // The run's timestamp where the builders left the mark.
            page.reserve(bytes.size() + 64);
            size_t from = 0;
            for (size_t at = bytes.find(kTimestampMark); at != std::string_view::npos;
                 at = bytes.find(kTimestampMark, from)) {
                page.append(bytes, from, at - from);
                page += m_timestamp;
                from = at + kTimestampMark.size();
            }
            page.append(bytes, from);
        }
        if (exists) break;
        // A new page is written in place and removed again when its write
        // fails: it is this run's own file.
        int openError = 0;
        const std::string problem = writeAll(file, O_CREAT | O_EXCL, page, written, &openError);
        if (problem.empty()) {
            record(relativePath, {hash, static_cast<int64_t>(written.st_size), mtimeOf(written)});
            ++m_written;
            return Outcome::Written;
        }
        if (openError != EEXIST || look) {
            if (openError == 0) ::unlink(file.c_str());
            throw PageWriteError(file, "cannot write: " + problem);
        }
        look = true;  // there after all: checked like any page of an earlier run
    }

    // The page of an earlier run is replaced by writing beside it and
    // renaming over it, so it stays as it was when the write fails.
    const std::string temporary = file + kPartSuffix;
    struct stat part {};
    if (::lstat(temporary.c_str(), &part) == 0) {
        if (S_ISLNK(part.st_mode))
            throw PageWriteError(file, temporary + " is a symbolic link; not written through");
        if (m_inputs) {
            if (const std::string* input = m_inputs->overwrittenBy(temporary))
                throw PageWriteError(file,
                                     "it would overwrite " + *input + ", a file the project reads");
        }
    }
    const std::string problem = writeAll(temporary, O_CREAT | O_TRUNC, page, written);
    if (!problem.empty()) {
        ::unlink(temporary.c_str());
        throw PageWriteError(file, "cannot write: " + problem);
    }
    if (::rename(temporary.c_str(), file.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        ::unlink(temporary.c_str());
        throw PageWriteError(file, "cannot put the page in place: " + why);
    }
    record(relativePath, {hash, static_cast<int64_t>(written.st_size), mtimeOf(written)});
    ++m_written;
    return Outcome::Written;
}

bool SiteWriter::keepModule(uint64_t key, int& consoleLines, std::string& consoleLine) {
    const auto found = m_modulesBefore.find(key);
    if (found == m_modulesBefore.end()) return false;
    const ModuleRecord& record = found->second;
    std::vector<std::pair<const std::string*, Entry>> kept;
    for (const std::string& page : record.pages) {
        const auto before = m_before.find(page);
        if (before == m_before.end()) return false;
        struct stat info {};
        const std::string file = m_folder + page;
        if (::lstat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
            info.st_size != before->second.size || mtimeOf(info) != before->second.mtime)
            return false;
        kept.emplace_back(&page, before->second);
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& [page, entry] : kept) m_after[*page] = entry;
        m_modulesAfter[key] = record;
    }
    m_unchanged += static_cast<int>(kept.size());
    consoleLines = record.consoleLines;
    consoleLine = record.consoleLine;
    return true;
}

void SiteWriter::recordModule(uint64_t key, int consoleLines, std::string consoleLine,
                              std::vector<std::string> pages) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_modulesAfter[key] = {consoleLines, std::move(consoleLine), std::move(pages)};
}

SiteWriter::Outcome SiteWriter::write(const Page& page, const CodePage& encoding) {
    return write(page.path, encoding.fromUtf8(page.text, CodePage::Fallback::HtmlReference));
}

Status SiteWriter::commit() {
    std::string text(kManifestHeader);
    text += "given " + hex(m_given) + "\n";
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // Pages this run did not produce keep their records: they are still
        // checked against the disk before they are trusted.
        std::map<std::string, Entry> all(m_before.begin(), m_before.end());
        for (const auto& [path, entry] : m_after) all[path] = entry;
        for (const auto& [path, e] : all) {
            text += hex(e.hash) + ' ' + std::to_string(e.size) + ' ' + std::to_string(e.mtime) +
                    ' ' + path + '\n';
        }
        // Only this run's modules: a module record is trusted as a whole.
        for (const auto& [key, record] : m_modulesAfter) {
            text += "module " + hex(key) + ' ' + std::to_string(record.consoleLines) + ' ' +
                    record.consoleLine + '\n';
            for (const std::string& page : record.pages) text += "  " + page + '\n';
        }
    }
    if (text == m_oldManifest) return ok();
    const std::string path = m_folder + kManifestFile;
    const std::string temporary = path + kPartSuffix;
    if (m_inputs) {
        for (const std::string& target : {path, temporary}) {
            if (const std::string* input = m_inputs->overwrittenBy(target))
                return Error{target + ": the manifest would overwrite " + *input +
                             ", a file the project reads"};
        }
    }
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return Error{path + ": is not a regular file; the manifest is not written"};
    if (std::string problem = writeAll(temporary, O_CREAT | O_TRUNC, text, info);
        !problem.empty()) {
        ::unlink(temporary.c_str());
        return Error{temporary + ": cannot write the manifest: " + problem};
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        ::unlink(temporary.c_str());
        return Error{path + ": cannot put the manifest in place: " + why};
    }
    m_oldManifest = std::move(text);
    return ok();
}

}  // namespace tarnwick
