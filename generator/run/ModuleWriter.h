// ModuleWriter: the part of a run that builds the site's pages, puts each
// body in the frame of the run's layout (PageFrame.h) and hands the pages
// to the SiteWriter.
//
// generateDocumentation() writes the project summary, the module summary,
// the overview and the search and member index, then per kind switched on
// (Classes, Modules, Forms, PropertyPages, UserControls, UserDocuments,
// Designers) the kind's index page and every module's pages. The modules are built and written on
// `jobs` worker threads; the observer hears, on the caller's thread and in module order, each
// module announced, its console lines and the progress after it, so the report is the same whatever
// the number of threads.
//
// A module is not built at all when the last run recorded its key (moduleKey
// gives it: 0 means "always build"), the CrossLinks answers its pages got
// then are the answers now, and its pages are on disk as that run wrote
// them; the console lines it told are told again. A page that cannot be
// written is told to diagnostics and counted in the result; the run goes on.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "generator/run/GenerationRun.h"
#include "generator/run/SiteWriter.h"
#include "generator/site/PageContext.h"
#include "generator/site/SiteTables.h"
#include "model/CProject.h"

namespace tarnwick {

class ModuleWriter {
public:
    using ModuleKey = std::function<uint64_t(const CModule&)>;

    // Every reference must outlive the writer; observer may be null.
    ModuleWriter(const CProject& project, const PageContext& ctx, SiteWriter& site, int jobs,
                 ModuleKey moduleKey, GenerationObserver* observer, DiagnosticsSink& diagnostics,
                 GenerationResult& result);
    ~ModuleWriter();
    ModuleWriter(const ModuleWriter&) = delete;
    ModuleWriter& operator=(const ModuleWriter&) = delete;

    void generateDocumentation();

    // The key of everything the search and member index pages are made from
    // besides the site's index entries (settings, translation, page names:
    // what every page's key starts from); 0 (the default) builds them always.
    // With it, the pages are kept as the last run wrote them when the entries
    // are those that run listed, so a change to a routine's body does not
    // rebuild them.
    void setIndexKey(uint64_t key) { m_indexKey = key; }
    // The tables ctx's links come from, made without the index entries'
    // texts: a module's are made when its pages are built or the index pages
    // are, and the manifest keeps what they hash to for the next run. With an
    // index key, without them the index pages are built always.
    void setIndexTexts(SiteTables* tables) { m_tables = tables; }

    // Runs fn; a page it cannot write is told and counted, and the run goes on.
    template <typename Fn>
    static void guardedStep(DiagnosticsSink& diagnostics, GenerationResult& result,
                            const std::string& what, Fn&& fn) {
        try {
            fn();
        } catch (const PageWriteError& e) {
            diagnostics.error(e.file(), 0, "page not written: " + reasonOf(e));
            result.failures.push_back(e.what());
        } catch (const std::exception& e) {
            diagnostics.error(std::string(), 0, what + " not written: " + e.what());
            result.failures.push_back(what + ": " + e.what());
        }
    }

private:
    // Thrown between two pages of a module when the run is being cancelled.
    struct Abandoned {};
    // A module's part of the run, built and written on any thread; what it
    // has to say is kept until the run's thread tells it, in module order.
    struct Outcome {
        bool done = false;     // guarded by m_mutex
        bool skipped = false;  // not built, or not to its end: the run was being cancelled
        bool failed = false;
        bool kept = false;  // its pages left as the last run wrote them
        std::string failFile;
        std::string failReason;
        std::vector<std::string> consoleLines;
    };

    // How often the run's thread, waiting for a module, looks at the cancel
    // flag: a window's Esc should stop the run within a tenth of a second.
    static constexpr int kCancelPollMs = 10;

    static std::string reasonOf(const PageWriteError& e);
    bool cancelled();
    void putAll(const Pages& pages);
    void writeSiteIndex();
    uint64_t siteIndexKey();
    uint64_t indexTextsOf(const CModule& module);
    void startWorkers();
    void stopWorkers();
    void buildModule(size_t i, CodePage& codePage);
    bool keepModule(size_t i, Outcome& outcome);
    void writeModule(size_t i, CodePage& codePage, Outcome& outcome);
    bool tellModule(size_t i);
    void waitFor(size_t i);
    void moduleFailed(const CModule& module, const std::string& kind, const std::string& file,
                      const std::string& reason);
    void advance();
    template <typename Fn>
    void guarded(const std::string& what, Fn&& fn) {
        guardedStep(m_diagnostics, m_result, what, std::forward<Fn>(fn));
    }

    const CProject& m_project;
    const PageContext& m_ctx;
    SiteWriter& m_site;
    int m_jobs;
    ModuleKey m_moduleKey;
    CodePage m_codePage;             // the run's thread's own
    GenerationObserver* m_observer;  // not owned, may be null
    DiagnosticsSink& m_diagnostics;
    GenerationResult& m_result;
    uint64_t m_indexKey = 0;
    SiteTables* m_tables = nullptr;  // not owned, may be null
    double m_value = 0;
    double m_max = 100;  // a progress bar's initial maximum

    std::vector<const CModule*> m_modules;  // in run order
    std::vector<uint64_t> m_keys;           // one per module; 0: built whatever was recorded
    std::unordered_map<const CModule*, size_t> m_positions;  // in m_modules
    std::vector<uint64_t> m_texts;    // one per module: ModuleRecord::texts, 0 until known
    std::vector<Outcome> m_outcomes;  // one per module, filled as they are done
    std::vector<std::thread> m_workers;
    std::atomic<size_t> m_next{0};  // the next module no one has taken
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::condition_variable m_ready;
};

}  // namespace tarnwick
