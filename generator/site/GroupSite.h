// GroupSite: what the pages of one project of a group know of the group.
//
// A group's site holds one folder per project ("CorLib/", "CorLibTests/")
// beside the group's own pages (start page, search, A-Z index). A project's
// pages are built as in a site of its own, and ask this table only where the
// group adds something: the other projects for the navigation, the page of
// a class another project of the group makes visible to this one (through a
// project reference, only classes with VB_Exposed = True), for this
// project's classes the modules of other projects that name them, and the
// member calls across projects (GroupCalls.h): this project's calls into
// other projects' members and the routines of other projects calling this
// project's members. Paths are relative to the project's folder
// ("../CorLib/Classes/StringBuilder.html").
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "support/Html.h"

namespace tarnwick {

struct PageContext;

// A module of another project of the group that names one of this project's classes.
struct GroupUser {
    std::string project;  // the project's name
    std::string module;   // the module's name
    std::string page;     // its overview page, relative to this project's folder
};

// Where this project's code calls a member of another project's class.
struct GroupCodeLink {
    int32_t line = 0;  // as a LineLink: the line of the module's Source
    int32_t column = 0;
    int32_t length = 0;
    // The member's page, from this project's folder: one text for all the
    // calls of a member (never null).
    std::shared_ptr<const std::string> page;
};

// The code page of a module of another project, as the "Used by" rows of
// its routines link their lines into it: one for all the module's routines.
struct GroupCodePage {
    std::string page;  // relative to this project's folder
    // "../" and page, encoded as an address: each row's lines link to it.
    // Empty when page holds an anchor of its own.
    std::string href;
};

// A routine (or the code outside every routine of a module) of another
// project, as a "Used by" row names and links it; one for all the members
// it calls.
struct GroupRoutine {
    std::string project;                        // the calling project's name
    std::string name;                           // "Module.Routine", or "Module"
    std::string page;                           // its page; empty when its site leaves it out
    std::shared_ptr<const GroupCodePage> code;  // its module's code page; null: none written
    // Its module, as the called module's "Used by other projects" names it
    // (a module may call a class's members without naming the class, as a
    // global class's callers do); one for all the module's routines.
    std::shared_ptr<const GroupUser> module;
};

// A routine of another project that calls a member of this project, and
// the lines it does so in, as its code page numbers them, each once. Most
// routines call a member on one line: a second line is kept apart.
class GroupCaller {
public:
    GroupCaller(std::shared_ptr<const GroupRoutine> routine, int32_t line)
        : m_routine(std::move(routine)), m_firstLine(line) {}

    const GroupRoutine& routine() const { return *m_routine; }
    bool sameRoutine(const GroupCaller& other) const { return m_routine == other.m_routine; }
    // Calls f with each line, in the order they were added.
    template <class F>
    void forEachLine(F f) const {
        f(m_firstLine);
        if (m_laterLines)
            for (const int32_t line : *m_laterLines) f(line);
    }
    // Adds line unless it is the last one added.
    void addLine(int32_t line);
    // Adds the lines of other, a row of the same routine.
    void addLines(const GroupCaller& other) {
        other.forEachLine([this](int32_t line) { addLine(line); });
    }

private:
    std::shared_ptr<const GroupRoutine> m_routine;  // never null
    int32_t m_firstLine = 0;
    std::unique_ptr<std::vector<int32_t>> m_laterLines;  // null: none
};

// The routines of other projects calling the members of one module. Kept
// flat, a library's modules have thousands of them: each member's rows lie
// together, in the order they were added.
class ModuleCallers {
public:
    // A call of member (lower case) by a routine, in the order the calling
    // project's code makes them.
    struct Call {
        std::string member;
        GroupCaller caller;
    };
    // Adds calls after those added before. A routine's calls of one member
    // become one row, with all its lines.
    void add(std::vector<Call> calls);
    // The rows of member (lower case); empty when none.
    std::span<const GroupCaller> of(std::string_view member) const;
    // Calls f(member, rows) for each member, by name.
    template <class F>
    void forEachMember(F f) const {
        for (size_t i = 0; i < m_members.size(); ++i)
            f(m_members[i], std::span<const GroupCaller>(m_rows).subspan(
                                m_starts[i], m_starts[i + 1] - m_starts[i]));
    }

private:
    std::vector<std::string> m_members;  // sorted, each once
    std::vector<uint32_t> m_starts;      // each member's first row, then m_rows.size()
    std::vector<GroupCaller> m_rows;
};

struct GroupSite {
    GroupSite() = default;
    GroupSite(const GroupSite&) = delete;  // users points into userModules
    GroupSite& operator=(const GroupSite&) = delete;

    struct Project {
        std::string name;
        std::string folder;  // in the group's site
    };
    std::string name;               // the group's
    std::vector<Project> projects;  // as the start page lists them
    size_t current = 0;             // this project's position in projects; size(): none
    std::string toRoot = "../";     // from the project's folder to the group's; "" at the group's
    // lower class name, and lower "project.class", -> its page
    std::unordered_map<std::string, std::string> classPages;
    // A project reference of this project as written ("..\Lib\Lib.vbp"),
    // lower case, -> the start page of the group's project it names
    std::unordered_map<std::string, std::string> projectPages;
    // The modules of other projects naming this project's classes, each once.
    std::deque<GroupUser> userModules;
    // lower name of one of this project's classes -> the modules naming it
    std::unordered_map<std::string, std::vector<const GroupUser*>> users;
    // module file (CModule::Path) -> its calls into other projects, by line and column
    std::unordered_map<std::string, std::vector<GroupCodeLink>> codeLinks;
    // module file -> the routines of other projects calling its members
    std::unordered_map<std::string, ModuleCallers> callers;

    // The start page of the group's project a reference of this project
    // names (CModule::Name of a "*\A" reference); empty when none.
    std::string projectPage(std::string_view reference) const;
    // The page of the class of a referenced project that dataType names
    // ("StringBuilder", "CorLib.StringBuilder"); empty when none.
    std::string classPage(std::string_view dataType) const;
    // The modules of other projects naming class; null when none.
    const std::vector<const GroupUser*>* usersOf(std::string_view className) const;
    // The modules of other projects using the module read from modulePath,
    // of that name, by project: those naming it, then those only calling its
    // members (by name).
    std::vector<const GroupUser*> usersOf(const std::string& modulePath,
                                          std::string_view moduleName) const;
    // The calls into other projects of the module read from modulePath; null when none.
    const std::vector<GroupCodeLink>* codeLinksOf(const std::string& modulePath) const;
    // The routines of other projects calling member of that module; empty when none.
    std::span<const GroupCaller> callersOf(const std::string& modulePath,
                                           std::string_view member) const;
    // What every page of the project shows of the group (the projects, the
    // class pages), as a hash: a part of the key of all its pages.
    uint64_t sharedKey() const;
    // What the pages of one module show besides (the users of the class of
    // its name, its calls, its members' callers), as a hash: a change there
    // rebuilds that module's pages only.
    uint64_t moduleKey(const std::string& modulePath, std::string_view moduleName) const;
    // Everything above but the member calls (found only when a run builds
    // pages; GroupCalls.h) as a hash, for the key of a whole run.
    uint64_t key() const;
};

// The framed layout's list of the group's projects, for the top of the
// navigation frame: each links to its project's frameset; empty outside a group.
Html groupProjectList(const PageContext& ctx);

// "Used by other projects: CorLibTests: CTestStringBuilder, ..." for a class
// of this project, read from modulePath; empty when no other project names
// it or calls its members.
Html groupUsersLine(const std::string& modulePath, std::string_view className,
                    const PageContext& ctx);

}  // namespace tarnwick
