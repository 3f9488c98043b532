// CImplementation: an Implements statement; Name is the implemented interface.
// It carries no scope.
#pragma once

#include "model/Element.h"

namespace tarnwick {

class CImplementation : public Element {
public:
    static constexpr const char* kClassName = "CImplementation";
    const char* className() const override { return kClassName; }
    static constexpr ElementKind kKind = ElementKind::Implementation;
    ElementKind Kind() const override { return kKind; }
    bool hasScope() const override { return false; }
};

}  // namespace tarnwick
