#include "generator/run/ModuleWriter.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iterator>
#include <new>
#include <system_error>

#include "generator/layout/PageFrame.h"
#include "generator/pages/ChangesPage.h"
#include "generator/pages/FormSections.h"
#include "generator/pages/ModulePages.h"
#include "generator/pages/SearchPages.h"
#include "generator/pages/modHtml.h"
#include "generator/site/CrossLinks.h"
#include "generator/site/Listing.h"
#include "generator/site/SiteIndex.h"
#include "model/CHelper.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

// Keeps a module's console lines for the run's thread.
class LineBuffer : public GenerationObserver {
public:
    explicit LineBuffer(std::vector<std::string>& lines) : m_lines(lines) {}
    void consoleLine(const std::string& line) override { m_lines.push_back(line); }

private:
    std::vector<std::string>& m_lines;
};

int count(bool on, const CModuleList& list) { return on ? list.Size() + 1 : 0; }

}  // namespace

ModuleWriter::ModuleWriter(const CProject& project, const PageContext& ctx, SiteWriter& site,
                           int jobs, ModuleKey moduleKey, GenerationObserver* observer,
                           DiagnosticsSink& diagnostics, GenerationResult& result)
    : m_project(project),
      m_ctx(ctx),
      m_site(site),
      m_jobs(jobs),
      m_moduleKey(std::move(moduleKey)),
      m_codePage(ctx.codePage),
      m_observer(observer),
      m_diagnostics(diagnostics),
      m_result(result) {}

ModuleWriter::~ModuleWriter() { stopWorkers(); }

void ModuleWriter::generateDocumentation() {
    guarded("project-summary.html", [&] {
        Page summary = framePage(modHtml::buildProjectSummary(m_project, m_ctx), m_ctx);
        m_site.write(summary, m_codePage);
        // The modern layout starts on the project summary, not on a frameset.
        if (m_ctx.modern()) m_site.write({"index.html", std::move(summary.text)}, m_codePage);
    });
    if (m_ctx.changes) {
        guarded(kChangesPage, [&] {
            m_site.write(
                framePage(buildChangesPage(m_project, *m_ctx.changes, m_ctx.changesSince, m_ctx),
                          m_ctx),
                m_codePage);
        });
    }
    guarded("module-summary.html", [&] {
        m_site.write(framePage(modHtml::buildModuleSummary(m_project, m_ctx), m_ctx), m_codePage);
    });
    guarded("all-summary.html", [&] {
        m_site.write(framePage(modHtml::buildOverviewPage(m_project, m_ctx), m_ctx), m_codePage);
    });
    // The modules' keys first: the index pages are kept by what the modules'
    // records say of their entries.
    const auto& s = m_ctx.settings;
    for (const ModuleKind kind : kDocumentedModuleKinds) {
        if (!kindSwitchedOn(kind, s)) continue;
        for (const auto& module : m_project.listOfKind(kind)->elements()) {
            m_positions.emplace(module.get(), m_modules.size());
            m_modules.push_back(module.get());
            m_keys.push_back(m_moduleKey ? m_moduleKey(*module) : 0);
        }
    }
    m_texts.assign(m_modules.size(), 0);
    m_outcomes = std::vector<Outcome>(m_modules.size());
    guarded("search and member index", [&] { writeSiteIndex(); });

    // Progress maximum over the kinds switched on. A maximum of 0 (nothing
    // to write) is not taken: the bar keeps its initial maximum.
    int total = 0;
    for (const ModuleKind kind : kDocumentedModuleKinds)
        total += count(kindSwitchedOn(kind, s), *m_project.listOfKind(kind));
    if (total > 0) m_max = total;

    startWorkers();

    size_t next = 0;
    for (const ModuleKind kind : kDocumentedModuleKinds) {
        if (!kindSwitchedOn(kind, s)) continue;
        const CModuleList& list = *m_project.listOfKind(kind);
        guarded("kind index", [&] {
            putAll(framePages(modHtml::buildKindIndex(list, m_project, m_ctx), m_ctx));
        });
        if (cancelled()) return;
        for (size_t end = next + list.elements().size(); next < end; ++next) {
            if (!tellModule(next)) return;
        }
        if (cancelled()) return;
    }
}

bool ModuleWriter::cancelled() {
    if (m_observer && m_observer->cancelRequested()) m_result.cancelled = true;
    if (m_result.cancelled) m_stop.store(true);
    return m_result.cancelled;
}

void ModuleWriter::putAll(const Pages& pages) {
    for (const Page& page : pages) m_site.write(page, m_codePage);
}

namespace {

// Adds the fields of an index entry the index pages show to key; the texts
// (summary, words) only when asked, since a module's come in as one hash.
uint64_t entryKey(const IndexEntry& e, uint64_t key, bool texts) {
    const int64_t module = e.module;
    key = hashBytes(std::string_view(reinterpret_cast<const char*>(&module), sizeof module), key);
    for (const std::string* field : {&e.name, &e.kind, &e.path})
        key = hashBytes("\n", hashBytes(*field, key));
    if (texts)
        for (const std::string* field : {&e.summary, &e.words})
            key = hashBytes("\n", hashBytes(*field, key));
    return key;
}

}  // namespace

// What module's index entries say in their texts, from the last run's
// record of the module when its key is unchanged, else made now; 0 when
// the entries' texts are not to be had.
uint64_t ModuleWriter::indexTextsOf(const CModule& module) {
    const auto position = m_positions.find(&module);
    if (!m_tables || position == m_positions.end()) return 0;
    const size_t i = position->second;
    if (m_texts[i] != 0) return m_texts[i];
    const ModuleRecord* record = m_keys[i] != 0 ? m_site.moduleRecord(m_keys[i]) : nullptr;
    if (record && record->texts != 0) return m_texts[i] = record->texts;
    m_tables->addTexts(module);
    uint64_t key = 0;
    for (const IndexEntry& e : m_tables->entriesOf(module))
        key = hashBytes("\n", hashBytes(e.words, hashBytes("\n", hashBytes(e.summary, key))));
    return m_texts[i] = key | 1;
}

// The index key with every entry the index pages show, the rows of the
// forms' controls included; 0 when there is no key or no entries to hash.
uint64_t ModuleWriter::siteIndexKey() {
    if (m_indexKey == 0 || !m_ctx.links) return 0;
    // The texts no record gives are made first, on the run's threads.
    if (m_tables) {
        std::vector<const CModule*> unknown;
        for (const auto& [module, i] : m_positions) {
            const ModuleRecord* record = m_keys[i] != 0 ? m_site.moduleRecord(m_keys[i]) : nullptr;
            if (m_texts[i] == 0 && !(record && record->texts != 0)) unknown.push_back(module);
        }
        m_tables->addTexts(unknown, static_cast<unsigned>(std::max(m_jobs, 1)));
    }
    uint64_t key = m_indexKey;
    std::vector<IndexEntry> forms;  // the modules with a designer, for their controls' rows
    for (const IndexEntry& e : m_ctx.links->entries()) {
        key = entryKey(e, key, false);
        if (e.module >= 0) continue;
        const uint64_t texts = indexTextsOf(*e.owner);
        if (texts == 0) return 0;
        key = hashBytes(std::string_view(reinterpret_cast<const char*>(&texts), 8), key);
        if (e.owner && e.owner->Design()) forms.push_back(e);
    }
    const size_t count = forms.size();
    forms = withControlEntries(std::move(forms));
    for (size_t i = count; i < forms.size(); ++i) key = entryKey(forms[i], key, true);
    return key | 1;
}

// The search index, the search page, the A-Z page and the navigation
// scripts: kept when what they are made from is what the last run recorded.
void ModuleWriter::writeSiteIndex() {
    const uint64_t key = siteIndexKey();
    if (key != 0 && m_site.moduleRecord(key) && m_site.keepModule(key)) return;
    if (m_tables) m_tables->addTexts(static_cast<unsigned>(std::max(m_jobs, 1)));
    SiteIndexPages index = buildSiteIndexPages(m_project, m_ctx);
    Pages pages = framePages(std::move(index.bodies), m_ctx);
    std::move(pages.begin(), pages.end(), std::back_inserter(index.scripts));
    ModuleRecord record;
    for (const Page& page : index.scripts) {
        m_site.write(page, m_codePage);
        record.pages.push_back(page.path);
    }
    if (key != 0) m_site.recordModule(key, std::move(record));
}

// The workers take the modules in run order, each the next one not taken.
void ModuleWriter::startWorkers() {
    const size_t wanted = std::min(static_cast<size_t>(std::max(m_jobs, 1)), m_modules.size());
    if (wanted < 2) return;
    try {
        for (size_t i = 0; i < wanted; ++i) {
            m_workers.emplace_back([this] {
                CodePage codePage = m_ctx.codePage;  // one per thread
                for (size_t i = m_next++; i < m_modules.size(); i = m_next++)
                    buildModule(i, codePage);
            });
        }
    } catch (const std::system_error&) {
        // No more threads to be had: the run's thread does the rest.
    }
}

void ModuleWriter::stopWorkers() {
    m_stop.store(true);
    for (std::thread& worker : m_workers) worker.join();
    m_workers.clear();
}

// Builds and writes the pages of module i, or keeps them; the outcome says how it went.
void ModuleWriter::buildModule(size_t i, CodePage& codePage) {
    Outcome outcome;
    if (m_stop.load())
        outcome.skipped = true;
    else if (!keepModule(i, outcome))
        writeModule(i, codePage, outcome);
    outcome.done = true;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_outcomes[i] = std::move(outcome);
    m_ready.notify_all();
}

// Nothing the module's pages are made from has changed since the last run,
// and its pages are on disk as that run left them: not built.
bool ModuleWriter::keepModule(size_t i, Outcome& outcome) {
    const uint64_t key = m_keys[i];
    const ModuleRecord* record = key != 0 ? m_site.moduleRecord(key) : nullptr;
    if (!record || (m_ctx.links && !m_ctx.links->answersAgain(record->links, *m_modules[i])) ||
        !m_site.keepModule(key))
        return false;
    outcome.consoleLines.assign(static_cast<size_t>(record->consoleLines), record->consoleLine);
    outcome.kept = true;
    return true;
}

void ModuleWriter::writeModule(size_t i, CodePage& codePage, Outcome& outcome) {
    LineBuffer lines(outcome.consoleLines);
    PageContext ctx = m_ctx;
    ctx.console = &lines;
    try {
        ModuleRecord record;
        {
            const RecordLinkAnswers recording(record.links);
            // Each page written and let go as it comes: a giant module's are not all held.
            buildModulePages(*m_modules[i], m_project, ctx, [&](PageBody&& body) {
                // A cancel stops a module between two pages: the next run,
                // finding it unrecorded, writes it whole.
                if (m_stop.load() || (m_observer && m_observer->cancelRequested()))
                    throw Abandoned{};
                Page page = framePage(std::move(body), ctx);
                m_site.write(page, codePage);
                page.text = {};
                record.pages.push_back(std::move(page.path));
            });
        }
        const auto& told = outcome.consoleLines;
        const bool alike = std::all_of(told.begin(), told.end(), [&](const std::string& line) {
            return line == told.front() && line.find('\n') == std::string::npos;
        });
        if (m_keys[i] != 0 && alike) {
            record.consoleLines = static_cast<int>(told.size());
            if (!told.empty()) record.consoleLine = told.front();
            record.texts = m_texts[i];
            m_site.recordModule(m_keys[i], std::move(record));
        }
    } catch (const Abandoned&) {
        outcome.skipped = true;
    } catch (const PageWriteError& e) {
        outcome.failed = true;
        outcome.failFile = e.file();
        outcome.failReason = reasonOf(e);
    } catch (const std::bad_alloc&) {
        outcome.failed = true;
        outcome.failFile = m_modules[i]->Path();
        outcome.failReason = "not enough memory for its pages";
    } catch (const std::exception& e) {
        outcome.failed = true;
        outcome.failReason = e.what();
    }
}

// Waits until module i is written; Ctrl-C asked meanwhile stops the workers soon.
void ModuleWriter::waitFor(size_t i) {
    if (m_workers.empty()) {
        if (m_next.load() <= i) {
            m_next.store(i + 1);
            buildModule(i, m_codePage);
        }
        return;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_outcomes[i].done) {
        m_ready.wait_for(lock, std::chrono::milliseconds(kCancelPollMs));
        if (!m_stop.load() && m_observer && m_observer->cancelRequested()) {
            m_result.cancelled = true;
            m_stop.store(true);
        }
    }
}

// Announces module i, waits until it is written, tells its console lines
// and failure and moves the bar on; false when the run stops here.
bool ModuleWriter::tellModule(size_t i) {
    const CModule& module = *m_modules[i];
    const CHelper helper;
    if (m_observer) {
        m_observer->moduleStarted(
            toLower(helper.getModulesType(module)),
            "Generating " + helper.getModuleType(module) + ": " + module.Name());
    }
    if (cancelled()) return false;
    waitFor(i);
    Outcome& outcome = m_outcomes[i];
    if (outcome.skipped) {
        m_result.cancelled = true;
        return false;
    }
    if (m_observer) {
        for (const std::string& line : outcome.consoleLines) m_observer->consoleLine(line);
    }
    if (outcome.failed)
        moduleFailed(module, helper.getModuleType(module), outcome.failFile, outcome.failReason);
    else
        ++m_result.modulesWritten;
    if (outcome.kept) ++m_result.modulesKept;
    outcome.consoleLines = std::vector<std::string>();  // told: not kept
    advance();
    return true;
}

// The reason of a page failure without the page's name in front: the
// diagnostic names the file already.
std::string ModuleWriter::reasonOf(const PageWriteError& e) {
    std::string_view text = e.what();
    const std::string prefix = e.file() + ": ";
    if (text.starts_with(prefix)) text.remove_prefix(prefix.size());
    return std::string(text);
}

void ModuleWriter::moduleFailed(const CModule& module, const std::string& kind,
                                const std::string& file, const std::string& reason) {
    ++m_result.modulesFailed;
    const std::string what = "pages of " + kind + " " + module.Name() + " not complete: ";
    m_diagnostics.error(file, 0, what + reason);
    m_result.failures.push_back("module " + module.Name() + ": " +
                                (file.empty() ? reason : file + ": " + reason));
}

// One module more: the bar's value rises by one (its maximum first when the
// value has reached it), and the text is the whole percentage, a half going
// to the even number.
void ModuleWriter::advance() {
    if (m_value == m_max) m_max += 1;
    m_value += 1;
    const double percent = std::nearbyint(m_value / (m_max / 100));
    const std::string text = std::to_string(static_cast<long long>(percent)) + " %";
    if (m_observer) m_observer->progress(m_value, m_max, text);
}

}  // namespace tarnwick
