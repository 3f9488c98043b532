#include "generator/site/SiteTables.h"

#include "generator/site/Listing.h"
#include "model/Kinds.h"

namespace tarnwick {

SiteTables::SiteTables(const CProject& project, const GenerationSettings& settings,
                       DiagnosticsSink* diagnostics)
    : m_names(project, diagnostics),
      m_projectVersion(project.version()),
      m_entries(siteIndexEntries(project, settings, &m_names)),
      m_links(m_entries) {
    for (const ModuleKind kind : kDocumentedModuleKinds) {
        if (kindSwitchedOn(kind, settings) && project.listOfKind(kind)->Size() >= 0)
            m_kindsWithPages.emplace_back(kindTraits(kind).listName);
    }
}

void SiteTables::applyTo(PageContext& ctx) const {
    ctx.pageNames = &m_names;
    ctx.links = &m_links;
    ctx.kindsWithPages = m_kindsWithPages;
    ctx.projectVersion = m_projectVersion;
}

}  // namespace tarnwick
