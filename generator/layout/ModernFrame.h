// ModernFrame: the page frame of the modern layout.
//
// A page of the modern layout is a whole HTML5 page: a head with the
// encoding, the viewport and a title naming page, module and project; a
// header with the project's name and version, a search box and the colour
// scheme switch; a navigation column; breadcrumbs (and on a module's pages
// its tabs and header block); the page body; a footer.
//
// The navigation tree is drawn from "nav-index.js" (NavIndex.h). Each page
// keeps a short plain list of links (start page, all files, the kind lists,
// all members) for readers without scripts.
#pragma once

#include "generator/pages/PageBody.h"
#include "generator/site/Page.h"
#include "generator/site/PageContext.h"

namespace tarnwick::modern {

// The whole page of body.
Page framePage(PageBody body, const PageContext& ctx);

}  // namespace tarnwick::modern
