// GroupRun: documents a group of projects as one site.
//
// The group comes from a group file (.vbg) or from several project files
// named together. Each project is documented by a GenerationRun of its own
// into its own folder of the site, as its own site would be, with its own
// settings file's code page and defines over the group's request; what the
// group adds to its pages (the other projects in the navigation, links to
// the classes of the projects it references, the modules of other projects
// that name its classes) comes in through the request's GroupSite, made
// before any project is documented; the member calls across projects are
// added to it by the runs themselves, a project's callers before it
// (GroupCalls.h). Then the
// group's own pages are written into the site's root (GroupPages.h). A
// project that cannot be read is reported with the group file's line and
// makes the run fail as a module that fails does; the others are documented.
#pragma once

#include <string>
#include <vector>

#include "generator/run/GenerationObserver.h"
#include "generator/run/GenerationRun.h"
#include "generator/settings/GenerationRequest.h"
#include "model/ProjectGroup.h"
#include "support/Diagnostics.h"
#include "support/Errors.h"

namespace tarnwick {

class GroupRun {
public:
    // request: the group's (its projectPath the group file, unless projects
    // names the project files); observer and diagnostics are not owned,
    // may be null, and must outlive run().
    GroupRun(GenerationRequest request, std::vector<std::string> projects,
             GenerationObserver* observer, DiagnosticsSink* diagnostics);

    // The whole group. Fails when the group file cannot be read, no project
    // can, or the output folder cannot be used.
    Expected<GenerationResult> run();

    // The group the request names, read with diagnostics (may be null).
    static Expected<ProjectGroup> readGroup(const GenerationRequest& request,
                                            const std::vector<std::string>& projects,
                                            DiagnosticsSink* diagnostics);

    // Each project's run request, as run() makes them: its own settings
    // file's code page and defines, its GroupSite, and the GroupCalls the
    // projects share when calls cross the group (which holds on to group).
    // The workbench previews a project of the group with them.
    std::vector<GenerationRequest> projectRequests(const ProjectGroup& group,
                                                   DiagnosticsSink& diagnostics) const;

private:
    GenerationRequest projectRequest(const ProjectGroup& group, size_t index,
                                     DiagnosticsSink& diagnostics) const;
    void runProjects(const ProjectGroup& group, std::vector<GenerationRequest> requests,
                     DiagnosticsSink& diagnostics, GenerationResult& result) const;
    void writeGroupPages(const ProjectGroup& group, const std::string& folder,
                         DiagnosticsSink& diagnostics, GenerationResult& result) const;

    GenerationRequest m_request;
    std::vector<std::string> m_projects;
    GenerationObserver* m_observer;
    DiagnosticsSink* m_diagnostics;
};

}  // namespace tarnwick
