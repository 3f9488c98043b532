// The scope an element really has: a declaration without a scope word takes
// VB6's default for its kind (Public for procedures, events, declares, Types
// and Enums; Private for Dim variables and constants).
#pragma once

#include "model/Element.h"

namespace tarnwick {

inline int effectiveScope(const Element& element) {
    if (element.scope() != scope::None) return element.scope();
    if (element.Kind() == ElementKind::Variable || element.Kind() == ElementKind::Constant)
        return scope::Private;
    return scope::Public;
}

}  // namespace tarnwick
