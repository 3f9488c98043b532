#include "generator/analysis/Coverage.h"

#include <iterator>
#include <map>
#include <string>

#include "generator/settings/GenerationSettings.h"
#include "generator/site/Listing.h"
#include "model/CHelper.h"
#include "model/CProject.h"
#include "model/Scope.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

bool hasDescription(const Element& element) { return !trimSpaces(element.Description()).empty(); }

class ModuleCoverage {
public:
    ModuleCoverage(const CModule& module, const GenerationSettings& settings,
                   CoverageReport& report)
        : m_module(module), m_settings(settings), m_report(report) {
        m_tally.module = &module;
    }

    void checkList(const IIterator& list, KindCoverage& kind) {
        for (const auto& item : list.Items()) {
            const auto& element = static_cast<const Element&>(*item);
            count(element, hasDescription(element), kind);
        }
    }

    // Properties: one entry per name, documented when an accessor is.
    void checkProperties(KindCoverage& kind) {
        std::map<std::string, std::vector<const Element*>> byName;
        std::vector<std::string> order;
        for (const auto& property : m_module.Properties().elements()) {
            const std::string key = toLower(property->Name());
            auto& accessors = byName[key];
            if (accessors.empty()) order.push_back(key);
            accessors.push_back(property.get());
        }
        for (const std::string& key : order) {
            const auto& accessors = byName[key];
            const Element* first = accessors.front();
            for (const Element* accessor : accessors)
                if (accessor->Line() > 0 && accessor->Line() < first->Line()) first = accessor;
            bool documented = false;
            for (const Element* accessor : accessors) documented |= hasDescription(*accessor);
            count(*first, documented, kind);
        }
    }

    // Hands the module's findings to the report, by line.
    void finish() {
        sortByLine(m_findings);
        m_report.findings.insert(m_report.findings.end(), m_findings.begin(), m_findings.end());
        m_report.modules.push_back(m_tally);
    }

private:
    void count(const Element& element, bool documented, KindCoverage& kind) {
        if (!scopeListed(element, m_settings)) return;
        if (documented) {
            ++kind.documented;
            ++m_tally.documented;
            return;
        }
        ++kind.undocumented;
        ++m_tally.undocumented;
        const std::string scopeWord =
            element.scope() == scope::None ? "" : CHelper::GetScope(element.scope()) + " ";
        m_findings.push_back(
            findingAt(m_module, element, FindingKind::Undocumented,
                      scopeWord + kind.kind + " '" + element.Name() + "' has no description"));
    }

    const CModule& m_module;
    const GenerationSettings& m_settings;
    CoverageReport& m_report;
    std::vector<Finding> m_findings;
    ModuleTally m_tally;
};

}  // namespace

int CoverageReport::documented() const {
    int n = 0;
    for (const KindCoverage& k : kinds) n += k.documented;
    return n;
}

int CoverageReport::undocumented() const {
    int n = 0;
    for (const KindCoverage& k : kinds) n += k.undocumented;
    return n;
}

CoverageReport checkCoverage(const CProject& project, const GenerationSettings& settings) {
    CoverageReport report;
    for (const ElementKind kind : kCheckOrder) report.kinds.push_back({kindTraits(kind).statement});
    for (const CModule* module : checkedModules(project, settings)) {
        ModuleCoverage check(*module, settings, report);
        for (size_t i = 0; i < std::size(kCheckOrder); ++i) {
            const ElementKind kind = kCheckOrder[i];
            if (!kindSwitchedOn(kind, settings)) continue;
            if (kind == ElementKind::Property)
                check.checkProperties(report.kinds[i]);
            else
                check.checkList(*module->listOf(kind), report.kinds[i]);
        }
        check.finish();
    }
    return report;
}

}  // namespace tarnwick
