#include "generator/pages/GroupPages.h"

#include "generator/pages/SearchPages.h"
#include "generator/pages/modHtmlDetail.h"
#include "generator/site/GroupSite.h"
#include "generator/site/NavIndex.h"
#include "model/CHelper.h"
#include "support/Escape.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

// One JavaScript string literal at text[pos] (pos on its '"'), decoded;
// pos moves past it. false when it is not one.
bool readJsString(std::string_view text, size_t& pos, std::string& out) {
    if (pos >= text.size() || text[pos] != '"') return false;
    out.clear();
    // Four hex digits at text[at]; false when they are not (a damaged file).
    const auto unitAt = [&](size_t at, char32_t& unit) {
        if (at + 4 > text.size()) return false;
        unit = 0;
        for (size_t i = at; i < at + 4; ++i) {
            const char c = text[i];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) return false;
            unit = unit * 16 + static_cast<char32_t>(digit);
        }
        return true;
    };
    for (++pos; pos < text.size(); ++pos) {
        // Plain text up to the next quote or escape, copied whole.
        size_t stop = pos;
        while (stop < text.size() && text[stop] != '"' && text[stop] != '\\') ++stop;
        if (stop == text.size()) return false;
        out.append(text.data() + pos, stop - pos);
        pos = stop;
        if (text[pos] == '"') {
            ++pos;
            return true;
        }
        if (++pos >= text.size()) return false;
        const char c = text[pos];
        if (c == 'u') {
            char32_t unit = 0;
            if (!unitAt(pos + 1, unit)) return false;
            pos += 4;
            char32_t low = 0;
            if (unit >= 0xD800 && unit < 0xDC00 && pos + 2 < text.size() && text[pos + 1] == '\\' &&
                text[pos + 2] == 'u' && unitAt(pos + 3, low) && low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                pos += 6;
            }
            appendUtf8(out, unit);
        } else {
            out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
        }
    }
    return false;
}

// The values of one row "[...]": strings decoded, numbers as written; at
// most limit of them. rest (may be null) gets where the values left unread
// begin (on their ','), or the row's end.
std::vector<std::string> rowValues(std::string_view line, size_t limit = SIZE_MAX,
                                   size_t* rest = nullptr) {
    std::vector<std::string> values;
    size_t pos = line.find('[');
    if (pos == std::string_view::npos) return values;
    ++pos;
    while (pos < line.size() && line[pos] != ']' && values.size() < limit) {
        std::string value;
        if (line[pos] == '"') {
            if (!readJsString(line, pos, value)) return {};
        } else {
            while (pos < line.size() && line[pos] != ',' && line[pos] != ']') value += line[pos++];
        }
        values.push_back(std::move(value));
        if (pos < line.size() && line[pos] == ',' && values.size() < limit) ++pos;
    }
    if (rest) *rest = pos;
    return values;
}

// A row's summary and words as its script wrote them (",\"...\"(,\"...\")"),
// from at to the row's end; empty when they are not literals as jsString
// writes them (a damaged file), which are then decoded.
std::string_view scriptTexts(std::string_view line, size_t at) {
    const size_t end = line.rfind(']');
    if (end == std::string_view::npos || end <= at) return {};
    const std::string_view texts = line.substr(at, end - at);
    return isJsLiterals(texts) ? texts : std::string_view();
}

Html cell(const Html& content) { return "<TD>" + content + "</TD>"; }

}  // namespace

PageBody buildGroupStartPage(const ProjectGroup& group, const PageContext& ctx) {
    const CHelper helper(ctx.translation, ctx.language);
    // User documents and designers are rare: their columns only where a project has some.
    bool rareKinds = false;
    for (const GroupProject& p : group.projects) rareKinds |= p.userDocuments + p.designers > 0;
    HtmlBuffer page;
    page.AppendLn("<H1>" + escaped(group.name) + "</H1>");
    page.AppendLn("<TABLE cellspacing=\"0\" class=\"summary\">");
    page.AppendLn(
        "<TR><TH>" + trText(helper, "Project") + "</TH><TH>" + trText(helper, "Type", "Type") +
        "</TH><TH>" + trText(helper, "ProjectTitle", "Title") + "</TH><TH>" +
        trText(helper, "Version", "Version") + "</TH><TH>" + trText(helper, "Description") +
        "</TH><TH>" + trText(helper, "Classes", "Classes") + "</TH><TH>" +
        trText(helper, "Modules", "Modules") + "</TH><TH>" + trText(helper, "Forms", "Forms") +
        "</TH><TH>" + trText(helper, "UserControls", "UserControls") + "</TH><TH>" +
        trText(helper, "PropertyPages", "PropertyPages") + "</TH>" +
        (rareKinds ? "<TH>" + trText(helper, "UserDocuments", "UserDocuments") + "</TH><TH>" +
                         trText(helper, "Designers", "Designers") + "</TH>"
                   : Html()) +
        "</TR>");
    for (const GroupProject& p : group.projects) {
        page.AppendLn(
            "<TR>" +
            cell("<A href=\"" + url(p.folder + "/index.html") + "\">" + escaped(p.name) + "</A>") +
            cell(escaped(projectTypeWords(p.type))) + cell(escaped(p.title)) +
            cell(escaped(p.version)) + cell(escaped(p.description)) + cell(number(p.classes)) +
            cell(number(p.modules)) + cell(number(p.forms)) + cell(number(p.userControls)) +
            cell(number(p.propertyPages)) +
            (rareKinds ? cell(number(p.userDocuments)) + cell(number(p.designers)) : Html()) +
            "</TR>");
    }
    page.AppendLn("</TABLE>");
    return modHtml::detail::rootPage("index.html", group.name, page);
}

// "module-summary.html", which every page of the modern layout links: the
// projects, each leading to its own list of files.
PageBody buildGroupFileList(const ProjectGroup& group, const PageContext& ctx) {
    const CHelper helper(ctx.translation, ctx.language);
    HtmlBuffer page;
    page.AppendLn("<H3>" + trText(helper, "Projects", "Projects") + "</H3>");
    page.AppendLn("<P>");
    for (const GroupProject& p : group.projects)
        page.AppendLn("<A href=\"" + url(p.folder + "/module-summary.html") + "\">" +
                      escaped(p.name) + "</A><BR>");
    page.AppendLn("</P>");
    return modHtml::detail::rootPage("module-summary.html",
                                     helper.Translate("AllFiles", "All Files"), page);
}

bool readSearchIndex(std::string_view script, const std::string& folder,
                     std::vector<IndexEntry>& entries, std::vector<std::string_view>& texts) {
    const size_t kindsAt = script.find("kinds: [");
    const size_t rowsAt = script.find("\nrows: [");
    if (kindsAt == std::string_view::npos || rowsAt == std::string_view::npos) return false;
    const std::vector<std::string> kinds =
        rowValues(script.substr(kindsAt + 7, rowsAt - kindsAt - 7));
    const long first = static_cast<long>(entries.size());
    size_t pos = rowsAt + 8;
    while (pos < script.size()) {
        const std::string_view line = nextLine(script, pos, LineEnd::Lf);
        if (!line.starts_with('[')) continue;
        // Most rows' texts are copied as written: decoding and encoding them
        // again was a third of the group's index pages.
        size_t rest = 0;
        std::vector<std::string> v = rowValues(line, 4, &rest);
        std::string_view copied = scriptTexts(line, rest);
        if (copied.empty()) v = rowValues(line);
        if (v.size() < (copied.empty() ? 5 : 4)) continue;
        IndexEntry e;
        e.name = std::move(v[0]);
        const size_t kind = static_cast<size_t>(std::atol(v[1].c_str()));
        e.kind = kind < kinds.size() ? kinds[kind] : std::string();
        const long module = std::atol(v[2].c_str());
        e.module = module < 0 ? -1 : static_cast<int>(first + module);
        e.path = folder + "/" + v[3];
        if (copied.empty()) {
            e.summary = std::move(v[4]);
            if (v.size() > 5) e.words = std::move(v[5]);
        }
        entries.push_back(std::move(e));
        texts.push_back(copied);
    }
    return true;
}

void buildGroupIndexPages(const ProjectGroup& group, std::vector<IndexEntry> entries,
                          std::span<const std::string_view> texts, const PageContext& ctx,
                          const std::function<void(Page)>& writeScript,
                          const std::function<void(PageBody)>& writeBody) {
    Script script = buildSearchIndexScript(entries, ctx, texts);
    // The projects by folder: a result names the project its page lies in.
    script += "tarnwickIndex.projects = {";
    for (size_t i = 0; i < group.projects.size(); ++i) {
        if (i > 0) script += ",";
        script += jsString(group.projects[i].folder) + ":" + jsString(group.projects[i].name);
    }
    script += "};\r\n";
    writeScript({"search-index.js", std::move(script)});
    // The A-Z index shows no descriptions.
    for (IndexEntry& e : entries) {
        e.summary.clear();
        e.summary.shrink_to_fit();
        e.words.clear();
        e.words.shrink_to_fit();
    }
    Pages nav = buildNavScripts({}, ctx);
    writeScript(std::move(nav.front()));
    writeBody(buildSearchPage(ctx));
    writeBody(buildGroupFileList(group, ctx));
    // In the A-Z index a module is named with its project, as VB6 writes it.
    for (IndexEntry& e : entries) {
        if (e.module >= 0) continue;
        const std::string folder = e.path.substr(0, e.path.find('/'));
        for (const GroupProject& p : group.projects)
            if (p.folder == folder) e.name = p.name + "." + e.name;
    }
    writeBody(buildMemberIndexPage(entries, ctx));
}

}  // namespace tarnwick
