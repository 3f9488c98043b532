// Fuzzes the page writers over a parsed module: the input is read as a
// module file (first byte: the kind), then every page of that module, its
// member pages, the index pages and the code page are written into a
// scratch folder. Nothing may be written outside it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "generator/ModulePages.h"
#include "generator/PageContext.h"
#include "generator/SourcePage.h"
#include "generator/modHtml.h"
#include "reader/CParser.h"
#include "support/CodePage.h"

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

    PageContext ctx;
    ctx.outputFolder = fuzz::scratchFolder() + "site/";
    ctx.settings = GenerationSettings::dialogDefaults();
    ctx.settings.Implementations = true;
    ctx.diagnostics = &sink;
    ctx.now = [] { return std::string("01/01/2026 00:00:00"); };
    try {
        modHtml::writeProjectSummary(project, ctx);
        modHtml::writeModuleSummary(project, ctx);
        if (auto* list = project.listOfKind(module->ModuleType()))
            modHtml::writeKindIndex(*list, project, ctx);
        writeModulePage(*module, project, ctx);
        writeUmlPage(*module, project, ctx);
        writeObjectModelPage(*module, project, ctx);
        writeCodePage(*module, project, ctx);
    } catch (const PageWriteError&) {
        // A refused or failed page is a reported outcome, not a fault.
    }
    return 0;
}
