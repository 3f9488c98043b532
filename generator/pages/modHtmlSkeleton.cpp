// The shared page pieces: the bodies of root and module pages, the module
// header block, the member icon header and the file names of pages.
#include <cctype>
#include <string>
#include <vector>

#include "generator/pages/modHtml.h"
#include "generator/pages/modHtmlDetail.h"
#include "generator/site/PageNames.h"
#include "model/CHelper.h"
#include "support/Html.h"
#include "support/Text.h"

namespace tarnwick::modHtml {

namespace detail {

PageBody rootPage(std::string path, std::string title, HtmlBuffer& body) {
    PageBody page;
    page.path = std::move(path);
    page.title = std::move(title);
    page.body = body.take();
    return page;
}

PageBody modulePage(const CModule& module, const CProject& project, const PageContext& ctx,
                    std::string_view tab, std::string word, Html body) {
    PageBody page;
    page.path = modulePagePath(module, tab, ctx.pageNames);
    page.kind = PageKind::Module;
    page.title = std::move(word);
    page.module = &module;
    page.tab = tab;
    page.header = buildModuleHeader(project, module, ctx);
    page.body = std::move(body);
    return page;
}

Html sectionId(const PageContext& ctx, std::string_view id) {
    if (!ctx.modern()) return {};
    return " id=\"" + attribute(id) + "\"";
}

Html codeLineLink(const CModule& module, const Element& member, const PageContext& ctx) {
    // The modern listing numbers its lines as the module file does; the
    // link is there only when the listing shows the member's line.
    if (!ctx.modern() || !ctx.settings.Source || module.sourceLineOf(member.Line()) == 0) return {};
    const CHelper helper(ctx.translation, ctx.language);
    const std::string number = std::to_string(member.Line());
    return " <A class=\"codeLine\" href=\"" + url(moduleFileName(module, ctx) + "_Code.html") +
           "#L" + Html::trusted(number) + "\">" +
           escaped(replaceAll(helper.Translate("CodeLine", "line %1"), "%1", number)) + "</A>";
}

std::string moduleFileName(const CModule& module, const PageContext& ctx) {
    return ctx.moduleStem(module);
}

std::string memberFileName(const CModule& module, const ListItem& member, const PageContext& ctx) {
    return ctx.memberStem(module, member);
}

}  // namespace detail

Html buildModuleHeader(const CProject& /*project*/, const CModule& module, const PageContext& ctx) {
    const CHelper helper(ctx.translation, ctx.language);
    HtmlBuffer header;
    header.AppendLn("<TABLE class=\"header\" cellspacing=\"0\" cellpadding=\"2\">");
    header.AppendLn("<TBODY>");
    header.AppendLn("<TR>");
    header.AppendLn("<TD colspan=\"6\" class=\"header\">");
    header.AppendLn("<TABLE width=\"100%\">");
    header.AppendLn("   <TR>");
    header.AppendLn("      <TD valign=\"top\" class=\"headertitle\">");
    header.Append(escaped(module.Name()) + " (" + trText(helper, helper.getModuleType(module)) +
                  ")");
    header.AppendLn("      <BR>");
    header.AppendLn("      <DIV class=\"timestamp\"><b>" +
                    trText(helper, "DocumentationTimestamp", "Documentation timestamp:") +
                    "</b>&nbsp;" + escaped(ctx.nowText()) + "</DIV>");
    header.AppendLn("      <BR>");
    header.AppendLn("      <TABLE class=\"headerproperties\">");
    if (const auto& attributes = module.Attributes()) {
        for (const std::string& key : attributes->Keys(true, false)) {
            // Member attributes ("Member.VB_Description", "Item.VB_UserMemId",
            // ...) belong to the members, not to the module's header.
            if (key.find('.') != std::string::npos || endsWith(key, "VB_Description")) continue;
            // Keys and values come from the module file: a lookup that finds
            // no translation gives them back as they are, so they are text.
            header.AppendLn("   <tr>");
            header.AppendLn("      <td class=\"headerproperties\"><NOBR>" +
                            escaped(helper.Translate(key)) + "</NOBR></td>");
            header.AppendLn("      <td class=\"headerproperties\">" +
                            escaped(helper.Translate(attributes->item(key))) + "</td>");
            header.AppendLn("   </tr>");
        }
    }
    header.AppendLn("<TR>");
    header.AppendLn("</TR>");
    header.Append("</TABLE>");
    header.AppendLn("</TD>");
    header.AppendLn("<td valign=\"top\" width=\"40%\" align=\"right\">");
    header.AppendLn("</td>");
    header.AppendLn("</TR>");
    header.AppendLn("</TABLE>");
    header.AppendLn("</td>");
    header.AppendLn("</TR>");
    header.AppendLn("</TABLE>");
    return header.take();
}

Html buildIconHeader(std::string_view icon, const Html& line1, const Html& line2) {
    return "<TABLE class=\"header\"><TR><TD width=\"1px\"><IMG src=\"../src/images/" + url(icon) +
           "2.ico\" alt=\"\"></TD><TD><I>" + line1 + "</I><BR><B>" + line2 + "</B></TD></TR></TABLE>";
}

}  // namespace tarnwick::modHtml
