// tarnwick dump PROJECT.vbp [--registry FILE] [--codepage NAME] [--translation FILE]
//                           [--language SECTION]
//                           [--define NAME=VALUE ...]
//
// Reads the project as the generator would (sorted lists included) and
// prints the model as one JSON object on stdout; warnings go to stderr.
// Exit status: 0 done, 1 the project cannot be read, 2 a usage error.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/ModelJson.h"
#include "cli/OptionHelp.h"
#include "model/Translation.h"
#include "reader/CParser.h"
#include "reader/modRegistry.h"
#include "support/CodePage.h"
#include "support/Diagnostics.h"
#include "support/Html.h"

namespace tarnwick::cli {

namespace {

class StderrSink : public DiagnosticsSink {
public:
    void report(const Diagnostic& diagnostic) override {
        printLine(std::cerr, "", diagnostic.toString());
    }
};

struct DumpOptions {
    std::string project;
    std::string registry;
    std::string codePage = "windows-1252";
    std::string translation;
    std::string language;  // empty: the user's locale
    std::vector<std::string> defines;
};

// The registry lookup's failure texts of the libraries in the dump's language,
// as the pages show them.
void translateLibraryTexts(CProject& project, const Translation& translation,
                           const std::string& language) {
    for (CModuleList* list : {&project.References(), &project.Objects()}) {
        for (const auto& library : list->elements()) {
            for (const auto& [text, key] :
                 {std::pair{modRegistry::kOpenFailed, "RegistryOpenFailed"},
                  {modRegistry::kReadFailed, "RegistryReadFailed"}}) {
                if (library->Description() == text)
                    library->setDescription(translation.lookup(language, key, text));
                if (library->Path() == text)
                    library->setPath(translation.lookup(language, key, text));
            }
        }
    }
}

int runDump(const DumpOptions& options) {
    auto codePage = CodePage::open(options.codePage);
    if (!codePage) {
        printLine(std::cerr, "tarnwick dump: unknown code page: ", options.codePage);
        return 2;
    }
    auto defines = readDefines(options.defines);
    if (!defines) {
        printLine(std::cerr, "tarnwick dump: ", defines.error().message);
        return 2;
    }
    StderrSink sink;
    std::string problem;
    const bool bundled = options.translation.empty();
    const Translation translation =
        Translation::load(bundled ? Translation::defaultPath() : options.translation,
                          bundled ? CodePage() : codePage.value(), &problem);
    if (!bundled && !translation.loaded())
        sink.warning(options.translation, 0, "the translation file cannot be read: " + problem);
    const std::string language =
        !options.language.empty()
            ? options.language
            : Translation::languageForLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                             std::getenv("LANG"));
    if (translation.loaded() && !options.language.empty()) {
        if (const Status known = translation.checkLanguage(language); !known) {
            printLine(std::cerr, "tarnwick dump: --language: ", known.error().message);
            return 2;
        }
    }

    auto registry = std::make_shared<const RegistrySource>(
        RegistrySource::fromLocation(registryFromEnvironment(options.registry), &sink));

    CParser parser;
    parser.setPath(options.project);
    parser.setCodePage(codePage.value());
    parser.setDiagnostics(&sink);
    parser.setRegistry(registry);
    parser.setDefines(std::move(defines).value());
    auto project = parser.Parse();
    if (!project) {
        printLine(std::cerr, "tarnwick dump: ", project.error().message);
        return 1;
    }
    // The reader leaves Path to its caller, as the workbench's tree sets it
    // after opening a project; the dump shows the file it read.
    project.value()->setPath(
        std::filesystem::absolute(options.project).lexically_normal().string());
    translateLibraryTexts(*project.value(), translation, language);
    writeProjectJson(std::cout, *project.value());
    std::cout << '\n';
    return 0;
}

}  // namespace

void registerDumpCommand(CommandLine& app, int& status) {
    auto options = std::make_shared<DumpOptions>();
    Command* dump = app.add_subcommand("dump", "Print the parsed project as JSON");
    dump->add_option("PROJECT", options->project, kProjectHelp)->required();
    dump->add_option("--registry", options->registry, kRegistryHelp);
    dump->add_option("--codepage", options->codePage, kCodePageHelp);
    dump->add_option("--translation", options->translation, kTranslationHelp);
    dump->add_option("--language", options->language,
                     languageHelp("The translation section of the registry texts"));
    dump->add_option("--define", options->defines, kDefineHelp)->allow_extra_args(false);
    // status outlives the app: main owns both and parses within its lifetime.
    dump->callback([options, &status] { status = runDump(*options); });
}

}  // namespace tarnwick::cli
