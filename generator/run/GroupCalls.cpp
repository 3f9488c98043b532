#include "generator/run/GroupCalls.h"

#include <map>
#include <thread>
#include <tuple>
#include <unordered_map>

#include "generator/run/GenerationRun.h"
#include "generator/site/SiteTables.h"
#include "reader/CrossReferences.h"
#include "support/CodePage.h"
#include "support/Diagnostics.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

// A project read for its calls, with the page names its run gives.
struct ReadProject {
    std::shared_ptr<CProject> project;
    std::unique_ptr<SiteTables> tables;
};

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
// libraries.
ReadProject readQuietly(const GenerationRequest& request, const std::atomic<bool>* cancel) {
    const auto codePage = CodePage::open(request.codePage);
    if (!codePage) return {};
    GenerationRequest withoutReferences = request;
    withoutReferences.crossReferences = false;
    NullSink quiet;
    CancelOnly observer(cancel);
    auto parsed = readProject(withoutReferences, codePage.value(), nullptr, quiet, &observer);
    if (!parsed) return {};
    ReadProject read;
    read.project = std::move(parsed).value();
    read.tables = std::make_unique<SiteTables>(*read.project, request.settings);
    return read;
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

    // r names a member of library's module, whose run names its pages with libraryLinks.
    void record(const Reference& r, size_t library, const CrossLinks& libraryLinks) {
        const std::string target = libraryLinks.memberPage(*r.toModule, *r.to);
        if (target.empty()) return;  // the library's site leaves the member out
        m_sites[m_user]->codeLinks[r.fromModule->Path()].push_back(
            {r.line, r.column, r.length, "../" + m_group.projects[library].folder + "/" + target});
        std::vector<GroupCaller>& callers =
            m_sites[library]->callers[r.toModule->Path()][toLower(r.to->Name())];
        const auto [row, added] =
            m_rows.try_emplace(std::tuple(&callers, r.fromModule, r.from), callers.size());
        if (added) callers.push_back(callerOf(r));
        std::vector<int32_t>& lines = callers[row->second].lines;
        const int32_t line = m_request.settings.layout == PageLayout::Modern
                                 ? r.fromModule->fileLineOf(r.line)
                                 : r.line;
        if (lines.empty() || lines.back() != line) lines.push_back(line);
    }

private:
    // The calling routine as the library's "Used by" names and links it.
    GroupCaller callerOf(const Reference& r) const {
        GroupCaller c;
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
};

}  // namespace

std::vector<size_t> groupLibrariesOf(const ProjectGroup& group, size_t index) {
    std::vector<size_t> found;
    for (const GroupProject* library : group.referencedBy(group.projects[index]))
        if (!library->publicClasses.empty() || !library->publicControls.empty())
            found.push_back(static_cast<size_t>(library - group.projects.data()));
    return found;
}

void addGroupCalls(const ProjectGroup& group, const std::vector<GenerationRequest>& requests,
                   const std::vector<std::shared_ptr<GroupSite>>& sites,
                   const std::atomic<bool>* cancel) {
    // Each library is read once and kept while the group is gone through;
    // each user in turn, its model let go before the next.
    std::map<size_t, ReadProject> libraries;
    for (size_t user = 0; user < group.projects.size(); ++user) {
        if (cancel && cancel->load()) return;
        // Without cross-references (--no-cross-references) the code names no member pages.
        const std::vector<size_t> used = groupLibrariesOf(group, user);
        if (used.empty() || !requests[user].crossReferences) continue;
        std::vector<ReferencedProject> visible;
        std::unordered_map<const CModule*, size_t> libraryOf;
        for (const size_t library : used) {
            auto [read, added] = libraries.try_emplace(library);
            if (added) read->second = readQuietly(requests[library], cancel);
            if (!read->second.project) continue;
            visible.push_back({group.projects[library].name, read->second.project.get()});
            for (const ModuleKind kind : {ModuleKind::Class, ModuleKind::UserControl})
                for (const auto& module : read->second.project->listOfKind(kind)->elements())
                    libraryOf.emplace(module.get(), library);
        }
        const ReadProject caller = readQuietly(requests[user], cancel);
        if (!caller.project || visible.empty()) continue;
        const unsigned jobs = requests[user].jobs > 0 ? static_cast<unsigned>(requests[user].jobs)
                                                      : std::thread::hardware_concurrency();
        const ReferenceIndex index =
            resolveReferences(*caller.project, visible, nullptr, jobs, cancel);
        CallRecorder recorder(group, user, requests[user], caller.tables->links(), sites);
        for (const Reference& r : index.all()) {
            const auto library = libraryOf.find(r.toModule);
            if (library != libraryOf.end())
                recorder.record(r, library->second, libraries.at(library->second).tables->links());
        }
    }
}

}  // namespace tarnwick
