// tarnwick diff OLD NEW [--format text|json|markdown] [--fail-on-breaking] [--all]
//                       [--codepage NAME] [--define NAME=VALUE ...]
//
// Lists every change of the public interface from OLD to NEW with its
// verdict for binary compatibility (generator/analysis/ApiDiff.h). OLD and
// NEW are each a project file (.vbp, read as api reads it, with its own
// settings file), a group file (.vbg: each project compared with the
// project of its name on the other side) or a report `tarnwick api` wrote
// (PROJECT.api, or a group's), so a release's committed report is enough. Text lines lead to the
// place, in NEW or, for a removal, in OLD:
//   Classes/CAccount.cls:12: error: CAccount.Post: argument 'Cents' changed
//       from ByVal Currency to ByRef Currency (breaks binary compatibility)
// then a summary line. --all lists the members whose description changed
// too, where both sides are projects. --format json gives the same as one object, markdown
// a table for release notes or a pull request.
// Exit status: 0 compared; 1 with --fail-on-breaking when a change breaks
// binary compatibility; 2 a usage error, or a side that cannot be read (a
// project that does not read, a report with a malformed line, a member
// declared twice). Nothing is written but the listing.
#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "cli/ApiCommand.h"
#include "cli/Commands.h"
#include "cli/OptionHelp.h"
#include "generator/analysis/ApiDiff.h"
#include "reader/GroupFile.h"
#include "support/CodePage.h"
#include "support/Diagnostics.h"
#include "support/Text.h"

namespace tarnwick::cli {

namespace {

constexpr const char* kPrefix = "tarnwick diff: ";

struct DiffOptions {
    std::string before;
    std::string after;
    std::string format = "text";
    bool failOnBreaking = false;
    bool all = false;  // descriptions too
    ProjectReading reading;
};

std::string where(const ApiChange& change) {
    return change.line > 0 ? change.file + ":" + std::to_string(change.line) : change.file;
}

std::string what(const ApiChange& change) {
    return change.member.empty() ? change.module : change.module + "." + change.member;
}

const char* severity(ApiVerdict verdict) {
    return verdict == ApiVerdict::Breaks      ? "error"
           : verdict == ApiVerdict::Behaviour ? "warning"
                                              : "note";
}

std::map<ApiVerdict, int> counts(const ApiDiff& diff) {
    std::map<ApiVerdict, int> count{{ApiVerdict::Breaks, 0},
                                    {ApiVerdict::Behaviour, 0},
                                    {ApiVerdict::Compatible, 0},
                                    {ApiVerdict::NotBinary, 0}};
    for (const ApiChange& change : diff.changes) ++count[change.verdict];
    return count;
}

std::string summary(const ApiDiff& diff) {
    auto count = counts(diff);
    return std::to_string(diff.changes.size()) +
           " changes: " + std::to_string(count[ApiVerdict::Breaks]) + " breaking, " +
           std::to_string(count[ApiVerdict::Behaviour]) + " changing behaviour, " +
           std::to_string(count[ApiVerdict::Compatible]) + " compatible, " +
           std::to_string(count[ApiVerdict::NotBinary]) + " without a binary interface";
}

void printText(const ApiDiff& diff) {
    for (const std::string& note : diff.notes) printLine(std::cout, "note: ", note);
    // The lines quote the projects' names and code, control characters and all.
    for (const ApiChange& change : diff.changes)
        printLine(std::cout, "",
                  where(change) + ": " + severity(change.verdict) + ": " + what(change) + ": " +
                      change.message + " (" + verdictText(change.verdict) + ")");
    printLine(std::cout, "", summary(diff));
}

void printJson(const ApiDiff& diff, const DiffOptions& options) {
    nlohmann::ordered_json changes = nlohmann::ordered_json::array();
    for (const ApiChange& change : diff.changes)
        changes.push_back({{"file", change.file},
                           {"line", change.line},
                           {"module", change.module},
                           {"member", change.member},
                           {"change", changeWord(change.kind)},
                           {"verdict", verdictWord(change.verdict)},
                           {"message", change.message}});
    auto count = counts(diff);
    const nlohmann::ordered_json report = {{"old", options.before},
                                           {"new", options.after},
                                           {"notes", diff.notes},
                                           {"changes", changes},
                                           {"summary",
                                            {{"breaks", count[ApiVerdict::Breaks]},
                                             {"behaviour", count[ApiVerdict::Behaviour]},
                                             {"compatible", count[ApiVerdict::Compatible]},
                                             {"notBinary", count[ApiVerdict::NotBinary]}}}};
    std::cout << report.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
              << '\n';
}

// Text for a table cell: a bar would end the cell, markup would render, a
// line break would end the table.
std::string cell(std::string_view text) {
    std::string out;
    for (const char c : terminalSafe(text)) {
        if (c == '|')
            out += "\\|";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '&')
            out += "&amp;";
        else
            out += c;
    }
    return out;
}

void printMarkdown(const ApiDiff& diff, const DiffOptions& options) {
    std::cout << "### Public interface: " << cell(options.before) << " to " << cell(options.after)
              << "\n\n";
    for (const std::string& note : diff.notes) std::cout << "> Note: " << cell(note) << "\n\n";
    std::cout << cell(summary(diff)) << "\n";
    if (diff.changes.empty()) return;
    std::cout << "\n| Verdict | Element | Change | Where |\n|---|---|---|---|\n";
    for (const ApiChange& change : diff.changes)
        std::cout << "| " << verdictText(change.verdict) << " | " << cell(what(change)) << " | "
                  << cell(change.message) << " | " << cell(where(change)) << " |\n";
}

// The projects of one side: a group file's (read as api reads them), a
// group's report (its "Project" sections), or the one project or report.
std::optional<std::vector<ApiInterface>> readSides(const std::string& path,
                                                   const ProjectReading& reading) {
    std::vector<ApiInterface> sides;
    if (isGroupFile(path)) {
        StderrSink sink;
        const auto group = readGroupFile(path, CodePage(), sink);
        if (!group || group.value().failed > 0) {
            if (!group) printLine(std::cerr, kPrefix, group.error().message);
            return std::nullopt;
        }
        for (const GroupProject& project : group.value().projects) {
            auto side = readApiSide(kPrefix, project.path, reading);
            if (!side) return std::nullopt;
            sides.push_back(std::move(*side));
        }
        return sides;
    }
    std::ifstream in(path, std::ios::binary);
    const std::string text =
        in ? std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>())
           : std::string();
    std::vector<size_t> starts;  // where each "Project" section begins
    for (size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
        if (text.compare(at, 8, "Project ") == 0) starts.push_back(at);
        if (text.find('\n', at) == std::string::npos) break;
    }
    if (endsWithIgnoreCase(path, ".vbp") || starts.size() < 2) {
        auto side = readApiSide(kPrefix, path, reading);
        if (!side) return std::nullopt;
        sides.push_back(std::move(*side));
        return sides;
    }
    starts.push_back(text.size());
    for (size_t i = 0; i + 1 < starts.size(); ++i) {
        // Blank lines in front keep the section's line numbers those of the file.
        const auto before = std::count(text.begin(), text.begin() + starts[i], '\n');
        auto side = readApiReport(
            std::string(before, '\n') + text.substr(starts[i], starts[i + 1] - starts[i]), path);
        if (!side) {
            printLine(std::cerr, kPrefix, side.error().message);
            return std::nullopt;
        }
        sides.push_back(std::move(side).value());
    }
    return sides;
}

// The changes of each project of before to the project of its name in
// after; a project on one side only is compared with an empty one, so its
// classes show as removed or added.
Expected<ApiDiff> groupDiff(const std::vector<ApiInterface>& before,
                            const std::vector<ApiInterface>& after, bool all) {
    if (before.size() == 1 && after.size() == 1) return apiDiff(before[0], after[0], all);
    ApiDiff out;
    const auto named = [](const std::vector<ApiInterface>& sides, const std::string& name) {
        const auto found = std::find_if(sides.begin(), sides.end(), [&](const ApiInterface& a) {
            return equalsIgnoreCase(a.name, name);
        });
        return found == sides.end() ? nullptr : &*found;
    };
    const auto add = [&](const ApiInterface& old, const ApiInterface& now) -> Status {
        auto diff = apiDiff(old, now, all);
        if (!diff) return diff.error();
        for (std::string& note : diff.value().notes) out.notes.push_back(std::move(note));
        for (ApiChange& change : diff.value().changes) out.changes.push_back(std::move(change));
        return ok();
    };
    for (const ApiInterface& old : before) {
        const ApiInterface* now = named(after, old.name);
        if (!now) out.notes.push_back("project " + old.name + " is gone from the new version");
        if (Status added = add(old, now ? *now : ApiInterface{old.name, old.type, {}, false});
            !added)
            return added.error();
    }
    for (const ApiInterface& now : after) {
        if (named(before, now.name)) continue;
        out.notes.push_back("project " + now.name + " is new");
        if (Status added = add(ApiInterface{now.name, now.type, {}, false}, now); !added)
            return added.error();
    }
    return out;
}

int runDiff(const DiffOptions& options) {
    if (options.format != "text" && options.format != "json" && options.format != "markdown") {
        printLine(std::cerr, kPrefix, "unknown format: " + options.format);
        return 2;
    }
    const auto before = readSides(options.before, options.reading);
    if (!before) return 2;
    const auto after = readSides(options.after, options.reading);
    if (!after) return 2;
    const auto diff = groupDiff(*before, *after, options.all);
    if (!diff) {
        printLine(std::cerr, kPrefix, diff.error().message);
        return 2;
    }
    if (options.format == "json")
        printJson(diff.value(), options);
    else if (options.format == "markdown")
        printMarkdown(diff.value(), options);
    else
        printText(diff.value());
    const bool breaks = counts(diff.value())[ApiVerdict::Breaks] > 0;
    return options.failOnBreaking && breaks ? 1 : 0;
}

}  // namespace

void registerDiffCommand(CommandLine& app, int& status) {
    auto options = std::make_shared<DiffOptions>();
    Command* diff =
        app.add_subcommand("diff",
                           "List what changed in the public interface and whether it breaks binary "
                           "compatibility");
    const char* side =
        "A project file (.vbp), a group file (.vbg) or a report `tarnwick api` wrote";
    diff->add_option("OLD", options->before, side)->required();
    diff->add_option("NEW", options->after, side)->required();
    diff->add_option("--format", options->format, "List as text (the default), json or markdown");
    diff->add_flag("--fail-on-breaking", options->failOnBreaking,
                   "Exit with status 1 when a change breaks binary compatibility");
    diff->add_flag("--all", options->all,
                   "Also list the members whose description changed (two projects only)");
    diff->add_option("--codepage", options->reading.codePage, kCodePageHelp);
    diff->add_option("--define", options->reading.defines, kDefineHelp)->allow_extra_args(false);
    // status outlives the app: main owns both and parses within its lifetime.
    diff->callback([options, &status] { status = runDiff(*options); });
}

}  // namespace tarnwick::cli
