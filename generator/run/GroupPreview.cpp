#include "generator/run/GroupPreview.h"

#include <utility>

#include "generator/run/GroupCalls.h"
#include "generator/run/GroupRun.h"
#include "generator/site/SiteTables.h"

namespace tarnwick {

GroupPreview::GroupPreview(std::shared_ptr<const ProjectGroup> group, size_t index,
                           const GenerationRequest& request, const std::atomic<bool>* cancel,
                           DiagnosticsSink& diagnostics)
    : m_group(std::move(group)), m_index(index), m_settings(request.settings) {
    CancelFlagObserver observer(cancel);
    const std::vector<GenerationRequest> requests =
        GroupRun(request, {}, &observer, &diagnostics).projectRequests(*m_group, diagnostics);
    if (m_index >= requests.size()) return;
    m_site = requests[m_index].group;
    m_calls = requests[m_index].groupCalls;
}

GroupPreview::~GroupPreview() = default;

void GroupPreview::prepare(CParser& parser) {
    // The projects calling into this one are read first, for its "Used by".
    if (m_calls) parser.setLibraries(m_calls->librariesFor(m_index), &m_libraryCalls);
}

void GroupPreview::finish(const CProject& project) {
    if (!m_calls) return;
    m_calls->takeLibraryCalls(std::move(m_libraryCalls));
    // Only the page names: the calls' rows link the project's own pages.
    const SiteTables tables(project, m_settings, nullptr, false);
    m_calls->record(m_index, tables.links());
    m_calls.reset();
}

}  // namespace tarnwick
