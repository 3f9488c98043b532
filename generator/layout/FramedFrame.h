// FramedFrame: the page frame of the framed layout.
//
// The framed site is a frameset (Ressources/index.html): a list frame
// "ModuleList" on the left shows the root pages, the frame "Detail" shows
// the rest. A page of the layout is an HTML 4 page around its body: the
// root and member pages a plain head and body; a module's pages a table
// whose first row holds the navigation bar to the module's pages and its
// header block, the second the body, the third the footer.
#pragma once

#include "generator/pages/PageBody.h"
#include "generator/site/Page.h"
#include "generator/site/PageContext.h"
#include "model/CModule.h"
#include "support/Html.h"

namespace tarnwick::framed {

// The whole page of body.
Page framePage(PageBody body, const PageContext& ctx);

// Links to the module's pages (moduleTabs(), those the run writes) aimed
// at the Detail frame, ending in two "<BR>" lines.
Html buildNavigationBar(const CModule& module, const PageContext& ctx);
// The credit and copyright table under every module page.
Html buildFooter(const PageContext& ctx);

}  // namespace tarnwick::framed
