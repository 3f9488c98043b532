// Unused: the Private members that no code of their module names (dead code).
//
// Within each module a check looks at (checkedModules), a member declared
// Private is used when a reference the reader resolved (CProject::
// crossReferences) leads from the module to a member of that name; each
// name is told once, at its first declaration. Not told:
//   - routines VB6 calls, not the module's code: handlers of the events of
//     the module itself, its controls and menu entries and its WithEvents
//     variables ("Form_Load", "cmdOk_Click", "m_Journal_Loaded"), and
//     Implements routines ("IFoo_Bar"). A routine named like a handler of
//     an object the module does not have ("cmdGone_Click" once the button
//     is deleted) is told like any other; a form whose designer block could
//     not be read keeps every routine with an underscore;
//   - the Sub Main of a standard module when the project starts with it
//     (Startup="Sub Main" in the project file): VB6 calls it.
// A member that is named only in lines an #If leaves out (code for another
// build) is a finding of its own kind, UsedOnlyWhereOff, so the reader of the
// list does not delete code that another build needs:
//   "Private Sub 'Old' is not used in its module"
//   "Private Sub 'Trace' is used only where #If is off"
#pragma once

#include <vector>

#include "generator/analysis/Finding.h"

namespace tarnwick {

// Module by module as checkedModules gives them; by line within a module.
// project must outlive the findings (they point into it).
std::vector<Finding> findUnused(const CProject& project, const GenerationSettings& settings);

}  // namespace tarnwick
