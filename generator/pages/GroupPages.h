// GroupPages: the pages of a group's site that belong to no one project.
//
// A group's site is the group's own pages in its root and one folder per
// project with what that project's own site holds. The root holds:
// - "index.html", the start page: the group's name and a table of its
//   projects (name, type in words, title, version, description, how many
//   modules of each kind), each linking to its project's start page;
// - "search-index.js", "search.html" and "all-members.html": one search and
//   one A-Z index over every project, built from the search indexes the
//   projects' runs wrote, each result naming its project;
// - "nav-index.js": the modern layout's navigation, the projects only, and
//   "module-summary.html", the projects each leading to its list of files.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "generator/pages/PageBody.h"
#include "generator/site/Page.h"
#include "generator/site/PageContext.h"
#include "generator/site/SiteIndex.h"
#include "model/ProjectGroup.h"

namespace tarnwick {

// The body of the group's "index.html".
PageBody buildGroupStartPage(const ProjectGroup& group, const PageContext& ctx);

// The rows of a search index a project's run wrote (script), as entries
// whose pages lie in folder ("CorLib/Classes/X.html") and whose kind is the
// word the script shows, appended to entries; false when script is not
// such an index. texts gets one item per entry: the row's summary and words
// as the script holds them (pointing into script), or empty where they were
// decoded into the entry.
bool readSearchIndex(std::string_view script, const std::string& folder,
                     std::vector<IndexEntry>& entries, std::vector<std::string_view>& texts);

// The group root's pages but the start page: its search index (rows of
// every project, with the projects by folder, so results name theirs), its
// navigation script, and the bodies of search.html and all-members.html
// (modules named "Project.Module"). Each is handed to its writer as soon as
// it is made, so the group's largest pages are never in memory together.
// texts: as readSearchIndex gives them.
void buildGroupIndexPages(const ProjectGroup& group, std::vector<IndexEntry> entries,
                          std::span<const std::string_view> texts, const PageContext& ctx,
                          const std::function<void(Page)>& writeScript,
                          const std::function<void(PageBody)>& writeBody);

}  // namespace tarnwick
