// Pieces shared by the modHtml page writers (not part of the public
// interface): the heads of the root and member pages and the file names
// made from module and member names.
#pragma once

#include <string>
#include <string_view>

#include "generator/PageContext.h"
#include "model/CModule.h"
#include "model/CProject.h"
#include "model/ListItem.h"
#include "support/StringBuffer.h"

namespace tarnwick::modHtml::detail {

// Root pages (project summary, module summary, kind lists) lie in the site's
// own folder, so their resources are addressed without "../".
void appendRootPageHead(StringBuffer& page, const PageContext& ctx);
void appendRootPageTail(StringBuffer& page);

// Member pages lie one folder down; their title is "{module}.{member}".
void appendMemberPageHead(StringBuffer& page, std::string_view moduleName,
                          std::string_view memberName, const PageContext& ctx);

// The file name (without ".html") of a module's pages: safeFileName(Name).
std::string moduleFileName(const CModule& module);
// The file name (without ".html") of a member page: the module's file name,
// "_" and safeFileName(member name), with one underscore more for a member
// named like one of the module's own pages (Uml, Object, Code). Pages and
// links both use it.
std::string memberFileName(const CModule& module, const ListItem& member);

// The project's name from its project file ("Name" setting, quotes
// removed), or "ProjectName" when the project file names none.
std::string projectDisplayName(const CProject& project);

// "0.01.002" -> "0.1.2": whole numbers without leading zeros; parts that are
// not numbers are kept as they are.
std::string plainVersion(std::string_view version);

}  // namespace tarnwick::modHtml::detail
