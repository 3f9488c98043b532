// tarnwick api PROJECT.vbp|GROUP.vbg|PROJECT.vbp... [--check FILE] [--codepage NAME]
//               [--define NAME=VALUE ...] [--settings FILE]
//
// Prints the project's public interface (generator/analysis/ApiReport.h),
// one line per public element, sorted: committed as PROJECT.api beside the
// project, a change of the interface shows in review. With --check FILE it
// prints nothing when FILE holds the current report, else the lines that
// differ ("-" only in FILE, "+" only in the project now). A group file's
// report (or that of several project files) is its projects' reports one after
// the other, the startup project first.
// The code page and defines of the project's settings file are used as
// generate uses them; options given here win over them.
// Exit status: 0 done (or FILE is current); 1 FILE is out of date or
// cannot be read, or the project cannot be read; 2 a usage error.
#include "cli/ApiCommand.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/OptionHelp.h"
#include "cli/ProjectInputs.h"
#include "generator/analysis/ApiDiff.h"
#include "generator/analysis/ApiReport.h"
#include "reader/CParser.h"
#include "reader/ConditionalCompilation.h"
#include "reader/GroupFile.h"
#include "support/CodePage.h"
#include "support/Diagnostics.h"
#include "support/Text.h"

namespace tarnwick::cli {

namespace {

struct ApiOptions {
    std::vector<std::string> projects;  // one project, a group file or several projects
    std::string project;                // the first of projects
    std::string check;                  // the committed report; empty: print the report
    ProjectReading reading;
};

}  // namespace

std::shared_ptr<CProject> readApiProject(std::string_view prefix, const std::string& path,
                                         const ProjectReading& reading, bool& usage) {
    usage = true;
    ProjectInputs inputs;
    if (!readProjectInputs(prefix, path, reading.settingsFile, reading.codePage, reading.defines,
                           inputs))
        return nullptr;
    usage = false;
    StderrSink sink;
    CParser parser;
    parser.setPath(path);
    parser.setCodePage(inputs.codePage);
    parser.setDiagnostics(&sink);
    // The interface names no library's description: no registry is needed.
    parser.setRegistry(std::make_shared<const RegistrySource>());
    parser.setDefines(std::move(inputs.defines));
    auto project = parser.Parse();
    if (!project) {
        printLine(std::cerr, prefix, project.error().message);
        return nullptr;
    }
    return std::move(project).value();
}

std::optional<ApiInterface> readApiSide(std::string_view prefix, const std::string& path,
                                        const ProjectReading& reading) {
    if (endsWithIgnoreCase(path, ".vbp")) {
        bool usage = false;
        const auto project = readApiProject(prefix, path, reading, usage);
        if (!project) return std::nullopt;
        return apiInterface(*project);
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        printLine(std::cerr, prefix, "cannot read " + path);
        return std::nullopt;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto api = readApiReport(text, path);
    if (!api) {
        printLine(std::cerr, prefix, api.error().message);
        return std::nullopt;
    }
    return std::move(api).value();
}

namespace {

// The report of a group file or of several projects: each project's report in the group's order
// (the startup project first), a blank line between; 1 when a project
// cannot be read, its report left out.
int groupReport(const ApiOptions& options, std::string& report) {
    StderrSink sink;
    const auto group = readGroup(options.projects, CodePage(), sink);
    if (!group) {
        printLine(std::cerr, "tarnwick api: ", group.error().message);
        return 1;
    }
    warnGroupShapes(group.value(), sink);
    int status = group.value().failed > 0 ? 1 : 0;
    for (const GroupProject& member : group.value().projects) {
        bool usage = false;
        const std::shared_ptr<CProject> project =
            readApiProject("tarnwick api: ", member.path, options.reading, usage);
        if (!project) {
            status = 1;
            continue;
        }
        if (!report.empty()) report += '\n';
        report += apiReport(*project);
    }
    return status;
}

int runApi(const ApiOptions& options) {
    std::string report;
    int status = 0;
    if (namesGroup(options.projects)) {
        status = groupReport(options, report);
    } else {
        bool usage = false;
        const std::shared_ptr<CProject> project =
            readApiProject("tarnwick api: ", options.project, options.reading, usage);
        if (!project) return usage ? 2 : 1;
        report = apiReport(*project);
    }
    if (options.check.empty()) {
        std::cout << report;
        return status;
    }
    std::ifstream in(options.check, std::ios::binary);
    if (!in) {
        printLine(std::cerr, "tarnwick api: cannot read ", options.check);
        return 1;
    }
    const std::string committed((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
    const std::string difference = apiDifference(committed, report);
    if (difference.empty()) return status;
    printLine(std::cerr, "tarnwick api: out of date: ", options.check);
    // The lines quote the project's code, control characters and all.
    printLine(std::cout, "--- ", options.check);
    printLine(std::cout, "+++ ", options.project);
    std::istringstream lines(difference);
    for (std::string line; std::getline(lines, line);) printLine(std::cout, "", line);
    return 1;
}

}  // namespace

void registerApiCommand(CommandLine& app, int& status) {
    auto options = std::make_shared<ApiOptions>();
    Command* api = app.add_subcommand(
        "api", "Print the project's public interface, sorted, one line per element");
    api->add_option("PROJECTS", options->projects, kProjectsHelp)->required();
    api->add_option("--check", options->check,
                    "Compare with this committed report instead: exit 1 and print the "
                    "differing lines when it is out of date");
    api->add_option("--codepage", options->reading.codePage, kCodePageHelp);
    api->add_option("--define", options->reading.defines, kDefineHelp)->allow_extra_args(false);
    api->add_option("--settings", options->reading.settingsFile, kSettingsHelp);
    // status outlives the app: main owns both and parses within its lifetime.
    api->callback([options, &status] {
        options->project = options->projects.front();
        status = runApi(*options);
    });
}

}  // namespace tarnwick::cli
