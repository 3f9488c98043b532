// SiteTables: what every page of a project's site is built with besides its
// settings: the page names over the whole project, the kinds that get
// pages, the site's index entries and the cross links between pages.
//
// The run makes them once per run; the workbench makes them for its
// previews, so a preview is built as the run's page for that node is.
// The project must outlive the tables, and the tables the contexts that
// use them; they are only read once made, from any thread.
#pragma once

#include <string>
#include <vector>

#include "generator/settings/GenerationSettings.h"
#include "generator/site/CrossLinks.h"
#include "generator/site/PageContext.h"
#include "generator/site/PageNames.h"
#include "generator/site/SiteIndex.h"
#include "model/CProject.h"
#include "support/Diagnostics.h"

namespace tarnwick {

class SiteTables {
public:
    // Clashing page names are reported to diagnostics (may be null).
    SiteTables(const CProject& project, const GenerationSettings& settings,
               DiagnosticsSink* diagnostics = nullptr);
    SiteTables(const SiteTables&) = delete;
    SiteTables& operator=(const SiteTables&) = delete;

    // Points ctx at the tables: page names, cross links, the kinds with
    // pages and the project's version.
    void applyTo(PageContext& ctx) const;

    const PageNames& names() const { return m_names; }
    const std::vector<IndexEntry>& entries() const { return m_entries; }
    const CrossLinks& links() const { return m_links; }

private:
    PageNames m_names;
    std::vector<std::string> m_kindsWithPages;
    std::string m_projectVersion;
    std::vector<IndexEntry> m_entries;
    CrossLinks m_links;  // into m_entries: declared after them
};

}  // namespace tarnwick
