// SearchPages: the pages that find things across the whole site:
// "search.html", "all-members.html" and the scripts they and the modern
// layout read ("search-index.js", "nav-index.js" and the modules' navigation
// scripts); see SiteIndex.h and NavIndex.h for what they hold.
#pragma once

#include <string>
#include <vector>

#include "generator/pages/PageBody.h"
#include "generator/site/Page.h"
#include "generator/site/PageContext.h"
#include "generator/site/SiteIndex.h"
#include "model/CProject.h"
#include "support/Html.h"

namespace tarnwick {

// The body of "search.html": the search form, the result table and the
// texts the search script writes, as script literals.
PageBody buildSearchPage(const PageContext& ctx);
// The body of "all-members.html".
PageBody buildMemberIndexPage(const std::vector<IndexEntry>& entries, const PageContext& ctx);

// The search box at the top of the navigation frame's pages: a form that
// opens search.html?q=... (in the framed layout, in the Detail frame).
Html searchBox(const PageContext& ctx);

// The files above: the scripts as they are written, the two pages as
// bodies for the layout's frame (throws PageWriteError).
struct SiteIndexPages {
    Pages scripts;
    PageBodies bodies;
};
SiteIndexPages buildSiteIndexPages(const CProject& project, const PageContext& ctx);

}  // namespace tarnwick
