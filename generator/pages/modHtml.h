// modHtml: the page writers of the documentation site.
//
// Free functions that build the shared page pieces (module header block,
// member icon header), the module overview body with its summary tables,
// the member pages with their syntax layout, and the three kinds of index
// page in the site's root (project summary, module summary, one list per
// module kind).
//
// Every builder returns its markup (Html); a fragment "added as a line" ends
// in CR LF, an "inline" fragment does not, and that difference is part of the
// output. Names, types and values from the project are text: they enter the
// markup only through escaped(), attribute() and url(); descriptions only
// through the authors' sanitizer. Every file name and every link made from
// a module or member name is the one PageNames assigned, so the page and the
// links to it always agree.
//
// The page builders return their pages as bodies (PageBody.h: what the
// page shows and what the layout's frame needs to know) and write no file;
// they read the model and never change it (lists are walked with
// elements(), never with a list's cursor), so the pages of different
// modules can be built on different threads and previewed without writing.
// A builder that cannot name a page's file throws PageWriteError.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "generator/pages/PageBody.h"
#include "generator/site/Page.h"
#include "generator/site/PageContext.h"
#include "model/CModule.h"
#include "model/CModuleList.h"
#include "model/CProject.h"
#include "model/Element.h"
#include "model/IIterator.h"
#include "support/Html.h"

namespace tarnwick::modHtml {

// The header block: name, translated kind, timestamp and the module's
// attribute table (keys in ordinal order, "...VB_Description" keys skipped).
Html buildModuleHeader(const CProject& project, const CModule& module, const PageContext& ctx);
// One line, no line breaks: the icon "../src/images/{icon}2.ico", line1 in
// italics, line2 in bold.
Html buildIconHeader(std::string_view icon, const Html& line1, const Html& line2);

// The overview page's body: the summary link list (all ten kinds) and one
// summary table per kind switched on in ctx.settings.
Html buildModuleBody(const CModule& module, const CProject& project, const PageContext& ctx);
// One entry of the link list, e.g. "3&nbsp;Functions"; empty for an empty list.
Html buildSummaryLink(const IIterator& list, const PageContext& ctx);
// One summary table (scope, name, description, and for functions,
// properties, variables and constants the data type); empty for an empty
// list. The rows' member pages come from buildMemberPages.
Html buildSummaryTable(const IIterator& list, const CModule& module, const CProject& project,
                       const PageContext& ctx);

// The member page "{Kinds}/{Module}_{Member}.html": description, syntax,
// parts of a Type or Enum, parameters, return value, source. Tells the
// observer one console line. Also the workbench's preview of a member.
PageBody buildMemberPage(const Element& member, const CModule& module, const CProject& project,
                         const PageContext& ctx);
// Every member page of a module: one per page file that the summary tables
// switched on link to, in the order of the tables. Throws PageWriteError
// for a module of no kind that has pages.
PageBodies buildMemberPages(const CModule& module, const CProject& project, const PageContext& ctx);

// Declaration laid out one parameter per line with " _" continuations, and a
// " Alias " clause on its own line; returned as a "SYNTAX" source table.
Html formatProcedureSyntax(std::string_view syntax);
// A Type's source laid out with its members indented by three blanks and a
// closing "End Type"; returned as a "SYNTAX" source table.
Html formatTypeSyntax(std::string_view source);
// One-line signature for the UML box tooltip, e.g. " Long : Find(Key, [Start])".
std::string umlMemberSignature(const Element& member);
// True when some word equals text ignoring letter case.
bool inArray(std::string_view text, const std::vector<std::string>& words);

// "project-summary.html": the project's references and control libraries
// (in the order the reader sorted them: by name).
PageBody buildProjectSummary(const CProject& project, const PageContext& ctx);
// "module-summary.html": links to the kind lists and all modules by name,
// of the kinds whose pages the run writes (switched on, not empty).
PageBody buildModuleSummary(const CProject& project, const PageContext& ctx);
// "all-summary.html": the project summary, all files and the kind lists
// the run writes.
PageBody buildOverviewPage(const CProject& project, const PageContext& ctx);
// "index.html" from the frameset template of the resource folder, its
// encoding declaration made the pages' one.
Page buildFramePage(std::string_view frameTemplate, const PageContext& ctx);
// "all-{Kinds}.html" for a non-empty module list; no page for an empty one.
PageBodies buildKindIndex(const CModuleList& list, const CProject& project, const PageContext& ctx);

}  // namespace tarnwick::modHtml
