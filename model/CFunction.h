// CFunction: a Function procedure; Returns().DataType() is its declared return type.
#pragma once

#include "model/Procedure.h"

namespace tarnwick {

class CFunction : public ReturningProcedure {
public:
    static constexpr const char* kClassName = "CFunction";
    const char* className() const override { return kClassName; }
    static constexpr ElementKind kKind = ElementKind::Function;
    ElementKind Kind() const override { return kKind; }
};

}  // namespace tarnwick
