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
// module uses (dead code), in the same form:
//   examples/Ledger/Modules/modLedger.bas:40: warning: Private Sub 'Old' is not used in its module
// Exit status: 0, or 1 with --fail-on-undocumented when a member lacks a
// description; 1 when the project cannot be read; 2 a usage error.
#include <algorithm>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/OptionHelp.h"
#include "cli/Words.h"
#include "generator/settings/SettingsFile.h"
#include "generator/site/Listing.h"
#include "model/CHelper.h"
#include "model/CProperty.h"
#include "reader/CParser.h"
#include "reader/ConditionalCompilation.h"
#include "reader/modRegistry.h"
#include "support/CodePage.h"
#include "support/Diagnostics.h"
#include "support/TerminalText.h"
#include "support/Text.h"

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

// --unused: the Private members no code of their module names (dead code),
// one warning each at its line, in the order of the lines. Routines with an
// underscore in their name are left out: event handlers ("Form_Load",
// "cmdOk_Click") and Implements routines ("IFoo_Bar") are called by VB6,
// not by the module's code. Returns the number of warnings.
int reportUnused(const CProject& project, const GenerationSettings& settings) {
    int warnings = 0;
    const ReferenceIndex& index = project.crossReferences();
    for (const ModuleKind kind : kDocumentedModuleKinds) {
        if (!kindSwitchedOn(kind, settings)) continue;
        for (const auto& module : project.listOfKind(kind)->elements()) {
            std::set<std::string> used;
            for (const Reference* r : index.intoModule(*module))
                if (r->fromModule == module.get()) used.insert(toLower(r->to->Name()));
            std::vector<std::pair<int, std::string>> lines;
            std::set<std::string> told;
            auto check = [&](const IIterator& list, const char* word, bool routine) {
                for (const auto& item : list.Items()) {
                    const auto* e = dynamic_cast<const Element*>(item.get());
                    if (!e || e->scope() != scope::Private) continue;
                    const std::string name = toLower(e->Name());
                    if (used.count(name) || !told.insert(name).second) continue;
                    if (routine && name.find('_') != std::string::npos) continue;
                    lines.emplace_back(e->Line(), shownPath(module->Path()) + ':' +
                                                      std::to_string(e->Line()) +
                                                      ": warning: Private " + word + " '" +
                                                      e->Name() + "' is not used in its module");
                }
            };
            check(module->Declarations(), "Declare", false);
            check(module->Constants(), "Const", false);
            check(module->Variables(), "Variable", false);
            check(module->Types(), "Type", false);
            check(module->Enums(), "Enum", false);
            check(module->Subroutines(), "Sub", true);
            check(module->Functions(), "Function", true);
            check(module->Properties(), "Property", true);
            std::stable_sort(lines.begin(), lines.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (const auto& [line, text] : lines) std::cout << terminalSafe(text) << '\n';
            warnings += static_cast<int>(lines.size());
        }
    }
    std::cout << "tarnwick check: " << warnings << " private member(s) not used in their module\n";
    return warnings;
}

class StderrSink : public DiagnosticsSink {
public:
    void report(const Diagnostic& diagnostic) override {
        printLine(std::cerr, "tarnwick: ", diagnostic.toString());
    }
};

// Counts per kind, in the order the summary names them.
struct Tally {
    const char* kind;
    int documented = 0;
    int undocumented = 0;
};

class Checker {
public:
    explicit Checker(const GenerationSettings& settings) : m_settings(settings) {}

    template <typename List>
    void checkList(const CModule& module, const List& list, bool on, Tally& tally) {
        if (!on) return;
        for (const auto& element : list.elements()) check(module, *element, tally);
    }

    // Properties: one entry per name, documented when an accessor is.
    void checkProperties(const CModule& module, Tally& tally) {
        if (!m_settings.Properties) return;
        std::map<std::string, std::vector<const Element*>> byName;
        std::vector<std::string> order;
        for (const auto& property : module.Properties().elements()) {
            const std::string key = toLower(property->Name());
            auto& accessors = byName[key];
            if (accessors.empty()) order.push_back(key);
            accessors.push_back(property.get());
        }
        for (const std::string& key : order) {
            const auto& accessors = byName[key];
            const Element* first = accessors.front();
            for (const Element* accessor : accessors)
                if (accessor->Line() > 0 && accessor->Line() < first->Line()) first = accessor;
            bool documented = false;
            for (const Element* accessor : accessors) documented |= hasDescription(*accessor);
            count(module, *first, documented, tally);
        }
    }

    int warnings() const { return m_warnings; }

private:
    static bool hasDescription(const Element& element) {
        return !trimSpaces(element.Description()).empty();
    }

    void check(const CModule& module, const Element& element, Tally& tally) {
        count(module, element, hasDescription(element), tally);
    }

    void count(const CModule& module, const Element& element, bool documented, Tally& tally) {
        if (!scopeListed(element, m_settings)) return;
        if (documented) {
            ++tally.documented;
            return;
        }
        ++tally.undocumented;
        ++m_warnings;
        std::string scopeWord =
            element.scope() == scope::None ? "" : CHelper::GetScope(element.scope()) + " ";
        m_pending.emplace_back(element.Line(), shownPath(module.Path()) + ':' +
                                                   std::to_string(element.Line()) +
                                                   ": warning: " + scopeWord + tally.kind + " '" +
                                                   element.Name() + "' has no description");
    }

public:
    // Prints the module's warnings in the order of their lines.
    void flush() {
        std::stable_sort(m_pending.begin(), m_pending.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [line, text] : m_pending) std::cout << terminalSafe(text) << '\n';
        m_pending.clear();
    }

private:
    std::vector<std::pair<int, std::string>> m_pending;

    const GenerationSettings& m_settings;
    int m_warnings = 0;
};

int runCheck(const CheckOptions& options) {
    const bool named = !options.settingsFile.empty();
    auto file = SettingsFile::load(
        named ? options.settingsFile : SettingsFile::pathForProject(options.project), !named);
    if (!file) {
        printLine(std::cerr, "tarnwick check: ", file.error().message);
        return 2;
    }
    GenerationRequest fromFile;
    file.value().applyTo(fromFile);
    GenerationSettings settings = fromFile.settings;
    std::vector<std::string> defineList = fromFile.defines;
    defineList.insert(defineList.end(), options.defines.begin(), options.defines.end());
    const std::string codePageName =
        options.codePage.empty() ? fromFile.codePage : options.codePage;
    struct {
        const std::string& list;
        const Word* begin;
        const Word* end;
        const char* option;
    } const lists[] = {
        {options.kinds, std::begin(kKindWords), std::end(kKindWords), "--kinds"},
        {options.members, std::begin(kMemberWords), std::end(kMemberWords), "--members"},
        {options.scopes, std::begin(kScopeWords), std::end(kScopeWords), "--scopes"},
    };
    for (const auto& l : lists) {
        if (l.list.empty()) continue;
        const std::string bad = applyWords(l.list, l.begin, l.end, settings);
        if (!bad.empty()) {
            printLine(std::cerr, "tarnwick check: ",
                      "unknown word \"" + bad + "\" in " + l.option +
                          " (known: " + wordList(l.begin, l.end) + ")");
            return 2;
        }
    }
    auto codePage = CodePage::open(codePageName);
    if (!codePage) {
        printLine(std::cerr, "tarnwick check: unknown code page: ", codePageName);
        return 2;
    }
    auto defines = readDefines(defineList);
    if (!defines) {
        printLine(std::cerr, "tarnwick check: ", defines.error().message);
        return 2;
    }

    StderrSink sink;
    CParser parser;
    parser.setPath(options.project);
    parser.setCodePage(codePage.value());
    parser.setDiagnostics(&sink);
    // Descriptions of libraries are not checked: no registry is needed.
    parser.setRegistry(std::make_shared<const RegistrySource>());
    parser.setDefines(std::move(defines).value());
    auto project = parser.Parse();
    if (!project) {
        printLine(std::cerr, "tarnwick check: ", project.error().message);
        return 1;
    }

    if (options.unused) {
        reportUnused(*project.value(), settings);
        return 0;
    }

    Tally tallies[] = {{"Declare"}, {"Const"}, {"Variable"}, {"Type"},    {"Enum"},
                       {"Event"},   {"Sub"},   {"Function"}, {"Property"}};
    enum { Declare, Const, Variable, Type, Enum, Event, Sub, Function, Property };
    Checker checker(settings);
    const CProject& p = *project.value();
    for (const ModuleKind kind : kDocumentedModuleKinds) {
        if (!kindSwitchedOn(kind, settings)) continue;
        for (const auto& module : p.listOfKind(kind)->elements()) {
            const CModule& m = *module;
            checker.checkList(m, m.Declarations(), settings.Declarations, tallies[Declare]);
            checker.checkList(m, m.Constants(), settings.Constants, tallies[Const]);
            checker.checkList(m, m.Variables(), settings.Variables, tallies[Variable]);
            checker.checkList(m, m.Types(), settings.Types, tallies[Type]);
            checker.checkList(m, m.Enums(), settings.Enum, tallies[Enum]);
            checker.checkList(m, m.Events(), settings.Events, tallies[Event]);
            checker.checkList(m, m.Subroutines(), settings.Subroutines, tallies[Sub]);
            checker.checkList(m, m.Functions(), settings.Functions, tallies[Function]);
            checker.checkProperties(m, tallies[Property]);
            checker.flush();
        }
    }

    int documented = 0;
    std::string perKind;
    for (const Tally& t : tallies) {
        documented += t.documented;
        if (t.documented + t.undocumented == 0) continue;
        perKind += std::string(perKind.empty() ? "" : ", ") + t.kind + " " +
                   std::to_string(t.documented) + "/" +
                   std::to_string(t.documented + t.undocumented);
    }
    std::cout << "tarnwick check: " << documented << " member(s) documented, " << checker.warnings()
              << " without a description"
              << (perKind.empty() ? "" : " (documented/all: " + perKind + ")") << '\n';
    return options.failOnUndocumented && checker.warnings() > 0 ? 1 : 0;
}

}  // namespace

void registerCheckCommand(CommandLine& app, int& status) {
    auto options = std::make_shared<CheckOptions>();
    Command* check =
        app.add_subcommand("check", "List the members that have no description, as warnings");
    check->add_option("PROJECT", options->project, "The project file (.vbp)")->required();
    check->add_option("--kinds", options->kinds, kindsHelp("Module kinds to check"));
    check->add_option("--members", options->members, membersHelp("Member kinds to check"));
    check->add_option("--scopes", options->scopes, scopesHelp("Scopes to check"));
    check->add_option("--codepage", options->codePage,
                      "Code page of the project's files (default windows-1252)");
    check
        ->add_option("--define", options->defines,
                     "A conditional-compilation constant NAME=VALUE (repeatable)")
        ->allow_extra_args(false);
    check->add_option("--settings", options->settingsFile,
                      "The settings file to read (default: PROJECT.tarnwick beside the project, "
                      "when it is there)");
    check->add_flag("--fail-on-undocumented", options->failOnUndocumented,
                    "Exit with status 1 when a member has no description");
    check->add_flag("--unused", options->unused,
                    "Instead: warn about the Private members that no code of their module uses");
    // status outlives the app: main owns both and parses within its lifetime.
    check->callback([options, &status] { status = runCheck(*options); });
}

}  // namespace tarnwick::cli
