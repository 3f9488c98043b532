// tarnwick check PROJECT.vbp [--kinds LIST] [--members LIST] [--scopes LIST]
//                [--codepage NAME] [--define NAME=VALUE ...] [--settings FILE]
//                [--fail-on-undocumented] [--unused]
//
// The kinds, member kinds, scopes, code page and defines of the project's
// settings file (PROJECT.tarnwick, or the file --settings names) are used
// as generate uses them; options given here win over them.
// Reads the project as generate does and prints one line per member without
// a description, in the form "file:line: warning: text" that leads straight
// to the place:
//   examples/Ledger/Classes/CAccount.cls:12: warning: Public Sub 'Close' has no description
// then a summary line with the documented and undocumented members per kind.
// The path is the module's as the project file names it, under the folder
// of the project path given. A property counts once, at its first accessor,
// and is documented when one of its accessors is. Warnings about the input
// go to stderr.
// With --unused it lists instead the Private members no code of their
// module uses (dead code), in the same form; one named only where an #If is
// off says so:
//   examples/Ledger/Modules/modLedger.bas:40: warning: Private Sub 'Old' is not used in its module
// Both lists come from the core's checks (generator/analysis); this command
// reads the project and prints them.
// Exit status: 0, or 1 with --fail-on-undocumented when a member lacks a
// description; 1 when the project cannot be read; 2 a usage error.
#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/OptionHelp.h"
#include "cli/Words.h"
#include "generator/analysis/Coverage.h"
#include "generator/analysis/Unused.h"
#include "generator/settings/SettingsFile.h"
#include "reader/CParser.h"
#include "reader/ConditionalCompilation.h"
#include "reader/modRegistry.h"
#include "support/CodePage.h"
#include "support/Diagnostics.h"
#include "support/TerminalText.h"

namespace tarnwick::cli {

namespace {

struct CheckOptions {
    std::string project;
    std::string kinds;
    std::string members;
    std::string scopes;
    std::string codePage;  // empty: the settings file's, else windows-1252
    std::vector<std::string> defines;
    std::string settingsFile;
    bool failOnUndocumented = false;
    bool unused = false;
};

// A module's path as its lines start with it. A CI log reads a line that
// starts with "::" (blanks before it too) as a command to the runner
// ("::error::x.bas"), so such a path gets "./" in front: the same file.
std::string shownPath(const std::string& path) {
    const size_t first = path.find_first_not_of(" \t");
    return first != std::string::npos && path.compare(first, 2, "::") == 0 ? "./" + path : path;
}

void printFindings(const std::vector<Finding>& findings) {
    for (const Finding& f : findings)
        std::cout << terminalSafe(shownPath(f.file) + ':' + std::to_string(f.line) +
                                  ": warning: " + f.message)
                  << '\n';
}

class StderrSink : public DiagnosticsSink {
public:
    void report(const Diagnostic& diagnostic) override {
        printLine(std::cerr, "tarnwick: ", diagnostic.toString());
    }
};

// What the project is read and checked with: the settings file's choices,
// with the options' over them.
struct CheckSetup {
    GenerationSettings settings;
    CodePage codePage;
    CondConstants defines;
};

// Fills setup from the settings file and the options; on a usage error
// tells why and returns false.
bool prepareCheck(const CheckOptions& options, CheckSetup& setup) {
    const bool named = !options.settingsFile.empty();
    auto file = SettingsFile::load(
        named ? options.settingsFile : SettingsFile::pathForProject(options.project), !named);
    if (!file) {
        printLine(std::cerr, "tarnwick check: ", file.error().message);
        return false;
    }
    GenerationRequest fromFile;
    file.value().applyTo(fromFile);
    setup.settings = fromFile.settings;
    std::vector<std::string> defineList = fromFile.defines;
    defineList.insert(defineList.end(), options.defines.begin(), options.defines.end());
    const std::string codePageName =
        options.codePage.empty() ? fromFile.codePage : options.codePage;
    struct {
        const std::string& text;
        FieldList list;
    } const lists[] = {
        {options.kinds, FieldList::Kinds},
        {options.members, FieldList::Members},
        {options.scopes, FieldList::Scopes},
    };
    for (const auto& l : lists) {
        if (l.text.empty()) continue;
        const std::string bad = applyWords(l.text, l.list, setup.settings);
        if (!bad.empty()) {
            printLine(std::cerr, "tarnwick check: ",
                      "unknown word \"" + bad + "\" in --" + listName(l.list) +
                          " (known: " + wordList(l.list) + ")");
            return false;
        }
    }
    auto codePage = CodePage::open(codePageName);
    if (!codePage) {
        printLine(std::cerr, "tarnwick check: unknown code page: ", codePageName);
        return false;
    }
    setup.codePage = std::move(codePage).value();
    auto defines = readDefines(defineList);
    if (!defines) {
        printLine(std::cerr, "tarnwick check: ", defines.error().message);
        return false;
    }
    setup.defines = std::move(defines).value();
    return true;
}

// The project as generate reads it; null after telling why it cannot be read.
std::shared_ptr<CProject> readProject(const std::string& path, CheckSetup& setup) {
    StderrSink sink;
    CParser parser;
    parser.setPath(path);
    parser.setCodePage(setup.codePage);
    parser.setDiagnostics(&sink);
    // Descriptions of libraries are not checked: no registry is needed.
    parser.setRegistry(std::make_shared<const RegistrySource>());
    parser.setDefines(std::move(setup.defines));
    auto project = parser.Parse();
    if (!project) {
        printLine(std::cerr, "tarnwick check: ", project.error().message);
        return nullptr;
    }
    return std::move(project).value();
}

void printUnused(const CProject& project, const GenerationSettings& settings) {
    const std::vector<Finding> findings = findUnused(project, settings);
    printFindings(findings);
    const auto whereOff = std::count_if(findings.begin(), findings.end(), [](const Finding& f) {
        return f.kind == FindingKind::UsedOnlyWhereOff;
    });
    std::cout << "tarnwick check: " << findings.size()
              << " private member(s) not used in their module";
    if (whereOff > 0) std::cout << " (" << whereOff << " used only where #If is off)";
    std::cout << '\n';
}

// Returns the number of members without a description.
int printCoverage(const CProject& project, const GenerationSettings& settings) {
    const CoverageReport report = checkCoverage(project, settings);
    printFindings(report.findings);
    std::string perKind;
    for (const KindCoverage& k : report.kinds) {
        if (k.documented + k.undocumented == 0) continue;
        perKind += std::string(perKind.empty() ? "" : ", ") + k.kind + " " +
                   std::to_string(k.documented) + "/" +
                   std::to_string(k.documented + k.undocumented);
    }
    std::cout << "tarnwick check: " << report.documented() << " member(s) documented, "
              << report.undocumented() << " without a description"
              << (perKind.empty() ? "" : " (documented/all: " + perKind + ")") << '\n';
    return report.undocumented();
}

int runCheck(const CheckOptions& options) {
    CheckSetup setup;
    if (!prepareCheck(options, setup)) return 2;
    const std::shared_ptr<CProject> project = readProject(options.project, setup);
    if (!project) return 1;
    if (options.unused) {
        printUnused(*project, setup.settings);
        return 0;
    }
    const int undocumented = printCoverage(*project, setup.settings);
    return options.failOnUndocumented && undocumented > 0 ? 1 : 0;
}

}  // namespace

void registerCheckCommand(CommandLine& app, int& status) {
    auto options = std::make_shared<CheckOptions>();
    Command* check =
        app.add_subcommand("check", "List the members that have no description, as warnings");
    check->add_option("PROJECT", options->project, kProjectHelp)->required();
    check->add_option("--kinds", options->kinds, kindsHelp("Module kinds to check"));
    check->add_option("--members", options->members, membersHelp("Member kinds to check"));
    check->add_option("--scopes", options->scopes, scopesHelp("Scopes to check"));
    check->add_option("--codepage", options->codePage, kCodePageHelp);
    check->add_option("--define", options->defines, kDefineHelp)->allow_extra_args(false);
    check->add_option("--settings", options->settingsFile, kSettingsHelp);
    check->add_flag("--fail-on-undocumented", options->failOnUndocumented,
                    "Exit with status 1 when a member has no description");
    check->add_flag("--unused", options->unused,
                    "Instead: warn about the Private members that no code of their module uses");
    // status outlives the app: main owns both and parses within its lifetime.
    check->callback([options, &status] { status = runCheck(*options); });
}

}  // namespace tarnwick::cli
