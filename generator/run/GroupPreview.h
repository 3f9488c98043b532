// GroupPreview: what the pages of one project of a group show of the other
// projects, for a preview of that project alone (the workbench's).
//
// A group's site links a project's pages into the projects it references
// and lists on them the modules and routines of other projects that use it
// (GroupSite). A preview built from the project's model alone shows neither;
// this makes the project's GroupSite as the group's run makes it, around the
// project's own read:
//
//   GroupPreview preview(group, index, request, &cancel, diagnostics);
//   preview.prepare(parser);           // its libraries, to resolve with
//   auto project = parser.Parse();
//   preview.finish(*project.value());  // its calls into them
//   ctx.group = preview.site().get();
//
// Before the read it scans the group's files for class names and reads the
// projects that call into this one, with their libraries, as the group's
// run reads them (quietly: the preview reports only this project's read).
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <vector>

#include "generator/settings/GenerationRequest.h"
#include "generator/site/GroupSite.h"
#include "model/CProject.h"
#include "model/ProjectGroup.h"
#include "reader/CParser.h"
#include "reader/CrossReferences.h"
#include "support/Diagnostics.h"

namespace tarnwick {

class GroupCalls;

class GroupPreview {
public:
    // Project index of group, documented as request (the group's: its
    // settings, defines and code page) would document it; cancel (may be
    // null) stops the reading. Warnings of the projects' settings files go
    // to diagnostics.
    GroupPreview(std::shared_ptr<const ProjectGroup> group, size_t index,
                 const GenerationRequest& request, const std::atomic<bool>* cancel,
                 DiagnosticsSink& diagnostics);
    ~GroupPreview();
    GroupPreview(const GroupPreview&) = delete;
    GroupPreview& operator=(const GroupPreview&) = delete;

    // Gives parser the libraries the project's code is resolved with; this
    // must outlive parser.Parse().
    void prepare(CParser& parser);
    // After the project's read: its calls into its libraries, linked from
    // its code as its pages are named with the request's settings.
    void finish(const CProject& project);
    // The table the previews' PageContext::group points to.
    std::shared_ptr<const GroupSite> site() const { return m_site; }

private:
    std::shared_ptr<const ProjectGroup> m_group;  // GroupCalls holds on to it
    size_t m_index;
    GenerationSettings m_settings;
    std::shared_ptr<const GroupSite> m_site;
    std::shared_ptr<GroupCalls> m_calls;  // null: no calls cross into its libraries
    std::vector<Reference> m_libraryCalls;
};

}  // namespace tarnwick
