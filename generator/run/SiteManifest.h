// SiteManifest: what the last run into a site left there, as the next run reads it.
//
// The file ".tarnwick-manifest" beside the stamp file holds, under "given"
// (what the run was given that the pages' bytes do not show: the tool's
// version, where the timestamp comes from), four kinds of records:
// - per page: the hash of its bytes (the timestamp left out), its size and
//   its modification time, so a page is trusted only while the disk shows it
//   as written;
// - per module key: the pages the module's build wrote and the console lines
//   it told, so a module whose key is unchanged need not be built (the
//   search and member index pages are recorded alike, under a key of their
//   own);
// - per input file: its stat stamp (size, time, inode) and the hash of its
//   bytes, so the next run reads only the inputs whose stamp changed;
// - for a run that finished without failure or cancel: its run key and the
//   report it gave (module announcements, progress, console lines,
//   diagnostics), so a run whose inputs all show the same stamps tells the
//   same without reading the project.
// A manifest with another "given", another header or a cut-off line is read
// as far as it is whole; one from another tool version counts as empty.
// parse() and render() are inverse: render(parse(text)) == text for a text
// render() made.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "support/AtomicFile.h"

namespace tarnwick {

struct PageRecord {
    uint64_t hash = 0;
    int64_t size = 0;
    int64_t mtime = 0;  // nanoseconds
};

struct ModuleRecord {
    int consoleLines = 0;     // that many lines were told, all alike:
    std::string consoleLine;  // this one (without a line end)
    std::vector<std::string> pages;
    // What the texts of the module's index entries hash to (summaries and
    // words; 0: not known), so the index pages are kept without them.
    uint64_t texts = 0;
    // The CrossLinks answers the pages got (see LinkAnswers in CrossLinks.h).
    std::map<std::string, std::string> links;
};

struct InputRecord {
    FileStamp stamp;    // size -1: the file was missing
    uint64_t hash = 0;  // of its bytes
};

// One thing a run told its observer or its diagnostics, in the order told.
struct ReportEvent {
    enum class Kind : char {
        Started = 'S',   // moduleStarted(a, b)
        Progress = 'P',  // progress(value, max, a)
        Console = 'C',   // consoleLine(a), count times
        Warning = 'W',   // diagnostic (a: file, line, b: message)
        Error = 'E',
    };
    Kind kind = Kind::Console;
    std::string a, b;
    double value = 0, max = 0;
    int line = 0;
    int count = 1;
};

class SiteManifest {
public:
    static constexpr const char* kFileName = ".tarnwick-manifest";

    // The manifest in text, when its "given" is given; else an empty one.
    static SiteManifest parse(std::string_view text, uint64_t given);
    std::string render() const;

    uint64_t given = 0;
    std::map<std::string, PageRecord> pages;
    std::map<uint64_t, ModuleRecord> modules;
    std::map<std::string, InputRecord> inputs;
    uint64_t runKey = 0;  // 0: no finished run to repeat
    int runPages = 0;     // pages that run built (wrote or found unchanged)
    std::vector<ReportEvent> report;
};

}  // namespace tarnwick
