// Fuzzes the project file reader: the input is a .vbp file, parsed with the
// module files it names looked up in a scratch folder that holds one small
// class module and one standard module. The project's own pages (project
// summary, module summary, the kind lists), which show its settings and
// libraries, are written into the scratch folder.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "fuzz/FuzzSupport.h"
#include "generator/layout/PageFrame.h"
#include "generator/pages/modHtml.h"
#include "generator/run/SiteWriter.h"
#include "generator/site/PageContext.h"
#include "reader/CParser.h"
#include "reader/modRegistry.h"

namespace {

const char kClass[] =
    "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\n"
    "Attribute VB_Name = \"CThing\"\r\n' A thing.\r\nPublic Function Size(ByVal a As Long) As "
    "Long\r\n"
    "End Function\r\n";
const char kModule[] = "Attribute VB_Name = \"modThing\"\r\nPublic Const Answer = 42\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarnwick;
    fuzz::clearScratch();
    fuzz::writeScratchFile("CThing.cls", reinterpret_cast<const uint8_t*>(kClass),
                           sizeof kClass - 1);
    fuzz::writeScratchFile("modThing.bas", reinterpret_cast<const uint8_t*>(kModule),
                           sizeof kModule - 1);
    fuzz::writeScratchFile("project.vbp", data, size);

    static const auto registry =
        std::make_shared<const RegistrySource>(RegistrySource::fromFiles({}, nullptr));
    CollectingSink sink;
    CParser parser;
    parser.setPath(fuzz::scratchFolder() + "project.vbp");
    parser.setDiagnostics(&sink);
    parser.setRegistry(registry);
    auto project = parser.Parse();
    if (!project) return 0;

    PageContext ctx;
    ctx.settings = GenerationSettings::dialogDefaults();
    ctx.diagnostics = &sink;
    ctx.now = [] { return std::string("01/01/2026 00:00:00"); };
    std::error_code ec;
    std::filesystem::create_directories(fuzz::scratchFolder() + "site/", ec);
    SiteWriter writer(fuzz::scratchFolder() + "site/", nullptr, "01/01/2026 00:00:00", 0, true);
    auto put = [&](PageBodies bodies) {
        for (const Page& page : framePages(std::move(bodies), ctx))
            writer.write(page, ctx.codePage);
    };
    CProject& p = *project.value();
    try {
        PageBodies summaries;
        summaries.push_back(modHtml::buildProjectSummary(p, ctx));
        summaries.push_back(modHtml::buildModuleSummary(p, ctx));
        put(std::move(summaries));
        put(modHtml::buildKindIndex(p.Classes(), p, ctx));
        put(modHtml::buildKindIndex(p.Modules(), p, ctx));
        put(modHtml::buildKindIndex(p.Forms(), p, ctx));
    } catch (const PageWriteError&) {
        // A refused or failed page is a reported outcome, not a fault.
    }
    return 0;
}
