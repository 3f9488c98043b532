#include "generator/pages/ModulePages.h"

#include "generator/pages/CObjectModel.h"
#include "generator/pages/CUml.h"
#include "generator/pages/FormSections.h"
#include "generator/pages/ReferencePages.h"
#include "generator/pages/SourcePage.h"
#include "generator/pages/modHtml.h"
#include "generator/pages/modHtmlDetail.h"
#include "generator/site/AuthorHtml.h"
#include "generator/site/CrossLinks.h"
#include "model/CHelper.h"
#include "support/StringBuffer.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

// The classes that implement an interface class, as links; empty when none.
Html implementedBy(const CModule& module, const PageContext& ctx) {
    if (!ctx.links) return {};
    const auto classes = ctx.links->implementers(module);
    if (classes.empty()) return {};
    const CHelper helper(ctx.translation, ctx.language);
    Html text = "<H3>" + trText(helper, "ImplementedBy", "Implemented by") +
                "</H3>\r\n<P class=\"implementedBy\">";
    for (size_t i = 0; i < classes.size(); ++i) {
        if (i > 0) text += ", ";
        text += CrossLinks::link(classes[i]->path, classes[i]->name);
    }
    return text + "</P>";
}

// The UML and object-model pages (tab): a heading (translation key, its
// English default, and the paragraph's id) and a body.
PageBody headedBody(const CModule& module, const CProject& project, const PageContext& ctx,
                    std::string_view tab, const char* key, const char* heading, const Html& body) {
    HtmlBuffer page;
    const CHelper helper(ctx.translation, ctx.language);
    page.AppendLn("<H3>" + trText(helper, key, heading) + "</H3>");
    page.AppendLn("<P id=\"" + attribute(key) + "\">");
    page.AppendLn(body);
    page.AppendLn("</P>");
    return modHtml::detail::modulePage(module, project, ctx, tab, helper.Translate(key, heading),
                                       page.take());
}

}  // namespace

PageBody buildModulePage(const CModule& module, const CProject& project, const PageContext& ctx) {
    HtmlBuffer page;
    if (!module.Description().empty()) {
        page.AppendLn("<BR>");
        page.AppendLn(ctx.author(module.Description()));
    }
    page.Append(modHtml::detail::authorSections(module.Sections(), module.SeeAlso(), module,
                                                CHelper(ctx.translation, ctx.language), ctx));
    if (const Html classes = implementedBy(module, ctx); !classes.empty()) page.AppendLn(classes);
    page.Append(
        moduleReferenceSections(module, project, ctx, CHelper(ctx.translation, ctx.language)));
    // What the form designer placed: the places a user control is used on,
    // then the module's own controls and menus.
    page.Append(usedOnSection(module, project, ctx));
    page.Append(formSections(module, project, ctx));
    page.AppendLn(modHtml::buildModuleBody(module, project, ctx));
    return modHtml::detail::modulePage(module, project, ctx, ".html", {}, page.take());
}

PageBody buildUmlPage(const CModule& module, const CProject& project, const PageContext& ctx) {
    return headedBody(module, project, ctx, "_Uml.html", "UmlModel", "UML-Model",
                      CUml().createUml(module, project, 0, ctx));
}

PageBody buildObjectModelPage(const CModule& module, const CProject& project,
                              const PageContext& ctx) {
    return headedBody(module, project, ctx, "_Object.html", "ObjectModel", "Object-Model",
                      CObjectModel().createObjectModel(module, project, ctx));
}

PageBodies buildModulePages(const CModule& module, const CProject& project,
                            const PageContext& ctx) {
    PageBodies pages;
    buildModulePages(module, project, ctx,
                     [&](PageBody&& page) { pages.push_back(std::move(page)); });
    return pages;
}

void buildModulePages(const CModule& module, const CProject& project, const PageContext& ctx,
                      const std::function<void(PageBody&&)>& deliver) {
    // The member pages first: the small pages of a module are on disk even
    // when its overview cannot be written.
    for (PageBody& page : modHtml::buildMemberPages(module, project, ctx)) deliver(std::move(page));
    deliver(buildModulePage(module, project, ctx));
    if (ctx.settings.Uml) deliver(buildUmlPage(module, project, ctx));
    deliver(buildObjectModelPage(module, project, ctx));
    // Without the source section the site shows no code, neither per
    // member nor as the module's listing.
    if (ctx.settings.Source) deliver(buildCodePage(module, project, ctx));
}

}  // namespace tarnwick
