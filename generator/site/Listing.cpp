#include "generator/site/Listing.h"

#include <algorithm>

#include "generator/settings/SettingsFields.h"
#include "generator/site/AuthorHtml.h"
#include "model/CConstantList.h"
#include "model/CDeclarationList.h"
#include "model/CEnumList.h"
#include "model/CEventList.h"
#include "model/CFunctionList.h"
#include "model/CImplementationList.h"
#include "model/CProperty.h"
#include "model/CPropertyList.h"
#include "model/CSubroutineList.h"
#include "model/CTypeList.h"
#include "model/CVariableList.h"
#include "model/Scope.h"
#include "support/Text.h"

namespace tarnwick {

bool scopeListed(const Element& member, const GenerationSettings& settings) {
    if (!member.hasScope()) return true;
    switch (effectiveScope(member)) {
        case scope::Global:
            return settings.Global;
        case scope::Private:
            return settings.Private;
        case scope::Friend:
            return settings.Friend;
        default:
            return settings.Public;
    }
}

bool kindSwitchedOn(ModuleKind kind, const GenerationSettings& settings) {
    const auto flag = switchOf(kind);
    return flag && settings.*flag;
}

bool kindSwitchedOn(ElementKind kind, const GenerationSettings& settings) {
    const auto flag = switchOf(kind);
    return flag && settings.*flag;
}

namespace {

template <typename List, typename Fn>
bool visitAs(const IIterator& list, Fn& fn) {
    const auto* typed = dynamic_cast<const List*>(&list);
    if (!typed) return false;
    for (const auto& element : typed->elements()) fn(*element);
    return true;
}

// Calls fn for every element of one of the ten element lists, in list
// order, without copying the list (a member page looks at every list of
// its module, so a copy per page would make a large module's pages slow).
template <typename Fn>
void forEachElement(const IIterator& list, Fn&& fn) {
    visitAs<CImplementationList>(list, fn) || visitAs<CConstantList>(list, fn) ||
        visitAs<CEnumList>(list, fn) || visitAs<CTypeList>(list, fn) ||
        visitAs<CDeclarationList>(list, fn) || visitAs<CVariableList>(list, fn) ||
        visitAs<CEventList>(list, fn) || visitAs<CFunctionList>(list, fn) ||
        visitAs<CSubroutineList>(list, fn) || visitAs<CPropertyList>(list, fn);
}

}  // namespace

// Get 0, Let 1, Set 2; anything that is not a property accessor before them.
int accessorRank(const Element& e) {
    const auto* property = dynamic_cast<const CProperty*>(&e);
    if (!property) return -1;
    switch (property->Way()) {
        case way::Get:
            return 0;
        case way::Let:
            return 1;
        default:
            return 2;
    }
}

std::string accessorWord(const Element& e) {
    switch (accessorRank(e)) {
        case 0:
            return "Get";
        case 1:
            return "Let";
        case 2:
            return "Set";
        default:
            return {};
    }
}

// The rows of a summary table: one per member, but one per property name
// holding its accessors in the order Get, Let, Set.
std::vector<std::vector<const Element*>> tableRows(const IIterator& list,
                                                   const GenerationSettings& settings) {
    std::vector<std::vector<const Element*>> rows;
    const bool properties = list.elementKind() == ElementKind::Property;
    for (const auto& item : list.Items()) {
        const auto* member = dynamic_cast<const Element*>(item.get());
        if (!member) continue;  // the element lists hold elements only
        if (!scopeListed(*member, settings)) continue;
        // The sort keeps names that are equal ignoring case together.
        if (properties && !rows.empty() &&
            equalsIgnoreCase(rows.back().front()->Name(), member->Name()))
            rows.back().push_back(member);
        else
            rows.push_back({member});
    }
    for (auto& row : rows) {
        std::stable_sort(row.begin(), row.end(), [](const Element* a, const Element* b) {
            return accessorRank(*a) < accessorRank(*b);
        });
    }
    return rows;
}

std::vector<SummaryTable> summaryTables(const CModule& module, const GenerationSettings& on) {
    std::vector<SummaryTable> tables;
    tables.reserve(std::size(kSummaryOrder));
    for (const ElementKind kind : kSummaryOrder)
        tables.push_back({module.listOf(kind), kindSwitchedOn(kind, on)});
    return tables;
}

PageGroups pageGroups(const CModule& module, const GenerationSettings& settings) {
    // Names equal ignoring case give one page file (VB names ignore case).
    PageGroups groups;
    for (const SummaryTable& table : summaryTables(module, settings)) {
        if (!table.enabled) continue;
        std::vector<std::string> touched;
        forEachElement(*table.list, [&](const Element& e) {
            if (!scopeListed(e, settings)) return;
            std::string key = toLower(e.Name());
            auto& group = groups[key];
            if (group.empty() || !group.back().second) touched.push_back(std::move(key));
            group.push_back({&e, true});  // true: from the table at hand
        });
        // Within one table: Get, Let, Set; a stable sort keeps two of one
        // kind in source order. Earlier tables' members stay in front.
        for (const std::string& key : touched) {
            auto& group = groups[key];
            auto first =
                std::find_if(group.begin(), group.end(), [](const auto& m) { return m.second; });
            std::stable_sort(first, group.end(), [](const auto& a, const auto& b) {
                return accessorRank(*a.first) < accessorRank(*b.first);
            });
            for (auto& m : group) m.second = false;
        }
    }
    return groups;
}

std::vector<const Element*> pageMembers(const CModule& module, const Element& member,
                                        const GenerationSettings& settings) {
    const PageGroups groups = pageGroups(module, settings);
    return membersOf(groups, member);
}

std::vector<const Element*> membersOf(const PageGroups& groups, const Element& member) {
    const auto found = groups.find(toLower(member.Name()));
    if (found == groups.end()) return {&member};
    std::vector<const Element*> members;
    bool holdsMember = false;
    for (const auto& m : found->second) {
        members.push_back(m.first);
        holdsMember |= m.first == &member;
    }
    if (!holdsMember) return {&member};
    return members;
}

std::string rowSummary(const CModule& module, const std::vector<const Element*>& row) {
    if (const auto& shortDesc = module.ShortDesc()) {
        std::string text = shortDesc->item(row.front()->Name(), "");
        if (!text.empty()) return text;
    }
    // The first accessor that says something speaks for the property.
    for (const Element* accessor : row)
        if (!accessor->Sections().summary.empty()) return accessor->Sections().summary;
    for (const Element* accessor : row)
        if (!accessor->Description().empty()) return firstSentence(accessor->Description());
    return {};
}

}  // namespace tarnwick
