// PageContext: what every page writer of a run needs besides the model.
//
// The run builds one and passes it by const reference; page builders never
// touch globals and write no file: they return their pages, and the run's
// SiteWriter puts them on disk.
//
// Threads: the run builds different modules' pages on worker threads, each
// with its own copy of the context whose `console` is that module's own line
// buffer, so a builder calls `console` on its own thread only. Everything
// else a builder reaches through the context (settings, translation, page
// names, cross-links, the model) is only read while pages are built and may
// be read from any thread. `diagnostics` belongs to the run's own thread
// (page names, the run's checks); no builder calls it.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "generator/settings/GenerationSettings.h"
#include "support/BuildInfo.h"
#include "support/CodePage.h"
#include "support/Diagnostics.h"
#include "support/Html.h"

namespace tarnwick {

struct ApiDiff;
class ClassNames;
class CrossLinks;
struct GroupSite;
class PageNames;
class CModule;
class ListItem;
class Translation;
class CHelper;

// A page that could not be written; names the file and the reason.
class PageWriteError : public std::runtime_error {
public:
    PageWriteError(std::string file, const std::string& reason)
        : std::runtime_error(file + ": " + reason), m_file(std::move(file)) {}
    const std::string& file() const { return m_file; }

private:
    std::string m_file;
};

// Where builders tell the one console line of a member page ("Create
// documentation for Class CParser"). Called on the thread that builds the
// page; the run gives each module's builder a sink of its own and hands the
// lines on in module order.
class ConsoleSink {
public:
    virtual ~ConsoleSink() = default;
    virtual void consoleLine(const std::string& line) { (void)line; }
};

// The name a browser knows for a code page: "cp1251" -> "windows-1251",
// "utf8" -> "UTF-8", "CP936" -> "GBK"; any other name as it is given.
std::string htmlCharsetName(std::string_view codePageName);

// The frames of the framed layout's frameset (Ressources/index.html) that a
// link in a page body may open in: the one that shows the pages and the one
// that lists the modules.
enum class LinkFrame : unsigned char { Detail, ModuleList };

struct PageContext {
    GenerationSettings settings;
    const Translation* translation = nullptr;  // not owned; null: every lookup gives its default
    std::string language = "Deutsch";          // translation section
    ConsoleSink* console = nullptr;            // not owned; may be null
    DiagnosticsSink* diagnostics = nullptr;    // not owned; may be null
    const CrossLinks* links = nullptr;         // not owned; may be null: classes link only
    const GroupSite* group = nullptr;          // not owned; null: a site of one project
    // not owned; may be null: every page then gets its wished name (a
    // preview, a module built apart from a project)
    const PageNames* pageNames = nullptr;
    // not owned; may be null: a data type's class is looked for one by one
    const ClassNames* classNames = nullptr;
    CodePage codePage;  // of the written pages
    // The project's name for page titles ("Add - ArrayList - CorLib"); empty:
    // titles name no project.
    std::string projectName;
    // The project's version for the modern header ("1.4.27"); empty: none shown.
    std::string projectVersion;
    // The plural kind words whose list pages the run writes ("Classes", ...),
    // for the modern layout's plain navigation list.
    std::vector<std::string> kindsWithPages;
    // What changed in the public interface since the version changesSince
    // names (not owned; outlives the pages); null: the site has no Changes page.
    const ApiDiff* changes = nullptr;
    std::string changesSince;
    std::string productName = "Tarnwick";
    std::string version = buildVersion();  // major.minor.revision
    std::string homepage = buildHomepage();
    std::string copyright = buildCopyright();
    // {now}: the timestamp text written into pages; taken afresh at each use.
    std::function<std::string()> now;

    std::string nowText() const { return now ? now() : std::string(); }
    // The line that declares the pages' encoding, for the head of every
    // page: <META http-equiv="Content-Type" content="text/html; charset=...">
    Html charsetMeta() const;
    // The stems of the pages of a module and of a member's page (PageNames).
    std::string moduleStem(const CModule& module) const;
    std::string memberStem(const CModule& module, const ListItem& member) const;
    // An author's text, on a page one folder down, through the sanitizer;
    // links naming the project's own pages lead to them, links into the site
    // that name none lose their address (with links; else kept as written).
    Html author(std::string_view text) const;
    // ' target="Detail"': the frame a body's link opens in. Only the framed
    // layout has frames; in the modern one a link opens in its own window.
    Html target(LinkFrame frame) const;
    bool modern() const { return settings.layout == PageLayout::Modern; }
    void consoleLine(const std::string& line) const {
        if (console) console->consoleLine(line);
    }
};

// The texts of the translation file are text, like a name: a user may give
// a file of their own, and a kind word or a heading holds no markup. Only
// the keys that isMarkupKey names carry markup ("<B>%1</B>"): their texts
// are markup written for the page.
//
// trText: the text of key (fallback when the file has none), escaped as
// element text. trMarkup: the text of a markup key as markup; the text of
// any other key is escaped, as trText does it, so a key that is not in the
// list can never bring markup in.
Html trText(const CHelper& helper, std::string_view key, std::string_view fallback = {});
Html trMarkup(const CHelper& helper, std::string_view key, std::string_view fallback = {});
// The footer's copyright line in the site's language ("FooterCopyright");
// the build's own line where the translation has none.
Html copyrightLine(const PageContext& ctx, const CHelper& helper);
// True for the keys whose translation texts carry markup.
bool isMarkupKey(std::string_view key);

}  // namespace tarnwick
