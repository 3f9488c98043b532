// The module overview page's body: the summary link list and one summary
// table per member kind.
#include <algorithm>
#include <memory>
#include <string>

#include "generator/pages/ChangesPage.h"
#include "generator/pages/FormSections.h"
#include "generator/pages/modHtml.h"
#include "generator/pages/modHtmlDetail.h"
#include "generator/site/AuthorHtml.h"
#include "generator/site/CrossLinks.h"
#include "generator/site/Listing.h"
#include "model/CArgument.h"
#include "model/CHelper.h"
#include "support/Html.h"
#include "support/Text.h"

namespace tarnwick::modHtml {

namespace {

// Functions and properties show their return type, variables and constants
// their declared type; the other kinds (and lists of no element kind) have
// no type column.
TypeColumn typeColumnOf(const IIterator& list) {
    const auto kind = list.elementKind();
    return kind ? kindTraits(*kind).typeColumn : TypeColumn::None;
}

// The link lines to the Controls and Menus sections of a module with a design.
void appendDesignLinks(HtmlBuffer& body, const CModule& module, const CHelper& helper) {
    if (!module.Design() || module.Design()->empty()) return;
    const DesignCounts counts = designCounts(*module.Design());
    for (const auto& [count, key] :
         {std::pair{counts.controls, "Control"}, std::pair{counts.menus, "Menu"}}) {
        if (count == 0) continue;
        const std::string word = std::string(key) + (count > 1 ? "s" : "");
        body.AppendLn("      <B>");
        body.Append("           <A href=\"#" + attribute(std::string(key) + "s") + "\" >");
        body.Append(number(count));
        body.AppendLn("&nbsp;");
        body.Append(trText(helper, word, word));
        body.AppendLn("          </A>");
        body.AppendLn("      </B>");
        body.AppendLn("   <BR>");
    }
}

void appendHeaderCell(HtmlBuffer& table, const Html& open, const Html& caption) {
    table.Append(open);
    table.Append("&nbsp;");
    table.Append(caption);
    table.Append("&nbsp;");
    table.Append("            </TH>");
}

}  // namespace

Html buildModuleBody(const CModule& module, const CProject& project, const PageContext& ctx) {
    const CHelper helper(ctx.translation, ctx.language);
    HtmlBuffer body;
    body.AppendLn("<P>");
    body.AppendLn("   <H3>");
    body.AppendLn("      " + trText(helper, "Summary", "Summary") + ":");
    body.AppendLn("   </H3>");
    // Indented lines of links, not list items: role none keeps the indent
    // and tells screen readers there is no list.
    body.AppendLn("   <UL role=\"none\">");
    // The link list names the kinds whose table is on this page: a link to
    // a table that is not there would lead nowhere.
    appendDesignLinks(body, module, helper);
    const auto tables = summaryTables(module, ctx.settings);
    for (const ElementKind kind : kTreeOrder) {
        const IIterator* list = module.listOf(kind);
        for (const SummaryTable& table : tables)
            if (table.list == list && table.enabled) body.AppendLn(buildSummaryLink(*list, ctx));
    }
    body.AppendLn("   </UL>");
    body.AppendLn("</P>");

    for (const SummaryTable& table : summaryTables(module, ctx.settings))
        if (table.enabled) body.AppendLn(buildSummaryTable(*table.list, module, project, ctx));
    return body.take();
}

Html buildSummaryLink(const IIterator& list, const PageContext& ctx) {
    const int count = static_cast<int>(tableRows(list, ctx.settings).size());
    if (count < 1) return {};
    const CHelper helper(ctx.translation, ctx.language);
    const std::string word = count > 1 ? helper.getItemTypes(list) : helper.getItemType(list);
    HtmlBuffer link;
    link.AppendLn("      <B>");
    link.Append("           <A href=\"#" + attribute(helper.getItemType(list)) + "_summary\" >");
    link.Append(number(count));
    link.AppendLn("&nbsp;");
    link.Append(trText(helper, word, word));
    link.AppendLn("          </A>");
    link.AppendLn("      </B>");
    link.AppendLn("   <BR>");
    return link.take();
}

namespace {

void appendSummaryRow(HtmlBuffer& table, const std::vector<const Element*>& row,
                      const CModule& module, const CProject& project, TypeColumn typeColumn,
                      const CHelper& helper, const std::string& plural, const PageContext& ctx) {
    const Element& member = *row.front();
    const std::string& name = member.Name();
    const std::string scopeName = CHelper::GetScope(member.scope());

    table.Append("<TR>");
    table.Append("<TD>");
    table.Append("&nbsp;");
    table.Append(escaped(detail::scopeText(row)));
    table.Append("&nbsp;");
    table.Append("</TD>");

    table.Append("<TD>");
    table.Append("<IMG src=\"../src/images/" + url(plural + "_" + scopeName) + ".ico\" title=\"" +
                 attribute(scopeName) + "\">");
    table.Append("&nbsp;");
    table.Append("<B>");
    table.Append("<A name=\"" + attribute(helper.getItemName(member) + "_" + name) + "\"></A>");
    table.Append("<A href=\"" + url(detail::memberFileName(module, member, ctx)) + ".html\">");
    table.Append(escaped(name));
    table.Append("</A>");
    table.Append("</B>");
    table.Append(changeMark(module, member, ctx));
    table.Append("&nbsp;");
    table.Append("</TD>");

    const std::string shortText = rowSummary(module, row);
    table.Append("<TD>");
    if (shortText.empty())
        table.Append(trText(helper, "NoDescAvailable", "No description available."));
    else
        table.Append(ctx.author(shortText));
    table.Append("&nbsp;");
    table.Append("</TD>");

    if (typeColumn != TypeColumn::None) {
        table.Append("<TD>");
        table.Append("&nbsp;");
        table.Append(
            dataTypeLink(helper, detail::rowDataType(row, typeColumn), module, project, "", ctx));
        table.Append("&nbsp;");
        table.Append("</TD>");
    }
    table.AppendLn("</TR>");
}

}  // namespace

Html buildSummaryTable(const IIterator& list, const CModule& module, const CProject& project,
                       const PageContext& ctx) {
    const auto rows = tableRows(list, ctx.settings);
    if (rows.empty()) return {};
    const CHelper helper(ctx.translation, ctx.language);
    const std::string singular = helper.getItemType(list);
    const std::string plural = helper.getItemTypes(list);
    const TypeColumn typeColumn = typeColumnOf(list);

    HtmlBuffer table;
    table.Append("<H3>");
    table.Append("<A name=\"" + attribute(singular) + "_summary\">");
    table.Append(trText(helper, singular + "Summary", singular + " Summary"));
    table.AppendLn("</H3>");
    table.AppendLn("   <P>");
    table.AppendLn("      <TABLE cellspacing=\"0\" class=\"summary\">");
    table.AppendLn("         <TR>");
    appendHeaderCell(table, "            <TH>", trText(helper, "Scope"));
    appendHeaderCell(table, "            <TH width=\"25%\">", trText(helper, "Name"));
    appendHeaderCell(table, "            <TH width=\"100%\">", trText(helper, "Description"));
    if (typeColumn != TypeColumn::None)
        appendHeaderCell(table, "            <TH width=\"1px\">", trText(helper, "Returns"));
    table.AppendLn("         </TR>");
    for (const auto& row : rows)
        appendSummaryRow(table, row, module, project, typeColumn, helper, plural, ctx);
    table.AppendLn("   </TABLE>");
    table.AppendLn("</P>");
    return table.take();
}

}  // namespace tarnwick::modHtml
