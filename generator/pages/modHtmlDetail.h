// Pieces shared by the modHtml page writers (not part of the public
// interface): the heads of the root and member pages and the file names
// made from module and member names.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "generator/site/PageContext.h"
#include "model/CHelper.h"
#include "model/CModule.h"
#include "model/CProject.h"
#include "model/Element.h"
#include "model/IIterator.h"
#include "model/ListItem.h"
#include "support/Html.h"

namespace tarnwick::modHtml::detail {

// Root pages (project summary, module summary, kind lists) lie in the site's
// own folder, so their resources are addressed without "../".
// title: what the page is ("All Files"); the project's name follows it.
void appendRootPageHead(HtmlBuffer& page, const PageContext& ctx, std::string_view title);
// The modern layout's tail also takes the frame targets out of the page.
void appendRootPageTail(HtmlBuffer& page, const PageContext& ctx);

// Member pages lie one folder down; their title is "{member} - {module} - {project}".
void appendMemberPageHead(HtmlBuffer& page, const CModule& module, std::string_view memberName,
                          const PageContext& ctx);
void appendMemberPageTail(HtmlBuffer& page, const PageContext& ctx);

// ' id="Parameters"': the address of a section of a member page in the
// modern layout; nothing in the framed one, whose pages stay as they were.
Html sectionId(const PageContext& ctx, std::string_view id);

// In the modern layout, " <A href="CAccount_Code.html#L115">line 115</A>":
// where the member's declaration stands in its module's code page; nothing
// without a code page or a known line, and in the framed layout.
Html codeLineLink(const CModule& module, const Element& member, const PageContext& ctx);

// The file name (without ".html") of a module's pages and of a member's
// page, as the run's PageNames assigned them. Pages and links both use it.
std::string moduleFileName(const CModule& module, const PageContext& ctx);
std::string memberFileName(const CModule& module, const ListItem& member, const PageContext& ctx);

// buildMemberPage for the members of one page (members.front() names it).
Html buildMemberPageOf(const std::vector<const Element*>& members, const CModule& module,
                              const CProject& project, const PageContext& ctx);

// The scope column of a summary row for the members of one page: "Public"
// for one member, "Public Get/Let" for accessors of one scope,
// "Public Get/Friend Let" when their scopes differ.
std::string scopeText(const std::vector<const Element*>& members);

// "Add - ArrayList - CorLib": the parts that are not empty, joined by " - ".
std::string pageTitle(std::initializer_list<std::string_view> parts);

// What an author's tags add below a description (of a member or of module):
// a Remarks, an Example and an Exceptions section (heading and text) where
// they have text, then the "See also" line (a target that leads to no page
// stays text); empty when there is none of them.
Html authorSections(const DocSections& sections, const std::vector<std::string>& seeAlso,
                    const CModule& module, const CHelper& helper, const PageContext& ctx);

}  // namespace tarnwick::modHtml::detail
