#include "model/ReferenceIndex.h"

#include "model/Element.h"
#include "model/FormDesign.h"
#include "support/Text.h"

namespace tarnwick {

ReferenceIndex::ReferenceIndex(std::vector<Reference> records, std::vector<DesignUse> uses)
    : m_all(std::move(records)), m_uses(std::move(uses)) {
    for (uint32_t i = 0; i < m_uses.size(); ++i) {
        const DesignUse& u = m_uses[i];
        auto [range, added] = m_usesByModule.try_emplace(u.fromModule, i, i + 1);
        if (!added) range->second.second = i + 1;
        m_usesOf[u.toModule][u.control ? toLower(u.control->name) : std::string()].push_back(i);
    }
    // Each member's list of m_to once: its name is folded once, not once
    // per reference.
    std::unordered_map<const Element*, std::vector<uint32_t>*> toLists;
    for (uint32_t i = 0; i < m_all.size(); ++i) {
        const Reference& r = m_all[i];
        auto [range, added] = m_modules.try_emplace(r.fromModule, i, i + 1);
        if (!added) range->second.second = i + 1;
        const auto [list, first] = toLists.try_emplace(r.to, nullptr);
        if (first) list->second = &m_to[r.toModule][toLower(r.to->Name())];
        list->second->push_back(i);
        if (r.from) m_from[r.from].push_back(i);
        m_intoModule[r.toModule].push_back(i);
    }
}

std::vector<const Reference*> ReferenceIndex::to(const CModule& module,
                                                 std::string_view name) const {
    std::vector<const Reference*> out;
    const auto names = m_to.find(&module);
    if (names == m_to.end()) return out;
    const auto found = names->second.find(toLower(name));
    if (found == names->second.end()) return out;
    out.reserve(found->second.size());
    for (const uint32_t i : found->second) out.push_back(&m_all[i]);
    return out;
}

std::span<const Reference> ReferenceIndex::inModule(const CModule& module) const {
    const auto found = m_modules.find(&module);
    if (found == m_modules.end()) return {};
    return std::span<const Reference>(m_all.data() + found->second.first,
                                      found->second.second - found->second.first);
}

std::span<const DesignUse> ReferenceIndex::designUsesIn(const CModule& module) const {
    const auto found = m_usesByModule.find(&module);
    if (found == m_usesByModule.end()) return {};
    return std::span<const DesignUse>(m_uses.data() + found->second.first,
                                      found->second.second - found->second.first);
}

std::vector<const DesignUse*> ReferenceIndex::usesOfControl(const CModule& form,
                                                            std::string_view name) const {
    std::vector<const DesignUse*> out;
    const auto names = m_usesOf.find(&form);
    if (names == m_usesOf.end()) return out;
    const auto found = names->second.find(toLower(name));
    if (found == names->second.end()) return out;
    for (const uint32_t i : found->second) out.push_back(&m_uses[i]);
    return out;
}

}  // namespace tarnwick
