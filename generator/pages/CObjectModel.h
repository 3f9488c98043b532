// CObjectModel: the body of a module's object-model page: a collapsible
// tree drawn as an HTML table.
//
// The root row names the module and its kind and links to the module's own
// overview page; below it one branch row per non-empty member kind (in the
// order Constants, Declarations, Enums, Events, Functions, Implementations,
// Properties, Subroutines, Types, Variables; members of scopes the run
// leaves out are not there, and a kind left with none has no branch), each
// followed by a hidden row listing the members (each a link to its page
// where the run writes one), which the resource script toggleById shows and
// hides by the kind name. The tree lines are the images parchild.gif,
// parmult.gif, parlower.gif and parnone.gif of the resource folder. A
// module with a design has a "Controls" and a "Menus" branch above those,
// each name leading to its entry on the module's overview.
//
// Stateless; each call builds its own text.
#pragma once

#include <string>
#include <vector>

#include "generator/site/PageContext.h"
#include "model/CHelper.h"
#include "model/CModule.h"
#include "model/CProject.h"
#include "model/Element.h"
#include "model/IIterator.h"
#include "support/Html.h"

namespace tarnwick {

class CObjectModel {
public:
    // The tree table. project is not read.
    Html createObjectModel(const CModule& module, const CProject& project, const PageContext& ctx);

private:
    // A branch row and its hidden member table for the rows of one list of
    // module, each member's name a link to its page where written; last
    // tells whether no non-empty kind follows.
    Html createSection(const CModule& module, const IIterator& list,
                       const std::vector<std::vector<const Element*>>& rows, bool last,
                       const PageContext& ctx);
    // A branch row (its id, its word) and its hidden table of names, each
    // a link where its address is not empty.
    static Html branch(const std::string& id, const Html& word,
                       const std::vector<std::pair<std::string, Html>>& items, bool last);
};

}  // namespace tarnwick
