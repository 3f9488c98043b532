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

const std::vector<GroupCodeLink>* GroupSite::codeLinksOf(const std::string& modulePath) const {
    const auto found = codeLinks.find(modulePath);
    return found == codeLinks.end() ? nullptr : &found->second;
}

const std::vector<GroupCaller>* GroupSite::callersOf(const std::string& modulePath,
                                                     std::string_view member) const {
    const auto module = callers.find(modulePath);
    if (module == callers.end()) return nullptr;
    const auto found = module->second.find(toLower(member));
    return found == module->second.end() ? nullptr : &found->second;
}

namespace {

// Sorted, so that a key does not hang on the tables' order in memory.
uint64_t hashLines(std::vector<std::string> lines, uint64_t hash) {
    std::sort(lines.begin(), lines.end());
    for (const std::string& line : lines) hash = hashBytes(line + '\n', hash);
    return hash | 1;
}

}  // namespace

uint64_t GroupSite::sharedKey() const {
    std::vector<std::string> lines;
    for (const Project& p : projects) lines.push_back("p" + p.name + '\t' + p.folder);
    lines.push_back("c" + std::to_string(current) + '\t' + toRoot);
    for (const auto& [name, page] : classPages) lines.push_back("t" + name + '\t' + page);
    return hashLines(std::move(lines), hashBytes(name));
}

uint64_t GroupSite::moduleKey(const std::string& modulePath, std::string_view moduleName) const {
    // Hashed as the tables hold them, a row at a time, without a text per
    // row kept: a group's modules have thousands of calls. Only the members
    // of a module's callers are in no fixed order: they are taken by name.
    uint64_t key = 0;
    bool any = false;
    std::string row;
    const auto add = [&](std::string_view text) {
        row += text;
        row += '\t';
    };
    const auto addNumber = [&](int32_t n) {
        char digits[12];
        const char* end = std::to_chars(digits, std::end(digits), n).ptr;
        add(std::string_view(digits, static_cast<size_t>(end - digits)));
    };
    const auto endRow = [&] {
        key = hashBytes(row, key);
        row.clear();
        any = true;
    };
    // Each row opens with its table's letter, so rows of two tables never read alike.
    if (const auto* list = usersOf(moduleName))
        for (const GroupUser* u : *list) {
            add("u");
            add(u->project);
            add(u->module);
            add(u->page);
            endRow();
        }
    if (const auto* links = codeLinksOf(modulePath))
        for (const GroupCodeLink& l : *links) {
            add("l");
            addNumber(l.line);
            addNumber(l.column);
            addNumber(l.length);
            add(*l.page);
            endRow();
        }
    if (const auto module = callers.find(modulePath); module != callers.end()) {
        using Member = std::pair<const std::string, std::vector<GroupCaller>>;
        std::vector<const Member*> members;
        members.reserve(module->second.size());
        for (const Member& entry : module->second) members.push_back(&entry);
        std::sort(members.begin(), members.end(),
                  [](const Member* a, const Member* b) { return a->first < b->first; });
        for (const Member* member : members) {
            add("k");
            add(member->first);
            endRow();
            for (const GroupCaller& c : member->second) {
                const GroupRoutine& r = c.routine();
                add(r.project);
                add(r.name);
                add(r.page);
                add(r.codePage);
                c.forEachLine(addNumber);
                endRow();
            }
        }
    }
    return any ? key | 1 : 0;
}

uint64_t GroupSite::key() const {
    // The classes by name, each one's users in the order the group's scan
    // found them (the same for the same files): a library's classes have
    // thousands of users, each a row of the key.
    std::vector<const std::string*> names;
    names.reserve(users.size());
    for (const auto& entry : users) names.push_back(&entry.first);
    std::sort(names.begin(), names.end(),
              [](const std::string* a, const std::string* b) { return *a < *b; });
    uint64_t hash = sharedKey();
    std::string row;
    for (const std::string* name : names)
        for (const GroupUser* u : users.at(*name)) {
            row.assign("u").append(*name).append("\t").append(u->project);
            row.append("\t").append(u->module).append("\t").append(u->page);
            hash = hashBytes(row += '\n', hash);
        }
    return hash | 1;
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

Html groupUsersLine(std::string_view className, const PageContext& ctx) {
    const std::vector<const GroupUser*>* users =
        ctx.group ? ctx.group->usersOf(className) : nullptr;
    if (!users || users->empty()) return {};
    const CHelper helper(ctx.translation, ctx.language);
    // Into one buffer: a library's class has a user in every module of its users.
    HtmlBuffer text;
    text.Append("<P class=\"moduleReferences\"><B>");
    text.Append(trText(helper, "UsedByProjects", "Used by other projects"));
    text.Append(":</B> ");
    for (size_t i = 0; i < users->size(); ++i) {
        const GroupUser& u = *(*users)[i];
        if (i > 0) text.Append(", ");
        text.Append(escaped(u.project));
        text.Append(": ");
        text.Append(CrossLinks::link(u.page, u.module));
    }
    text.Append("</P>\r\n");
    return text.take();
}

}  // namespace tarnwick
