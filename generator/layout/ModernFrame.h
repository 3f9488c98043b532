// ModernFrame: the page frame of the modern layout.
//
// A page of the modern layout is a whole HTML5 page: a head with the
// encoding, the viewport and a title naming page, module and project; a
// header with the project's name and version, a search box and the colour
// scheme switch; a navigation column; breadcrumbs; the page body the
// content builders make (the same body the framed layout shows); a footer.
//
// The navigation tree is drawn from "nav-index.js" (NavIndex.h). Each page
// keeps a short plain list of links (start page, all files, the kind lists,
// all members) for readers without scripts.
//
// The page bodies were made for frames: their root pages aim links at the
// frames "Detail" and "ModuleList". finishPage removes those aims, so a
// link opens in the page's own window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "generator/site/PageContext.h"
#include "model/CModule.h"
#include "support/Html.h"

namespace tarnwick::modern {

// One step of the breadcrumbs: its text and the page it leads to
// (site-relative; empty for the page itself).
struct Crumb {
    std::string text;
    std::string path;
};

// What the frame of one page needs to know about it.
struct Frame {
    std::string root;  // from the page to the site's root: "" or "../"
    std::string title;
    std::vector<Crumb> crumbs;
    const CModule* module = nullptr;  // a module's page: its page tabs are shown
    std::string_view tab;             // that page's suffix: ".html", "_Uml.html", ...
};

// A page in the site's root; title says what it is ("All Files").
Frame rootFrame(std::string_view title, const PageContext& ctx);
// One of a module's pages; pageWord as modulePageHead takes it (empty for the overview).
Frame moduleFrame(const CModule& module, std::string_view pageWord, const PageContext& ctx);
// A member's page.
Frame memberFrame(const CModule& module, std::string_view memberName, const PageContext& ctx);

// Everything before the page body: head, header, navigation, breadcrumbs
// (and the module's page tabs), ending inside <main>.
Html pageHead(const Frame& frame, const PageContext& ctx);
// Everything after the page body: end of <main>, the footer, end of page.
Html pageTail(const PageContext& ctx);
// Removes the frame targets the shared bodies carry (see above).
std::string finishPage(std::string page);

}  // namespace tarnwick::modern
