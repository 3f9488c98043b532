// ReferencePages: what the pages show of the project's cross-references
// (CProject::crossReferences): the "Used by" and "Calls" sections of a
// member page, the modules a module uses and is used by, the links of the
// code page's lines, and the part of an incremental run's module key that
// the references make.
//
// Every link goes to a page the run writes (CrossLinks answers only those);
// without links (a preview) the sections are left out.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "generator/site/PageContext.h"
#include "model/CHelper.h"
#include "model/CModule.h"
#include "model/CProject.h"
#include "support/Html.h"

namespace tarnwick {

// A member page lists every caller; more than this many fold behind their
// count, which the reader opens.
inline constexpr size_t kCallersUnfolded = 20;

// The headings of the reference sections in the page's language, made once
// for all the member pages of a module: a library's members each list
// their callers from other projects.
struct ReferenceHeadings {
    explicit ReferenceHeadings(const CHelper& helper);
    Html usedBy;              // "<H3>Used by</H3>"
    std::string callerCount;  // "%1 callers", not yet escaped
    Html callerColumns;       // the table's head row
    Html calls;               // "<H3>Calls</H3>"
};

// "Used by" and "Calls" of the members of one page (a property's accessors
// together); empty when there are none or the context has no links.
// headings: null makes them for this page.
Html referenceSections(const std::vector<const Element*>& members, const CModule& module,
                       const CProject& project, const PageContext& ctx, const CHelper& helper,
                       const ReferenceHeadings* headings = nullptr);

// The modules whose code names this module's members, and those this
// module's code names, as two lines of links; empty when neither.
Html moduleReferenceSections(const CModule& module, const CProject& project, const PageContext& ctx,
                             const CHelper& helper);

// The links of a module's code page: for each linked name its 1-based line,
// the column and length, and its page (site-relative), in the order of the
// lines (the names of one line as the references give them). Only names
// whose page is written. Each page is named once: a module of a million
// references to a few members holds a few addresses, not a million; an
// address is as a link writes it ("../" and the page, percent-encoded).
struct LineLink {
    int32_t line = 0;
    int32_t column = 0;
    int32_t length = 0;
    uint32_t page = 0;  // index into CodeLinks::hrefs
};
struct CodeLinks {
    std::vector<std::string> hrefs;
    std::vector<LineLink> links;
};
CodeLinks codeLinks(const CModule& module, const CProject& project, const PageContext& ctx);

// What the module's pages show of references, as a hash: the references in
// its code and into its members, with the other side's names, lines and
// pages. A change in another module that changes these changes the key.
uint64_t referencesKey(const CModule& module, const CProject& project, const PageContext& ctx);

}  // namespace tarnwick
