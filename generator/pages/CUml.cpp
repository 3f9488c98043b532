#include "generator/pages/CUml.h"

#include <memory>

#include "generator/pages/modHtml.h"
#include "generator/pages/modHtmlDetail.h"
#include "generator/site/CrossLinks.h"
#include "generator/site/Listing.h"
#include "model/CArgument.h"
#include "model/Element.h"
#include "support/Html.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

// "+" for global and public members, "#" for friends, "-" for the rest
// (private ones and those declared without a scope word).
std::string_view visibilityMark(int scopeCode) {
    switch (scopeCode) {
        case scope::Global:
        case scope::Public:
            return "+";
        case scope::Friend:
            return "#";
        default:
            return "-";
    }
}

}  // namespace

Html CUml::createUml(const CModule& module, const CProject& project, int /*level*/,
                     const PageContext& ctx) {
    CHelper helper(ctx.translation, ctx.language);
    HtmlBuffer out;
    out.AppendLn("<TABLE>");
    out.AppendLn("   <TR>");
    out.AppendLn("      <TD>");
    out.AppendLn(createClassBox(module, project, helper, ctx));
    out.AppendLn("      </TD>");
    out.AppendLn("   </TR>");
    out.AppendLn("</TABLE>");
    return out.take();
}

Html CUml::createClassBox(const CModule& module, const CProject& project, const CHelper& helper,
                          const PageContext& ctx) {
    HtmlBuffer out;
    out.AppendLn("<TABLE class=\"uml\">");
    out.Append("<TR>");
    out.Append("<TH class=\"uml\">");
    const std::string kind = helper.getModuleType(module);
    out.Append("<IMG src=\"../src/images/");
    out.Append(url(kind));
    out.Append(".ico\" alt=\"\">");
    out.Append("&nbsp;");
    out.Append(escaped(module.Name()));
    out.Append(" (");
    out.Append(trText(helper, kind, kind));
    out.Append(")");
    if (module.Implementations().Size() > -1) {
        // Only the first implemented interface fits the title row.
        out.AppendLn("<BR>");
        out.Append("<LABEL class=\"interface\">");
        out.Append("&lt;");
        out.Append(
            dataTypeLink(helper, module.Implementations().at(1)->Name(), module, project, "", ctx));
        out.Append("&gt;");
        out.Append("</LABEL>");
    }
    out.Append("</TH>");
    out.AppendLn("</TR>");

    const auto tables = summaryTables(module, ctx.settings);
    for (const ElementKind kind : kUmlOrder) {
        const IIterator* list = module.listOf(kind);
        bool linked = false;
        for (const auto& table : tables)
            if (table.list == list) linked = table.enabled;
        out.AppendLn(createMemberRows(*list, linked, module, project, helper, ctx));
    }
    out.AppendLn("</TABLE>");
    return out.take();
}

Html CUml::createMemberRows(const IIterator& list, bool linked, const CModule& module,
                            const CProject& project, const CHelper& helper,
                            const PageContext& ctx) {
    const auto rows = tableRows(list, ctx.settings);
    if (rows.empty()) return {};
    HtmlBuffer out;
    out.AppendLn("<TR>");
    out.AppendLn("<TD>");
    out.AppendLn("<TABLE class=\"uml\">");
    out.Append("<TR>");
    out.Append("<TD class=\"uml\">");
    out.AppendLn("<I>");
    const std::string plural = helper.getItemTypes(list);
    out.AppendLn(trText(helper, plural, plural));
    out.AppendLn("</I>");
    out.Append("</TD>");
    out.Append("</TR>");

    for (const auto& row : rows) {
        const Element* e = row.front();
        out.Append("<TR>");
        out.Append("<TD class=\"uml\" nowrap>");
        out.Append(escaped(visibilityMark(e->scope())));
        out.Append(" ");
        if (linked) {
            // The member anchors live on the module's overview page, not on
            // this one: a bare "#Function_X" would lead nowhere.
            out.Append("<A href=\"" + url(ctx.moduleStem(module)) + ".html#");
            out.Append(url(helper.getItemName(*e) + "_" + e->Name()));
            out.Append("\" title=\"");
            out.Append(attribute(modHtml::umlMemberSignature(*e)));
            out.Append("\">");
            out.Append(escaped(e->Name()));
            out.Append("</A>");
        } else {
            out.Append("<SPAN title=\"");
            out.Append(attribute(modHtml::umlMemberSignature(*e)));
            out.Append("\">");
            out.Append(escaped(e->Name()));
            out.Append("</SPAN>");
        }
        const ElementKind kind = e->Kind();
        if (kind == ElementKind::Property || kind == ElementKind::Function ||
            kind == ElementKind::Subroutine)
            out.Append("()");
        // The type of the summary table's type column.
        const std::string type = modHtml::detail::rowDataType(row, kindTraits(kind).typeColumn);
        if (!type.empty()) {
            out.Append(" : ");
            out.Append(dataTypeLink(helper, type, module, project, "", ctx));
        }
        out.Append("</TD>");
        out.AppendLn("</TR>");
    }
    out.Append("</TABLE>");
    out.Append("</TD>");
    out.Append("</TR>");
    return out.take();
}

}  // namespace tarnwick
