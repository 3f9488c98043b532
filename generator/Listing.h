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

namespace tarnwick {

// The scope test alone: for lists whose kind the caller has already decided on.
bool scopeListed(const Element& member, const GenerationSettings& settings);

// The scope test and the member kind's switch (Functions, Properties, ...).
bool isListed(const Element& member, const GenerationSettings& settings);

}  // namespace tarnwick
