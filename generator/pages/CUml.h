// CUml: the body of a module's UML page: a UML-style class box drawn as
// nested HTML tables.
//
// The box has a title row (kind icon, name, translated kind and the first
// implemented interface) and one compartment per non-empty member kind in
// the order Constants, Enums, Types, Declarations, Events, Variables,
// Functions, Properties, Subroutines. Each member row shows a visibility
// mark ("+" global or public, "#" friend, "-" otherwise), a link to the
// member's anchor with its signature as tooltip, "()" for procedures and the
// data type (linked when it names a class of the project).
//
// Stateless; each call builds its own text and only reads the model.
#pragma once

#include <string>

#include "generator/site/PageContext.h"
#include "model/CHelper.h"
#include "model/CModule.h"
#include "model/CProject.h"
#include "model/IIterator.h"
#include "support/Html.h"

namespace tarnwick {

class CUml {
public:
    // The box table. level selects an implementations panel; the UML page
    // passes 0 and no other value changes the output.
    Html createUml(const CModule& module, const CProject& project, int level,
                   const PageContext& ctx);

private:
    Html createClassBox(const CModule& module, const CProject& project, const CHelper& helper,
                        const PageContext& ctx);
    // One compartment, a property once whatever its accessors; the empty
    // text for an empty list. linked: the list's summary table is on the
    // overview page, so its members' anchors are there to link to.
    Html createMemberRows(const IIterator& list, bool linked, const CModule& module,
                          const CProject& project, const CHelper& helper, const PageContext& ctx);
};

}  // namespace tarnwick
