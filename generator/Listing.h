// Listing: whether a member of a module appears in the site at all.
//
// A member is listed when the run switches on its scope (the scope it
// really has: one declared without a scope word takes VB6's default, see
// effectiveScope) and the kind of list it belongs to. A member that is not
// listed gets no page, no summary row, no UML or object-model entry and no
// link from any other page; every page builder that names members asks here.
// An implemented interface has no scope and only depends on its kind.
#pragma once

#include "generator/GenerationSettings.h"
#include "model/Element.h"
#include "model/Kinds.h"

namespace tarnwick {

// The scope test alone: for lists whose kind the caller has already decided on.
bool scopeListed(const Element& member, const GenerationSettings& settings);

// The run's switch of a kind: Classes, Forms, ... for a module kind (false
// for the kinds without pages); Functions, Enum, ... for an element kind.
bool kindSwitchedOn(ModuleKind kind, const GenerationSettings& settings);
bool kindSwitchedOn(ElementKind kind, const GenerationSettings& settings);

// The scope test and the member kind's switch (Functions, Properties, ...).
bool isListed(const Element& member, const GenerationSettings& settings);

}  // namespace tarnwick
