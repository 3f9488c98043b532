// The pages in the site's root folder: project summary, module summary and
// one list page per module kind.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "generator/analysis/ApiReport.h"
#include "generator/analysis/Coverage.h"
#include "generator/pages/ChangesPage.h"
#include "generator/pages/SearchPages.h"
#include "generator/pages/modHtml.h"
#include "generator/pages/modHtmlDetail.h"
#include "generator/site/AuthorHtml.h"
#include "generator/site/GroupSite.h"
#include "generator/site/Listing.h"
#include "generator/site/SiteIndex.h"
#include "model/CHelper.h"
#include "reader/modRegistry.h"
#include "support/Html.h"
#include "support/Text.h"

namespace tarnwick::modHtml {

namespace {

// "<A href="Classes/CParser.html" target="Detail">CParser</A><BR>"
Html moduleLinkLine(const CModule& module, const CHelper& helper, const PageContext& ctx) {
    return "<A href=\"" +
           url(helper.getModulesType(module) + "/" + detail::moduleFileName(module, ctx)) +
           ".html\"" + ctx.target(LinkFrame::Detail) + ">" + escaped(module.Name()) + "</A><BR>";
}

// A library's description, or the registry lookup's failure in the site's language.
Html libraryText(const std::string& description, const CHelper& helper) {
    if (description == modRegistry::kOpenFailed)
        return trText(helper, "RegistryOpenFailed", description);
    if (description == modRegistry::kReadFailed)
        return trText(helper, "RegistryReadFailed", description);
    // A registry's help string is text like any other name or value read in.
    return escaped(description);
}

void appendLibraryTable(HtmlBuffer& page, const CModuleList& list, const char* heading,
                        const CHelper& helper, const PageContext& ctx) {
    page.AppendLn("<H3>" + trText(helper, heading) + "</H3>");
    page.AppendLn("<P>");
    page.AppendLn("<TABLE cellspacing=\"0\" class=\"summary\">");
    page.AppendLn("<TR>");
    page.Append("<TH width=\"25%\">&nbsp;");
    page.Append(trText(helper, "FileName"));
    page.Append("&nbsp;</TH>");
    page.Append("<TH width=\"1px\">&nbsp;");
    page.Append(trText(helper, "Version"));
    page.Append("&nbsp;</TH>");
    page.Append("<TH width=\"100%\">&nbsp;");
    page.Append(trText(helper, "Description"));
    page.Append("&nbsp;</TH>");
    page.AppendLn("</TR>");
    for (const auto& library : list.elements()) {
        page.Append("<TR>");
        page.Append("<TD><NOBR> ");
        // A reference to a project of the group leads to its pages; a
        // framed one's start page is a frameset of its own.
        const std::string project =
            ctx.group ? ctx.group->projectPage(library->Name()) : std::string();
        if (!project.empty()) {
            page.Append("<A href=\"" + url(project) + "\"");
            if (ctx.settings.layout == PageLayout::Frames)
                page.Append(" target=\"_top\">");
            else
                page.Append(">");
        }
        page.Append(escaped(library->Name()));
        if (!project.empty()) page.Append("</A>");
        page.Append(" </NOBR></TD><TD><NOBR> ");
        page.Append(escaped(library->Version()));
        page.Append(" </NOBR></TD><TD><NOBR> ");
        page.Append(libraryText(library->Description(), helper));
        page.Append(" </NOBR></TD>");
        page.Append("</TR>");
    }
    page.AppendLn("   </TABLE>");
    page.AppendLn("</P>");
}

// The project file's version compatibility (CompatibleMode 0, 1 or 2), for
// an ActiveX project or one that sets it: "Binary compatibility with
// ..\bin\Ledger.dll"; empty for an Exe that sets none.
Html compatibilityText(const CProject& project, const CHelper& helper) {
    const std::string mode = project.value("CompatibleMode");
    if (!isActiveXType(project.value("Type")) && (mode.empty() || mode == "0")) return {};
    if (mode == "1") return trText(helper, "CompatibilityProject", "Project compatibility");
    if (mode != "2") return trText(helper, "CompatibilityNone", "No compatibility");
    Html text = trText(helper, "CompatibilityBinary", "Binary compatibility");
    if (const std::string file = project.value("CompatibleEXE32"); !file.empty())
        text += " " + trText(helper, "CompatibilityWith", "with") + " " + escaped(file);
    if (project.value("VersionCompatible32") == "1")
        text += " (" + trText(helper, "CompatibilityVersion", "version compatible") + ")";
    return text;
}

// What the project file says about the project: name, title, version,
// company, copyright, file description, comments and description, each
// where the file gives it.
void appendProjectFacts(HtmlBuffer& page, const CProject& project, const CHelper& helper,
                        const GenerationSettings& settings) {
    const std::string version = project.version();
    // The share of the members this site documents that have a description,
    // as `check --coverage` counts it.
    const CoverageReport coverage = checkCoverage(project, settings);
    const int counted = coverage.documented() + coverage.undocumented();
    const std::string documented = counted == 0
                                       ? std::string()
                                       : std::to_string(coverage.documented() * 100 / counted) +
                                             " % (" + std::to_string(coverage.documented()) +
                                             " / " + std::to_string(counted) + ")";
    const std::pair<const char*, std::string> facts[] = {
        {"ProjectName", project.value("Name")},
        {"ProjectTitle", project.value("Title")},
        {"Version", version},
        {"ProjectCompany", project.value("VersionCompanyName")},
        {"ProjectCopyright", project.value("VersionLegalCopyright")},
        {"ProjectFileDescription", project.value("VersionFileDescription")},
        {"ProjectComments", project.value("VersionComments")},
        {"ProjectDocumented", documented}};
    bool any = false;
    auto row = [&](const char* key, const Html& value) {
        if (!any) page.AppendLn("<TABLE cellspacing=\"0\" class=\"summary\" id=\"projectFacts\">");
        any = true;
        page.AppendLn("<TR><TH width=\"1px\"><NOBR>&nbsp;" + trText(helper, key) +
                      "&nbsp;</NOBR></TH><TD width=\"100%\">&nbsp;" + value + "</TD></TR>");
    };
    for (const auto& [key, value] : facts)
        if (!value.empty()) row(key, escaped(value));
    if (const Html compatibility = compatibilityText(project, helper); !compatibility.empty())
        row("ProjectCompatibility", compatibility);
    if (any) page.AppendLn("</TABLE>");
    // The project file's own text, not an author's comment: shown as text.
    if (const std::string description = project.value("Description"); !description.empty())
        page.AppendLn("<P class=\"projectDescription\">" + escaped(description) + "</P>");
}

}  // namespace

PageBody buildProjectSummary(const CProject& project, const PageContext& ctx) {
    const CHelper helper(ctx.translation, ctx.language);
    HtmlBuffer page;
    page.AppendLn("<H3>" + trText(helper, "Project") + "</H3>");
    appendProjectFacts(page, project, helper, ctx.settings);
    if (ctx.changes)
        page.AppendLn("<P class=\"changesLink\"><A href=\"" + url(kChangesPage) + "\">" +
                      trText(helper, "ChangesSince", "Changes since") + " " +
                      escaped(ctx.changesSince) + "</A></P>");
    if (ctx.settings.Libraries) {
        // A project without controls (or references) has no table for them.
        if (!project.References().elements().empty())
            appendLibraryTable(page, project.References(), "References", helper, ctx);
        if (!project.Objects().elements().empty())
            appendLibraryTable(page, project.Objects(), "Objects", helper, ctx);
    }
    return detail::rootPage("project-summary.html", helper.Translate("Project"), page);
}

namespace {

struct KindList {
    const CModuleList* list;
    bool on;
    const char* kinds;  // plural kind word: folder and "all-{kinds}.html"
    const char* icon;   // the kind's icon under src/images
};

// The module kinds in the order of the lists on the summary pages.
std::vector<KindList> kindLists(const CProject& project, const GenerationSettings& s) {
    static constexpr ModuleKind kOrder[] = {ModuleKind::Class,       ModuleKind::Form,
                                            ModuleKind::Module,      ModuleKind::PropertyPage,
                                            ModuleKind::UserControl, ModuleKind::UserDocument,
                                            ModuleKind::Designer};
    std::vector<KindList> lists;
    for (const ModuleKind kind : kOrder) {
        const ModuleKindTraits& traits = kindTraits(kind);
        lists.push_back(
            {project.listOfKind(kind), kindSwitchedOn(kind, s), traits.listName, traits.iconStem});
    }
    return lists;
}

// The link to the A-Z page of all members, shown in the Detail frame.
Html memberIndexLink(const CHelper& helper, const PageContext& ctx) {
    return "<A href=\"all-members.html\"" + ctx.target(LinkFrame::Detail) + ">" +
           trText(helper, "AllMembers", "All members") + "</A><BR>";
}

// The top of the two pages of the list frame: the search box, the
// "Overview" heading and the start of the bold link block.
void appendListFrameHead(HtmlBuffer& page, const CHelper& helper, const PageContext& ctx) {
    page.AppendLn(searchBox(ctx));
    page.AppendLn("<H3>" + trText(helper, "Overview") + "</H3>");
    page.AppendLn("<P>");
    page.AppendLn("<B>");
}

// A kind whose list page and module pages the run writes.
bool written(const KindList& kind) { return kind.on && kind.list->Size() >= 0; }

}  // namespace

PageBody buildModuleSummary(const CProject& project, const PageContext& ctx) {
    const CHelper helper(ctx.translation, ctx.language);
    HtmlBuffer page;
    appendListFrameHead(page, helper, ctx);
    page.Append(groupProjectList(ctx));
    page.AppendLn("<A href=\"all-summary.html\"" + ctx.target(LinkFrame::ModuleList) + ">" +
                  trText(helper, "Overview") + "</A><BR>");
    page.AppendLn(memberIndexLink(helper, ctx));

    // Only the kinds whose pages this run writes: a link to a page that is
    // not there would lead nowhere.
    CModuleList all;
    for (const KindList& kind : kindLists(project, ctx.settings)) {
        if (!written(kind)) continue;
        const std::string key = std::string("All") + kind.kinds;
        page.AppendLn("<A href=\"all-" + url(kind.kinds) + ".html\"" +
                      ctx.target(LinkFrame::ModuleList) + ">" +
                      trText(helper, key, "All " + std::string(kind.kinds)) + " (" +
                      number(kind.list->Size() + 1) + ")</A><BR>");
        for (const auto& module : kind.list->elements()) all.Add(module);
    }
    page.AppendLn("</B>");
    page.AppendLn("</P>");
    page.AppendLn("<H3>" + trText(helper, "AllFiles", "All Files") + "</H3>");
    page.AppendLn("<P>");
    helper.sortIterator(all);
    for (const auto& module : all.elements()) page.AppendLn(moduleLinkLine(*module, helper, ctx));
    page.AppendLn("</P>");
    return detail::rootPage("module-summary.html", helper.Translate("AllFiles", "All Files"), page);
}

PageBody buildOverviewPage(const CProject& project, const PageContext& ctx) {
    const CHelper helper(ctx.translation, ctx.language);
    HtmlBuffer page;
    appendListFrameHead(page, helper, ctx);
    page.AppendLn("<A href=\"project-summary.html\"" + ctx.target(LinkFrame::Detail) +
                  "><IMG class=\"kind\" src=\"src/images/tree/project.ico\" alt=\"\">&nbsp;" +
                  trText(helper, "Project") + "</A><BR>");
    page.AppendLn("<A href=\"module-summary.html\"" + ctx.target(LinkFrame::ModuleList) + ">" +
                  trText(helper, "AllFiles", "All Files") + "</A><BR>");
    page.AppendLn(memberIndexLink(helper, ctx));
    page.AppendLn("</B>");
    page.AppendLn("</P>");
    page.AppendLn("<H3>" + trText(helper, "ModulesByKind", "Modules by kind") + "</H3>");
    page.AppendLn("<P>");
    for (const KindList& kind : kindLists(project, ctx.settings)) {
        if (!written(kind)) continue;
        page.AppendLn("<A href=\"all-" + url(kind.kinds) + ".html\"" +
                      ctx.target(LinkFrame::ModuleList) + "><IMG class=\"kind\" src=\"src/images/" +
                      url(kind.icon) + ".ico\" alt=\"\">&nbsp;" + trText(helper, kind.kinds) +
                      "</A><BR>");
    }
    page.AppendLn("</P>");
    return detail::rootPage("all-summary.html", helper.Translate("Overview"), page);
}

namespace {

// text with each "%1", "%2" replaced by the markup of links[0], links[1];
// the rest escaped.
Html withLinks(std::string_view text, const std::vector<Html>& links) {
    Html out;
    size_t from = 0;
    for (size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%', at + 1)) {
        const size_t n =
            at + 1 < text.size() ? static_cast<size_t>(text[at + 1] - '1') : links.size();
        if (n >= links.size()) continue;
        out = out + escaped(text.substr(from, at - from)) + links[n];
        from = at + 2;
        at = from - 1;
    }
    return out + escaped(text.substr(from));
}

// The frameset's texts in the site's language: the frames' titles and what
// a browser without frames shows. A template of the user's own that says
// otherwise keeps its words.
void translateFrameTexts(std::string& page, const PageContext& ctx) {
    const CHelper helper(ctx.translation, ctx.language);
    const auto swap = [&](std::string_view from, const Html& to) {
        if (const size_t at = page.find(from); at != std::string::npos)
            page.replace(at, from.size(), to.str());
    };
    swap("title=\"Modules\"",
         "title=\"" + attribute(helper.Translate("FrameModules", "Modules")) + "\"");
    swap("title=\"Documentation\"",
         "title=\"" + attribute(helper.Translate("FrameDocumentation", "Documentation")) + "\"");
    const size_t noFrames = toLower(page).find("<noframes>");
    const size_t open = page.find("<P>", noFrames == std::string::npos ? page.size() : noFrames);
    const size_t close = page.find("</P>", open == std::string::npos ? page.size() : open);
    if (close == std::string::npos) return;
    const Html text =
        withLinks(helper.Translate("NoFramesText",
                                   "This documentation is laid out in two frames. Start "
                                   "with the %1 or the %2."),
                  {"<A href=\"module-summary.html\">" +
                       trText(helper, "NoFramesModules", "list of modules") + "</A>",
                   "<A href=\"project-summary.html\">" +
                       trText(helper, "NoFramesProject", "project summary") + "</A>"});
    page.replace(open + 3, close - open - 3, text.str());
}

}  // namespace

Page buildFramePage(std::string_view frameTemplate, const PageContext& ctx) {
    // The resource's own encoding declaration gives way to the pages' one,
    // its title to the project's name.
    std::string page(frameTemplate);
    const size_t title = toLower(page).find("<title>");
    const size_t titleEnd = toLower(page).find("</title>");
    if (!ctx.projectName.empty() && title != std::string::npos && titleEnd > title)
        page.replace(title + 7, titleEnd - title - 7, escaped(ctx.projectName).str());
    const size_t meta = toLower(page).find("<meta http-equiv=\"content-type\"");
    if (meta != std::string::npos) {
        const size_t end = page.find('>', meta);
        page.replace(meta, end == std::string::npos ? std::string::npos : end + 1 - meta,
                     ctx.charsetMeta().str());
    } else {
        const size_t head = toLower(page).find("<head>");
        const size_t at = head == std::string::npos ? 0 : head + 6;
        page.insert(at, "\r\n" + ctx.charsetMeta().str());
    }
    translateFrameTexts(page, ctx);
    // The frameset speaks the site's language.
    const size_t html = toLower(page).find("<html>");
    if (html != std::string::npos) {
        const CHelper helper(ctx.translation, ctx.language);
        page.insert(html + 5,
                    " lang=\"" + attribute(helper.Translate("LanguageCode", "en")).str() + "\"");
    }
    // The template is a resource of ours: its markup is markup.
    return {"index.html", Html::trusted(std::move(page))};
}

PageBodies buildKindIndex(const CModuleList& list, const CProject& /*project*/,
                          const PageContext& ctx) {
    if (list.Size() < 0) return {};
    const CHelper helper(ctx.translation, ctx.language);
    const std::string kinds = helper.getModulesType(*list.elements().front());
    HtmlBuffer page;
    page.AppendLn("<H3>" + trText(helper, "All" + kinds, "All " + kinds) + "</H3>");
    page.AppendLn("<P>");
    for (const auto& module : list.elements()) page.AppendLn(moduleLinkLine(*module, helper, ctx));
    page.AppendLn("</P>");
    PageBodies pages;
    pages.push_back(detail::rootPage("all-" + kinds + ".html",
                                     helper.Translate("All" + kinds, "All " + kinds), page));
    return pages;
}

}  // namespace tarnwick::modHtml
