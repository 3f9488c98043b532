#include "generator/analysis/Coverage.h"

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
        : m_module(module), m_settings(settings), m_report(report) {}

    template <typename List>
    void checkList(const List& list, bool on, KindCoverage& kind) {
        if (!on) return;
        for (const auto& element : list.elements()) count(*element, hasDescription(*element), kind);
    }

    // Properties: one entry per name, documented when an accessor is.
    void checkProperties(KindCoverage& kind) {
        if (!m_settings.Properties) return;
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
    }

private:
    void count(const Element& element, bool documented, KindCoverage& kind) {
        if (!scopeListed(element, m_settings)) return;
        if (documented) {
            ++kind.documented;
            return;
        }
        ++kind.undocumented;
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
    report.kinds = {{"Declare"}, {"Const"}, {"Variable"}, {"Type"},    {"Enum"},
                    {"Event"},   {"Sub"},   {"Function"}, {"Property"}};
    enum { Declare, Const, Variable, Type, Enum, Event, Sub, Function, Property };
    std::vector<KindCoverage>& k = report.kinds;
    for (const CModule* module : checkedModules(project, settings)) {
        const CModule& m = *module;
        ModuleCoverage check(m, settings, report);
        check.checkList(m.Declarations(), settings.Declarations, k[Declare]);
        check.checkList(m.Constants(), settings.Constants, k[Const]);
        check.checkList(m.Variables(), settings.Variables, k[Variable]);
        check.checkList(m.Types(), settings.Types, k[Type]);
        check.checkList(m.Enums(), settings.Enum, k[Enum]);
        check.checkList(m.Events(), settings.Events, k[Event]);
        check.checkList(m.Subroutines(), settings.Subroutines, k[Sub]);
        check.checkList(m.Functions(), settings.Functions, k[Function]);
        check.checkProperties(k[Property]);
        check.finish();
    }
    return report;
}

}  // namespace tarnwick
