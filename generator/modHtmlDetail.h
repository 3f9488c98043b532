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

#include "generator/PageContext.h"
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

// A text of the translation file. The file is ours and its texts may hold
// markup ("&nbsp;", "<B>%1</B>"), so they count as markup.
Html tr(const CHelper& helper, std::string_view key, std::string_view fallback = {});

// One summary table of a module page: its list and whether the settings
// switch it on. summaryTables gives them in the order the page shows them.
struct SummaryTable {
    const IIterator* list;
    bool enabled;
};
std::vector<SummaryTable> summaryTables(const CModule& module, const GenerationSettings& settings);

// The members one member page documents: every listed member of a table
// that is switched on whose name is member's, ignoring case (the Get, Let and Set of one
// property; a variable and a property of one name), in table order, the
// accessors of a property as Get, Let, Set. Holds member itself even when
// its own table is off (a preview).
std::vector<const Element*> pageMembers(const CModule& module, const Element& member,
                                        const GenerationSettings& settings);

// The members of every page of a module at once, by lower-case name (the
// flag is scratch space of the builder). membersOf answers pageMembers
// from it, so a module's pages are grouped in linear time.
using PageGroups = std::unordered_map<std::string, std::vector<std::pair<const Element*, bool>>>;
PageGroups pageGroups(const CModule& module, const GenerationSettings& settings);
std::vector<const Element*> membersOf(const PageGroups& groups, const Element& member);

// buildMemberPage for the members of one page (members.front() names it).
std::string buildMemberPageOf(const std::vector<const Element*>& members, const CModule& module,
                              const CProject& project, const PageContext& ctx);

// The rows of a summary table, UML compartment or object-model branch: one
// per member whose scope the settings list (scopeListed), but one per
// property name holding its listed accessors as Get, Let, Set.
std::vector<std::vector<const Element*>> tableRows(const IIterator& list,
                                                   const GenerationSettings& settings);

// 0, 1, 2 for a property's Get, Let, Set; -1 for any other member.
int accessorRank(const Element& member);
// "Get", "Let", "Set"; empty for a member that is no property accessor.
std::string accessorWord(const Element& member);

// The scope column of a summary row for the members of one page: "Public"
// for one member, "Public Get/Let" for accessors of one scope,
// "Public Get/Friend Let" when their scopes differ.
std::string scopeText(const std::vector<const Element*>& members);

// getDataTypeLink, but the plain name when the run writes no class pages
// (a link would lead nowhere).
Html dataTypeLink(const CHelper& helper, std::string_view name, const CModule& module,
                  const CProject& project, std::string_view prefix, const PageContext& ctx);

// "Add - ArrayList - CorLib": the parts that are not empty, joined by " - ".
std::string pageTitle(std::initializer_list<std::string_view> parts);

// A value of the project file without its quotes and blanks ("Name", "Title").
std::string projectValue(const CProject& project, std::string_view key);

// The project's name from its project file ("Name" setting, quotes
// removed), or "ProjectName" when the project file names none.
std::string projectDisplayName(const CProject& project);

// "0.01.002" -> "0.1.2": whole numbers without leading zeros; parts that are
// not numbers are kept as they are.
std::string plainVersion(std::string_view version);

// What an author's tags add below a description (of a member or of module):
// a Remarks, an Example and an Exceptions section (heading and text) where
// they have text, then the "See also" line (a target that leads to no page
// stays text); empty when there is none of them.
// The short description a summary row shows: the module's "@Name" text, an
// accessor's "@short" text, else the first sentence of the first accessor
// that has a description; empty when none says anything.
std::string rowSummary(const CModule& module, const std::vector<const Element*>& row);

Html authorSections(const DocSections& sections, const std::vector<std::string>& seeAlso,
                    const CModule& module, const CHelper& helper, const PageContext& ctx);

}  // namespace tarnwick::modHtml::detail
