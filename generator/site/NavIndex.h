// NavIndex: the site's navigation as data, beside the search index.
//
// The navigation tree is not written into the pages: a project of hundreds
// of modules would repeat megabytes of it. It is one generated script,
// "nav-index.js" (a script file, not fetched data, so it works from
// file://), which src/script/modern.js renders in the browser. The tabs of a
// module's pages are listed here too, since the script and the page frame
// must name the same pages.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "generator/settings/GenerationSettings.h"
#include "generator/site/PageContext.h"
#include "generator/site/SiteIndex.h"
#include "support/Escape.h"

namespace tarnwick {

// One of a module's pages: its file suffix and the tab's (untranslated) word.
struct ModuleTab {
    const char* suffix;
    const char* word;
};
// A module's pages in the order of their tabs: overview, UML, object model, code.
std::span<const ModuleTab> moduleTabs();
// The tabs the run writes pages for: no UML page without UML, no code page without source.
bool tabWritten(const ModuleTab& tab, const GenerationSettings& settings);

// "nav-index.js": the modules of the site by kind, each with its members,
// as one global script object (ASCII, like search-index.js).
Script buildNavIndexScript(const std::vector<IndexEntry>& entries, const PageContext& ctx);

}  // namespace tarnwick
