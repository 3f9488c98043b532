// Pieces shared by the modHtml page writers (not part of the public
// interface): the bodies of root and module pages and the file names made
// from module and member names.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "generator/pages/PageBody.h"
#include "generator/site/PageContext.h"
#include "model/CHelper.h"
#include "model/CModule.h"
#include "model/CProject.h"
#include "model/Element.h"
#include "model/IIterator.h"
#include "model/ListItem.h"
#include "support/Html.h"

namespace tarnwick {
struct ReferenceHeadings;
}  // namespace tarnwick

namespace tarnwick::modHtml::detail {

// A page in the site's root (project summary, module summary, kind lists):
// its path, what it is ("All Files") and its body.
PageBody rootPage(std::string path, std::string title, HtmlBuffer& body);
// One of a module's pages: its tab (the page's suffix among moduleTabs()),
// its word for the title ("UML-Model"; empty for the overview) and its
// body; the module's header block goes above the body.
PageBody modulePage(const CModule& module, const CProject& project, const PageContext& ctx,
                    std::string_view tab, std::string word, Html body);

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

// buildMemberPage for the members of one page (members.front() names it);
// the body's path is left to the caller. headings: those of the module's
// pages, made once; null makes them for this page.
PageBody buildMemberPageOf(const std::vector<const Element*>& members, const CModule& module,
                           const CProject& project, const PageContext& ctx,
                           const ReferenceHeadings* headings = nullptr);

// The scope column of a summary row for the members of one page: "Public"
// for one member, "Public Get/Let" for accessors of one scope,
// "Public Get/Friend Let" when their scopes differ.
std::string scopeText(const std::vector<const Element*>& members);

// The type a summary row (or the UML box) shows for the members of one page:
// their declared type, or what they return (a property's Get's, a Let
// alone gives its value's); empty for kinds without a type column.
std::string rowDataType(const std::vector<const Element*>& row, TypeColumn typeColumn);

// What an author's tags add below a description (of a member or of module):
// a Remarks, an Example and an Exceptions section (heading and text) where
// they have text, then the "See also" line (a target that leads to no page
// stays text); empty when there is none of them.
Html authorSections(const DocSections& sections, const std::vector<std::string>& seeAlso,
                    const CModule& module, const CHelper& helper, const PageContext& ctx);

}  // namespace tarnwick::modHtml::detail
