// SiteWriter: the one place where a run's pages reach the disk.
//
// A page comes in as its site-relative path and its bytes, already in the
// pages' encoding, with kTimestampMark where the run's timestamp belongs.
// The writer
// - refuses a path that would leave the output folder: the path's text is
//   checked for every page, the folders on the way once per run (a folder it
//   created or checked is remembered, so a page costs no stat of its folders);
// - never writes onto a file the run reads;
// - skips a page whose bytes (the timestamp left out) and whose file on disk
//   are what the manifest of the last run recorded, so a re-run rewrites only
//   what changed and a page whose only change would be its timestamp keeps
//   the one it has;
// - writes a page that is not there yet in place (removed again when the
//   write fails) and replaces one that is there by writing beside it and
//   renaming, so no page is ever left cut off.
//
// The manifest (".tarnwick-manifest" beside the stamp file) records for each
// page the hash of its bytes, its size and its modification time, and under
// "given" what the run was given that the bytes do not show (the tool's
// version and where the timestamp comes from); a manifest with another
// "given" is not trusted. commit() writes it last, through a temporary file
// and a rename, so a run killed at any moment leaves the last manifest, whose
// records no longer match the pages the killed run rewrote: the next run
// rewrites those. A page edited or removed by hand no longer matches either.
//
// write() may be called from several threads at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "generator/Page.h"
#include "support/CodePage.h"
#include "support/Errors.h"

namespace tarnwick {

class InputFiles;

// What the builders of a run write where the timestamp goes; the writer puts
// the run's timestamp in its place. ESC never occurs in an HTML page.
inline constexpr std::string_view kTimestampMark = "\x1bTARNWICK-NOW\x1b";

// A 64-bit hash of bytes: the same value in every run and on every machine
// of one byte order.
uint64_t hashBytes(std::string_view bytes, uint64_t seed = 0);

class SiteWriter {
public:
    // Name of the manifest file in the site's root.
    static constexpr const char* kManifestFile = ".tarnwick-manifest";

    enum class Outcome { Written, Unchanged };

    // folder: the output folder (exists; '/' at the end or not). inputs (may
    // be null) are never written onto. timestamp: the bytes that replace
    // kTimestampMark. given: the hash of what the run was given that the
    // pages' bytes do not show. full: the last manifest is not looked at,
    // every page is written.
    SiteWriter(std::string folder, const InputFiles* inputs, std::string timestamp, uint64_t given,
               bool full);

    // Writes one page. Throws PageWriteError naming the file on any failure.
    Outcome write(std::string_view relativePath, std::string_view bytes);
    // Writes a builder's page in encoding (characters it cannot hold as
    // character references). The CodePage is the calling thread's own.
    Outcome write(const Page& page, const CodePage& encoding);

    // What the last run recorded for the module of this key: the pages it
    // wrote and the console lines building them told (all alike: count and
    // text). When the key is the one recorded and every one of its pages is
    // on disk as recorded, the module's pages need not even be built: they
    // are kept, and the answer is true. The key must change whenever
    // anything that goes into the module's pages changes.
    bool keepModule(uint64_t key, int& consoleLines, std::string& consoleLine);
    // Records the pages a module's build wrote or found unchanged.
    void recordModule(uint64_t key, int consoleLines, std::string consoleLine,
                      std::vector<std::string> pages);

    // Writes the manifest of what the pages on disk now are (when it differs
    // from the one there), through a temporary file and a rename.
    Status commit();

    int written() const { return m_written.load(); }
    int unchanged() const { return m_unchanged.load(); }

private:
    struct Entry {
        uint64_t hash = 0;
        int64_t size = 0;
        int64_t mtime = 0;  // nanoseconds
    };

    void loadManifest();
    // Checks (once) that the folders of relativePath up to its last '/' are
    // folders inside the site, creating missing ones; true when the page's
    // own folder was created by this run (so the page cannot be there yet).
    bool prepareFolders(std::string_view relativePath, const std::string& file);
    void record(std::string_view relativePath, const Entry& entry);

    std::string m_folder;  // ends with '/'
    const InputFiles* m_inputs;
    std::string m_timestamp;
    uint64_t m_given;
    std::string m_oldManifest;                        // the file's bytes as read
    std::unordered_map<std::string, Entry> m_before;  // the last run's records
    struct ModuleRecord {
        int consoleLines = 0;
        std::string consoleLine;
        std::vector<std::string> pages;
    };
    std::unordered_map<uint64_t, ModuleRecord> m_modulesBefore;
    std::map<uint64_t, ModuleRecord> m_modulesAfter;  // guarded by m_mutex

    std::mutex m_mutex;  // guards the two folder sets and m_after
    std::unordered_set<std::string> m_checkedFolders;
    std::unordered_set<std::string> m_createdFolders;
    std::map<std::string, Entry> m_after;

    std::atomic<int> m_written{0};
    std::atomic<int> m_unchanged{0};
};

}  // namespace tarnwick
