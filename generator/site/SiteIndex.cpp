#include "generator/site/SiteIndex.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <unordered_set>

#include "generator/site/AuthorHtml.h"
#include "generator/site/CrossLinks.h"
#include "generator/site/Listing.h"
#include "model/CHelper.h"
#include "support/Escape.h"
#include "support/SortedRuns.h"
#include "support/Text.h"

namespace tarnwick {

bool memberListed(const Element& member, const GenerationSettings& settings) {
    // The table's kind is switched on already: the scope decides.
    return scopeListed(member, settings);
}

void forEachListedRow(const CModule& module, const GenerationSettings& settings,
                      const std::function<void(const std::vector<const Element*>&)>& take) {
    for (const auto& table : summaryTables(module, settings)) {
        if (!table.enabled) continue;
        for (const auto& row : tableRows(*table.list, settings))
            if (std::any_of(row.begin(), row.end(),
                            [&](const Element* e) { return memberListed(*e, settings); }))
                take(row);
    }
}

namespace {

// Appends module's entry and those of its listed members to entries.
void appendModuleEntries(std::vector<IndexEntry>& entries, const CModule& module,
                         const GenerationSettings& settings, const PageNames* names, bool texts) {
    const CHelper helper;
    const int position = static_cast<int>(entries.size());
    entries.push_back({module.Name(), helper.getModuleType(module), -1,
                       modulePagePath(module, ".html", names), "", "", &module});
    if (texts) {
        entries.back().summary = plainSummary(
            module.Sections().summary.empty() ? module.Description() : module.Sections().summary);
        entries.back().words =
            descriptionWords({module.Description(), module.Sections().remarks},
                             toLower(entries.back().name + " " + entries.back().summary));
    }
    const std::string folder = helper.getModulesType(module) + "/";
    forEachListedRow(module, settings, [&](const std::vector<const Element*>& row) {
        const Element& member = *row.front();
        entries.push_back({member.Name(), helper.getItemName(member), position,
                           folder + PageNames::memberStem(names, module, member) + ".html", "", "",
                           &module, &member});
        if (!texts) return;
        entries.back().summary = plainSummary(rowSummary(module, row));
        std::vector<std::string_view> descriptions;
        for (const Element* e : row) {
            descriptions.push_back(e->Description());
            descriptions.push_back(e->Sections().remarks);
        }
        entries.back().words = descriptionWords(
            descriptions, toLower(entries.back().name + " " + entries.back().summary));
    });
}

}  // namespace

std::vector<IndexEntry> siteIndexEntries(const CProject& project,
                                         const GenerationSettings& settings, const PageNames* names,
                                         bool texts) {
    const CHelper helper;
    std::vector<IndexEntry> entries;
    for (const ModuleKind kind : kDocumentedModuleKinds) {
        if (!kindSwitchedOn(kind, settings)) continue;
        for (const auto& module : project.listOfKind(kind)->elements()) {
            if (!module || helper.getModulesType(*module).empty()) continue;
            appendModuleEntries(entries, *module, settings, names, texts);
        }
    }
    return entries;
}

void addIndexTexts(std::span<IndexEntry> entries, const CModule& module,
                   const GenerationSettings& settings) {
    std::vector<IndexEntry> made;
    made.reserve(entries.size());
    appendModuleEntries(made, module, settings, nullptr, true);
    if (made.size() != entries.size()) return;  // not the entries of module
    for (size_t i = 0; i < made.size(); ++i) {
        entries[i].summary = std::move(made[i].summary);
        entries[i].words = std::move(made[i].words);
    }
}

namespace {

// A description as plain text: markup removed, character references decoded.
std::string plainText(std::string_view description) {
    // Through the sanitizer first: what it keeps as markup is a tag, what
    // it escapes is text ("a <fault> element") and stays text here.
    const std::string html = sanitizeAuthorHtml(description);
    std::string text;
    text.reserve(html.size());
    bool inTag = false;
    for (char c : html) {
        if (inTag) {
            if (c == '>') {
                inTag = false;
                text += ' ';
            }
            continue;
        }
        if (c == '<') {
            inTag = true;
            continue;
        }
        text += c;
    }
    // A no-break space separates words like any blank.
    return replaceAll(decodeCharacterReferences(text), "\xC2\xA0", " ");
}

bool isWordByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || u >= 0x80;
}

}  // namespace

std::string descriptionWords(const std::vector<std::string_view>& descriptions,
                             std::string_view known) {
    std::string out;
    std::unordered_set<std::string> seen;
    // A word stands in a text when it is one of the text's words.
    const auto holds = [](std::string_view text, std::string_view word) {
        for (size_t at = text.find(word); at != std::string_view::npos;
             at = text.find(word, at + 1)) {
            const size_t end = at + word.size();
            if ((at == 0 || !isWordByte(text[at - 1])) &&
                (end == text.size() || !isWordByte(text[end])))
                return true;
        }
        return false;
    };
    for (const std::string_view description : descriptions) {
        const std::string text = toLower(plainText(description));
        for (size_t i = 0; i < text.size();) {
            if (!isWordByte(text[i])) {
                ++i;
                continue;
            }
            size_t end = i;
            while (end < text.size() && isWordByte(text[end])) ++end;
            const std::string_view word = std::string_view(text).substr(i, end - i);
            i = end;
            if (word.size() < 2 || holds(known, word) || !seen.emplace(word).second) continue;
            if (!out.empty()) out += ' ';
            out += word;
        }
    }
    return out;
}

std::string plainSummary(std::string_view description, size_t maxBytes) {
    // The sentence the summary tables show, so a search result reads as its row.
    const std::string text = plainText(firstSentence(description));
    std::string out;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (!out.empty() && out.back() != ' ') out += ' ';
            continue;
        }
        out += c;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    if (out.size() > maxBytes) {
        size_t cut = maxBytes;
        // Back to a character boundary, then to a word boundary when near.
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
        const size_t blank = out.rfind(' ', cut);
        if (blank != std::string::npos && blank > maxBytes * 2 / 3) cut = blank;
        out.resize(cut);
        while (!out.empty() && out.back() == ' ') out.pop_back();
        out += "...";
    }
    return out;
}

Script buildSearchIndexScript(const std::vector<IndexEntry>& entries, const PageContext& ctx,
                              std::span<const std::string_view> texts) {
    const CHelper helper(ctx.translation, ctx.language);
    // Kinds by number, so a row names its kind in a digit or two.
    std::vector<std::string> kinds;
    std::map<std::string, size_t> kindNumber;
    std::vector<size_t> kindOf;  // each entry's
    kindOf.reserve(entries.size());
    for (const IndexEntry& entry : entries) {
        const auto [known, added] = kindNumber.emplace(entry.kind, kinds.size());
        if (added) kinds.push_back(entry.kind);
        kindOf.push_back(known->second);
    }
    // Rows by name, letter case ignored: the script finds its matches in
    // row order and so lists them by name without sorting.
    std::vector<size_t> order(entries.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    stableSortRuns(order.begin(), order.end(), [&](size_t a, size_t b) {
        return compareIgnoreCase(entries[a].name, entries[b].name) < 0;
    });
    std::vector<long> rowOf(entries.size());
    for (size_t row = 0; row < order.size(); ++row) rowOf[order[row]] = static_cast<long>(row);

    Script script =
        "// Generated by Tarnwick: the search index of this site.\r\n"
        "// Rows by name: [name, kind, module row or -1, page, summary(, other "
        "words)].\r\n"
        "var tarnwickIndex = {kinds: [";
    for (size_t i = 0; i < kinds.size(); ++i) {
        if (i > 0) script += ",";
        script += jsString(helper.Translate(kinds[i], kinds[i]));
    }
    script += "],\r\nrows: [\r\n";
    // Appended piece by piece: a large project's index has a hundred thousand rows.
    for (size_t row = 0; row < order.size(); ++row) {
        const IndexEntry& e = entries[order[row]];
        script += "[";
        appendJsString(script, e.name);
        script += ",";
        appendJsNumber(script, static_cast<long long>(kindOf[order[row]]));
        script += ",";
        appendJsNumber(script, e.module < 0 ? -1 : rowOf[static_cast<size_t>(e.module)]);
        script += ",";
        appendJsString(script, e.path);
        if (order[row] >= texts.size() || !appendJsLiterals(script, texts[order[row]])) {
            script += ",";
            appendJsString(script, e.summary);
            if (!e.words.empty()) {
                script += ",";
                appendJsString(script, e.words);
            }
        }
        script += row + 1 < order.size() ? Script("],\r\n") : Script("]\r\n");
    }
    script += "]};\r\n";
    return script;
}

}  // namespace tarnwick
