// GroupUses: where the projects of a group name each other's classes.
//
// A project sees the public classes (VB_Exposed = True) of the group
// projects it references by project reference. Each of its source files is
// read as tokens, comments and strings left out, and a name after As, New,
// Implements or Begin (a placed control) that names such a class, bare
// ("StringBuilder") or with its project ("CorLib.StringBuilder"), is a use;
// the first referenced project that has the class wins, as in VB6. This is
// read before any project is documented, so a library's pages can list the
// modules of other projects that use its classes.
#pragma once

#include <vector>

#include "model/ProjectGroup.h"
#include "support/CodePage.h"

namespace tarnwick {

// Every use, each (module, class) once, by project, then file order.
std::vector<GroupUse> scanGroupUses(const ProjectGroup& group, const CodePage& codePage);

// The names after As, New (also "As New"), Implements or Begin in one line
// of code, comments and strings left out; each a view into line, so its
// offset is name.data() - line.data().
std::vector<std::string_view> classNamesIn(std::string_view line);

}  // namespace tarnwick
