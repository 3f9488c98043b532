// PageFrame: the one place that picks a page's frame.
//
// Builders hand out page bodies (PageBody.h); the frame of the settings'
// layout (FramedFrame.h, ModernFrame.h) wraps each into the whole page the
// run writes and the workbench previews.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "generator/pages/PageBody.h"
#include "generator/site/Page.h"
#include "generator/site/PageContext.h"

namespace tarnwick {

// The whole page: body in the frame of ctx.settings.layout.
Page framePage(PageBody body, const PageContext& ctx);
Pages framePages(PageBodies bodies, const PageContext& ctx);

// A page's title in every layout, "Add - CAccount - Ledger": what the page
// is, its module and the project, leaving out the parts that are empty.
std::string pageTitle(const PageBody& body, const PageContext& ctx);

}  // namespace tarnwick
