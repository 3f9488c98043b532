#include "generator/GenerationRun.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "generator/CrossLinks.h"
#include "generator/Listing.h"
#include "generator/ModulePages.h"
#include "generator/OutputLock.h"
#include "generator/PageContext.h"
#include "generator/PageNames.h"
#include "generator/SiteIndex.h"
#include "generator/SiteLayout.h"
#include "generator/SiteWriter.h"
#include "generator/SourcePage.h"
#include "generator/Styles.h"
#include "generator/Timestamp.h"
#include "generator/modHtml.h"
#include "generator/modHtmlDetail.h"
#include "model/CHelper.h"
#include "model/Translation.h"
#include "reader/CParser.h"
#include "reader/ConditionalCompilation.h"
#include "reader/modRegistry.h"
#include "support/File.h"
#include "support/FileCopy.h"
#include "support/InputFiles.h"
#include "support/ProgramFolder.h"
#include "support/Text.h"

namespace fs = std::filesystem;

namespace tarnwick {

namespace {

std::string withSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

// A module's part of the run, built and written on any thread; what it has
// to say is kept until the run's thread tells it, in module order.
struct ModuleOutcome {
    bool done = false;     // guarded by the pool's mutex
    bool skipped = false;  // not built: the run was being cancelled
    bool failed = false;
    std::string failFile;
    std::string failReason;
    std::vector<std::string> consoleLines;
};

// Keeps a module's console lines for the run's thread.
class LineBuffer : public GenerationObserver {
public:
    explicit LineBuffer(std::vector<std::string>& lines) : m_lines(lines) {}
    void consoleLine(const std::string& line) override { m_lines.push_back(line); }

private:
    std::vector<std::string>& m_lines;
};

// The run's state while the pages are written: the modules in run order, the
// worker threads that build and write them, the progress bar's two numbers
// and what the result collects. Only the run's thread talks to the observer.
class Writer {
public:
    // inputsKey: a hash of everything the module pages are made from (0: not
    // known, every module is built).
    Writer(const CProject& project, const PageContext& ctx, SiteWriter& site, int jobs,
           uint64_t inputsKey, GenerationObserver* observer, DiagnosticsSink& diagnostics,
           GenerationResult& result)
        : m_project(project),
          m_ctx(ctx),
          m_site(site),
          m_jobs(jobs),
          m_inputsKey(inputsKey),
          m_codePage(ctx.codePage),
          m_observer(observer),
          m_diagnostics(diagnostics),
          m_result(result) {}

    ~Writer() { stopWorkers(); }

    void generateDocumentation() {
        guarded("project-summary.html",
                [&] { put(modHtml::buildProjectSummary(m_project, m_ctx)); });
        guarded("module-summary.html", [&] { put(modHtml::buildModuleSummary(m_project, m_ctx)); });
        guarded("all-summary.html", [&] { put(modHtml::buildOverviewPage(m_project, m_ctx)); });
        guarded("search and member index", [&] { putAll(buildSiteIndexPages(m_project, m_ctx)); });

        // Progress maximum over the kinds switched on. A maximum of 0 (nothing
        // to write) is not taken: the bar keeps its initial maximum.
        const auto& s = m_ctx.settings;
        int total = 0;
        for (const ModuleKind kind : kDocumentedModuleKinds)
            total += count(kindSwitchedOn(kind, s), *m_project.listOfKind(kind));
        if (total > 0) m_max = total;

        for (const ModuleKind kind : kDocumentedModuleKinds) {
            if (!kindSwitchedOn(kind, s)) continue;
            for (const auto& module : m_project.listOfKind(kind)->elements())
                m_modules.push_back(module.get());
        }
        m_outcomes = std::vector<ModuleOutcome>(m_modules.size());
        startWorkers();

        size_t next = 0;
        for (const ModuleKind kind : kDocumentedModuleKinds) {
            if (!kindSwitchedOn(kind, s)) continue;
            const CModuleList& list = *m_project.listOfKind(kind);
            guarded("kind index", [&] { putAll(modHtml::buildKindIndex(list, m_project, m_ctx)); });
            if (cancelled()) return;
            for (size_t end = next + list.elements().size(); next < end; ++next) {
                if (!tellModule(next)) return;
            }
            if (cancelled()) return;
        }
    }

private:
    static int count(bool on, const CModuleList& list) { return on ? list.Size() + 1 : 0; }

    bool cancelled() {
        if (m_observer && m_observer->cancelRequested()) m_result.cancelled = true;
        if (m_result.cancelled) m_stop.store(true);
        return m_result.cancelled;
    }

    // Writes a page built on the run's thread.
    void put(const Page& page) { m_site.write(page, m_codePage); }
    void putAll(const Pages& pages) {
        for (const Page& page : pages) put(page);
    }

    // The workers take the modules in run order, each the next one not taken.
    void startWorkers() {
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

    void stopWorkers() {
        m_stop.store(true);
        for (std::thread& worker : m_workers) worker.join();
        m_workers.clear();
    }

    // Builds and writes the pages of module i; the outcome says how it went.
    void buildModule(size_t i, CodePage& codePage) {
        ModuleOutcome outcome;
        const CModule& module = *m_modules[i];
        // Nothing the module's pages are made from has changed since the last
        // run, and its pages are on disk as that run left them: not built.
        const uint64_t key = m_inputsKey == 0
                                 ? 0
                                 : hashBytes(std::to_string(module.ModuleType()) + '\n' +
                                                 module.Name() + '\n' + module.Path(),
                                             m_inputsKey);
        int keptLines = 0;
        std::string keptLine;
        if (m_stop.load()) {
            outcome.skipped = true;
        } else if (key != 0 && m_site.keepModule(key, keptLines, keptLine)) {
            outcome.consoleLines.assign(static_cast<size_t>(keptLines), keptLine);
        } else {
            LineBuffer lines(outcome.consoleLines);
            PageContext ctx = m_ctx;
            ctx.observer = &lines;
            try {
                std::vector<std::string> paths;
                // Each page written and let go as it comes: a giant module's are not all held.
                buildModulePages(module, m_project, ctx, [&](Page&& page) {
                    const std::string bytes =
                        codePage.fromUtf8(page.text, CodePage::Fallback::HtmlReference);
                    page.text = std::string();
                    m_site.write(page.path, bytes);
                    paths.push_back(std::move(page.path));
                });
                const auto& told = outcome.consoleLines;
                const bool alike =
                    std::all_of(told.begin(), told.end(), [&](const std::string& line) {
                        return line == told.front() && line.find('\n') == std::string::npos;
                    });
                if (key != 0 && alike) {
                    m_site.recordModule(key, static_cast<int>(told.size()),
                                        told.empty() ? std::string() : told.front(),
                                        std::move(paths));
                }
            } catch (const PageWriteError& e) {
                outcome.failed = true;
                outcome.failFile = e.file();
                outcome.failReason = reasonOf(e);
            } catch (const std::bad_alloc&) {
                outcome.failed = true;
                outcome.failFile = module.Path();
                outcome.failReason = "not enough memory for its pages";
            } catch (const std::exception& e) {
                outcome.failed = true;
                outcome.failReason = e.what();
            }
        }
        outcome.done = true;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_outcomes[i] = std::move(outcome);
        m_ready.notify_all();
    }

    // Announces module i, waits until it is written, tells its console lines
    // and failure and moves the bar on; false when the run stops here.
    bool tellModule(size_t i) {
        const CModule& module = *m_modules[i];
        const CHelper helper;
        const std::string kinds = helper.getModulesType(module);
        if (m_observer) {
            m_observer->moduleStarted(toLower(kinds), "Generating " + helper.getModuleType(module) +
                                                          ": " + module.Name());
        }
        if (cancelled()) return false;
        if (m_workers.empty()) {
            if (m_next.load() <= i) {
                m_next.store(i + 1);
                buildModule(i, m_codePage);
            }
        } else {
            std::unique_lock<std::mutex> lock(m_mutex);
            while (!m_outcomes[i].done) {
                m_ready.wait_for(lock, std::chrono::milliseconds(50));
                // Asked while the workers build, so Ctrl-C stops them soon.
                if (!m_stop.load() && m_observer && m_observer->cancelRequested()) {
                    m_result.cancelled = true;
                    m_stop.store(true);
                }
            }
        }
        ModuleOutcome& outcome = m_outcomes[i];
        if (outcome.skipped) {
            m_result.cancelled = true;
            return false;
        }
        if (m_observer) {
            for (const std::string& line : outcome.consoleLines) m_observer->consoleLine(line);
        }
        if (outcome.failed)
            moduleFailed(module, helper.getModuleType(module), outcome.failFile,
                         outcome.failReason);
        else
            ++m_result.modulesWritten;
        outcome.consoleLines = std::vector<std::string>();  // told: not kept
        advance();
        return true;
    }

    // The reason of a page failure without the page's name in front: the
    // diagnostic names the file already.
    static std::string reasonOf(const PageWriteError& e) {
        std::string_view text = e.what();
        const std::string prefix = e.file() + ": ";
        if (text.starts_with(prefix)) text.remove_prefix(prefix.size());
        return std::string(text);
    }

    void moduleFailed(const CModule& module, const std::string& kind, const std::string& file,
                      const std::string& reason) {
        ++m_result.modulesFailed;
        const std::string what = "pages of " + kind + " " + module.Name() + " not complete: ";
        m_diagnostics.error(file, 0, what + reason);
        m_result.failures.push_back("module " + module.Name() + ": " +
                                    (file.empty() ? reason : file + ": " + reason));
    }

    // One module more: the bar's value rises by one (its maximum first when
    // the value has reached it), and the text is the whole percentage, a
    // half going to the even number.
    void advance() {
        if (m_value == m_max) m_max += 1;
        m_value += 1;
        const double percent = std::nearbyint(m_value / (m_max / 100));
        const std::string text = std::to_string(static_cast<long long>(percent)) + " %";
        if (m_observer) m_observer->progress(m_value, m_max, text);
    }

    template <typename Fn>
    void guarded(const std::string& what, Fn&& fn) {
        guardedStep(m_diagnostics, m_result, what, std::forward<Fn>(fn));
    }

public:
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
    const CProject& m_project;
    const PageContext& m_ctx;
    SiteWriter& m_site;
    int m_jobs;
    uint64_t m_inputsKey;
    CodePage m_codePage;             // the run's thread's own
    GenerationObserver* m_observer;  // not owned, may be null
    DiagnosticsSink& m_diagnostics;
    GenerationResult& m_result;
    double m_value = 0;
    double m_max = 100;  // a progress bar's initial maximum

    std::vector<const CModule*> m_modules;  // in run order
    std::vector<ModuleOutcome> m_outcomes;  // one per module, filled as they are done
    std::vector<std::thread> m_workers;
    std::atomic<size_t> m_next{0};  // the next module no one has taken
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::condition_variable m_ready;
};

// Prepares the output folder: refuses a file and a foreign non-empty
// folder (unless force), creates a missing one.
Status prepareOutputFolder(const std::string& folder, bool force) {
    if (folder.empty()) return Error{"no output folder given"};
    switch (GenerationRun::inspectOutputFolder(folder)) {
        case OutputFolderState::NotAFolder: {
            std::error_code why;  // the system may refuse the path itself (too long, a loop)
            (void)fs::status(folder, why);
            if (why && why != std::errc::no_such_file_or_directory)
                return Error{folder + ": " + why.message()};
            return Error{folder + ": exists and is not a folder"};
        }
        case OutputFolderState::Foreign:
            if (!force) {
                return Error{folder +
                             ": folder is not empty and holds no earlier Tarnwick site "
                             "(use --force to write into it anyway)"};
            }
            return ok();
        case OutputFolderState::Missing: {
            std::error_code ec;
            fs::create_directories(folder, ec);
            if (ec) return Error{folder + ": cannot create the folder: " + ec.message()};
            return ok();
        }
        case OutputFolderState::Empty:
        case OutputFolderState::EarlierSite:
            return ok();
    }
    return ok();
}

// Every file the run reads: nothing it writes may land on one of them (an
// output folder that is the project's own folder may hold a module file
// named like a page).
InputFiles inputsOf(const CProject& project, const std::string& projectPath,
                    const std::vector<std::string>& registryFiles,
                    const std::string& translationPath) {
    InputFiles inputs;
    inputs.add(projectPath);
    for (const ModuleKind kind : kDocumentedModuleKinds) {
        for (const auto& module : project.listOfKind(kind)->elements()) inputs.add(module->Path());
    }
    for (const std::string& file : registryFiles) inputs.add(file);
    inputs.add(translationPath);
    return inputs;
}

// Every file the run reads, in a fixed order.
std::vector<std::string> inputFiles(const CProject& project, const std::string& projectPath,
                                    const std::vector<std::string>& registryFiles,
                                    const std::string& translationPath) {
    std::vector<std::string> files{projectPath, translationPath};
    for (const ModuleKind kind : kDocumentedModuleKinds) {
        for (const auto& module : project.listOfKind(kind)->elements())
            files.push_back(module->Path());
    }
    files.insert(files.end(), registryFiles.begin(), registryFiles.end());
    return files;
}

// A hash of everything a module's pages are made from: the settings, the
// language and encodings, what the pages' bytes do not show (given), and
// the bytes of every file the run reads (a page may show what another
// module declares, such as a class name as a link). 0 when a file cannot be
// read again.
uint64_t inputsKey(const GenerationRequest& request, const PageContext& ctx, uint64_t given,
                   const std::vector<std::string>& files) {
    const GenerationSettings& s = request.settings;
    // A new setting must be added to the text below, or a re-run would keep
    // pages made with its old value.
    static_assert(sizeof(GenerationSettings) == 25, "every setting goes into the key");
    const bool flags[] = {
        s.Libraries,     s.Modules,    s.Forms,           s.Classes,   s.UserControls,
        s.PropertyPages, s.Events,     s.Implementations, s.Constants, s.Functions,
        s.Subroutines,   s.Properties, s.Variables,       s.Types,     s.Enum,
        s.Declarations,  s.Global,     s.Public,          s.Friend,    s.Private,
        s.Uml,           s.Syntax,     s.Parameter,       s.Return,    s.Source};
    std::string text;
    for (const bool flag : flags) text += flag ? '1' : '0';
    for (const std::string& part : {request.language, request.codePage, ctx.codePage.name(),
                                    ctx.productName, ctx.version, ctx.homepage, ctx.copyright})
        text += '\n' + part;
    for (const std::string& define : request.defines) text += '\n' + define;
    uint64_t key = hashBytes(text, given);
    for (const std::string& file : files) {
        auto bytes = File(file).ReadBytes(kModuleReadLimit);
        if (!bytes) {
            if (File(file).IsPresent()) return 0;
            key = hashBytes("missing " + file, key);
            continue;
        }
        key = hashBytes(file, key);
        key = hashBytes(bytes.value(), key);
    }
    return key == 0 ? 1 : key;
}

}  // namespace

GenerationRun::GenerationRun(GenerationRequest request, GenerationObserver* observer,
                             DiagnosticsSink* diagnostics)
    : m_request(std::move(request)), m_observer(observer), m_diagnostics(diagnostics) {}

OutputFolderState GenerationRun::inspectOutputFolder(const std::string& folder) {
    // "notes.txt/" names the file notes.txt, not a folder still to create.
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) {
        // A dangling link is not a folder we could create.
        if (fs::is_symlink(fs::symlink_status(path, ec))) return OutputFolderState::NotAFolder;
        return OutputFolderState::Missing;
    }
    if (status.type() != fs::file_type::directory) return OutputFolderState::NotAFolder;
    if (SiteLayout::hasStamp(folder)) return OutputFolderState::EarlierSite;
    fs::directory_iterator it(folder, ec);
    if (ec) return OutputFolderState::Foreign;  // unreadable: not known to be empty
    // A lock file alone is a run's that had not stamped the folder yet.
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec || it->path().filename() != OutputLock::kLockFile) return OutputFolderState::Foreign;
    }
    return OutputFolderState::Empty;
}

Expected<GenerationResult> GenerationRun::run() {
    NullSink nullSink;
    DiagnosticsSink& diagnostics = m_diagnostics ? *m_diagnostics : nullSink;

    auto codePage = CodePage::open(m_request.codePage);
    if (!codePage) return codePage.error();
    auto outputEncoding = CodePage::open(
        m_request.outputEncoding.empty() ? m_request.codePage : m_request.outputEncoding);
    if (!outputEncoding) return outputEncoding.error();

    // Refusals come before anything is read or written.
    std::string styleSheet;
    if (!m_request.style.empty()) {
        auto sheet = styleSheetPath(
            m_request.themesFolder.empty() ? defaultThemesFolder() : m_request.themesFolder,
            m_request.style);
        if (!sheet) return sheet.error();
        styleSheet = std::move(sheet).value();
    }
    const auto state = inspectOutputFolder(m_request.outputFolder);
    if (state == OutputFolderState::NotAFolder ||
        (state == OutputFolderState::Foreign && !m_request.force)) {
        const Status refused = prepareOutputFolder(m_request.outputFolder, m_request.force);
        if (!refused) return refused.error();
    }

    // Taken before the project is read when the folder is there already, so
    // a second run into it stops at once.
    std::optional<OutputLock> lock;
    if (state != OutputFolderState::Missing) {
        auto taken = OutputLock::acquire(m_request.outputFolder);
        if (!taken) return taken.error();
        lock.emplace(std::move(taken).value());
    }

    CParser parser;
    parser.setPath(m_request.projectPath);
    parser.setCodePage(codePage.value());
    parser.setDiagnostics(&diagnostics);
    const auto registry = std::make_shared<const RegistrySource>(
        RegistrySource::fromLocation({m_request.registryFile, m_request.winePrefix}, &diagnostics));
    parser.setRegistry(registry);
    auto defines = readDefines(m_request.defines);
    if (!defines) return defines.error();
    parser.setDefines(std::move(defines).value());
    auto parsed = parser.Parse();
    if (!parsed) return parsed.error();
    const std::shared_ptr<CProject> project = std::move(parsed).value();

    // The translation is read once per run; the pages only look it up.
    const std::string translationPath =
        m_request.translationFile.empty() ? Translation::defaultPath() : m_request.translationFile;
    const InputFiles inputs =
        inputsOf(*project, m_request.projectPath, registry->files(), translationPath);

    const Status prepared = prepareOutputFolder(m_request.outputFolder, m_request.force);
    if (!prepared) return prepared.error();
    const std::string folder = withSlash(m_request.outputFolder);
    if (const std::string* input = inputs.overwrittenBy(folder + SiteLayout::kStampFile)) {
        return Error{folder + SiteLayout::kStampFile + ": the stamp file would overwrite " +
                     *input + ", a file the project reads"};
    }
    if (!lock) {
        auto taken = OutputLock::acquire(folder);
        if (!taken) return taken.error();
        lock.emplace(std::move(taken).value());
    }
    // Stamped first, so a run that stops half-way still leaves a folder a
    // later run may write into.
    if (const Status stamped = SiteLayout::writeStamp(folder); !stamped) {
        return stamped.error();
    }

    // The bundled file is saved in windows-1252 whatever the project's code
    // page; a file of the user's is taken to be in the project's.
    std::string translationProblem;
    const Translation translation = Translation::load(
        translationPath, m_request.translationFile.empty() ? CodePage() : codePage.value(),
        &translationProblem);
    // A bundled file that is simply missing is no news; anything else is.
    if (!translation.loaded() &&
        (!m_request.translationFile.empty() || File(translationPath).IsPresent())) {
        diagnostics.warning(translationPath, 0,
                            "the translation file cannot be read: " + translationProblem +
                                "; texts are written untranslated");
    }

    bool badEpoch = false;
    const bool timeIsFixed = fixedTime(m_request.fixedTime, &badEpoch).has_value();
    if (badEpoch) {
        diagnostics.warning(std::string(), 0,
                            "SOURCE_DATE_EPOCH is not a whole number of seconds; "
                            "pages carry the current time");
    }

    PageContext ctx;
    ctx.settings = m_request.settings;
    ctx.translation = &translation;
    ctx.language = m_request.language;
    ctx.projectName = modHtml::detail::projectDisplayName(*project);
    ctx.observer = m_observer;
    ctx.diagnostics = &diagnostics;
    ctx.codePage = outputEncoding.value();
    // The builders leave a mark where the timestamp goes; the writer puts in
    // the run's one, so a page whose only change would be its timestamp is
    // seen as unchanged.
    const std::string now = makeNowFunction(m_request.fixedTime)();
    ctx.now = [] { return std::string(kTimestampMark); };
    // What the pages' bytes do not show: the tool (its version and the
    // manifest's form) and where the timestamp comes from.
    const uint64_t given = hashBytes(std::string(TARNWICK_VERSION) + "\n" +
                                     (timeIsFixed ? "fixed " + now : std::string("local")));
    SiteWriter site(folder, &inputs, ctx.codePage.fromUtf8(now, CodePage::Fallback::HtmlReference),
                    given, m_request.full);

    // What the site lists, once: the search index, the A-Z page and the
    // links between pages all come from it.
    // Page names first, over the whole project, so every builder, thread
    // and link agrees on them.
    const PageNames names(*project, &diagnostics);
    ctx.pageNames = &names;
    const std::vector<IndexEntry> entries = siteIndexEntries(*project, ctx.settings, &names);
    const CrossLinks links(entries);
    ctx.links = &links;

    GenerationResult result;
    {
        const int jobs = m_request.jobs > 0
                             ? m_request.jobs
                             : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
        Writer(*project, ctx, site, jobs,
               inputsKey(
                   m_request, ctx, given,
                   inputFiles(*project, m_request.projectPath, registry->files(), translationPath)),
               m_observer, diagnostics, result)
            .generateDocumentation();
    }

    // The site's frame and its resources come after the pages, also after a
    // cancel, so what was written can be browsed.
    const std::string resources = m_request.resourceFolder.empty() ? programFolder() + "Ressources"
                                                                   : m_request.resourceFolder;
    const std::string resourceRoot = withSlash(resources);
    {
        // The frameset is the resource's, declared in the pages' encoding.
        const std::string from = resourceRoot + "index.html";
        Expected<std::string> bytes = File(from).ReadBytes();
        if (!bytes) {
            diagnostics.error(from, 0, "resource missing; the site is incomplete");
            result.failures.push_back(from + ": resource missing");
        } else {
            Writer::guardedStep(diagnostics, result, "index.html", [&] {
                const Page page = modHtml::buildFramePage(CodePage().toUtf8(bytes.value()), ctx);
                site.write(page.path,
                           ctx.codePage.fromUtf8(page.text, CodePage::Fallback::HtmlReference));
            });
        }
    }
    {
        const std::string from = resourceRoot + "src";
        std::error_code ec;
        if (!fs::exists(from, ec)) {
            diagnostics.error(from, 0, "resource missing; the site is incomplete");
            result.failures.push_back(from + ": resource missing");
        } else if (const Status copied = copyTree(from, folder, &inputs); !copied) {
            diagnostics.error(from, 0, "resource not copied: " + copied.error().message);
            result.failures.push_back(copied.error().message);
        }
    }
    if (!styleSheet.empty()) {
        // The style's sheet takes the place of the resource's screen sheet.
        Expected<std::string> bytes = File(styleSheet).ReadBytes();
        if (!bytes) {
            diagnostics.error(styleSheet, 0, "style sheet not read: " + bytes.error().message);
            result.failures.push_back(bytes.error().message);
        } else {
            Writer::guardedStep(diagnostics, result, "style sheet",
                                [&] { site.write("src/css/screen.css", bytes.value()); });
        }
    }
    SiteLayout::linkCaseSpellings(folder, &diagnostics);
    if (const Status stamped = SiteLayout::writeStamp(folder); !stamped) {
        diagnostics.warning(folder + SiteLayout::kStampFile, 0, stamped.error().message);
    }
    // Last, so that a run that stops before it leaves the last manifest,
    // which the pages this run rewrote no longer match.
    if (const Status committed = site.commit(); !committed) {
        diagnostics.warning(folder + SiteWriter::kManifestFile, 0, committed.error().message);
    }
    result.pagesWritten = site.written();
    result.pagesUnchanged = site.unchanged();

    result.indexPath = folder + "index.html";
    return result;
}

}  // namespace tarnwick
