// tarnwick check PROJECT.vbp|GROUP.vbg|PROJECT.vbp... [--kinds LIST] [--members LIST]
//                [--scopes LIST] [--codepage NAME] [--define NAME=VALUE ...] [--settings FILE]
//                [--fail-on-undocumented] [--unused] [--format FORMAT]
//                [--output FILE] [--coverage] [--badge FILE.svg] [--min-coverage N]
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
// --format github, sarif, junit or json gives the list in a form a CI reads
// (CheckReport.h) instead of the lines above; --output FILE writes the report
// to FILE, whole or not at all, and prints only the summary line.
// --coverage adds the share of documented members per module, per kind and
// in all ("coverage: Class CWindow: 60 % (3/5)"), --badge writes it as an
// SVG badge and --min-coverage N fails below N percent.
// Exit status: 0, or 1 with --fail-on-undocumented when a member lacks a
// description or with --min-coverage when too few have one; 1 when the
// project cannot be read or a report cannot be written; 2 a usage error.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/CheckReport.h"
#include "cli/Commands.h"
#include "cli/OptionHelp.h"
#include "cli/ProjectInputs.h"
#include "cli/Words.h"
#include "generator/analysis/Coverage.h"
#include "generator/analysis/Unused.h"
#include "reader/CParser.h"
#include "reader/ConditionalCompilation.h"
#include "reader/GroupFile.h"
#include "reader/modRegistry.h"
#include "support/AtomicFile.h"
#include "support/CodePage.h"
#include "support/Diagnostics.h"
#include "support/TerminalText.h"

namespace tarnwick::cli {

namespace {

struct CheckOptions {
    std::vector<std::string> projects;  // one project, a group file or several projects
    std::string project;                // the project checked
    std::string kinds;
    std::string members;
    std::string scopes;
    std::string codePage;  // empty: the settings file's, else windows-1252
    std::vector<std::string> defines;
    std::string settingsFile;
    bool failOnUndocumented = false;
    bool unused = false;
    std::string format = "text";
    std::string output;
    bool coverage = false;
    std::string badge;
    std::string minCoverage;
};

// A module's path as its lines start with it. A CI log reads a line that
// starts with "::" (blanks before it too) as a command to the runner
// ("::error::x.bas"), so such a path gets "./" in front: the same file.
std::string shownPath(const std::string& path) {
    const size_t first = path.find_first_not_of(" \t");
    return first != std::string::npos && path.compare(first, 2, "::") == 0 ? "./" + path : path;
}

std::string findingLine(const Finding& f) {
    return terminalSafe(shownPath(f.file) + ':' + std::to_string(f.line) +
                        ": warning: " + f.message) +
           '\n';
}

// What the project is read and checked with: the settings file's choices,
// with the options' over them.
using CheckSetup = ProjectInputs;

// Fills setup from the settings file and the options; on a usage error
// tells why and returns false.
bool prepareCheck(const CheckOptions& options, CheckSetup& setup) {
    if (!readProjectInputs("tarnwick check: ", options.project, options.settingsFile,
                           options.codePage, options.defines, setup))
        return false;
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

std::string unusedSummary(const std::vector<Finding>& findings) {
    const auto whereOff = std::count_if(findings.begin(), findings.end(), [](const Finding& f) {
        return f.kind == FindingKind::UsedOnlyWhereOff;
    });
    std::string line = "tarnwick check: " + std::to_string(findings.size()) +
                       " private member(s) not used in their module";
    if (whereOff > 0) line += " (" + std::to_string(whereOff) + " used only where #If is off)";
    return line + '\n';
}

std::string coverageSummary(const CoverageReport& report) {
    std::string perKind;
    for (const KindCoverage& k : report.kinds) {
        if (k.documented + k.undocumented == 0) continue;
        perKind += std::string(perKind.empty() ? "" : ", ") + k.kind + " " +
                   std::to_string(k.documented) + "/" +
                   std::to_string(k.documented + k.undocumented);
    }
    return "tarnwick check: " + std::to_string(report.documented()) + " member(s) documented, " +
           std::to_string(report.undocumented()) + " without a description" +
           (perKind.empty() ? "" : " (documented/all: " + perKind + ")") + '\n';
}

const char* moduleKindWord(ModuleKind kind) {
    switch (kind) {
        case ModuleKind::Class:
            return "Class";
        case ModuleKind::Module:
            return "Module";
        case ModuleKind::Form:
            return "Form";
        case ModuleKind::PropertyPage:
            return "PropertyPage";
        case ModuleKind::UserControl:
            return "UserControl";
        case ModuleKind::UserDocument:
            return "UserDocument";
        case ModuleKind::Designer:
            return "Designer";
        default:
            return "Module";
    }
}

// What the report is made of: the findings asked for, every module looked
// at and, when they were counted, the documented members.
CheckResults gather(const CProject& project, const GenerationSettings& settings,
                    const CheckOptions& options, const CoverageReport* coverage) {
    CheckResults results;
    results.findings = options.unused ? findUnused(project, settings) : coverage->findings;
    results.coverage = options.coverage;
    results.projectFolder = std::filesystem::path(options.project).parent_path().string();
    if (coverage) results.kinds = coverage->kinds;
    for (const CModule* module : checkedModules(project, settings)) {
        ModuleCount count{module->Name(), moduleKindWord(module->Kind()), module->Path()};
        if (coverage)
            for (const ModuleTally& tally : coverage->modules)
                if (tally.module == module) {
                    count.documented = tally.documented;
                    count.undocumented = tally.undocumented;
                }
        results.modules.push_back(std::move(count));
    }
    return results;
}

// Writes bytes to path whole or not at all; false after telling why not.
bool writeReportFile(const std::string& path, const std::string& bytes) {
    const Status written = writeAtomically(path, bytes);
    if (written) return true;
    printLine(std::cerr, "tarnwick check: cannot write the report: ", written.error().message);
    return false;
}

// Reads the options that need more than CLI11 checks; false after telling why.
bool readReportOptions(const CheckOptions& options, ReportFormat& format, double& minimum) {
    if (!reportFormatNamed(options.format, format)) {
        printLine(std::cerr, "tarnwick check: ",
                  "unknown format \"" + options.format +
                      "\" in --format (known: " + reportFormatNames() + ")");
        return false;
    }
    minimum = -1;
    if (options.minCoverage.empty()) return true;
    size_t used = 0;
    try {
        minimum = std::stod(options.minCoverage, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != options.minCoverage.size() || !(minimum >= 0 && minimum <= 100)) {
        printLine(
            std::cerr, "tarnwick check: ",
            "--min-coverage wants a share from 0 to 100, not \"" + options.minCoverage + "\"");
        return false;
    }
    return true;
}

// The folder a group's report gives its files under: the group file's, or
// the one the project files named together share.
std::string groupFolder(const ProjectGroup& group) {
    namespace fs = std::filesystem;
    if (!group.path.empty()) return fs::path(group.path).parent_path().string();
    fs::path shared = fs::path(group.projects.front().path).parent_path();
    for (const GroupProject& project : group.projects) {
        const fs::path folder = fs::path(project.path).parent_path();
        fs::path common;
        for (auto a = shared.begin(), b = folder.begin();
             a != shared.end() && b != folder.end() && *a == *b; ++a, ++b)
            common /= *a;
        shared = common;
    }
    return shared.string();
}

// A group's report in a format a CI reads: one document over all its projects.
struct GroupReport {
    CheckResults results;
    std::vector<std::shared_ptr<CProject>> projects;  // the findings point into them
};

// Adds one project's results to the group's: its findings and modules after
// those of the projects before, its members counted into each kind's.
void addToGroupReport(GroupReport& group, CheckResults results) {
    CheckResults& all = group.results;
    all.coverage = results.coverage;
    for (Finding& f : results.findings) all.findings.push_back(std::move(f));
    for (ModuleCount& m : results.modules) all.modules.push_back(std::move(m));
    for (const KindCoverage& k : results.kinds) {
        auto same = std::find_if(all.kinds.begin(), all.kinds.end(), [&](const KindCoverage& c) {
            return std::string_view(c.kind) == k.kind;
        });
        if (same == all.kinds.end()) {
            all.kinds.push_back(k);
        } else {
            same->documented += k.documented;
            same->undocumented += k.undocumented;
        }
    }
}

// One project checked; with group, a report in a format other than text
// goes into the group's instead of to the output.
int runCheck(const CheckOptions& options, GroupReport* group = nullptr) {
    ReportFormat format = ReportFormat::Text;
    double minimum = -1;
    CheckSetup setup;
    if (!readReportOptions(options, format, minimum) || !prepareCheck(options, setup)) return 2;
    const std::shared_ptr<CProject> project = readProject(options.project, setup);
    if (!project) return 1;
    const bool counted =
        !options.unused || options.coverage || !options.badge.empty() || minimum >= 0;
    std::optional<CoverageReport> coverage;
    if (counted) coverage = checkCoverage(*project, setup.settings);
    const CheckResults results =
        gather(*project, setup.settings, options, coverage ? &*coverage : nullptr);
    std::string console =
        options.unused ? unusedSummary(results.findings) : coverageSummary(*coverage);
    if (options.coverage) console += coverageLines(results);
    std::string report;
    if (format == ReportFormat::Text) {
        for (const Finding& f : results.findings) report += findingLine(f);
        report += console;
    } else if (group) {
        addToGroupReport(*group, results);
        group->projects.push_back(project);
    } else {
        report = renderReport(format, results);
    }
    if (options.output.empty()) {
        std::cout << report;
    } else {
        if (!writeReportFile(options.output, report)) return 1;
        std::cout << console;
    }
    if (!options.badge.empty() &&
        !writeReportFile(options.badge, coverageBadge(coveragePercent(coverage->documented(),
                                                                      coverage->undocumented()))))
        return 1;
    if (minimum >= 0 && coverage->documented() * 100.0 <
                            minimum * (coverage->documented() + coverage->undocumented())) {
        printLine(
            std::cerr, "tarnwick check: ",
            std::to_string(coveragePercent(coverage->documented(), coverage->undocumented())) +
                " % of the members documented, less than --min-coverage " + options.minCoverage);
        return 1;
    }
    return options.failOnUndocumented && !options.unused && coverage->undocumented() > 0 ? 1 : 0;
}

// A group file or several projects: each project checked in turn, with its
// own settings file unless --settings names one, under a line naming it (on
// stderr for a format a CI reads, whose one report covers every project);
// the worst status.
int runGroupCheck(const CheckOptions& options) {
    if (!options.output.empty() || !options.badge.empty()) {
        printLine(std::cerr,
                  "tarnwick check: ", "--output and --badge take one project, not a group file");
        return 2;
    }
    StderrSink sink;
    const auto group = readGroup(options.projects, CodePage(), sink);
    if (!group) {
        printLine(std::cerr, "tarnwick check: ", group.error().message);
        return 1;
    }
    warnGroupShapes(group.value(), sink);
    ReportFormat format = ReportFormat::Text;
    double minimum = -1;
    if (!readReportOptions(options, format, minimum)) return 2;
    // A CI reads one document: the projects' findings together, under the
    // group's folder (a SARIF file's paths are relative to it).
    GroupReport report;
    report.results.projectFolder = groupFolder(group.value());
    int status = group.value().failed > 0 ? 1 : 0;
    for (const GroupProject& project : group.value().projects) {
        CheckOptions one = options;
        one.project = project.path;
        printLine(format == ReportFormat::Text ? std::cout : std::cerr, "tarnwick check: project ",
                  project.name);
        status = std::max(status, runCheck(one, &report));
    }
    if (format != ReportFormat::Text) std::cout << renderReport(format, report.results);
    return status;
}

}  // namespace

void registerCheckCommand(CommandLine& app, int& status) {
    auto options = std::make_shared<CheckOptions>();
    Command* check =
        app.add_subcommand("check", "List the members that have no description, as warnings");
    check->add_option("PROJECTS", options->projects, kProjectsHelp)->required();
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
    check->add_option("--format", options->format,
                      "Report as text (the default), github, sarif, junit or json");
    check->add_option("--output", options->output,
                      "Write the report to this file; the console gets the summary");
    check->add_flag("--coverage", options->coverage,
                    "Also give the share of documented members per module, per kind and in all");
    check->add_option("--badge", options->badge,
                      "Write an SVG badge with the share of documented members to this file");
    check->add_option("--min-coverage", options->minCoverage,
                      "Exit with status 1 when less than this share (0 to 100) is documented");
    // status outlives the app: main owns both and parses within its lifetime.
    check->callback([options, &status] {
        options->project = options->projects.front();
        status = namesGroup(options->projects) ? runGroupCheck(*options) : runCheck(*options);
    });
}

}  // namespace tarnwick::cli
