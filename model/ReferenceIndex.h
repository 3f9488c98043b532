// ReferenceIndex: where the code of a project names its own members.
//
// One Reference says that the code at a line of a module's Source names a
// member of the project (a call, a read or write of a variable or property,
// an Enum value, a type in an As clause, an Implements routine naming the
// interface member it implements). The reader resolves them once the whole
// project is read (resolveReferences); afterwards they are read-only, and the
// pages, `dump` and `check --unused` all read the same records.
//
// Records are kept in the order of the project's sorted module lists and, in
// a module, by line and column, so every listing is the same on every run.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarnwick {

class CModule;
class Element;
struct DesignControl;

struct Reference {
    const CModule* fromModule = nullptr;
    // The routine (or module-level declaration) whose code names `to`; null
    // for a name outside every element.
    const Element* from = nullptr;
    const CModule* toModule = nullptr;
    const Element* to = nullptr;
    int32_t line = 0;    // 1-based line of fromModule's Source: the line the code page shows
    int32_t column = 0;  // byte offset of the name in that line
    int32_t length = 0;  // bytes of the name as written
};

// A place where code names what the form designer placed on a form, user
// control or property page ("txtName.Text", "frmMain.txtName",
// "Text1(i).Text"), or a form by its name as its default instance
// ("frmMain.Show", "Load frmMain"). Neither is an element, so these records
// are kept apart from the Reference records (whose `to` is never null).
struct DesignUse {
    const CModule* fromModule = nullptr;
    const Element* from = nullptr;  // as in Reference
    const CModule* toModule = nullptr;
    // The control or menu entry (of toModule's Design(); the first block of
    // a control array); null when the code names the form itself.
    const DesignControl* control = nullptr;
    int32_t line = 0;  // as in Reference
    int32_t column = 0;
    int32_t length = 0;
};

class ReferenceIndex {
public:
    ReferenceIndex() = default;
    // records must be grouped by fromModule and ordered by line and column in each.
    // uses: grouped and ordered as records are.
    explicit ReferenceIndex(std::vector<Reference> records, std::vector<DesignUse> uses = {});

    const std::vector<Reference>& all() const { return m_all; }
    // The records whose code is in module, by line and column.
    std::span<const Reference> inModule(const CModule& module) const;
    // The records naming a member of module of that name (ignoring case):
    // a property's accessors share their name and their page.
    std::vector<const Reference*> to(const CModule& module, std::string_view name) const;
    // The records naming a member of module, from any module.
    std::vector<const Reference*> intoModule(const CModule& module) const {
        return pick(m_intoModule, &module);
    }
    // The records made by member's own code.
    std::vector<const Reference*> from(const Element& member) const {
        return pick(m_from, &member);
    }

    // Where code names controls, menu entries and forms, in the order of records.
    const std::vector<DesignUse>& designUses() const { return m_uses; }
    // Those made by module's code, by line and column.
    std::span<const DesignUse> designUsesIn(const CModule& module) const;
    // Those naming a control or menu entry of form by its name (ignoring
    // case; the blocks of a control array share it), from any module.
    std::vector<const DesignUse*> usesOfControl(const CModule& form, std::string_view name) const;
    // Those naming form itself as its default instance.
    std::vector<const DesignUse*> usesOfForm(const CModule& form) const {
        return usesOfControl(form, {});
    }

private:
    template <typename Key>
    std::vector<const Reference*> pick(
        const std::unordered_map<const Key*, std::vector<uint32_t>>& index, const Key* key) const {
        std::vector<const Reference*> out;
        const auto found = index.find(key);
        if (found == index.end()) return out;
        out.reserve(found->second.size());
        for (const uint32_t i : found->second) out.push_back(&m_all[i]);
        return out;
    }

    std::vector<Reference> m_all;
    std::unordered_map<const CModule*, std::pair<uint32_t, uint32_t>> m_modules;
    // module -> lower-case member name -> records
    std::unordered_map<const CModule*, std::unordered_map<std::string, std::vector<uint32_t>>> m_to;
    std::unordered_map<const Element*, std::vector<uint32_t>> m_from;
    std::unordered_map<const CModule*, std::vector<uint32_t>> m_intoModule;
    std::vector<DesignUse> m_uses;
    std::unordered_map<const CModule*, std::pair<uint32_t, uint32_t>> m_usesByModule;
    // form -> lower-case control name ("" for the form itself) -> uses
    std::unordered_map<const CModule*, std::unordered_map<std::string, std::vector<uint32_t>>>
        m_usesOf;
};

}  // namespace tarnwick
