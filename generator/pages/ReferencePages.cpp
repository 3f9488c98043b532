#include "generator/pages/ReferencePages.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <map>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "generator/pages/FormSections.h"
#include "generator/pages/modHtmlDetail.h"
#include "generator/site/CrossLinks.h"
#include "generator/site/GroupSite.h"
#include "generator/site/SiteTables.h"
#include "reader/GroupUses.h"
#include "support/Hash.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

// The uses of member by caller: one entry per calling routine (or per
// module for code outside every routine) with its lines, callers in the
// index's order (modules sorted, then by first line), each line once.
struct Caller {
    const CModule* module = nullptr;
    const Element* from = nullptr;
    std::vector<int32_t> lines;
};
std::vector<Caller> callersOf(const CModule& module, const Element& member,
                              const ReferenceIndex& index) {
    std::vector<const Reference*> uses = index.to(module, member.Name());
    std::sort(uses.begin(), uses.end());
    std::vector<Caller> callers;
    std::map<std::pair<const CModule*, const Element*>, size_t> known;
    for (const Reference* r : uses) {
        const auto [at, added] = known.try_emplace({r->fromModule, r->from}, callers.size());
        if (added) callers.push_back({r->fromModule, r->from, {}});
        std::vector<int32_t>& lines = callers[at->second].lines;
        if (lines.empty() || lines.back() != r->line) lines.push_back(r->line);
    }
    return callers;
}

// The module's code page when the run writes code pages.
std::string codePageOf(const CModule& module, const PageContext& ctx) {
    return ctx.settings.Source ? ctx.links->codePage(module) : std::string();
}

// The rows and lists of references write into the page's markup directly:
// a page of a member a thousand routines call holds a thousand rows, so no
// piece of a row is built apart. Only escaped text, addresses url() made
// (CrossLinks::href) and our own literals go in.
void appendText(std::string& out, std::string_view text) {
    // A name holds nothing to escape but in odd projects: copied whole.
    if (text.find_first_of("&<>") == std::string_view::npos) {
        out += text;
        return;
    }
    out += escaped(text).str();
}

// "Module.Member" (or "Module"), linked to href when it is not empty.
void appendNameLink(std::string& out, const std::string& href, const CModule& module,
                    const Element* member) {
    if (!href.empty()) {
        out += "<A href=\"";
        out += href;
        out += "\">";
    }
    appendText(out, module.Name());
    if (member) {
        out += '.';
        appendText(out, member->Name());
    }
    if (!href.empty()) out += "</A>";
}

// One row: the caller linked to its page (code outside every routine to
// its module's page), then each line linked to its line of the code page.
void appendCallerRow(std::string& out, const Caller& c, const PageContext& ctx) {
    static const std::string none;
    const CrossLinks& links = *ctx.links;
    const IndexEntry* page =
        c.from ? links.memberEntry(*c.module, *c.from) : links.moduleEntry(*c.module);
    const IndexEntry* module = links.moduleEntry(*c.module);
    // A caller the site leaves out (a private routine of a public site) is
    // named, but its lines are not linked from here.
    const std::string& code =
        (c.from && !page) || !module || !ctx.settings.Source ? none : links.codeLineHref(*module);
    out += "<TR class=\"Summary\"><TD class=\"Summary\">";
    appendNameLink(out, page ? links.href(*page) : none, *c.module, c.from);
    out += "</TD><TD>";
    for (size_t i = 0; i < c.lines.size(); ++i) {
        // The modern listing numbers and addresses its lines as the file does.
        const int number = ctx.modern() ? c.module->fileLineOf(c.lines[i]) : c.lines[i];
        char digits[12];
        const char* end = std::to_chars(digits, std::end(digits), number).ptr;
        const std::string_view line(digits, static_cast<size_t>(end - digits));
        if (i > 0) out += ", ";
        if (code.empty()) {
            out += line;
            continue;
        }
        out += "<A href=\"";
        out += code;
        out += line;
        out += "\">";
        out += line;
        out += "</A>";
    }
    out += "</TD></TR>\r\n";
}

// A row of a routine of another project of the group: its project's name,
// then the routine and its lines linked into that project's folder. Into
// the section's buffer: a library's pages hold thousands of these rows.
void appendGroupCallerRow(HtmlBuffer& out, const GroupCaller& c) {
    const GroupRoutine& r = c.routine();
    out.Append("<TR class=\"Summary\"><TD class=\"Summary\">");
    out.Append(escaped(r.project));
    out.Append(": ");
    out.Append(CrossLinks::link(r.page, r.name));
    out.Append("</TD><TD>");
    // Each line links into the routine's code page, at the address encoded
    // once for all the routines of its module.
    std::string& markup = out.markup();
    const bool linked = r.code && !r.code->href.empty();
    bool first = true;
    c.forEachLine([&](int32_t number) {
        char digits[12];
        const char* end = std::to_chars(digits, std::end(digits), number).ptr;
        const std::string_view line(digits, static_cast<size_t>(end - digits));
        if (!first) markup += ", ";
        first = false;
        if (linked) {
            markup += "<A href=\"";
            markup += r.code->href;
            markup += "#L";
            markup += line;
            markup += "\">";
            markup += line;
            markup += "</A>";
        } else if (!r.code) {
            markup += line;
        } else {
            out.Append(CrossLinks::link(r.code->page + "#L" + std::string(line), line));
        }
    });
    out.AppendLn("</TD></TR>");
}

// "Used by": every caller, one row each (the project's own, then those of
// other projects of the group); a long list folds behind its count.
void appendUsedBySection(HtmlBuffer& out, const std::vector<Caller>& callers,
                         std::span<const GroupCaller> others, const PageContext& ctx,
                         const ReferenceHeadings& headings) {
    const size_t total = callers.size() + others.size();
    if (total == 0) return;
    out.AppendLn(headings.usedBy);
    const bool folded = total > kCallersUnfolded;
    if (folded) {
        const std::string count = std::to_string(total);
        out.AppendLn("<DETAILS><SUMMARY>" + escaped(replaceAll(headings.callerCount, "%1", count)) +
                     "</SUMMARY>");
    }
    out.AppendLn(Html("<TABLE class=\"Summary\">"));
    out.AppendLn(headings.callerColumns);
    for (const Caller& c : callers) appendCallerRow(out.markup(), c, ctx);
    for (const GroupCaller& c : others) appendGroupCallerRow(out, c);
    out.AppendLn(Html("</TABLE>"));
    if (folded) out.AppendLn(Html("</DETAILS>"));
}

}  // namespace

ReferenceHeadings::ReferenceHeadings(const CHelper& helper)
    : usedBy("<H3>" + trText(helper, "UsedBy", "Used by") + "</H3>"),
      callerCount(helper.Translate("CallerCount", "%1 callers")),
      callerColumns("<TR class=\"Summary\"><TH class=\"Summary\">" +
                    trText(helper, "Caller", "Caller") + "</TH><TH class=\"Summary\">" +
                    trText(helper, "CallerLines", "Lines") + "</TH></TR>"),
      calls("<H3>" + trText(helper, "Calls", "Calls") + "</H3>") {}

Html referenceSections(const std::vector<const Element*>& members, const CModule& module,
                       const CProject& project, const PageContext& ctx, const CHelper& helper,
                       const ReferenceHeadings* headings) {
    if (!ctx.links || members.empty()) return {};
    std::optional<ReferenceHeadings> own;
    if (!headings) headings = &own.emplace(helper);
    const ReferenceIndex& index = project.crossReferences();
    HtmlBuffer out;
    const std::span<const GroupCaller> others =
        ctx.group ? ctx.group->callersOf(module.Path(), members.front()->Name())
                  : std::span<const GroupCaller>();
    appendUsedBySection(out, callersOf(module, *members.front(), index), others, ctx, *headings);
    // What the page's own code names and the site documents, each target
    // once, in order of first use.
    // (a property's accessors are one page, so one entry).
    std::vector<std::pair<const Reference*, const IndexEntry*>> calls;  // each page's first use
    std::unordered_set<const Element*> asked;
    std::unordered_set<std::string_view> listed;  // pages, held by the site's index
    for (const Element* m : members)
        for (const Reference* r : index.from(*m)) {
            if (!asked.insert(r->to).second) continue;
            const IndexEntry* page = ctx.links->memberEntry(*r->toModule, *r->to);
            if (page && listed.insert(page->path).second) calls.emplace_back(r, page);
        }
    if (!calls.empty()) {
        out.AppendLn(headings->calls);
        out.Append(Html("<P class=\"calls\">"));
        for (size_t i = 0; i < calls.size(); ++i) {
            if (i > 0) out.Append(Html(", "));
            const auto [r, page] = calls[i];
            appendNameLink(out.markup(), ctx.links->href(*page), *r->toModule, r->to);
        }
        out.AppendLn(Html("</P>"));
    }
    return out.take();
}

Html moduleReferenceSections(const CModule& module, const CProject& project, const PageContext& ctx,
                             const CHelper& helper) {
    if (!ctx.links) return {};
    const ReferenceIndex& index = project.crossReferences();
    std::vector<const CModule*> uses;
    for (const Reference& r : index.inModule(module))
        if (r.toModule != &module) uses.push_back(r.toModule);
    std::vector<const CModule*> usedBy;
    for (const Reference* r : index.intoModule(module))
        if (r->fromModule != &module) usedBy.push_back(r->fromModule);
    auto line = [&](std::vector<const CModule*> modules, const char* key, const char* fallback) {
        // Each module once before the sort by name: a module used a
        // thousand times is compared once.
        std::sort(modules.begin(), modules.end());
        modules.erase(std::unique(modules.begin(), modules.end()), modules.end());
        std::sort(modules.begin(), modules.end(), [](const CModule* a, const CModule* b) {
            const int c = compareIgnoreCase(a->Name(), b->Name());
            // Two modules of one name (a VB_Name written twice): by file,
            // so the order does not hang on where each was read into memory.
            return c != 0 ? c < 0 : a->Path() < b->Path();
        });
        if (modules.empty()) return Html();
        Html text = "<P class=\"moduleReferences\"><B>" + trText(helper, key, fallback) + ":</B> ";
        for (size_t i = 0; i < modules.size(); ++i) {
            if (i > 0) text = text + Html(", ");
            const auto page = ctx.links->modulePage(*modules[i]);
            text = text + CrossLinks::link(page, modules[i]->Name());
        }
        return text + Html("</P>\r\n");
    };
    return line(uses, "UsesModules", "Uses") + line(usedBy, "UsedByModules", "Used by") +
           groupUsersLine(module.Path(), module.Name(), ctx);
}

namespace {

// In a group: the classes of referenced projects that the code names after
// As, New or Implements, linked to their pages in the other project's folder.
// A class of the project's own hides one of the same name from elsewhere.
void addGroupCodeLinks(const CModule& module, const CProject& project, const PageContext& ctx,
                       CodeLinks& out) {
    if (!ctx.group || ctx.group->classPages.empty() || !ctx.settings.Classes) return;
    std::unordered_map<std::string, uint32_t> pageOf;
    // What each spelling links to, asked once: the module names the same few
    // classes on many lines. The project's own class of the name hides the
    // library's.
    constexpr uint32_t kNoLink = UINT32_MAX;
    std::unordered_map<std::string_view, uint32_t> linkOf;
    const std::string_view source = module.Source();
    size_t pos = 0;
    for (int32_t line = 1; pos < source.size(); ++line) {
        const std::string_view text = nextLine(source, pos);
        for (const std::string_view name : classNamesIn(text)) {
            const auto [link, asked] = linkOf.try_emplace(name, kNoLink);
            if (asked) {
                std::string page = ctx.group->classPage(name);
                const bool own =
                    !page.empty() && (ctx.classNames ? ctx.classNames->find(name) != nullptr
                                                     : project.Classes().byName(name) != nullptr);
                if (!page.empty() && !own) {
                    const auto [known, added] = pageOf.try_emplace(
                        std::move(page), static_cast<uint32_t>(out.hrefs.size()));
                    if (added) out.hrefs.push_back(url("../" + known->first, true).take());
                    link->second = known->second;
                }
            }
            if (link->second == kNoLink) continue;
            out.links.push_back({line, static_cast<int32_t>(name.data() - text.data()),
                                 static_cast<int32_t>(name.size()), link->second});
        }
    }
    // The members of those classes the code calls, bound by the group's resolver.
    // A member's calls share its page's text: each text is encoded once.
    if (const std::vector<GroupCodeLink>* calls = ctx.group->codeLinksOf(module.Path())) {
        std::unordered_map<const std::string*, uint32_t> hrefOf;
        for (const GroupCodeLink& call : *calls) {
            const auto [known, added] =
                hrefOf.try_emplace(call.page.get(), static_cast<uint32_t>(out.hrefs.size()));
            if (added) out.hrefs.push_back(url("../" + *call.page, true).take());
            out.links.push_back({call.line, call.column, call.length, known->second});
        }
    }
}

}  // namespace

CodeLinks codeLinks(const CModule& module, const CProject& project, const PageContext& ctx) {
    CodeLinks out;
    if (!ctx.links) return out;
    constexpr uint32_t kNoPage = UINT32_MAX;
    std::unordered_map<const Element*, uint32_t> pageOf;  // each member's page asked once
    for (const Reference& r : project.crossReferences().inModule(module)) {
        const auto [known, added] = pageOf.try_emplace(r.to, kNoPage);
        if (added) {
            if (const IndexEntry* page = ctx.links->memberEntry(*r.toModule, *r.to)) {
                known->second = static_cast<uint32_t>(out.hrefs.size());
                out.hrefs.push_back(ctx.links->href(*page));
            }
        }
        if (known->second != kNoPage)
            out.links.push_back({r.line, r.column, r.length, known->second});
    }
    addGroupCodeLinks(module, project, ctx, out);
    const auto byLine = [](const LineLink& a, const LineLink& b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    };
    if (!std::is_sorted(out.links.begin(), out.links.end(), byLine))
        std::stable_sort(out.links.begin(), out.links.end(), byLine);
    return out;
}

namespace {

// What a reference shows of its two sides, as hashes: the names and pages
// of the routine (or module) it is in, and of the member it names. Each
// side is hashed once per routine or member, not once per reference.
class SideKeys {
public:
    explicit SideKeys(const PageContext& ctx) : m_ctx(ctx) {}

    uint64_t from(const CModule& module, const Element* routine) {
        if (m_lastFrom.first && m_lastFrom.first == &module && m_lastFrom.second == routine)
            return m_lastFromKey;
        const auto [known, added] = m_from.try_emplace({&module, routine});
        if (added) {
            uint64_t key = hashBytes(module.Name());
            key = hashBytes(routine ? routine->Name() : std::string_view("\n"), key);
            key = hashBytes(page(module, routine), key);
            key = hashBytes(page(module, nullptr), key);
            known->second =
                hashBytes(m_ctx.links ? m_ctx.links->modulePage(module) : std::string(), key);
        }
        m_lastFrom = {&module, routine};
        return m_lastFromKey = known->second;
    }

    uint64_t to(const CModule& module, const Element& member) {
        const auto [known, added] = m_to.try_emplace(&member);
        if (added) {
            uint64_t key = hashBytes(module.Name());
            key = hashBytes(member.Name(), key);
            known->second = hashBytes(page(module, &member), key);
        }
        return known->second;
    }

private:
    // The page of member, or of module's code page when member is null.
    std::string page(const CModule& module, const Element* member) const {
        if (!m_ctx.links) return {};
        return member ? m_ctx.links->memberPage(module, *member) : codePageOf(module, m_ctx);
    }

    const PageContext& m_ctx;
    std::map<std::pair<const CModule*, const Element*>, uint64_t> m_from;
    std::unordered_map<const Element*, uint64_t> m_to;
    std::pair<const CModule*, const Element*> m_lastFrom{nullptr, nullptr};
    uint64_t m_lastFromKey = 0;
};

}  // namespace

uint64_t referencesKey(const CModule& module, const CProject& project, const PageContext& ctx) {
    const ReferenceIndex& index = project.crossReferences();
    SideKeys sides(ctx);
    uint64_t key = 0;
    auto add = [&](const Reference& r) {
        // The modern pages show the file's line, the framed ones the listing's.
        const uint64_t place[4] = {
            static_cast<uint32_t>(r.line) |
                uint64_t{static_cast<uint32_t>(r.fromModule->fileLineOf(r.line))} << 32,
            static_cast<uint32_t>(r.column), sides.from(*r.fromModule, r.from),
            sides.to(*r.toModule, *r.to)};
        key = hashBytes(std::string_view(reinterpret_cast<const char*>(place), sizeof place), key);
    };
    for (const Reference& r : index.inModule(module)) add(r);
    // Into the module: every use of its members (and so the modules using it).
    for (const Reference* r : index.intoModule(module))
        if (r->fromModule != &module) add(*r);
    // Into its design: the routines of other modules naming its controls.
    return key ^ designUsesKey(module, project);
}

}  // namespace tarnwick
