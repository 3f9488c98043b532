#include "generator/run/GroupRun.h"

#include <filesystem>
#include <memory>
#include <set>
#include <system_error>
#include <utility>

#include "generator/layout/PageFrame.h"
#include "generator/pages/GroupPages.h"
#include "generator/run/GroupCalls.h"
#include "generator/run/InputKey.h"
#include "generator/run/OutputLock.h"
#include "generator/run/SiteLayout.h"
#include "generator/run/SiteWriter.h"
#include "generator/settings/SettingsFile.h"
#include "generator/site/GroupSite.h"
#include "generator/site/Listing.h"
#include "generator/site/Timestamp.h"
#include "model/CHelper.h"
#include "model/Kinds.h"
#include "model/Translation.h"
#include "reader/GroupFile.h"
#include "reader/GroupUses.h"
#include "support/BuildInfo.h"
#include "support/File.h"
#include "support/FileCopy.h"
#include "support/FreedMemory.h"
#include "support/Hash.h"
#include "support/ProgramFolder.h"
#include "support/Text.h"

namespace fs = std::filesystem;

namespace tarnwick {

namespace {

// Whether the sites write pages of the modules of kindFolder ("Modules").
bool kindHasPages(const std::string& kindFolder, const GenerationSettings& settings) {
    for (const ModuleKind kind : kDocumentedModuleKinds)
        if (kindFolder == kindTraits(kind).listName) return kindSwitchedOn(kind, settings);
    return false;
}

// A project's run counted into the group's result.
void addProjectResult(GenerationResult& group, const GenerationResult& r) {
    group.cancelled = r.cancelled;
    group.modulesWritten += r.modulesWritten;
    group.modulesKept += r.modulesKept;
    group.modulesFailed += r.modulesFailed;
    group.pagesWritten += r.pagesWritten;
    group.pagesUnchanged += r.pagesUnchanged;
    group.failures.insert(group.failures.end(), r.failures.begin(), r.failures.end());
}

// What the group shows project index of the others.
std::shared_ptr<GroupSite> siteFor(const ProjectGroup& group, size_t index,
                                   const std::vector<GroupUse>& uses,
                                   const GenerationSettings& settings) {
    auto site = std::make_shared<GroupSite>();
    site->name = group.name;
    for (const GroupProject& p : group.projects) site->projects.push_back({p.name, p.folder});
    site->current = index;
    const GroupProject& current = group.projects[index];
    for (const GroupProject::ProjectReference& reference : current.projectReferences)
        if (const GroupProject* other = group.find(reference.path); other && other != &current)
            site->projectPages.emplace(toLower(reference.written),
                                       "../" + other->folder + "/index.html");
    // The first referenced project that has a class of a name wins, as in VB6.
    for (const GroupProject* library : group.referencedBy(group.projects[index])) {
        const auto add = [&](const std::vector<std::string>& names, const char* kindFolder) {
            for (const std::string& name : names) {
                const std::string page =
                    "../" + library->folder + "/" + kindFolder + "/" + safeFileName(name) + ".html";
                site->classPages.emplace(toLower(name), page);
                site->classPages.emplace(toLower(library->name + "." + name), page);
            }
        };
        add(library->publicClasses, "Classes");
        add(library->publicControls, "UserControls");
    }
    // Uses come by project, then file: a module's uses are next to each other.
    const GroupUse* previous = nullptr;
    for (const GroupUse& use : uses) {
        if (use.library != index) continue;
        const bool sameModule = previous && previous->user == use.user &&
                                previous->module == use.module &&
                                previous->kindFolder == use.kindFolder;
        if (!sameModule) {
            const GroupProject& user = group.projects[use.user];
            // A user whose kind the sites leave out ("classes only") is named, not linked.
            site->userModules.push_back({user.name, use.module,
                                         kindHasPages(use.kindFolder, settings)
                                             ? "../" + user.folder + "/" + use.kindFolder + "/" +
                                                   safeFileName(use.module) + ".html"
                                             : std::string()});
        }
        previous = &use;
        site->users[toLower(use.className)].push_back(&site->userModules.back());
    }
    return site;
}

// The files the member calls across the group's projects are found in:
// those of every project that references a library of the group and of its
// libraries (project file, settings file, source files), sorted; empty when
// no project calls another.
std::vector<std::string> groupCallInputs(const ProjectGroup& group) {
    std::set<std::string> files;
    const auto add = [&](const GroupProject& p) {
        files.insert(p.path);
        files.insert(SettingsFile::pathForProject(p.path));
        for (const GroupProject::Source& source : p.sourceFiles) files.insert(source.path);
    };
    for (size_t i = 0; i < group.projects.size(); ++i) {
        const std::vector<size_t> libraries = groupLibrariesOf(group, i);
        if (libraries.empty()) continue;
        add(group.projects[i]);
        for (const size_t library : libraries) add(group.projects[library]);
    }
    return {files.begin(), files.end()};
}

}  // namespace

GroupRun::GroupRun(GenerationRequest request, std::vector<std::string> projects,
                   GenerationObserver* observer, DiagnosticsSink* diagnostics)
    : m_request(std::move(request)),
      m_projects(std::move(projects)),
      m_observer(observer),
      m_diagnostics(diagnostics) {}

Expected<ProjectGroup> GroupRun::readGroup(const GenerationRequest& request,
                                           const std::vector<std::string>& projects,
                                           DiagnosticsSink* diagnostics) {
    NullSink nullSink;
    auto codePage = CodePage::open(request.codePage);
    if (!codePage) return codePage.error();
    return tarnwick::readGroup(
        projects.empty() ? std::vector<std::string>{request.projectPath} : projects,
        codePage.value(), diagnostics ? *diagnostics : nullSink);
}

// The request of project index: the group's, its own settings file's code
// page and defines over it (the group's defines still win, name by name).
GenerationRequest GroupRun::projectRequest(const ProjectGroup& group, size_t index,
                                           DiagnosticsSink& diagnostics) const {
    const GroupProject& project = group.projects[index];
    GenerationRequest request = m_request;
    request.projectPath = project.path;
    request.outputFolder = withTrailingSlash(m_request.outputFolder) + project.folder;
    auto own = SettingsFile::load(SettingsFile::pathForProject(project.path), true);
    if (!own) {
        diagnostics.warning(project.path, 0,
                            own.error().message + "; the group's settings are used");
    } else {
        if (const auto codePage = own.value().value("codepage")) request.codePage = *codePage;
        GenerationRequest fromFile;
        own.value().applyTo(fromFile);
        request.defines = fromFile.defines;
        request.defines.insert(request.defines.end(), m_request.defines.begin(),
                               m_request.defines.end());
    }
    return request;
}

// Every project's request, with what the group shows it: the classes the
// projects name of each other, then the member calls across them.
std::vector<GenerationRequest> GroupRun::projectRequests(const ProjectGroup& group,
                                                         DiagnosticsSink& diagnostics) const {
    const auto codePage = CodePage::open(m_request.codePage);
    const std::vector<GroupUse> uses =
        scanGroupUses(group, codePage ? codePage.value() : CodePage());
    std::vector<GenerationRequest> requests;
    std::vector<std::shared_ptr<GroupSite>> sites;
    for (size_t i = 0; i < group.projects.size(); ++i) {
        requests.push_back(projectRequest(group, i, diagnostics));
        sites.push_back(siteFor(group, i, uses, m_request.settings));
        requests.back().group = sites.back();
    }
    std::vector<std::string> inputs = groupCallInputs(group);
    if (inputs.empty()) return requests;
    // The member calls are found by the runs that build pages; a group
    // whose runs find nothing changed does not read them. group outlives the runs.
    const auto calls = std::make_shared<GroupCalls>(
        group, requests, sites, m_observer ? m_observer->cancelFlag() : nullptr);
    const auto records = std::make_shared<GroupInputRecords>();
    for (size_t i = 0; i < requests.size(); ++i) {
        requests[i].groupInputs = inputs;
        requests[i].groupInputRecords = records;
        requests[i].groupCalls = calls;
        requests[i].groupIndex = i;
    }
    return requests;
}

Expected<GenerationResult> GroupRun::run() {
    // Each project's model and pages are gone before the next is read: their
    // memory goes back as it is freed, so the group's peak is its largest
    // project's, not the sum of what each left.
    handFreedMemoryBackPromptly();
    NullSink nullSink;
    DiagnosticsSink& diagnostics = m_diagnostics ? *m_diagnostics : nullSink;
    Expected<ProjectGroup> read = readGroup(m_request, m_projects, &diagnostics);
    if (!read) return read.error();
    const ProjectGroup& group = read.value();
    warnGroupShapes(group, diagnostics);

    const std::string folder = withTrailingSlash(m_request.outputFolder);
    const OutputFolderState state = GenerationRun::inspectOutputFolder(m_request.outputFolder);
    if (state == OutputFolderState::NotAFolder)
        return Error{m_request.outputFolder + ": exists and is not a folder"};
    if (state == OutputFolderState::Foreign && !m_request.force)
        return Error{m_request.outputFolder +
                     ": folder is not empty and holds no earlier Tarnwick site "
                     "(use --force to write into it anyway)"};
    std::error_code ec;
    fs::create_directories(m_request.outputFolder, ec);
    if (ec) return Error{m_request.outputFolder + ": cannot create the folder: " + ec.message()};
    auto lock = OutputLock::acquire(folder);
    if (!lock) return lock.error();
    if (const Status stamped = SiteLayout::writeStamp(folder); !stamped) return stamped.error();

    GenerationResult result;
    runProjects(group, projectRequests(group, diagnostics), diagnostics, result);
    for (int i = 0; i < group.failed; ++i)
        result.failures.push_back((group.path.empty() ? m_projects.front() : group.path) +
                                  ": a project of the group cannot be read");
    // The projects' models and tables are gone: what they left free in the
    // heap goes back before the group's largest pages are made.
    handFreedMemoryBack();
    writeGroupPages(group, folder, diagnostics, result);
    result.indexPath = folder + "index.html";
    return result;
}

// Each project's run, users before the projects they call, so a library's
// run finds its callers recorded.
void GroupRun::runProjects(const ProjectGroup& group, std::vector<GenerationRequest> requests,
                           DiagnosticsSink& diagnostics, GenerationResult& result) const {
    for (const size_t i : GroupCalls::runOrder(group)) {
        if (result.cancelled) break;
        const std::shared_ptr<GroupCalls> calls = requests[i].groupCalls;
        const bool threaded = requests[i].threads() > 1;
        // The run, and the project it read, go before the next project is read.
        Expected<GenerationResult> done =
            GenerationRun(std::move(requests[i]), m_observer, m_diagnostics).run();
        if (calls) calls->finished(i);
        // Each thread of a run reads and builds in a heap of its own, and
        // those heaps hand back only what is free at their top: the free
        // blocks a project left between used ones would add to the next
        // project's peak (a tenth of it with two threads). One sweep after
        // each project costs a run on one thread more than it saves.
        if (threaded) handFreedMemoryBack();
        if (!done) {
            diagnostics.error(group.projects[i].path, 0, done.error().message);
            result.failures.push_back(done.error().message);
            continue;
        }
        addProjectResult(result, done.value());
    }
}

// The group's own pages and a copy of the resources in the site's root.
void GroupRun::writeGroupPages(const ProjectGroup& group, const std::string& folder,
                               DiagnosticsSink& diagnostics, GenerationResult& result) const {
    auto outputEncoding = CodePage::open(
        m_request.outputEncoding.empty() ? m_request.codePage : m_request.outputEncoding);
    const std::string translationPath =
        m_request.translationFile.empty() ? Translation::defaultPath() : m_request.translationFile;
    const Translation translation = Translation::load(translationPath, CodePage());
    const std::string now = makeNowFunction(m_request.fixedTime, m_request.language)();
    const CodePage encoding = outputEncoding ? outputEncoding.value() : CodePage();
    SiteWriter site(folder, nullptr, encoding.fromUtf8(now, CodePage::Fallback::HtmlReference),
                    hashBytes(std::string(buildVersion())), m_request.full);
    GroupSite root;
    root.name = group.name;
    for (const GroupProject& p : group.projects) root.projects.push_back({p.name, p.folder});
    root.current = root.projects.size();
    root.toRoot = "";
    PageContext ctx;
    ctx.settings = m_request.settings;
    ctx.language = m_request.language;
    ctx.translation = &translation;
    ctx.codePage = encoding;
    ctx.projectName = group.name;
    ctx.group = &root;
    ctx.now = [mark = site.timestampMark()] { return mark; };

    std::vector<IndexEntry> entries;
    std::vector<std::string> scripts;  // the rows' texts point into them: never moved
    scripts.reserve(group.projects.size());
    std::vector<std::string_view> texts;
    for (const GroupProject& p : group.projects) {
        const Expected<std::string> script =
            File(folder + p.folder + "/search-index.js").ReadBytes();
        if (!script) continue;
        scripts.push_back(encoding.toUtf8(script.value()));
        readSearchIndex(scripts.back(), p.folder, entries, texts);
    }
    try {
        site.write(framePage(buildGroupStartPage(group, ctx), ctx), encoding);
        buildGroupIndexPages(
            group, std::move(entries), texts, ctx,
            [&](Page script) { site.write(script, encoding); },
            [&](PageBody body) { site.write(framePage(std::move(body), ctx), encoding); });
    } catch (const PageWriteError& error) {
        diagnostics.error(error.file(), 0, error.what());
        result.failures.push_back(error.what());
    }
    const std::string resources =
        withTrailingSlash(m_request.resourceFolder.empty() ? programFolder() + "Ressources"
                                                           : m_request.resourceFolder);
    if (const Status copied = copyTree(resources + "src", folder); !copied) {
        diagnostics.error(resources + "src", 0, "resource not copied: " + copied.error().message);
        result.failures.push_back(copied.error().message);
    }
    if (const Status committed = site.commit(); !committed)
        diagnostics.warning(folder + SiteWriter::kManifestFile, 0, committed.error().message);
    result.pagesWritten += site.written();
    result.pagesUnchanged += site.unchanged();
}

}  // namespace tarnwick
