// ChangesPage: "changes.html", what changed in the project's public
// interface since an earlier version (generate --since OLD), each change
// with its verdict for binary compatibility and a link to the page of what
// changed, where the site has one.
#pragma once

#include <string>

#include "generator/pages/PageBody.h"

namespace tarnwick {

class CModule;
class CProject;
class Element;
struct ApiDiff;
struct PageContext;

inline constexpr const char* kChangesPage = "changes.html";

// The page's body; since names the earlier version as the user gave it.
PageBody buildChangesPage(const CProject& project, const ApiDiff& diff, const std::string& since,
                          const PageContext& ctx);

// Where the site compares with an earlier version, the mark after a member's
// name in its module's summary table and on its page:
// ' <SPAN class="changeMark">New</SPAN>' or
// ' <SPAN class="changeMark">Changed: argument 'Value' added</SPAN>';
// empty for a member that did not change and in a site without --since.
Html changeMark(const CModule& module, const Element& member, const PageContext& ctx);

}  // namespace tarnwick
