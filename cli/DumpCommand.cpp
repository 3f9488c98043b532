// tarnwick dump PROJECT.vbp [--registry FILE] [--codepage NAME] [--translation FILE]
//                           [--language SECTION]
//                           [--define NAME=VALUE ...]
//
// Reads the project as the generator would (sorted lists included) and
// prints the model as one JSON object on stdout; warnings go to stderr.
// A group file (.vbg) prints one object with each project's model and the
// references across projects (dumpGroup).
// Exit status: 0 done, 1 the project (or one of the group's) cannot be
// read, 2 a usage error.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/ModelJson.h"
#include "cli/OptionHelp.h"
#include "model/Translation.h"
#include "reader/CParser.h"
#include "reader/GroupFile.h"
#include "reader/GroupUses.h"
#include "reader/modRegistry.h"
#include "support/CodePage.h"
#include "support/Diagnostics.h"
#include "support/Html.h"

namespace tarnwick::cli {

namespace {

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

// What every project of a dump is read with.
struct ReadInputs {
    CodePage codePage;
    CondConstants defines;
    std::shared_ptr<const RegistrySource> registry;
    const Translation& translation;  // the caller's, alive while the dump runs
    std::string language;
};

// Prints the project at path as JSON; false after telling why it cannot be read.
bool dumpProject(const std::string& path, const ReadInputs& inputs, DiagnosticsSink& sink) {
    CParser parser;
    parser.setPath(path);
    parser.setCodePage(inputs.codePage);
    parser.setDiagnostics(&sink);
    parser.setRegistry(inputs.registry);
    parser.setDefines(inputs.defines);
    auto project = parser.Parse();
    if (!project) {
        printLine(std::cerr, "tarnwick dump: ", project.error().message);
        return false;
    }
    // The reader leaves Path to its caller, as the workbench's tree sets it
    // after opening a project; the dump shows the file it read.
    project.value()->setPath(std::filesystem::absolute(path).lexically_normal().string());
    translateLibraryTexts(*project.value(), inputs.translation, inputs.language);
    writeProjectJson(std::cout, *project.value());
    return true;
}

// A group file: one object, {"Group", "Path", "Projects": [each project as
// a dump of its own], "CrossProjectReferences": [{From, Module, To, Class}]}.
int dumpGroup(const DumpOptions& options, const ReadInputs& inputs, DiagnosticsSink& sink) {
    auto group = readGroupFile(options.project, inputs.codePage, sink);
    if (!group) {
        printLine(std::cerr, "tarnwick dump: ", group.error().message);
        return 1;
    }
    const ProjectGroup& g = group.value();
    Json head = Json::object();
    head["Group"] = g.name;
    head["Path"] = std::filesystem::absolute(g.path).lexically_normal().string();
    const std::string headText = dumpJson(head);
    std::cout << headText.substr(0, headText.rfind('"') + 1) << ",\n  \"Projects\": [";
    bool failed = g.failed > 0;
    for (size_t i = 0; i < g.projects.size(); ++i) {
        std::cout << (i > 0 ? ",\n" : "\n");
        if (!dumpProject(g.projects[i].path, inputs, sink)) {
            std::cout << "null";
            failed = true;
        }
    }
    Json references = Json::array();
    for (const GroupUse& use : scanGroupUses(g, inputs.codePage)) {
        references.push_back({{"From", g.projects[use.user].name},
                              {"Module", use.module},
                              {"To", g.projects[use.library].name},
                              {"Class", use.className}});
    }
    std::cout << "],\n  \"CrossProjectReferences\": " << dumpJson(references) << "\n}\n";
    return failed ? 1 : 0;
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
    StderrSink sink("");
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

    const ReadInputs inputs{codePage.value(), std::move(defines).value(), registry, translation,
                            language};
    if (isGroupFile(options.project)) return dumpGroup(options, inputs, sink);
    if (!dumpProject(options.project, inputs, sink)) return 1;
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
