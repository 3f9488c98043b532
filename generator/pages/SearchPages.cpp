#include "generator/pages/SearchPages.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <unordered_map>

#include "generator/pages/FormSections.h"
#include "generator/pages/modHtmlDetail.h"
#include "generator/site/CrossLinks.h"
#include "generator/site/NavIndex.h"
#include "model/CHelper.h"
#include "support/SortedRuns.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

// First letter of a name for the A-Z page: A to Z, or "#" for the rest.
char indexLetter(std::string_view name) {
    if (name.empty()) return '#';
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return c >= 'A' && c <= 'Z' ? c : '#';
}

// "Name (Kind, Module)", each name linked to its page. Piece by piece into
// the page: a group's index has tens of thousands of rows. moduleLink is
// the module's name linked to its page, made once for all its members.
void appendMemberRow(HtmlBuffer& page, const IndexEntry& e, const Html& kind,
                     const Html& moduleLink) {
    page.Append("<A href=\"");
    page.Append(url(e.path));
    page.Append("\">");
    page.Append(escaped(e.name));
    page.Append("</A> (");
    page.Append(kind);
    page.Append(", ");
    page.Append(moduleLink);
    page.AppendLn(")<BR>");
}

}  // namespace

Html searchBox(const PageContext& ctx) {
    const CHelper helper(ctx.translation, ctx.language);
    const Html search = attribute(helper.Translate("Search"));
    return "<FORM class=\"search\" action=\"search.html\" method=\"get\"" +
           ctx.target(LinkFrame::Detail) +
           " accept-charset=\"UTF-8\">"
           "<INPUT type=\"text\" name=\"q\" size=\"16\" title=\"" +
           search + "\" aria-label=\"" + search + "\">&nbsp;<INPUT type=\"submit\" value=\"" +
           search + "\"></FORM>";
}

PageBody buildSearchPage(const PageContext& ctx) {
    const CHelper helper(ctx.translation, ctx.language);
    HtmlBuffer page;
    page.AppendLn("<H3>" + trText(helper, "Search") + "</H3>");
    page.AppendLn(
        "<FORM class=\"search\" action=\"search.html\" method=\"get\" accept-charset=\"UTF-8\">");
    const Html search = attribute(helper.Translate("Search"));
    page.AppendLn("<INPUT type=\"text\" name=\"q\" id=\"searchQuery\" size=\"40\" aria-label=\"" +
                  search + "\">&nbsp;");
    page.AppendLn("<INPUT type=\"submit\" value=\"" + search + "\">");
    page.AppendLn("</FORM>");
    page.AppendLn("<P id=\"searchSummary\">" +
                  trText(helper, "SearchHint", "Type a name or words of a description.") + "</P>");
    page.AppendLn("<TABLE cellspacing=\"0\" class=\"summary\" id=\"searchResults\"></TABLE>");
    page.AppendLn("<SCRIPT language=\"JavaScript\" src=\"search-index.js\"></SCRIPT>");
    page.AppendLn("<SCRIPT language=\"JavaScript\" src=\"src/script/search.js\"></SCRIPT>");
    // The texts the script writes, in the site's language.
    page.AppendLn("<SCRIPT language=\"JavaScript\">");
    const auto js = [&](std::string_view key, std::string_view fallback = {}) {
        return jsString(helper.Translate(key, fallback));
    };
    page.AppendLn(inlineScript(
        "tarnwickShowSearch({none: " + js("SearchNone", "No results for \"%1\".") + ", one: " +
        js("SearchFoundOne", "%1 result") + ", found: " + js("SearchFound", "%1 results") +
        ", limited: " + js("SearchLimited", "The first %1 of %2 results.") +
        ", name: " + js("Name") + ", kind: " + js("Kind", "Kind") + ", module: " + js("Module") +
        ", description: " + js("Description") +
        // A group's search names each result's project.
        (ctx.group ? ", project: " + js("Project") : Script()) + "});"));
    page.AppendLn("</SCRIPT>");
    return modHtml::detail::rootPage("search.html", helper.Translate("Search"), page);
}

PageBody buildMemberIndexPage(const std::vector<IndexEntry>& entries, const PageContext& ctx) {
    const CHelper helper(ctx.translation, ctx.language);
    std::vector<const IndexEntry*> members;
    // The rows of controls and menu entries (a group reads them from its
    // projects' search indexes) are no members: they lead into a form's page.
    for (const IndexEntry& entry : entries)
        if (entry.module >= 0 && entry.path.find('#') == std::string::npos)
            members.push_back(&entry);
    const auto moduleName = [&](const IndexEntry* e) -> const std::string& {
        return entries[static_cast<size_t>(e->module)].name;
    };
    stableSortRuns(members.begin(), members.end(), [&](const IndexEntry* a, const IndexEntry* b) {
        const char la = indexLetter(a->name), lb = indexLetter(b->name);
        // "#" (names that start with no letter) after Z.
        if (la != lb) return (la == '#' ? 'Z' + 1 : la) < (lb == '#' ? 'Z' + 1 : lb);
        if (const int byName = compareIgnoreCase(a->name, b->name)) return byName < 0;
        return compareIgnoreCase(moduleName(a), moduleName(b)) < 0;
    });

    HtmlBuffer page;
    page.AppendLn("<H3>" + trText(helper, "AllMembers", "All members") + "</H3>");
    std::string letters;
    for (const IndexEntry* e : members) {
        const char letter = indexLetter(e->name);
        if (letters.find(letter) == std::string::npos) letters += letter;
    }
    page.Append("<P class=\"letters\">");
    for (const char letter : letters) {
        const std::string l(1, letter);
        page.Append("<A href=\"#letter_" + url(letter == '#' ? "other" : l) + "\">" + escaped(l) +
                    "</A> ");
    }
    page.AppendLn("</P>");
    char current = 0;
    std::unordered_map<std::string_view, Html> kindWords;  // each kind translated once
    std::unordered_map<int, Html> moduleLinks;             // by the module's entry
    for (const IndexEntry* e : members) {
        const char letter = indexLetter(e->name);
        if (letter != current) {
            if (current != 0) page.AppendLn("</P>");
            current = letter;
            const std::string l(1, letter);
            page.AppendLn("<H3><A name=\"letter_" + attribute(letter == '#' ? "other" : l) +
                          "\"></A>" + escaped(l) + "</H3>");
            page.AppendLn("<P>");
        }
        auto [kind, added] = kindWords.try_emplace(e->kind);
        if (added) kind->second = trText(helper, e->kind, e->kind);
        auto [module, made] = moduleLinks.try_emplace(e->module);
        if (made) {
            const IndexEntry& m = entries[static_cast<size_t>(e->module)];
            module->second = "<A href=\"" + url(m.path) + "\">" + escaped(m.name) + "</A>";
        }
        appendMemberRow(page, *e, kind->second, module->second);
    }
    if (current != 0) page.AppendLn("</P>");
    return modHtml::detail::rootPage("all-members.html",
                                     helper.Translate("AllMembers", "All members"), page);
}

SiteIndexPages buildSiteIndexPages(const CProject& project, const PageContext& ctx) {
    // The run's own entries are not copied: a big project's are megabytes.
    std::vector<IndexEntry> made;
    if (!ctx.links) made = siteIndexEntries(project, ctx.settings);
    const std::vector<IndexEntry>& entries = ctx.links ? ctx.links->entries() : made;
    const bool designs = std::any_of(entries.begin(), entries.end(), [](const IndexEntry& e) {
        return e.module < 0 && e.owner && e.owner->Design();
    });
    SiteIndexPages pages;
    pages.scripts.push_back(
        {"search-index.js", designs ? buildSearchIndexScript(withControlEntries(entries), ctx)
                                    : buildSearchIndexScript(entries, ctx)});
    if (ctx.modern()) {
        Pages nav = buildNavScripts(entries, ctx);
        std::move(nav.begin(), nav.end(), std::back_inserter(pages.scripts));
    }
    pages.bodies.push_back(buildSearchPage(ctx));
    pages.bodies.push_back(buildMemberIndexPage(entries, ctx));
    return pages;
}

}  // namespace tarnwick
