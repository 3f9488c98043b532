// NavIndex: the site's navigation as data, beside the search index.
//
// The navigation tree is not written into the pages: a project of hundreds
// of modules would repeat megabytes of it. It comes from generated scripts
// (script files, not fetched data, so they work from file://) that
// src/script/modern.js renders in the browser: "nav-index.js", which every
// page reads, holds the kinds and their modules only; the members of a
// module are in "nav/<folder>/<module's page stem>.js", read when the reader
// opens the module in the tree (or stands on one of its pages), so a page of
// a big site does not parse and draw thousands of members it never shows.
// The tabs of a module's pages are listed here too, since the script and the
// page frame must name the same pages.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "generator/settings/GenerationSettings.h"
#include "generator/site/Page.h"
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

// The folder of the modules' navigation scripts: each run writes the ones
// of its modules with members, and removes those the last run left.
inline constexpr const char* kNavFolder = "nav/";

// "nav-index.js" (the modules of the site by kind, each with its number of
// members, as one global script object; ASCII, like search-index.js), then
// one script in kNavFolder for each module with members.
Pages buildNavScripts(const std::vector<IndexEntry>& entries, const PageContext& ctx);

}  // namespace tarnwick
