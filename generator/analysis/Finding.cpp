#include "generator/analysis/Finding.h"

#include <algorithm>

#include "generator/settings/GenerationSettings.h"
#include "generator/site/Listing.h"
#include "model/CProject.h"

namespace tarnwick {

std::vector<const CModule*> checkedModules(const CProject& project,
                                           const GenerationSettings& settings) {
    std::vector<const CModule*> modules;
    for (const ModuleKind kind : kDocumentedModuleKinds) {
        if (!kindSwitchedOn(kind, settings)) continue;
        for (const auto& module : project.listOfKind(kind)->elements())
            modules.push_back(module.get());
    }
    return modules;
}

Finding findingAt(const CModule& module, const Element& element, FindingKind kind,
                  std::string message) {
    Finding finding;
    finding.kind = kind;
    finding.file = module.Path();
    finding.line = element.Line();
    finding.module = module.Name();
    finding.member = element.Name();
    finding.message = std::move(message);
    finding.owner = &module;
    finding.element = &element;
    return finding;
}

void sortByLine(std::vector<Finding>& findings) {
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
}

}  // namespace tarnwick
