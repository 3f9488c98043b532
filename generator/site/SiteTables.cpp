#include "generator/site/SiteTables.h"

#include <algorithm>
#include <atomic>
#include <utility>

#include "generator/site/Listing.h"
#include "model/Kinds.h"
#include "support/Text.h"
#include "support/Threads.h"

namespace tarnwick {

ClassNames::ClassNames(const CProject& project) : m_project(project) {
    for (const auto& module : project.Classes().elements()) {
        m_ascii = m_ascii && asciiRunEnd(module->Name(), 0) == module->Name().size();
        m_byName.try_emplace(toLower(module->Name()), module.get());
    }
}

const CModule* ClassNames::find(std::string_view name) const {
    // A name of other letters may fold onto another spelling ("ı" onto "I"):
    // then the list is searched as it is.
    if (!m_ascii || asciiRunEnd(name, 0) != name.size())
        return m_project.Classes().byName(name).get();
    const auto found = m_byName.find(toLower(name));
    return found == m_byName.end() ? nullptr : found->second;
}

SiteTables::SiteTables(const CProject& project, const GenerationSettings& settings,
                       DiagnosticsSink* diagnostics, bool texts)
    : m_names(project, diagnostics),
      m_projectVersion(project.version()),
      m_entries(siteIndexEntries(project, settings, &m_names, texts)),
      m_links(m_entries),
      m_classNames(project),
      m_settings(settings) {
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].module >= 0) continue;
        if (i > 0) m_ranges[m_entries[i - 1].owner].end = i;
        m_ranges[m_entries[i].owner] = {i, m_entries.size(), texts};
    }
    for (const ModuleKind kind : kDocumentedModuleKinds) {
        if (kindSwitchedOn(kind, settings) && project.listOfKind(kind)->Size() >= 0)
            m_kindsWithPages.emplace_back(kindTraits(kind).listName);
    }
}

std::span<const IndexEntry> SiteTables::entriesOf(const CModule& module) const {
    const auto found = m_ranges.find(&module);
    if (found == m_ranges.end()) return {};
    return std::span(m_entries).subspan(found->second.begin,
                                        found->second.end - found->second.begin);
}

void SiteTables::addTexts(const CModule& module) {
    const auto found = m_ranges.find(&module);
    if (found == m_ranges.end() || std::exchange(found->second.texts, true)) return;
    const Range& range = found->second;
    addIndexTexts(std::span(m_entries).subspan(range.begin, range.end - range.begin), module,
                  m_settings);
}

void SiteTables::addTexts(unsigned threads) {
    std::vector<const CModule*> waiting;
    for (const IndexEntry& entry : m_entries)
        if (entry.module < 0) waiting.push_back(entry.owner);
    addTexts(waiting, threads);
}

void SiteTables::addTexts(std::span<const CModule* const> modules, unsigned threads) {
    // The summaries and words cost about a tenth of a run; made on one
    // thread before the module pages, they would keep the others waiting.
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i = next++; i < modules.size(); i = next++) addTexts(*modules[i]);
    };
    // A few modules are not worth a thread.
    constexpr size_t kModulesPerThread = 8;
    threads = static_cast<unsigned>(
        std::clamp<size_t>(modules.size() / kModulesPerThread, 1, std::max(threads, 1u)));
    runOnThreads(threads, work);
}

void SiteTables::applyTo(PageContext& ctx) const {
    ctx.pageNames = &m_names;
    ctx.classNames = &m_classNames;
    ctx.links = &m_links;
    ctx.kindsWithPages = m_kindsWithPages;
    ctx.projectVersion = m_projectVersion;
}

}  // namespace tarnwick
