// GroupFile: reads a VB6 group file (.vbg), or a list of project files, into
// a ProjectGroup.
//
//   VBGROUP 5.0
//   StartupProject=CorLib\CorLib.vbp
//   Project=Tests\Tests.vbp
//
// Paths are relative to the group file, with '\' as the folder separator
// and letter case looked up as on Windows. The startup project comes first,
// the others in file order; a project named twice is read once. A project
// file that is missing, unreadable or no project file at all (another group
// file) is reported as an error naming the group file and its line, counted
// in ProjectGroup::failed, and the other projects are kept. Each project is
// read as far as the group needs (GroupProject): its project file and the
// attribute lines of its class files.
#pragma once

#include <string>
#include <vector>

#include "model/ProjectGroup.h"
#include "support/CodePage.h"
#include "support/Diagnostics.h"
#include "support/Errors.h"

namespace tarnwick {

// Whether path names a group file (".vbg", letter case ignored).
bool isGroupFile(const std::string& path);

// The group of the group file at path. Fails when it cannot be read or does
// not start with a VBGROUP line; the message names the file.
Expected<ProjectGroup> readGroupFile(const std::string& path, const CodePage& codePage,
                                     DiagnosticsSink& diagnostics);

// The group of the project files named on the command line, the first
// taken as the startup project; named twice, read once. A project that
// cannot be read is reported naming its path.
ProjectGroup groupOfProjects(const std::vector<std::string>& paths, const CodePage& codePage,
                             DiagnosticsSink& diagnostics);

// Whether the project arguments of a command line name a group: a group
// file, or more than one project file.
bool namesGroup(const std::vector<std::string>& paths);

// The group the project arguments name: the group file that is the only
// argument, else the project files. Fails when the group file cannot be
// read or no project of the group can.
Expected<ProjectGroup> readGroup(const std::vector<std::string>& paths, const CodePage& codePage,
                                 DiagnosticsSink& diagnostics);

// Warns of two projects of one Name and of projects that reference each
// other (VB6 refuses both; the group is still documented).
void warnGroupShapes(const ProjectGroup& group, DiagnosticsSink& diagnostics);

// Reads what the group needs of the project file at project.path into
// project; false (with why) when it cannot be read as a project file.
bool readGroupProject(GroupProject& project, const CodePage& codePage, std::string& why);

}  // namespace tarnwick
