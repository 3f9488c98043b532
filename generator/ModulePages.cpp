#include "generator/ModulePages.h"

#include "generator/AuthorHtml.h"
#include "generator/CObjectModel.h"
#include "generator/CUml.h"
#include "generator/CrossLinks.h"
#include "generator/SourcePage.h"
#include "generator/modHtml.h"
#include "model/CHelper.h"
#include "support/StringBuffer.h"
#include "support/Text.h"

namespace tarnwick {

std::string modulePagePath(const CModule& module, std::string_view suffix) {
    const std::string kinds = kindTraits(module.Kind()).listName;
    if (kinds.empty()) {
        throw PageWriteError(safeFileName(module.Name()) + std::string(suffix),
                             "module " + module.Name() + " is of no kind that has pages");
    }
    return kinds + "/" + safeFileName(module.Name()) + std::string(suffix);
}

namespace {

// The classes that implement an interface class, as links; empty when none.
std::string implementedBy(const CModule& module, const PageContext& ctx) {
    if (!ctx.links) return {};
    const auto classes = ctx.links->implementers(module);
    if (classes.empty()) return {};
    const CHelper helper(ctx.translation, ctx.language);
    std::string text = "<H3>" + helper.Translate("ImplementedBy", "Implemented by") +
                       "</H3>\r\n<P class=\"implementedBy\">";
    for (size_t i = 0; i < classes.size(); ++i) {
        if (i > 0) text += ", ";
        text += CrossLinks::link(classes[i]->path, classes[i]->name);
    }
    return text + "</P>";
}

}  // namespace

Page buildModulePage(const CModule& module, const CProject& project, const PageContext& ctx) {
    const std::string path = modulePagePath(module, ".html");
    StringBuffer page;
    page.AppendLn(modHtml::modulePageHead(module, project, ctx));
    if (!module.Description().empty()) {
        page.AppendLn("<BR>");
        page.AppendLn(sanitizeAuthorHtml(module.Description()));
    }
    if (const std::string classes = implementedBy(module, ctx); !classes.empty())
        page.AppendLn(classes);
    page.AppendLn(modHtml::buildModuleBody(module, project, ctx));
    page.AppendLn(modHtml::modulePageTail(ctx));
    return {path, page.take()};
}

Page buildUmlPage(const CModule& module, const CProject& project, const PageContext& ctx) {
    const std::string path = modulePagePath(module, "_Uml.html");
    StringBuffer page;
    page.AppendLn(modHtml::modulePageHead(module, project, ctx));
    const CHelper helper(ctx.translation, ctx.language);
    page.AppendLn("<H3>" + helper.Translate("UmlModel", "UML-Model") + "</H3>");
    page.AppendLn("<P id=\"UmlModel\">");
    page.AppendLn(CUml().createUml(module, project, 0, ctx));
    page.AppendLn("</P>");
    page.AppendLn(modHtml::modulePageTail(ctx));
    return {path, page.take()};
}

Page buildObjectModelPage(const CModule& module, const CProject& project, const PageContext& ctx) {
    const std::string path = modulePagePath(module, "_Object.html");
    StringBuffer page;
    page.AppendLn(modHtml::modulePageHead(module, project, ctx));
    const CHelper helper(ctx.translation, ctx.language);
    page.AppendLn("<H3>" + helper.Translate("ObjectModel", "Object-Model") + "</H3>");
    page.AppendLn("<P id=\"ObjectModel\">");
    page.AppendLn(CObjectModel().createObjectModel(module, project, ctx));
    page.AppendLn("</P>");
    page.AppendLn(modHtml::modulePageTail(ctx));
    return {path, page.take()};
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
    deliver({modulePagePath(module, "_Code.html"), buildCodePage(module, project, ctx)});
}

}  // namespace tarnwick
