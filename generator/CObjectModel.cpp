#include "generator/CObjectModel.h"

#include "generator/modHtmlDetail.h"
#include "model/Element.h"
#include "support/StringBuffer.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

constexpr std::string_view kChild = "<IMG SRC=\"../src/images/parchild.gif\">";
constexpr std::string_view kMult = "<IMG SRC=\"../src/images/parmult.gif\">";
constexpr std::string_view kLower = "<IMG SRC=\"../src/images/parlower.gif\">";
constexpr std::string_view kNone = "<IMG SRC=\"../src/images/parnone.gif\">";

// The words naming the module's kind in the root row: "Class module",
// "Form module", ...; a standard module is just "Module".
std::string kindWords(const CModule& module) {
    const std::string kind = kindTraits(module.Kind()).name;
    if (module.Kind() == ModuleKind::Module) return kind;
    if (kind.empty()) return "module";
    return kind + " module";
}

}  // namespace

std::string CObjectModel::createObjectModel(const CModule& module, const CProject& /*project*/,
                                            const PageContext& ctx) {
    CHelper helper(ctx.translation, ctx.language);
    const std::string kind = helper.getModuleType(module);
    const std::string words = helper.Translate(kind + "ModuleWords", kindWords(module));
    StringBuffer out;
    out.Append("<TABLE class=\"objModel\" cellspacing=\"0\">");
    out.Append("<TR>");
    out.Append("<TD colspan=\"3\">");
    // The root leads to the module's own overview page beside this one.
    out.Append("<A HREF=\"");
    out.Append(safeFileName(module.Name()));
    out.Append(".html\" title=\"");
    out.Append(module.Name());
    out.Append("-");
    out.Append(words);
    out.Append("\">");
    out.Append("<SPAN class=\"omblue\" tabindex=\"0\">");
    out.Append(module.Name());
    out.Append(" - ");
    out.Append(words);
    out.Append("</SPAN>");
    out.Append("</A>");
    out.Append("</TD>");
    out.AppendLn("</TR>");

    const IIterator* sections[] = {
        &module.Constants(), &module.Declarations(),    &module.Enums(),      &module.Events(),
        &module.Functions(), &module.Implementations(), &module.Properties(), &module.Subroutines(),
        &module.Types(),     &module.Variables(),
    };
    std::vector<std::vector<std::vector<const Element*>>> rows;
    for (const IIterator* list : sections)
        rows.push_back(modHtml::detail::tableRows(*list, ctx.settings));
    int last = -1;
    for (int i = 9; i >= 0 && last < 0; --i)
        if (!rows[i].empty()) last = i;
    for (int i = 0; i <= last; ++i)
        if (!rows[i].empty()) out.AppendLn(createSection(*sections[i], rows[i], i == last, helper));
    out.AppendLn("</TABLE>");
    return out.take();
}

std::string CObjectModel::createSection(const IIterator& list,
                                        const std::vector<std::vector<const Element*>>& rows,
                                        bool last, const CHelper& helper) {
    const std::string kind = helper.getItemType(list);
    StringBuffer out;
    out.Append("<TR ");
    out.Append(" onClick=\"toggleById('");
    out.Append(kind);
    out.Append("')\">");
    out.Append("<TD width=\"1px\">");
    out.Append(last ? kChild : kMult);
    out.Append("</TD>");
    out.Append("<TD>");
    out.Append("<SPAN class=\"omyellow\">");
    out.Append(kind);
    out.Append("</SPAN>");
    out.Append("</TD>");
    out.Append("<TD width=\"100%\">");
    out.Append("</TD>");
    out.AppendLn("</TR>");

    out.Append("<TR class=\"hidden\" ");
    out.Append("id=\"");
    out.Append(kind);
    out.Append("\">");
    out.Append("<TD colspan=\"2\">");
    out.AppendLn("<TABLE class=\"objModel\" cellspacing=\"0\">");
    // A property is one member, however many accessors it has.
    for (size_t i = 0; i < rows.size(); ++i) {
        out.Append("<TR>");
        out.Append("<TD width=\"1px\">");
        out.Append(last ? kNone : kLower);
        out.Append("</TD>");
        out.Append("<TD width=\"1px\">");
        out.Append(i + 1 == rows.size() ? kChild : kMult);
        out.Append("</TD>");
        out.Append("<TD>");
        out.Append("<SPAN class=\"omblue\">");
        out.Append(rows[i].front()->Name());
        out.Append("</SPAN>");
        out.Append("</TD>");
        out.AppendLn("</TR>");
    }
    out.AppendLn("</TABLE>");
    out.Append("</TD>");
    out.AppendLn("</TR>");
    return out.take();
}

}  // namespace tarnwick
