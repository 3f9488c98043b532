// GroupCalls: the member calls across the projects of a group.
//
// A project's calls into the public classes of the projects it references
// (its libraries) are found by its own run: before it reads its project,
// the run takes its libraries from here (each read again, quietly, without
// cross-references: reading is cheap next to resolving), its code is
// resolved with them by the resolver that binds a project's own calls
// (resolveReferences with libraries), and what binds into a library goes
// to the projects' GroupSite tables: to the calling project its code links,
// to the library the callers of each member ("Used by"), each with its page
// in the other project's folder, as that project's run names its pages.
// The libraries are let go before the run names its pages (what the tables
// need of them is copied first), so they are never in memory beside the
// calling project's pages.
//
// A library's pages need the calls of all its users, so the group's runs go
// users first (runOrder). A library whose user has not recorded its calls
// by then (its run found nothing changed, failed, or comes later in a
// reference cycle) reads that user with its libraries itself, as the user's
// run would; a user recorded that way then reads its project as usual.
//
// The projects are read as their runs read them (code page, defines), but
// quietly: a project's run reports what is wrong with it. A project that
// cannot be read adds nothing.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "generator/settings/GenerationRequest.h"
#include "generator/site/CrossLinks.h"
#include "generator/site/GroupSite.h"
#include "model/ProjectGroup.h"
#include "reader/CrossReferences.h"

namespace tarnwick {

// The projects project index references that show public classes or
// controls: the libraries whose members its calls may reach.
std::vector<size_t> groupLibrariesOf(const ProjectGroup& group, size_t index);

class GroupCalls {
public:
    // requests[i] is project i's run request (without this object), sites[i]
    // its GroupSite (filled here); cancel (may be null) stops the reading.
    // group must outlive this.
    GroupCalls(const ProjectGroup& group, std::vector<GenerationRequest> requests,
               std::vector<std::shared_ptr<GroupSite>> sites, const std::atomic<bool>* cancel);
    ~GroupCalls();

    // The order to document the group's projects in: each after every
    // project that references it, where a reference cycle allows; else in
    // the group's order.
    static std::vector<size_t> runOrder(const ProjectGroup& group);

    // Called by project index's run once it is to build pages, before it
    // reads its project: first finds the calls into its members that are
    // not recorded yet, then gives the libraries its code is to be resolved
    // with (kept until record): none when it has none, when its run has no
    // cross-references or when its calls are recorded already.
    std::vector<ReferencedProject> librariesFor(size_t index);
    // Takes the references the project's code makes into the libraries
    // (resolveReferences with intoLibraries: its pages link its own members
    // only; the group's links come from its GroupSite), to be recorded, and
    // lets the libraries go.
    void takeLibraryCalls(std::vector<Reference> calls);
    // Records them, the page names of the calling project's site given by links.
    void record(size_t index, const CrossLinks& links);
    // Project index's run is done: what its pages were given is let go.
    void finished(size_t index);

    // The pages of a library module's members other projects may name, as
    // the library's run names them (a property's accessors share theirs):
    // what the group's tables need of the module once the library is gone.
    struct ModulePages {
        size_t library = 0;
        std::string path;                                    // the module's file
        std::unordered_map<std::string, std::string> pages;  // lower member name -> its page
    };
    // The member of a library a call names: its module's pages and its
    // entry there; none when the library's site leaves the member out.
    struct Target {
        using Entry = std::pair<const std::string, std::string>;
        const ModulePages* module = nullptr;
        const Entry* member = nullptr;  // in module->pages
    };
    // A member the calls name, as the tables need it once the modules'
    // pages are let go: its page named from the users' folders
    // ("../Lib/Classes/C_M.html"), one text for all its calls.
    struct Called {
        const ModulePages* module = nullptr;  // its library and file
        std::string member;                   // lower case
        std::shared_ptr<const std::string> page;
    };

private:
    // A library read for its users' calls, and its modules' pages.
    struct Loaded {
        std::shared_ptr<CProject> project;
        std::unordered_map<const CModule*, ModulePages*> modules;  // in m_pages
    };

    static constexpr size_t kNone = static_cast<size_t>(-1);
    void findCallsOf(size_t user);
    std::vector<ReferencedProject> load(size_t user);
    Target targetOf(const Reference& r) const;
    void recordPending(size_t user, const CrossLinks& userLinks);
    void releaseLibraries();
    void release();

    const ProjectGroup& m_group;
    const std::vector<GenerationRequest> m_requests;
    const std::vector<std::shared_ptr<GroupSite>> m_sites;
    const std::atomic<bool>* m_cancel;
    std::vector<bool> m_recorded;              // whose calls are in the tables
    std::vector<std::vector<size_t>> m_users;  // of each project, the projects calling it
    size_t m_resolving = kNone;                // the user whose libraries are loaded
    std::map<size_t, Loaded> m_libraries;      // those of the project resolving now
    std::unordered_map<const CModule*, size_t> m_libraryOf;  // their modules' projects
    // Its calls into them (a call's to side is not looked at once the
    // libraries are gone), the member each names, and the pages of the
    // members they may name (at stable addresses, kept until the calls are
    // recorded; their tables only until the calls' members are found).
    std::vector<Reference> m_calls;
    std::vector<const Called*> m_targets;  // of m_calls, one each; null: none
    std::deque<ModulePages> m_pages;
    std::deque<Called> m_called;
};

}  // namespace tarnwick
