// CheckReport: what `check` found, in the forms a CI reads.
//
// The findings of a check (generator/analysis) and the counts behind them
// become one report in a format a build server shows: GitHub Actions
// workflow commands (annotations on the pull request), a SARIF 2.1.0 log
// (code scanning), JUnit XML (test result views: one test per module, one
// failure per finding) or plain JSON. The plain lines of `check` stay where
// they are (CheckCommand.cpp); this unit makes the rest, and it alone sees
// the JSON library.
//
// Every text that comes from the project (paths, module and member names,
// messages) is escaped for where it lands: a name with quotes, '<', '&', a
// comma, a colon or a control character gives a report the reader still
// parses and that says the same name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "generator/analysis/Coverage.h"

namespace tarnwick::cli {

enum class ReportFormat { Text, Github, Sarif, Junit, Json };

// The format named name ("text", "github", "sarif", "junit", "json"); false
// for another word.
bool reportFormatNamed(const std::string& name, ReportFormat& format);
// The names reportFormatNamed knows, "text, github, ...".
const char* reportFormatNames();

// One module a check looked at, and its members counted for coverage.
struct ModuleCount {
    std::string name;
    std::string kind;  // "Class", "Module", "Form", "PropertyPage", "UserControl", ...
    std::string file;  // as the findings give it
    int documented = 0;
    int undocumented = 0;
};

struct CheckResults {
    std::vector<Finding> findings;
    std::vector<ModuleCount> modules;  // every module looked at, in the check's order
    std::vector<KindCoverage> kinds;   // empty when members were not counted
    bool coverage = false;             // the JSON report has "coverage"
    std::string projectFolder;         // SARIF gives files relative to it
};

// The report in format (not Text: those lines are the command's own).
std::string renderReport(ReportFormat format, const CheckResults& results);

// The share of documented members, 0 to 100 rounded down; 100 for none.
int coveragePercent(int documented, int undocumented);

// "coverage: ..." lines: one per module, one per kind counted, the total.
std::string coverageLines(const CheckResults& results);

// A small SVG badge "docs 86 %", coloured by the share.
std::string coverageBadge(int percent);

// GitHub's escaping of a workflow command's message, and of a property's value.
std::string githubMessage(std::string_view text);
std::string githubProperty(std::string_view text);

// text for XML content and attribute values: & < > " ' as references, tab,
// LF and CR as character references, other C0 controls as U+FFFD.
std::string xmlText(std::string_view text);

}  // namespace tarnwick::cli
