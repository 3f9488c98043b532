// Fuzzes the page writers over a parsed module: the input is read as a
// module file (first byte: the kind), then every page of that module, its
// member pages, the index pages and the code page are written into a
// scratch folder. Nothing may be written outside it: the site lies two
// folders down ("a/b/site/"), and a page that climbed out of it would show
// up beside one of them, which aborts the run as a finding. The module's
// names are the project's own too, through the page-name table, and a page
// title holding markup (a name written unescaped) is a finding as well.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "generator/layout/PageFrame.h"
#include "generator/pages/ModulePages.h"
#include "generator/pages/SourcePage.h"
#include "generator/pages/modHtml.h"
#include "generator/run/SiteWriter.h"
#include "generator/site/PageContext.h"
#include "generator/site/PageNames.h"
#include "reader/CParser.h"
#include "support/CodePage.h"

namespace {

namespace fs = std::filesystem;

// Aborts when folder holds anything but the one entry named only.
void expectOnly(const fs::path& folder, const char* only) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (entry.path().filename() == only) continue;
        std::fprintf(stderr, "written outside the site: %s\n", entry.path().c_str());
        std::abort();
    }
}

// Aborts when a page lies deeper than one kind folder below the site.
void expectFlatSite(const fs::path& site) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(site, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it.depth() > 1) {
            std::fprintf(stderr, "page outside the folder layout: %s\n", it->path().c_str());
            std::abort();
        }
    }
}

// Aborts when a page's title holds markup: a title is made of names only,
// so a "<" there is a name that reached the page unescaped.
void expectPlainTitle(const tarnwick::Page& page) {
    const size_t open = page.text.bytes().find("<TITLE>");
    if (open == std::string::npos) return;
    const size_t close = page.text.bytes().find("</TITLE>", open);
    if (close == std::string::npos || page.text.bytes().find('<', open + 7) != close) {
        std::fprintf(stderr, "markup in the title of %s\n", page.path.c_str());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarnwick;
    if (size == 0) return 0;
    fuzz::clearScratch();
    const int kind = data[0] % 5 + 1;
    static const CodePage codePage;
    const std::string text =
        codePage.toUtf8(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));

    CollectingSink sink;
    CParser parser;
    parser.setDiagnostics(&sink);
    auto module = parser.readModuleText(text, kind, "fuzz.cls");
    if (!module) return 0;
    CProject project;
    if (auto* list = project.listOfKind(module->ModuleType())) list->Add(module);
    // The pages show the project's name; take it from the module, quotes and all.
    project.Properties().Add("Name", "\"" + module->Name() + "\"");

    PageContext ctx;
    const PageNames names(project, &sink);
    ctx.pageNames = &names;
    const std::string site = fuzz::scratchFolder() + "a/b/site/";
    fs::create_directories(site);
    SiteWriter writer(site, nullptr, "01/01/2026 00:00:00", 0, true);
    auto put = [&](PageBodies bodies) {
        for (const Page& page : framePages(std::move(bodies), ctx)) {
            expectPlainTitle(page);
            writer.write(page, ctx.codePage);
        }
    };
    ctx.settings = GenerationSettings::dialogDefaults();
    ctx.settings.Implementations = true;
    ctx.diagnostics = &sink;
    ctx.now = [] { return std::string("01/01/2026 00:00:00"); };
    try {
        PageBodies summaries;
        summaries.push_back(modHtml::buildProjectSummary(project, ctx));
        summaries.push_back(modHtml::buildModuleSummary(project, ctx));
        put(std::move(summaries));
        if (auto* list = project.listOfKind(module->ModuleType()))
            put(modHtml::buildKindIndex(*list, project, ctx));
        put(buildModulePages(*module, project, ctx));
    } catch (const PageWriteError&) {
        // A refused or failed page is a reported outcome, not a fault.
    }
    const fs::path scratch(fuzz::scratchFolder());
    expectOnly(scratch, "a");
    expectOnly(scratch / "a", "b");
    expectOnly(scratch / "a" / "b", "site");
    expectFlatSite(scratch / "a" / "b" / "site");
    return 0;
}
