#include "generator/run/SiteWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>
#include <vector>

#include "generator/site/PageContext.h"
#include "support/AtomicFile.h"
#include "support/File.h"
#include "support/InputFiles.h"
#include "support/PathGuard.h"
#include "support/Text.h"

namespace fs = std::filesystem;

namespace tarnwick {

namespace {

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

// "\x1bTARNWICK-NOW-" and 32 random hex digits, then ESC.
std::string randomMark() {
    std::random_device random;
    std::string mark = "\x1bTARNWICK-NOW-";
    for (int i = 0; i < 4; ++i) {
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(random()));
        mark += hex;
    }
    return mark + "\x1b";
}

PageRecord recordOf(uint64_t hash, const FileStamp& stamp) {
    return {hash, stamp.size, stamp.mtime};
}

}  // namespace

SiteWriter::SiteWriter(std::string folder, const InputFiles* inputs, std::string timestamp,
                       uint64_t given, bool full, FileSystem& disk)
    : m_folder(withTrailingSlash(std::move(folder))),
      m_inputs(inputs),
      m_disk(disk),
      m_timestamp(std::move(timestamp)),
      m_mark(randomMark()) {
    m_checkedFolders.insert(std::string());  // the output folder itself
    const std::string path = m_folder + kManifestFile;
    struct stat info {};
    if (m_disk.lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        if (auto bytes = File(path, m_disk).ReadBytes()) m_oldManifest = std::move(bytes).value();
    }
    m_before = SiteManifest::parse(full ? std::string_view() : m_oldManifest, given);
    m_before.given = given;
    m_after.given = given;
    if (!m_before.pages.empty())
        m_folderFd = m_disk.open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

SiteWriter::~SiteWriter() {
    if (m_folderFd >= 0) m_disk.close(m_folderFd);
}

FileStamp SiteWriter::pageStamp(const std::string& relativePath) const {
    // A path from the manifest that starts with '/' is still taken as below the folder.
    if (m_folderFd < 0 || relativePath.starts_with('/'))
        return ownStampOf(m_folder + relativePath, m_disk);
    return ownStampAt(m_folderFd, relativePath.c_str(), m_disk);
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
            // Pages name their folders with the exact spelling, never through
            // the case-spelling links: a link here leads elsewhere, or to
            // another folder of the site, whose pages this one would replace.
            if (!resolvesInside(current, root))
                throw PageWriteError(file,
                                     current + ": symbolic link leads out of the output folder");
            throw PageWriteError(file, current + ": a folder of the site is a symbolic link");
        }
        if (type == fs::file_type::not_found) {
            if (m_disk.mkdir(current.c_str(), 0777) != 0 && errno != EEXIST)
                throw PageWriteError(
                    file, "cannot create folder " + current + ": " + std::strerror(errno));
            m_createdFolders.insert(prefix);
        } else if (type != fs::file_type::directory) {
            throw PageWriteError(file, current + " is in the way: not a folder");
        }
        m_checkedFolders.insert(prefix);
    }
    return m_createdFolders.count(parent) > 0;
}

void SiteWriter::record(std::string_view relativePath, const PageRecord& entry) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_after.pages[std::string(relativePath)] = entry;
}

bool SiteWriter::unchangedOnDisk(std::string_view relativePath, const std::string& file,
                                 uint64_t hash, bool& exists) {
    struct stat info {};
    exists = m_disk.lstat(file.c_str(), &info) == 0;
    if (!exists) {
        if (errno != ENOENT) throw PageWriteError(file, std::strerror(errno));
        return false;
    }
    if (S_ISLNK(info.st_mode)) {
        if (!resolvesInside(file, fs::path(m_folder)))
            throw PageWriteError(file, file + ": symbolic link leads out of the output folder");
        if (m_disk.stat(file.c_str(), &info) != 0) info.st_mode = S_IFREG;  // dangling: replaced
    } else {
        const auto before = m_before.pages.find(std::string(relativePath));
        if (before != m_before.pages.end() && before->second.hash == hash &&
            S_ISREG(info.st_mode) && before->second.size == info.st_size &&
            before->second.mtime ==
                static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec) {
            record(relativePath, before->second);
            return true;
        }
    }
    if (S_ISDIR(info.st_mode)) throw PageWriteError(file, "a folder of that name is in the way");
    if (!S_ISREG(info.st_mode)) throw PageWriteError(file, "not a regular file");
    if (m_inputs) {
        if (const std::string* input = m_inputs->overwrittenBy(file))
            throw PageWriteError(file,
                                 "it would overwrite " + *input + ", a file the project reads");
    }
    return false;
}

namespace {

// The hash of a stream of bytes taken in blocks of a fixed size, whatever
// pieces the bytes come in, so a page's hash does not depend on where its
// encoding was cut. A mark ends the block it falls into and is hashed as a
// step of its own, so no text of a page hashes like it.
class StreamHash {
public:
    void add(std::string_view bytes) {
        if (!m_block.empty()) {
            const size_t take = std::min(kBlock - m_block.size(), bytes.size());
            m_block.append(bytes.substr(0, take));
            bytes.remove_prefix(take);
            if (m_block.size() < kBlock) return;
            flush();
        }
        for (; bytes.size() >= kBlock; bytes.remove_prefix(kBlock))
            m_hash = hashBytes(bytes.substr(0, kBlock), m_hash);
        m_block.append(bytes);
    }
    void mark() {
        flush();
        m_hash = hashBytes("\x1bNOW\x1b", m_hash);
    }
    uint64_t value() {
        flush();
        return m_hash;
    }

private:
    static constexpr size_t kBlock = size_t{1} << 16;
    void flush() {
        if (!m_block.empty()) m_hash = hashBytes(m_block, m_hash);
        m_block.clear();
    }
    uint64_t m_hash = 0;
    std::string m_block;  // the bytes of the last block not yet hashed
};

}  // namespace

bool SiteWriter::encodeMarked(std::string_view text, const Encoder& encode,
                              const std::function<bool(std::string_view)>& put,
                              const std::function<bool()>& mark) const {
    // The mark is ASCII and every page encoding keeps ASCII as it is, so the
    // marks of the encoded page are where the text has them.
    size_t from = 0;
    for (size_t at = text.find(m_mark); at != std::string_view::npos;
         at = text.find(m_mark, from)) {
        if (!encode(text.substr(from, at - from), put) || !mark()) return false;
        from = at + m_mark.size();
    }
    return encode(text.substr(from), put);
}

uint64_t SiteWriter::pageHash(std::string_view text, const Encoder& encode) const {
    StreamHash hash;
    encodeMarked(
        text, encode,
        [&](std::string_view bytes) {
            hash.add(bytes);
            return true;
        },
        [&] {
            hash.mark();
            return true;
        });
    return hash.value();
}

SiteWriter::Outcome SiteWriter::write(std::string_view relativePath, std::string_view bytes) {
    return writeText(relativePath, bytes,
                     [](std::string_view part, const std::function<bool(std::string_view)>& put) {
                         return put(part);
                     });
}

SiteWriter::Outcome SiteWriter::write(const Page& page, const CodePage& encoding) {
    return writeText(page.path, page.text.bytes(),
                     [&](std::string_view part, const std::function<bool(std::string_view)>& put) {
                         return encoding.encodePieces(part, CodePage::Fallback::HtmlReference, put);
                     });
}

SiteWriter::Outcome SiteWriter::writeText(std::string_view relativePath, std::string_view text,
                                          const Encoder& encode) {
    const std::string file = m_folder + std::string(relativePath);
    std::string reason;
    if (splitRelative(relativePath, reason).empty())
        throw PageWriteError(file, "refused page name: " + reason);
    if (m_folder.size() < 2) throw PageWriteError(file, "no output folder");

    // A page in a folder this run created cannot be there yet: no stat. A
    // new page is put in place only where nothing is; a page of an earlier
    // run is replaced.
    bool look = !prepareFolders(relativePath, file);
    const uint64_t hash = pageHash(text, encode);
    bool exists = false;
    if (look && unchangedOnDisk(relativePath, file, hash, exists)) {
        ++m_unchanged;
        return Outcome::Unchanged;
    }
    const ByteSource page = [&](const std::function<bool(std::string_view)>& put) {
        encodeMarked(text, encode, put, [&] { return put(m_timestamp); });
    };
    FileStamp written;
    bool appeared = false;
    Status done = writeAtomically(file, page, exists ? Replace::Allowed : Replace::Refused,
                                  &written, &appeared, m_disk);
    if (!done && appeared && !look) {
        // There after all: checked like any page of an earlier run.
        if (unchangedOnDisk(relativePath, file, hash, exists)) {
            ++m_unchanged;
            return Outcome::Unchanged;
        }
        done = writeAtomically(file, page, Replace::Allowed, &written, nullptr, m_disk);
    }
    if (!done) throw PageWriteError(file, done.error().message.substr(file.size() + 2));
    record(relativePath, recordOf(hash, written));
    ++m_written;
    return Outcome::Written;
}

bool SiteWriter::onDiskAsRecorded(const std::string& relativePath, PageRecord& record) const {
    const auto before = m_before.pages.find(relativePath);
    if (before == m_before.pages.end()) return false;
    const FileStamp stamp = pageStamp(relativePath);
    record = before->second;
    return stamp.size == record.size && stamp.mtime == record.mtime;
}

const ModuleRecord* SiteWriter::moduleRecord(uint64_t key) const {
    const auto found = m_before.modules.find(key);
    return found == m_before.modules.end() ? nullptr : &found->second;
}

bool SiteWriter::keepModule(uint64_t key) {
    const ModuleRecord* module = moduleRecord(key);
    if (!module) return false;
    std::vector<std::pair<const std::string*, PageRecord>> kept;
    for (const std::string& page : module->pages) {
        PageRecord record;
        if (!onDiskAsRecorded(page, record)) return false;
        kept.emplace_back(&page, record);
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& [page, record] : kept) m_after.pages[*page] = record;
        m_after.modules[key] = *module;
    }
    m_unchanged += static_cast<int>(kept.size());
    return true;
}

void SiteWriter::recordModule(uint64_t key, ModuleRecord record) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_after.modules[key] = std::move(record);
}

bool SiteWriter::keepAll() {
    if (m_before.runKey == 0) return false;
    for (const auto& [page, entry] : m_before.pages) {
        const FileStamp stamp = pageStamp(page);
        if (stamp.size != entry.size || stamp.mtime != entry.mtime) return false;  // rebuilt
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_after.pages = m_before.pages;
    m_after.modules = m_before.modules;
    m_keptAll = true;
    return true;
}

void SiteWriter::recordInputs(std::map<std::string, InputRecord> inputs) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_after.inputs = std::move(inputs);
}

void SiteWriter::recordRun(uint64_t runKey, std::vector<ReportEvent> report, int pages) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_after.runKey = runKey;
    m_after.runPages = pages;
    m_after.report = std::move(report);
}

int SiteWriter::removeStalePages(const std::vector<std::string>& names) {
    int removed = 0;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const std::string& page : names) {
        const auto before = m_before.pages.find(page);
        if (before == m_before.pages.end() || m_after.pages.count(page)) continue;
        const PageRecord& entry = before->second;
        const std::string file = m_folder + page;
        const FileStamp stamp = ownStampOf(file, m_disk);
        if (stamp.size != entry.size || stamp.mtime != entry.mtime) continue;
        if (m_disk.unlink(file.c_str()) == 0) {
            m_removed.insert(page);
            ++removed;
        }
    }
    return removed;
}

Status SiteWriter::commit() {
    // The last run's site kept whole, nothing written: its manifest holds.
    if (m_keptAll && m_written.load() == 0) return ok();
    std::string text;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // Pages this run did not produce keep their records: they are still
        // checked against the disk before they are trusted. Only this run's
        // modules: a module record is trusted as a whole.
        // Both maps are in path order: each record goes in just before the
        // first of this run's pages that follows it.
        auto next = m_after.pages.begin();
        for (const auto& page : m_before.pages) {
            while (next != m_after.pages.end() && next->first < page.first) ++next;
            if (next != m_after.pages.end() && next->first == page.first) continue;
            if (!m_removed.count(page.first)) m_after.pages.insert(next, page);
        }
        text = m_after.render();
    }
    if (text == m_oldManifest) return ok();
    const std::string path = m_folder + kManifestFile;
    if (m_inputs) {
        if (const std::string* input = m_inputs->overwrittenBy(path))
            return Error{path + ": the manifest would overwrite " + *input +
                         ", a file the project reads"};
    }
    struct stat info {};
    if (m_disk.lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return Error{path + ": is not a regular file; the manifest is not written"};
    if (Status written = writeAtomically(path, text, Replace::Allowed, nullptr, nullptr, m_disk);
        !written)
        return written;
    m_oldManifest = std::move(text);
    return ok();
}

}  // namespace tarnwick
