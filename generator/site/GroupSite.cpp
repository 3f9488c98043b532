#include "generator/site/GroupSite.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "generator/site/CrossLinks.h"
#include "generator/site/PageContext.h"
#include "model/CHelper.h"
#include "support/Escape.h"
#include "support/Hash.h"
#include "support/Text.h"

namespace tarnwick {

void GroupCaller::addLine(int32_t line) {
    if (!m_laterLines) {
        if (line == m_firstLine) return;
        m_laterLines = std::make_unique<std::vector<int32_t>>();
    } else if (m_laterLines->back() == line) {
        return;
    }
    m_laterLines->push_back(line);
}

std::string GroupSite::classPage(std::string_view dataType) const {
    const auto found = classPages.find(toLower(trimSpaces(dataType)));
    return found == classPages.end() ? std::string() : found->second;
}

const std::vector<const GroupUser*>* GroupSite::usersOf(std::string_view className) const {
    const auto found = users.find(toLower(className));
    return found == users.end() ? nullptr : &found->second;
}

std::vector<const GroupUser*> GroupSite::usersOf(const std::string& modulePath,
                                                 std::string_view moduleName) const {
    const std::vector<const GroupUser*>* naming = usersOf(moduleName);
    const auto module = callers.find(modulePath);
    if (module == callers.end()) return naming ? *naming : std::vector<const GroupUser*>();
    // The modules calling its members, each once (a module's rows of a member lie together).
    std::vector<const GroupUser*> calling;
    module->second.forEachMember([&](const std::string&, std::span<const GroupCaller> rows) {
        for (const GroupCaller& row : rows)
            if (const GroupUser* u = row.routine().module.get();
                u && (calling.empty() || calling.back() != u))
                calling.push_back(u);
    });
    std::sort(calling.begin(), calling.end());
    calling.erase(std::unique(calling.begin(), calling.end()), calling.end());
    // Those naming the class are listed as such.
    using Key = std::pair<std::string_view, std::string_view>;  // project, module
    std::vector<Key> named;
    if (naming)
        for (const GroupUser* u : *naming) named.emplace_back(u->project, u->module);
    std::sort(named.begin(), named.end());
    struct Listed {
        size_t project;  // its position in projects
        bool calling;    // only calls the members
        const GroupUser* user;
    };
    const auto position = [&](const GroupUser* u) {
        size_t i = 0;
        while (i < projects.size() && projects[i].name != u->project) ++i;
        return i;
    };
    std::vector<Listed> all;
    if (naming)
        for (const GroupUser* u : *naming) all.push_back({position(u), false, u});
    for (const GroupUser* u : calling)
        if (!std::binary_search(named.begin(), named.end(), Key(u->project, u->module)))
            all.push_back({position(u), true, u});
    // By project, as the group lists them; in each, those naming it in the
    // scan's order, then those calling its members by name.
    std::stable_sort(all.begin(), all.end(), [](const Listed& a, const Listed& b) {
        if (a.project != b.project) return a.project < b.project;
        if (a.calling != b.calling) return !a.calling;
        return a.calling && compareIgnoreCase(a.user->module, b.user->module) < 0;
    });
    std::vector<const GroupUser*> users;
    users.reserve(all.size());
    for (const Listed& l : all) users.push_back(l.user);
    return users;
}

std::string GroupSite::projectPage(std::string_view reference) const {
    const auto found = projectPages.find(toLower(reference));
    return found == projectPages.end() ? std::string() : found->second;
}

const std::vector<GroupCodeLink>* GroupSite::codeLinksOf(const std::string& modulePath) const {
    const auto found = codeLinks.find(modulePath);
    return found == codeLinks.end() ? nullptr : &found->second;
}

void ModuleCallers::add(std::vector<Call> calls) {
    if (calls.empty()) return;
    // The rows so far first: each member's keep their place before the new ones.
    std::vector<Call> all;
    all.reserve(m_rows.size() + calls.size());
    for (size_t i = 0; i < m_members.size(); ++i)
        for (uint32_t row = m_starts[i]; row < m_starts[i + 1]; ++row)
            all.push_back({m_members[i], std::move(m_rows[row])});
    std::move(calls.begin(), calls.end(), std::back_inserter(all));
    std::vector<Call>().swap(calls);
    std::stable_sort(all.begin(), all.end(),
                     [](const Call& a, const Call& b) { return a.member < b.member; });
    m_members.clear();
    m_starts.clear();
    m_rows.clear();
    m_rows.reserve(all.size());
    for (Call& call : all) {
        if (m_members.empty() || m_members.back() != call.member) {
            m_starts.push_back(static_cast<uint32_t>(m_rows.size()));
            m_members.push_back(std::move(call.member));
        } else if (m_rows.back().sameRoutine(call.caller)) {
            m_rows.back().addLines(call.caller);
            continue;
        }
        m_rows.push_back(std::move(call.caller));
    }
    m_starts.push_back(static_cast<uint32_t>(m_rows.size()));
    // Kept to the end of the library's run: no room beyond what it holds.
    m_members.shrink_to_fit();
    m_starts.shrink_to_fit();
    m_rows.shrink_to_fit();
}

std::span<const GroupCaller> ModuleCallers::of(std::string_view member) const {
    const auto found = std::lower_bound(m_members.begin(), m_members.end(), member);
    if (found == m_members.end() || *found != member) return {};
    const auto i = static_cast<size_t>(found - m_members.begin());
    return std::span<const GroupCaller>(m_rows).subspan(m_starts[i], m_starts[i + 1] - m_starts[i]);
}

std::span<const GroupCaller> GroupSite::callersOf(const std::string& modulePath,
                                                  std::string_view member) const {
    const auto module = callers.find(modulePath);
    if (module == callers.end()) return {};
    return module->second.of(toLower(member));
}

namespace {

// Sorted, so that a key does not hang on the tables' order in memory.
uint64_t hashLines(std::vector<std::string> lines, uint64_t hash) {
    std::sort(lines.begin(), lines.end());
    for (const std::string& line : lines) hash = hashBytes(line + '\n', hash);
    return hash | 1;
}

// A key over the rows of the group's tables, hashed a row at a time with
// no text per row kept: a group's modules have thousands of calls. A row
// is its fields, each ended by a tab; each table's rows open with its
// letter, so rows of two tables never read alike.
class RowHash {
public:
    explicit RowHash(uint64_t seed = 0) : m_hash(seed) {}
    void add(std::string_view field) {
        m_row += field;
        m_row += '\t';
    }
    void addNumber(int32_t n) {
        char digits[12];
        const char* end = std::to_chars(digits, std::end(digits), n).ptr;
        add(std::string_view(digits, static_cast<size_t>(end - digits)));
    }
    void endRow() {
        m_hash = hashBytes(m_row, m_hash);
        m_row.clear();
        m_any = true;
    }
    // The seed and the rows hashed so far.
    uint64_t hash() const { return m_hash; }
    // 0 when no row was hashed, else never 0.
    uint64_t key() const { return m_any ? m_hash | 1 : 0; }

private:
    uint64_t m_hash;
    bool m_any = false;
    std::string m_row;
};

// A map's entries by key: the tables are hash maps, in no fixed order.
template <class Map>
std::vector<const typename Map::value_type*> sortedByKey(const Map& map) {
    std::vector<const typename Map::value_type*> entries;
    entries.reserve(map.size());
    for (const auto& entry : map) entries.push_back(&entry);
    std::sort(entries.begin(), entries.end(),
              [](const auto* a, const auto* b) { return a->first < b->first; });
    return entries;
}

// The callers of a module's members, each member's after its name.
void addCallers(RowHash& rows, const ModuleCallers& byMember) {
    byMember.forEachMember([&](const std::string& member, std::span<const GroupCaller> callers) {
        rows.add("k");
        rows.add(member);
        rows.endRow();
        for (const GroupCaller& c : callers) {
            const GroupRoutine& r = c.routine();
            rows.add(r.project);
            rows.add(r.name);
            rows.add(r.page);
            rows.add(r.code ? std::string_view(r.code->page) : std::string_view());
            c.forEachLine([&](int32_t line) { rows.addNumber(line); });
            rows.endRow();
        }
    });
}

}  // namespace

uint64_t GroupSite::sharedKey() const {
    std::vector<std::string> lines;
    for (const Project& p : projects) lines.push_back("p" + p.name + '\t' + p.folder);
    lines.push_back("c" + std::to_string(current) + '\t' + toRoot);
    for (const auto& [name, page] : classPages) lines.push_back("t" + name + '\t' + page);
    for (const auto& [written, page] : projectPages) lines.push_back("r" + written + '\t' + page);
    return hashLines(std::move(lines), hashBytes(name));
}

uint64_t GroupSite::moduleKey(const std::string& modulePath, std::string_view moduleName) const {
    RowHash rows;
    // The modules only calling its members follow from its callers, hashed below.
    if (const auto* list = usersOf(moduleName))
        for (const GroupUser* u : *list) {
            rows.add("u");
            rows.add(u->project);
            rows.add(u->module);
            rows.add(u->page);
            rows.endRow();
        }
    if (const auto* links = codeLinksOf(modulePath))
        for (const GroupCodeLink& l : *links) {
            rows.add("l");
            rows.addNumber(l.line);
            rows.addNumber(l.column);
            rows.addNumber(l.length);
            rows.add(*l.page);
            rows.endRow();
        }
    if (const auto module = callers.find(modulePath); module != callers.end())
        addCallers(rows, module->second);
    return rows.key();
}

uint64_t GroupSite::key() const {
    // The classes by name, each one's users in the order the group's scan
    // found them (the same for the same files).
    RowHash rows(sharedKey());
    for (const auto* entry : sortedByKey(users))
        for (const GroupUser* u : entry->second) {
            rows.add("u");
            rows.add(entry->first);
            rows.add(u->project);
            rows.add(u->module);
            rows.add(u->page);
            rows.endRow();
        }
    return rows.hash() | 1;
}

Html groupProjectList(const PageContext& ctx) {
    if (!ctx.group) return {};
    const CHelper helper(ctx.translation, ctx.language);
    Html out = "<P class=\"groupProjects\"><B>" + trText(helper, "Projects", "Projects") +
               "</B><BR>\r\n<A href=\"" + url(ctx.group->toRoot + "index.html") +
               "\" target=\"_top\">" + escaped(ctx.group->name) + "</A><BR>\r\n";
    for (size_t i = 0; i < ctx.group->projects.size(); ++i) {
        const GroupSite::Project& p = ctx.group->projects[i];
        if (i == ctx.group->current)
            out += "<B>" + escaped(p.name) + "</B><BR>\r\n";
        else
            out += "<A href=\"" + url(ctx.group->toRoot + p.folder + "/index.html") +
                   "\" target=\"_top\">" + escaped(p.name) + "</A><BR>\r\n";
    }
    return out + Html("</P>\r\n");
}

Html groupUsersLine(const std::string& modulePath, std::string_view className,
                    const PageContext& ctx) {
    if (!ctx.group) return {};
    const std::vector<const GroupUser*> users = ctx.group->usersOf(modulePath, className);
    if (users.empty()) return {};
    const CHelper helper(ctx.translation, ctx.language);
    // Into one buffer: a library's class has a user in every module of its users.
    HtmlBuffer text;
    text.Append("<P class=\"moduleReferences\"><B>");
    text.Append(trText(helper, "UsedByProjects", "Used by other projects"));
    text.Append(":</B> ");
    for (size_t i = 0; i < users.size(); ++i) {
        const GroupUser& u = *users[i];
        if (i > 0) text.Append(", ");
        text.Append(escaped(u.project));
        text.Append(": ");
        text.Append(CrossLinks::link(u.page, u.module));
    }
    text.Append("</P>\r\n");
    return text.take();
}

}  // namespace tarnwick
