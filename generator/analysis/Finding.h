// Finding: one thing a project check tells about a member.
//
// A check (checkCoverage in Coverage.h, findUnused in Unused.h) reads a
// parsed project and returns findings; it prints nothing. Each finding says
// where (the module file as the project file names it and the line in it),
// which module and member, what kind of finding it is and, in words, what
// is wrong ("Public Sub 'Close' has no description"). The CLI prints them as
// "file:line: warning: message"; the workbench lists them and opens the
// member's page from them.
#pragma once

#include <string>
#include <vector>

namespace tarnwick {

class CModule;
class CProject;
class Element;
struct GenerationSettings;

enum class FindingKind {
    Undocumented,      // a member the site documents has no description
    Unused,            // a Private member no code of its module names
    UsedOnlyWhereOff,  // a Private member named only in lines an #If leaves out
};

struct Finding {
    FindingKind kind = FindingKind::Undocumented;
    std::string file;     // the module's path as the project file names it
    int line = 0;         // 1-based, in the module file
    std::string module;   // the module's name
    std::string member;   // the member's name as declared
    std::string message;  // "Private Sub 'Old' is not used in its module"
    // The module and member in the project checked: they point into it, so
    // the project must outlive the finding.
    const CModule* owner = nullptr;
    const Element* element = nullptr;
};

// The modules a check looks at: those of the kinds that get pages and that
// settings switch on (Classes, Modules, Forms, ...), in the order of the
// generation run, each kind's modules in the project's order.
std::vector<const CModule*> checkedModules(const CProject& project,
                                           const GenerationSettings& settings);

// A finding about element of module, of kind, saying message.
Finding findingAt(const CModule& module, const Element& element, FindingKind kind,
                  std::string message);

// Orders one module's findings by line; findings of one line keep their order.
void sortByLine(std::vector<Finding>& findings);

}  // namespace tarnwick
