#include "generator/run/GroupCalls.h"

#include <algorithm>
#include <unordered_map>

#include "generator/run/GenerationRun.h"
#include "generator/site/Listing.h"
#include "generator/site/PageNames.h"
#include "generator/site/SiteIndex.h"
#include "generator/site/SiteTables.h"
#include "model/CHelper.h"
#include "model/Kinds.h"
#include "reader/CrossReferences.h"
#include "support/CodePage.h"
#include "support/Diagnostics.h"
#include "support/Escape.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

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
    CancelFlagObserver observer(cancel);
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

    // A call into a library, in the order the calling project's code makes
    // them: a routine's calls come one after another.
    void record(const Reference& c, const GroupCalls::Called& t) {
        if (c.fromModule != m_module || c.from != m_from) {
            if (c.fromModule != m_module) {
                m_module = c.fromModule;
                m_links = &m_sites[m_user]->codeLinks[c.fromModule->Path()];
                m_code = codePageOf(*c.fromModule);
                m_userModule = userModuleOf(*c.fromModule);
            }
            m_from = c.from;
            m_routine = nullptr;
        }
        m_links->push_back({c.line, c.column, c.length, t.page});
        if (!m_routine) m_routine = std::make_shared<const GroupRoutine>(makeRoutine(c));
        const int32_t line = m_request.settings.layout == PageLayout::Modern
                                 ? c.fromModule->fileLineOf(c.line)
                                 : c.line;
        m_callers[t.module].push_back({t.member, GroupCaller(m_routine, line)});
    }

    // Hands the calls recorded to the libraries' tables, each module's at once.
    void finish() {
        for (auto& [module, calls] : m_callers)
            m_sites[module->library]->callers[module->path].add(std::move(calls));
        m_callers.clear();
    }

private:
    // The calling routine as the libraries' "Used by" names and links it,
    // made once for all the members it calls.
    GroupRoutine makeRoutine(const Reference& r) const {
        GroupRoutine c;
        c.project = m_group.projects[m_user].name;
        c.name = r.from ? r.fromModule->Name() + "." + r.from->Name() : r.fromModule->Name();
        const std::string page = r.from ? m_userLinks.memberPage(*r.fromModule, *r.from)
                                        : m_userLinks.modulePage(*r.fromModule);
        if (!page.empty()) c.page = m_toUser + page;
        // A caller its site leaves out is named, its lines not linked.
        if (!(r.from && page.empty())) c.code = m_code;
        c.module = m_userModule;
        return c;
    }

    // A calling module as the "Used by other projects" line of the modules
    // it calls names and links it.
    std::shared_ptr<const GroupUser> userModuleOf(const CModule& module) const {
        GroupUser user{m_group.projects[m_user].name, module.Name(), {}};
        if (const std::string page = m_userLinks.modulePage(module); !page.empty())
            user.page = m_toUser + page;
        return std::make_shared<const GroupUser>(std::move(user));
    }

    // The code page of a calling module, as its routines' rows link into it.
    std::shared_ptr<const GroupCodePage> codePageOf(const CModule& module) const {
        if (!m_request.settings.Source) return nullptr;
        const std::string code = m_userLinks.codePage(module);
        if (code.empty()) return nullptr;
        GroupCodePage made{m_toUser + code, {}};
        if (made.page.find('#') == std::string::npos) made.href = url("../" + made.page).take();
        return std::make_shared<const GroupCodePage>(std::move(made));
    }

    const ProjectGroup& m_group;
    const size_t m_user;
    const GenerationRequest& m_request;
    const CrossLinks& m_userLinks;
    const std::vector<std::shared_ptr<GroupSite>>& m_sites;
    const std::string m_toUser;  // from a library's folder to the user's
    // The routine of the last call, its module's code links and its record.
    const CModule* m_module = nullptr;
    const Element* m_from = nullptr;
    std::vector<GroupCodeLink>* m_links = nullptr;
    std::shared_ptr<const GroupCodePage> m_code;
    std::shared_ptr<const GroupRoutine> m_routine;
    std::shared_ptr<const GroupUser> m_userModule;
    // The calls of each library module's members, until finish().
    std::unordered_map<const GroupCalls::ModulePages*, std::vector<ModuleCallers::Call>> m_callers;
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

void GroupCalls::takeLibraryCalls(std::vector<Reference> calls) {
    if (m_libraryOf.empty()) return;
    // Every reference into a library goes, also those to members its site
    // leaves out. Each member called is kept apart from its module's table
    // (by its entry there), so the tables can go before the calls are
    // recorded, beside the calling project's model and tables.
    std::unordered_map<const Target::Entry*, const Called*> called;
    m_targets.reserve(calls.size());
    for (const Reference& r : calls) {
        const Target t = targetOf(r);
        const Called* target = nullptr;
        if (t.member) {
            const Called*& known = called[t.member];
            if (!known)
                known = &m_called.emplace_back(Called{
                    t.module, t.member->first,
                    std::make_shared<const std::string>("../" +
                                                        m_group.projects[t.module->library].folder +
                                                        "/" + t.member->second)});
            target = known;
        }
        m_targets.push_back(target);
    }
    m_calls = std::move(calls);
    releaseLibraries();
    for (ModulePages& module : m_pages)
        std::unordered_map<std::string, std::string>().swap(module.pages);
}

void GroupCalls::record(size_t index, const CrossLinks& links) {
    if (m_resolving != index) return;
    recordPending(index, links);
}

// What the tables need of the library member r names, so the libraries
// can go before the caller's pages are named.
GroupCalls::Target GroupCalls::targetOf(const Reference& r) const {
    const auto library = m_libraryOf.find(r.toModule);
    if (library == m_libraryOf.end()) return {};
    const auto& modules = m_libraries.at(library->second).modules;
    const auto module = modules.find(r.toModule);
    if (module == modules.end()) return {};
    const auto page = module->second->pages.find(toLower(r.to->Name()));
    if (page == module->second->pages.end()) return {};
    return {module->second, &*page};
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
        std::vector<Reference> calls;
        resolveReferences(*caller, libraries, nullptr, m_requests[user].threads(), m_cancel,
                          nullptr, &calls);
        takeLibraryCalls(std::move(calls));
        // Only the page names and links: the index texts are the user's run's.
        const SiteTables tables(*caller, m_requests[user].settings, nullptr, false);
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
        // The member pages the library's site lists, named as its run names
        // them; only the rows, not the index entries its pages are made from.
        const PageNames names(*read.project);
        const GenerationSettings& settings = m_requests[library].settings;
        const CHelper helper;
        for (const ModuleKind kind : {ModuleKind::Class, ModuleKind::UserControl}) {
            if (!kindSwitchedOn(kind, settings)) continue;
            for (const auto& module : read.project->listOfKind(kind)->elements()) {
                if (!module) continue;
                const std::string folder = helper.getModulesType(*module);
                if (folder.empty()) continue;
                ModulePages* pages = nullptr;
                forEachListedRow(*module, settings, [&](const std::vector<const Element*>& row) {
                    if (!pages)
                        pages = read.modules[module.get()] =
                            &m_pages.emplace_back(ModulePages{library, module->Path(), {}});
                    const Element& member = *row.front();
                    pages->pages.emplace(toLower(member.Name()),
                                         folder + "/" + names.member(*module, member) + ".html");
                });
            }
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
    for (size_t i = 0; i < m_calls.size(); ++i)
        if (m_targets[i]) recorder.record(m_calls[i], *m_targets[i]);
    recorder.finish();
    m_recorded[user] = true;
    release();
}

void GroupCalls::finished(size_t index) {
    // Its pages are written: what they showed of the group is not asked again.
    m_sites[index]->codeLinks.clear();
    m_sites[index]->callers.clear();
}

void GroupCalls::releaseLibraries() {
    m_libraries.clear();
    m_libraryOf.clear();
}

void GroupCalls::release() {
    releaseLibraries();
    // Cleared and shrunk: assigning {} would keep the vector's memory.
    m_calls.clear();
    m_calls.shrink_to_fit();
    m_targets.clear();
    m_targets.shrink_to_fit();
    m_pages = {};
    m_called = {};
    m_resolving = kNone;
}

}  // namespace tarnwick
