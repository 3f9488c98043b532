#include "generator/site/GroupSite.h"

#include <algorithm>

#include "generator/site/CrossLinks.h"
#include "generator/site/PageContext.h"
#include "model/CHelper.h"
#include "support/Escape.h"
#include "support/Hash.h"
#include "support/Text.h"

namespace tarnwick {

std::string GroupSite::classPage(std::string_view dataType) const {
    const auto found = classPages.find(toLower(trimSpaces(dataType)));
    return found == classPages.end() ? std::string() : found->second;
}

const std::vector<GroupUser>* GroupSite::usersOf(std::string_view className) const {
    const auto found = users.find(toLower(className));
    return found == users.end() ? nullptr : &found->second;
}

uint64_t GroupSite::key() const {
    // Sorted, so that the key does not hang on the tables' order in memory.
    std::vector<std::string> lines;
    for (const Project& p : projects) lines.push_back("p" + p.name + '\t' + p.folder);
    lines.push_back("c" + std::to_string(current) + '\t' + toRoot);
    for (const auto& [name, page] : classPages) lines.push_back("t" + name + '\t' + page);
    for (const auto& [name, list] : users)
        for (const GroupUser& u : list)
            lines.push_back("u" + name + '\t' + u.project + '\t' + u.module + '\t' + u.page);
    std::sort(lines.begin(), lines.end());
    uint64_t hash = hashBytes(name);
    for (const std::string& line : lines) hash = hashBytes(line + '\n', hash);
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
    const std::vector<GroupUser>* users = ctx.group ? ctx.group->usersOf(className) : nullptr;
    if (!users || users->empty()) return {};
    const CHelper helper(ctx.translation, ctx.language);
    Html text = "<P class=\"moduleReferences\"><B>" +
                trText(helper, "UsedByProjects", "Used by other projects") + ":</B> ";
    for (size_t i = 0; i < users->size(); ++i) {
        const GroupUser& u = (*users)[i];
        if (i > 0) text += Html(", ");
        text += escaped(u.project) + Html(": ") + CrossLinks::link(u.page, u.module);
    }
    return text + Html("</P>\r\n");
}

}  // namespace tarnwick
