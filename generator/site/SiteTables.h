// SiteTables: what every page of a project's site is built with besides its
// settings: the page names over the whole project, the kinds that get
// pages, the site's index entries and the cross links between pages.
//
// The run makes them once per run; the workbench makes them for its
// previews, so a preview is built as the run's page for that node is.
// The project must outlive the tables, and the tables the contexts that
// use them; they are only read once made, from any thread.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "generator/settings/GenerationSettings.h"
#include "generator/site/CrossLinks.h"
#include "generator/site/PageContext.h"
#include "generator/site/PageNames.h"
#include "generator/site/SiteIndex.h"
#include "model/CProject.h"
#include "support/Diagnostics.h"

namespace tarnwick {

// The project's classes by name, found as the class list's byName finds
// them (the first of the name, letter case ignored), without a pass over the
// list: a code page asks for the class of every data type it shows.
class ClassNames {
public:
    explicit ClassNames(const CProject& project);
    const CModule* find(std::string_view name) const;

private:
    const CProject& m_project;
    std::unordered_map<std::string, const CModule*> m_byName;  // lower case
    bool m_ascii = true;  // every class's name is ASCII: no other spelling folds onto one
};

class SiteTables {
public:
    // Clashing page names are reported to diagnostics (may be null).
    // Without texts the index entries' summaries and words are left for
    // addTexts: a re-run whose index pages are kept never needs those of the
    // modules it keeps, and they cost a tenth of such a run.
    SiteTables(const CProject& project, const GenerationSettings& settings,
               DiagnosticsSink* diagnostics = nullptr, bool texts = true);
    SiteTables(const SiteTables&) = delete;
    SiteTables& operator=(const SiteTables&) = delete;

    // Points ctx at the tables: page names, cross links, the kinds with
    // pages and the project's version.
    void applyTo(PageContext& ctx) const;

    const PageNames& names() const { return m_names; }
    const std::vector<IndexEntry>& entries() const { return m_entries; }
    const CrossLinks& links() const { return m_links; }

    // The index entries of module (its own, then its members'); empty for
    // a module the site does not list.
    std::span<const IndexEntry> entriesOf(const CModule& module) const;
    // Gives the entries of module, or of every module, their texts where
    // they have none yet. Not while another thread reads the entries.
    void addTexts(const CModule& module);
    void addTexts(unsigned threads = 1);
    // The same for modules, on up to threads threads: each module's texts
    // are made from its own members only, into its own entries.
    void addTexts(std::span<const CModule* const> modules, unsigned threads);

private:
    PageNames m_names;
    std::vector<std::string> m_kindsWithPages;
    std::string m_projectVersion;
    std::vector<IndexEntry> m_entries;
    CrossLinks m_links;  // into m_entries: declared after them
    ClassNames m_classNames;
    GenerationSettings m_settings;
    struct Range {
        size_t begin = 0, end = 0;
        bool texts = false;
    };
    std::unordered_map<const CModule*, Range> m_ranges;
};

}  // namespace tarnwick
