// ModulePages: the pages every written module gets, and their site-relative
// names.
//
// A module's pages lie in the folder of its kind ("Classes/", "Forms/", ...):
// the overview page "{Name}.html" with its member pages, "{Name}_Uml.html"
// (the UML class box) and "{Name}_Object.html" (the object-model tree); the
// fourth, "{Name}_Code.html", is built by buildCodePage. {Name} is the
// module's name made safe by safeFileName, the same name the links use.
//
// Each builder assembles the page's body in memory (every fragment added as
// a line) and returns it for the layout's frame; no file is written here.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "generator/pages/PageBody.h"
#include "generator/site/PageContext.h"
#include "generator/site/PageNames.h"
#include "model/CModule.h"
#include "model/CProject.h"

namespace tarnwick {

// "{Kinds}/{Name}.html": the description (when there is one) and the
// overview body.
PageBody buildModulePage(const CModule& module, const CProject& project, const PageContext& ctx);
// "{Kinds}/{Name}_Uml.html": "UML-Model" heading and the class box.
PageBody buildUmlPage(const CModule& module, const CProject& project, const PageContext& ctx);
// "{Kinds}/{Name}_Object.html": "Object-Model" heading and the tree.
PageBody buildObjectModelPage(const CModule& module, const CProject& project,
                              const PageContext& ctx);

// All pages of a module: its member pages, the overview, UML, object model
// and code. Throws PageWriteError for a module of no kind that has pages.
PageBodies buildModulePages(const CModule& module, const CProject& project, const PageContext& ctx);
// The same pages in the same order, each handed to deliver as soon as it is
// built, so a giant module's pages need not all be in memory at once.
void buildModulePages(const CModule& module, const CProject& project, const PageContext& ctx,
                      const std::function<void(PageBody&&)>& deliver);

}  // namespace tarnwick
