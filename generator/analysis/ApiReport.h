// ApiReport: a project's public interface as plain text, one line per public
// element in its VB6 spelling, sorted so the text stays the same whatever
// the order of the project file or the module files. Committed beside the
// project (PROJECT.api), it shows a change of the interface in review.
//
//   Project Ledger Type=OleDll
//
//   Class CAccount VB_Exposed=True VB_Creatable=True VB_PredeclaredId=False
//   Implements IAccount
//   Public Function Post(ByVal Amount As Currency) As Boolean
//
// What counts follows VB6's binary interface: in an ActiveX project
// (OleDll, OleExe, Control) the Public members of exposed classes and user
// controls; Friend and Private members and unexposed classes are left out.
// Standard modules' Public members belong to no binary interface: they are
// listed under a "not binary" mark. An Exe project has no binary interface;
// its report lists its classes' and modules' Public members for review.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class CProject;

// One public element: its report text (an Enum's values and a Type's fields
// follow on lines of their own, "\n    akCash = 0") and where it is
// declared: the line of the module file, or of the report it was read from.
struct ApiMember {
    std::string text;            // "Public Function Post(ByVal Cents As Currency) As Boolean"
    int line = 0;                // 1-based; 0 when unknown
    std::vector<int> partLines;  // the line of each value or field, in order
    std::string description;     // the author's, from a project; no part of the report text
};

// A module of the report: its header line and public members, sorted.
struct ApiModule {
    std::string header;  // "Class CAccount VB_Exposed=True ..." or "Module modX  ' not binary"
    std::string file;    // the module file as the project names it, or the report's path
    int line = 0;        // where the header stands in a report; 0 for a module file
    std::vector<ApiMember> members;
};

// A project's public interface before it becomes text: what the report
// prints and what the diff compares.
struct ApiInterface {
    std::string name;  // the project's name as the report gives it
    std::string type;  // the project file's Type ("OleDll", "Exe", ...)
    std::vector<ApiModule> modules;
    bool described = false;  // made from a project: the members carry their descriptions
};

// The interface of project, modules in report order.
ApiInterface apiInterface(const CProject& project);

// The interface as report text.
std::string apiText(const ApiInterface& api);

// Types whose public classes make a binary interface (OleDll, OleExe, Control).
bool isActiveXType(std::string_view type);

// The report, lines ending in "\n"; nothing in it depends on the machine,
// the time, paths or the order of the project file.
std::string apiReport(const CProject& project);

// The difference between the committed report (expected) and the current
// one (actual): "-" lines only in expected, "+" lines only in actual, each
// "\n"-ended, in the order of the reports; empty when they are equal. CR
// before a line end does not count.
std::string apiDifference(std::string_view expected, std::string_view actual);

}  // namespace tarnwick
