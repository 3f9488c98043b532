// SiteIndex: what finds things across the whole site.
//
// - "search-index.js": every listed module and member (name, kind, module,
//   page, a short plain-text summary, the other words of its description)
//   as one global script array. A script
//   file and not fetched data, because browsers refuse to fetch from a
//   file:// site; written in ASCII with \uXXXX escapes, so it reads the same
//   in every page encoding.
// - "search.html": opened as search.html?q=TEXT it lists the entries whose
//   name or description holds every word of TEXT (letter case ignored), names
//   first; the work is done by src/script/search.js from the resources.
// - "all-members.html": every listed member from A to Z with its kind and
//   module, the letters as anchors at the top.
//
// The entries and the index script are data every page may ask for; the
// two pages are built in SearchPages.h.
// What a site lists is decided in one place, memberListed, together with
// the kind switches of the settings.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "generator/settings/GenerationSettings.h"
#include "generator/site/PageContext.h"
#include "generator/site/PageNames.h"
#include "model/CModule.h"
#include "model/CProject.h"
#include "model/Element.h"
#include "support/Escape.h"

namespace tarnwick {

// One module or member the site lists.
struct IndexEntry {
    std::string name;
    std::string kind;     // kind word before translation: "Class", "Function", ...
    int module = -1;      // position of the module's entry; -1 for a module
    std::string path;     // page inside the site: "Classes/CAccount_Post.html"
    std::string summary;  // plain text: first sentence of the description
    std::string words;    // the description's other words, lower case, each once, blank between
    const CModule* owner = nullptr;    // the module itself for a module's entry
    const Element* element = nullptr;  // the member (its page's first); null for a module
};

// Whether a member of a module whose table is switched on gets listed (in
// the search index, the A-Z page, and as a target of cross-links).
bool memberListed(const Element& member, const GenerationSettings& settings);

// Each row of module's summary tables that the site lists (one member
// page each: a property's accessors share a row), in the tables' order.
void forEachListedRow(const CModule& module, const GenerationSettings& settings,
                      const std::function<void(const std::vector<const Element*>&)>& take);

// Every module of the kinds whose pages are written, each followed by its
// listed members (one entry per member page: a property's accessors are one).
// names: the run's page names; null gives every page its wished name.
// Without texts the entries' summary and words stay empty (what pages
// exist, and where, costs a fraction of what they say).
std::vector<IndexEntry> siteIndexEntries(const CProject& project,
                                         const GenerationSettings& settings,
                                         const PageNames* names = nullptr, bool texts = true);

// Fills in the summary and words of entries, the entries siteIndexEntries
// made for module without texts (in their order), as it makes them with.
void addIndexTexts(std::span<IndexEntry> entries, const CModule& module,
                   const GenerationSettings& settings);

// A description's first sentence (firstSentence: the one its summary row
// shows) as one line of plain text: markup removed, character references
// decoded, blanks collapsed, cut at about maxBytes (on a character
// boundary, "..." added).
std::string plainSummary(std::string_view description, size_t maxBytes = 100);

// The words (runs of letters, digits and '_', two characters or more) of
// the plain text of descriptions, lower case, each once in the order of
// first appearance, blank between; words that stand in known (lower case)
// are left out, since the search sees them there.
std::string descriptionWords(const std::vector<std::string_view>& descriptions,
                             std::string_view known);

// "search-index.js": the entries as one script (text only as jsString
// literals, see Escape.h). texts (empty, or one item per entry): an
// entry's summary and words as another index's script wrote them, copied
// as they are where not empty.
Script buildSearchIndexScript(const std::vector<IndexEntry>& entries, const PageContext& ctx,
                              std::span<const std::string_view> texts = {});

}  // namespace tarnwick
