// Coverage: the members the site documents that have no description.
//
// For each module a check looks at (checkedModules) and each member kind
// and scope the settings switch on, a member counts as documented when its
// description holds more than blanks. A property counts once, at its first
// accessor (the lowest line), and is documented when one of its accessors
// is. Each member without a description is a finding of kind Undocumented:
//   "Public Sub 'Close' has no description"
// ("Sub 'Close' ..." for a member declared without a scope word).
#pragma once

#include <vector>

#include "generator/analysis/Finding.h"

namespace tarnwick {

// Documented and undocumented members of one kind. kind is the word the
// findings use, the kind's statement: "Declare", "Const", "Variable",
// "Type", "Enum", "Event", "Sub", "Function" or "Property" (kCheckOrder).
struct KindCoverage {
    const char* kind;
    int documented = 0;
    int undocumented = 0;
};

// Documented and undocumented members of one module, all kinds together.
struct ModuleTally {
    const CModule* module = nullptr;  // points into the project checked
    int documented = 0;
    int undocumented = 0;
};

struct CoverageReport {
    // Module by module as checkedModules gives them; by line within a module.
    std::vector<Finding> findings;
    // Every kind of kCheckOrder, in that order, counted or not.
    std::vector<KindCoverage> kinds;
    // Every module checkedModules gives, in that order, counted or not.
    std::vector<ModuleTally> modules;

    int documented() const;
    int undocumented() const;
};

// project must outlive the report's findings (they point into it).
CoverageReport checkCoverage(const CProject& project, const GenerationSettings& settings);

}  // namespace tarnwick
