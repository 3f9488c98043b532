// Page: one page of the site as a page builder hands it out.
//
// path is site-relative with '/' between its components ("Classes/CParser.html");
// text is the page in UTF-8. Builders return pages and touch no file; the
// run's SiteWriter puts them on disk in the pages' encoding.
#pragma once

#include <string>
#include <vector>

namespace tarnwick {

struct Page {
    std::string path;
    std::string text;
};

using Pages = std::vector<Page>;

}  // namespace tarnwick
