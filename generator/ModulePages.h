// ModulePages: three of the four pages every written module gets, and the
// site-relative names of all of a module's pages.
//
// A module's pages lie in the folder of its kind ("Classes/", "Forms/", ...):
// the overview page "{Name}.html" with its member pages, "{Name}_Uml.html"
// (the UML class box) and "{Name}_Object.html" (the object-model tree); the
// fourth, "{Name}_Code.html", is written by writeCodePage. {Name} is the
// module's name made safe by safeFileName, the same name the links use.
//
// Each writer assembles the page in memory (every fragment added as a line,
// so a returned block ends in an empty line) and writes it once through
// PageContext::writePage; a PageWriteError goes to the caller.
#pragma once

#include <string>
#include <string_view>

#include "generator/PageContext.h"
#include "model/CModule.h"
#include "model/CProject.h"

namespace tarnwick {

// "Classes/CParser" + suffix: the module's page path inside the site.
// Throws PageWriteError when the module has no source-module kind.
std::string modulePagePath(const CModule& module, std::string_view suffix);

// "{Kinds}/{Name}.html": head, the description (when there is one), the
// overview body (which writes the member pages), tail.
void writeModulePage(const CModule& module, const CProject& project, const PageContext& ctx);
// "{Kinds}/{Name}_Uml.html": head, "UML-Model" heading, the class box, tail.
void writeUmlPage(const CModule& module, const CProject& project, const PageContext& ctx);
// "{Kinds}/{Name}_Object.html": head, "Object-Model" heading, the tree, tail.
void writeObjectModelPage(const CModule& module, const CProject& project, const PageContext& ctx);

}  // namespace tarnwick
