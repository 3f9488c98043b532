// GroupSite: what the pages of one project of a group know of the group.
//
// A group's site holds one folder per project ("CorLib/", "CorLibTests/")
// beside the group's own pages (start page, search, A-Z index). A project's
// pages are built as in a site of its own, and ask this table only where the
// group adds something: the other projects for the navigation, the page of
// a class another project of the group makes visible to this one (through a
// project reference, only classes with VB_Exposed = True), and for this
// project's classes the modules of other projects that name them. Paths are
// relative to the project's folder ("../CorLib/Classes/StringBuilder.html").
#pragma once

#include <cstdint>
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

struct GroupSite {
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
    // lower name of one of this project's classes -> the modules naming it
    std::unordered_map<std::string, std::vector<GroupUser>> users;

    // The page of the class of a referenced project that dataType names
    // ("StringBuilder", "CorLib.StringBuilder"); empty when none.
    std::string classPage(std::string_view dataType) const;
    // The modules of other projects naming class; null when none.
    const std::vector<GroupUser>* usersOf(std::string_view className) const;
    // Everything above as a hash, for the key of a project's pages.
    uint64_t key() const;
};

// The framed layout's list of the group's projects, for the top of the
// navigation frame: each links to its project's frameset; empty outside a group.
Html groupProjectList(const PageContext& ctx);

// "Used by other projects: CorLibTests: CTestStringBuilder, ..." for a class
// of this project; empty when no other project names it.
Html groupUsersLine(std::string_view className, const PageContext& ctx);

}  // namespace tarnwick
