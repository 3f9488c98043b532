#include "generator/PageContext.h"

#include <cctype>

#include "generator/AuthorHtml.h"
#include "generator/CrossLinks.h"
#include "generator/PageNames.h"

namespace tarnwick {

std::string htmlCharsetName(std::string_view codePageName) {
    std::string key;
    for (char c : codePageName)
        if (c != '-' && c != '_' && c != ' ')
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (key.starts_with("windows") && key.size() == 11) return "windows-" + key.substr(7);
    if (key.starts_with("cp125") && key.size() == 6) return "windows-" + key.substr(2);
    if (key == "utf8") return "UTF-8";
    if (key == "gbk" || key == "cp936") return "GBK";
    if (key == "iso88591" || key == "latin1") return "ISO-8859-1";
    return std::string(codePageName);
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

}  // namespace tarnwick
