// modHtml: the page writers of the documentation site.
//
// Free functions that build the shared page pieces (per-module page head and
// tail, navigation bar, module header block, footer, member icon header), the
// module overview body with its summary tables, the member pages with their
// syntax layout, and the three kinds of index page in the site's root
// (project summary, module summary, one list per module kind).
//
// Every builder returns its markup (Html); a fragment "added as a line" ends
// in CR LF, an "inline" fragment does not, and that difference is part of the
// output. Names, types and values from the project are text: they enter the
// markup only through escaped(), attribute() and url(); descriptions only
// through the authors' sanitizer. Every file name and every link made from
// a module or member name is the one PageNames assigned, so the page and the
// links to it always agree.
//
// The page builders return their pages (site-relative path and text) and
// write no file; they read the model and never change it (lists are walked
// with elements(), never with a list's cursor), so the pages of different
// modules can be built on different threads and previewed without writing.
// A builder that cannot name a page's file throws PageWriteError.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "generator/site/Page.h"
#include "generator/site/PageContext.h"
#include "model/CModule.h"
#include "model/CModuleList.h"
#include "model/CProject.h"
#include "model/Element.h"
#include "model/IIterator.h"
#include "support/Html.h"

namespace tarnwick::modHtml {

// Opening of every per-module page (overview, UML, object model, code):
// HTML head with the module's title, then the layout table's first row with
// the navigation bar and the header block, and the start of the body cell;
// in the modern layout the modern page frame (ModernFrame.h) and the header
// block. modulePageTail closes what it opened.
// pageWord names the page in its title ("UML - CAccount - Ledger"); empty
// for the overview ("CAccount - Ledger").
Html modulePageHead(const CModule& module, const CProject& project, const PageContext& ctx,
                    std::string_view pageWord = {});
// Closing of every per-module page: end of the body cell, the footer row, end of page.
Html modulePageTail(const PageContext& ctx);

// Links to the module's four pages ("X.html", "X_Uml.html", "X_Object.html",
// "X_Code.html"; the UML link only when the settings ask for UML pages)
// aimed at the Detail frame, ending in two "<BR>" lines.
Html buildNavigationBar(const CProject& project, const CModule& module, const PageContext& ctx);
// The header block: name, translated kind, timestamp and the module's
// attribute table (keys in ordinal order, "...VB_Description" keys skipped).
Html buildModuleHeader(const CProject& project, const CModule& module, const PageContext& ctx);
// The credit and copyright table under every per-module page.
Html buildFooter(const PageContext& ctx);
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
Html buildMemberPage(const Element& member, const CModule& module, const CProject& project,
                     const PageContext& ctx);
// Every member page of a module: one per page file that the summary tables
// switched on link to, in the order of the tables. Throws PageWriteError
// for a module of no kind that has pages.
Pages buildMemberPages(const CModule& module, const CProject& project, const PageContext& ctx);

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
Page buildProjectSummary(const CProject& project, const PageContext& ctx);
// "module-summary.html": links to the kind lists and all modules by name,
// of the kinds whose pages the run writes (switched on, not empty).
Page buildModuleSummary(const CProject& project, const PageContext& ctx);
// "all-summary.html": the project summary, all files and the kind lists
// the run writes.
Page buildOverviewPage(const CProject& project, const PageContext& ctx);
// "index.html" from the frameset template of the resource folder, its
// encoding declaration made the pages' one.
Page buildFramePage(std::string_view frameTemplate, const PageContext& ctx);
// "all-{Kinds}.html" for a non-empty module list; no page for an empty one.
Pages buildKindIndex(const CModuleList& list, const CProject& project, const PageContext& ctx);

}  // namespace tarnwick::modHtml
