#include "generator/site/PageContext.h"

#include "generator/site/AuthorHtml.h"
#include "generator/site/CrossLinks.h"
#include "generator/site/PageNames.h"
#include "model/CHelper.h"
#include "support/PageEncoding.h"
#include "support/Text.h"

namespace tarnwick {

std::string htmlCharsetName(std::string_view codePageName) {
    return pageCharsetName(codePageName).value_or(std::string(codePageName));
}

Html PageContext::charsetMeta() const {
    return "<META http-equiv=\"Content-Type\" content=\"text/html; charset=" +
           attribute(htmlCharsetName(codePage.name())) + "\">";
}

std::string PageContext::moduleStem(const CModule& module) const {
    return PageNames::moduleStem(pageNames, module);
}

std::string PageContext::memberStem(const CModule& module, const ListItem& member) const {
    return PageNames::memberStem(pageNames, module, member);
}

Html PageContext::author(std::string_view text) const {
    if (!links) return authorHtml(text);
    return authorHtml(text, [&](std::string_view address) {
        const std::string page = links->authorPage(address);
        return page.empty() ? page : "../" + page;
    });
}

Html PageContext::target(LinkFrame frame) const {
    if (settings.layout != PageLayout::Frames) return {};
    return frame == LinkFrame::Detail ? Html(" target=\"Detail\"") : Html(" target=\"ModuleList\"");
}

namespace {

// The keys whose texts carry markup: the sentences above a member's parts
// and parameter tables, whose name stands in bold ("<B>%1</B>").
constexpr std::string_view kMarkupKeys[] = {"ElementParts", "SyntaxParts"};

}  // namespace

bool isMarkupKey(std::string_view key) {
    for (const std::string_view markupKey : kMarkupKeys)
        if (equalsIgnoreCase(key, markupKey)) return true;
    return false;
}

Html trText(const CHelper& helper, std::string_view key, std::string_view fallback) {
    return escaped(helper.Translate(key, fallback));
}

Html trMarkup(const CHelper& helper, std::string_view key, std::string_view fallback) {
    if (!isMarkupKey(key)) return trText(helper, key, fallback);
    return Html::trusted(helper.Translate(key, fallback));
}

Html copyrightLine(const PageContext& ctx, const CHelper& helper) {
    return trText(helper, "FooterCopyright", ctx.copyright);
}

}  // namespace tarnwick
