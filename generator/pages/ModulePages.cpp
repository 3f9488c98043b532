#include "generator/pages/ModulePages.h"

#include "generator/pages/CObjectModel.h"
#include "generator/pages/CUml.h"
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

// The UML and object-model pages: the module's page frame around a heading
// (translation key, its English default, and the paragraph's id) and a body.
Html framedBody(const CModule& module, const CProject& project, const PageContext& ctx,
                const char* key, const char* heading, const Html& body) {
    HtmlBuffer page;
    const CHelper helper(ctx.translation, ctx.language);
    page.AppendLn(modHtml::modulePageHead(module, project, ctx, helper.Translate(key, heading)));
    page.AppendLn("<H3>" + trText(helper, key, heading) + "</H3>");
    page.AppendLn("<P id=\"" + attribute(key) + "\">");
    page.AppendLn(body);
    page.AppendLn("</P>");
    page.AppendLn(modHtml::modulePageTail(ctx));
    return page.take();
}

}  // namespace

Page buildModulePage(const CModule& module, const CProject& project, const PageContext& ctx) {
    const std::string path = modulePagePath(module, ".html", ctx.pageNames);
    HtmlBuffer page;
    page.AppendLn(modHtml::modulePageHead(module, project, ctx));
    if (!module.Description().empty()) {
        page.AppendLn("<BR>");
        page.AppendLn(ctx.author(module.Description()));
    }
    page.Append(modHtml::detail::authorSections(module.Sections(), module.SeeAlso(), module,
                                                CHelper(ctx.translation, ctx.language), ctx));
    if (const Html classes = implementedBy(module, ctx); !classes.empty()) page.AppendLn(classes);
    page.Append(
        moduleReferenceSections(module, project, ctx, CHelper(ctx.translation, ctx.language)));
    page.AppendLn(modHtml::buildModuleBody(module, project, ctx));
    page.AppendLn(modHtml::modulePageTail(ctx));
    return {path, page.take()};
}

Page buildUmlPage(const CModule& module, const CProject& project, const PageContext& ctx) {
    return {modulePagePath(module, "_Uml.html", ctx.pageNames),
            framedBody(module, project, ctx, "UmlModel", "UML-Model",
                       CUml().createUml(module, project, 0, ctx))};
}

Page buildObjectModelPage(const CModule& module, const CProject& project, const PageContext& ctx) {
    return {modulePagePath(module, "_Object.html", ctx.pageNames),
            framedBody(module, project, ctx, "ObjectModel", "Object-Model",
                       CObjectModel().createObjectModel(module, project, ctx))};
}

Pages buildModulePages(const CModule& module, const CProject& project, const PageContext& ctx) {
    Pages pages;
    buildModulePages(module, project, ctx, [&](Page&& page) { pages.push_back(std::move(page)); });
    return pages;
}

void buildModulePages(const CModule& module, const CProject& project, const PageContext& ctx,
                      const std::function<void(Page&&)>& deliver) {
    // The member pages first: the small pages of a module are on disk even
    // when its overview cannot be written.
    for (Page& page : modHtml::buildMemberPages(module, project, ctx)) deliver(std::move(page));
    deliver(buildModulePage(module, project, ctx));
    if (ctx.settings.Uml) deliver(buildUmlPage(module, project, ctx));
    deliver(buildObjectModelPage(module, project, ctx));
    // Without the source section the site shows no code, neither per
    // member nor as the module's listing.
    if (ctx.settings.Source)
        deliver({modulePagePath(module, "_Code.html", ctx.pageNames),
                 buildCodePage(module, project, ctx)});
}

}  // namespace tarnwick
