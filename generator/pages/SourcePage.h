// SourcePage: the source code page of a module and the code tables shared
// with the member pages.
//
// A code table shows a text as zero-padded line numbers beside the
// syntax-coloured code (modVBtoHTML); trailing blank lines are left out,
// "&", "<" and ">" are written as character references (codeText), and
// leading blanks become "&nbsp;" so the indentation survives. Every builder is linear in
// the size of its text.
#pragma once

#include <string>
#include <string_view>

#include "generator/pages/PageBody.h"
#include "generator/pages/ReferencePages.h"
#include "generator/site/PageContext.h"
#include "model/CModule.h"
#include "model/CProject.h"
#include "support/Html.h"

namespace tarnwick {

// The table of text. numbered: line numbers on the left, and the id on the
// inner code table; otherwise the id is on the outer table. Always at least
// one row, even for an empty text. With links (a module's code page), each
// row is an anchor "L{line}", and the names links gives (by line, columns in
// the untrimmed line) link to their pages (site-relative, the table sits one
// folder down).
Html sourceTable(std::string_view text, std::string_view id, bool numbered,
                 const CodeLinks* links = nullptr);

// One line of code (blanks already trimmed) escaped, coloured and followed
// by "<BR>". A text of several CR LF lines gives one "<BR>" line per line,
// each line's leading blanks written as "&nbsp;".
Html buildCodeLine(std::string_view line);

// The body of "{Kinds}/{safe module name}_Code.html": when the module has
// any source, a "Source" heading and the numbered code table.
PageBody buildCodePage(const CModule& module, const CProject& project, const PageContext& ctx);

}  // namespace tarnwick
