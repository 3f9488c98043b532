// The scope an element really has: a declaration without a scope word takes
// VB6's default for its kind (Public for procedures, events, declares, Types
// and Enums; Private for Dim variables and constants).
#pragma once

#include "model/CConstant.h"
#include "model/CVariable.h"
#include "model/Element.h"

namespace tarnwick {

inline int effectiveScope(const Element& element) {
    if (element.scope() != scope::None) return element.scope();
    if (dynamic_cast<const CVariable*>(&element) || dynamic_cast<const CConstant*>(&element))
        return scope::Private;
    return scope::Public;
}

}  // namespace tarnwick
