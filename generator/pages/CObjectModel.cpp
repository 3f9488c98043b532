#include "generator/pages/CObjectModel.h"

#include <set>

#include "generator/pages/FormPicture.h"
#include "generator/pages/modHtmlDetail.h"
#include "generator/site/CrossLinks.h"
#include "generator/site/Listing.h"
#include "model/Element.h"
#include "support/Html.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

const Html kChild = "<IMG SRC=\"../src/images/parchild.gif\" alt=\"\">";
const Html kMult = "<IMG SRC=\"../src/images/parmult.gif\" alt=\"\">";
const Html kLower = "<IMG SRC=\"../src/images/parlower.gif\" alt=\"\">";
const Html kNone = "<IMG SRC=\"../src/images/parnone.gif\" alt=\"\">";

// The words naming the module's kind in the root row: "Class module",
// "Form module", ...; a standard module is just "Module".
std::string kindWords(const CModule& module) {
    const std::string kind = kindTraits(module.Kind()).name;
    if (module.Kind() == ModuleKind::Module) return kind;
    if (kind.empty()) return "module";
    return kind + " module";
}

void addDesignItems(const DesignControl& parent, bool menus, const std::string& page,
                    std::set<std::string>& seen, std::vector<std::pair<std::string, Html>>& items) {
    for (const DesignControl& child : parent.children) {
        if (child.isMenu() != menus) continue;
        if (seen.insert(toLower(child.name)).second)
            items.emplace_back(child.name, url(page + "#" + controlAnchor(child.name), true));
        addDesignItems(child, menus, page, seen, items);
    }
}

// The "Controls" and "Menus" branches of a module's design, those that have any.
std::vector<std::pair<std::string, std::vector<std::pair<std::string, Html>>>> designItems(
    const CModule& module, const PageContext& ctx) {
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, Html>>>> branches;
    if (!module.Design()) return branches;
    const std::string page = ctx.moduleStem(module) + ".html";
    for (const bool menus : {false, true}) {
        std::set<std::string> seen;
        std::vector<std::pair<std::string, Html>> items;
        addDesignItems(module.Design()->form, menus, page, seen, items);
        if (!items.empty()) branches.emplace_back(menus ? "Menus" : "Controls", std::move(items));
    }
    return branches;
}

}  // namespace

Html CObjectModel::createObjectModel(const CModule& module, const CProject& /*project*/,
                                     const PageContext& ctx) {
    CHelper helper(ctx.translation, ctx.language);
    const std::string kind = helper.getModuleType(module);
    const std::string words = helper.Translate(kind + "ModuleWords", kindWords(module));
    HtmlBuffer out;
    out.Append("<TABLE class=\"objModel\" cellspacing=\"0\">");
    out.Append("<TR>");
    out.Append("<TD colspan=\"3\">");
    // The root leads to the module's own overview page beside this one.
    out.Append("<A HREF=\"");
    out.Append(url(ctx.moduleStem(module)));
    out.Append(".html\" title=\"");
    out.Append(attribute(module.Name() + "-" + words));
    out.Append("\">");
    out.Append("<SPAN class=\"omblue\" tabindex=\"0\">");
    out.Append(escaped(module.Name()));
    out.Append(" - ");
    out.Append(escaped(words));
    out.Append("</SPAN>");
    out.Append("</A>");
    out.Append("</TD>");
    out.AppendLn("</TR>");

    // The branches in the vocabulary's order; the last one closes the tree.
    std::vector<std::pair<const IIterator*, std::vector<std::vector<const Element*>>>> branches;
    for (const ElementKind kind : kVocabularyOrder) {
        const IIterator* list = module.listOf(kind);
        auto rows = tableRows(*list, ctx.settings);
        if (!rows.empty()) branches.emplace_back(list, std::move(rows));
    }
    // The controls and menus the designer placed come first, each leading
    // to its entry on the module's overview.
    const auto designBranches = designItems(module, ctx);
    for (size_t i = 0; i < designBranches.size(); ++i) {
        const auto& [key, items] = designBranches[i];
        out.AppendLn(branch(key, trText(helper, key, key), items,
                            branches.empty() && i + 1 == designBranches.size()));
    }
    for (size_t i = 0; i < branches.size(); ++i)
        out.AppendLn(createSection(module, *branches[i].first, branches[i].second,
                                   i + 1 == branches.size(), ctx));
    out.AppendLn("</TABLE>");
    return out.take();
}

Html CObjectModel::createSection(const CModule& module, const IIterator& list,
                                 const std::vector<std::vector<const Element*>>& rows, bool last,
                                 const PageContext& ctx) {
    const CHelper helper(ctx.translation, ctx.language);
    const std::string kind = helper.getItemType(list);
    // Each name leads to its member page (a property's accessors share the
    // page of the first), where the run writes one.
    std::vector<std::pair<std::string, Html>> items;
    for (const auto& row : rows) {
        const std::string page =
            ctx.links ? ctx.links->memberPage(module, *row.front()) : std::string();
        items.emplace_back(row.front()->Name(), page.empty() ? Html() : url("../" + page));
    }
    return branch(kind, trText(helper, kind, kind), items, last);
}

Html CObjectModel::branch(const std::string& id, const Html& word,
                          const std::vector<std::pair<std::string, Html>>& items, bool last) {
    HtmlBuffer out;
    out.Append("<TR ");
    out.Append(" onClick=\"toggleById('");
    out.Append(attribute(id));
    out.Append("')\">");
    out.Append("<TD width=\"1px\">");
    out.Append(last ? kChild : kMult);
    out.Append("</TD>");
    out.Append("<TD>");
    out.Append("<SPAN class=\"omyellow\">");
    out.Append(word);
    out.Append("</SPAN>");
    out.Append("</TD>");
    out.Append("<TD width=\"100%\">");
    out.Append("</TD>");
    out.AppendLn("</TR>");

    out.Append("<TR class=\"hidden\" ");
    out.Append("id=\"");
    out.Append(attribute(id));
    out.Append("\">");
    out.Append("<TD colspan=\"2\">");
    out.AppendLn("<TABLE class=\"objModel\" cellspacing=\"0\">");
    for (size_t i = 0; i < items.size(); ++i) {
        const auto& [name, href] = items[i];
        out.Append("<TR>");
        out.Append("<TD width=\"1px\">");
        out.Append(last ? kNone : kLower);
        out.Append("</TD>");
        out.Append("<TD width=\"1px\">");
        out.Append(i + 1 == items.size() ? kChild : kMult);
        out.Append("</TD>");
        out.Append("<TD>");
        if (!href.empty()) out.Append("<A href=\"" + href + "\">");
        out.Append("<SPAN class=\"omblue\">");
        out.Append(escaped(name));
        out.Append("</SPAN>");
        if (!href.empty()) out.Append("</A>");
        out.Append("</TD>");
        out.AppendLn("</TR>");
    }
    out.AppendLn("</TABLE>");
    out.Append("</TD>");
    out.AppendLn("</TR>");
    return out.take();
}

}  // namespace tarnwick
