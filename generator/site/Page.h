// Page: one page of the site as a page builder hands it out.
//
// path is site-relative with '/' between its components ("Classes/CParser.html");
// text is the page as its builder made it: markup (Html) or a script
// (Script), in UTF-8. Builders return pages and touch no file; only the
// reader of the finished page (the run's SiteWriter, which puts it on disk
// in the pages' encoding, or a preview) turns it into bytes.
#pragma once

#include <string>
#include <vector>

#include "support/Escape.h"

namespace tarnwick {

// A page's text, typed by what made it; empty for none.
class PageText {
public:
    PageText() = default;
    PageText(Html markup) : m_bytes(markup.take()) {}    // NOLINT: implicit by design
    PageText(Script script) : m_bytes(script.take()) {}  // NOLINT: implicit by design

    // The page's UTF-8 bytes, for the writer and a preview.
    const std::string& bytes() const { return m_bytes; }
    std::string takeBytes() { return std::move(m_bytes); }

private:
    std::string m_bytes;
};

struct Page {
    std::string path;
    PageText text;
};

using Pages = std::vector<Page>;

}  // namespace tarnwick
