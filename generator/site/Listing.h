// Listing: whether a member of a module appears in the site at all, and
// how the listed members are grouped into rows and pages.
//
// A member is listed when the run switches on its scope (the scope it
// really has: one declared without a scope word takes VB6's default, see
// effectiveScope) and the kind of list it belongs to. A member that is not
// listed gets no page, no summary row, no UML or object-model entry and no
// link from any other page; every page builder that names members asks here.
// An implemented interface has no scope and only depends on its kind.
#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "generator/settings/GenerationSettings.h"
#include "model/CModule.h"
#include "model/Element.h"
#include "model/IIterator.h"
#include "model/Kinds.h"

namespace tarnwick {

// The scope test alone: for lists whose kind the caller has already decided on.
bool scopeListed(const Element& member, const GenerationSettings& settings);

// The run's switch of a kind: Classes, Forms, ... for a module kind (false
// for the kinds without pages); Functions, Enum, ... for an element kind.
bool kindSwitchedOn(ModuleKind kind, const GenerationSettings& settings);
bool kindSwitchedOn(ElementKind kind, const GenerationSettings& settings);

// How a module's members are grouped into summary rows and member pages:
// every page, table, index and cross-link asks these, so they all agree.

// One summary table of a module page: its list and whether the settings
// switch it on. summaryTables gives them in the order the page shows them.
struct SummaryTable {
    const IIterator* list;
    bool enabled;
};
std::vector<SummaryTable> summaryTables(const CModule& module, const GenerationSettings& settings);

// The members one member page documents: every listed member of a table
// that is switched on whose name is member's, ignoring case (the Get, Let and Set of one
// property; a variable and a property of one name), in table order, the
// accessors of a property as Get, Let, Set. Holds member itself even when
// its own table is off (a preview).
std::vector<const Element*> pageMembers(const CModule& module, const Element& member,
                                        const GenerationSettings& settings);

// The members of every page of a module at once, by lower-case name (the
// flag is scratch space of the builder). membersOf answers pageMembers
// from it, so a module's pages are grouped in linear time.
using PageGroups = std::unordered_map<std::string, std::vector<std::pair<const Element*, bool>>>;
PageGroups pageGroups(const CModule& module, const GenerationSettings& settings);
std::vector<const Element*> membersOf(const PageGroups& groups, const Element& member);

// The rows of a summary table, UML compartment or object-model branch: one
// per member whose scope the settings list (scopeListed), but one per
// property name holding its listed accessors as Get, Let, Set.
std::vector<std::vector<const Element*>> tableRows(const IIterator& list,
                                                   const GenerationSettings& settings);

// 0, 1, 2 for a property's Get, Let, Set; -1 for any other member.
int accessorRank(const Element& member);
// "Get", "Let", "Set"; empty for a member that is no property accessor.
std::string accessorWord(const Element& member);

// The short description a summary row shows: the module's "@Name" text, an
// accessor's "@short" text, else the first sentence of the first accessor
// that has a description; empty when none says anything.
std::string rowSummary(const CModule& module, const std::vector<const Element*>& row);

}  // namespace tarnwick
