#include "generator/run/GroupCalls.h"

#include <algorithm>
#include <map>
#include <thread>
#include <tuple>
#include <unordered_map>

#include "generator/run/GenerationRun.h"
#include "generator/site/PageNames.h"
#include "generator/site/SiteIndex.h"
#include "generator/site/SiteTables.h"
#include "model/Kinds.h"
#include "reader/CrossReferences.h"
#include "support/CodePage.h"
#include "support/Diagnostics.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

// Only the cancel flag of a run is wanted here.
class CancelOnly final : public GenerationObserver {
public:
    explicit CancelOnly(const std::atomic<bool>* cancel) : m_cancel(cancel) {}
    const std::atomic<bool>* cancelFlag() const override { return m_cancel; }

private:
    const std::atomic<bool>* m_cancel;
};

// Read as the project's run reads it, quietly (its run reports what is
// wrong), without its own cross-references: they are resolved here with the
// libraries. Null when it cannot be read. A library is read for what its
// users bind to (declarationsOnly): its code and descriptions stay unread.
std::shared_ptr<CProject> readQuietly(const GenerationRequest& request,
                                      const std::atomic<bool>* cancel,
                                      bool declarationsOnly = false) {
    const auto codePage = CodePage::open(request.codePage);
    if (!codePage) return nullptr;
    GenerationRequest withoutReferences = request;
    withoutReferences.crossReferences = false;
    NullSink quiet;
    CancelOnly observer(cancel);
    auto parsed = readProject(withoutReferences, codePage.value(), nullptr, quiet, &observer, {},
                              declarationsOnly);
    return parsed ? std::move(parsed).value() : nullptr;
}

// What one project's calls into its libraries give the group's tables.
class CallRecorder {
public:
    CallRecorder(const ProjectGroup& group, size_t user, const GenerationRequest& request,
                 const CrossLinks& userLinks, const std::vector<std::shared_ptr<GroupSite>>& sites)
        : m_group(group),
          m_user(user),
          m_request(request),
          m_userLinks(userLinks),
          m_sites(sites),
          m_toUser("../" + group.projects[user].folder + "/") {}

    // The call c.reference names a member of a library.
    void record(const GroupCalls::Pending& c) {
        const Reference& r = c.reference;
        const size_t library = c.module->library;
        m_sites[m_user]->codeLinks[r.fromModule->Path()].push_back(
            {r.line, r.column, r.length,
             "../" + m_group.projects[library].folder + "/" + c.member->second});
        std::vector<GroupCaller>& callers =
            m_sites[library]->callers[c.module->path][c.member->first];
        const auto [row, added] =
            m_rows.try_emplace(std::tuple(&callers, r.fromModule, r.from), callers.size());
        if (added) callers.push_back({routineOf(r), {}});
        std::vector<int32_t>& lines = callers[row->second].lines;
        const int32_t line = m_request.settings.layout == PageLayout::Modern
                                 ? r.fromModule->fileLineOf(r.line)
                                 : r.line;
        if (lines.empty() || lines.back() != line) lines.push_back(line);
    }

private:
    // The calling routine as the libraries' "Used by" names and links it,
    // made once for all the members it calls.
    std::shared_ptr<const GroupRoutine> routineOf(const Reference& r) {
        std::shared_ptr<const GroupRoutine>& known = m_routines[{r.fromModule, r.from}];
        if (!known) known = std::make_shared<const GroupRoutine>(makeRoutine(r));
        return known;
    }

    GroupRoutine makeRoutine(const Reference& r) const {
        GroupRoutine c;
        c.project = m_group.projects[m_user].name;
        c.name = r.from ? r.fromModule->Name() + "." + r.from->Name() : r.fromModule->Name();
        const std::string page = r.from ? m_userLinks.memberPage(*r.fromModule, *r.from)
                                        : m_userLinks.modulePage(*r.fromModule);
        if (!page.empty()) c.page = m_toUser + page;
        // A caller its site leaves out is named, its lines not linked.
        if (m_request.settings.Source && !(r.from && page.empty())) {
            const std::string code = m_userLinks.codePage(*r.fromModule);
            if (!code.empty()) c.codePage = m_toUser + code;
        }
        return c;
    }

    const ProjectGroup& m_group;
    const size_t m_user;
    const GenerationRequest& m_request;
    const CrossLinks& m_userLinks;
    const std::vector<std::shared_ptr<GroupSite>>& m_sites;
    const std::string m_toUser;  // from a library's folder to the user's
    // (callers list, calling module, routine) -> its row in that list
    std::map<std::tuple<const void*, const CModule*, const Element*>, size_t> m_rows;
    std::map<std::pair<const CModule*, const Element*>, std::shared_ptr<const GroupRoutine>>
        m_routines;
};

}  // namespace

std::vector<size_t> groupLibrariesOf(const ProjectGroup& group, size_t index) {
    std::vector<size_t> found;
    for (const GroupProject* library : group.referencedBy(group.projects[index]))
        if (!library->publicClasses.empty() || !library->publicControls.empty())
            found.push_back(static_cast<size_t>(library - group.projects.data()));
    return found;
}

GroupCalls::GroupCalls(const ProjectGroup& group, std::vector<GenerationRequest> requests,
                       std::vector<std::shared_ptr<GroupSite>> sites,
                       const std::atomic<bool>* cancel)
    : m_group(group),
      m_requests(std::move(requests)),
      m_sites(std::move(sites)),
      m_cancel(cancel),
      m_recorded(group.projects.size(), false),
      m_users(group.projects.size()) {
    for (size_t user = 0; user < group.projects.size(); ++user)
        for (const size_t library : groupLibrariesOf(group, user))
            if (library != user) m_users[library].push_back(user);
}

GroupCalls::~GroupCalls() = default;

std::vector<size_t> GroupCalls::runOrder(const ProjectGroup& group) {
    const size_t count = group.projects.size();
    // How many projects not yet in the order reference each.
    std::vector<size_t> waiting(count, 0);
    std::vector<std::vector<size_t>> libraries(count);
    for (size_t user = 0; user < count; ++user)
        for (const size_t library : groupLibrariesOf(group, user))
            if (library != user) {
                libraries[user].push_back(library);
                ++waiting[library];
            }
    std::vector<size_t> order;
    std::vector<bool> placed(count, false);
    while (order.size() < count) {
        size_t next = count;
        for (size_t i = 0; i < count && next == count; ++i)
            if (!placed[i] && waiting[i] == 0) next = i;
        // A cycle: its first project in the group's order goes first.
        for (size_t i = 0; i < count && next == count; ++i)
            if (!placed[i]) next = i;
        placed[next] = true;
        order.push_back(next);
        for (const size_t library : libraries[next]) --waiting[library];
    }
    return order;
}

std::vector<ReferencedProject> GroupCalls::librariesFor(size_t index) {
    for (const size_t user : m_users[index])
        if (!m_recorded[user]) findCallsOf(user);
    if (m_recorded[index] || (m_cancel && m_cancel->load())) return {};
    return load(index);
}

void GroupCalls::takeLibraryReferences(CProject& project) {
    if (m_libraryOf.empty()) return;
    const ReferenceIndex& index = project.crossReferences();
    const auto intoLibraries =
        std::count_if(index.all().begin(), index.all().end(),
                      [&](const Reference& r) { return m_libraryOf.contains(r.toModule); });
    if (intoLibraries == 0) return releaseLibraries();
    m_pending.reserve(m_pending.size() + static_cast<size_t>(intoLibraries));
    for (const Reference& r : index.all()) takeCall(r);
    // The libraries go before the project's index is made again, so they
    // are never in memory beside two indexes; their modules' addresses
    // still tell which references to leave out. Every reference into a
    // library goes, also those to members its site leaves out.
    m_libraries.clear();
    std::vector<Reference> own;
    own.reserve(index.all().size() - static_cast<size_t>(intoLibraries));
    for (const Reference& r : index.all())
        if (!m_libraryOf.contains(r.toModule)) own.push_back(r);
    releaseLibraries();
    project.setCrossReferences(
        ReferenceIndex(std::move(own), std::vector<DesignUse>(index.designUses())));
}

void GroupCalls::record(size_t index, const CrossLinks& links) {
    if (m_resolving != index) return;
    recordPending(index, links);
}

// Keeps r when it names a member of a library, with what the tables need
// of the library, so the libraries can go before the caller's pages are named.
bool GroupCalls::takeCall(const Reference& r) {
    const auto library = m_libraryOf.find(r.toModule);
    if (library == m_libraryOf.end()) return false;
    const auto& modules = m_libraries.at(library->second).modules;
    const auto module = modules.find(r.toModule);
    if (module == modules.end()) return true;
    // None: the library's site leaves the member out.
    const auto page = module->second->pages.find(toLower(r.to->Name()));
    if (page == module->second->pages.end()) return true;
    Reference from = r;
    from.toModule = nullptr;
    from.to = nullptr;
    m_pending.push_back({from, module->second, &*page});
    return true;
}

// The calls of user, found by reading it again with its libraries (its own
// run has not recorded them). Tried once: a project or library that cannot
// be read now would not be read by the user's run either.
void GroupCalls::findCallsOf(size_t user) {
    const std::vector<ReferencedProject> libraries = load(user);
    m_recorded[user] = true;
    if (libraries.empty()) return;
    const std::shared_ptr<CProject> caller = readQuietly(m_requests[user], m_cancel);
    if (caller) {
        const unsigned jobs = m_requests[user].jobs > 0
                                  ? static_cast<unsigned>(m_requests[user].jobs)
                                  : std::thread::hardware_concurrency();
        const ReferenceIndex index = resolveReferences(*caller, libraries, nullptr, jobs, m_cancel);
        for (const Reference& r : index.all()) takeCall(r);
        releaseLibraries();
        const SiteTables tables(*caller, m_requests[user].settings);
        recordPending(user, tables.links());
    }
    release();
}

// Reads user's libraries, in place of those of the user before; none when
// its calls are recorded already or its run has no cross-references
// (without them the code names no member pages).
std::vector<ReferencedProject> GroupCalls::load(size_t user) {
    release();
    if (m_recorded[user] || !m_requests[user].crossReferences) return {};
    m_resolving = user;
    std::vector<ReferencedProject> visible;
    for (const size_t library : groupLibrariesOf(m_group, user)) {
        Loaded read{readQuietly(m_requests[library], m_cancel, true), {}};
        if (!read.project) continue;
        const PageNames names(*read.project);
        for (const IndexEntry& e :
             siteIndexEntries(*read.project, m_requests[library].settings, &names, false)) {
            const ModuleKind kind = e.owner->Kind();
            if (e.module < 0 || (kind != ModuleKind::Class && kind != ModuleKind::UserControl))
                continue;
            ModulePages*& pages = read.modules[e.owner];
            if (!pages) pages = &m_pages.emplace_back(ModulePages{library, e.owner->Path(), {}});
            pages->pages.emplace(toLower(e.name), e.path);
        }
        for (const ModuleKind kind : {ModuleKind::Class, ModuleKind::UserControl})
            for (const auto& module : read.project->listOfKind(kind)->elements())
                m_libraryOf.emplace(module.get(), library);
        visible.push_back({m_group.projects[library].name, read.project.get()});
        m_libraries.emplace(library, std::move(read));
    }
    if (visible.empty()) release();
    return visible;
}

void GroupCalls::recordPending(size_t user, const CrossLinks& userLinks) {
    CallRecorder recorder(m_group, user, m_requests[user], userLinks, m_sites);
    for (const Pending& call : m_pending) recorder.record(call);
    m_recorded[user] = true;
    release();
}

void GroupCalls::finished(size_t index) {
    // Its pages are written: what they showed of the group is not asked again.
    m_sites[index]->codeLinks = {};
    m_sites[index]->callers = {};
}

void GroupCalls::releaseLibraries() {
    m_libraries.clear();
    m_libraryOf.clear();
}

void GroupCalls::release() {
    releaseLibraries();
    // Cleared and shrunk: assigning {} would keep the vector's memory.
    m_pending.clear();
    m_pending.shrink_to_fit();
    m_pages = {};
    m_resolving = kNone;
}

}  // namespace tarnwick
