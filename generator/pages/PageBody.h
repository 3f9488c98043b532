// PageBody: a page as a builder hands it out, before a layout frames it.
//
// A builder makes what a page shows and says what a frame needs to know
// about it: where it lies, which kind of page it is (in the site's root,
// one of a module's pages, a member's page), what it is called, its module
// and which of the module's tabs it is. A frame per layout
// (generator/layout/) wraps the body into the whole page: head, navigation,
// breadcrumbs, footer. No builder knows the layout; no frame edits a body.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/CModule.h"
#include "support/Html.h"

namespace tarnwick {

enum class PageKind : unsigned char { Root, Module, Member };

struct PageBody {
    std::string path;  // site-relative, as the written page's ("Classes/CAccount_Uml.html")
    PageKind kind = PageKind::Root;
    // What the page is, first in its title: a root page's name ("All
    // Files"), a module page's word ("UML-Model"; empty for the overview),
    // a member's name.
    std::string title;
    // Module and member pages: their module (not owned; the model outlives the body).
    const CModule* module = nullptr;
    // Module pages: the page's suffix among moduleTabs() (".html", "_Uml.html", ...).
    std::string_view tab;
    // Module pages: the header block (name, kind, timestamp, attributes),
    // which each layout places above the body in its own way.
    Html header;
    Html body;
};

using PageBodies = std::vector<PageBody>;

}  // namespace tarnwick
