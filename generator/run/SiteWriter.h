// SiteWriter: the one place where a run's pages reach the disk.
//
// A page comes in as its site-relative path and its bytes, already in the
// pages' encoding, with timestampMark() where the run's timestamp belongs.
// The writer
// - refuses a path that would leave the output folder: the path's text is
//   checked for every page, the folders on the way once per run (a folder it
//   created or checked is remembered, so a page costs no stat of its folders);
// - never writes onto a file the run reads;
// - skips a page whose bytes (the timestamp left out) and whose file on disk
//   are what the manifest of the last run recorded, so a re-run rewrites only
//   what changed and a page whose only change would be its timestamp keeps
//   the one it has;
// - writes every page through a temporary file beside it and a rename
//   (writeAtomically), so no page is ever seen cut off, and a file planted
//   at a page's path, a hard link too, is replaced, never written into.
//
// What the last run left is read from its SiteManifest (see there); commit()
// writes this run's last, through a temporary file and a rename, so a run
// killed at any moment leaves the last manifest, whose records no longer
// match the pages the killed run rewrote: the next run rewrites those. A page
// edited or removed by hand no longer matches either.
//
// write() may be called from several threads at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "generator/run/SiteManifest.h"
#include "generator/site/Page.h"
#include "support/CodePage.h"
#include "support/Errors.h"
#include "support/FileSystem.h"
#include "support/Hash.h"

namespace tarnwick {

class InputFiles;

class SiteWriter {
public:
    // Name of the manifest file in the site's root.
    static constexpr const char* kManifestFile = SiteManifest::kFileName;

    enum class Outcome { Written, Unchanged };

    // folder: the output folder (exists; '/' at the end or not). inputs (may
    // be null) are never written onto. timestamp: the bytes that replace
    // timestampMark(). given: the hash of what the run was given that the
    // pages' bytes do not show. full: the last manifest is not looked at,
    // every page is written. disk (must outlive the writer) is where every
    // call to the disk goes.
    SiteWriter(std::string folder, const InputFiles* inputs, std::string timestamp, uint64_t given,
               bool full, FileSystem& disk = posixFileSystem());
    ~SiteWriter();
    SiteWriter(const SiteWriter&) = delete;
    SiteWriter& operator=(const SiteWriter&) = delete;

    // What the builders of this run write where the timestamp goes; the
    // writer puts the run's timestamp in its place. Made afresh for each
    // run from random bytes (ASCII, so every page encoding keeps it as it
    // is), so no text of a project, written before the run, can hold it.
    const std::string& timestampMark() const { return m_mark; }

    // Writes one page. Throws PageWriteError naming the file on any failure.
    Outcome write(std::string_view relativePath, std::string_view bytes);
    // Writes a builder's page in encoding (characters it cannot hold as
    // character references). The CodePage is the calling thread's own.
    Outcome write(const Page& page, const CodePage& encoding);

    // What the last run recorded for the module of this key (the pages it
    // wrote, the console lines building them told, the links they got), or
    // null. The key must change whenever anything that goes into the
    // module's pages, other than the links, changes.
    const ModuleRecord* moduleRecord(uint64_t key) const;
    // Keeps the recorded module's pages when every one is on disk as
    // recorded; false (nothing kept) otherwise.
    bool keepModule(uint64_t key);
    // Records the pages a module's build wrote or found unchanged.
    void recordModule(uint64_t key, ModuleRecord record);

    // The last run's inputs, run key and report (see SiteManifest).
    const SiteManifest& before() const { return m_before; }
    // Keeps every page the last run recorded when each is on disk as
    // recorded and that run finished; false (nothing kept) otherwise.
    bool keepAll();
    // What the manifest of this run records of its inputs, and (for a run
    // that finished without failure) its key and report.
    void recordInputs(std::map<std::string, InputRecord> inputs);
    // pages: how many pages the run built (written or unchanged), the
    // resources and the frame left out.
    void recordRun(uint64_t runKey, std::vector<ReportEvent> report, int pages);

    // After a run that built its whole site: removes those of names (site-
    // relative) that the last run wrote and this one did not, such as the
    // navigation script of the other layout, each only when it is still on
    // disk as recorded, so a file edited by hand, or anything not this
    // program's, stays. The pages of a module no longer in the project are
    // kept, as they always were. Returns how many.
    int removeStalePages(const std::vector<std::string>& names);

    // Writes the manifest of what the pages on disk now are (when it differs
    // from the one there), through a temporary file and a rename.
    Status commit();

    int written() const { return m_written.load(); }
    // After keepAll(), the pages the last run built count as unchanged.
    int unchanged() const { return m_unchanged.load() + (m_keptAll ? m_before.runPages : 0); }

private:
    bool onDiskAsRecorded(const std::string& relativePath, PageRecord& record) const;
    // The stamp of the page at relativePath, the link at its end not followed.
    FileStamp pageStamp(const std::string& relativePath) const;
    // Checks (once) that the folders of relativePath up to its last '/' are
    // folders inside the site, creating missing ones; true when the page's
    // own folder was created by this run (so the page cannot be there yet).
    bool prepareFolders(std::string_view relativePath, const std::string& file);
    // The page at file as the last run left it: true when it can stay. exists
    // tells whether anything is there; throws when it may not be replaced.
    bool unchangedOnDisk(std::string_view relativePath, const std::string& file, uint64_t hash,
                         bool& exists);
    // Encodes a part of a page that holds no mark, handing its bytes to put
    // piece by piece; false when put stopped it.
    using Encoder = std::function<bool(std::string_view text,
                                       const std::function<bool(std::string_view)>& put)>;
    // Writes text (a builder's page, or bytes as they are) in the bytes
    // encode makes of it, the run's timestamp in place of each mark. The page
    // is never held in its encoding: it is encoded once for its hash and,
    // when it has to be written, again while it is written.
    Outcome writeText(std::string_view relativePath, std::string_view text, const Encoder& encode);
    // Hands text's encoded bytes to put, and where a mark is, calls mark.
    bool encodeMarked(std::string_view text, const Encoder& encode,
                      const std::function<bool(std::string_view)>& put,
                      const std::function<bool()>& mark) const;
    // The page's hash with the mark left out, so it is the same in every run.
    uint64_t pageHash(std::string_view text, const Encoder& encode) const;
    void record(std::string_view relativePath, const PageRecord& entry);

    std::string m_folder;  // ends with '/'
    // The output folder, open while the last run's pages are to be checked
    // (-1: not open, pages are looked up by their whole path).
    int m_folderFd = -1;
    const InputFiles* m_inputs;
    FileSystem& m_disk;
    std::string m_timestamp;
    std::string m_mark;
    std::string m_oldManifest;  // the file's bytes as read
    SiteManifest m_before;      // the last run's records; read-only after construction
    SiteManifest m_after;       // guarded by m_mutex

    std::mutex m_mutex;  // guards the two folder sets and m_after
    std::unordered_set<std::string> m_checkedFolders;
    std::unordered_set<std::string> m_createdFolders;

    std::atomic<int> m_written{0};
    std::atomic<int> m_unchanged{0};
    bool m_keptAll = false;                     // keepAll() kept the last run's site
    std::unordered_set<std::string> m_removed;  // pages of the last run removeStalePages removed
};

}  // namespace tarnwick
