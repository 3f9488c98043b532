#include "generator/run/GenerationRun.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>

#include "generator/analysis/ApiDiff.h"
#include "generator/offline/OfflineHelp.h"
#include "generator/pages/ReferencePages.h"
#include "generator/pages/modHtml.h"
#include "generator/run/GroupCalls.h"
#include "generator/run/InputKey.h"
#include "generator/run/ModuleWriter.h"
#include "generator/run/OutputLock.h"
#include "generator/run/RunReport.h"
#include "generator/run/SiteLayout.h"
#include "generator/run/SiteWriter.h"
#include "generator/settings/RequestCheck.h"
#include "generator/settings/Styles.h"
#include "generator/site/CrossLinks.h"
#include "generator/site/GroupSite.h"
#include "generator/site/Listing.h"
#include "generator/site/NavIndex.h"
#include "generator/site/PageContext.h"
#include "generator/site/PageNames.h"
#include "generator/site/SiteIndex.h"
#include "generator/site/SiteTables.h"
#include "generator/site/Timestamp.h"
#include "model/Translation.h"
#include "reader/CParser.h"
#include "reader/ConditionalCompilation.h"
#include "reader/ReferenceMemo.h"
#include "reader/modRegistry.h"
#include "support/AtomicFile.h"
#include "support/BuildInfo.h"
#include "support/File.h"
#include "support/FileCopy.h"
#include "support/Hash.h"
#include "support/InputFiles.h"
#include "support/ProgramFolder.h"
#include "support/Text.h"

namespace fs = std::filesystem;

namespace tarnwick {

namespace {

// Refuses a file and a foreign non-empty folder (unless force); the state
// the folder was found in otherwise.
Expected<OutputFolderState> checkOutputFolder(const std::string& folder, bool force) {
    if (folder.empty()) return Error{"no output folder given"};
    const OutputFolderState state = GenerationRun::inspectOutputFolder(folder);
    if (state == OutputFolderState::NotAFolder) {
        std::error_code why;  // the system may refuse the path itself (too long, a loop)
        (void)fs::status(folder, why);
        if (why && why != std::errc::no_such_file_or_directory)
            return Error{folder + ": " + why.message()};
        return Error{folder + ": exists and is not a folder"};
    }
    if (state == OutputFolderState::Foreign && !force) {
        return Error{folder +
                     ": folder is not empty and holds no earlier Tarnwick site "
                     "(use --force to write into it anyway)"};
    }
    return state;
}

// Refuses a site whose own folders (the kind folders, the resource tree) are
// symbolic links: through a link "Classes -> Modules" a class and a module of
// one name would write the same file, and a link elsewhere would put pages
// where the run does not look.
Status refuseLinkedFolders(const std::string& folder) {
    auto linked = [](const std::string& path) {
        std::error_code ec;
        return fs::is_symlink(fs::symlink_status(path, ec));
    };
    auto refused = [](const std::string& path) {
        return Error{path +
                     ": a folder of the site is a symbolic link; pages are not written "
                     "through it (remove the link)"};
    };
    for (const std::string& kind : SiteLayout::kindWords())
        if (linked(folder + kind)) return refused(folder + kind);
    const std::string resources = folder + "src";
    if (linked(resources)) return refused(resources);
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(resources, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_symlink(ec) && it->is_directory(ec)) return refused(it->path().string());
    }
    return ok();
}

// The files a run may read besides the modules, missing ones included: a
// registry export that appears later changes what the pages say.
std::vector<std::string> fixedInputs(const GenerationRequest& request,
                                     const std::string& translationPath) {
    std::vector<std::string> files{request.projectPath, translationPath};
    if (!request.registryFile.empty()) files.push_back(request.registryFile);
    if (!request.winePrefix.empty()) files.push_back(request.winePrefix + "/system.reg");
    return files;
}

// What a run that finds every input as the last one left it must match: the
// settings key and where the inputs were looked for.
uint64_t runKeyOf(const GenerationRequest& request, uint64_t settingsKey,
                  const std::string& translationPath) {
    uint64_t key = settingsKey;
    for (const std::string& file : fixedInputs(request, translationPath))
        key = hashBytes(file + '\n', key);
    // In a group, what the other projects show this one (links, users) and
    // the files the member calls across them are found in: when none of
    // these shows a new stamp, the calls are as last time.
    if (request.group) key = hashBytes(hex16(request.group->key()), key);
    for (const std::string& file : request.groupInputs) key = hashBytes(file + '\n', key);
    return key | 1;
}

// What every module's pages are made from besides the module's own file
// and the links: the settings, the project file, the translation, the
// registry exports, the names of the classes (a data type names a class
// by name) and the page names of all modules (links name them). 0 when an
// input cannot be read.
uint64_t pagesKey(uint64_t settingsKey, InputKey& inputs, const GenerationRequest& request,
                  const std::string& translationPath, const CProject& project,
                  const PageNames& names) {
    uint64_t key = settingsKey;
    for (const std::string& file : fixedInputs(request, translationPath)) {
        const uint64_t hash = inputs.add(file);
        if (hash == 0) return 0;
        key = hashBytes(std::string_view(reinterpret_cast<const char*>(&hash), 8), key);
    }
    for (const auto& module : project.Classes().elements()) key = hashBytes(module->Name(), key);
    // In a group, what every page shows of it; what one module's pages show
    // of the other projects is in that module's key.
    if (request.group) key = hashBytes(hex16(request.group->sharedKey()), key);
    for (const ModuleKind kind : kDocumentedModuleKinds)
        for (const auto& module : project.listOfKind(kind)->elements())
            key = hashBytes(names.module(*module) + '\n', key);
    return key | 1;
}

// The key of one module's pages: the module, its file and its pages' names
// (a clash with a member of another module renames them) on top of pagesKey.
uint64_t moduleKey(uint64_t pages, InputKey& inputs, const CModule& module,
                   const PageNames& names) {
    const uint64_t file = inputs.add(module.Path());
    if (pages == 0 || file == 0) return 0;
    return hashBytes(std::to_string(module.ModuleType()) + '\n' + module.Name() + '\n' +
                         module.Path() + '\n' + hex16(file) + '\n' + names.signature(module),
                     pages) |
           1;
}

// The project's Name for page titles, read apart from the project, so that a
// run that reads nothing else (nothing changed) titles the frameset alike.
std::string projectNameIn(const std::string& projectPath, const CodePage& codePage) {
    CProject names;
    if (const Expected<std::string> bytes = File(projectPath).ReadBytes()) {
        std::string_view rest = bytes.value();
        while (!rest.empty()) {
            std::string_view line = rest.substr(0, rest.find('\n'));
            rest.remove_prefix(std::min(rest.size(), line.size() + 1));
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            const size_t eq = line.find('=');
            if (eq != std::string_view::npos &&
                equalsIgnoreCase(trimSpaces(line.substr(0, eq)), "Name")) {
                const std::string_view value = line.substr(eq + 1);
                names.Properties().Add("Name", codePage.toUtf8(value.substr(0, value.find('='))));
                break;
            }
        }
    }
    return names.displayName();
}

// In a group: the libraries this project's code is resolved with, to find
// its member calls across the group (GroupCalls.h); the files those calls
// are found in are inputs of the run.
std::vector<ReferencedProject> groupLibraries(const GenerationRequest& request, InputKey& inputs) {
    for (const std::string& file : request.groupInputs) inputs.add(file);
    if (!request.groupCalls) return {};
    return request.groupCalls->librariesFor(request.groupIndex);
}

// The navigation scripts the last run wrote: a run removes those it did
// not write again (the whole set after a switch to the framed layout).
std::vector<std::string> navigationScripts(const SiteManifest& before) {
    std::vector<std::string> names{"nav-index.js"};
    for (const auto& [page, record] : before.pages)
        if (page.starts_with(kNavFolder)) names.push_back(page);
    return names;
}

}  // namespace

Expected<std::shared_ptr<CProject>> readProject(
    const GenerationRequest& request, const CodePage& codePage,
    std::shared_ptr<const RegistrySource> registry, DiagnosticsSink& diagnostics,
    GenerationObserver* observer, std::vector<ReferencedProject> libraries, bool declarationsOnly,
    ReferenceMemo* memo, std::vector<Reference>* libraryCalls) {
    CParser parser;
    if (observer) {
        parser.setCancelFlag(observer->cancelFlag());
        parser.setStepHook([observer](const char* step) { observer->readerStep(step); });
    }
    parser.setPath(request.projectPath);
    parser.setCodePage(codePage);
    parser.setDiagnostics(&diagnostics);
    parser.setRegistry(std::move(registry));
    auto defines = readDefines(request.defines);
    if (!defines) return defines.error();
    parser.setDefines(std::move(defines).value());
    parser.setCrossReferences(request.crossReferences);
    parser.setLibraries(std::move(libraries), libraryCalls);
    parser.setDeclarationsOnly(declarationsOnly);
    parser.setReferenceMemo(memo);
    parser.setThreads(request.jobs > 0 ? static_cast<unsigned>(request.jobs) : 0);
    return parser.Parse();
}

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

// The parts of one run that its steps share.
namespace {

// The run's translation file: the bundled one is saved in windows-1252
// whatever the project's code page; a file of the user's is taken to be in
// the project's.
Translation translationOf(const GenerationRequest& request, const std::string& path,
                          std::string* problem) {
    const auto codePage = CodePage::open(request.codePage);
    return Translation::load(
        path, request.translationFile.empty() || !codePage ? CodePage() : codePage.value(),
        problem);
}

}  // namespace

struct GenerationRun::State {
    DiagnosticsSink* diagnostics = nullptr;
    std::string folder;  // the output folder, '/' at the end
    OutputFolderState folderState = OutputFolderState::Missing;
    std::optional<OutputLock> lock;
    std::string styleSheet;  // empty: the resource's own
    std::string translationPath;
    // Read by build; a run that finds nothing changed reads it only for the
    // frameset (finish).
    std::optional<Translation> translation;
    PageContext ctx;
    uint64_t given = 0;
    uint64_t settingsKey = 0;
    InputFiles inputs;  // filled before the first write
    std::unique_ptr<SiteWriter> site;
    GenerationResult result;
    bool readCancelled = false;           // the run stopped before any page was made
    bool resourcesCopied = false;         // before the pages, or by finish
    std::optional<OfflineIndex> offline;  // what the help packages list, when asked for
};

Expected<GenerationResult> GenerationRun::run() {
    NullSink nullSink;
    State state;
    state.diagnostics = m_diagnostics ? m_diagnostics : &nullSink;
    if (Status prepared = prepare(state); !prepared) return prepared.error();
    SiteWriter& site = *state.site;
    const uint64_t runKey = runKeyOf(m_request, state.settingsKey, state.translationPath);
    ReportRecorder recorder(m_observer, *state.diagnostics);
    const bool packaged = m_request.qtHelp || m_request.docset;
    if (state.folderState == OutputFolderState::EarlierSite && !m_request.full && !packaged &&
        site.before().runKey == runKey && InputKey::stampsUnchanged(site.before().inputs) &&
        site.keepAll()) {
        // Nothing the site is made from shows a new stamp: told as last time.
        for (const auto& [path, record] : site.before().inputs) state.inputs.add(path);
        state.result.modulesWritten = replayReport(site.before().report, m_observer,
                                                   *state.diagnostics, state.result.cancelled);
        state.result.modulesKept = state.result.modulesWritten;
        site.recordInputs(site.before().inputs);
        site.recordRun(runKey, site.before().report, site.before().runPages);
    } else {
        InputKey inputs(site.before().inputs, m_request.groupInputRecords.get());
        if (Status built = build(state, recorder, inputs); !built) return built.error();
        if (state.readCancelled) return std::move(state.result);
        site.recordInputs(inputs.records());
        if (!state.result.cancelled && state.result.modulesFailed == 0 &&
            state.result.failures.empty())
            site.recordRun(runKey, recorder.take(), site.written() + site.unchanged());
    }
    finish(state);
    return std::move(state.result);
}

// The output folder's state (looked at once), its lock, and what a killed
// run left in it.
Status GenerationRun::takeOutputFolder(State& state) {
    auto folderState = checkOutputFolder(m_request.outputFolder, m_request.force);
    if (!folderState) return folderState.error();
    state.folderState = folderState.value();
    state.folder = withTrailingSlash(m_request.outputFolder);
    // Taken before the project is read when the folder is there already, so
    // a second run into it stops at once.
    if (state.folderState != OutputFolderState::Missing) {
        auto taken = OutputLock::acquire(state.folder, disk());
        if (!taken) return taken.error();
        state.lock.emplace(std::move(taken).value());
    }
    if (state.folderState != OutputFolderState::Missing) {
        if (Status own = refuseLinkedFolders(state.folder); !own) return own;
    }
    // Temporary files of a run that was killed, in the folders a run writes
    // into: no page is made from them.
    if (state.folderState == OutputFolderState::EarlierSite) {
        removeLeftoverParts(state.folder);
        for (const std::string& kind : SiteLayout::kindWords())
            removeLeftoverParts(state.folder + kind);
        removeLeftoverParts(state.folder + "src", true);
    }
    return ok();
}

// Everything before the project is read: refusals, the output folder's
// state (looked at once), its lock, the page context and the SiteWriter.
Status GenerationRun::prepare(State& state) {
    // The front ends check a request before they start a run; one that
    // reaches the run unchecked is refused here all the same.
    if (Status checked = checkRequest(m_request); !checked) return checked;
    auto codePage = CodePage::open(m_request.codePage);
    if (!codePage) return codePage.error();
    auto outputEncoding = CodePage::open(
        m_request.outputEncoding.empty() ? m_request.codePage : m_request.outputEncoding);
    if (!outputEncoding) return outputEncoding.error();
    if (!m_request.style.empty()) {
        auto sheet = styleSheetPath(
            m_request.themesFolder.empty() ? defaultThemesFolder() : m_request.themesFolder,
            m_request.style);
        if (!sheet) return sheet.error();
        state.styleSheet = std::move(sheet).value();
        if (m_request.settings.layout == PageLayout::Modern && m_diagnostics) {
            m_diagnostics->warning(state.styleSheet, 0,
                                   "a style dresses the framed layout only; the modern layout "
                                   "keeps its own sheet");
        }
    }
    if (Status taken = takeOutputFolder(state); !taken) return taken;

    state.translationPath =
        m_request.translationFile.empty() ? Translation::defaultPath() : m_request.translationFile;
    bool badEpoch = false;
    const bool timeIsFixed = fixedTime(m_request.fixedTime, &badEpoch).has_value();
    if (badEpoch) {
        state.diagnostics->warning(std::string(), 0,
                                   "SOURCE_DATE_EPOCH is not a whole number of seconds; "
                                   "pages carry the current time");
    }
    PageContext& ctx = state.ctx;
    ctx.settings = m_request.settings;
    ctx.language = m_request.language;
    ctx.console = m_observer;
    ctx.diagnostics = state.diagnostics;
    ctx.group = m_request.group.get();
    ctx.codePage = outputEncoding.value();
    ctx.projectName = projectNameIn(m_request.projectPath, codePage.value());
    // The builders leave a mark where the timestamp goes; the writer puts in
    // the run's one, so a page whose only change would be its timestamp is
    // seen as unchanged.
    const std::string now = makeNowFunction(m_request.fixedTime, m_request.language)();
    // What the pages' bytes do not show: the tool (its version and the
    // manifest's form) and where the timestamp comes from.
    state.given = hashBytes(std::string(buildVersion()) + "\n" +
                            (timeIsFixed ? "fixed " + now : std::string("local")));
    state.settingsKey = InputKey::settingsKey(m_request, ctx, state.given);
    // The Changes page and the members' marks compare with the earlier
    // interface: another one, other pages.
    if (m_request.since)
        state.settingsKey =
            hashBytes(m_request.sinceName + '\n' + apiText(*m_request.since), state.settingsKey);
    state.site = std::make_unique<SiteWriter>(
        state.folder, &state.inputs, ctx.codePage.fromUtf8(now, CodePage::Fallback::HtmlReference),
        state.given, m_request.full, disk());
    ctx.now = [mark = state.site->timestampMark()] { return mark; };
    return ok();
}

// Reads the project and writes its pages; its report goes through recorder.
// Every file the run reads: nothing it writes may land on one of them (an
// output folder that is the project's own folder may hold a module file
// named like a page).
void GenerationRun::recordInputs(State& state, const CProject& project,
                                 const RegistrySource& registry) const {
    state.inputs.add(m_request.projectPath);
    for (const ModuleKind kind : kDocumentedModuleKinds) {
        for (const auto& module : project.listOfKind(kind)->elements())
            state.inputs.add(module->Path());
    }
    for (const std::string& file : registry.files()) state.inputs.add(file);
    state.inputs.add(state.translationPath);
}

// The run's translation, read once; a bundled file that is simply missing
// is no news, anything else is told.
const Translation& GenerationRun::loadTranslation(State& state, ReportRecorder& recorder) const {
    std::string problem;
    const Translation& translation =
        state.translation.emplace(translationOf(m_request, state.translationPath, &problem));
    if (!translation.loaded() &&
        (!m_request.translationFile.empty() || File(state.translationPath).IsPresent())) {
        recorder.warning(
            state.translationPath, 0,
            "the translation file cannot be read: " + problem + "; texts are written untranslated");
    }
    return translation;
}

namespace {

// What changed since the version the request names: a page of its own,
// linked from the project summary; nothing when none is named or the
// comparison fails (told).
std::optional<ApiDiff> changesSince(const GenerationRequest& request, const CProject& project,
                                    ReportRecorder& recorder) {
    if (!request.since) return std::nullopt;
    auto diff = apiDiff(*request.since, apiInterface(project));
    if (diff) return std::move(diff).value();
    recorder.error(request.sinceName, 0, diff.error().message);
    return std::nullopt;
}

}  // namespace

// The references the last run into this site resolved, for the modules
// whose files are unchanged; none in a group (the libraries' declarations
// are no part of it), without cross-references, or when every page is to be
// made afresh.
std::optional<ReferenceMemo> GenerationRun::referenceMemo(State& state, InputKey& inputs) const {
    if (!m_request.crossReferences || m_request.group) return std::nullopt;
    // The references hang on the settings (defines, code page) and the
    // project file besides the modules.
    uint64_t given = hashBytes("references\n", state.settingsKey);
    for (const std::string& file : fixedInputs(m_request, state.translationPath))
        given = hashBytes(hex16(inputs.add(file)), given);
    std::optional<ReferenceMemo> memo(std::in_place, given, [&inputs](const CModule& module) {
        return inputs.add(module.Path());
    });
    if (state.folderState == OutputFolderState::EarlierSite && !m_request.full) {
        if (Expected<std::string> bytes = File(state.folder + kReferenceMemoFile).ReadBytes())
            memo->load(bytes.value());
    }
    return memo;
}

// What this run resolved, for the next one; a memo that cannot be written
// costs the next run a resolve, nothing else.
void GenerationRun::keepReferenceMemo(State& state, const ReferenceMemo& memo,
                                      DiagnosticsSink& diagnostics) const {
    const std::string path = state.folder + kReferenceMemoFile;
    if (const std::string* input = state.inputs.overwrittenBy(path)) {
        diagnostics.warning(path, 0, "not written: it would overwrite " + *input);
        return;
    }
    if (const Status written =
            writeAtomically(path, memo.render(), Replace::Allowed, nullptr, nullptr, disk());
        !written)
        diagnostics.warning(path, 0, written.error().message);
}

Status GenerationRun::build(State& state, ReportRecorder& recorder, InputKey& inputs) {
    auto codePage = CodePage::open(m_request.codePage);
    if (!codePage) return codePage.error();
    std::vector<ReferencedProject> libraries = groupLibraries(m_request, inputs);
    const auto registry = std::make_shared<const RegistrySource>(
        RegistrySource::fromLocation({m_request.registryFile, m_request.winePrefix}, &recorder));
    const std::atomic<bool>* cancel = m_observer ? m_observer->cancelFlag() : nullptr;
    std::optional<ReferenceMemo> memo = referenceMemo(state, inputs);
    std::vector<Reference> libraryCalls;
    auto parsed = readProject(m_request, codePage.value(), registry, recorder, m_observer,
                              std::move(libraries), false, memo ? &*memo : nullptr, &libraryCalls);
    if (!parsed && cancel && cancel->load()) {
        // Cancelled while the project was read: nothing is written.
        state.result.cancelled = true;
        state.readCancelled = true;
        return ok();
    }
    if (!parsed) return parsed.error();
    const std::shared_ptr<CProject> project = std::move(parsed).value();
    m_project = project;
    if (m_request.groupCalls) m_request.groupCalls->takeLibraryCalls(std::move(libraryCalls));

    recordInputs(state, *project, *registry);
    if (Status ready = makeFolderReady(state); !ready) return ready;
    if (memo) keepReferenceMemo(state, *memo, recorder);

    const Translation& translation = loadTranslation(state, recorder);
    // The resource files before the pages: a cancel while the pages are
    // written then leaves a site to browse with nothing more to copy.
    copyResources(state);  // before the pages
    PageContext ctx = state.ctx;
    ctx.translation = &translation;
    ctx.console = &recorder;
    ctx.diagnostics = &recorder;
    // Page names first, over the whole project, so every builder, thread
    // and link agrees on them; then what the site lists, once: the search
    // index, the A-Z page and the links between pages all come from it.
    // The index entries' texts are made as the index pages need them (see
    // ModuleWriter::setIndexTexts), on the run's threads.
    SiteTables tables(*project, ctx.settings, &recorder, false);
    tables.applyTo(ctx);
    // The calls into the libraries, named by this site's pages; the
    // libraries are let go before a page is written.
    if (m_request.groupCalls) m_request.groupCalls->record(m_request.groupIndex, tables.links());
    warnUnknownAuthorLinks(tables.links(), ctx.settings, recorder);
    if (m_request.qtHelp || m_request.docset) {
        tables.addTexts(m_request.threads());
        state.offline = offlineIndexOf(*project, tables.entries());
    }
    const std::optional<ApiDiff> changes = changesSince(m_request, *project, recorder);
    if (changes) {
        ctx.changes = &*changes;
        ctx.changesSince = m_request.sinceName;
    }

    writeModules(state, recorder, inputs, *project, ctx, tables);
    return ok();
}

// The pages of every module the site documents, and the site's own pages,
// each module's skipped when its key says nothing it shows has changed.
void GenerationRun::writeModules(State& state, ReportRecorder& recorder, InputKey& inputs,
                                 const CProject& project, const PageContext& ctx,
                                 SiteTables& tables) {
    const PageNames& names = *ctx.pageNames;
    const uint64_t pages =
        pagesKey(state.settingsKey, inputs, m_request, state.translationPath, project, names);
    ModuleWriter writer(
        project, ctx, *state.site, static_cast<int>(m_request.threads()),
        [&](const CModule& module) {
            const uint64_t key = moduleKey(pages, inputs, module, names);
            // Its pages show the references into and out of it: another
            // module's code changes them, in a group another project's too.
            const uint64_t group =
                m_request.group ? m_request.group->moduleKey(module.Path(), module.Name()) : 0;
            return key == 0 ? 0 : (key ^ referencesKey(module, project, ctx) ^ group) | 1;
        },
        &recorder, recorder, state.result);
    // In a group the index pages list the other projects' rows too: built always.
    writer.setIndexKey(m_request.group ? 0 : pages);
    writer.setIndexTexts(&tables);
    writer.generateDocumentation();
}

// Creates a missing output folder, refuses a stamp file that would land on
// an input, takes the lock when not yet held and stamps the folder first,
// so a run that stops half-way still leaves a folder a later run may write
// into.
Status GenerationRun::makeFolderReady(State& state) {
    if (state.folderState == OutputFolderState::Missing) {
        std::error_code ec;
        fs::create_directories(m_request.outputFolder, ec);
        if (ec)
            return Error{m_request.outputFolder + ": cannot create the folder: " + ec.message()};
    }
    const std::string stamp = state.folder + SiteLayout::kStampFile;
    if (const std::string* input = state.inputs.overwrittenBy(stamp))
        return Error{stamp + ": the stamp file would overwrite " + *input +
                     ", a file the project reads"};
    if (!state.lock) {
        auto taken = OutputLock::acquire(state.folder, disk());
        if (!taken) return taken.error();
        state.lock.emplace(std::move(taken).value());
    }
    if (const Status stamped = SiteLayout::writeStamp(state.folder, disk()); !stamped)
        return stamped.error();
    return ok();
}

// The resource folder's files (src/), copied once: whatever is missing is the run's failure.
void GenerationRun::copyResources(State& state) {
    if (std::exchange(state.resourcesCopied, true)) return;
    const std::string resources = resourceFolder();
    std::error_code ec;
    if (!fs::exists(resources + "src", ec)) {
        state.diagnostics->error(resources + "src", 0, "resource missing; the site is incomplete");
        state.result.failures.push_back(resources + "src: resource missing");
    } else if (const Status copied =
                   copyTree(resources + "src", state.folder, &state.inputs,
                            state.styleSheet.empty() ? "" : "src/css/screen.css", disk());
               !copied) {
        state.diagnostics->error(resources + "src", 0,
                                 "resource not copied: " + copied.error().message);
        state.result.failures.push_back(copied.error().message);
    }
}

std::string GenerationRun::resourceFolder() const {
    return withTrailingSlash(m_request.resourceFolder.empty() ? programFolder() + "Ressources"
                                                              : m_request.resourceFolder);
}

// The frameset (framed layout), the resource files and the style's sheet.
void GenerationRun::writeResources(State& state) {
    DiagnosticsSink& diagnostics = *state.diagnostics;
    GenerationResult& result = state.result;
    SiteWriter& site = *state.site;
    const std::string resources = resourceFolder();
    // The frameset is the resource's, declared in the pages' encoding; the
    // modern layout's start page is a page of the run.
    if (!state.ctx.modern()) {
        if (Expected<std::string> bytes = File(resources + "index.html").ReadBytes(); !bytes) {
            diagnostics.error(resources + "index.html", 0,
                              "resource missing; the site is incomplete");
            result.failures.push_back(resources + "index.html: resource missing");
        } else {
            ModuleWriter::guardedStep(diagnostics, result, "index.html", [&] {
                // The frames' titles and the no-frames text in the site's language.
                if (!state.translation)
                    state.translation = translationOf(m_request, state.translationPath, nullptr);
                PageContext ctx = state.ctx;
                ctx.translation = &*state.translation;
                site.write(modHtml::buildFramePage(CodePage().toUtf8(bytes.value()), ctx),
                           state.ctx.codePage);
            });
        }
    }
    copyResources(state);
    if (!state.styleSheet.empty()) {
        // The style's sheet takes the place of the resource's screen sheet.
        if (Expected<std::string> bytes = File(state.styleSheet).ReadBytes(); !bytes) {
            diagnostics.error(state.styleSheet, 0,
                              "style sheet not read: " + bytes.error().message);
            result.failures.push_back(bytes.error().message);
        } else {
            ModuleWriter::guardedStep(diagnostics, result, "style sheet",
                                      [&] { site.write("src/css/screen.css", bytes.value()); });
        }
    }
}

// The help packages of a whole site: a failure is the run's, the site stays.
void GenerationRun::writeOfflineHelp(State& state) {
    if (!state.offline) return;
    const auto failed = [&](const Error& error) {
        state.diagnostics->error(state.folder, 0, error.message);
        state.result.failures.push_back(error.message);
    };
    if (m_request.qtHelp) {
        if (Status written = writeQtHelpProject(*state.offline, state.folder); !written)
            failed(written.error());
        else
            state.result.qtHelpProject = state.folder + qtHelpProjectName(*state.offline);
    }
    if (m_request.docset) {
        const std::string icon =
            withTrailingSlash(m_request.resourceFolder.empty() ? programFolder() + "Ressources"
                                                               : m_request.resourceFolder) +
            "docset-icon.png";
        if (Status written = writeDocset(*state.offline, state.folder, icon); !written)
            failed(written.error());
    }
}

// The site's frame and its resources (the resource files unless copied
// before the pages) come after the pages, also after a cancel, so what was
// written can be browsed; the manifest comes last.
void GenerationRun::finish(State& state) {
    DiagnosticsSink& diagnostics = *state.diagnostics;
    GenerationResult& result = state.result;
    SiteWriter& site = *state.site;
    writeResources(state);
    // A framed site has no navigation scripts; one left by a modern run
    // would be served with it, as would a removed module's.
    if (!result.cancelled && result.modulesFailed == 0 && result.failures.empty()) {
        site.removeStalePages(navigationScripts(site.before()));
        writeOfflineHelp(state);
    }
    SiteLayout::linkCaseSpellings(state.folder, &diagnostics);
    if (const Status stamped = SiteLayout::writeStamp(state.folder, disk()); !stamped)
        diagnostics.warning(state.folder + SiteLayout::kStampFile, 0, stamped.error().message);
    // Last, so that a run that stops before it leaves the last manifest,
    // which the pages this run rewrote no longer match.
    if (const Status committed = site.commit(); !committed)
        diagnostics.warning(state.folder + SiteWriter::kManifestFile, 0, committed.error().message);
    result.pagesWritten = site.written();
    result.pagesUnchanged = site.unchanged();
    result.indexPath = state.folder + "index.html";
}

}  // namespace tarnwick
