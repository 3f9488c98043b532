// tarnwick dump PROJECT.vbp|GROUP.vbg|PROJECT.vbp... [--registry FILE] [--codepage NAME]
//                [--translation FILE] [--language SECTION] [--define NAME=VALUE ...]
//
// Reads the project as the generator would (sorted lists included) and
// prints the model as one JSON object on stdout; warnings go to stderr.
// A group file (.vbg), or several project files, prints one object with each
// project's model and the references across projects (dumpGroup).
// Exit status: 0 done, 1 the project (or one of the group's) cannot be
// read, 2 a usage error.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "cli/Commands.h"
#include "cli/ModelJson.h"
#include "cli/OptionHelp.h"
#include "generator/run/GroupCalls.h"
#include "model/Kinds.h"
#include "model/Translation.h"
#include "reader/CParser.h"
#include "reader/CrossReferences.h"
#include "reader/GroupFile.h"
#include "reader/GroupUses.h"
#include "reader/modRegistry.h"
#include "support/CodePage.h"
#include "support/Diagnostics.h"
#include "support/Html.h"
#include "support/Text.h"

namespace tarnwick::cli {

namespace {

struct DumpOptions {
    std::vector<std::string> projects;  // one project, a group file or several projects
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

// What every read of a dump gives its reader: the file and how to read it.
void prepareReader(CParser& parser, const std::string& path, const ReadInputs& inputs) {
    parser.setPath(path);
    parser.setCodePage(inputs.codePage);
    parser.setRegistry(inputs.registry);
    parser.setDefines(inputs.defines);
}

// The group projects project index may call into, read for what its calls
// bind to (their declarations), quietly: each project's own dump reports
// what is wrong with it.
class LibraryModels {
public:
    LibraryModels(const ProjectGroup& group, size_t index, const ReadInputs& inputs) {
        for (const size_t library : groupLibrariesOf(group, index)) {
            if (library == index) continue;
            CParser parser;
            prepareReader(parser, group.projects[library].path, inputs);
            NullSink quiet;
            parser.setDiagnostics(&quiet);
            parser.setCrossReferences(false);
            parser.setDeclarationsOnly(true);
            auto read = parser.Parse();
            if (!read) continue;
            const std::shared_ptr<CProject> project = std::move(read).value();
            for (const ModuleKind kind : {ModuleKind::Class, ModuleKind::UserControl})
                for (const auto& module : project->listOfKind(kind)->elements())
                    m_projectOf.emplace(module.get(), library);
            m_read.push_back({group.projects[library].name, project});
        }
    }
    std::vector<ReferencedProject> visible() const {
        std::vector<ReferencedProject> out;
        for (const Read& r : m_read) out.push_back({r.name, r.project.get()});
        return out;
    }
    // The group position of the library module belongs to; none for another module.
    std::optional<size_t> projectOf(const CModule* module) const {
        const auto found = m_projectOf.find(module);
        if (found == m_projectOf.end()) return std::nullopt;
        return found->second;
    }

private:
    struct Read {
        std::string name;
        std::shared_ptr<CProject> project;
    };
    std::vector<Read> m_read;
    std::unordered_map<const CModule*, size_t> m_projectOf;
};

// Prints the project at path as JSON and gives its model; null after telling
// why it cannot be read. In a group, libraries are the projects its code may
// call into, and calls gets its calls into them (the project's own
// references stay its own), naming its modules: they live as long as the
// model given.
std::shared_ptr<CProject> dumpProject(const std::string& path, const ReadInputs& inputs,
                                      DiagnosticsSink& sink,
                                      std::vector<ReferencedProject> libraries = {},
                                      std::vector<Reference>* calls = nullptr) {
    CParser parser;
    prepareReader(parser, path, inputs);
    parser.setDiagnostics(&sink);
    if (!libraries.empty()) parser.setLibraries(std::move(libraries), calls);
    auto project = parser.Parse();
    if (!project) {
        printLine(std::cerr, "tarnwick dump: ", project.error().message);
        return nullptr;
    }
    // The reader leaves Path to its caller, as the workbench's tree sets it
    // after opening a project; the dump shows the file it read.
    project.value()->setPath(std::filesystem::absolute(path).lexically_normal().string());
    translateLibraryTexts(*project.value(), inputs.translation, inputs.language);
    writeProjectJson(std::cout, *project.value());
    return std::move(project).value();
}

// The rows of "CrossProjectReferences": each project's named classes (in
// file order), then those it only calls (called, by project); a module and
// a class of another project once each.
Json crossProjectReferences(const ProjectGroup& g, const std::vector<GroupUse>& named,
                            const std::vector<std::vector<GroupUse>>& called) {
    Json references = Json::array();
    std::set<std::tuple<size_t, std::string, size_t, std::string>> listed;
    const auto add = [&](const GroupUse& use) {
        if (!listed.emplace(use.user, toLower(use.module), use.library, toLower(use.className))
                 .second)
            return;
        references.push_back({{"From", g.projects[use.user].name},
                              {"Module", use.module},
                              {"To", g.projects[use.library].name},
                              {"Class", use.className}});
    };
    for (size_t i = 0; i < g.projects.size(); ++i) {
        for (const GroupUse& use : named)
            if (use.user == i) add(use);
        for (const GroupUse& use : called[i]) add(use);
    }
    return references;
}

// A group file: one object, {"Group", "Path", "Projects": [each project as
// a dump of its own], "CrossProjectReferences": [{From, Module, To, Class}]},
// a module and a class of another project once each: the classes it names,
// then those it only calls into.
int dumpGroup(const DumpOptions& options, const ReadInputs& inputs, DiagnosticsSink& sink) {
    auto group = readGroup(options.projects, inputs.codePage, sink);
    if (!group) {
        printLine(std::cerr, "tarnwick dump: ", group.error().message);
        return 1;
    }
    const ProjectGroup& g = group.value();
    warnGroupShapes(g, sink);
    Json head = Json::object();
    head["Group"] = g.name;
    // Projects named on the command line have no group file.
    head["Path"] = g.path.empty()
                       ? Json()
                       : Json(std::filesystem::absolute(g.path).lexically_normal().string());
    // The head object left open, for the projects that follow it.
    std::string headText = dumpJson(head);
    headText.resize(headText.rfind('}'));
    while (!headText.empty() && (headText.back() == '\n' || headText.back() == ' '))
        headText.pop_back();
    std::cout << headText << ",\n  \"Projects\": [";
    bool failed = g.failed > 0;
    // Of each project, the classes of other projects its modules only call
    // into (a global class's functions, a member of what a function
    // returns): the scan sees the classes code names, not these.
    std::vector<std::vector<GroupUse>> called(g.projects.size());
    for (size_t i = 0; i < g.projects.size(); ++i) {
        std::cout << (i > 0 ? ",\n" : "\n");
        const LibraryModels libraries(g, i, inputs);
        std::vector<Reference> calls;
        const std::shared_ptr<CProject> project =
            dumpProject(g.projects[i].path, inputs, sink, libraries.visible(), &calls);
        if (!project) {
            std::cout << "null";
            failed = true;
        }
        for (const Reference& r : calls)
            if (const auto library = libraries.projectOf(r.toModule))
                called[i].push_back(
                    {i, r.fromModule->Name(), {}, *library, r.toModule->Name(), {}});
    }
    const Json references = crossProjectReferences(g, scanGroupUses(g, inputs.codePage), called);
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
    if (namesGroup(options.projects)) return dumpGroup(options, inputs, sink);
    if (!dumpProject(options.projects.front(), inputs, sink)) return 1;
    std::cout << '\n';
    return 0;
}

}  // namespace

void registerDumpCommand(CommandLine& app, int& status) {
    auto options = std::make_shared<DumpOptions>();
    Command* dump = app.add_subcommand("dump", "Print the parsed project as JSON");
    dump->add_option("PROJECTS", options->projects, kProjectsHelp)->required();
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
