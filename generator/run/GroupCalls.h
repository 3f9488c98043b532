// GroupCalls: the member calls across the projects of a group.
//
// Before any project of a group is documented, each project that references
// another of the group with public classes is read again with those
// libraries, and its code resolved by the resolver that binds a project's
// own calls (resolveReferences with libraries): "sb.Append" on a variable,
// argument, With block or function result of a library's class binds to
// the library's member, when the member is Public (reader/xref/SymbolTables.h
// says what a library shows). What is found goes into the projects'
// GroupSite tables: to the calling project its code links, to the library
// the callers of each member ("Used by"), each with its page in the other
// project's folder, as that project's own run names its pages.
//
// The projects are read as their runs read them (code page, defines), but
// quietly: a project's run reports what is wrong with it. A project that
// cannot be read adds nothing.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "generator/settings/GenerationRequest.h"
#include "generator/site/GroupSite.h"
#include "model/ProjectGroup.h"

namespace tarnwick {

// The projects project index references that show public classes or
// controls: the libraries whose members its calls may reach.
std::vector<size_t> groupLibrariesOf(const ProjectGroup& group, size_t index);

// requests[i] is project i's run request, sites[i] its GroupSite (filled
// here); cancel (may be null) stops before the next project.
void addGroupCalls(const ProjectGroup& group, const std::vector<GenerationRequest>& requests,
                   const std::vector<std::shared_ptr<GroupSite>>& sites,
                   const std::atomic<bool>* cancel);

}  // namespace tarnwick
