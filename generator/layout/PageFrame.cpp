#include "generator/layout/PageFrame.h"

#include "generator/layout/FramedFrame.h"
#include "generator/layout/ModernFrame.h"

namespace tarnwick {

Page framePage(PageBody body, const PageContext& ctx) {
    switch (ctx.settings.layout) {
        case PageLayout::Modern:
            return modern::framePage(std::move(body), ctx);
        case PageLayout::Frames:
            break;
    }
    return framed::framePage(std::move(body), ctx);
}

Pages framePages(PageBodies bodies, const PageContext& ctx) {
    Pages pages;
    pages.reserve(bodies.size());
    for (PageBody& body : bodies) pages.push_back(framePage(std::move(body), ctx));
    return pages;
}

std::string pageTitle(const PageBody& body, const PageContext& ctx) {
    const std::string_view module = body.module ? std::string_view(body.module->Name()) : "";
    std::string title;
    for (const std::string_view part :
         {std::string_view(body.title), module, std::string_view(ctx.projectName)}) {
        if (part.empty()) continue;
        if (!title.empty()) title += " - ";
        title += part;
    }
    return title;
}

}  // namespace tarnwick
